#pragma once

// The common dialogs and message boxes. Each waits for a person, so each goes
// through the user-interaction interface (UserInteraction.h): Execute answers
// true when the person chose, and the dialog then holds the choice.
//
// A chosen file changes the current folder to the file's folder unless
// ofNoChangeDir is set. ShowMessage and MessageDlg show under the
// application's title; MessageDlg answers a modal result (mrYes, ...).

#include <cstdint>
#include <string>

#include "platform/controls/TComponent.h"
#include "platform/core/TStringList.h"
#include "platform/graphics/TCanvas.h"

using TOpenOptions = std::uint32_t;
enum : TOpenOptions {
    ofReadOnly = 1 << 0, ofOverwritePrompt = 1 << 1, ofHideReadOnly = 1 << 2, ofNoChangeDir = 1 << 3,
    ofShowHelp = 1 << 4, ofNoValidate = 1 << 5, ofAllowMultiSelect = 1 << 6, ofExtensionDifferent = 1 << 7,
    ofPathMustExist = 1 << 8, ofFileMustExist = 1 << 9, ofCreatePrompt = 1 << 10, ofShareAware = 1 << 11,
    ofNoReadOnlyReturn = 1 << 12, ofNoTestFileCreate = 1 << 13, ofNoNetworkButton = 1 << 14,
    ofNoLongNames = 1 << 15, ofOldStyleDialog = 1 << 16, ofNoDereferenceLinks = 1 << 17,
    ofEnableIncludeNotify = 1 << 18, ofEnableSizing = 1 << 19,
};

class TCommonDialog : public TComponent {
public:
    using TComponent::TComponent;
    virtual bool Execute() = 0;
};

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);

    const char* ClassName() const override { return "TOpenDialog"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    bool Execute() override;

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& value) { FFileName = value; }
    // Every chosen file, in the order chosen (one with a single choice).
    TStrings& Files() { return FFiles; }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& value) { FFilter = value; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int value) { FFilterIndex = value; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& value) { FInitialDir = value; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& value) { FTitle = value; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& value) { FDefaultExt = value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions value) { FOptions = value; }

    // Used by interactions to hand over the choice.
    void SetChoice(const std::vector<std::string>& files);

protected:
    virtual bool IsSaveDialog() const { return false; }

private:
    std::string FFileName;
    TStringList FFiles;
    std::string FFilter;
    int FFilterIndex = 1;
    std::string FInitialDir;
    std::string FTitle;
    std::string FDefaultExt;
    TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    const char* ClassName() const override { return "TSaveDialog"; }

protected:
    bool IsSaveDialog() const override { return true; }
};

// Their filter starts as the picture formats of the format registry.
class TOpenPictureDialog : public TOpenDialog {
public:
    explicit TOpenPictureDialog(TComponent* AOwner);
    const char* ClassName() const override { return "TOpenPictureDialog"; }
};

class TSavePictureDialog : public TSaveDialog {
public:
    explicit TSavePictureDialog(TComponent* AOwner);
    const char* ClassName() const override { return "TSavePictureDialog"; }
};

class TColorDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    const char* ClassName() const override { return "TColorDialog"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    bool Execute() override;
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }

private:
    TColor FColor = clBlack;
};

class TFontDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    const char* ClassName() const override { return "TFontDialog"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    bool Execute() override;
    TFont& Font() { return FFont; }
    void FontChanged() {}

private:
    TFont FFont;
};

// The shell's folder browser: true with the chosen folder in `folder`.
bool BrowseForFolder(const std::string& title, std::string& folder);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using TMsgDlgButtons = std::uint16_t;
enum : TMsgDlgButtons {
    mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64, mbAll = 128,
    mbNoToAll = 256, mbYesToAll = 512, mbHelp = 1024,
};

void ShowMessage(const std::string& text);
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
