#pragma once

// The real uploader program's main window on the private X server, clicked
// by its controls' places in the layout, and the account it sends with.

#include <filesystem>
#include <string>

#include "running_builder.h"
#include "stampel_places.h"
#include "shared/veskotools.h"
#include "x_server.h"

namespace sendarotest {

inline const std::string ProgramResources = std::filesystem::path(SENDARO_PROGRAM).parent_path() / "resources";
constexpr const char* MainWindowTitle = "VESKO THUMBNAILS  - FTP Client";

// The stored line of an account on 127.0.0.1, scrambled as the uploader stores it.
inline std::string AccountLine(const std::string& port)
{
    std::string line = "my web space~127.0.0.1~anna~secret~" + port + "~/~no";
    TScrambleTable table;
    BuildScrambleTable(table);
    ScrambleText(table, "4k7wq2ne8vz1mx5tr3ja9hd6yb0ul2pc8fg", line);
    return line;
}

class TSendaroMainWindow {
public:
    // False when the window did not show.
    bool Find() { return thumbnailstest::FindWindow(MainWindowTitle, FWindow); }
    const thumbnailstest::TWindow& Window() const { return FWindow; }
    // A real click at the centre of the control of that name.
    bool Click(const std::string& control) const
    {
        // The menu bar lies above the layout's client area.
        const int menu = FWindow.Height - 252;
        const TPoint at = FPlaces.Centre(control);
        return XServer::ClickAt(FWindow.X + at.X, FWindow.Y + menu + at.Y);
    }

private:
    stampeltest::TStampelPlaces FPlaces{ProgramResources, "UploaderWindow"};
    thumbnailstest::TWindow FWindow;
};

}  // namespace sendarotest
