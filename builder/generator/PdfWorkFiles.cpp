#include "builder/generator/PdfWorkFiles.h"

#include <string_view>

namespace {

constexpr std::string_view CRLF = "\r\n";

}  // namespace

std::string PdfPictureFileName(int pictureNumber, bool gif)
{
    return std::to_string(pictureNumber) + (gif ? ".gif" : ".jpg");
}

std::string PdfListText(std::span<const std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append(CRLF);
    return text;
}

std::string PdfTextOrDash(const std::string& text)
{
    return text.empty() ? "-" : text;
}

std::string PdfArgumentLine(bool commentsInGallery, const std::string& title, const std::string& author,
                            const std::string& date)
{
    auto tilde = [](std::string text) {
        for (char& c : text)
            if (c == ' ')
                c = '~';
        return text;
    };
    return std::string(commentsInGallery ? "1" : "0") + " " + tilde(title) + " " + tilde(author) + " " + tilde(date);
}
