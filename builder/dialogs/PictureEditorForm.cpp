#include "builder/dialogs/PictureEditorForm.h"

#include <cstdlib>
#include <memory>

#include "gif/GIFImage.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TScreen.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "shared/veskotools.h"

TForm17* PictureEditorForm = nullptr;
std::string EditOperation;
int SliderChangeCount = 0;
int RotationQuarterTurns = 0;
int BackupPictureCount = 0;

namespace {

// The picture of an image as a 24-bit bitmap of its own size.
std::unique_ptr<TBitmap> BitmapOf(const TImage& image)
{
    const TGraphic* graphic = image.Picture().Graphic();
    if (!graphic || graphic->Empty())
        throw EInvalidGraphic("There is no picture to edit");
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(*graphic);
    bitmap->SetPixelFormat(pf24bit);
    return bitmap;
}

void ShowPicture(TImage& image, std::unique_ptr<TGraphic> graphic)
{
    image.Picture().SetGraphic(std::move(graphic));
    image.Repaint();
}

const TBindingTable PictureEditorBindings = {
    {"Label1", &TForm17::Label1},
    {"Label2", &TForm17::Label2},
    {"Label3", &TForm17::Label3},
    {"Label4", &TForm17::Label4},
    {"Label5", &TForm17::Label5},
    {"Label6", &TForm17::Label6},
    {"Label7", &TForm17::Label7},
    {"BitBtn1", &TForm17::BitBtn1},
    {"BitBtn2", &TForm17::BitBtn2},
    {"BitBtn3", &TForm17::BitBtn3},
    {"BitBtn4", &TForm17::BitBtn4},
    {"BitBtn5", &TForm17::BitBtn5},
    {"TrackBar1", &TForm17::TrackBar1},
    {"TrackBar2", &TForm17::TrackBar2},
    {"TrackBar3", &TForm17::TrackBar3},
    {"TrackBar4", &TForm17::TrackBar4},
    {"TrackBar5", &TForm17::TrackBar5},
    {"Panel1", &TForm17::Panel1},
    {"Image1", &TForm17::Image1},
    {"Timer1", &TForm17::Timer1},
};

}  // namespace

TForm17::TForm17(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable h;
    h.Add("FormCreate", this, &TForm17::FormCreate);
    h.Add("TrackBar1Change", this, &TForm17::TrackBar1Change);
    h.Add("TrackBar2Change", this, &TForm17::TrackBar2Change);
    h.Add("TrackBar3Change", this, &TForm17::TrackBar3Change);
    h.Add("TrackBar4Change", this, &TForm17::TrackBar4Change);
    h.Add("TrackBar5Change", this, &TForm17::TrackBar5Change);
    h.Add("Timer1Timer", this, &TForm17::Timer1Timer);
    h.Add("BitBtn1Click", this, &TForm17::BitBtn1Click);
    h.Add("BitBtn2Click", this, &TForm17::BitBtn2Click);
    h.Add("BitBtn3Click", this, &TForm17::BitBtn3Click);
    h.Add("BitBtn4Click", this, &TForm17::BitBtn4Click);
    h.Add("BitBtn5Click", this, &TForm17::BitBtn5Click);
    ReadLayout("PictureEditorForm", h, &PictureEditorBindings);
}

TForm17::~TForm17()
{
    if (PictureEditorForm == this)
        PictureEditorForm = nullptr;
}

bool IsJpegPath(const std::string& path) { return Pos(".jpg", path) > 0 || Pos(".JPG", path) > 0; }
bool IsGifPath(const std::string& path) { return Pos(".gif", path) > 0 || Pos(".GIF", path) > 0; }

void TForm17::FormCreate(TObject*)
{
    SliderChangeCount = 0;
}

