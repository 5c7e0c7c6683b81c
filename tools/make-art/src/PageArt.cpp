#include "tools/make-art/src/PageArt.h"

#include <string>
#include <vector>

#include "tools/make-art/src/ArtPainter.h"
#include "tools/make-art/src/Motifs.h"
#include "tools/make-art/src/Palette.h"

namespace {

// The calm ground every page picture stands on.
void Ground(TArtPainter& p)
{
    p.FillRect({0, 0, double(p.Width()), double(p.Height())}, Vertical(Palette::Card, Palette::Paper));
    p.FillEllipse({p.Width() * 0.12, p.Height() * 0.08, p.Width() * 0.76, p.Height() * 0.84},
                  Solid(Palette::BluePale, 0.55));
}

void Badge(TArtPainter& p, TPt centre, double r, const char* symbol, bool warm = true)
{
    p.FillEllipse({centre.X - r, centre.Y - r + 1.5, 2 * r, 2 * r}, Solid(Palette::Navy, 0.2));
    p.FillEllipse({centre.X - r, centre.Y - r, 2 * r, 2 * r}, Vertical(warm ? Palette::OrangeLight : Palette::BlueLight,
                                                                       warm ? Palette::OrangeDeep : Palette::Blue));
    p.TextCentred(centre.X, centre.Y, symbol, {"Verdana", r * 1.1, true}, Solid(Palette::Card));
}

void Print(TArtPainter& p, const TBox& box, int variant)
{
    p.FillRect(box.Moved(1.5, 2), Solid(Palette::Navy, 0.16));
    p.FillRect(box.Inset(-0.5), Solid(Palette::Line));
    Motif::Photo(p, box, variant);
}

// A page lying on the ground, with a heading bar of the given length.
void TitledSheet(TArtPainter& p, const TBox& sheet, double heading)
{
    p.FillRect(sheet.Moved(2, 2.5), Solid(Palette::Navy, 0.15));
    Motif::Sheet(p, sheet, Palette::Card, Palette::BluePale, Palette::Line);
    p.FillRoundRect({sheet.X + 8, sheet.Y + 10, heading, 5.5}, 2.75, Solid(Palette::Blue));
}

void Monitor(TArtPainter& p, const TBox& screen)
{
    p.FillRoundRect(screen.Inset(-5).Moved(0, 2), 6, Solid(Palette::Navy, 0.15));
    p.FillRoundRect(screen.Inset(-5), 6, Vertical(Palette::Navy, Mix(Palette::Navy, Palette::Blue, 0.6)));
    const double cx = screen.Centre().X;
    const std::vector<TPt> stand = {{cx - 9, screen.Bottom() + 5}, {cx + 9, screen.Bottom() + 5},
                                    {cx + 13, screen.Bottom() + 17}, {cx - 13, screen.Bottom() + 17}};
    p.FillPolygon(stand, Solid(Mix(Palette::Navy, Palette::Blue, 0.5)));
    p.FillRoundRect({cx - 24, screen.Bottom() + 16, 48, 4}, 2, Solid(Palette::Navy));
}

}  // namespace

