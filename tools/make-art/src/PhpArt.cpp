#include "tools/make-art/src/PhpArt.h"

#include "tools/make-art/src/ArtPainter.h"
#include "tools/make-art/src/Motifs.h"
#include "tools/make-art/src/Palette.h"

namespace {

// The signs stand in lines of text on white pages.
constexpr TColor Page = Palette::Card;

std::unique_ptr<TBitmap> Sign(TPhpPicture picture)
{
    TArtPainter p(16, 16, Page);
    switch (picture) {
    case TPhpPicture::Eye:
        p.FillEllipse({1, 4, 14, 8}, Solid(Palette::Blue));
        p.FillEllipse({2.5, 5.2, 11, 5.6}, Solid(Palette::Card));
        p.FillEllipse({5, 5, 6, 6}, Solid(Palette::Navy));
        p.FillEllipse({6.6, 6, 1.8, 1.8}, Solid(Palette::Card));
        break;
    case TPhpPicture::Mail:
        Motif::Envelope(p, {1, 3.5, 14, 9.5}, Palette::Card, Palette::Orange, Palette::Navy);
        break;
    case TPhpPicture::Vote:
        Motif::Star(p, {8, 8.5}, 7.5, Solid(Palette::Orange));
        break;
    default: {
        const TPt tail[] = {{4, 11}, {3, 15}, {8, 11}};
        p.FillRoundRect({1, 2, 14, 10}, 3, Solid(Palette::Blue));
        p.FillPolygon(tail, Solid(Palette::Blue));
        Motif::TextLines(p, {4, 5, 8, 4.5}, 2, 1.2, Palette::Card);
        break;
    }
    }
    return p.Resolve();
}

std::unique_ptr<TBitmap> Button(double width, double height, const char* label, TColor from, TColor to)
{
    TArtPainter p(int(width), int(height), Page);
    p.FillRoundRect({0.5, 1, width - 1, height - 1.5}, 4, Solid(Palette::Navy, 0.25));
    p.FillRoundRect({0.5, 0.5, width - 1, height - 1.5}, 4, Vertical(from, to));
    p.TextCentred(width / 2, height / 2 - 0.5, label, {"Verdana", height * 0.5, true}, Solid(Palette::Card));
    return p.Resolve();
}

std::unique_ptr<TBitmap> Logo()
{
    TArtPainter p(220, 48, Page);
    p.FillRect({0, 0, 220, 48}, Horizontal(Palette::Navy, Palette::Blue));
    Motif::Photo(p, {8, 8, 40, 32}, 2);
    p.Text(58, 8, "Gallery", {"Verdana", 16, true}, Solid(Palette::Card));
    p.Text(58, 28, "views, votes, comments", {"Verdana", 10}, Solid(Palette::OrangeLight));
    return p.Resolve();
}

}  // namespace

std::unique_ptr<TBitmap> DrawPhpPicture(TPhpPicture picture)
{
    switch (picture) {
    case TPhpPicture::VoteSubmit: return Button(60, 20, "Vote", Palette::OrangeLight, Palette::OrangeDeep);
    case TPhpPicture::Submit: return Button(80, 24, "Submit", Palette::BlueLight, Palette::Blue);
    case TPhpPicture::Admin: return Button(70, 22, "Admin", Palette::InkSoft, Palette::Ink);
    case TPhpPicture::Logo: return Logo();
    default: return Sign(picture);
    }
}
