#include "platform/graphics/TIcon.h"

#include <algorithm>
#include <span>

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/IcoCodec.h"
#include "platform/graphics/TCanvas.h"

namespace {

// Puts a canvas's copy mode back however the drawing ends.
class TCopyModeSaver {
public:
    explicit TCopyModeSaver(TCanvas& canvas) : FCanvas(canvas), FMode(canvas.CopyMode()) {}
    ~TCopyModeSaver() { FCanvas.SetCopyMode(FMode); }
    TCopyModeSaver(const TCopyModeSaver&) = delete;
    TCopyModeSaver& operator=(const TCopyModeSaver&) = delete;

private:
    TCanvas& FCanvas;
    TCopyMode FMode;
};

std::unique_ptr<TBitmap> TrueColorCopy(const TBitmap& source)
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(source);
    copy->SetPixelFormat(pf24bit);
    return copy;
}

bool HasAlpha(const TBitmap& image)
{
    if (image.PixelFormat() != pf32bit) return false;
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x)
            if (row[4 * x + 3] != 0) return true;
    }
    return false;
}

// One channel of `over` laid onto `under` with the given opacity (0..255).
std::uint8_t Blend(std::uint8_t over, std::uint8_t under, unsigned alpha)
{
    return static_cast<std::uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
}

}  // namespace

TIcon::TIcon() : FImage(std::make_unique<TBitmap>()), FMask(std::make_unique<TBitmap>()) {}

TIcon::~TIcon() = default;

std::unique_ptr<TGraphic> TIcon::Clone() const
{
    auto copy = std::make_unique<TIcon>();
    copy->AssignFrom(*this);
    copy->SetModified(Modified());
    return copy;
}

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::LoadFromBytes(std::string bytes)
{
    ico::TIconImage image =
        ico::ReadIco(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    FData = std::move(bytes);
    FImage = std::move(image.Image);
    FMask = std::move(image.Mask);
    FAlpha = HasAlpha(*FImage);
    Changed();
}

void TIcon::LoadFromStream(TStream& stream) { LoadFromBytes(stream.ReadRest()); }

void TIcon::SaveToStream(TStream& stream) { stream.WriteString(FData); }

void TIcon::Draw(TCanvas& canvas, const TRect& rect)
{
    if (Empty() || rect.Width() == 0 || rect.Height() == 0) return;
    if (FAlpha)
        DrawBlended(canvas, rect);
    else
        DrawMasked(canvas, rect);
}

void TIcon::DrawMasked(TCanvas& canvas, const TRect& rect) const
{
    const std::unique_ptr<TBitmap> andImage = TrueColorCopy(*FMask);
    const std::unique_ptr<TBitmap> xorImage = TrueColorCopy(*FImage);
    const TRect whole = Rect(0, 0, Width(), Height());
    TCopyModeSaver saver(canvas);
    canvas.SetCopyMode(cmSrcAnd);
    canvas.CopyRect(rect, andImage->Canvas(), whole);
    canvas.SetCopyMode(cmSrcInvert);
    canvas.CopyRect(rect, xorImage->Canvas(), whole);
}

void TIcon::DrawBlended(TCanvas& canvas, const TRect& rect) const
{
    const TRect box{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom), std::max(rect.Left, rect.Right),
                    std::max(rect.Top, rect.Bottom)};
    // Only the pixels the canvas can show are visited, however large the rectangle.
    const TPoint origin = canvas.Origin();
    const TRect clip = canvas.ClipRect();
    const TRect area = IntersectRect(
        box, Rect(clip.Left - origin.X, clip.Top - origin.Y, clip.Right - origin.X, clip.Bottom - origin.Y));
    const int sw = Width();
    const int sh = Height();
    for (int y = area.Top; y < area.Bottom; ++y) {
        int sy = int(static_cast<long long>(y - box.Top) * sh / box.Height());
        if (rect.Height() < 0) sy = sh - 1 - sy;
        const std::uint8_t* row = FImage->ScanLine(sy);
        for (int x = area.Left; x < area.Right; ++x) {
            int sx = int(static_cast<long long>(x - box.Left) * sw / box.Width());
            if (rect.Width() < 0) sx = sw - 1 - sx;
            const std::uint8_t* p = row + 4 * static_cast<std::size_t>(sx);
            const unsigned alpha = p[3];
            if (alpha == 0) continue;
            TColor color = RGB(p[2], p[1], p[0]);
            if (alpha < 255) {
                const TColor under = canvas.Pixel(x, y);
                if (under == CLR_INVALID) continue;
                color = RGB(Blend(p[2], GetRValue(under), alpha), Blend(p[1], GetGValue(under), alpha),
                            Blend(p[0], GetBValue(under), alpha));
            }
            canvas.SetPixel(x, y, color);
        }
    }
}

bool TIcon::AssignFrom(const TGraphic& source)
{
    const auto* other = dynamic_cast<const TIcon*>(&source);
    if (!other) return false;
    auto image = std::make_unique<TBitmap>();
    image->Assign(*other->FImage);
    auto mask = std::make_unique<TBitmap>();
    mask->Assign(*other->FMask);
    FData = other->FData;
    FImage = std::move(image);
    FMask = std::move(mask);
    FAlpha = other->FAlpha;
    Changed();
    return true;
}

bool TIcon::AssignTo(TGraphic& dest) const { return AssignDrawnToBitmap(dest); }