std::unique_ptr<TBitmap> DrawPagePicture(TPagePicture page)
{
    TArtPainter p(160, 120, Palette::Paper);
    Ground(p);
    switch (page) {
    case TPagePicture::Pictures:
        Print(p, {30, 34, 62, 46}, 3);
        Print(p, {48, 26, 62, 46}, 1);
        Print(p, {66, 40, 62, 46}, 0);
        Badge(p, {126, 34}, 14, "+");
        break;
    case TPagePicture::Gallery: {
        const TBox page = Motif::Browser(p, {18, 14, 124, 92});
        p.FillRoundRect({page.X + 8, page.Y + 6, 50, 5}, 2.5, Solid(Palette::Blue));
        Motif::PhotoGrid(p, {page.X + 8, page.Y + 16, page.W - 16, page.H - 24}, 3, 2, 5, 0);
        break;
    }
    case TPagePicture::Texts: {
        TitledSheet(p, {42, 12, 76, 96}, 40);
        Motif::Photo(p, {50, 34, 60, 30}, 2, false);
        Motif::TextLines(p, {50, 71, 60, 28}, 5, 2.4, Palette::Line);
        Badge(p, {122, 88}, 14, "T");
        break;
    }
    case TPagePicture::Mail:
        Print(p, {56, 18, 56, 42}, 0);
        p.FillRect({34, 48, 92, 58}, Solid(Palette::Navy, 0.12));
        Motif::Envelope(p, {32, 46, 92, 58}, Palette::Card, Palette::BluePale, Palette::Blue);
        Badge(p, {126, 36}, 14, "@");
        break;
    case TPagePicture::Thumbs: {
        Print(p, {14, 30, 70, 54}, 1);
        Motif::Arrow(p, {90, 57}, {106, 57}, 4, Solid(Palette::Orange));
        const TBox grid{112, 34, 36, 46};
        p.FillRect(grid.Inset(-3), Solid(Palette::Card));
        Motif::PhotoGrid(p, grid, 2, 3, 3, 1);
        break;
    }
    case TPagePicture::Exe: {
        const TBox screen{36, 18, 88, 60};
        Monitor(p, screen);
        Motif::Photo(p, {screen.X, screen.Y, screen.W, 46}, 2, false);
        p.FillRect({screen.X, screen.Y + 46, screen.W, 14}, Solid(Palette::Ink));
        for (int i = 0; i < 5; ++i) Motif::Photo(p, {screen.X + 4 + i * 17.0, screen.Y + 48, 14, 10}, i, false);
        Badge(p, {130, 26}, 13, "\xBB", false);
        break;
    }
    case TPagePicture::Pdf: {
        TitledSheet(p, {44, 10, 72, 100}, 34);
        Motif::PhotoGrid(p, {52, 36, 56, 44}, 2, 2, 4, 2);
        Motif::TextLines(p, {52, 88, 56, 14}, 3, 2, Palette::Line);
        p.FillRoundRect({28, 84, 48, 20}, 4, Solid(Palette::Orange));
        p.TextCentred(52, 94, "PDF", {"Verdana", 13, true}, Solid(Palette::Card));
        break;
    }
    }
    return p.Resolve();
}

std::unique_ptr<TBitmap> DrawKindPreview(bool php)
{
    TArtPainter p(200, 150, Palette::Paper);
    p.FillRect({0, 0, 200, 150}, Vertical(Palette::Paper, Mix(Palette::Paper, Palette::BluePale, 0.6)));
    const TBox page = Motif::Browser(p, {8, 8, 184, 134});
    p.FillRoundRect({page.X + 8, page.Y + 6, 64, 6}, 3, Solid(Palette::Blue));
    if (!php) {
        Motif::PhotoGrid(p, {page.X + 8, page.Y + 18, page.W - 16, page.H - 36}, 4, 3, 5, 0);
        for (int i = 0; i < 3; ++i)
            p.FillEllipse({page.Centre().X - 10 + i * 8.0, page.Bottom() - 11, 5, 5},
                          Solid(i == 0 ? Palette::Orange : Palette::Line));
        return p.Resolve();
    }
    // A PHP gallery: photos with their votes and views, a chart at the side.
    const double w = 36, h = 27;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            const TBox cell{page.X + 8 + c * (w + 6), page.Y + 18 + r * (h + 19), w, h};
            p.FillRect(cell.Moved(0, 0.75), Solid(Palette::Navy, 0.12));
            Motif::Photo(p, cell, r * 3 + c);
            for (int s = 0; s < 5; ++s)
                Motif::Star(p, {cell.X + 4 + s * 7, cell.Bottom() + 6.5}, 3.2,
                            Solid(s < 2 + (r * 3 + c * 2) % 4 ? Palette::Orange : Palette::Line));
        }
    const TBox chart{page.X + 140, page.Y + 18, page.W - 148, 72};
    Motif::Card(p, chart, 3);
    const double bars[4] = {0.5, 0.8, 0.35, 0.65};
    for (int i = 0; i < 4; ++i) {
        const double bh = (chart.H - 14) * bars[i];
        p.FillRect({chart.X + 5 + i * 8.0, chart.Bottom() - 6 - bh, 5, bh},
                   Solid(i == 1 ? Palette::Orange : Palette::BlueLight));
    }
    p.FillRoundRect({page.X + 8, page.Bottom() - 16, page.W - 16, 10}, 5, Solid(Palette::BluePale));
    p.FillRoundRect({page.X + 12, page.Bottom() - 13, 56, 4}, 2, Solid(Palette::Card));
    return p.Resolve();
}

