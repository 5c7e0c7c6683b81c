#include "builder/wizard/ProjectFile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/CopyrightDialog.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "builder/dialogs/FormReference.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/MetaHeadText.h"
#include "builder/pages/ColorToHtml.h"
#include "builder/wizard/WizardForm.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "platform/core/TStringList.h"

namespace {

constexpr std::array<const char*, 3> TextEndings = {".tx1", ".tx2", ".tx3"};

std::string SideFileText(const std::string& projectFile, const std::string& sideFile)
{
    if (!FileExists(sideFile))
        throw EProjectFileError("The project " + projectFile + " needs its side file " + sideFile +
                                ", which is missing.");
    return ReadFileBytes(sideFile);
}

int Number(const std::string& projectFile, const std::string& text, const char* what)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EProjectFileError("The project file " + projectFile + " holds \"" + text + "\" as the " + what +
                                ", which is no whole number.");
    return value;
}

// An edit and its up-down set together; the up-down is detached meanwhile so
// that the edit keeps the text as it was saved.
void SetNumberField(TEdit& edit, TUpDown& upDown, const std::string& text, int number)
{
    TWinControl* associate = upDown.Associate();
    upDown.SetAssociate(nullptr);
    edit.SetText(text);
    upDown.SetPosition(number);
    upDown.SetAssociate(associate);
}

// A project whose own side files are missing was written with the older,
// shorter stem.
std::string SideFileStemToRead(const std::string& fileName)
{
    const std::string stem = ProjectSideFileStem(fileName);
    for (const char* ending : {"._tn", "._tk", ".tx1", ".tx2", ".tx3"})
        if (FileExists(stem + ending))
            return stem;
    return OlderProjectSideFileStem(fileName);
}

// Everything a load applies, read and checked before any control changes.
struct TLoadedProject {
    TGalleryProjectRecord Record;
    std::optional<TProjectOptions> Options;
    std::vector<std::string> Pictures;
    std::vector<std::string> Comments;
    std::array<std::optional<std::string>, 3> Texts;
    std::unique_ptr<TPicture> Background;
    std::string BackgroundProblem;  // empty when the background loaded
    struct {
        int ThumbPercent = 0, ThumbHeight = 0, ThumbWidth = 0, PerRow = 0, Rows = 0;
        int HeadingSize = 0, PictureSize = 0, TextSize = 0, SlideShowSeconds = 0, MaxPictureKB = 0;
    } Numbers;
};

