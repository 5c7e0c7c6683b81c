#pragma once

// Everything that waits for a person goes through one interface: modal forms,
// message boxes, file, colour, font and folder dialogs, pop-up menus.
//
// With a display the installed interaction shows real windows. Headless, a test
// installs a script (HeadlessInteraction.h). With nothing installed every
// question raises EUnscriptedInteraction at once, so a test never hangs on a
// question nobody answers.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls/Forward.h"

class TOpenDialog;
class TColorDialog;
class TFontDialog;

// A question that nobody scripted. It is a fault of the test, not of the
// program, so it is no Exception: handlers that catch Exception let it pass, and
// the application's error box never swallows it.
class EUnscriptedInteraction : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Message box styles and answers (the answers equal the modal results).
enum : unsigned {
    MB_OK = 0x00, MB_OKCANCEL = 0x01, MB_ABORTRETRYIGNORE = 0x02, MB_YESNOCANCEL = 0x03, MB_YESNO = 0x04,
    MB_RETRYCANCEL = 0x05, MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10, MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

class TUserInteraction {
public:
    virtual ~TUserInteraction() = default;

    // A form starts its modal loop; then, each time its loop finds nothing to
    // do, ModalIdle is called (a display waits for input there); EndModal when
    // the loop has ended (also by an exception).
    virtual void BeginModal(TCustomForm& form) = 0;
    virtual void ModalIdle(TCustomForm& form) = 0;
    virtual void EndModal(TCustomForm& form) = 0;

    // Answers IDOK, IDCANCEL, IDYES, ...
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // True when the person chose; the dialog then holds the choice.
    virtual bool ExecuteFileDialog(TOpenDialog& dialog, bool save) = 0;
    virtual bool ExecuteColorDialog(TColorDialog& dialog) = 0;
    virtual bool ExecuteFontDialog(TFontDialog& dialog) = 0;
    virtual bool BrowseForFolder(const std::string& title, std::string& folder) = 0;
    // The chosen item, or nullptr when the menu was dismissed.
    virtual TMenuItem* PopupMenu(TPopupMenu& menu, int x, int y) = 0;
};

// The lines of a message box's text: CR LF, CR and LF each end a line.
std::vector<std::string> MessageLines(std::string_view text);

// The installed interaction; a refusing one when none is installed.
TUserInteraction& UserInteraction();
// Not owned; nullptr restores the refusing default.
void SetUserInteraction(TUserInteraction* interaction);
TUserInteraction* InstalledUserInteraction();