void TForm17::initElements(bool rotateLeft, bool rotateRight, bool colours, bool contrast, bool brightness)
{
    TrackBar1->SetPosition(0);
    TrackBar5->SetPosition(0);
    TrackBar2->SetPosition(0);
    TrackBar3->SetPosition(0);
    TrackBar4->SetPosition(0);
    BitBtn1->SetEnabled(rotateLeft);
    Label1->SetEnabled(rotateLeft);
    BitBtn2->SetEnabled(rotateRight);
    TrackBar1->SetEnabled(brightness);
    Label3->SetEnabled(brightness);
    TrackBar5->SetEnabled(contrast);
    Label7->SetEnabled(contrast);
    for (TControl* control : {static_cast<TControl*>(TrackBar2), static_cast<TControl*>(TrackBar3),
                              static_cast<TControl*>(TrackBar4), static_cast<TControl*>(Label4),
                              static_cast<TControl*>(Label5), static_cast<TControl*>(Label6)})
        control->SetEnabled(colours);
}

void TForm17::SetWorkPictures(TImage& fullPicture, TImage& base, TImage& start, TListBox& pictureList,
                              const std::string& programFolder)
{
    FFullPicture = &fullPicture;
    FBase = &base;
    FStart = &start;
    FPictureList = &pictureList;
    FProgramFolder = programFolder;
}

void TForm17::SliderChange(const char* operation)
{
    if (SliderChangeCount == 0)
        Timer1->SetEnabled(true);
    ++SliderChangeCount;
    EditOperation = operation;
}

void TForm17::TrackBar1Change(TObject*) { SliderChange("hell"); }
void TForm17::TrackBar5Change(TObject*) { SliderChange("kont"); }
void TForm17::TrackBar2Change(TObject*) { SliderChange("rot"); }
void TForm17::TrackBar3Change(TObject*) { SliderChange("gruen"); }
void TForm17::TrackBar4Change(TObject*) { SliderChange("blau"); }

void TForm17::Timer1Timer(TObject*)
{
    Timer1->SetEnabled(false);
    if (!FBase || Image1->Picture().Empty()) {
        SliderChangeCount = 0;
        return;
    }
    // The result of the previous operation is where the new one starts.
    if (LastEditOperation != EditOperation) {
        FBase->Picture().Assign(Image1->Picture());
        LastEditOperation = EditOperation;
    }
    TBitmap& preview = Image1->Picture().Bitmap();
    TBitmap& base = FBase->Picture().Bitmap();
    preview.SetPixelFormat(pf24bit);
    base.SetPixelFormat(pf24bit);
    const int rows = preview.Height();
    const int pixels = preview.Width();
    if (EditOperation == "kont")
        AdjustContrast(preview, base, TrackBar5->Position());
    else if (EditOperation == "hell")
        AdjustBrightness(preview, base, rows, pixels, TrackBar1->Position());
    else if (EditOperation == "rot")
        AdjustRed(preview, base, rows, pixels, TrackBar2->Position());
    else if (EditOperation == "gruen")
        AdjustGreen(preview, base, rows, pixels, TrackBar3->Position());
    else if (EditOperation == "blau")
        AdjustBlue(preview, base, rows, pixels, TrackBar4->Position());
    Image1->Repaint();
    Repaint();
    SliderChangeCount = 0;
}

// A quarter turn of the preview, which is also the base from then on; the
// count runs from -2 to 2, a third turn one way being one the other way.
void TForm17::Turn(const char* operation, int step)
{
    EditOperation = operation;
    RotationQuarterTurns += step;
    if (RotationQuarterTurns == 3 * step)
        RotationQuarterTurns = -step;
    if (Image1->Picture().Empty())
        return;
    const std::unique_ptr<TBitmap> preview = BitmapOf(*Image1);
    ShowPicture(*Image1, step < 0 ? RotateBitmapLeft(*preview) : RotateBitmapRight(*preview));
    if (FBase)
        FBase->Picture().Assign(Image1->Picture());
}

void TForm17::BitBtn1Click(TObject*) { Turn("rota2", -1); }
void TForm17::BitBtn2Click(TObject*) { Turn("rota1", 1); }

// The sliders keep their positions: "Ok!" still applies them.
void TForm17::BitBtn5Click(TObject*)
{
    if (FStart) {
        Image1->Picture().Assign(FStart->Picture());
        Image1->Repaint();
        if (FBase)
            FBase->Picture().Assign(FStart->Picture());
    }
    LastEditOperation.clear();
    RotationQuarterTurns = 0;
}

