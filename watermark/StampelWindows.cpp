#include "watermark/StampelWindows.h"

#include "platform/controls/TApplication.h"
#include "shared/Tranbtn.h"
#include "watermark/GallerySelectDialog.h"
#include "watermark/WatermarkAssistant.h"
#include "watermark/WatermarkWindow.h"

void CreateStampelWindows(TApplication& application)
{
    RegisterTranBtn();
    application.CreateForm(WatermarkAssistant);
    application.CreateForm(WatermarkWindow);
    application.CreateForm(GallerySelectDialog);
}
