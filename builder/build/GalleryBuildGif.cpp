#include <algorithm>

#include "builder/build/BuildPicture.h"
#include "builder/build/GalleryBuild.h"
#include "shared/GalleryDataBlock.h"
#include "builder/build/PdfWorkFiles.h"
#include "builder/pages/GalleryGrid.h"
#include "builder/pages/GalleryPages.h"
#include "builder/pages/MailPage.h"
#include "builder/wizard/WizardForm.h"
#include "gif/GIFImage.h"
#include "platform/controls/TApplication.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "shared/veskotools.h"

namespace {

std::string GifBytes(TGIFImage& gif)
{
    TMemoryStream stream;
    gif.SaveToStream(stream);
    return stream.Bytes();
}

// Frame 0 at the picture's screen size as a 24-bit bitmap to resize.
std::unique_ptr<TBitmap> GifBitmap(TGIFImage& gif)
{
    std::unique_ptr<TBitmap> bitmap = gif.GetPictureBitmap();
    if (!bitmap || bitmap->Empty())
        throw EInvalidGraphic("the GIF picture has nothing to show");
    bitmap->SetPixelFormat(pf24bit);
    return bitmap;
}

// A transparent picture's thumbnail is transparent where it shows the colour
// of its top-left pixel.
void AssignThumbnail(TGIFImage& gif, TBitmap& thumbnail, bool transparent)
{
    if (transparent) {
        thumbnail.SetTransparent(true);
        thumbnail.SetTransparentColor(thumbnail.Pixel(0, 0));
    }
    gif.Assign(thumbnail);
    if (transparent)
        gif.SetTransparent(true);
}

}  // namespace

void TGalleryBuild::BuildGifPicture(const std::string& path, int number, const std::string& comment)
{
    auto gif = std::make_unique<TGIFImage>();
    std::unique_ptr<TBitmap> bitmap;
    try {
        gif->LoadFromFile(path);
        bitmap = GifBitmap(*gif);
    } catch (const Exception&) {
        ShowMessage("file format not found");
        return;
    }
    const bool transparent = gif->QueryTransparent();
    const bool web = FKind == TGalleryKind::Web;
    const bool linked = FSettings.LinkMode == TLinkMode::FullPicture;

    if (FWizard.CheckBox9->Checked() && FKind != TGalleryKind::Email &&
        (FMaxPictureHeight < gif->Height() || FMaxPictureWidth < gif->Width())) {
        // Shrunk to the limits, never recompressed to a byte limit.
        const TPictureSize size = ShrunkSize({gif->Width(), gif->Height()}, FMaxPictureWidth, FMaxPictureHeight);
        std::unique_ptr<TBitmap> shrunk = ResizeBitmap(*bitmap, size.Width, size.Height);
        AssignThumbnail(*gif, *shrunk, transparent);
        bitmap = std::move(shrunk);
    }

    if (FKind == TGalleryKind::Application) {
        if (FDataBlock) {
            FDataBlock->AddPicture(GifBytes(*gif), true, comment);
            return;
        }
        const std::string target = FWorkFolder + PdfPictureFileName(number, true);
        gif->SaveToFile(target);
        FPdfPictureList.push_back(target);
        return;
    }

    const TPictureSize thumbSize = ThumbnailSize(TPictureSize{bitmap->Width(), bitmap->Height()});
    std::unique_ptr<TBitmap> thumbnail = ResizeBitmap(*bitmap, thumbSize.Width, thumbSize.Height);
    if (FKind == TGalleryKind::Email) {
        AssignThumbnail(*gif, *thumbnail, transparent);
        gif->SaveToFile(FWorkFolder + MailThumbnailName(number, true));
        FMailPage->AddPicture(number, true, comment);
        return;
    }

    if (web && linked) {
        const TFullPicture full{number, true, comment, FGrid->PagesWritten(), FPictureCount};
        WritePage({FullPicturePageName(FSettings, number), FullPicturePageText(FSettings, full), false});
    }
    if (web) {
        TThumbnailCell cell{number, true, comment, std::nullopt};
        if (CellShowsSizeInfo(FSettings))
            cell.SizeInfo = TPictureSizeInfo{gif->Height(), gif->Width(),
                                             static_cast<std::int64_t>(GifBytes(*gif).size())};
        FGrid->AppendThumbnailCell(cell);
    }
    if (web && linked)
        gif->SaveToFile(FFolder + "th_" + IntToStr(number) + "_big.gif");

    AssignThumbnail(*gif, *thumbnail, transparent);
    FMaxThumbWidth = std::max(FMaxThumbWidth, gif->Width());
    FMaxThumbHeight = std::max(FMaxThumbHeight, gif->Height());
    if (FWizard.PageControl1->ActivePage() == FWizard.TabSheet6 && FWizard.CheckBox13->Checked()) {
        const std::string target = FFolder + ExtractFileName(path);
        if (SameFile(path, target)) {
            ShowMessage("The thumbnail would replace its own picture and is not written: " + path);
            return;
        }
        gif->SaveToFile(target);
        return;
    }
    gif->SaveToFile(FFolder + "th_" + IntToStr(number) + ".gif");
}