void TForm17::BitBtn4Click(TObject*)
{
    Hide();
}

void TForm17::BitBtn3Click(TObject*)
{
    Screen->SetCursor(crHourGlass);
    Label2->SetCaption("Berechne Backupgrafik..");
    try {
        ApplyAndSave();
    } catch (const Exception& e) {
        Screen->SetCursor(crDefault);
        Label2->SetCaption("");
        ShowMessage("The edited picture could not be saved:\r\n" + e.Message());
        return;
    }
    Screen->SetCursor(crDefault);
    Label2->SetCaption("");
    Hide();
}

void TForm17::ReplaceEntry(int index, const std::string& path)
{
    FPictureList->Items().SetStrings(index, path);
    FPictureList->SetItemIndex(index);
}

std::string TForm17::NextBackupName(const std::string& extension) const
{
    // A backup of an earlier run may be named in a saved project: never overwrite one.
    std::string name;
    do {
        ++BackupPictureCount;
        name = FProgramFolder + "backups/BackUpPicture" + IntToStr(BackupPictureCount) + extension;
    } while (FileExists(name));
    return name;
}

void TForm17::ApplyAndSave()
{
    if (!FFullPicture || !FPictureList)
        return;
    std::unique_ptr<TBitmap> work = BitmapOf(*FFullPicture);
    for (int turn = 0; turn < std::abs(RotationQuarterTurns); ++turn)
        work = RotationQuarterTurns < 0 ? RotateBitmapLeft(*work) : RotateBitmapRight(*work);
    const auto step = [&](TTrackBar& slider, const char* status, auto adjust) {
        if (slider.Position() == 0)
            return;
        Label2->SetCaption(status);
        // The channel routines write their own channel only: the rest comes from the copy.
        auto result = std::make_unique<TBitmap>();
        result->Assign(*work);
        result->SetPixelFormat(pf24bit);
        adjust(*result, *work, slider.Position());
        work = std::move(result);
    };
    const auto channel = [&](auto routine) {
        return [&, routine](TBitmap& target, const TBitmap& source, int delta) {
            routine(target, source, source.Height(), source.Width(), delta);
        };
    };
    step(*TrackBar1, "Helligkeit / Brightness..", channel(AdjustBrightness));
    step(*TrackBar5, "Contrast / Kontrast..",
         [](TBitmap& target, const TBitmap& source, int amount) { AdjustContrast(target, source, amount); });
    step(*TrackBar2, "Red..", channel(AdjustRed));
    step(*TrackBar3, "Green..", channel(AdjustGreen));
    step(*TrackBar4, "Blue..", channel(AdjustBlue));
    if (RotationQuarterTurns == 0 && TrackBar1->Position() == 0 && TrackBar5->Position() == 0 &&
        TrackBar2->Position() == 0 && TrackBar3->Position() == 0 && TrackBar4->Position() == 0)
        return;

    const int index = FPictureList->ItemIndex();
    if (index < 0)
        throw Exception("No picture of the list is selected");
    const std::string backups = FProgramFolder + "backups/";
    std::string path = FPictureList->Items().Strings(index);
    if (IsJpegPath(path)) {
        auto jpeg = std::make_unique<TJPEGImage>();
        jpeg->Assign(*work);
        const std::string target = Pos(backups, path) > 0 ? path : NextBackupName(".jpg");
        SaveJpegWithFallback(*jpeg, target);
        ReplaceEntry(index, target);
        // Shown only once saved, so a failed save leaves the full picture as it was.
        ShowPicture(*FFullPicture, std::move(jpeg));
    }
    path = FPictureList->Items().Strings(index);
    if (IsGifPath(path)) {
        auto gif = std::make_unique<TGIFImage>();
        gif->Assign(*work);
        const std::string target = Pos(backups, path) > 0 ? path : NextBackupName(".gif");
        gif->SaveToFile(target);
        ReplaceEntry(index, target);
        ShowPicture(*FFullPicture, std::move(gif));
    }
}
