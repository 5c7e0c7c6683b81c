#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>
#include <cmath>

#include "platform/core/Exceptions.h"
#include "platform/graphics/DeviceContext.h"

// Enhanced metafiles: records of a 32-bit type and a 32-bit size (a multiple
// of 4, at least 8), the first the header with the picture frame in 0.01 mm
// and the reference device's size in pixels and millimetres. Playback maps
// the frame onto the target rectangle.

namespace {

constexpr std::uint32_t EmfSignature = 0x464D4520;  // " EMF"

struct THeader {
    TRect Bounds;        // reference device pixels, inclusive
    TRect FrameHimetric; // 0.01 mm, inclusive
    std::uint32_t HeaderSize = 0;
    std::uint32_t Handles = 0;
    double PxPerMmX = 96 / 25.4;
    double PxPerMmY = 96 / 25.4;
};

THeader ReadHeader(std::span<const std::uint8_t> data)
{
    TRecordReader r(data);
    THeader h;
    if (r.U32(0) != 1 || r.U32(40) != EmfSignature || r.Failed()) throw EInvalidGraphic("Invalid metafile");
    h.HeaderSize = r.U32(4);
    if (h.HeaderSize < 88 || h.HeaderSize % 4 != 0 || h.HeaderSize > data.size()) throw EInvalidGraphic("Invalid metafile");
    h.Bounds = {r.I32(8), r.I32(12), r.I32(16), r.I32(20)};
    h.FrameHimetric = {r.I32(24), r.I32(28), r.I32(32), r.I32(36)};
    h.Handles = r.U16(56);
    const std::int32_t devW = r.I32(72), devH = r.I32(76), mmW = r.I32(80), mmH = r.I32(84);
    if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0) {
        h.PxPerMmX = double(devW) / mmW;
        h.PxPerMmY = double(devH) / mmH;
    }
    return h;
}

class TEmfPlayback {
public:
    explicit TEmfPlayback(TMetafilePlayer& player) : P(player) {}
    bool Record(std::uint32_t type, TRecordReader& r);

private:
    std::vector<TPoint> Points(TRecordReader& r, std::size_t at, std::uint32_t count, bool small);
    bool PolyRecord(std::uint32_t type, TRecordReader& r, bool small);
    bool PolyPolyRecord(std::uint32_t type, TRecordReader& r, bool small);
    void Text(TRecordReader& r, bool wide);
    std::optional<std::unique_ptr<TBitmap>> Dib(TRecordReader& r, std::size_t offBmi, std::size_t cbBmi,
                                                std::size_t offBits, std::size_t cbBits);
    void StretchDib(TRecordReader& r, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                    std::size_t offBmi, std::size_t cbBmi, std::size_t offBits, std::size_t cbBits, std::uint32_t rop);
    TXForm Form(TRecordReader& r, std::size_t at)
    {
        return {r.F32(at), r.F32(at + 4), r.F32(at + 8), r.F32(at + 12), r.F32(at + 16), r.F32(at + 20)};
    }

    TMetafilePlayer& P;
    std::map<std::uint32_t, TMetaObject> FObjects;
};

std::vector<TPoint> TEmfPlayback::Points(TRecordReader& r, std::size_t at, std::uint32_t count, bool small)
{
    std::vector<TPoint> points;
    points.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (small) points.push_back({r.I16(at + 4 * i), r.I16(at + 4 * i + 2)});
        else points.push_back({r.I32(at + 8 * std::size_t(i)), r.I32(at + 8 * std::size_t(i) + 4)});
    }
    return points;
}

// Polygon, polyline and Bezier records: bounds, count, points.
bool TEmfPlayback::PolyRecord(std::uint32_t type, TRecordReader& r, bool small)
{
    const std::uint32_t count = r.U32(24);
    if (!r.Has(28, std::size_t(count) * (small ? 4 : 8))) return true;
    const std::vector<TPoint> points = Points(r, 28, count, small);
    switch (small ? type - 83 : type) {
    case 2: P.PolyBezier(points, false); break;
    case 3: P.Polygon(points); break;
    case 4: P.Polyline(points); break;
    case 5: P.PolyBezier(points, true); break;
    case 6: P.PolylineTo(points); break;
    default: break;
    }
    return true;
}

