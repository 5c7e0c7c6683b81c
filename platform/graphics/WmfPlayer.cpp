#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/DeviceContext.h"

// Windows metafiles: an optional placeable header (key 0x9AC6CDD7 with the
// picture's bounds and units per inch), the 18-byte metafile header, then
// records of a 32-bit size in 16-bit words, a function number and 16-bit
// parameters stored last-argument first. The window maps onto the target
// rectangle: the placeable bounds by default, changed by the window records.

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;

struct TLayout {
    bool Placeable = false;
    TRect Bounds;       // placeable bounds, logical units
    int Inch = 0;       // units per inch (placeable)
    std::size_t Records = 0;
    int Objects = 0;
};

TLayout ReadLayout(std::span<const std::uint8_t> data)
{
    TRecordReader r(data);
    TLayout layout;
    std::size_t header = 0;
    if (r.U32(0) == PlaceableKey) {
        layout.Placeable = true;
        layout.Bounds = {r.I16(6), r.I16(8), r.I16(10), r.I16(12)};
        layout.Inch = r.U16(14);
        header = 22;
    }
    const std::uint16_t type = r.U16(header);
    const std::uint16_t headerWords = r.U16(header + 2);
    const std::uint16_t version = r.U16(header + 4);
    if (r.Failed() || !r.Has(header, 18) || (type != 1 && type != 2) || headerWords != 9 ||
        (version != 0x0100 && version != 0x0300))
        throw EInvalidGraphic("Invalid metafile");
    layout.Objects = r.U16(header + 10);
    layout.Records = header + 18;
    return layout;
}

// Calls `visit(function, reader, paramsOffset, paramBytes)` for each record
// until the end record, the end of the data or a record that does not fit.
template <class Visit>
void ForEachRecord(std::span<const std::uint8_t> data, std::size_t start, Visit visit)
{
    std::size_t pos = start;
    while (pos + 6 <= data.size()) {
        TRecordReader head(data.subspan(pos, 6));
        const std::uint64_t bytes = std::uint64_t(head.U32(0)) * 2;
        const std::uint16_t function = head.U16(4);
        if (function == 0 || bytes < 6 || bytes > data.size() - pos) return;
        TRecordReader record(data.subspan(pos, std::size_t(bytes)));
        if (!visit(function, record, std::size_t(bytes) - 6)) return;
        pos += std::size_t(bytes);
    }
}

// The first window extent and origin of a metafile without placeable header.
bool FindWindow(std::span<const std::uint8_t> data, std::size_t start, TPoint& org, TPoint& ext)
{
    bool found = false;
    ForEachRecord(data, start, [&](std::uint16_t f, TRecordReader& r, std::size_t) {
        if (f == 0x020B) org = {r.I16(8), r.I16(6)};
        if (f == 0x020C) {
            ext = {r.I16(8), r.I16(6)};
            found = ext.X != 0 && ext.Y != 0;
            return false;
        }
        return true;
    });
    return found;
}

std::string FaceName(std::span<const std::uint8_t> bytes)
{
    std::string face;
    for (std::uint8_t b : bytes) {
        if (b == 0) break;
        face.push_back(char(b));
    }
    return face;
}

class TWmfPlayback {
public:
    TWmfPlayback(TMetafilePlayer& player, int objects) : P(player), FObjects(std::size_t(objects)) {}
    bool Record(std::uint16_t f, TRecordReader& r, std::size_t n);

private:
    // Parameter i (16-bit words after the function number).
    static std::int16_t W(TRecordReader& r, std::size_t i) { return r.I16(6 + 2 * i); }
    static std::uint32_t Colour(TRecordReader& r, std::size_t i) { return r.U32(6 + 2 * i) & 0xFFFFFF; }
    void Create(TMetaObject object);
    std::vector<TPoint> Points(TRecordReader& r, std::size_t word, std::size_t count);
    void DibBlit(TRecordReader& r, std::size_t n, std::uint32_t rop, int sx, int sy, int sw, int sh, int dx, int dy,
                 int dw, int dh, std::size_t dibWord);

    TMetafilePlayer& P;
    std::vector<std::optional<TMetaObject>> FObjects;
};

void TWmfPlayback::Create(TMetaObject object)
{
    // Objects take the lowest free slot; a file that creates more than it
    // declared gets more slots, up to the 16-bit index limit.
    for (auto& slot : FObjects)
        if (!slot) {
            slot = std::move(object);
            return;
        }
    if (FObjects.size() < 65535) FObjects.emplace_back(std::move(object));
}

