// ImageMagick's composite as the peer a user would reach for: a picture mark
// blended with `-dissolve` (the mark at 100 - t per cent over the picture) at
// the same place gives the same pixels as our blend at strength t, within one
// level per channel: both compute m + (p - m) * t / 100, we round the exact
// value half to even, ImageMagick rounds its floating-point result, so ties
// may land one apart. Outside the mark both leave the picture exactly.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/graphics/TBitmap.h"
#include "watermark/WatermarkStamp.h"
#include "tests/support/TempFolder.h"

namespace {

bool HaveComposite()
{
    return std::system("composite -version > /dev/null 2>&1") == 0;
}

std::unique_ptr<TBitmap> Noise(int w, int h, unsigned seed)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    unsigned state = seed;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b->ScanLine(y);
        for (int i = 0; i < 3 * w; ++i) {
            state = state * 1103515245u + 12345u;
            row[i] = static_cast<std::uint8_t>(state >> 16);
        }
    }
    return b;
}

TEST(ImageMagickPeer, BlendAgreesWithCompositeDissolve)
{
    if (!HaveComposite())
        GTEST_SKIP() << "ImageMagick's composite is not installed (apt-get install imagemagick)";
    const testsupport::TempFolder folder;
    const std::filesystem::path dir = folder.Path();
    const auto picture = Noise(64, 48, 7);
    const auto mark = Noise(20, 10, 11);
    picture->SaveToFile((dir / "picture.bmp").string());
    mark->SaveToFile((dir / "mark.bmp").string());
    for (const int t : {0, 30, 50, 85}) {
        for (const TMarkPosition position : {TMarkPosition::BottomRight, TMarkPosition::Centre}) {
            const TPoint at = MarkOffset(position, 64, 48, 20, 10);
            const std::string out = (dir / "peer.bmp").string();
            const std::string command = "composite -dissolve " + std::to_string(100 - t) + " -geometry +" +
                                        std::to_string(at.X) + "+" + std::to_string(at.Y) + " '" +
                                        (dir / "mark.bmp").string() + "' '" + (dir / "picture.bmp").string() +
                                        "' -type truecolor BMP3:'" + out + "'";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            TBitmap peer;
            peer.LoadFromFile(out);
            TBitmap ours;
            ours.Assign(*picture);
            StampBlend(ours, *mark, at, t);
            ASSERT_EQ(peer.Width(), 64);
            int worst = 0;
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x) {
                    const bool inside = x >= at.X && x < at.X + 20 && y >= at.Y && y < at.Y + 10;
                    const TColor a = ours.Pixel(x, y), b = peer.Pixel(x, y);
                    for (int shift : {0, 8, 16}) {
                        const int d = std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF));
                        if (!inside) {
                            ASSERT_EQ(d, 0) << x << "," << y << " outside the mark";
                        }
                        worst = std::max(worst, d);
                    }
                }
            EXPECT_LE(worst, 1) << "t = " << t;
        }
    }
}

}  // namespace
