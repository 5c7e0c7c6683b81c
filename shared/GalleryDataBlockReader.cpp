#include "shared/GalleryDataBlock.h"

#include <algorithm>
#include <optional>

namespace {

using GalleryBlockTags::CommentEnd;
using GalleryBlockTags::FormatEnd;
using GalleryBlockTags::PictureEnd;
constexpr std::string_view StartTag = GalleryBlockTags::Pictures;
// The reader looks for the tag without the blank the writer puts before it.
constexpr std::string_view NotesEnd = GalleryBlockTags::NotesEnd.substr(1);

// Little or big endian fields of a header at a checked offset.
class TElfFields {
public:
    TElfFields(std::string_view file, bool bigEndian) : FFile(file), FBigEndian(bigEndian) {}

    std::optional<std::uint64_t> Read(std::uint64_t offset, unsigned size) const
    {
        if (offset > FFile.size() || FFile.size() - offset < size)
            return std::nullopt;
        std::uint64_t value = 0;
        for (unsigned i = 0; i < size; ++i) {
            const auto byte = static_cast<unsigned char>(FFile[offset + (FBigEndian ? i : size - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }

private:
    std::string_view FFile;
    bool FBigEndian;
};

// offset + count * size, or nothing when it overflows.
std::optional<std::uint64_t> TableEnd(std::uint64_t offset, std::uint64_t count, std::uint64_t size)
{
    if (size != 0 && count > (UINT64_MAX - offset) / size)
        return std::nullopt;
    return offset + count * size;
}

std::string PictureText(std::size_t index)
{
    return "picture " + std::to_string(index + 1);
}

}  // namespace

std::uint64_t ElfImageSize(std::string_view file)
{
    if (file.size() < 52 || file.substr(0, 4) != "\x7f" "ELF")
        return 0;
    const char elfClass = file[4];
    const char data = file[5];
    if ((elfClass != 1 && elfClass != 2) || (data != 1 && data != 2))
        return 0;
    const bool wide = elfClass == 2;
    const TElfFields f(file, data == 2);
    const unsigned word = wide ? 8 : 4;

    const auto ehsize = f.Read(wide ? 52 : 40, 2);
    const auto phoff = f.Read(wide ? 32 : 28, word);
    const auto shoff = f.Read(wide ? 40 : 32, word);
    const auto phentsize = f.Read(wide ? 54 : 42, 2);
    const auto phnum = f.Read(wide ? 56 : 44, 2);
    const auto shentsize = f.Read(wide ? 58 : 46, 2);
    auto shnum = f.Read(wide ? 60 : 48, 2);
    if (!ehsize || !phoff || !shoff || !phentsize || !phnum || !shentsize || !shnum)
        return 0;
    const unsigned minPh = wide ? 56 : 32;
    const unsigned minSh = wide ? 64 : 40;
    if ((*phnum != 0 && *phentsize < minPh) || (*shoff != 0 && *shentsize < minSh))
        return 0;
    // More than 0xff00 sections: the count moves into the first section's size.
    if (*shoff != 0 && *shnum == 0) {
        shnum = f.Read(*shoff + (wide ? 32 : 20), word);
        if (!shnum)
            return 0;
    }

    std::uint64_t end = *ehsize;
    auto extend = [&](std::optional<std::uint64_t> to) {
        if (!to || *to > file.size())
            return false;
        end = std::max(end, *to);
        return true;
    };
    if (*phnum != 0 && !extend(TableEnd(*phoff, *phnum, *phentsize)))
        return 0;
    for (std::uint64_t i = 0; i < *phnum; ++i) {
        const std::uint64_t at = *phoff + i * *phentsize;
        const auto offset = f.Read(at + (wide ? 8 : 4), word);
        const auto size = f.Read(at + (wide ? 32 : 16), word);
        if (!offset || !size || !extend(TableEnd(*offset, 1, *size)))
            return 0;
    }
    if (*shoff != 0) {
        if (!extend(TableEnd(*shoff, *shnum, *shentsize)))
            return 0;
        constexpr std::uint64_t NoBits = 8;
        for (std::uint64_t i = 0; i < *shnum; ++i) {
            const std::uint64_t at = *shoff + i * *shentsize;
            const auto type = f.Read(at + 4, 4);
            const auto offset = f.Read(at + (wide ? 24 : 16), word);
            const auto size = f.Read(at + (wide ? 32 : 20), word);
            if (!type || !offset || !size)
                return 0;
            if (*type != NoBits && *size != 0 && !extend(TableEnd(*offset, 1, *size)))
                return 0;
        }
    }
    return end <= file.size() ? end : 0;
}

TGalleryBlock ReadGalleryBlock(std::string_view block)
{
    TGalleryBlock result;
    if (!block.starts_with(StartTag))
        return result;
    result.Found = true;
    block.remove_prefix(StartTag.size());

    const auto notesEnd = block.find(NotesEnd);
    if (notesEnd == std::string_view::npos) {
        result.Error = "The gallery is damaged: the end of its notes is missing.";
        return result;
    }
    std::string_view notes = block.substr(0, notesEnd);
    if (notes.ends_with(' '))
        notes.remove_suffix(1);
    result.Notes = notes;
    block.remove_prefix(notesEnd + NotesEnd.size());

    while (!block.empty()) {
        const std::size_t index = result.Pictures.size();
        const auto pictureEnd = block.find(PictureEnd);
        if (pictureEnd == std::string_view::npos) {
            result.Error = "The gallery is damaged: " + PictureText(index) + " is cut off.";
            return result;
        }
        const std::string_view bytes = block.substr(0, pictureEnd);
        block.remove_prefix(pictureEnd + PictureEnd.size());

        const auto formatEnd = block.find(FormatEnd);
        if (formatEnd == std::string_view::npos) {
            result.Error = "The gallery is damaged: the format of " + PictureText(index) + " is missing.";
            return result;
        }
        const std::string_view format = block.substr(0, formatEnd);
        if (format != "JPG" && format != "GIF") {
            result.Error = "The gallery is damaged: " + PictureText(index) + " has no known format.";
            return result;
        }
        block.remove_prefix(formatEnd + FormatEnd.size());

        const auto commentEnd = block.find(CommentEnd);
        if (commentEnd == std::string_view::npos) {
            result.Error = "The gallery is damaged: the comment of " + PictureText(index) + " is cut off.";
            return result;
        }
        const std::string_view comment = block.substr(0, commentEnd);
        block.remove_prefix(commentEnd + CommentEnd.size());
        result.Pictures.push_back({bytes, std::string(format), std::string(comment)});
    }
    return result;
}

TGalleryBlock ReadProgramGallery(std::string_view programFile)
{
    const std::uint64_t imageSize = ElfImageSize(programFile);
    if (imageSize == 0) {
        TGalleryBlock result;
        result.Error = "The program file is not a complete program image.";
        return result;
    }
    return ReadGalleryBlock(programFile.substr(imageSize));
}
