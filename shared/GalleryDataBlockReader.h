#pragma once

// Reads the gallery that the builder appends to a copy of the viewer. The
// block is found behind the program's own ELF image, never by searching for
// its start tag, which the viewer's code holds as a constant too.
//
// A damaged block gives the pictures in front of the damage and one error
// text; nothing here raises on hostile bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A picture's bytes are a view into the bytes given to the reader and live
// as long as those.
struct TBlockPicture {
    std::string_view Bytes;
    std::string Format;  // "JPG" or "GIF"
    std::string Comment;

    bool Gif() const { return Format == "GIF"; }
};

struct TGalleryBlock {
    // A block starts right behind the program image.
    bool Found = false;
    // The notes without the blank the builder writes before their end tag.
    std::string Notes;
    std::vector<TBlockPicture> Pictures;
    // Empty when the block was read to its end.
    std::string Error;
};

// The extent of the ELF image at the start of `file`: the furthest end of its
// file header, program header table, segments, sections and section header
// table. 0 when the bytes are not a complete ELF image.
std::uint64_t ElfImageSize(std::string_view file);

// Reads a block from its first byte (which must be the start tag).
TGalleryBlock ReadGalleryBlock(std::string_view block);

// Reads the block behind the ELF image of a program file.
TGalleryBlock ReadProgramGallery(std::string_view programFile);
