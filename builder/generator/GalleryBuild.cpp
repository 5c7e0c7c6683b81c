#include "builder/generator/GalleryBuild.h"

#include <algorithm>
#include <deque>
#include <future>
#include <limits>

#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/BuildCancelWindow.h"
#include "builder/generator/BuildInProgress.h"
#include "builder/generator/BuildPicture.h"
#include "builder/generator/PhpGalleryRoad.h"
#include "builder/dialogs/CompressProgressForm.h"
#include "builder/dialogs/CopyrightDialog.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "shared/GalleryDataBlock.h"
#include "builder/pages/MailPage.h"
#include "builder/dialogs/GalleryDoneDialog.h"
#include "builder/pages/GalleryPages.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/MetaHeadText.h"
#include "builder/language/NavigationWords.h"
#include "builder/dialogs/OverwritePrompt.h"
#include "builder/dialogs/PleaseWaitForm.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/TApplication.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "platform/core/WorkerPool.h"
#include "platform/shell/ShellExecute.h"
#include "shared/veskotools.h"

namespace {

TGalleryKind KindOf(const TWizardOptions& options)
{
    if (options.EmailKind())
        return TGalleryKind::Email;
    if (options.ThumbnailsKind())
        return TGalleryKind::Thumbnails;
    if (options.ApplicationKind())
        return TGalleryKind::Application;
    return TGalleryKind::Web;
}

// A number field read strictly; outside min..max it is refused with `message`.
bool ReadNumber(const std::string& text, int min, int max, const std::string& message, int& value)
{
    if (TryStrToInt(text, value) && value >= min && value <= max)
        return true;
    ShowMessage(message);
    return false;
}

bool ReadRangedNumber(const std::string& text, int min, int max, const std::string& field, int& value)
{
    return ReadNumber(text, min, max,
                      "Invalid value (" + field + "): a whole number from " + IntToStr(min) + " to " + IntToStr(max),
                      value);
}

}  // namespace

TGalleryBuild::TGalleryBuild(TForm1& wizard, int workers)
    : FWizard(wizard), FWorkers(workers > 0 ? workers : TWorkerPool::MachineWorkers()), FOptions(wizard),
      FKind(KindOf(FOptions))
{
}

TGalleryBuild::~TGalleryBuild() = default;

void InstallGalleryBuild(TForm1& wizard, int workers)
{
    wizard.OnRunBuild = [workers](TForm1& w) { TGalleryBuild(w, workers).Run(); };
    wizard.PhpParts = std::make_unique<TPhpGalleryRoad>();
}

bool TGalleryBuild::Refused()
{
    if (FKind == TGalleryKind::Web && FWizard.PhpGallery && !FWizard.PhpParts) {
        ShowMessage("PHP galleries cannot be built yet.");
        return true;
    }
    return NumbersRefused();
}

bool TGalleryBuild::NumbersRefused()
{
    if (FKind == TGalleryKind::Web || FKind == TGalleryKind::Email) {
        if (!ReadRangedNumber(FOptions.PicturesPerRow(), 1, 10, "pictures per row", FPicturesPerRow))
            return true;
    }
    if (FKind == TGalleryKind::Web && !ReadRangedNumber(FOptions.RowsPerPage(), 1, 20, "rows per page", FRowsPerPage))
        return true;
    if (FKind != TGalleryKind::Application && ThumbnailNumbersRefused())
        return true;
    if (UsesInternetOptimize() && FOptions.InternetOptimize()) {
        const TForm11& limits = FormRef(LimitsDialog, "TForm11");
        constexpr int Any = std::numeric_limits<int>::max();
        int kilobytes = 0;
        if (!ReadNumber(limits.Edit1->Text(), 1, Any, "Invalid value (height)", FMaxPictureHeight) ||
            !ReadNumber(limits.Edit2->Text(), 1, Any, "Invalid value (width)", FMaxPictureWidth) ||
            !ReadNumber(limits.Edit3->Text(), 0, Any, "Invalid value (file size)", kilobytes))
            return true;
        FMaxPictureBytes = std::int64_t(kilobytes) * 1000;
    }
    return false;
}

bool TGalleryBuild::UsesInternetOptimize() const
{
    return FKind == TGalleryKind::Web || FKind == TGalleryKind::Application;
}

