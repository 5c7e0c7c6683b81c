#pragma once

// The grid of thumbnail cells that fills the numbered gallery pages. Feed it the
// pictures in order: BeginCell for each (the grid step), then the picture's
// cell, and Finish after the last one. A page is closed only by a row wrap that
// reaches RowsPerPage rows, so a closed page ends with the row the wrap opened,
// as one empty cell, and the picture that caused the wrap opens the next page.
// No page is ever closed without a picture after it.

#include <optional>
#include <string>
#include <string_view>

#include "builder/pages/GalleryPageSettings.h"
#include "builder/pages/GalleryPages.h"
#include "builder/pages/PageFile.h"

class TGalleryGrid {
public:
    // Starts page 1. A layout number below 1 raises EConvertError. The grid
    // keeps its own copy of `settings`: every page of one build reads alike.
    TGalleryGrid(TGalleryPageSettings settings, int picturesPerRow, int rowsPerPage);

    // The grid step of the next picture: appends its cell prefix and returns
    // the page that the step closed, if any. Raises Exception after Finish.
    std::optional<TPageFile> BeginCell();
    // Appends the picture's cell text after its BeginCell.
    void AppendCell(std::string_view cellText);
    void AppendThumbnailCell(const TThumbnailCell& cell);
    // Closes and returns the last page. Raises Exception when called twice.
    TPageFile Finish();

    int Column() const { return FColumn; }              // 1-based once a cell is begun
    int Row() const { return FRow; }                    // from 0
    int PagesWritten() const { return FPagesWritten; }  // pages closed so far
    const std::string& PageText() const { return FPageText; }
    const TGalleryPageSettings& Settings() const { return FSettings; }

private:
    void CheckOpen() const;
    TPageFile TakePage(std::string closeText);

    TGalleryPageSettings FSettings;
    int FPicturesPerRow;
    int FRowsPerPage;
    int FColumn = 0;
    int FRow = 0;
    int FPagesWritten = 0;
    bool FAnyCell = false;
    bool FFinished = false;
    std::string FPageText;
};