std::vector<TPoint> TWmfPlayback::Points(TRecordReader& r, std::size_t word, std::size_t count)
{
    std::vector<TPoint> points;
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) points.push_back({W(r, word + 2 * i), W(r, word + 2 * i + 1)});
    return points;
}

void TWmfPlayback::DibBlit(TRecordReader& r, std::size_t n, std::uint32_t rop, int sx, int sy, int sw, int sh,
                           int dx, int dy, int dw, int dh, std::size_t dibWord)
{
    const std::size_t at = 6 + 2 * dibWord;
    if (!r.Has(at, 40)) {
        P.Blit(dx, dy, dw, dh, nullptr, 0, 0, 0, 0, rop);
        return;
    }
    const std::uint32_t headerSize = r.U32(at);
    if (headerSize < 12 || !r.Has(at, headerSize)) return;
    const std::uint16_t bitCount = headerSize == 12 ? r.U16(at + 10) : r.U16(at + 14);
    const std::uint32_t compression = headerSize == 12 ? 0 : r.U32(at + 16);
    std::uint32_t colours = headerSize == 12 ? 0 : r.U32(at + 32);
    if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
    if (colours > 256) return;
    std::size_t table = std::size_t(colours) * (headerSize == 12 ? 3 : 4);
    if (headerSize == 40 && compression == 3) table += 12;  // BI_BITFIELDS masks
    const std::size_t headerBytes = headerSize + table;
    if (!r.Has(at, headerBytes)) return;
    const auto dib = DecodeDib(r.Bytes(at, headerBytes), r.Bytes(at + headerBytes, r.Size() - at - headerBytes));
    if (!dib) return;
    const TBitmap& bitmap = **dib;
    // Source rows count from the bottom of a bottom-up bitmap.
    const std::int32_t height = headerSize == 12 ? r.I16(at + 6) : r.I32(at + 8);
    if (height > 0) sy = bitmap.Height() - sy - sh;
    (void)n;
    P.Blit(dx, dy, dw, dh, &bitmap, sx, sy, sw, sh, rop);
}

