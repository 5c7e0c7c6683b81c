#pragma once

// The PDF gallery of the builder's work files: one A4 page per picture, the
// picture fitted in with its comment under it, the gallery's title at the top
// and its author and date at the foot, and the same three in the document
// information.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/TStream.h"

struct TPdfGalleryArguments {
    bool Comments = true;
    std::string Title;
    std::string Author;
    std::string Date;
    // Parts the argument line lacked, named for the report.
    std::vector<std::string> Missing;
};

// The argument line's parts: the comment flag ("1" or "0"), then title,
// author and date with "~" for their blanks and "-" for an empty text.
TPdfGalleryArguments ParsePdfGalleryArguments(const std::vector<std::string>& arguments);

struct TGalleryPicture {
    std::string Path;
    std::string Comment;
};

// The lines of a list file (CR LF or LF after each line).
std::vector<std::string> ListLines(std::string_view text);

// Pairs each picture path with the comment line of its number N (from its
// name "N.jpg"), so a picture a stopped build skipped shifts no comment; a
// name without a number takes the comment of its own line.
std::vector<TGalleryPicture> PairPicturesWithComments(const std::vector<std::string>& pictures,
                                                      const std::vector<std::string>& comments);

struct TPdfGalleryResult {
    int Pages = 0;
    // "path: reason" for every picture left out.
    std::vector<std::string> Skipped;
};

// Writes the gallery of every picture that is a readable JPEG or GIF; writes
// nothing when there is none (Pages 0). The pictures are read on `workers`
// threads (0: one per core); the bytes are the same for any number.
TPdfGalleryResult WritePdfGallery(const std::vector<TGalleryPicture>& pictures, const TPdfGalleryArguments& arguments,
                                  TStream& target, int workers = 0);
