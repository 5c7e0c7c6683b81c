#pragma once

// The user-interaction of a program run with nobody at it (a check of its
// output): message boxes are kept and answered OK, modal forms end with OK as
// soon as they start (one that will not close raises EUnscriptedInteraction),
// file, colour, font and folder dialogs and pop-up menus choose nothing. It
// installs itself for the thread while it lives and restores the interaction
// that was installed before.

#include <string>
#include <vector>

#include "platform/controls/UserInteraction.h"

class TUnattendedInteraction : public TUserInteraction {
public:
    TUnattendedInteraction();
    ~TUnattendedInteraction() override;
    TUnattendedInteraction(const TUnattendedInteraction&) = delete;
    TUnattendedInteraction& operator=(const TUnattendedInteraction&) = delete;

    // The texts of the message boxes, in order.
    const std::vector<std::string>& Messages() const { return FMessages; }

    void BeginModal(TCustomForm& form) override;
    void ModalIdle(TCustomForm& form) override;
    void EndModal(TCustomForm& form) override {}
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ExecuteFileDialog(TOpenDialog& dialog, bool save) override { return false; }
    bool ExecuteColorDialog(TColorDialog& dialog) override { return false; }
    bool ExecuteFontDialog(TFontDialog& dialog) override { return false; }
    bool BrowseForFolder(const std::string& title, std::string& folder) override { return false; }
    TMenuItem* PopupMenu(TPopupMenu& menu, int x, int y) override { return nullptr; }

private:
    TUserInteraction* FPrevious;
    std::vector<std::string> FMessages;
};