bool TWmfPlayback::Record(std::uint16_t f, TRecordReader& r, std::size_t n)
{
    const std::size_t words = n / 2;
    switch (f) {
    case 0x0201: P.SetBkColor(Colour(r, 0)); break;
    case 0x0102: P.SetBkMode(W(r, 0)); break;
    case 0x0103: P.SetMapMode(W(r, 0)); break;
    case 0x0104: P.SetRop2(W(r, 0)); break;
    case 0x0106: P.SetPolyFillMode(W(r, 0)); break;
    case 0x0209: P.SetTextColor(Colour(r, 0)); break;
    case 0x012E: P.SetTextAlign(std::uint16_t(W(r, 0))); break;
    case 0x020B: P.SetWindowOrg(W(r, 1), W(r, 0)); break;
    case 0x020C: P.SetWindowExt(W(r, 1), W(r, 0)); break;
    case 0x020F: P.OffsetWindowOrg(W(r, 1), W(r, 0)); break;
    case 0x0410: P.ScaleWindowExt(W(r, 3), W(r, 2), W(r, 1), W(r, 0)); break;
    // The viewport is the target rectangle; the file's viewport records are
    // meant for the device it was made on.
    case 0x020D: case 0x020E: case 0x0211: case 0x0412: break;
    case 0x0214: P.MoveTo(W(r, 1), W(r, 0)); break;
    case 0x0213: P.LineTo(W(r, 1), W(r, 0)); break;
    case 0x041B: P.Rectangle(W(r, 3), W(r, 2), W(r, 1), W(r, 0)); break;
    case 0x0418: P.Ellipse(W(r, 3), W(r, 2), W(r, 1), W(r, 0)); break;
    case 0x061C: P.RoundRect(W(r, 5), W(r, 4), W(r, 3), W(r, 2), W(r, 1), W(r, 0)); break;
    case 0x0817: case 0x081A: case 0x0830: {
        const int kind = f == 0x0817 ? 0 : f == 0x081A ? 1 : 2;
        P.ArcShape(kind, W(r, 7), W(r, 6), W(r, 5), W(r, 4), W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    }
    case 0x041F: P.SetPixel(W(r, 3), W(r, 2), Colour(r, 0)); break;
    case 0x0324: case 0x0325: {
        const int count = W(r, 0);
        if (count < 0 || std::size_t(count) * 2 + 1 > words) break;
        const auto points = Points(r, 1, std::size_t(count));
        if (f == 0x0324) P.Polygon(points);
        else P.Polyline(points);
        break;
    }
    case 0x0538: {
        const int polygons = W(r, 0);
        if (polygons < 0 || std::size_t(polygons) + 1 > words) break;
        std::vector<int> counts;
        std::size_t total = 0;
        for (int i = 0; i < polygons; ++i) {
            const int c = W(r, 1 + std::size_t(i));
            if (c < 0) return true;
            counts.push_back(c);
            total += std::size_t(c);
        }
        if (1 + std::size_t(polygons) + 2 * total > words) break;
        P.PolyPolygon(Points(r, 1 + std::size_t(polygons), total), counts);
        break;
    }
    case 0x001E: P.SaveState(); break;
    case 0x0127: P.RestoreState(W(r, 0)); break;
    case 0x0416: P.IntersectClip(W(r, 3), W(r, 2), W(r, 1), W(r, 0)); break;
    case 0x02FA: {
        TMetaObject o;
        o.Kind = TMetaObject::okPen;
        o.Pen = {std::uint16_t(W(r, 0)) & 0x0F, W(r, 1), Colour(r, 3)};
        Create(o);
        break;
    }
    case 0x02FC: {
        TMetaObject o;
        o.Kind = TMetaObject::okBrush;
        const int style = W(r, 0);
        o.Brush = {style == 1, Colour(r, 1)};
        Create(o);
        break;
    }
    case 0x0142: {  // a pattern brush from a bitmap: its top-left colour
        TMetaObject o;
        o.Kind = TMetaObject::okBrush;
        o.Brush = {false, RGB(128, 128, 128)};
        const std::size_t at = 10;
        if (r.Has(at, 40)) {
            const std::uint32_t hs = r.U32(at);
            const std::uint16_t bits = r.U16(at + 14);
            std::uint32_t colours = r.U32(at + 32);
            if (colours == 0 && bits <= 8) colours = 1u << bits;
            const std::size_t headerBytes = std::size_t(hs) + std::size_t(std::min<std::uint32_t>(colours, 256)) * 4;
            if (hs >= 40 && r.Has(at, headerBytes)) {
                if (auto dib = DecodeDib(r.Bytes(at, headerBytes), r.Bytes(at + headerBytes, r.Size() - at - headerBytes)))
                    o.Brush.Color = (*dib)->Pixel(0, 0);
            }
        }
        Create(o);
        break;
    }
    case 0x02FB: {
        TMetaObject o;
        o.Kind = TMetaObject::okFont;
        o.Font.Height = W(r, 0);
        o.Font.Escapement = W(r, 2);
        o.Font.Weight = W(r, 4);
        o.Font.Italic = r.U8(16) != 0;
        o.Font.Underline = r.U8(17) != 0;
        o.Font.StrikeOut = r.U8(18) != 0;
        o.Font.Face = FaceName(r.Bytes(24, std::min<std::size_t>(32, r.Size() > 24 ? r.Size() - 24 : 0)));
        Create(o);
        break;
    }
    case 0x00F7: case 0x01F9: case 0x06FF: Create({}); break;  // palettes, old pattern brushes, regions
    case 0x012D: {
        const std::size_t index = std::uint16_t(W(r, 0));
        if (index >= FObjects.size() || !FObjects[index]) break;
        const TMetaObject& o = *FObjects[index];
        if (o.Kind == TMetaObject::okPen) P.SetPen(o.Pen);
        else if (o.Kind == TMetaObject::okBrush) P.SetBrush(o.Brush);
        else if (o.Kind == TMetaObject::okFont) P.SetFont(o.Font);
        break;
    }
    case 0x01F0: {
        const std::size_t index = std::uint16_t(W(r, 0));
        if (index < FObjects.size()) FObjects[index].reset();
        break;
    }
    case 0x0521: {
        const int count = W(r, 0);
        const std::size_t padded = (std::size_t(std::max(count, 0)) + 1) / 2;
        if (count <= 0 || 1 + padded + 2 > words) break;
        std::u32string text;
        for (int i = 0; i < count; ++i) text.push_back(Cp1252ToUnicode(r.U8(8 + std::size_t(i))));
        P.TextOut(W(r, 1 + padded + 1), W(r, 1 + padded), text, {}, 0, std::nullopt);
        break;
    }
    case 0x0A32: {
        const int y = W(r, 0), x = W(r, 1), count = W(r, 2);
        const unsigned options = std::uint16_t(W(r, 3));
        std::size_t word = 4;
        std::optional<std::array<double, 4>> rect;
        if (options & 6) {
            rect = std::array<double, 4>{double(W(r, 4)), double(W(r, 5)), double(W(r, 6)), double(W(r, 7))};
            word = 8;
        }
        if (count < 0 || word + (std::size_t(count) + 1) / 2 > words) break;
        std::u32string text;
        for (int i = 0; i < count; ++i) text.push_back(Cp1252ToUnicode(r.U8(6 + 2 * word + std::size_t(i))));
        std::vector<int> dx;
        const std::size_t dxWord = word + (std::size_t(count) + 1) / 2;
        if (dxWord + std::size_t(count) <= words)
            for (int i = 0; i < count; ++i) dx.push_back(W(r, dxWord + std::size_t(i)));
        P.TextOut(x, y, text, dx, options, rect);
        break;
    }
    case 0x061D: P.Blit(W(r, 5), W(r, 4), W(r, 3), W(r, 2), nullptr, 0, 0, 0, 0, r.U32(6)); break;
    case 0x0940:  // DIBBITBLT: rop, ySrc, xSrc, height, width, yDest, xDest, bitmap
        DibBlit(r, n, r.U32(6), W(r, 3), W(r, 2), W(r, 5), W(r, 4), W(r, 7), W(r, 6), W(r, 5), W(r, 4), 8);
        break;
    case 0x0B41:  // DIBSTRETCHBLT: rop, srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, bitmap
        DibBlit(r, n, r.U32(6), W(r, 5), W(r, 4), W(r, 3), W(r, 2), W(r, 9), W(r, 8), W(r, 7), W(r, 6), 10);
        break;
    case 0x0F43:  // STRETCHDIB: rop, usage, srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, bitmap
        DibBlit(r, n, r.U32(6), W(r, 6), W(r, 5), W(r, 4), W(r, 3), W(r, 10), W(r, 9), W(r, 8), W(r, 7), 11);
        break;
    case 0x0D33:  // SETDIBTODEV: usage, scans, start, yDib, xDib, height, width, yDest, xDest, bitmap
        DibBlit(r, n, SRCCOPY, W(r, 4), W(r, 3), W(r, 6), W(r, 5), W(r, 8), W(r, 7), W(r, 6), W(r, 5), 9);
        break;
    default: break;
    }
    return true;
}

}  // namespace