TLoadedProject LoadProject(const std::string& fileName, bool older)
{
    if (!FileExists(fileName))
        throw EProjectFileError("The project file " + fileName + " does not exist.");
    TLoadedProject p;
    // A file of another size is refused before it is read, however large it is.
    const std::int64_t size = FileSize(fileName);
    const std::size_t expected = older ? GalleryProjectRecordV1Size : GalleryProjectRecordSize;
    p.Record = DecodeProjectRecord(size == static_cast<std::int64_t>(expected) ? ReadFileBytes(fileName)
                                                                                : std::string(),
                                   older, fileName);
    const TGalleryProjectRecord& r = p.Record;
    const std::string stem = SideFileStemToRead(fileName);
    if (r.HasPictures) {
        p.Pictures = SplitLines(SideFileText(fileName, stem + "._tn"));
        if (!older && FileExists(stem + "._tk"))
            p.Comments = SplitLines(ReadFileBytes(stem + "._tk"));
        // The comment list stays in step with the pictures whatever the side
        // file holds.
        p.Comments.resize(p.Pictures.size(), " ");
    }
    const std::array<bool, 3> hasText = {r.HasTextAboveHeading, r.HasTextBelowHeading, r.HasTextBelowGallery};
    for (std::size_t i = 0; i < hasText.size(); ++i)
        if (hasText[i])
            p.Texts[i] = SideFileText(fileName, stem + TextEndings[i]);
    // A background picture moved since the save costs only the background:
    // the rest of the project loads, and the user is told.
    if (!r.BackgroundPicture.empty()) {
        p.Background = std::make_unique<TPicture>();
        try {
            p.Background->LoadFromFile(r.BackgroundPicture);
        } catch (const Exception& e) {
            p.Background.reset();
            p.BackgroundProblem = "The project " + fileName + " names the background picture " +
                                  r.BackgroundPicture + ", which cannot be loaded: " + e.Message() +
                                  "\r\nThe gallery is loaded without a background picture.";
        }
    }
    auto& n = p.Numbers;
    if (!older)
        n.ThumbPercent = Number(fileName, r.ThumbPercent, "thumbnail percentage");
    n.ThumbHeight = Number(fileName, r.ThumbHeight, "thumbnail height");
    n.ThumbWidth = Number(fileName, r.ThumbWidth, "thumbnail width");
    if (!older) {
        n.PerRow = Number(fileName, r.PicturesPerRow, "pictures per row");
        n.Rows = Number(fileName, r.RowsPerPage, "rows per page");
    }
    n.HeadingSize = Number(fileName, r.HeadingFontSize, "heading font size");
    n.PictureSize = Number(fileName, r.PictureFontSize, "picture font size");
    n.TextSize = Number(fileName, r.TextFontSize, "text font size");
    if (!older) {
        p.Options = ParseProjectOptions(r.OptionsText);
        if (p.Options) {
            n.SlideShowSeconds = Number(fileName, p.Options->SlideShowSeconds, "slide show seconds");
            n.MaxPictureKB = Number(fileName, p.Options->MaxPictureKB, "largest file size");
        }
    }
    return p;
}

void SetLines(TStrings& list, const std::vector<std::string>& lines)
{
    list.Clear();
    for (const std::string& line : lines)
        list.Add(line);
}

