// JPEG decode and encode of a 4000 x 3000 picture: through TJPEGImage, and
// through libjpeg called directly with the same settings (accurate integer
// DCT, fancy upsampling, RGB out; libjpeg's defaults at quality 90 in).
// Prints the median of each and, last, the ratio of ours to direct over
// decode and encode together.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "bench/common/DirectJpeg.h"
#include "bench/common/PairedTiming.h"

#include "platform/core/TStream.h"
#include "platform/graphics/TJPEGImage.h"

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;
constexpr int Quality = 90;
constexpr int Runs = 9;

// Gradients with noise: smooth areas and fine detail, like a photograph.
std::vector<unsigned char> MakePictureRgb()
{
    std::vector<unsigned char> rgb(std::size_t(Width) * Height * 3);
    unsigned state = 12345;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) % 25) - 12;
            unsigned char* p = &rgb[(std::size_t(y) * Width + x) * 3];
            p[0] = static_cast<unsigned char>(std::clamp(x * 255 / Width + noise, 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(y * 255 / Height + noise, 0, 255));
            p[2] = static_cast<unsigned char>(std::clamp((x + y) * 255 / (Width + Height) - noise, 0, 255));
        }
    return rgb;
}

}  // namespace

int main()
{
    const std::vector<unsigned char> rgb = MakePictureRgb();
    TBitmap bitmap(Width, Height, pf24bit);
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        const unsigned char* src = &rgb[std::size_t(y) * Width * 3];
        for (int x = 0; x < Width; ++x) {
            row[3 * x] = src[3 * x + 2];
            row[3 * x + 1] = src[3 * x + 1];
            row[3 * x + 2] = src[3 * x];
        }
    }
    const std::string file = DirectEncode(rgb.data(), Width, Height, Quality);
    std::printf("picture: %d x %d, JPEG %zu bytes at quality %d, median of %d runs\n", Width, Height, file.size(),
                Quality, Runs);

    TMemoryStream input(file);
    const auto [decodeOurs, decodeDirect] = PairedMedianMs(Runs,
        [&] {
            input.SetPosition(0);
            TJPEGImage jpeg;
            jpeg.LoadFromStream(input);
        },
        [&] { DirectDecode(file); });

    // Encoding is Compress: the file in memory, as the direct encoder leaves it.
    TJPEGImage picture;
    picture.Assign(bitmap);
    picture.SetCompressionQuality(Quality);
    const auto [encodeOurs, encodeDirect] = PairedMedianMs(Runs, [&] { picture.Compress(); }, [&] { DirectEncode(rgb.data(), Width, Height, Quality); });
    if (picture.Data() != file) std::printf("warning: our file differs from the direct encoder's\n");

    std::printf("decode TJPEGImage: %.1f ms\n", decodeOurs);
    std::printf("decode libjpeg direct: %.1f ms\n", decodeDirect);
    std::printf("encode TJPEGImage: %.1f ms\n", encodeOurs);
    std::printf("encode libjpeg direct: %.1f ms\n", encodeDirect);
    std::printf("ratio: %.2f\n", (decodeOurs + encodeOurs) / (decodeDirect + encodeDirect));
    return 0;
}
