// An EXE gallery holding an animated GIF, run as its own program on a private
// X server: the picture area plays the animation, each screenshot of it is
// one of ImageMagick's coalesced frames, and the window closes promptly.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "builder/generator/ExeGalleryFile.h"
#include "gif/GIFImage.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "shared/GalleryDataBlock.h"
#include "tests/platform/display/x_server.h"
#include "tests/support/Netpbm.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr const char* Title = "VESKO THUMBNAILS - PICTURE VIEWER";
constexpr int PictureWidth = 120;
constexpr int PictureHeight = 80;

// Four frames, 600 ms each: a striped screen, a kept square with holes, one
// restoring what was before, one restoring the background.
std::string AnimatedGif()
{
    TGIFImage gif;
    for (TColor c : {clRed, clLime, clBlue, clYellow, clWhite, clBlack, clFuchsia, clAqua})
        gif.GlobalColorMap().Add(c);
    struct Spec {
        TRect Bounds;
        int Disposal;
        bool Holes;
    };
    const Spec specs[] = {{TRect{0, 0, 120, 80}, 1, false},
                          {TRect{10, 10, 70, 60}, 1, true},
                          {TRect{40, 20, 110, 70}, 3, false},
                          {TRect{60, 0, 120, 40}, 2, false}};
    for (int n = 0; n < 4; ++n) {
        const Spec& spec = specs[n];
        auto frame = std::make_unique<TGIFSubImage>(&gif);
        TGIFSubImage& f = *frame;
        gif.AddFrame(std::move(frame));
        f.SetBounds(spec.Bounds.Left, spec.Bounds.Top, spec.Bounds.Right - spec.Bounds.Left,
                    spec.Bounds.Bottom - spec.Bounds.Top);
        if (n == 0)
            f.Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(&f));
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
        TGIFGraphicControlExtension& g = *gce;
        f.Extensions().Add(std::move(gce));
        g.SetDelay(50);
        g.SetDisposal(spec.Disposal);
        if (spec.Holes) {
            g.SetTransparent(true);
            g.SetTransparentColorIndex(7);
        }
        for (int y = 0; y < f.Height(); ++y)
            for (int x = 0; x < f.Width(); ++x)
                f.Scanline(y)[x] = static_cast<std::uint8_t>(spec.Holes && (x / 5 + y / 5) % 2 ? 7 : (x / 10 + y / 8 + n) % 6);
    }
    TMemoryStream stream;
    gif.SaveToStream(stream);
    return stream.Bytes();
}

using WindowGeometry = XServer::Geometry;

bool FindWindow(WindowGeometry& geometry) { return XServer::FindWindow(Title, geometry); }

testsupport::NetpbmPicture Shot(const std::string& name, const WindowGeometry& w, const std::string& folder)
{
    const std::string png = XServer::Screenshot(name, w.X, w.Y, w.Width, w.Height);
    const std::string ppm = folder + name + ".ppm";
    if (png.empty() || std::system(("convert '" + png + "' '" + ppm + "'").c_str()) != 0)
        return {};
    return testsupport::ReadNetpbm(ppm);
}

// The coalesced frame the picture area shows, near the place the viewer
// centres it; -1 when it shows none of them.
int ShownFrame(const testsupport::NetpbmPicture& shot, const std::vector<testsupport::NetpbmPicture>& frames,
               int left, int top)
{
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx)
            for (std::size_t i = 0; i < frames.size(); ++i) {
                const auto& f = frames[i];
                bool same = left + dx >= 0 && top + dy >= 0 && left + dx + f.Width <= shot.Width &&
                            top + dy + f.Height <= shot.Height;
                for (int y = 0; same && y < f.Height; ++y)
                    for (int x = 0; same && x < f.Width; ++x) {
                        const unsigned char* want = f.At(x, y);
                        const unsigned char* got = shot.At(left + dx + x, top + dy + y);
                        // Transparent pixels show the picture area's grey.
                        const unsigned char grey[3] = {0x80, 0x80, 0x80};
                        const unsigned char* expected = f.Depth == 4 && want[3] < 128 ? grey : want;
                        same = got[0] == expected[0] && got[1] == expected[1] && got[2] == expected[2];
                    }
                if (same)
                    return static_cast<int>(i);
            }
    return -1;
}

TEST(AnimatedGallery, ThePictureAreaPlaysTheCoalescedFrames)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the gallery's screen: " << why;
    testsupport::TempFolder folder;
    const std::string gifBytes = AnimatedGif();
    WriteFileBytes(folder.Path() + "moving.gif", gifBytes);
    ASSERT_EQ(std::system(("convert '" + folder.Path() + "moving.gif' -alpha set -coalesce '" + folder.Path() +
                           "f_%d.pam'").c_str()),
              0);
    std::vector<testsupport::NetpbmPicture> frames;
    for (int i = 0; i < 4; ++i)
        frames.push_back(testsupport::ReadNetpbm(folder.Path() + "f_" + std::to_string(i) + ".pam"));
    ASSERT_EQ(frames[3].Width, PictureWidth);

    TGalleryDataBlock block(ReadFileBytes(GLIMRA_PROGRAM), "");
    block.AddPicture(gifBytes, true, "moving");
    const std::string gallery = folder.Path() + "moving.exe";
    WriteExeGallery(gallery, block.Bytes());
    const pid_t viewer = XServer::Launch(gallery, "GLIMRA_REPORT");
    ASSERT_GT(viewer, 0);

    WindowGeometry window;
    const bool found = XServer::WaitForWindow(Title, window);
    EXPECT_TRUE(found) << "the gallery opened no window";
    std::set<int> seen;
    int unmatched = 0;
    if (found) {
        const int buttonX = 1 + 60;
        const int glyphY = 10 + 50;
        // Click the thumbnail until the picture area shows a frame (the
        // window may still grow to the screen when the first click comes).
        int shown = -1;
        for (int click = 0; click < 10 && shown < 0; ++click) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            FindWindow(window);
            XServer::ClickAt(window.X + buttonX, window.Y + glyphY);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            FindWindow(window);
            const int left = 150 + (window.Width - 150) / 2 - PictureWidth / 2;
            const int top = 40 + (window.Height - 40) / 2 - PictureHeight / 2;
            shown = ShownFrame(Shot("animated-gallery-start", window, folder.Path()), frames, left, top);
        }
        ASSERT_GE(shown, 0) << "the picture area shows no frame of the animation";
        const int left = 150 + (window.Width - 150) / 2 - PictureWidth / 2;
        const int top = 40 + (window.Height - 40) / 2 - PictureHeight / 2;
        // Shots some frames apart, until two different frames have shown.
        int last = shown;
        for (int i = 0; i < 16 && seen.size() < 3; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            const std::string name = "animated-gallery-" + std::to_string(seen.size());
            const int frame = ShownFrame(Shot(name, window, folder.Path()), frames, left, top);
            if (frame < 0)
                ++unmatched;
            else if (frame != last || seen.empty())
                seen.insert(frame);
            last = frame;
        }
        EXPECT_GE(seen.size(), 2u) << "the picture does not move";
        EXPECT_EQ(unmatched, 0) << "shots that are no coalesced frame";

        // Closing ends the program promptly, painters and all.
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(XServer::RequestClose(Title));
        int status = 0;
        pid_t ended = 0;
        while ((ended = waitpid(viewer, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(ended, viewer) << "the viewer did not end after its window closed";
        if (ended == viewer) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
            XServer::Stop();
            return;
        }
    }
    kill(viewer, SIGTERM);
    waitpid(viewer, nullptr, 0);
    XServer::Stop();
}

}  // namespace
