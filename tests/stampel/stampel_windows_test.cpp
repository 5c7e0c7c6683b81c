// The plug-in program by hand under a private X server: its three windows,
// reached with real clicks, photographed into <build>/screenshots/.

#include <gtest/gtest.h>

#include <filesystem>

#include "running_builder.h"
#include "running_stampel.h"
#include "stampel_places.h"

namespace {

using namespace stampeltest;

const std::string Resources = std::filesystem::path(STAMPEL_PROGRAM).parent_path() / "resources";

TEST(StampelByHand, ThreeWindowsReachedByClicks)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the program check: " << why;
    const TStampelPlaces assistantPlaces(Resources, "WatermarkAssistant");
    const TStampelPlaces galleryPlaces(Resources, "GallerySelectDialog");
    TRunningStampel program;
    ASSERT_TRUE(program.Start(STAMPEL_PROGRAM, {}));

    thumbnailstest::TWindow assistant;
    ASSERT_TRUE(thumbnailstest::FindWindow("Watermark assist", assistant));
    const auto assistantShot = thumbnailstest::Shot(assistant, "stampel-assistant");
    EXPECT_GT(thumbnailstest::DarkPixels(*assistantShot, 0, 90, assistant.Width, 150), 200) << "the choices show";

    ASSERT_TRUE(ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("RadioButton1")));
    ASSERT_TRUE(ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("MTranBtn2")));
    thumbnailstest::TWindow gallery;
    ASSERT_TRUE(thumbnailstest::FindWindow("select gallery", gallery)) << "next step leads to the gallery choice";
    thumbnailstest::Shot(gallery, "stampel-gallery-dialog");
    EXPECT_FALSE(thumbnailstest::WindowShows("Watermark assist"));
    ASSERT_TRUE(ClickAt(gallery.X, gallery.Y, galleryPlaces.Centre("MTranBtn1")));
    ASSERT_TRUE(thumbnailstest::FindWindow("Watermark assist", assistant)) << "back leads to the assistant";

    ASSERT_TRUE(ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("RadioButton2")));
    ASSERT_TRUE(ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("MTranBtn2")));
    thumbnailstest::TWindow work;
    ASSERT_TRUE(thumbnailstest::FindWindow("Norvale Watermark-PlugIn ", work));
    thumbnailstest::Shot(work, "stampel-work-window-page1");
    ASSERT_TRUE(XServer::RequestClose("Norvale Watermark-PlugIn "));
    EXPECT_EQ(program.WaitForEnd(), 0) << "closing the work window ends the program";
}

}  // namespace