bool TGalleryBuild::ThumbnailNumbersRefused()
{
    FPercentThumbnails = FOptions.ThumbSizeInPercent();
    if (FPercentThumbnails) {
        if (!ReadRangedNumber(FOptions.ThumbPercent(), 1, 100, "thumbnail percent", FThumbPercent))
            return true;
    } else if (!ReadRangedNumber(FOptions.ThumbHeight(), 1, 1000, "thumbnail height", FThumbHeight) ||
               !ReadRangedNumber(FOptions.ThumbWidth(), 1, 1000, "thumbnail width", FThumbWidth)) {
        return true;
    }
    return false;
}

bool TGalleryBuild::OverwriteRefused()
{
    if (FKind == TGalleryKind::Application || FKind == TGalleryKind::Email)
        return false;
    if (!FileExists(FFolder + "th_0.jpg"))
        return false;
    if (FormRef(OverwritePrompt, "TForm13").ShowModal() != mrYes)
        return true;
    if (FWizard.PhpGallery)
        DeleteCounterFiles();
    return false;
}

void TGalleryBuild::DeleteCounterFiles()
{
    TFileListBox& files = *FormRef(FolderChooserDialog, "TForm2").FileListBox1;
    files.SetDirectory(ExcludeTrailingPathDelimiter(FFolder));
    files.Update();
    const std::string folder = IncludeTrailingPathDelimiter(files.Directory());
    for (const std::string& name : files.Items().Items())
        DeleteFile(folder + name);
}

TGalleryPageSettings TGalleryBuild::PageSettings(bool hasBackground) const
{
    const TForm7& fonts = FormRef(FontOptionsDialog, "TForm7");
    TGalleryPageSettings s;
    s.FontName = fonts.ChosenFontName();
    s.HeadingFontSize = fonts.Edit1->Text();
    s.PictureFontSize = fonts.Edit2->Text();
    s.TextFontSize = fonts.Edit3->Text();
    s.TextColor = fonts.TextColor();
    s.BackgroundColor = fonts.BackgroundColor();
    s.MetaHeadText = MetaHeadText;
    s.GalleryHeading = FOptions.GalleryHeading();
    s.TextAboveHeading = FOptions.TextAboveHeading();
    s.TextBelowHeading = FOptions.TextBelowHeading();
    s.TextBelowGallery = FOptions.TextBelowGallery();
    s.TextsOnIndex = FOptions.TextsOnIndex();
    s.TextsOnGalleryPages = FOptions.TextsOnGalleryPages();
    s.TextsOnFullPages = FOptions.TextsOnFullPages();
    s.CommentsInGallery = FOptions.CommentsInGallery();
    s.CommentsOnFullPages = FOptions.CommentsOnFullPages();
    s.LinkMode = FOptions.LinkToFullPicture() ? TLinkMode::FullPicture : TLinkMode::NoLink;
    s.SlideShow = FOptions.SlideShow();
    s.SlideShowSeconds = FOptions.SlideShowSeconds();
    s.ShowPictureInfos = FOptions.ShowPictureInfos();
    s.OpenInNewWindow = FOptions.OpenInNewWindow();
    s.NavIndexText = NavIndexText;
    s.NavGalleryText = NavGalleryText;
    s.NavNextText = NavNextText;
    s.NavBackText = NavBackText;
    s.NavPicturesText = NavPicturesText;
    SetRunTexts(s, FWizard.PhpGallery, FOptions.LinkToWebpage(), FOptions.LinkUrl(), hasBackground);
    if (FWizard.PhpGallery && FWizard.PhpParts)
        s.Php = FWizard.PhpParts->PageInserts(FWizard);
    return s;
}

void TGalleryBuild::SetProgress(int position, int max)
{
    for (TProgressBar* bar : {FWizard.ProgressBar1, FWizard.ProgressBar2, FWizard.ProgressBar3,
                              FWizard.ProgressBar4, FWizard.ProgressBar5}) {
        if (max >= 0)
            bar->SetMax(max);
        bar->SetPosition(position);
    }
}

void TGalleryBuild::WritePage(const TPageFile& page) const
{
    WritePageFile(FFolder, page);
}