void ApplyProject(TForm1& w, const TLoadedProject& p, bool older)
{
    const TGalleryProjectRecord& r = p.Record;
    TForm6& background = FormRef(BackgroundDialog, "TForm6");
    TForm7& fonts = FormRef(FontOptionsDialog, "TForm7");
    if (r.HasPictures) {
        w.ListBox1->Clear();
        w.ListBox2->Clear();
        SetLines(w.ListBox1->Items(), p.Pictures);
        SetLines(w.ListBox2->Items(), p.Comments);
    }
    if (!older && Pos("<meta", r.MetaHeadText) > 0)
        MetaHeadText = r.MetaHeadText;
    w.CheckBox1->SetChecked(r.CheckBox1);
    w.RadioButton3->SetChecked(r.WebKind);
    w.Label2->SetCaption(r.GalleryFolder);
    w.RadioButton1->SetChecked(r.PercentSize);
    w.RadioButton2->SetChecked(r.FixedSize);
    const auto& n = p.Numbers;
    if (older)
        w.Edit1->SetText(r.ThumbPercent);
    else
        SetNumberField(*w.Edit1, *w.UpDown1, r.ThumbPercent, n.ThumbPercent);
    SetNumberField(*w.Edit2, *w.UpDown2, r.ThumbHeight, n.ThumbHeight);
    SetNumberField(*w.Edit3, *w.UpDown3, r.ThumbWidth, n.ThumbWidth);
    w.ComboBox1->SetItemIndex(r.LinkMode);
    w.Edit4->SetText(r.GalleryHeading);
    w.CheckBox3->SetChecked(r.ShowPictureInfos);
    if (older) {
        w.Edit5->SetText(r.PicturesPerRow);
        w.Edit6->SetText(r.RowsPerPage);
    } else {
        SetNumberField(*w.Edit5, *w.UpDown4, r.PicturesPerRow, n.PerRow);
        SetNumberField(*w.Edit6, *w.UpDown5, r.RowsPerPage, n.Rows);
    }
    TMemo* const memos[] = {w.Memo3, w.Memo4, w.Memo5};
    for (std::size_t i = 0; i < p.Texts.size(); ++i)
        if (p.Texts[i])
            memos[i]->Lines().SetText(*p.Texts[i]);
    w.CheckBox4->SetChecked(r.TextsOnIndex);
    w.CheckBox5->SetChecked(r.TextsOnGalleryPages);
    background.Label1->SetCaption(p.BackgroundProblem.empty() ? r.BackgroundPicture : std::string());
    if (p.Background)
        background.Image1->Picture().Assign(*p.Background);
    else
        background.Image1->Picture().SetGraphic(nullptr);
    fonts.ComboBox1->SetItemIndex(r.FontIndex);
    SetNumberField(*fonts.Edit1, *fonts.UpDown1, r.HeadingFontSize, n.HeadingSize);
    SetNumberField(*fonts.Edit2, *fonts.UpDown2, r.PictureFontSize, n.PictureSize);
    SetNumberField(*fonts.Edit3, *fonts.UpDown3, r.TextFontSize, n.TextSize);
    fonts.Memo1->Font().SetColor(r.TextColor);
    fonts.Memo1->FontChanged();
    fonts.Memo1->SetColor(r.BackgroundColor);
    fonts.Edit4->SetText(ColorToHtml(r.TextColor));
    fonts.Edit5->SetText(ColorToHtml(r.BackgroundColor));
    if (older) {
        w.ApplyOptionRules();
        return;
    }
    FormRef(CopyrightDialog, "TForm9").Edit1->SetText(r.CopyrightNote);
    if (p.Options) {
        const TProjectOptions& o = *p.Options;
        TForm11& limits = FormRef(LimitsDialog, "TForm11");
        w.CheckBox8->SetChecked(o.OpenInNewWindow);
        w.CheckBox9->SetChecked(o.InternetOptimize);
        w.CheckBox10->SetChecked(o.LinkToWebpage);
        w.Edit9->SetText(o.LinkUrl);
        w.CheckBox7->SetChecked(o.SlideShow);
        SetNumberField(*w.Edit8, *w.UpDown6, o.SlideShowSeconds, n.SlideShowSeconds);
        limits.Edit1->SetText(o.MaxPictureHeight);
        limits.Edit2->SetText(o.MaxPictureWidth);
        SetNumberField(*limits.Edit3, *limits.UpDown1, o.MaxPictureKB, n.MaxPictureKB);
        if (o.CommentsInGallery)
            w.CheckBox11->SetChecked(*o.CommentsInGallery);
        if (o.CommentsOnFullPages)
            w.CheckBox12->SetChecked(*o.CommentsOnFullPages);
        if (o.CommentsInEmail)
            w.CheckBox2->SetChecked(*o.CommentsInEmail);
    }
    if (Pos("THUMB", r.KindWord) > 0)
        w.RadioButton5->SetChecked(true);
    if (Pos("GALL", r.KindWord) > 0)
        w.RadioButton3->SetChecked(true);
    if (Pos("MAIL", r.KindWord) > 0)
        w.RadioButton4->SetChecked(true);
    if (r.WatermarkFlags.size() > 2) {
        w.CheckBox14->SetChecked(r.WatermarkFlags[0] == '1');
        w.CheckBox15->SetChecked(r.WatermarkFlags[1] == '1');
        w.CheckBox16->SetChecked(r.WatermarkFlags[2] == '1');
    }
    w.ApplyOptionRules();
}

std::string KindWord(const TForm1& w)
{
    if (w.RadioButton5->Checked())
        return "THUMB";
    if (w.RadioButton3->Checked())
        return "GALL";
    if (w.RadioButton4->Checked())
        return "MAIL";
    return " ";
}

}  // namespace