TMetafileHeader ReadWmfHeader(std::span<const std::uint8_t> data)
{
    const TLayout layout = ReadLayout(data);
    TMetafileHeader h;
    if (layout.Placeable) {
        if (layout.Inch == 0) throw EInvalidGraphic("Invalid metafile");
        h.Width = MulDiv(std::abs(layout.Bounds.Width()), 96, layout.Inch);
        h.Height = MulDiv(std::abs(layout.Bounds.Height()), 96, layout.Inch);
    } else {
        // Without bounds the window extent gives the size, in pixels.
        TPoint org, ext;
        if (!FindWindow(data, layout.Records, org, ext)) throw EInvalidGraphic("Metafile has no size");
        h.Width = std::abs(ext.X);
        h.Height = std::abs(ext.Y);
    }
    if (h.Width <= 0 || h.Height <= 0 || h.Width > MaxMetafileSide || h.Height > MaxMetafileSide)
        throw EInvalidGraphic("Metafile size out of range");
    return h;
}

void PlayWmf(std::span<const std::uint8_t> data, TCanvas& canvas, const TRect& target)
{
    const TLayout layout = ReadLayout(data);
    TMetafilePlayer player(canvas, target, true);
    if (layout.Placeable) {
        player.SetWindowOrg(layout.Bounds.Left, layout.Bounds.Top);
        player.SetWindowExt(layout.Bounds.Width(), layout.Bounds.Height());
    } else {
        TPoint org, ext;
        if (FindWindow(data, layout.Records, org, ext)) {
            player.SetWindowOrg(org.X, org.Y);
            player.SetWindowExt(ext.X, ext.Y);
        }
    }
    TWmfPlayback playback(player, layout.Objects);
    ForEachRecord(data, layout.Records, [&](std::uint16_t f, TRecordReader& r, std::size_t n) {
        return playback.Record(f, r, n);
    });
}
