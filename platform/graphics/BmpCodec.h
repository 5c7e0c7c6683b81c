#pragma once

// The BMP file codec behind TBitmap's Load and Save. Not part of the graphics
// interface: include only from platform/graphics/*.cpp.

#include <cstddef>
#include <cstdint>
#include <span>

class TBitmap;
class TStream;

namespace bmp {

// Decodes a BMP file into `target`, a new empty bitmap. Returns the number of
// bytes of `file` the bitmap occupies. Raises EInvalidGraphic for anything the
// file does not hold as its headers say, before allocating for it.
std::size_t ReadBmp(std::span<const std::uint8_t> file, TBitmap& target);

// Writes the bitmap as a bottom-up BMP with a BITMAPINFOHEADER.
void WriteBmp(const TBitmap& source, TStream& stream);

}  // namespace bmp
