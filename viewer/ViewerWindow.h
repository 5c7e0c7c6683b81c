#pragma once

// The viewer's main window: the thumbnail column, the tool bar with the size
// box, and the picture area. The gallery is read from the viewer's own program
// file one second after start.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTimer.h"
#include "platform/controls/TToolBar.h"
#include "platform/core/SharedBytes.h"
#include "shared/GalleryDataBlock.h"
#include "viewer/ViewerSizing.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    const char* ClassName() const override { return "TForm1"; }

    TScrollBox* ScrollBox1;
    TSplitter* Splitter1;
    TPanel* Panel1;
    TToolBar* ToolBar1;
    TBitBtn* BitBtn2;
    TBitBtn* BitBtn3;
    TBitBtn* BitBtn4;
    TBitBtn* BitBtn5;
    TBitBtn* BitBtn6;
    TComboBox* ComboBox1;
    TEdit* Edit1;
    TImage* Image4;
    TScrollBox* ScrollBox2;
    TImage* Image5;
    TImage* Image1;
    TImage* Image3;
    TImage* Image6;
    TTimer* Timer1;
    TSavePictureDialog* SavePictureDialog1;
    TColorDialog* ColorDialog1;

    void FormCreate(TObject* Sender);
    void FormResize(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void btnclick(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    void BitBtn3Click(TObject* Sender);
    void BitBtn4Click(TObject* Sender);
    void BitBtn5Click(TObject* Sender);
    void BitBtn6Click(TObject* Sender);
    void Image4Click(TObject* Sender);

    enum class TLoadResult { Loaded, NoImages, NotesRefused };
    // Reads the gallery behind the program image in `programFile` and makes a
    // button and a hidden picture for each picture that decodes. Loading stops
    // at the first damaged or undecodable picture; LoadError() tells why.
    // The pictures keep slices of `programFile`; the string form copies it.
    // Worker threads decode the pictures and make the glyphs ahead, from the
    // block's bytes into bitmaps of their own (TBitmap, the JPEG and GIF
    // decoders and getMiniImage use nothing shared); the buttons and images
    // are made here, in block order, each as soon as its picture is done.
    TLoadResult LoadImages(const TSharedBytes& programFile);
    TLoadResult LoadImages(std::string_view programFile);
    const std::string& LoadError() const { return FLoadError; }
    // The threads that decode a load (0: one per core).
    void SetLoadWorkers(int workers) { FLoadWorkers = workers; }
    int PictureCount() const { return static_cast<int>(FPictures.size()); }
    const TBlockPicture& BlockPicture(int n) const { return FPictures.at(static_cast<std::size_t>(n)); }
    const std::string& Notes() const { return FNotes; }

    const std::string& SelectedPictureName() const { return FSelectedPictureName; }
    int RotationCount() const { return FRotationCount; }
    void PBox();

    // The hidden picture of picture n ("IM" JPEG or "GF" GIF); nullptr when none.
    const TImage* HiddenPicture(int n) const;
    // Told once the start's load is over, before the window shows or the
    // program ends (the unattended report).
    std::function<void(TLoadResult)> OnLoadDone;

private:
    void Turn(bool right);
    int SelectedNumber() const;

    std::string FSelectedPictureName;
    int FLoadWorkers = 0;
    int FRotationCount = 0;
    std::vector<TSharedBytes> FProgramFiles;  // the files read, one a load
    std::vector<TBlockPicture> FPictures;      // views into FProgramFiles
    std::string FNotes;
    std::string FLoadError;
};

extern TForm1* ViewerWindow;
