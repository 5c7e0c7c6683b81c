#include "platform/display/TDisplayInteraction.h"

#include "platform/controls/TApplication.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TMenu.h"
#include "platform/display/Dialogs.h"
#include "platform/display/HintWindow.h"
#include "platform/display/MenuWindows.h"
#include "platform/display/TDisplay.h"
#include "platform/loop/Messages.h"

void TDisplayInteraction::BeginModal(TCustomForm&) { HideHintWindow(); }

// The person acts through queued input; an ended application ends the wait
// too, so that a form left open cannot hold the program.
void TDisplayInteraction::ModalIdle(TCustomForm& form)
{
    if (Application && Application->Terminated()) {
        form.SetModalResult(mrCancel);
        return;
    }
    WaitMessage();
}

void TDisplayInteraction::EndModal(TCustomForm&) {}

int TDisplayInteraction::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return RunMessageBox(text, caption, flags);
}

bool TDisplayInteraction::ExecuteFileDialog(TOpenDialog& dialog, bool save) { return RunFileDialog(dialog, save); }

bool TDisplayInteraction::ExecuteColorDialog(TColorDialog& dialog)
{
    TColor color = dialog.Color();
    if (!RunColorDialog(color)) return false;
    dialog.SetColor(color);
    return true;
}

bool TDisplayInteraction::ExecuteFontDialog(TFontDialog& dialog)
{
    TFont font = dialog.Font();
    if (!RunFontDialog(font)) return false;
    dialog.Font() = font;
    dialog.FontChanged();
    return true;
}

bool TDisplayInteraction::BrowseForFolder(const std::string& title, std::string& folder)
{
    return RunFolderDialog(title, folder);
}

TMenuItem* TDisplayInteraction::PopupMenu(TPopupMenu& menu, int x, int y)
{
    HideHintWindow();
    bool done = false;
    TMenuItem* chosen = nullptr;
    TComponentWatch chosenWatch(nullptr);
    OpenMenu(menu.Items(), x, y, [&](TMenuItem* item) {
        done = true;
        chosen = item;
        chosenWatch = TComponentWatch(item);
    });
    TDisplay* display = TDisplay::Current();
    display->EnterOwnModal();
    while (!done) {
        if (Application && Application->Terminated()) {
            CloseMenus();
            break;
        }
        if (!ProcessOneMessage()) WaitMessage();
    }
    display->LeaveOwnModal();
    return chosen && chosenWatch.Alive() ? chosen : nullptr;
}