bool TEmfPlayback::PolyPolyRecord(std::uint32_t type, TRecordReader& r, bool small)
{
    const std::uint32_t polys = r.U32(24);
    const std::uint32_t total = r.U32(28);
    if (!r.Has(32, std::size_t(polys) * 4)) return true;
    const std::size_t pointsAt = 32 + std::size_t(polys) * 4;
    if (!r.Has(pointsAt, std::size_t(total) * (small ? 4 : 8))) return true;
    std::vector<int> counts;
    std::uint64_t sum = 0;
    for (std::uint32_t i = 0; i < polys; ++i) {
        const std::uint32_t c = r.U32(32 + 4 * std::size_t(i));
        sum += c;
        counts.push_back(int(std::min<std::uint32_t>(c, total)));
    }
    if (sum > total) return true;
    const std::vector<TPoint> points = Points(r, pointsAt, total, small);
    if ((small ? type - 83 : type) == 8) P.PolyPolygon(points, counts);
    else P.PolyPolyline(points, counts);
    return true;
}

void TEmfPlayback::Text(TRecordReader& r, bool wide)
{
    // EMREXTTEXTOUT: bounds, graphics mode, scales, then the text record.
    const std::int32_t x = r.I32(36), y = r.I32(40);
    const std::uint32_t chars = r.U32(44);
    const std::uint32_t offString = r.U32(48);
    const std::uint32_t options = r.U32(52);
    const std::array<double, 4> rect{double(r.I32(56)), double(r.I32(60)), double(r.I32(64)), double(r.I32(68))};
    const std::uint32_t offDx = r.U32(72);
    if (!r.Has(offString, std::size_t(chars) * (wide ? 2 : 1))) return;
    std::u32string text;
    for (std::uint32_t i = 0; i < chars; ++i) {
        if (wide) {
            char32_t c = r.U16(offString + 2 * std::size_t(i));
            // A surrogate pair is one character.
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < chars) {
                const char32_t low = r.U16(offString + 2 * std::size_t(i + 1));
                if (low >= 0xDC00 && low < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            text.push_back(c);
        } else {
            text.push_back(r.U8(offString + i));
        }
    }
    std::vector<int> dx;
    if (offDx && r.Has(offDx, std::size_t(chars) * 4))
        for (std::uint32_t i = 0; i < chars; ++i) dx.push_back(r.I32(offDx + 4 * std::size_t(i)));
    if (dx.size() > text.size()) dx.resize(text.size());
    const bool hasRect = (options & 6) && rect[2] > rect[0] && rect[3] > rect[1];
    P.TextOut(x, y, text, dx, options, hasRect ? std::optional(rect) : std::nullopt);
}

std::optional<std::unique_ptr<TBitmap>> TEmfPlayback::Dib(TRecordReader& r, std::size_t offBmi, std::size_t cbBmi,
                                                          std::size_t offBits, std::size_t cbBits)
{
    if (cbBmi == 0 || !r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits)) return std::nullopt;
    return DecodeDib(r.Bytes(offBmi, cbBmi), r.Bytes(offBits, cbBits));
}

void TEmfPlayback::StretchDib(TRecordReader& r, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                              std::size_t offBmi, std::size_t cbBmi, std::size_t offBits, std::size_t cbBits,
                              std::uint32_t rop)
{
    if (cbBmi == 0) {
        P.Blit(dx, dy, dw, dh, nullptr, 0, 0, 0, 0, rop);
        return;
    }
    auto dib = Dib(r, offBmi, cbBmi, offBits, cbBits);
    if (!dib) return;
    const TBitmap& bitmap = **dib;
    // Source rows count from the bottom of a bottom-up bitmap.
    const std::int32_t height = r.U32(offBmi) == 12 ? r.I16(offBmi + 6) : r.I32(offBmi + 8);
    if (height > 0) sy = bitmap.Height() - sy - sh;
    P.Blit(dx, dy, dw, dh, &bitmap, sx, sy, sw, sh, rop);
}

