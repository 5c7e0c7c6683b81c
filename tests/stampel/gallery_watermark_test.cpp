// The builder's watermark switch end to end: a web gallery built with the
// plug-in switch on records the plug-in's start; the real program, started
// with exactly those arguments on a private X server, is driven by real
// clicks and typing to stamp a text mark over the gallery's full pictures in
// place. The files are then checked, libjpeg's djpeg opens every stamped
// picture and headless Chromium still shows the pages whole.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>

#include "running_builder.h"
#include "running_stampel.h"
#include "stampel_places.h"
#include "platform/core/TStream.h"
#include "platform/shell/ShellExecute.h"
#include "tests/builder/build_fixture.h"
#include "tests/support/CommandOutput.h"

namespace {

using namespace stampeltest;
using buildertest::TempFolder;

const std::string Resources = std::filesystem::path(STAMPEL_PROGRAM).parent_path() / "resources";
constexpr const char* WorkWindow = "Norvale Watermark-PlugIn ";

std::string Output(const std::string& command)
{
    return testsupport::CommandOutput(command);
}

// The page's pictures as Chromium loaded them: "images=N broken=[...]".
std::string LoadedPictures(const std::string& folder, const std::string& page)
{
    const std::string copy = folder + "stampel-check-" + page;
    WriteFileBytes(copy, ReadFileBytes(folder + page) +
                             "<script>window.addEventListener('load', function () { var bad = [];"
                             " var im = document.images; for (var i = 0; i < im.length; i++)"
                             " if (!im[i].complete || im[i].naturalWidth === 0) bad.push(im[i].getAttribute('src'));"
                             " var o = document.createElement('pre'); o.textContent = 'images=' + im.length +"
                             " ' broken=[' + bad.join(',') + ']'; document.body.appendChild(o); });</script>");
    TempFolder profile;
    const std::string dom = Output("timeout 120 /usr/bin/chromium --headless --no-sandbox --disable-gpu"
                                " --disable-background-networking --no-first-run --user-data-dir=" +
                                profile.Path() + " --virtual-time-budget=5000 --dump-dom 'file://" + copy +
                                "' 2>/dev/null");
    DeleteFile(copy);
    std::smatch found;
    std::regex_search(dom, found, std::regex("images=\\d+ broken=\\[[^\\]]*\\]"));
    return found.empty() ? "no result from Chromium" : found.str();
}

class GalleryWatermark : public buildertest::BuildTest {};

TEST_F(GalleryWatermark, TheSwitchStampsEveryFullPictureThroughTheProgram)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the program check: " << why;
    // A blank in the folder reaches the plug-in as "%20".
    Gallery = Out.Path() + "my gallery/";
    Wizard->Label2->SetCaption(Gallery);
    AddJpegs(4, 320, 240);
    Wizard->CheckBox14->SetChecked(true);
    Wizard->CheckBox15->SetChecked(true);
    Wizard->CheckBox16->SetChecked(false);
    Script.AnswerMessage(IDOK, "Watermark-Plugin running..").AnswerModal("GalleryDoneDialog", mrCancel);
    Build(false);

    std::vector<std::string> arguments;
    // The parameter line as the started program receives it.
    for (const TShellStart& start : RecordedShellStarts())
        if (start.File.ends_with("/stampel/stampel.exe"))
            arguments = SplitShellParameters(start.Parameters);
    ASSERT_EQ(arguments, (std::vector<std::string>{Out.Path() + "my%20gallery/", "/V"}));

    std::map<std::string, std::string> before;
    for (const std::string& name : Files()) before[name] = Read(name);
    ASSERT_EQ(before.count("th_3_big.jpg"), 1u);

    const TStampelPlaces places(Resources, "WatermarkWindow");
    TRunningStampel program;
    ASSERT_TRUE(program.Start(STAMPEL_PROGRAM, arguments));
    thumbnailstest::TWindow work;
    ASSERT_TRUE(thumbnailstest::FindWindow(WorkWindow, work));
    // The remote start's message a second later, from the mark page.
    ASSERT_EQ(XServer::Answer("stampel", "key Return", "stampel-remote-start-message"), "");

    const TPoint edit = places.Centre("Edit1");
    ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(work.X + edit.X) + " " +
                              std::to_string(work.Y + edit.Y) + " click 1 key ctrl+a type --delay 30 'Proof 2026'"));
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn1")));
    thumbnailstest::Shot(work, "stampel-preview-text-mark");

    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Tab("PageControl1", "TabSheet3")));
    ASSERT_TRUE(WaitUntilEnabled(work.X, work.Y, places.Centre("BitBtn9"))) << "Start stayed disabled";
    thumbnailstest::Shot(work, "stampel-save-page");
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn9")));
    ASSERT_EQ(XServer::Answer("stampel", "key Return", "stampel-complete-message"), "") << "no \"complete!\"";
    ASSERT_TRUE(XServer::RequestClose(WorkWindow));
    EXPECT_EQ(program.WaitForEnd(), 0);

    const std::regex full(".*_big\\.jpg");
    int stamped = 0;
    for (const std::string& name : Files()) {
        SCOPED_TRACE(name);
        ASSERT_EQ(before.count(name), 1u) << "a new file in the gallery";
        if (!std::regex_match(name, full)) {
            EXPECT_EQ(Read(name), before[name]) << "only full pictures are stamped";
            continue;
        }
        EXPECT_NE(Read(name), before[name]);
        EXPECT_EQ(std::system(("djpeg -outfile /dev/null '" + Gallery + name + "'").c_str()), 0);
        EXPECT_EQ(Output("identify -format '%m %wx%h' '" + Gallery + name + "' 2>&1"), "JPEG 320x240");
        TJPEGImage was, is;
        TMemoryStream original(before[name]);
        was.LoadFromStream(original);
        is.LoadFromFile(Gallery + name);
        ASSERT_EQ(is.Width(), was.Width());
        int brighter = 0;
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 90; ++x)
                brighter += GetGValue(is.Bitmap().Pixel(x, y)) >= GetGValue(was.Bitmap().Pixel(x, y)) + 15;
        EXPECT_GT(brighter, 60) << "the text brightens the top left";
        ++stamped;
    }
    EXPECT_EQ(stamped, 4);

    if (!FileExists("/usr/bin/chromium"))
        GTEST_SKIP() << "Chromium is not installed";
    EXPECT_EQ(LoadedPictures(Gallery, "page1.html"), "images=4 broken=[]");
    EXPECT_EQ(LoadedPictures(Gallery, "th_2_big.html"), "images=1 broken=[]");
}

}  // namespace