void TGalleryBuild::HandOver()
{
    if (Application)
        Application->ProcessMessages();
}

void TGalleryBuild::Run()
{
    const TBuildInProgress building(FWizard);
    if (Refused())
        return;
    FFolder = FOptions.GalleryFolder();
    FPictureCount = FWizard.ListBox1->Count();
    if (RoadRefused() || OverwriteRefused())
        return;
    SetProgress(0, FPictureCount);

    TImage& background = *FormRef(BackgroundDialog, "TForm6").Image1;
    const bool hasBackground = !background.Picture().Empty();
    if (hasBackground) {
        // The folder is made first: the kinds that skip the folder chooser
        // write into a folder that need not exist yet.
        CreateDir(ExcludeTrailingPathDelimiter(FFolder));
        background.Picture().SaveToFile(FFolder + "background.jpg");
    }
    FSettings = PageSettings(hasBackground);

    if (FPictureCount == 0) {
        ShowMessage("No pictures found in list. You go one step back!");
        FWizard.PageControl1->SetActivePage(FWizard.TabSheet1);
        return;
    }

    try {
        CreateDir(ExcludeTrailingPathDelimiter(FFolder));
        FWizard.PageControl1->SetEnabled(false);
        FWizard.Image31->SetEnabled(false);
        FMaxThumbWidth = 0;
        FMaxThumbHeight = 0;
        if (FKind == TGalleryKind::Email)
            FMailPage = std::make_unique<TMailPage>(FSettings, FPicturesPerRow, FOptions.CommentsInEmail());
        if (FKind == TGalleryKind::Web) {
            for (const TPageFile& page : indexprint(FSettings, FPicturesPerRow, FRowsPerPage,
                                                    FWizard.ListBox1->Items().Items()))
                WritePage(page);
            FGrid = std::make_unique<TGalleryGrid>(FSettings, FPicturesPerRow, FRowsPerPage);
        }
        BuildRunning = true;
        TForm12& cancel = FormRef(BuildCancelWindow, "TForm12");
        cancel.SetLeft(FWizard.Left() + 10);
        cancel.SetTop(FWizard.Top() + 10);
        cancel.Show();
        BuildPictures();
        Finish();
    } catch (...) {
        RestoreWizard();
        throw;
    }
}

void TGalleryBuild::RestoreWizard()
{
    if (BuildCancelWindow)
        BuildCancelWindow->Hide();
    if (CompressProgressForm)
        CompressProgressForm->Hide();
    if (PleaseWaitForm)
        PleaseWaitForm->Hide();
    FWizard.PageControl1->SetEnabled(true);
    FWizard.Image31->SetEnabled(true);
}

void TGalleryBuild::BuildPictures()
{
    // Declared first so that it goes last: its end drops the work not begun
    // and waits for the work that runs.
    TWorkerPool pool(FWorkers);
    std::deque<std::future<TPictureOutcome>> ahead;
    int handedOver = 0;
    const auto handOverNext = [&] {
        ahead.push_back(pool.Submit([job = PictureJob(handedOver)](int) { return MakePicture(job); }));
        ++handedOver;
    };
    for (int number = 0; number < FPictureCount && BuildRunning; ++number) {
        while (handedOver < FPictureCount && handedOver < number + pool.Size())
            handOverNext();
        TPictureOutcome outcome = ahead.front().get();
        ahead.pop_front();
        // The freed worker starts on the next picture while this round runs.
        if (handedOver < FPictureCount)
            handOverNext();
        BuildPicture(number, outcome);
        HandOver();
    }
}

