#pragma once

// Hand-made program files for the viewer's reader: a minimal ELF image (file
// header plus one section header) whose body holds the block's tags as the
// viewer's own constants do, optionally followed by a gallery.

#include <cstdint>
#include <string>

#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "tests/support/SmallJpeg.h"

inline void PutLittle(std::string& s, std::size_t at, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// 64-bit little-endian ELF: header, a body with the tags, one section header at the end.
inline std::string TinyProgram()
{
    const std::string body = "code <PICTURES> <LICENCENOTES><PEND>JPG<FORMAT>x<KOMM> more code";
    std::string image(64, '\0');
    image.replace(0, 4, "\x7f" "ELF");
    image[4] = 2;
    image[5] = 1;
    image[6] = 1;
    image += body;
    const std::uint64_t shoff = image.size();
    PutLittle(image, 40, shoff, 8);  // e_shoff
    PutLittle(image, 52, 64, 2);     // e_ehsize
    PutLittle(image, 58, 64, 2);     // e_shentsize
    PutLittle(image, 60, 1, 2);      // e_shnum
    image += std::string(64, '\0');  // a null section header
    return image;
}

