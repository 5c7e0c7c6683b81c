#include "tools/make-art/src/StampelArt.h"

#include <vector>

#include "tools/make-art/src/ArtPainter.h"
#include "tools/make-art/src/Motifs.h"
#include "tools/make-art/src/Palette.h"

std::unique_ptr<TBitmap> DrawStampelAssistant()
{
    TArtPainter p(520, 330, Palette::Card);
    p.FillRect({0, 0, 520, 80}, Vertical(Palette::Navy, Palette::Blue));
    p.FillRect({0, 80, 520, 3}, Horizontal(Palette::Orange, Palette::OrangeLight));
    // A print with a mark across its corner, on the right of the band.
    const TBox print{408, 12, 84, 58};
    p.FillRect(print.Moved(1.5, 2), Solid(clBlack, 0.25));
    Motif::Photo(p, print, 2);
    p.Text(440, 50, "\xA9 Foto", {"Verdana", 11, true}, Solid(Palette::Card, 0.75));
    p.Text(24, 14, "Watermark", {"Verdana", 26, true}, Solid(Palette::Card));
    p.Text(26, 50, "Text and picture marks for your photos", {"Verdana", 12, false}, Solid(Palette::BluePale));
    p.FillRect({24, 240, 472, 1}, Solid(Palette::Line));
    return p.Resolve();
}

std::unique_ptr<TBitmap> DrawStampelButton(TStampelButton button)
{
    TArtPainter p(32, 32, Palette::ButtonFace);
    switch (button) {
    case TStampelButton::Cancel:
        p.FillEllipse({3, 3, 26, 26}, Vertical(Palette::OrangeLight, Palette::OrangeDeep));
        p.StrokeLine(std::vector<TPt>{{11, 11}, {21, 21}}, 3, Solid(Palette::Card));
        p.StrokeLine(std::vector<TPt>{{21, 11}, {11, 21}}, 3, Solid(Palette::Card));
        break;
    case TStampelButton::Next:
        p.FillEllipse({3, 3, 26, 26}, Vertical(Palette::BlueLight, Palette::Blue));
        Motif::Arrow(p, {9, 16}, {24, 16}, 3, Solid(Palette::Card));
        break;
    case TStampelButton::Back:
        p.FillEllipse({3, 3, 26, 26}, Vertical(Palette::BlueLight, Palette::Blue));
        Motif::Arrow(p, {23, 16}, {8, 16}, 3, Solid(Palette::Card));
        break;
    }
    return p.ResolveKeyed(Palette::TransparentKey);
}

std::unique_ptr<TBitmap> DrawStampelPosition(TStampelPosition position)
{
    TArtPainter p(32, 24, Palette::ButtonFace);
    const TBox frame{1, 1, 30, 22};
    Motif::Photo(p, frame, 1, false);
    const double w = 11, h = 6;
    double x = 3, y = 3;
    switch (position) {
    case TStampelPosition::TopLeft:
        break;
    case TStampelPosition::BottomLeft:
        y = 23 - h - 2;
        break;
    case TStampelPosition::TopRight:
        x = 31 - w - 2;
        break;
    case TStampelPosition::BottomRight:
        x = 31 - w - 2;
        y = 23 - h - 2;
        break;
    case TStampelPosition::Centre:
        x = 16 - w / 2;
        y = 12 - h / 2;
        break;
    }
    p.FillRect({x, y, w, h}, Solid(Palette::Orange));
    p.StrokeRoundRect(frame, 0, 1, Solid(Palette::Navy));
    return p.Resolve();
}
