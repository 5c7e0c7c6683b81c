#pragma once

// The user-interaction interface with a display: a modal form's loop waits in
// our loop core for the person's input (which arrives as queued messages), and
// every dialog is a window of our own driven by nested loops of our loop core.

#include "platform/controls/UserInteraction.h"

class TDisplayInteraction : public TUserInteraction {
public:
    void BeginModal(TCustomForm& form) override;
    void ModalIdle(TCustomForm& form) override;
    void EndModal(TCustomForm& form) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ExecuteFileDialog(TOpenDialog& dialog, bool save) override;
    bool ExecuteColorDialog(TColorDialog& dialog) override;
    bool ExecuteFontDialog(TFontDialog& dialog) override;
    bool BrowseForFolder(const std::string& title, std::string& folder) override;
    TMenuItem* PopupMenu(TPopupMenu& menu, int x, int y) override;
};
