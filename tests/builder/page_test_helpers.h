#pragma once

// Shared by the page text tests: expected pages are written as raw strings
// with plain line ends, and every page line end is CR LF.

#include <string>
#include <string_view>

#include "builder/pages/GalleryPageSettings.h"
#include "platform/core/Files.h"

inline std::string Crlf(std::string_view text)
{
    std::string result;
    for (char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

// A page as it must be, written by hand into tests/data/pages/ with its CR LF
// line ends (README there).
inline std::string GoldenPage(const std::string& name)
{
    return ReadFileBytes(GALLERY_SOURCE_DIR "/tests/data/pages/" + name);
}

// How often `what` stands in `text`, without overlaps.
inline int Occurrences(std::string_view text, std::string_view what)
{
    int n = 0;
    for (auto at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// A gallery with every extra text on, a background picture and a text colour
// that is not black, so that each of them shows where it lands.
inline TGalleryPageSettings SummerSettings()
{
    TGalleryPageSettings settings;
    settings.MetaHeadText = "<head><title>Summer</title></head>";
    settings.TextColor = RGB(0x33, 0x66, 0x99);
    settings.BackgroundColor = RGB(0xFF, 0xFF, 0xFF);
    settings.BackgroundAttribute = "background=background.jpg ";
    settings.GalleryHeading = "Summer 2003";
    settings.TextAboveHeading = "Above";
    settings.TextBelowHeading = "Below";
    settings.TextBelowGallery = "Under";
    return settings;
}

inline constexpr std::string_view SummerStyleAndBody =
    "<style type=\"text/css\">\r\n"
    ".ub {font-family:Verdana;font-size:14}\r\n"
    ".pi {font-family:Verdana;font-size:9}\r\n"
    ".tx {font-family:Verdana;font-size:12}\r\n"
    "</style>\r\n"
    "<body background=background.jpg  bgcolor=#ffffff text=#336699 alink=#336699 vlink=#336699 link=#336699>";
