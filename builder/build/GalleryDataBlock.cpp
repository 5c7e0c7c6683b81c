#include "builder/build/GalleryDataBlock.h"

#include "platform/core/Exceptions.h"

namespace {

std::string PictureLabel(std::size_t index, std::span<const std::string> pictureNames)
{
    std::string label = "picture " + std::to_string(index + 1);
    if (index < pictureNames.size())
        label += " (" + pictureNames[index] + ")";
    return label;
}

}  // namespace

void CheckDataBlockTexts(std::string_view notes, std::span<const std::string> comments,
                         std::span<const std::string> pictureNames)
{
    using namespace GalleryBlockTags;
    if (notes.find(NotesEnd) != std::string_view::npos)
        throw Exception("The notes may not contain the text \"" + std::string(NotesEnd) +
                        "\": the EXE gallery could not be read back.");
    for (std::size_t i = 0; i < comments.size(); ++i) {
        for (std::string_view tag : {CommentEnd, PictureEnd}) {
            if (comments[i].find(tag) != std::string::npos)
                throw Exception("The comment of " + PictureLabel(i, pictureNames) + " may not contain the text \"" +
                                std::string(tag) + "\": the EXE gallery could not be read back.");
        }
    }
}

TGalleryDataBlock::TGalleryDataBlock(std::string_view viewerProgram, std::string_view notes)
{
    using namespace GalleryBlockTags;
    FBytes.reserve(viewerProgram.size() + Pictures.size() + notes.size() + NotesEnd.size());
    FBytes.append(viewerProgram).append(Pictures).append(notes).append(NotesEnd);
}

void TGalleryDataBlock::AddPicture(std::string_view pictureBytes, bool gif, std::string_view comment)
{
    using namespace GalleryBlockTags;
    FBytes.append(pictureBytes);
    FBytes.append(gif ? "<PEND>GIF<FORMAT>" : "<PEND>JPG<FORMAT>");
    FBytes.append(comment).append(CommentEnd);
    ++FPictureCount;
}
