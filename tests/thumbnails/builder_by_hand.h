#pragma once

// The running builder driven by hand: the steps several program checks take
// with real clicks and typing, each through the controls' places that the
// builder's own layouts give.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "builder_places.h"
#include "running_builder.h"
#include "platform/display/DisplayBackend.h"

namespace thumbnailstest {

class BuilderByHand : public RunningBuilder {
protected:
    TBuilderPlaces& Places()
    {
        if (!FPlaces)
            FPlaces = std::make_unique<TBuilderPlaces>(std::filesystem::path(THUMBNAILS_PROGRAM).parent_path() /
                                                       "resources");
        return *FPlaces;
    }

    // xdotool's synchronous move waits for a motion that never comes when the
    // pointer already stands there, so every click first steps one pixel aside.
    void Click(const TWindow& window, TPoint at)
    {
        MoveTo(window, at.X + 1, at.Y);
        ClickAt(window, at.X, at.Y);
    }

    // The start screen's web button, then HTML in the gallery-kind dialog;
    // the wizard's window once it shows.
    void OpenAnHtmlWizard(TWindow& wizard, const std::string& shot = {})
    {
        TWindow start;
        ASSERT_TRUE(FindWindow("VESKO THUMBNAILS", start)) << "the start screen did not show";
        Places().SetUp(TBuilderPlaces::TKind::Web, "eng");
        Click(start, Places().Centre("StartScreen", "MTranBtn2"));
        TWindow kind;
        ASSERT_TRUE(FindWindow("HTML or PHP Gallery\\?", kind)) << "the gallery-kind dialog did not show";
        Click(kind, Places().Centre("GalleryKindDialog", "RadioButton2"));
        if (!shot.empty())
            Shot(kind, shot);
        Click(kind, Places().Centre("GalleryKindDialog", "BitBtn1"));
        ASSERT_TRUE(FindWindow("VESKO THUMBNAILS - .*", wizard)) << "the wizard did not show";
    }

    // Types `text` into the focused name field of the file dialog titled
    // `title`, then Return.
    void AnswerFileDialog(const std::string& title, const std::string& text, const std::string& shot = {})
    {
        TWindow dialog;
        ASSERT_TRUE(FindWindow(title, dialog)) << "the file dialog " << title << " did not show";
        ASSERT_TRUE(XServer::Tool("windowfocus --sync " + std::to_string(dialog.Id)));
        ASSERT_TRUE(XServer::Tool("type --delay 2 '" + text + "'"));
        if (!shot.empty())
            Shot(dialog, shot);
        ASSERT_TRUE(XServer::Tool("key Return"));
        // Its message boxes have its title.
        ASSERT_TRUE(XServer::WaitUntilGone(dialog.Id, 5)) << "the file dialog stayed open";
    }

    // The wizard's add button, then the file dialog with the pictures' quoted paths.
    void AddPicturesThroughTheOpenDialog(const TWindow& wizard, const std::vector<std::string>& pictures,
                                         const std::string& shot = {})
    {
        Click(wizard, Places().Centre("WizardForm", "Image25"));
        std::string names;
        for (const std::string& picture : pictures)
            names += "\"" + picture + "\" ";
        AnswerFileDialog("Open", names, shot);
    }

    // The folder chooser that Start opens: the folder's row, then Ok!.
    void ChooseTheGalleryFolder(const std::string& folder, const std::string& shot = {})
    {
        TWindow chooser;
        ASSERT_TRUE(FindWindow("Select Directory.*", chooser)) << "the folder chooser did not show";
        Click(chooser, Places().FolderRow(Folder, folder));
        if (!shot.empty())
            Shot(chooser, shot);
        Click(chooser, Places().Centre("FolderChooserDialog", "BitBtn2"));
    }

    // Item `row` (from 0, the separator not counted) of the wizard's "File" menu.
    void ChooseFromTheFileMenu(const TWindow& wizard, int row)
    {
        // "File" is the menu bar's first caption.
        Click(wizard, {20, DisplayMenuBarHeight / 2});
        for (int i = 0; i <= row; ++i)
            ASSERT_TRUE(XServer::Tool("key Down"));
        ASSERT_TRUE(XServer::Tool("key Return"));
    }

private:
    std::unique_ptr<TBuilderPlaces> FPlaces;
};

}  // namespace thumbnailstest
