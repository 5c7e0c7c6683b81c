#include "builder/pages/GalleryGrid.h"

#include "platform/core/Exceptions.h"

TGalleryGrid::TGalleryGrid(TGalleryPageSettings settings, int picturesPerRow, int rowsPerPage)
    : FSettings(PhpPageSettings(settings)), FPicturesPerRow(picturesPerRow), FRowsPerPage(rowsPerPage)
{
    // The same check as the index page's, so both agree on every layout they accept.
    IndexPageCount(0, picturesPerRow, rowsPerPage);
    FPageText = FirstPageHead(FSettings);
}

void TGalleryGrid::CheckOpen() const
{
    if (FFinished)
        throw Exception("The gallery's last page is already closed");
}

TPageFile TGalleryGrid::TakePage(std::string closeText)
{
    FPageText += closeText;
    ++FPagesWritten;
    TPageFile page{GalleryPageName(FSettings, FPagesWritten), std::move(FPageText), false};
    FPageText.clear();
    return page;
}

std::optional<TPageFile> TGalleryGrid::BeginCell()
{
    CheckOpen();
    ++FColumn;
    if (FColumn > FPicturesPerRow) {
        FColumn = 1;
        ++FRow;
        FPageText += RowWrapPrefix();
    } else if (!FAnyCell) {
        FPageText += FirstCellPrefix();
    } else {
        FPageText += NextCellPrefix();
    }
    FAnyCell = true;
    if (FRow < FRowsPerPage)
        return std::nullopt;

    TPageFile closed = TakePage(PageCloseText(FSettings, FPagesWritten));
    FPageText = LaterPageHead(FSettings);
    FRow = 0;
    FColumn = 1;
    return closed;
}

void TGalleryGrid::AppendCell(std::string_view cellText)
{
    CheckOpen();
    FPageText += cellText;
}

void TGalleryGrid::AppendThumbnailCell(const TThumbnailCell& cell)
{
    TThumbnailCell shown = cell;
    shown.Comment = PhpPageText(FSettings, cell.Comment);
    AppendCell(ThumbnailCellText(FSettings, shown));
}

TPageFile TGalleryGrid::Finish()
{
    CheckOpen();
    FFinished = true;
    return TakePage(LastPageCloseText(FSettings, FPagesWritten));
}
