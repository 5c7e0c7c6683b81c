#include "tools/outmail/MailMessage.h"

#include <algorithm>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"

std::vector<std::string> CidNames(std::string_view page)
{
    std::vector<std::string> names;
    constexpr std::string_view Cid = "cid:";
    for (auto at = page.find(Cid); at != std::string_view::npos; at = page.find(Cid, at)) {
        at += Cid.size();
        const auto end = page.find_first_of(" >\"'\r\n\t", at);
        std::string name(page.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    return names;
}

std::string Base64Lines(std::string_view bytes)
{
    const std::string digits = Base64Encode(bytes);
    std::string out;
    out.reserve(digits.size() + digits.size() / 38 + 2);
    for (std::size_t at = 0; at < digits.size(); at += 76) {
        out.append(digits, at, 76);
        out += "\r\n";
    }
    return out;
}

namespace {

std::string ImageType(const std::string& name)
{
    const auto dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "gif")
        return "image/gif";
    if (ext == "png")
        return "image/png";
    return "image/jpeg";
}

}  // namespace

std::string ComposeMailMessage(std::string_view page,
                               const std::function<std::string(const std::string& name)>& readPart)
{
    struct TPart {
        std::string Name;
        std::string Encoded;
    };
    std::vector<TPart> parts;
    for (const std::string& name : CidNames(page)) {
        // Names go into header lines: nothing that could start a new header.
        if (name.find_first_of("\r\n<>\"") != std::string::npos)
            throw Exception("The page names a picture that cannot be a mail part: " + name);
        parts.push_back({name, Base64Lines(readPart(name))});
    }
    const std::string html = Base64Lines(page);
    // Base64 lines never hold "-", so this boundary occurs in no part.
    const std::string boundary = "----=_gallery_related_part";

    std::string message;
    message += "MIME-Version: 1.0\r\n";
    message += "Subject: Gallery\r\n";
    message += "X-Unsent: 1\r\n";
    message += "Content-Type: multipart/related; boundary=\"" + boundary + "\"; type=\"text/html\"\r\n\r\n";
    message += "This is a message in MIME format.\r\n";
    message += "--" + boundary + "\r\n";
    message += "Content-Type: text/html; charset=windows-1252\r\n";
    message += "Content-Transfer-Encoding: base64\r\n\r\n";
    message += html;
    for (const TPart& part : parts) {
        message += "--" + boundary + "\r\n";
        message += "Content-Type: " + ImageType(part.Name) + "; name=\"" + part.Name + "\"\r\n";
        message += "Content-Transfer-Encoding: base64\r\n";
        message += "Content-ID: <" + part.Name + ">\r\n";
        message += "Content-Disposition: inline; filename=\"" + part.Name + "\"\r\n\r\n";
        message += part.Encoded;
    }
    message += "--" + boundary + "--\r\n";
    return message;
}
