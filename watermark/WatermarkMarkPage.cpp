// The work window's second page: the mark's set-up and the preview.

#include "platform/controls/TScreen.h"
#include "platform/core/Exceptions.h"
#include "platform/core/AnsiString.h"
#include "watermark/BatchOutput.h"
#include "watermark/WatermarkWindow.h"

namespace {

int NumberIn(const TEdit& edit, int fallback)
{
    int value = fallback;
    return TryStrToInt(edit.Text(), value) ? value : fallback;
}

}  // namespace

TMarkPosition TForm1::MarkPosition() const
{
    if (RadioButton4->Checked())
        return TMarkPosition::BottomLeft;
    if (RadioButton5->Checked())
        return TMarkPosition::TopRight;
    if (RadioButton6->Checked())
        return TMarkPosition::BottomRight;
    if (RadioButton7->Checked())
        return TMarkPosition::Centre;
    return TMarkPosition::TopLeft;
}

void TForm1::BuildMark()
{
    if (RadioButton8->Checked()) {
        const TFont& font = Label1->Font();
        WatermarkBitmap = DrawTextMark(Label1->Caption(), font.Name(), font.Size(), font.Color());
    } else {
        auto mark = std::make_unique<TBitmap>();
        if (Image9->Picture().Graphic())
            mark->Assign(Image9->Picture().Bitmap());
        WatermarkBitmap = std::move(mark);
    }
    WatermarkBitmap = TurnMark(*WatermarkBitmap, Edit3->Text());
}

void TForm1::RenderWatermark()
{
    Screen->SetCursor(crHourGlass);
    auto result = std::make_unique<TBitmap>();
    if (Image2->Picture().Graphic())
        result->Assign(Image2->Picture().Bitmap());
    BuildMark();
    const TBitmap& mark = *WatermarkBitmap;
    const TPoint at = MarkOffset(MarkPosition(), result->Width(), result->Height(), mark.Width(), mark.Height());
    if (!mark.Empty() && !result->Empty()) {
        if (RadioButton8->Checked() || CheckBox4->Checked())
            StampBrightness(*result, mark, at, TrackBar1->Position(),
                            {CheckBox1->Checked(), CheckBox2->Checked(), CheckBox3->Checked()});
        else
            StampBlend(*result, mark, at, TrackBar1->Position());
    }
    Image1->Picture().SetGraphic(std::move(result));
    if (RadioButton2->Checked())
        ApplyStretch();
    Screen->SetCursor(crDefault);
}

void TForm1::BitBtn1Click(TObject*)
{
    RenderWatermark();
}

void TForm1::Edit1Key(TObject*, std::uint16_t&, TShiftState)
{
    Label1->SetCaption(Edit1->Text());
}

void TForm1::Edit1Click(TObject*)
{
    RadioButton8->SetChecked(true);
}

void TForm1::ComboBox1Change(TObject*)
{
    if (ComboBox1->ItemIndex() < 0)
        return;
    TFont font = Label1->Font();
    font.SetName(ComboBox1->Items().Strings(ComboBox1->ItemIndex()));
    Label1->SetFont(font);
}

void TForm1::UpDown1Changing(TObject*, bool&)
{
    TFont font = Label1->Font();
    font.SetSize(NumberIn(*Edit2, font.Size()));
    Label1->SetFont(font);
}

void TForm1::TrackBar1Change(TObject*)
{
    Label6->SetCaption(std::to_string(TrackBar1->Position()));
}

void TForm1::SetStrengthRange()
{
    if (RadioButton9->Checked() && !CheckBox4->Checked()) {
        TrackBar1->SetMin(0);
        TrackBar1->SetMax(100);
        TrackBar1->SetPosition(50);
        Label2->SetCaption("Vollbild");
        Label3->SetCaption("Transparents");
    } else {
        TrackBar1->SetMin(-255);
        TrackBar1->SetMax(255);
        TrackBar1->SetPosition(30);
        Label2->SetCaption("Dunkel");
        Label3->SetCaption("Heller");
    }
}

void TForm1::RadioButton8Click(TObject*)
{
    SetStrengthRange();
}

void TForm1::MarkKindClick(TObject*)
{
    if (RadioButton9->Checked())
        SetStrengthRange();
}

void TForm1::CheckBox4Click(TObject*)
{
    if (CheckBox4->Checked()) {
        Image9->Picture().SetGraphic(static_cast<const TGraphic*>(nullptr));
        Memo2->Lines().Assign(Memo3->Lines());
    } else {
        Image9->Picture().Assign(Image8->Picture());
        Memo2->Lines().Clear();
    }
    MarkKindClick(this);
}

void TForm1::BitBtn2Click(TObject*)
{
    RadioButton9->SetChecked(true);
    if (!OpenPictureDialog1->Execute())
        return;
    const std::string file = OpenPictureDialog1->FileName();
    auto picture = std::make_unique<TBitmap>();
    try {
        LoadPictureBitmap(file, *picture);
    } catch (const Exception& e) {
        // The mark in use stays.
        ShowMessage(e.what());
        return;
    }
    CheckBox4->SetChecked(false);
    Image8->Picture().SetGraphic(picture.get());
    Image9->Picture().SetGraphic(std::move(picture));
}

void TForm1::Image8MouseMove(TObject*, TShiftState, int X, int Y)
{
    if (!Image8->Picture().Graphic())
        return;
    const TColor colour = Image8->Picture().Bitmap().Pixel(X, Y);
    if (colour != CLR_INVALID)
        Memo1->SetColor(colour);
}

void TForm1::Image8MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y)
{
    if (!Image8->Picture().Graphic())
        return;
    Screen->SetCursor(crHourGlass);
    Label7->SetCaption("Berechne..");
    Label7->Repaint();
    const TBitmap& picture = Image8->Picture().Bitmap();
    const TColor key = picture.Pixel(X, Y);
    if (key != CLR_INVALID) {
        Memo1->SetColor(key);
        std::unique_ptr<TBitmap> copy;
        if (CheckBox4->Checked()) {
            copy = MakeBlackWhiteMask(picture, key, NumberIn(*Edit4, 10));
        } else {
            copy = std::make_unique<TBitmap>();
            copy->Assign(picture);
        }
        WatermarkBitmap = std::make_unique<TBitmap>();
        WatermarkBitmap->Assign(*copy);
        Image9->Picture().SetGraphic(std::move(copy));
    }
    Screen->SetCursor(crDefault);
    Label7->SetCaption("");
}

void TForm1::RadioButton1Click(TObject*)
{
    Image1->SetStretch(false);
    Image1->SetAutoSize(true);
}

void TForm1::RadioButton2Click(TObject*)
{
    ApplyStretch();
}

void TForm1::ApplyStretch()
{
    Image1->SetStretch(true);
    if (!Image1->Picture().Graphic())
        return;
    const int height = StretchedPreviewHeight(Image1->Width(), Image1->Height(), ScrollBox1->Width(),
                                              Image1->Picture().Width(), Image1->Picture().Height());
    if (height < 0)
        return;
    Image1->SetAutoSize(false);
    Image1->SetBounds(Image1->Left(), Image1->Top(), ScrollBox1->Width() - 10, height);
}