TPictureJob TGalleryBuild::PictureJob(int number) const
{
    TPictureJob job;
    job.Path = FWizard.ListBox1->Items().Strings(number);
    job.Road = PictureRoadOf(job.Path);
    job.Kind = FKind;
    job.Linked = FSettings.LinkMode == TLinkMode::FullPicture;
    job.SizeInfo = CellShowsSizeInfo(FSettings);
    // Only the kinds that shrink to the limits read them; a switch left on
    // from another kind must not shrink a thumbnails-only GIF to limits of 0.
    job.Optimize = UsesInternetOptimize() && FOptions.InternetOptimize();
    job.MaxWidth = FMaxPictureWidth;
    job.MaxHeight = FMaxPictureHeight;
    job.MaxBytes = FMaxPictureBytes;
    // The windows are asked only by the rounds that use them.
    if (job.Optimize) {
        const TImage& preview = *FormRef(CompressProgressForm, "TForm10").Image1;
        job.PreviewBox = {preview.Width(), preview.Height()};
    }
    job.PercentThumbnails = FPercentThumbnails;
    job.ThumbPercent = FThumbPercent;
    job.ThumbWidth = FThumbWidth;
    job.ThumbHeight = FThumbHeight;
    if (NotesFullPicture())
        job.CopyrightNote = FormRef(CopyrightDialog, "TForm9").Edit1->Text();
    return job;
}

bool TGalleryBuild::NotesFullPicture() const
{
    const bool linked = FSettings.LinkMode == TLinkMode::FullPicture;
    return FKind == TGalleryKind::Application || (FKind == TGalleryKind::Web && linked);
}

void TGalleryBuild::BuildPicture(int number, TPictureOutcome& outcome)
{
    SetProgress(number + 1);
    if (outcome.Error && !outcome.Loaded)
        std::rethrow_exception(outcome.Error);
    const std::string path = FWizard.ListBox1->Items().Strings(number);
    const TStrings& comments = FWizard.ListBox2->Items();
    const std::string comment = number < comments.Count() ? comments.Strings(number) : std::string(" ");
    const bool gif = PictureRoadOf(path) == TPictureRoad::Gif;
    const bool web = FKind == TGalleryKind::Web;
    // A JPEG-road picture is loaded before its cell begins, a GIF one after.
    if (!outcome.Loaded && !gif)
        ShowMessage("file format not found");
    // A skipped picture keeps its cell, empty, so every page holds the
    // pictures the index names.
    if (web) {
        if (std::optional<TPageFile> closed = FGrid->BeginCell())
            WritePage(*closed);
    }
    if (!outcome.Loaded && gif)
        ShowMessage("file format not found");
    if (!outcome.Loaded) {
        FSkipped.push_back(number);
        return;
    }
    const bool linked = FSettings.LinkMode == TLinkMode::FullPicture;
    if (web && linked) {
        FFullPictures.push_back({number, gif, comment, FGrid->PagesWritten(), FPictureCount, FSkipped});
        WritePage({FullPicturePageName(FSettings, number), FullPicturePageText(FSettings, FFullPictures.back()),
                   false});
    }
    ShowShrink(outcome);
    if (outcome.Error)
        std::rethrow_exception(outcome.Error);
    // The copyright dialog is a window of its own that stays open: a note
    // changed after this picture was handed over is the one the round draws.
    if (NotesFullPicture() &&
        FormRef(CopyrightDialog, "TForm9").Edit1->Text() != outcome.CopyrightNote) {
        TPictureOutcome again = MakePicture(PictureJob(number));
        if (again.Error)
            std::rethrow_exception(again.Error);
        outcome.FullBytes = std::move(again.FullBytes);
    }
    if (FKind == TGalleryKind::Application) {
        BuildApplicationPicture(outcome, number, gif, comment);
        return;
    }
    if (FKind == TGalleryKind::Email) {
        BuildMailPicture(outcome, number, gif, comment);
        return;
    }
    if (web)
        FGrid->AppendThumbnailCell(TThumbnailCell{number, gif, comment, outcome.SizeInfo});
    if (web && linked)
        SaveGraphicBytes(FFolder + "th_" + IntToStr(number) + (gif ? "_big.gif" : "_big.jpg"), *outcome.FullBytes);
    WriteThumbnail(outcome, path, number, gif);
}

// The compress-progress window as the shrink of a picture shows it: the
// picture, "Please wait..", then each quality of a JPEG's search, with a
// hand-over after each step.
void TGalleryBuild::ShowShrink(TPictureOutcome& outcome)
{
    if (!outcome.Shrunk)
        return;
    TForm10& progress = FormRef(CompressProgressForm, "TForm10");
    progress.Label2->SetCaption("Please wait..");
    progress.Image1->Picture().Assign(outcome.Preview.get());
    outcome.Preview.reset();
    progress.Show();
    HandOver();
    for (const int quality : outcome.Qualities) {
        progress.Label2->SetCaption("Compress " + IntToStr(quality) + "%");
        HandOver();
    }
    progress.Hide();
}

