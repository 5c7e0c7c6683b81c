#pragma once

// libjpeg called directly, the peer of the benchmarks: the same settings as
// the picture class (accurate integer DCT, fancy upsampling, libjpeg's
// defaults plus the quality), pixels in memory of a bitmap's allocation policy,
// so a ratio measures our code and not the allocator.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <jpeglib.h>

#include "platform/graphics/PixelAllocator.h"
#include "tests/support/ReferenceJpeg.h"

struct TDirectPicture {
    TPixelBytes Rgb;
    int Width = 0;
    int Height = 0;
};

inline TDirectPicture DirectDecode(std::string_view file)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.data()), file.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    jpeg_start_decompress(&info);
    TDirectPicture picture;
    picture.Width = static_cast<int>(info.output_width);
    picture.Height = static_cast<int>(info.output_height);
    const std::size_t rowBytes = std::size_t(info.output_width) * 3;
    picture.Rgb.resize(rowBytes * info.output_height);
    std::vector<JSAMPROW> rows(info.output_height);
    for (JDIMENSION y = 0; y < info.output_height; ++y) rows[y] = picture.Rgb.data() + rowBytes * y;
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows.data() + info.output_scanline, info.output_height - info.output_scanline);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return picture;
}

inline std::string DirectEncode(const unsigned char* rgb, int width, int height, int quality)
{
    return ReferenceJpeg(rgb, width, height, 3, JCS_RGB, {quality});
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
