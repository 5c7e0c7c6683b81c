#pragma once

// The data block of an EXE gallery: the viewer's program file followed by the
// pictures. Texts are CP1252 byte strings.

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
