// The header of a JPEG read without decoding its pixels.

#include <gtest/gtest.h>

#include "platform/graphics/TJPEGImage.h"
#include "tests/platform/graphics/jpeg_fixtures.h"

namespace jpegtest {
namespace {

TEST(JpegHeader, SizeComponentsAndAdobeMarker)
{
    const Pnm picture = SyntheticPicture(33, 17);
    const struct {
        std::string bytes;
        int width, height, components;
        bool adobe;
    } cases[] = {
        {LibjpegFile(picture, 90, false, false), 33, 17, 3, false},
        {LibjpegFile(picture, 90, true, true), 33, 17, 1, false},
        {CmykJpeg(JCS_CMYK, 20, 10), 20, 10, 4, true},
        {CmykJpeg(JCS_YCCK, 20, 10), 20, 10, 4, true},
    };
    for (const auto& c : cases) {
        const TJpegHeader header = ReadJpegHeader(c.bytes);
        EXPECT_EQ(header.Width, c.width);
        EXPECT_EQ(header.Height, c.height);
        EXPECT_EQ(header.Components, c.components);
        EXPECT_EQ(header.AdobeMarker, c.adobe);
    }
    for (const std::string& broken : {std::string(), std::string("\xFF\xD8\xFF", 3), std::string("BM not a jpeg")})
        EXPECT_THROW(ReadJpegHeader(broken), EInvalidGraphic);
}

}  // namespace
}  // namespace jpegtest
