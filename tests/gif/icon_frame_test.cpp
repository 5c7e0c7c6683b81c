// GIF pictures made from icons: the icon drawn, and transparent where its
// own AND mask says.

#include <gtest/gtest.h>

#include <fstream>

#include "gif/ColorReduction.h"
#include "gif/GIFExtension.h"
#include "gif/GIFImage.h"
#include "gif/GIFSubImage.h"
#include "platform/graphics/TIcon.h"
#include "platform/graphics/TPicture.h"
#include "tests/platform/graphics/icon_fixtures.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace icontest;

TEST(GifFrameSources, AnIconIsTransparentWhereItsMaskSays)
{
    for (const int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        testsupport::TempFolder dir;
        const Bytes file = IcoFile({Pattern(bits)});
        std::ofstream(dir / "app.ico", std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        TPicture picture;
        picture.LoadFromFile(dir / "app.ico");
        ASSERT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);

        TGIFImage gif;
        gif.ReductionMethod = rmOctree;  // the icon's own colours, not the cube's
        gif.Assign(*picture.Graphic());
        ASSERT_EQ(gif.Images().Count(), 1);
        EXPECT_TRUE(gif.QueryTransparent());
        TGIFSubImage& frame = *gif.Images().Items(0);
        ASSERT_EQ(frame.Width(), 5);
        ASSERT_EQ(frame.Height(), 3);
        ASSERT_NE(frame.GraphicControlExtension(), nullptr);
        const int transparent = frame.GraphicControlExtension()->TransparentColorIndex();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                SCOPED_TRACE(testing::Message() << x << "," << y);
                if (PatternMasked(x, y)) {
                    EXPECT_EQ(frame.Pixels(x, y), transparent);
                } else {
                    EXPECT_NE(frame.Pixels(x, y), transparent);
                    EXPECT_EQ(frame.ActiveColorMap().Colors(frame.Pixels(x, y)), PatternColor(x, y, bits));
                }
            }
    }
}

}  // namespace