void TGalleryBuild::WriteThumbnail(const TPictureOutcome& outcome, const std::string& path, int number, bool gif)
{
    FMaxThumbWidth = std::max(FMaxThumbWidth, outcome.Thumbnail.Width);
    FMaxThumbHeight = std::max(FMaxThumbHeight, outcome.Thumbnail.Height);
    if (FOptions.KeepOriginalNames()) {
        const std::string target = FFolder + ExtractFileName(path);
        if (SameFile(path, target)) {
            ShowMessage("The thumbnail would replace its own picture and is not written: " + path);
            return;
        }
        SaveGraphicBytes(target, *outcome.ThumbnailBytes);
        return;
    }
    SaveGraphicBytes(FFolder + "th_" + IntToStr(number) + (gif ? ".gif" : ".jpg"), *outcome.ThumbnailBytes);
}

void TGalleryBuild::Finish()
{
    if (BuildCancelWindow)
        BuildCancelWindow->Hide();
    if (FKind == TGalleryKind::Web) {
        if (FWizard.PhpGallery)
            FWizard.PhpParts->WriteFiles(FWizard, FFolder);
        WritePage(FGrid->Finish());
    } else if (FKind == TGalleryKind::Application) {
        if (FDataBlock)
            FinishExeGallery();
        else
            FinishPdfGallery();
    } else if (FKind == TGalleryKind::Email) {
        FinishMailGallery();
    }
    FWizard.PageControl1->SetEnabled(true);
    FWizard.Image31->SetEnabled(true);
    if (FKind == TGalleryKind::Web) {
        RelinkOverSkipped();
        for (const TPageFile& page : CreateFrameSet(FSettings, FMaxThumbWidth, FMaxThumbHeight, FirstLoaded()))
            WritePage(page);
        if (FOptions.StartWatermarkPlugin()) {
            StartWatermarkPlugin();
            ShowMessage("Watermark-Plugin running..");
        }
        TForm4& done = FormRef(GalleryDoneDialog, "TForm4");
        const std::string start = FFolder + "start.html";
        done.Label3->SetCaption(start);
        if (done.ShowModal() == mrOk) {
            HandOver();
            ShellExecute(FWizard.Handle(), "Open", start, "", "", SW_SHOW);
        }
    } else if (FKind != TGalleryKind::Email && FWizard.ExeGalleryMode) {
        ShowMessage("Complete!");
    }
    SetProgress(0);
}

std::optional<int> TGalleryBuild::FirstLoaded() const
{
    for (int n = 0; n < FPictureCount; ++n)
        if (!std::binary_search(FSkipped.begin(), FSkipped.end(), n))
            return n;
    return std::nullopt;
}

// The pages written before a later picture was skipped still link it.
void TGalleryBuild::RelinkOverSkipped()
{
    if (FSkipped.empty())
        return;
    const std::vector<std::string>& paths = FWizard.ListBox1->Items().Items();
    WritePage({"frame_menu.html", FrameMenuText(FSettings, paths, FSkipped), true});
    WritePage({"frame_menu_h.html", FrameMenuRowText(FSettings, paths, FSkipped), true});
    for (TFullPicture& full : FFullPictures) {
        if (full.Skipped == FSkipped)
            continue;
        full.Skipped = FSkipped;
        WritePage({FullPicturePageName(FSettings, full.Number), FullPicturePageText(FSettings, full), false});
    }
}

void TGalleryBuild::StartWatermarkPlugin()
{
    const bool full = FOptions.WatermarkFullPictures();
    const bool thumbnails = FOptions.WatermarkThumbnails();
    const char* sw = full && thumbnails ? "/A" : thumbnails ? "/T" : full ? "/V" : "";
    std::string arguments = FFolder;
    ReplaceText(" ", "%20", arguments, 1);
    arguments += " ";
    arguments += sw;
    std::string program;
    AppPath(program);
    ShellExecute(FWizard.Handle(), "Open", program + "stampel/stampel.exe", arguments, "", SW_SHOW);
}
