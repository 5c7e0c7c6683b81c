#pragma once

// Codes a frame's pixels as GIF image data: the minimum code size byte, the
// codes in sub-blocks, the terminator. Two coders share the bit packing: LZW
// with an open-addressed code table, and a run-length coder whose codes any
// LZW decoder reads.

#include <cstdint>
#include <span>

class TStream;

enum class TGIFEncoderKind { LZW, RLE };

struct TGIFEncodeSource {
    const std::uint8_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
    bool Interlaced = false;
    // Pixels must be below this, else "Color not in color table".
    int ColorCount = 256;
    // The minimum code size before the floor of 2.
    int BitsPerPixel = 8;
};

void EncodeGIFImage(TStream& stream, const TGIFEncodeSource& source, TGIFEncoderKind kind);
