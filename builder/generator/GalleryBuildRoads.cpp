// The roads of a build that leave the gallery folder: the picture application
// (EXE gallery or PDF work files) and the e-mail gallery.

#include "builder/generator/GalleryBuild.h"

#include "builder/generator/ExeGalleryFile.h"
#include "shared/GalleryDataBlock.h"
#include "builder/generator/PdfWorkFiles.h"
#include "builder/pages/MailPage.h"
#include "builder/dialogs/PleaseWaitForm.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/shell/ShellExecute.h"
#include "shared/veskotools.h"

namespace {


// The builder's own work folders are made when missing: a fresh program
// folder has none, and the work files are all they are for.
std::string WorkFolder(const std::string& programFolder, const std::string& name)
{
    const std::string folder = programFolder + name + "/";
    if (!DirectoryExists(ExcludeTrailingPathDelimiter(folder)))
        ForceDirectories(ExcludeTrailingPathDelimiter(folder));
    return folder;
}

}  // namespace

bool TGalleryBuild::RoadRefused()
{
    if (FKind == TGalleryKind::Application)
        return ApplicationRefused();
    if (FKind == TGalleryKind::Email) {
        FWorkFolder = WorkFolder(FWizard.ProgramFolder, "OutMail");
        ClearMailFolder();
    }
    return false;
}

bool TGalleryBuild::ApplicationRefused()
{
    // A PDF gallery has no use for the viewer, so only the EXE gallery needs it.
    if (!FWizard.ExeGalleryMode) {
        FWorkFolder = WorkFolder(FWizard.ProgramFolder, "PDFIMAGES");
        return false;
    }
    FViewerProgram = FWizard.ProgramFolder + "PictureViewer/glimra.exe";
    std::string viewer;
    try {
        LoadFileToString(FViewerProgram, viewer);
    } catch (const Exception& e) {
        ShowMessage("The picture viewer could not be read, so no EXE gallery can be built:\r\n" +
                    std::string(e.what()));
        return true;
    }
    try {
        CheckDataBlockTexts(FOptions.ViewerNotes(), FWizard.ListBox2->Items().Items(),
                            FWizard.ListBox1->Items().Items());
    } catch (const Exception& e) {
        ShowMessage(e.what());
        return true;
    }
    FDataBlock = std::make_unique<TGalleryDataBlock>(viewer, FOptions.ViewerNotes());
    return false;
}

void TGalleryBuild::ClearMailFolder()
{
    TFileListBox& files = *FWizard.FileListBox1;
    files.SetDirectory(ExcludeTrailingPathDelimiter(FWorkFolder));
    files.Update();
    for (const std::string& name : files.Items().Items())
        DeleteFile(FWorkFolder + name);
}

void TGalleryBuild::BuildApplicationPicture(const TPictureOutcome& outcome, int number, bool gif,
                                            const std::string& comment)
{
    if (FDataBlock) {
        FDataBlock->AddPicture(*outcome.FullBytes, gif, comment);
        return;
    }
    const std::string path = FWorkFolder + PdfPictureFileName(number, gif);
    SaveGraphicBytes(path, *outcome.FullBytes);
    FPdfPictureList.push_back(path);
}

void TGalleryBuild::BuildMailPicture(const TPictureOutcome& outcome, int number, bool gif, const std::string& comment)
{
    SaveGraphicBytes(FWorkFolder + MailThumbnailName(number, gif), *outcome.ThumbnailBytes);
    FMailPage->AddPicture(number, gif, comment);
}

void TGalleryBuild::FinishExeGallery()
{
    TSaveDialog& dialog = *FWizard.SaveDialog2;
    dialog.SetFileName("MyGallery");
    if (!dialog.Execute())
        return;
    const std::string target = ExeGalleryTarget(dialog.FileName());
    if (SameFile(target, FViewerProgram)) {
        ShowMessage("The picture viewer itself cannot be replaced by a gallery: " + target +
                    "\r\nThe gallery is not written; please build it again under another name.");
        return;
    }
    TSchreibeDaten& wait = FormRef(PleaseWaitForm, "TSchreibeDaten");
    wait.Show();
    HandOver();
    WriteExeGallery(target, FDataBlock->Bytes());
    wait.Hide();
    ShowMessage(ExeGalleryCompleteMessage(target));
}

void TGalleryBuild::FinishPdfGallery()
{
    WriteFileBytes(FWorkFolder + "f.dat", PdfListText(FPdfPictureList));
    WriteFileBytes(FWorkFolder + "k.dat", PdfListText(FWizard.ListBox2->Items().Items()));
    for (TEdit* edit : {FWizard.Edit26, FWizard.Edit25, FWizard.Edit27})
        edit->SetText(PdfTextOrDash(edit->Text()));
    const std::string arguments = PdfArgumentLine(FOptions.CommentsInGallery(), FOptions.PdfTitle(),
                                                  FOptions.PdfAuthor(), FOptions.PdfDate());
    const std::string converter = FWorkFolder + "plennix.exe";
    if (!ShellStarted(ShellExecute(FWizard.Handle(), "open", converter, arguments, "", SW_SHOW)))
        ShowMessage("The PDF converter could not be started: " + converter +
                    "\r\nThe pictures and the lists f.dat and k.dat are in " + FWorkFolder);
}

void TGalleryBuild::FinishMailGallery()
{
    WriteFileBytes(FWizard.ProgramFolder + "OutMail/index.html", FMailPage->Finish());
    const std::string mailer = FWorkFolder + "VEV.exe";
    if (!ShellStarted(ShellExecute(FWizard.Handle(), "open", mailer, IntToStr(FPictureCount), "", SW_SHOW)))
        ShowMessage("The mail program could not be started: " + mailer +
                    "\r\nThe e-mail page index.html and its pictures are in " + FWorkFolder);
}
