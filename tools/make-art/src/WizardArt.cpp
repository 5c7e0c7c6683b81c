#include "tools/make-art/src/WizardArt.h"

#include <vector>

#include "tools/make-art/src/ArtPainter.h"
#include "tools/make-art/src/Motifs.h"
#include "tools/make-art/src/Palette.h"

const char* WizardButtonWord(TWizardButton role, bool german)
{
    switch (role) {
    case TWizardButton::Add: return german ? "Hinzuf\xFCgen" : "Add";
    case TWizardButton::Delete: return german ? "L\xF6schen" : "Delete";
    case TWizardButton::Clear: return german ? "Liste leeren" : "Clear list";
    case TWizardButton::Fonts: return german ? "Schrift & Farben" : "Fonts & Colours";
    case TWizardButton::Background: return german ? "Hintergrund" : "Background";
    case TWizardButton::Copyright: return "Copyright";
    case TWizardButton::LoadText: return german ? "Text laden" : "Load text";
    }
    return "";
}

namespace {

constexpr TWizardButton AllWizardButtons[] = {TWizardButton::Add, TWizardButton::Delete, TWizardButton::Clear,
    TWizardButton::Fonts, TWizardButton::Background, TWizardButton::Copyright, TWizardButton::LoadText};

// The small round symbol at the left of a button.
void ButtonSymbol(TArtPainter& p, TWizardButton role, const TBox& disc)
{
    const bool warm = role == TWizardButton::Delete || role == TWizardButton::Clear;
    p.FillEllipse(
        disc, Vertical(warm ? Palette::OrangeLight : Palette::BlueLight, warm ? Palette::OrangeDeep : Palette::Blue));
    const TPt c = disc.Centre();
    const double r = disc.W / 2;
    const TPaint white = Solid(Palette::Card);
    const double w = 1.7;
    switch (role) {
    case TWizardButton::Add: {
        const std::vector<TPt> h = {{c.X - r * 0.5, c.Y}, {c.X + r * 0.5, c.Y}};
        const std::vector<TPt> v = {{c.X, c.Y - r * 0.5}, {c.X, c.Y + r * 0.5}};
        p.StrokeLine(h, w, white);
        p.StrokeLine(v, w, white);
        break;
    }
    case TWizardButton::Delete: {
        const std::vector<TPt> a = {{c.X - r * 0.38, c.Y - r * 0.38}, {c.X + r * 0.38, c.Y + r * 0.38}};
        const std::vector<TPt> b = {{c.X - r * 0.38, c.Y + r * 0.38}, {c.X + r * 0.38, c.Y - r * 0.38}};
        p.StrokeLine(a, w, white);
        p.StrokeLine(b, w, white);
        break;
    }
    case TWizardButton::Clear:
        for (int i = -1; i <= 1; ++i) {
            const std::vector<TPt> line = {{c.X - r * 0.45, c.Y + i * r * 0.38}, {c.X + r * 0.45, c.Y + i * r * 0.38}};
            p.StrokeLine(line, 1.2, white);
        }
        break;
    case TWizardButton::Fonts:
        p.TextCentred(c.X, c.Y, "A", {"Times New Roman", 11, true}, white);
        break;
    case TWizardButton::Background:
        Motif::Photo(p, disc.Inset(r * 0.42), 0, false);
        break;
    case TWizardButton::Copyright:
        p.StrokeEllipse(disc.Inset(r * 0.22), 1.1, white);
        p.TextCentred(c.X, c.Y, "C", {"Arial", 7, true}, white);
        break;
    case TWizardButton::LoadText: {
        const TBox sheet{c.X - r * 0.38, c.Y - r * 0.5, r * 0.76, r};
        p.FillRect(sheet, white);
        for (int i = 0; i < 3; ++i)
            p.FillRect({sheet.X + 1, sheet.Y + 1.5 + i * 2.2, sheet.W - 2, 0.9}, Solid(Palette::Blue));
        break;
    }
    }
}

}  // namespace

