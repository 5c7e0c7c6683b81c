#pragma once

// The data block of an EXE gallery: the viewer's program file followed by the
// pictures; its tags, its writer (the builder) and its reader (the viewer).
// Texts are CP1252 byte strings.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace GalleryBlockTags {
inline constexpr std::string_view Pictures = "<PICTURES>";
inline constexpr std::string_view NotesEnd = " <LICENCENOTES>";
inline constexpr std::string_view PictureEnd = "<PEND>";
inline constexpr std::string_view FormatEnd = "<FORMAT>";
inline constexpr std::string_view CommentEnd = "<KOMM>";
}  // namespace GalleryBlockTags

// Raises Exception before anything is built when a text would cut the block
// where the viewer does not expect it: notes holding " <LICENCENOTES>", or a
// comment holding "<KOMM>" or "<PEND>". The message names the picture (its
// number from 1 and its list entry). `pictureNames` may be shorter than
// `comments`; the number alone is named then.
void CheckDataBlockTexts(std::string_view notes, std::span<const std::string> comments,
                         std::span<const std::string> pictureNames);

// DataBlock: the viewer's bytes, then "<PICTURES>" + notes + " <LICENCENOTES>",
// then per picture its bytes + "<PEND>JPG<FORMAT>" (or GIF) + comment + "<KOMM>".
class TGalleryDataBlock {
public:
    TGalleryDataBlock(std::string_view viewerProgram, std::string_view notes);

    void AddPicture(std::string_view pictureBytes, bool gif, std::string_view comment);

    const std::string& Bytes() const { return FBytes; }
    int PictureCount() const { return FPictureCount; }

private:
    std::string FBytes;
    int FPictureCount = 0;
};

// The reader. It finds the block behind the program's own ELF image, never by
// searching for its start tag, which the viewer's code holds as a constant too.
// A damaged block gives the pictures in front of the damage and one error
// text; nothing here raises on hostile bytes.

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
