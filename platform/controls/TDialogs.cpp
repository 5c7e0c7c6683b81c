#include "platform/controls/TDialogs.h"

#include "platform/controls/Properties.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/UserInteraction.h"
#include "platform/core/Files.h"
#include "platform/graphics/TPicture.h"

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

const TPropertyTable& TOpenDialog::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        t.String<TOpenDialog>("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
        t.String<TOpenDialog>("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
        t.Int<TOpenDialog>("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex);
        t.String<TOpenDialog>("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
        t.String<TOpenDialog>("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
        t.String<TOpenDialog>("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
        t.Set<TOpenDialog, TOpenOptions>(
            "Options", &TOpenDialog::Options, &TOpenDialog::SetOptions,
            {"ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp", "ofNoValidate",
             "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist", "ofCreatePrompt",
             "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames",
             "ofOldStyleDialog", "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"});
        return t;
    }();
    return table;
}

bool TOpenDialog::Execute()
{
    if (!UserInteraction().ExecuteFileDialog(*this, IsSaveDialog())) return false;
    if (!(FOptions & ofNoChangeDir) && !FFileName.empty()) {
        const std::string dir = ExtractFilePath(FFileName);
        if (!dir.empty()) SetCurrentDir(dir);
    }
    return true;
}

void TOpenDialog::SetChoice(const std::vector<std::string>& files)
{
    FFiles.Clear();
    for (const std::string& f : files) FFiles.Add(f);
    FFileName = files.empty() ? std::string() : files.front();
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner)
{
    SetFilter(TPicture::GraphicFilter());
}

TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner)
{
    SetFilter(TPicture::GraphicFilter());
}

const TPropertyTable& TColorDialog::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        t.Color<TColorDialog>("Color", &TColorDialog::Color, &TColorDialog::SetColor);
        return t;
    }();
    return table;
}

bool TColorDialog::Execute() { return UserInteraction().ExecuteColorDialog(*this); }

const TPropertyTable& TFontDialog::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        t.Font<TFontDialog>("Font", &TFontDialog::Font, &TFontDialog::FontChanged);
        return t;
    }();
    return table;
}

bool TFontDialog::Execute() { return UserInteraction().ExecuteFontDialog(*this); }

bool BrowseForFolder(const std::string& title, std::string& folder)
{
    return UserInteraction().BrowseForFolder(title, folder);
}

void ShowMessage(const std::string& text)
{
    UserInteraction().MessageBox(text, Application ? Application->Title() : std::string(), MB_OK);
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    static const char* captions[] = {"Warning", "Error", "Information", "Confirm", ""};
    static const unsigned icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    unsigned flags = MB_OK;
    if ((buttons & mbYes) && (buttons & mbNo)) flags = (buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if ((buttons & mbAbort) && (buttons & mbRetry)) flags = MB_ABORTRETRYIGNORE;
    else if ((buttons & mbRetry) && (buttons & mbCancel)) flags = MB_RETRYCANCEL;
    else if ((buttons & mbOK) && (buttons & mbCancel)) flags = MB_OKCANCEL;
    const std::string caption = type == mtCustom && Application ? Application->Title() : captions[type];
    return UserInteraction().MessageBox(text, caption, flags | icons[type]);
}