void WriteProjectFile(TForm1& w, const std::string& fileName)
{
    TForm6& background = FormRef(BackgroundDialog, "TForm6");
    TForm7& fonts = FormRef(FontOptionsDialog, "TForm7");
    TForm11& limits = FormRef(LimitsDialog, "TForm11");
    const std::string stem = ProjectSideFileStem(fileName);

    TGalleryProjectRecord r;
    r.HasPictures = w.ListBox1->Count() > 0;
    if (r.HasPictures) {
        ReplaceFileBytes(stem + "._tn", w.ListBox1->Items().Text());
        ReplaceFileBytes(stem + "._tk", w.ListBox2->Items().Text());
    }
    TMemo* const memos[] = {w.Memo3, w.Memo4, w.Memo5};
    bool* const hasText[] = {&r.HasTextAboveHeading, &r.HasTextBelowHeading, &r.HasTextBelowGallery};
    for (std::size_t i = 0; i < TextEndings.size(); ++i) {
        *hasText[i] = !memos[i]->Text().empty();
        if (*hasText[i])
            ReplaceFileBytes(stem + TextEndings[i], memos[i]->Lines().Text());
    }
    r.CheckBox1 = w.CheckBox1->Checked();
    r.WebKind = w.RadioButton3->Checked();
    r.GalleryFolder = w.Label2->Caption();
    r.PercentSize = w.RadioButton1->Checked();
    r.FixedSize = w.RadioButton2->Checked();
    r.ThumbPercent = w.Edit1->Text();
    r.ThumbHeight = w.Edit2->Text();
    r.ThumbWidth = w.Edit3->Text();
    r.LinkMode = w.ComboBox1->ItemIndex();
    r.GalleryHeading = w.Edit4->Text();
    r.ShowPictureInfos = w.CheckBox3->Checked();
    r.PicturesPerRow = w.Edit5->Text();
    r.RowsPerPage = w.Edit6->Text();
    r.TextsOnIndex = w.CheckBox4->Checked();
    r.TextsOnGalleryPages = w.CheckBox5->Checked();
    r.BackgroundPicture = background.Label1->Caption();
    r.FontIndex = fonts.ComboBox1->ItemIndex();
    r.HeadingFontSize = fonts.Edit1->Text();
    r.PictureFontSize = fonts.Edit2->Text();
    r.TextFontSize = fonts.Edit3->Text();
    r.TextColor = fonts.TextColor();
    r.BackgroundColor = fonts.BackgroundColor();
    r.CopyrightNote = FormRef(CopyrightDialog, "TForm9").Edit1->Text();
    TProjectOptions o;
    o.OpenInNewWindow = w.CheckBox8->Checked();
    o.InternetOptimize = w.CheckBox9->Checked();
    o.LinkToWebpage = w.CheckBox10->Checked();
    o.LinkUrl = w.Edit9->Text();
    o.SlideShow = w.CheckBox7->Checked();
    o.SlideShowSeconds = w.Edit8->Text();
    o.MaxPictureHeight = limits.Edit1->Text();
    o.MaxPictureWidth = limits.Edit2->Text();
    o.MaxPictureKB = limits.Edit3->Text();
    o.CommentsInGallery = w.CheckBox11->Checked();
    o.CommentsOnFullPages = w.CheckBox12->Checked();
    o.CommentsInEmail = w.CheckBox2->Checked();
    r.OptionsText = ComposeProjectOptions(o);
    r.MetaHeadText = MetaHeadText;
    r.KindWord = KindWord(w);
    r.WatermarkFlags = std::string(w.CheckBox14->Checked() ? "1" : "0") + (w.CheckBox15->Checked() ? "1" : "0") +
                       (w.CheckBox16->Checked() ? "1" : "0");
    ReplaceFileBytes(fileName, EncodeProjectRecord(r));
}

void ReadProjectFile(TForm1& wizard, const std::string& fileName)
{
    const TLoadedProject project = LoadProject(fileName, false);
    ApplyProject(wizard, project, false);
    if (!project.BackgroundProblem.empty())
        ShowMessage(project.BackgroundProblem);
}

void ReadProjectFileV1(TForm1& wizard, const std::string& fileName)
{
    const TLoadedProject project = LoadProject(fileName, true);
    ApplyProject(wizard, project, true);
    if (!project.BackgroundProblem.empty())
        ShowMessage(project.BackgroundProblem);
}
