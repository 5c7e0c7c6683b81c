#include "watermark/WatermarkStamp.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/graphics/TCanvas.h"
#include "shared/veskotools.h"

namespace {

constexpr TColor White = 0xFFFFFF;

// Bytes per pixel of the formats whose rows hold blue, green, red directly;
// 0 for the others, which go through Pixel().
int DirectBytes(const TBitmap& bitmap)
{
    switch (bitmap.PixelFormat()) {
    case pf24bit:
    case pfDevice:
        return 3;
    case pf32bit:
        return 4;
    default:
        return 0;
    }
}

// Calls stamp(pictureBgr, markBgr) for every mark pixel that falls inside the
// picture; both are blue, green, red and stamp writes the picture's bytes.
template <class F>
void ForEachCovered(TBitmap& picture, const TBitmap& mark, TPoint at, F stamp)
{
    const int left = std::max(0, at.X);
    const int top = std::max(0, at.Y);
    const int right = std::min(picture.Width(), at.X + mark.Width());
    const int bottom = std::min(picture.Height(), at.Y + mark.Height());
    if (left >= right || top >= bottom)
        return;
    const int pictureBytes = DirectBytes(picture);
    const int markBytes = DirectBytes(mark);
    if (pictureBytes && markBytes) {
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* p = picture.ScanLine(y) + std::size_t(left) * pictureBytes;
            const std::uint8_t* m = mark.ScanLine(y - at.Y) + std::size_t(left - at.X) * markBytes;
            for (int x = left; x < right; ++x, p += pictureBytes, m += markBytes)
                stamp(p, m);
        }
        return;
    }
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const TColor pc = picture.Pixel(x, y);
            const TColor mc = mark.Pixel(x - at.X, y - at.Y);
            std::uint8_t p[3] = {GetBValue(pc), GetGValue(pc), GetRValue(pc)};
            const std::uint8_t m[3] = {GetBValue(mc), GetGValue(mc), GetRValue(mc)};
            stamp(p, m);
            picture.SetPixel(x, y, RGB(p[2], p[1], p[0]));
        }
}

}  // namespace

long long RoundRatio(long long numerator, long long denominator)
{
    const bool negative = numerator < 0;
    const long long n = negative ? -numerator : numerator;
    long long q = n / denominator;
    const long long twice = 2 * (n % denominator);
    if (twice > denominator || (twice == denominator && q % 2 == 1))
        ++q;
    return negative ? -q : q;
}

bool ColorInTolerance(TColor colour, TColor key, int percent)
{
    const long long d = RoundRatio(static_cast<long long>(percent) * 0xFFFFFF, 100);
    const long long value = colour & 0xFFFFFF;
    const long long k = key & 0xFFFFFF;
    return std::max(k - d, 0LL) <= value && value <= std::min(k + d, 0xFFFFFFLL);
}

std::unique_ptr<TBitmap> MakeBlackWhiteMask(const TBitmap& picture, TColor key, int percent)
{
    auto mask = std::make_unique<TBitmap>();
    mask->Assign(picture);
    for (int x = 0; x < mask->Width(); ++x)
        for (int y = 0; y < mask->Height(); ++y)
            mask->SetPixel(x, y, ColorInTolerance(mask->Pixel(x, y), key, percent) ? White : 0);
    return mask;
}

std::unique_ptr<TBitmap> DrawTextMark(const std::string& text, const std::string& fontName, int fontSize,
                                      TColor colour)
{
    auto mark = std::make_unique<TBitmap>();
    TCanvas& canvas = mark->Canvas();
    canvas.Font().SetSize(fontSize);
    canvas.Font().SetColor(colour);
    canvas.Font().SetName(fontName);
    canvas.Font().SetStyle(0);
    canvas.Pen().SetColor(White);
    const int width = canvas.TextWidth(text);
    const int height = canvas.TextHeight(text);
    mark->SetSize(width, height);
    canvas.Brush().SetColor(White);
    canvas.Brush().SetStyle(bsSolid);
    canvas.TextOut(0, 0, text);
    return mark;
}

std::unique_ptr<TBitmap> TurnMark(const TBitmap& mark, const std::string& rotation)
{
    if (rotation == "90")
        return RotateBitmapRight(mark);
    if (rotation == "180")
        return RotateBitmapRight(*RotateBitmapRight(mark));
    if (rotation == "270")
        return RotateBitmapLeft(mark);
    auto same = std::make_unique<TBitmap>();
    same->Assign(mark);
    return same;
}

TPoint MarkOffset(TMarkPosition position, int pictureWidth, int pictureHeight, int markWidth, int markHeight)
{
    switch (position) {
    case TMarkPosition::TopLeft:
        return {0, 0};
    case TMarkPosition::BottomLeft:
        return {0, pictureHeight - markHeight};
    case TMarkPosition::TopRight:
        return {pictureWidth - markWidth, 0};
    case TMarkPosition::BottomRight:
        return {pictureWidth - markWidth, pictureHeight - markHeight};
    case TMarkPosition::Centre:
        break;
    }
    return {static_cast<int>(RoundRatio(pictureWidth - markWidth, 2)),
            static_cast<int>(RoundRatio(pictureHeight - markHeight, 2))};
}

void StampBrightness(TBitmap& picture, const TBitmap& mark, TPoint at, int strength, TChannels channels)
{
    if (strength == 0)
        return;
    const int a = std::min(std::abs(strength), 255);
    // By channel value: the shifted value of a ticked channel, and the one
    // every unticked channel takes.
    std::uint8_t shifted[256];
    for (int v = 0; v < 256; ++v)
        shifted[v] = static_cast<std::uint8_t>(strength > 0 ? (v + a < 255 ? v + a : 255) : (v - a > 0 ? v - a : 0));
    const std::uint8_t unticked = strength > 0 ? 255 : 0;
    const bool ticked[3] = {channels.Blue, channels.Green, channels.Red};
    ForEachCovered(picture, mark, at, [&](std::uint8_t* p, const std::uint8_t* m) {
        if (m[0] == 255 && m[1] == 255 && m[2] == 255)
            return;
        for (int c = 0; c < 3; ++c)
            p[c] = ticked[c] ? shifted[p[c]] : unticked;
    });
}

void StampBlend(TBitmap& picture, const TBitmap& mark, TPoint at, int transparency)
{
    // l by |p - m|, rounded once here.
    std::uint8_t part[256];
    for (int d = 0; d < 256; ++d)
        part[d] = static_cast<std::uint8_t>(std::clamp<long long>(RoundRatio(d * transparency, 100), 0, 255));
    ForEachCovered(picture, mark, at, [&](std::uint8_t* p, const std::uint8_t* m) {
        for (int c = 0; c < 3; ++c) {
            const int pv = p[c];
            const int mv = m[c];
            const int l = part[std::abs(pv - mv)];
            p[c] = static_cast<std::uint8_t>(std::clamp(pv > mv ? mv + l : mv - l, 0, 255));
        }
    });
}

int StretchedPreviewHeight(int controlWidth, int controlHeight, int scrollBoxWidth, int bitmapWidth,
                           int bitmapHeight)
{
    if (controlWidth < controlHeight)
        return -1;
    const int width = scrollBoxWidth - 10;
    // The factor divides by the width less ten: a narrower box has no sensible factor.
    if (width - 10 < 1)
        return -1;
    long long f = RoundRatio(bitmapWidth, width - 10);
    if (f < 1)
        f = 1;
    return static_cast<int>(RoundRatio(bitmapHeight, f));
}
