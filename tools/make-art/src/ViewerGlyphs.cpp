#include "tools/make-art/src/ViewerGlyphs.h"

#include <vector>

#include "tools/make-art/src/ArtPainter.h"
#include "tools/make-art/src/Motifs.h"
#include "tools/make-art/src/Palette.h"

std::unique_ptr<TBitmap> DrawViewerGlyph(TViewerGlyph glyph)
{
    const int size = glyph == TViewerGlyph::Info ? 28 : 24;
    TArtPainter p(size, size, Palette::ButtonFace);
    const TPaint blue = Vertical(Palette::BlueLight, Palette::Blue);
    switch (glyph) {
    case TViewerGlyph::Exit: {
        // A door frame and an arrow leaving it.
        const std::vector<TPt> frame = {{13, 4}, {4.5, 4}, {4.5, 20}, {13, 20}};
        p.StrokeLine(frame, 2.2, Solid(Palette::Blue));
        Motif::Arrow(p, {9, 12}, {21, 12}, 2.6, Solid(Palette::Orange));
        break;
    }
    case TViewerGlyph::Save:
        p.FillRoundRect({3, 3, 18, 18}, 2.5, blue);
        p.FillRect({6.5, 3, 11, 6.5}, Solid(Palette::Card));
        p.FillRect({13.5, 4, 2.5, 4.5}, Solid(Palette::Navy));
        p.FillRoundRect({6, 12.5, 12, 6.5}, 1, Solid(Palette::BluePale));
        p.FillRect({7.5, 14.5, 9, 1}, Solid(Palette::BlueLight));
        p.FillRect({7.5, 16.5, 6, 1}, Solid(Palette::BlueLight));
        break;
    case TViewerGlyph::Colour: {
        p.FillEllipse({2.5, 3, 19, 18}, Solid(Palette::Blue));
        p.FillEllipse({3.7, 4.2, 16.6, 15.6}, Solid(Palette::Card));
        p.FillEllipse({13.5, 12.5, 5, 5}, Solid(Palette::ButtonFace));
        const TColor dots[4] = {Palette::Orange, Palette::Blue, Palette::Hill, Palette::Sun};
        const TPt at[4] = {{6, 7}, {11, 5.5}, {15, 8}, {6.5, 12.5}};
        for (int i = 0; i < 4; ++i) p.FillEllipse({at[i].X, at[i].Y, 4, 4}, Solid(dots[i]));
        break;
    }
    case TViewerGlyph::TurnLeft:
        Motif::CircleArrow(p, {12, 13}, 7.5, -40, 150, 2.4, Solid(Palette::Blue));
        break;
    case TViewerGlyph::TurnRight:
        Motif::CircleArrow(p, {12, 13}, 7.5, 220, 30, 2.4, Solid(Palette::Blue));
        break;
    case TViewerGlyph::Info:
        p.FillEllipse({2, 2, 24, 24}, blue);
        p.FillEllipse({12.2, 6, 3.6, 3.6}, Solid(Palette::Card));
        p.FillRoundRect({12.3, 11.5, 3.4, 10}, 1.2, Solid(Palette::Card));
        p.FillRect({10.5, 11.5, 3, 1.6}, Solid(Palette::Card));
        p.FillRect({10.5, 20, 7, 1.6}, Solid(Palette::Card));
        break;
    }
    return p.ResolveKeyed(Palette::TransparentKey);
}
