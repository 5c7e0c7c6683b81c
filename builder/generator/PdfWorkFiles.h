#pragma once

// The PDF converter's work files and argument line. Texts are CP1252 byte strings.

#include <span>
#include <string>

// PDF work files: picture N as N + ".jpg"/".gif"; the lists with CR LF after
// every line.
std::string PdfPictureFileName(int pictureNumber, bool gif);
std::string PdfListText(std::span<const std::string> lines);
// "-" for an empty text, else the text (the wizard shows the result).
std::string PdfTextOrDash(const std::string& text);
// "1"/"0" + " " + title + " " + author + " " + date, blanks inside each text
// as "~"; empty texts must already be "-".
std::string PdfArgumentLine(bool commentsInGallery, const std::string& title, const std::string& author,
                            const std::string& date);
