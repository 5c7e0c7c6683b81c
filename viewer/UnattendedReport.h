#pragma once

// The viewer run unattended, for checks of a built gallery: nobody is asked
// (the unattended user-interaction keeps the messages), and once the start's
// load is over the report goes into a file and the program ends.
//
//   result loaded|no images|refused
//   pictures <count>
//   notes <notes>
//   picture <n> <format> <width>x<height> <comment>   one a picture
//   message <text>                                    one a message, in order

#include <string>

#include "platform/controls/UnattendedInteraction.h"
#include "viewer/ViewerWindow.h"

class TUnattendedReport {
public:
    explicit TUnattendedReport(std::string fileName) : FFileName(std::move(fileName)) {}

    // Writes the report when the viewer's load is done, and ends the program.
    void Install(TForm1& viewer);
    std::string Text(const TForm1& viewer, TForm1::TLoadResult result) const;

private:
    std::string FFileName;
    TUnattendedInteraction FInteraction;
};