std::unique_ptr<TBitmap> DrawInstructions()
{
    TArtPainter p(740, 400, Palette::Paper);
    p.FillRect({0, 0, 740, 400}, Vertical(Palette::Card, Palette::Paper));
    p.FillRect({0, 0, 740, 44}, Vertical(Palette::Navy, Palette::Blue));
    p.FillRect({0, 44, 740, 3}, Horizontal(Palette::Orange, Palette::OrangeLight));
    p.Text(20, 11, "So verlinken Sie Ihre Galerie", {"Verdana", 17, true}, Solid(Palette::Card));
    const TTextStyle english{"Verdana", 15, false};
    p.Text(720 - p.TextWidth("How to link your gallery", english), 13, "How to link your gallery", english,
           Solid(Palette::BluePale));

    const TTextStyle body{"Verdana", 11, false};
    const TTextStyle bodyBold{"Verdana", 11, true};
    const TTextStyle small{"Verdana", 10, false};

    // Left: the own home page with its link.
    const TBox home = Motif::Browser(p, {24, 64, 300, 172}, 1.2);
    p.Text(68, 67, "www.ihre-homepage.de", small, Solid(Palette::InkSoft));
    p.Text(home.X + 14, home.Y + 10, "Meine Homepage / My home page", bodyBold, Solid(Palette::Navy));
    Motif::TextLines(p, {home.X + 14, home.Y + 34, home.W - 28, 34}, 4, 3, Palette::Line);
    const char* link = "Meine Galerie / My gallery";
    const double lx = home.X + 14, ly = home.Y + 84;
    p.FillRoundRect({lx - 6, ly - 4, p.TextWidth(link, bodyBold) + 12, 22}, 5, Solid(Palette::BluePale));
    p.Text(lx, ly, link, bodyBold, Solid(Palette::Blue));
    p.FillRect({lx, ly + 15, p.TextWidth(link, bodyBold), 1.2}, Solid(Palette::Blue));
    Motif::TextLines(p, {home.X + 14, home.Y + 118, home.W - 28, 16}, 2, 3, Palette::Line);

    // Right: the gallery's start page.
    const TBox gallery = Motif::Browser(p, {416, 64, 300, 172}, 1.2);
    p.Text(460, 67, ".../galerie/start.html", small, Solid(Palette::InkSoft));
    Motif::PhotoGrid(p, {gallery.X + 14, gallery.Y + 12, gallery.W - 28, gallery.H - 24}, 4, 2, 8, 0);

    Motif::Arrow(p, {lx + p.TextWidth(link, bodyBold) + 14, ly + 8}, {408, 150}, 6, Solid(Palette::Orange));
    p.TextCentred(368, 124, "Klick!", bodyBold, Solid(Palette::OrangeDeep));

    // The link as it is written into the home page.
    const TBox code{24, 254, 692, 36};
    Motif::Card(p, code, 6);
    p.FillRoundRect({code.X + 1, code.Y + 1, 6, code.H - 2}, 3, Solid(Palette::Orange));
    const TTextStyle mono{"Courier New", 14, true};
    const std::string tagOpen = "<a href=\"galerie/start.html\">";
    const std::string words = "Meine Galerie";
    const std::string tagClose = "</a>";
    double x = code.X + 18;
    const double y = code.Y + 10;
    p.Text(x, y, tagOpen, mono, Solid(Palette::Blue));
    x += p.TextWidth(tagOpen, mono);
    p.Text(x, y, words, mono, Solid(Palette::Ink));
    x += p.TextWidth(words, mono);
    p.Text(x, y, tagClose, mono, Solid(Palette::Blue));

    const char* steps[3][2] = {
        {"Laden Sie den ganzen Galerie-Ordner auf Ihren Webserver.",
         "Upload the whole gallery folder to your web server."},
        {"Setzen Sie auf Ihrer Homepage einen Link auf \"start.html\".",
         "Put a link to \"start.html\" on your home page."},
        {"Fertig: Ein Klick auf den Link \xF6"
         "ffnet die Galerie.",
         "Done: one click on the link opens the gallery."},
    };
    for (int i = 0; i < 3; ++i) {
        const double sy = 302 + i * 31;
        Badge(p, {38, sy + 12}, 11, std::to_string(i + 1).c_str(), i < 2 ? false : true);
        p.Text(58, sy, steps[i][0], bodyBold, Solid(Palette::Ink));
        p.Text(58, sy + 14, steps[i][1], body, Solid(Palette::InkSoft));
    }
    return p.Resolve();
}
