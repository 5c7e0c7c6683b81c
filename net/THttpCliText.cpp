// The URL and date texts of HTTP requests.
#include "net/THttpCli.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/core/AnsiString.h"

namespace {

bool StartsWithText(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

// The folder of a path, up to and including its last "/"; "/" when it has none.
std::string BaseDirectory(std::string_view base)
{
    std::size_t slash = base.rfind('/');
    return slash == std::string_view::npos ? std::string("/") : std::string(base.substr(0, slash + 1));
}

std::string ParentDirectory(std::string dir)
{
    if (!dir.empty() && dir.back() == '/')
        dir.pop_back();
    std::size_t slash = dir.rfind('/');
    return slash == std::string::npos ? std::string("/") : dir.substr(0, slash + 1);
}

bool IsSchemeChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

std::string CutBefore(std::string_view s, char c) { return std::string(s.substr(0, s.find(c))); }

}  // namespace

std::string SchemeOf(std::string_view url)
{
    std::size_t sep = url.find("://");
    if (sep == std::string_view::npos || sep == 0)
        return "";
    if (!std::all_of(url.begin(), url.begin() + static_cast<std::ptrdiff_t>(sep), IsSchemeChar))
        return "";
    return LowerCase(url.substr(0, sep));
}

THttpUrlParts ParseURL(std::string_view url, std::string_view base)
{
    THttpUrlParts r;
    if (url.empty())
        return r;
    if (url.starts_with("./")) {
        r.Path = BaseDirectory(base) + std::string(url.substr(2));
        return r;
    }
    if (url.starts_with("../")) {
        std::string dir = BaseDirectory(base);
        while (url.starts_with("../")) {
            url.remove_prefix(3);
            dir = ParentDirectory(dir);
        }
        r.Path = dir + std::string(url);
        return r;
    }
    std::string_view rest = url;
    std::string scheme = SchemeOf(url);
    if (!scheme.empty()) {
        r.Proto = scheme;
        rest = url.substr(url.find("://") + 3);
    } else if (url.find("://") != std::string_view::npos) {
        r.Proto = "http";
    } else if (url[0] == '/') {
        r.Proto = "http";
        if (url.size() < 2 || url[1] != '/') {
            r.Path = std::string(url);
            return r;
        }
    } else if (StartsWithText(url, "http:")) {
        r.Proto = "http";
        if (url.size() > 6 && url[6] != '/') {
            r.Path = std::string(url.substr(5));
            return r;
        }
        rest = url.substr(5);
    } else if (StartsWithText(url, "mailto:")) {
        r.Proto = "mailto";
        rest = url.substr(url.find(':') + 1);
    }
    std::size_t cut = std::min(rest.find('/'), rest.find('?'));
    std::string_view authority = rest.substr(0, cut);
    if (cut != std::string_view::npos)
        r.Path = std::string(rest.substr(cut));
    std::size_t at = authority.rfind('@');
    std::size_t colon = authority.rfind(':');
    std::size_t hostStart = at == std::string_view::npos ? 0 : at + 1;
    if (colon != std::string_view::npos && (at == std::string_view::npos || colon > at)) {
        r.Port = std::string(authority.substr(colon + 1));
        r.Host = std::string(authority.substr(hostStart, colon - hostStart));
    } else {
        r.Host = std::string(authority.substr(hostStart));
    }
    if (at != std::string_view::npos) {
        std::string_view user = authority.substr(0, at);
        std::size_t split = user.find(':');
        r.User = std::string(user.substr(0, split));
        if (split != std::string_view::npos)
            r.Pass = std::string(user.substr(split + 1));
    }
    return r;
}

std::string DocumentNameOf(std::string_view path)
{
    std::string name = CutBefore(path, '?');
    if (name.empty() || name.back() == '/')
        return "document.htm";
    name = name.substr(name.rfind('/') == std::string::npos ? 0 : name.rfind('/') + 1);
    return CutBefore(name.substr(0, 255), '?');
}

std::string HttpDateText(TDateTime date)
{
    static const char weekdays[] = "MonTueWedThuFriSatSun";
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    int year, month, day, hour, minute, second, ms;
    DecodeDate(date, year, month, day);
    DecodeTime(date, hour, minute, second, ms);
    long days = static_cast<long>(std::floor(date));
    int weekday = static_cast<int>(((days - 2) % 7 + 7) % 7);
    char text[64];
    std::snprintf(text, sizeof text, "%.3s, %2.2d %.3s %4.4d %2.2d:%2.2d:%2.2d", weekdays + weekday * 3, day,
                  months + (month - 1) * 3, year, hour, minute, second);
    return text;
}

