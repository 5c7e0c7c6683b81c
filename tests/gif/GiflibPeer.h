#pragma once

// giflib, called as a black-box peer: what it decodes from a file, and the
// image data its encoder writes for a raster.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TPeerFrame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Interlaced = false;
    std::vector<std::uint8_t> Pixels;
    // Red, green, blue of the frame's active table.
    std::vector<std::uint8_t> Colors;
};

// The frames, or nothing when giflib refuses the file.
std::optional<std::vector<TPeerFrame>> GiflibDecode(const std::string& file);

// The minimum code size byte, the sub-blocks and the terminator that giflib
// writes for the raster (rows in display order; giflib is fed the interlaced
// row order when asked to interlace).
std::string GiflibEncodeImageData(const std::vector<std::uint8_t>& pixels, int width, int height,
                                  bool interlaced, int bitsPerPixel);