bool TEmfPlayback::Record(std::uint32_t type, TRecordReader& r)
{
    switch (type) {
    case 14: return false;  // EOF
    case 2: case 3: case 4: case 5: case 6: return PolyRecord(type, r, false);
    case 85: case 86: case 87: case 88: case 89: return PolyRecord(type, r, true);
    case 7: case 8: return PolyPolyRecord(type, r, false);
    case 90: case 91: return PolyPolyRecord(type, r, true);
    case 9: P.SetWindowExt(r.I32(8), r.I32(12)); break;
    case 10: P.SetWindowOrg(r.I32(8), r.I32(12)); break;
    case 11: P.SetViewportExt(r.I32(8), r.I32(12)); break;
    case 12: P.SetViewportOrg(r.I32(8), r.I32(12)); break;
    case 15: P.SetPixel(r.I32(8), r.I32(12), r.U32(16)); break;
    case 17: P.SetMapMode(r.I32(8)); break;
    case 18: P.SetBkMode(r.I32(8)); break;
    case 19: P.SetPolyFillMode(r.I32(8)); break;
    case 20: P.SetRop2(r.I32(8)); break;
    case 22: P.SetTextAlign(r.U32(8)); break;
    case 24: P.SetTextColor(r.U32(8) & 0xFFFFFF); break;
    case 25: P.SetBkColor(r.U32(8) & 0xFFFFFF); break;
    case 27: P.MoveTo(r.I32(8), r.I32(12)); break;
    case 54: P.LineTo(r.I32(8), r.I32(12)); break;
    case 30: P.IntersectClip(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case 31: P.ScaleViewportExt(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case 32: P.ScaleWindowExt(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case 33: P.SaveState(); break;
    case 34: P.RestoreState(r.I32(8)); break;
    case 35: P.SetWorldTransform(Form(r, 8)); break;
    case 36: P.ModifyWorldTransform(Form(r, 8), r.I32(32)); break;
    case 37: {
        const std::uint32_t index = r.U32(8);
        if (index & 0x80000000) {
            P.SelectStock(index);
            break;
        }
        auto it = FObjects.find(index);
        if (it == FObjects.end()) break;
        const TMetaObject& o = it->second;
        if (o.Kind == TMetaObject::okPen) P.SetPen(o.Pen);
        else if (o.Kind == TMetaObject::okBrush) P.SetBrush(o.Brush);
        else if (o.Kind == TMetaObject::okFont) P.SetFont(o.Font);
        break;
    }
    case 40: FObjects.erase(r.U32(8)); break;
    case 38: {
        TMetaObject o;
        o.Kind = TMetaObject::okPen;
        o.Pen = {int(r.U32(12) & 0x0F), r.I32(16), r.U32(24) & 0xFFFFFF};
        FObjects[r.U32(8)] = o;
        break;
    }
    case 95: {
        TMetaObject o;
        o.Kind = TMetaObject::okPen;
        const std::uint32_t style = r.U32(28) & 0x0F;
        o.Pen = {style == 7 ? 0 : int(style), r.I32(32), r.U32(40) & 0xFFFFFF};
        if (r.U32(36) == 1) o.Pen.Style = 5;  // a hollow brush draws nothing
        FObjects[r.U32(8)] = o;
        break;
    }
    case 39: {
        TMetaObject o;
        o.Kind = TMetaObject::okBrush;
        o.Brush = {r.U32(12) == 1, r.U32(16) & 0xFFFFFF};
        FObjects[r.U32(8)] = o;
        break;
    }
    case 93: case 94: {  // pattern brushes: their top-left colour
        TMetaObject o;
        o.Kind = TMetaObject::okBrush;
        o.Brush = {false, RGB(128, 128, 128)};
        if (auto dib = Dib(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28))) o.Brush.Color = (*dib)->Pixel(0, 0);
        FObjects[r.U32(8)] = o;
        break;
    }
    case 82: {
        TMetaObject o;
        o.Kind = TMetaObject::okFont;
        o.Font.Height = r.I32(12);
        o.Font.Escapement = r.I32(20);
        o.Font.Weight = r.I32(28);
        o.Font.Italic = r.U8(32) != 0;
        o.Font.Underline = r.U8(33) != 0;
        o.Font.StrikeOut = r.U8(34) != 0;
        std::string face;
        for (std::size_t i = 0; i < 32; ++i) {
            const std::uint16_t c = r.Has(40 + 2 * i, 2) ? r.U16(40 + 2 * i) : 0;
            if (c == 0) break;
            face.push_back(c < 256 ? char(c) : '?');
        }
        o.Font.Face = face;
        FObjects[r.U32(8)] = o;
        break;
    }
    case 48: case 49: case 50: case 51: case 52: break;  // palettes change nothing on a true-colour target
    case 42: P.Ellipse(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case 43: P.Rectangle(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case 44: P.RoundRect(r.I32(8), r.I32(12), r.I32(16), r.I32(20), r.I32(24), r.I32(28)); break;
    case 45: case 46: case 47: case 55: {
        const int kind = type == 47 ? 1 : type == 46 ? 2 : 0;
        P.ArcShape(kind, r.I32(8), r.I32(12), r.I32(16), r.I32(20), r.I32(24), r.I32(28), r.I32(32), r.I32(36));
        break;
    }
    case 59: P.BeginPath(); break;
    case 60: P.EndPath(); break;
    case 61: P.CloseFigure(); break;
    case 62: P.FillPath(false, true); break;
    case 63: P.FillPath(true, true); break;
    case 64: P.FillPath(true, false); break;
    case 67: P.ClipToPath(); break;
    case 68: P.AbortPath(); break;
    case 75: {
        const std::uint32_t size = r.U32(8);
        const std::uint32_t mode = r.U32(12);
        if (size == 0 || !r.Has(16, 32)) {
            if (mode == 5) P.SetClipDevice(std::nullopt);  // RGN_COPY of no region: no clip
            break;
        }
        const TPoint a = P.MapDevice(r.I32(32), r.I32(36));
        const TPoint b = P.MapDevice(r.I32(40), r.I32(44));
        const TRect box{a.X, a.Y, b.X, b.Y};
        if (mode == 5 || mode == 1) P.SetClipDevice(box);
        break;
    }
    case 76: case 77: {
        const int dx = r.I32(24), dy = r.I32(28), dw = r.I32(32), dh = r.I32(36);
        const std::uint32_t rop = r.U32(40);
        const int sx = r.I32(44), sy = r.I32(48);
        const int sw = type == 77 ? r.I32(100) : dw;
        const int sh = type == 77 ? r.I32(104) : dh;
        StretchDib(r, dx, dy, dw, dh, sx, sy, sw, sh, r.U32(84), r.U32(88), r.U32(92), r.U32(96), rop);
        break;
    }
    case 81:
        StretchDib(r, r.I32(24), r.I32(28), r.I32(72), r.I32(76), r.I32(32), r.I32(36), r.I32(40), r.I32(44),
                   r.U32(48), r.U32(52), r.U32(56), r.U32(60), r.U32(68));
        break;
    case 80:
        StretchDib(r, r.I32(24), r.I32(28), r.I32(40), r.I32(44), r.I32(32), r.I32(36), r.I32(40), r.I32(44),
                   r.U32(48), r.U32(52), r.U32(56), r.U32(60), SRCCOPY);
        break;
    case 83: Text(r, false); break;
    case 84: Text(r, true); break;
    default: break;
    }
    return true;
}

}  // namespace

bool IsEmf(std::span<const std::uint8_t> data)
{
    TRecordReader r(data);
    return r.U32(0) == 1 && r.U32(40) == EmfSignature && !r.Failed();
}

TMetafileHeader ReadEmfHeader(std::span<const std::uint8_t> data)
{
    const THeader h = ReadHeader(data);
    TMetafileHeader result;
    result.Enhanced = true;
    const long long w = static_cast<long long>(h.FrameHimetric.Right) - h.FrameHimetric.Left;
    const long long hh = static_cast<long long>(h.FrameHimetric.Bottom) - h.FrameHimetric.Top;
    if (w <= 0 || hh <= 0 || w > 100000000 || hh > 100000000) throw EInvalidGraphic("Metafile size out of range");
    result.Width = int(std::llround(double(w) * 96 / 2540));
    result.Height = int(std::llround(double(hh) * 96 / 2540));
    if (result.Width <= 0 || result.Height <= 0 || result.Width > MaxMetafileSide || result.Height > MaxMetafileSide)
        throw EInvalidGraphic("Metafile size out of range");
    return result;
}

void PlayEmf(std::span<const std::uint8_t> data, TCanvas& canvas, const TRect& target)
{
    const THeader h = ReadHeader(data);
    // The frame in reference device pixels, mapped onto the target.
    const TRect frame{int(std::lround(h.FrameHimetric.Left * h.PxPerMmX / 100)),
                      int(std::lround(h.FrameHimetric.Top * h.PxPerMmY / 100)),
                      int(std::lround(h.FrameHimetric.Right * h.PxPerMmX / 100)),
                      int(std::lround(h.FrameHimetric.Bottom * h.PxPerMmY / 100))};
    TMetafilePlayer player(canvas, target, false, frame, h.PxPerMmX, h.PxPerMmY);
    TEmfPlayback playback(player);
    std::size_t pos = h.HeaderSize;
    while (pos + 8 <= data.size()) {
        TRecordReader head(data.subspan(pos, 8));
        const std::uint32_t type = head.U32(0);
        const std::uint32_t size = head.U32(4);
        if (size < 8 || size % 4 != 0 || size > data.size() - pos) return;
        TRecordReader record(data.subspan(pos, size));
        if (!playback.Record(type, record)) return;
        pos += size;
    }
}
