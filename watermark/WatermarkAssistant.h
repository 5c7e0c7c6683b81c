#pragma once

// The plug-in's main window: gallery use (full pictures and/or thumbnails of
// a gallery the builder made) or any use. Its creation reads the start
// arguments; with a gallery folder the program runs remotely.

#include <string>

#include "platform/controls/TCheckBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "shared/Tranbtn.h"

// "" or "fern" (started with a gallery folder).
extern std::string RemoteMode;
extern std::string GalleryDir;

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;
    const char* ClassName() const override { return "TForm2"; }

    TImage* Image1;
    TRadioButton* RadioButton1;  // galleries
    TRadioButton* RadioButton2;  // any use
    TCheckBox* CheckBox1;        // full pictures
    TCheckBox* CheckBox2;        // thumbnails
    TMTranBtn* MTranBtn1;        // "chancel"
    TMTranBtn* MTranBtn2;        // "next step"

    // The gallery mask of the two check boxes, showing the gallery dialog's
    // "x Full screens" / "x Thumbs" to match.
    std::string ChosenGalleryMask();

private:
    void FormCreate(TObject* Sender);
    void MTranBtn1Click(TObject* Sender);
    void MTranBtn2Click(TObject* Sender);
};

extern TForm2* WatermarkAssistant;
