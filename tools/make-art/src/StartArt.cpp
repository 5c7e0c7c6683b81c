#include "tools/make-art/src/StartArt.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "tools/make-art/src/ArtPainter.h"
#include "tools/make-art/src/Motifs.h"
#include "tools/make-art/src/Palette.h"

std::unique_ptr<TBitmap> DrawStartScreen(bool german)
{
    TArtPainter p(720, 500, Palette::StartBackdrop);
    p.FillRect({0, 0, 720, 96}, Vertical(Palette::Navy, Palette::Blue));
    // A faint arc of light across the band.
    p.FillEllipse({380, -220, 520, 300}, Solid(Palette::BlueLight, 0.12));
    p.FillRect({0, 96, 720, 4}, Horizontal(Palette::Orange, Palette::OrangeLight));

    // A small fan of prints on the right of the band.
    const TBox prints[3] = {{566, 22, 62, 46}, {596, 16, 62, 46}, {626, 28, 62, 46}};
    for (int i = 0; i < 3; ++i) {
        p.FillRect(prints[i].Moved(1.5, 2), Solid(clBlack, 0.25));
        Motif::Photo(p, prints[i], i);
    }

    const TTextStyle title{"Verdana", 30, true};
    const double vesko = p.TextWidth("VESKO ", title);
    p.Text(28, 14, "VESKO ", title, Solid(Palette::Card));
    p.Text(28 + vesko, 14, "THUMBNAILS", title, Solid(Palette::OrangeLight));
    const TTextStyle subtitle{"Verdana", 14, false};
    p.Text(30, 60,
           german ? "Fotogalerien f\xFCr Web, E-Mail, PDF und Bildarchiv"
                  : "Photo galleries for the web, e-mail, PDF and archives",
           subtitle, Solid(Palette::BluePale));

    // A soft card behind the description box, so it reads as one panel.
    const TBox panel{30, 242, 660, 180};
    Motif::Shadow(p, panel, 4, 3);
    Motif::Card(p, panel, 4);

    // The separator above the link labels.
    p.FillRect({24, 456, 672, 1}, Solid(Palette::Line));
    return p.Resolve();
}

namespace {

void Tile(TArtPainter& p, const TBox& tile, bool warm)
{
    p.FillRoundRect(tile.Moved(0, 2), 13, Solid(Palette::Navy, 0.18));
    p.FillRoundRect(tile.Moved(0, 1), 13, Solid(Palette::Navy, 0.12));
    if (warm) p.FillRoundRect(tile, 13, Vertical(Palette::OrangeLight, Palette::OrangeDeep));
    else p.FillRoundRect(tile, 13, Vertical(Palette::BlueLight, Palette::Blue));
    // A sheen over the upper half.
    p.FillRoundRect({tile.X + 2, tile.Y + 2, tile.W - 4, tile.H * 0.45}, 11, Solid(Palette::Card, 0.10));
}

void Bubble(TArtPainter& p, const TBox& box, bool tailLeft, TColor fill, TColor text, const char* word)
{
    p.FillRoundRect(box, 6, Solid(fill));
    const double tx = tailLeft ? box.X + 6 : box.Right() - 6;
    const double dir = tailLeft ? 1 : -1;
    const std::vector<TPt> tail = {
        {tx, box.Bottom() - 2}, {tx + dir * 9, box.Bottom() - 2}, {tx - dir * 1, box.Bottom() + 6}};
    p.FillPolygon(tail, Solid(fill));
    p.TextCentred(box.Centre().X, box.Centre().Y, word, {"Verdana", 10, true}, Solid(text));
}

}  // namespace

std::unique_ptr<TBitmap> DrawStartButton(TStartButton button)
{
    TArtPainter p(64, 64, Palette::StartBackdrop);
    const TBox tile{4, 3, 56, 56};
    Tile(p, tile, button == TStartButton::Exit);
    const TPaint white = Solid(Palette::Card);
    switch (button) {
    case TStartButton::Mail:
        Motif::Envelope(p, {14, 19, 36, 26}, Palette::Card, Palette::BluePale, Palette::Blue);
        p.FillEllipse({40, 13, 13, 13}, Solid(Palette::Orange));
        p.TextCentred(46.5, 19.5, "@", {"Verdana", 9, true}, white);
        break;
    case TStartButton::Web:
        Motif::Globe(p, {14, 11, 36, 36}, 2.6, white);
        p.FillRoundRect({35, 36, 18, 10}, 3, Solid(Palette::Orange));
        p.TextCentred(44, 41, "www", {"Arial", 7, true}, white);
        break;
    case TStartButton::Thumbs:
        p.FillRoundRect({13, 12, 38, 38}, 4, Solid(Palette::Card, 0.9));
        Motif::PhotoGrid(p, {16, 15, 32, 32}, 2, 2, 3, 0);
        break;
    case TStartButton::Exe: {
        p.FillRoundRect({12, 13, 40, 29}, 3, white);
        Motif::Photo(p, {15, 16, 34, 23}, 2, false);
        const std::vector<TPt> stand = {{28, 42}, {36, 42}, {38, 49}, {26, 49}};
        p.FillPolygon(stand, white);
        p.FillRoundRect({22, 48, 20, 3}, 1.5, white);
        break;
    }
    case TStartButton::Pdf:
        Motif::Sheet(p, {18, 11, 28, 38}, Palette::Card, Palette::BluePale, Palette::Card);
        Motif::TextLines(p, {22, 19, 14, 8}, 3, 1.6, Palette::BlueLight);
        p.FillRoundRect({13, 31, 30, 13}, 3, Solid(Palette::Orange));
        p.TextCentred(28, 37.5, "PDF", {"Verdana", 9, true}, white);
        break;
    case TStartButton::Language:
        Bubble(p, {10, 11, 30, 20}, true, Palette::Card, Palette::Blue, "DE");
        Bubble(p, {24, 29, 30, 20}, false, Palette::Orange, Palette::Card, "EN");
        break;
    case TStartButton::Exit: {
        const std::vector<TPt> arc = [] {
            std::vector<TPt> points;
            for (int i = 0; i <= 40; ++i) {
                const double a = (120 + 300.0 * i / 40) * std::numbers::pi / 180;
                points.push_back({32 + 14 * std::cos(a), 32 - 14 * std::sin(a)});
            }
            return points;
        }();
        p.StrokeLine(arc, 4, white);
        const std::vector<TPt> bar = {{32, 14}, {32, 30}};
        p.StrokeLine(bar, 4, white);
        break;
    }
    }
    return p.ResolveKeyed(Palette::TransparentKey);
}
