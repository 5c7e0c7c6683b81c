#pragma once

// The texts of a web gallery, byte for byte: the index page, the frame menus
// and frame sets, the pieces of the numbered gallery pages, the thumbnail cells
// and the full-picture pages. Every function is pure; the caller writes the
// results (see PageFile.h) and the grid (GalleryGrid.h) strings the gallery
// pages together. Numbers: N is a picture number from 0, K a gallery page
// number from 1.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "builder/pages/GalleryPageSettings.h"
#include "builder/pages/PageFile.h"

// Whether the list entry `path` is taken as a GIF picture: ".gif" or ".GIF"
// within its last five bytes. Every other entry gives ".jpg" files.
bool IsGifPicture(std::string_view path);

std::string GalleryPageName(const TGalleryPageSettings& settings, std::int64_t pageNumber);
std::string FullPicturePageName(const TGalleryPageSettings& settings, int pictureNumber);

// The settings as the PHP pages take them: every text the owner typed passed
// through Php.OwnerText; unchanged where it is not assigned (an HTML gallery,
// and the ".html" files of a PHP gallery). PhpPageText does the same for one
// text, a picture's comment. Once only: the result keeps Php.OwnerText for the
// comments, and a second pass would wrap its own "<?php ?>" again.
TGalleryPageSettings PhpPageSettings(const TGalleryPageSettings& settings);
std::string PhpPageText(const TGalleryPageSettings& settings, const std::string& text);

// Shared pieces.
std::string StyleSheetText(const TGalleryPageSettings& settings);
std::string BodyTag(const TGalleryPageSettings& settings);

// The three extra texts as a page inserts them: each CR LF + text + CR LF when
// the page kind's switch is on, else three empty texts.
struct TPageTexts {
    std::string AboveHeading;
    std::string BelowHeading;
    std::string BelowGallery;
};
TPageTexts IndexTexts(const TGalleryPageSettings& settings);
TPageTexts GalleryTexts(const TGalleryPageSettings& settings);
TPageTexts FullPageTexts(const TGalleryPageSettings& settings);

// The index page and the files written with it. The page count is the picture
// count divided by the pictures per page, rounded up; both layout numbers must
// be at least 1, else EConvertError.
std::int64_t IndexPageCount(int pictureCount, int picturesPerRow, int rowsPerPage);
std::string IndexHeadText(const TGalleryPageSettings& settings);
std::string IndexPageText(const TGalleryPageSettings& settings, int picturesPerRow, int rowsPerPage,
                          int pictureCount);
// `skipped`: the numbers of the pictures the build could not load, ascending;
// the menus leave them out.
std::string FrameMenuText(const TGalleryPageSettings& settings, std::span<const std::string> picturePaths,
                          std::span<const int> skipped = {});
std::string FrameMenuRowText(const TGalleryPageSettings& settings, std::span<const std::string> picturePaths,
                             std::span<const int> skipped = {});
// "frame_menu.html", "frame_menu_h.html", the PHP chart pages and "start.html",
// in the order they are written. The background picture is the caller's.
std::vector<TPageFile> indexprint(const TGalleryPageSettings& settings, int picturesPerRow, int rowsPerPage,
                                  std::span<const std::string> picturePaths);
// "frame1.html" to "frame4.html", sized by the largest thumbnail written. The
// main frame shows the full-picture page of `firstPicture`, or "start.html"
// when there is none.
std::vector<TPageFile> CreateFrameSet(const TGalleryPageSettings& settings, int maxThumbWidth,
                                      int maxThumbHeight, std::optional<int> firstPicture = 0);

// Gallery page pieces. Page 1 starts with FirstPageHead and its first cell with
// FirstCellPrefix; a later page's head already opens the cell of the picture
// that started it.
std::string FirstPageHead(const TGalleryPageSettings& settings);
std::string LaterPageHead(const TGalleryPageSettings& settings);
std::string_view FirstCellPrefix();
std::string_view NextCellPrefix();
std::string_view RowWrapPrefix();
// The end of a page closed because a row wrap filled it, with `pagesBefore`
// pages written before it: Index, Back (not on page 1) and Next.
std::string PageCloseText(const TGalleryPageSettings& settings, int pagesBefore);
// The end of the gallery's last page: Index, and Back unless it is the only page.
std::string LastPageCloseText(const TGalleryPageSettings& settings, int pagesBefore);

// What a thumbnail cell shows of its picture, measured after any shrinking.
struct TPictureSizeInfo {
    int Height = 0;
    int Width = 0;
    std::int64_t ByteCount = 0;  // the picture's size as saved
};

struct TThumbnailCell {
    int Number = 0;
    bool Gif = false;
    std::string Comment;                      // the comment list's line N
    std::optional<TPictureSizeInfo> SizeInfo;  // needed when CellShowsSizeInfo
};

// Whether a cell shows its picture's size: the picture infos are on and the
// thumbnail links to a full picture.
bool CellShowsSizeInfo(const TGalleryPageSettings& settings);
// The cell's text, appended after its prefix. A cell that shows size infos
// without being given them raises Exception.
std::string ThumbnailCellText(const TGalleryPageSettings& settings, const TThumbnailCell& cell);

struct TFullPicture {
    int Number = 0;
    bool Gif = false;
    std::string Comment;
    int PagesBefore = 0;   // gallery pages closed before this picture's page
    int PictureCount = 0;  // pictures in the whole list
    // The pictures the build could not load, ascending: Back, Next and the
    // slide show step over them.
    std::vector<int> Skipped = {};
};

// "th_N_big.EXT". Raises Exception unless 0 <= Number < PictureCount.
std::string FullPicturePageText(const TGalleryPageSettings& settings, const TFullPicture& picture);
