#pragma once

// Shared by the build tests: a wizard whose list holds test pictures, a
// gallery folder inside a temporary folder, and the files a build wrote.

#include <string>
#include <vector>

#include "builder/dialogs/BuildCancelWindow.h"
#include "platform/core/AnsiString.h"
#include "tests/builder/page_test_helpers.h"
#include "tests/builder/wizard_fixture.h"

namespace buildertest {

// The style sheet and body tag of a build with the default fonts and colours.
inline constexpr std::string_view DefaultStyle =
    "<style type=\"text/css\">\r\n"
    ".ub {font-family:Verdana;font-size:14}\r\n"
    ".pi {font-family:Verdana;font-size:9}\r\n"
    ".tx {font-family:Verdana;font-size:12}\r\n"
    "</style>\r\n";
inline constexpr std::string_view DefaultBody =
    "<body  bgcolor=#ffffff text=#000000 alink=#000000 vlink=#000000 link=#000000>";

class BuildTest : public WizardTest {
protected:
    BuildTest()
    {
        Gallery = Out.Path() + "gallery/";
        Wizard->Label2->SetCaption(Gallery);
        MetaHeadText = "<head><title>Test</title></head>";
        Wizard->Memo3->SetText("Above");
        Wizard->Memo4->SetText("Below");
        Wizard->Memo5->SetText("Under");
    }

    // `count` JPEG pictures p0.jpg, p1.jpg, ... with the comments c0, c1, ...
    void AddJpegs(int count, int width = 64, int height = 48)
    {
        for (int i = 0; i < count; ++i) {
            const std::string path = In.Path() + "p" + std::to_string(i) + ".jpg";
            WriteJpeg(path, width, height, unsigned(i + 1));
            AddPictures({path}, {"c" + std::to_string(i)});
        }
    }

    // Builds, answering the gallery-done dialog with "Don't Show!" when the
    // build reaches it.
    void Build(bool expectDone = true)
    {
        if (expectDone)
            Script.AnswerModal("GalleryDoneDialog", mrCancel);
        Wizard->BitBtn2Click(Wizard->BitBtn2);
        EXPECT_EQ(Script.Pending(), 0u) << "a scripted question was not asked";
    }

    std::string Read(const std::string& name) const { return ReadFileBytes(Gallery + name); }
    bool Exists(const std::string& name) const { return FileExists(Gallery + name); }
    std::vector<std::string> Files() const { return FindFiles(ExcludeTrailingPathDelimiter(Gallery), "*"); }

    TempFolder In;
    TempFolder Out;
    std::string Gallery;
};

}  // namespace buildertest
