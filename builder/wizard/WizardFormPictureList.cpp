// The picture list of the wizard: PictureList (ListBox1) and its parallel
// CommentList (ListBox2).

#include "builder/wizard/WizardForm.h"

#include "builder/dialogs/ButtonSounds.h"
#include "builder/dialogs/FormReference.h"
#include "builder/dialogs/PictureEditorForm.h"
#include "platform/graphics/TBitmap.h"
#include "shared/veskotools.h"
#include "platform/controls/TScreen.h"
#include "platform/core/AnsiString.h"

namespace {

constexpr const char* NoPictureChosen = "No Picture select!\r\nKein Bild gew\xE4hlt!";

}  // namespace

void TForm1::ListBox1Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0 || !ShowSelectedPicture())
        return;
    Edit10->SetText(ListBox2->Items().Strings(index));
}

bool TForm1::ShowSelectedPicture()
{
    try {
        Image3->Picture().LoadFromFile(ListBox1->Items().Strings(ListBox1->ItemIndex()));
    } catch (const Exception&) {
        ShowMessage("file format not found");
        return false;
    }
    Image3->Repaint();
    return true;
}

void TForm1::Edit10KeyUp(TObject*, std::uint16_t&, TShiftState)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0)
        return;
    ListBox2->Items().SetStrings(index, Edit10->Text());
}

void TForm1::Image25Click(TObject* Sender)
{
    PlayButtonSound();
    BitBtn1Click(Sender);
}

void TForm1::BitBtn1Click(TObject*)
{
    if (!OpenPictureDialog1->Execute())
        return;
    TStrings& files = OpenPictureDialog1->Files();
    for (int i = 0; i < files.Count(); ++i) {
        ListBox1->Items().Add(files.Strings(i));
        ListBox2->Items().Add(" ");
    }
    ListBox1->SetItemIndex(ListBox1->Count() - 1);
    ApplyOptionRules();
}

void TForm1::Image26Click(TObject* Sender)
{
    PlayButtonSound();
    Image3->Picture().Assign(Image7->Picture());
    BitBtn3Click(Sender);
}

void TForm1::BitBtn3Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0)
        return;
    ListBox1->Items().Delete(index);
    ListBox2->Items().Delete(index);
    Image3->Picture().Assign(Image52->Picture());
    ApplyOptionRules();
}

void TForm1::Image27Click(TObject* Sender)
{
    PlayButtonSound();
    Image3->Picture().Assign(Image7->Picture());
    BitBtn4Click(Sender);
}

void TForm1::BitBtn4Click(TObject*)
{
    ListBox1->Clear();
    ListBox2->Clear();
    ApplyOptionRules();
}

void TForm1::BitBtn6Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0) {
        ShowMessage(NoPictureChosen);
        return;
    }
    if (index == 0)
        return;
    ListBox1->Items().Exchange(index, index - 1);
    ListBox2->Items().Exchange(index, index - 1);
    ListBox1->SetItemIndex(index - 1);
}

void TForm1::BitBtn12Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0) {
        ShowMessage(NoPictureChosen);
        return;
    }
    if (index == ListBox1->Count() - 1)
        return;
    ListBox1->Items().Exchange(index, index + 1);
    ListBox2->Items().Exchange(index, index + 1);
    ListBox1->SetItemIndex(index + 1);
}

void TForm1::Label52Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0) {
        ShowMessage("Please choose a picture");
        return;
    }
    const std::string& path = ListBox1->Items().Strings(index);
    if (!IsJpegPath(path) && !IsGifPath(path)) {
        ShowMessage("Only JPG or GIF!");
        return;
    }
    // A selection made by adding, deleting or loading a project is not shown
    // yet: the editor must work on the entry it writes back to.
    if (!ShowSelectedPicture())
        return;
    // The menu's items belong to the picture editor, which prepares its
    // pictures when one of them is chosen.
    const TPoint at = Mouse ? Mouse->CursorPos() : TPoint{};
    PopupMenu1->Popup(at.X, at.Y);
    PrepareEditorPictures();
}

void TForm1::EditPictureItemClick(TObject* Sender)
{
    TForm17& editor = FormRef(PictureEditorForm, "TForm17");
    editor.LastEditOperation.clear();
    const bool rotation = Sender == Rotation1;
    editor.initElements(rotation, rotation, Sender == Colors1,
                        Sender == Contrast1, Sender == Brightness1);
    if (!PrepareEditorPictures()) {
        ShowMessage("Please choose a picture");
        return;
    }
    editor.Show();
}

bool TForm1::PrepareEditorPictures()
{
    TForm17& editor = FormRef(PictureEditorForm, "TForm17");
    const TGraphic* picture = Image3->Picture().Graphic();
    if (!picture || picture->Empty())
        return false;
    TBitmap work;
    work.Assign(*picture);
    const std::unique_ptr<TBitmap> small = ResizeBitmap(work, editor.Image1->Width(), editor.Image1->Height());
    TImage& base = *Image54;
    TImage& start = *Image55;
    editor.Image1->Picture().Assign(small.get());
    base.Picture().Assign(small.get());
    start.Picture().Assign(small.get());
    editor.SetWorkPictures(*Image3, base, start, *ListBox1, ProgramFolder);
    RotationQuarterTurns = 0;
    return true;
}