std::unique_ptr<TBitmap> DrawWizardButton(TWizardButton role, bool german)
{
    TArtPainter p(104, 28, Palette::ButtonFace);
    const TBox pill{1, 1, 102, 25};
    p.FillRoundRect(pill.Moved(0, 1), 12.5, Solid(Palette::Navy, 0.14));
    p.FillRoundRect(pill, 12.5, Solid(Palette::Line));
    p.FillRoundRect(pill.Inset(1), 11.5, Vertical(Palette::Card, Mix(Palette::Card, Palette::BluePale, 0.45)));
    // The buttons stand side by side, so every word is set in one size: the
    // largest in which the longest word of either language fits. Long words
    // keep a bold, readable letter: the symbols get smaller first, and only
    // when a word still does not fit is it set plain.
    const char* word = WizardButtonWord(role, german);
    const auto fits = [&](double discSize, const TTextStyle& style) {
        for (TWizardButton r : AllWizardButtons)
            for (bool g : {false, true})
                if (p.TextWidth(WizardButtonWord(r, g), style) > pill.Right() - 5 - (4.5 + discSize + 3))
                    return false;
        return true;
    };
    double discSize = 18;
    TTextStyle style{"Arial", 12, true};
    while (style.Size > 10.5 && !fits(discSize, style)) style.Size -= 0.25;
    if (!fits(discSize, style)) discSize = 14;
    while (style.Size > 9.5 && !fits(discSize, style)) style.Size -= 0.25;
    if (!fits(discSize, style)) style = {"Arial", 11, false};
    while (style.Size > 9 && !fits(discSize, style)) style.Size -= 0.25;
    const TBox disc{4.5, pill.Centre().Y - discSize / 2, discSize, discSize};
    ButtonSymbol(p, role, disc);
    const double left = disc.Right() + 3, right = pill.Right() - 5;
    p.TextCentred((left + right) / 2, pill.Centre().Y, word, style, Solid(Palette::Ink));
    return p.Resolve();
}

std::unique_ptr<TBitmap> DrawWizardIcon(TWizardIcon icon)
{
    TArtPainter p(48, 48, Palette::ButtonFace);
    const TBox disc{3, 2, 42, 42};
    const bool warm = icon == TWizardIcon::Start;
    p.FillEllipse(disc.Moved(0, 1.5), Solid(Palette::Navy, 0.18));
    p.FillEllipse(
        disc, Vertical(warm ? Palette::OrangeLight : Palette::BlueLight, warm ? Palette::OrangeDeep : Palette::Blue));
    p.FillEllipse({disc.X + 6, disc.Y + 2, disc.W - 12, disc.H * 0.45}, Solid(Palette::Card, 0.12));
    const TPaint white = Solid(Palette::Card);
    const TPt c = disc.Centre();
    switch (icon) {
    case TWizardIcon::Start: {
        const std::vector<TPt> play = {{c.X - 7, c.Y - 11}, {c.X + 12, c.Y}, {c.X - 7, c.Y + 11}};
        p.FillPolygon(play, white);
        break;
    }
    case TWizardIcon::Publish: {
        p.FillEllipse({c.X - 14, c.Y - 2, 14, 12}, white);
        p.FillEllipse({c.X - 7, c.Y - 10, 16, 16}, white);
        p.FillEllipse({c.X + 2, c.Y - 4, 13, 13}, white);
        p.FillRoundRect({c.X - 14, c.Y + 2, 29, 8}, 4, white);
        Motif::Arrow(p, {c.X, c.Y + 8}, {c.X, c.Y - 6}, 3, Solid(Palette::Orange));
        break;
    }
    case TWizardIcon::MetaTags:
        p.TextCentred(c.X, c.Y, "</>", {"Courier New", 17, true}, white);
        break;
    }
    return p.Resolve();
}

std::unique_ptr<TBitmap> DrawKindIcon(bool php)
{
    TArtPainter p(48, 48, Palette::ButtonFace);
    const TBox sheet{9, 3, 30, 40};
    p.FillRect(sheet.Moved(1, 1.5), Solid(Palette::Navy, 0.15));
    Motif::Sheet(p, sheet, Palette::Card, Palette::BluePale, Palette::Line);
    Motif::TextLines(p, {13, 10, 14, 6}, 3, 1.5, Palette::Line);
    if (php) {
        for (int i = 0; i < 3; ++i) p.FillEllipse({14 + i * 7.0, 18, 5, 5}, Solid(Palette::OrangeLight));
    } else {
        Motif::Photo(p, {13, 17, 22, 9}, 0, false);
    }
    const TColor band = php ? Palette::Orange : Palette::Blue;
    p.FillRoundRect({4, 28, 40, 13}, 3, Solid(band));
    p.TextCentred(24, 34.5, php ? "PHP" : "HTML", {"Verdana", 9, true}, Solid(Palette::Card));
    return p.Resolve();
}
