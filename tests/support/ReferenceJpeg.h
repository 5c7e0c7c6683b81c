#pragma once

// JPEG files made by libjpeg itself, the reference the picture class is held
// against in the tests and the benchmarks: libjpeg's defaults plus the
// quality, and where asked another stored colour space, progressive scans or
// arithmetic coding. libjpeg's default error handler ends the program on a
// mistake in these fixed settings.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

struct TReferenceJpegOptions {
    int Quality = 75;
    J_COLOR_SPACE Stored = JCS_UNKNOWN;  // JCS_UNKNOWN: libjpeg's choice for the input
    bool Progressive = false;
    bool Arithmetic = false;
    int RestartRows = 0;  // a restart marker after every so many MCU rows; 0 none
};

// `pixels`: `height` rows of `width` pixels of `components` bytes in the
// colour space `input` (JCS_RGB, JCS_CMYK).
inline std::string ReferenceJpeg(const unsigned char* pixels, int width, int height, int components,
                                 J_COLOR_SPACE input, const TReferenceJpegOptions& options)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = input;
    jpeg_set_defaults(&info);
    if (options.Stored != JCS_UNKNOWN) jpeg_set_colorspace(&info, options.Stored);
    jpeg_set_quality(&info, options.Quality, TRUE);
    if (options.Progressive) jpeg_simple_progression(&info);
    info.arith_code = options.Arithmetic ? TRUE : FALSE;
    info.restart_in_rows = options.RestartRows;
    jpeg_start_compress(&info, TRUE);
    const std::size_t rowBytes = std::size_t(width) * std::size_t(components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + std::size_t(info.next_scanline) * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}
