#pragma once

// Turns the image data of one frame (the minimum code size byte and the data
// sub-blocks) into palette indices in display order.
//
// Short or missing data end the frame with a warning; a chain of codes that
// can never end is the error "Circular decoder table entry". The stream is
// left after the data's terminator (or at its end), whatever the codes held.

#include <cstdint>
#include <functional>
#include <string>

class TStream;

using TDecoderWarning = std::function<void(const std::string& message)>;

// Pixels the data never reaches get `fill`.
void DecodeLZW(TStream& stream, std::uint8_t* pixels, int width, int height, bool interlaced,
               std::uint8_t fill, const TDecoderWarning& warning);

// Reads count bytes and skips them until a count of 0 or the end of the stream.
void SkipSubBlocks(TStream& stream);
