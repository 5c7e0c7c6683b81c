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

// Record types.
enum : std::uint32_t {
    EMR_HEADER = 1, EMR_POLYBEZIER = 2, EMR_POLYGON = 3, EMR_POLYLINE = 4, EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6, EMR_POLYPOLYLINE = 7, EMR_POLYPOLYGON = 8, EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10, EMR_SETVIEWPORTEXTEX = 11, EMR_SETVIEWPORTORGEX = 12, EMR_SETBRUSHORGEX = 13,
    EMR_EOF = 14, EMR_SETPIXELV = 15, EMR_SETMAPPERFLAGS = 16, EMR_SETMAPMODE = 17, EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19, EMR_SETROP2 = 20, EMR_SETSTRETCHBLTMODE = 21, EMR_SETTEXTALIGN = 22,
    EMR_SETCOLORADJUSTMENT = 23, EMR_SETTEXTCOLOR = 24, EMR_SETBKCOLOR = 25, EMR_OFFSETCLIPRGN = 26,
    EMR_MOVETOEX = 27, EMR_SETMETARGN = 28, EMR_EXCLUDECLIPRECT = 29, EMR_INTERSECTCLIPRECT = 30,
    EMR_SCALEVIEWPORTEXTEX = 31, EMR_SCALEWINDOWEXTEX = 32, EMR_SAVEDC = 33, EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35, EMR_MODIFYWORLDTRANSFORM = 36, EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39, EMR_DELETEOBJECT = 40, EMR_ANGLEARC = 41, EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43, EMR_ROUNDRECT = 44, EMR_ARC = 45, EMR_CHORD = 46, EMR_PIE = 47,
    EMR_SELECTPALETTE = 48, EMR_CREATEPALETTE = 49, EMR_SETPALETTEENTRIES = 50, EMR_RESIZEPALETTE = 51,
    EMR_REALIZEPALETTE = 52, EMR_EXTFLOODFILL = 53, EMR_LINETO = 54, EMR_ARCTO = 55, EMR_POLYDRAW = 56,
    EMR_SETARCDIRECTION = 57, EMR_SETMITERLIMIT = 58, EMR_BEGINPATH = 59, EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61, EMR_FILLPATH = 62, EMR_STROKEANDFILLPATH = 63, EMR_STROKEPATH = 64,
    EMR_FLATTENPATH = 65, EMR_WIDENPATH = 66, EMR_SELECTCLIPPATH = 67, EMR_ABORTPATH = 68,
    EMR_GDICOMMENT = 70, EMR_FILLRGN = 71, EMR_FRAMERGN = 72, EMR_INVERTRGN = 73, EMR_PAINTRGN = 74,
    EMR_EXTSELECTCLIPRGN = 75, EMR_BITBLT = 76, EMR_STRETCHBLT = 77, EMR_MASKBLT = 78, EMR_PLGBLT = 79,
    EMR_SETDIBITSTODEVICE = 80, EMR_STRETCHDIBITS = 81, EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83, EMR_EXTTEXTOUTW = 84, EMR_POLYBEZIER16 = 85, EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87, EMR_POLYBEZIERTO16 = 88, EMR_POLYLINETO16 = 89, EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91, EMR_POLYDRAW16 = 92, EMR_CREATEMONOBRUSH = 93, EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95, EMR_SETICMMODE = 98, EMR_SMALLTEXTOUT = 108, EMR_FORCEUFIMAPPING = 109,
    EMR_ALPHABLEND = 114, EMR_SETLAYOUT = 115, EMR_TRANSPARENTBLT = 116, EMR_GRADIENTFILL = 118,
    EMR_SETTEXTJUSTIFICATION = 120, EMR_COLORMATCHTOTARGETW = 121, EMR_CREATECOLORSPACEW = 122,
};

constexpr std::uint32_t ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004, ETO_NO_RECT = 0x0100, ETO_SMALL_CHARS = 0x0200,
                        ETO_PDY = 0x2000;

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
    TEmfPlayback(TMetafilePlayer& player, TPlaybackReport& report) : P(player), FReport(report) {}
    bool Record(std::uint32_t type, TRecordReader& r);

private:
    std::vector<TPoint> Points(TRecordReader& r, std::size_t at, std::uint32_t count, bool small);
    bool PolyRecord(std::uint32_t type, TRecordReader& r, bool small);
    bool PolyPolyRecord(std::uint32_t type, TRecordReader& r, bool small);
    void Text(TRecordReader& r, bool wide);
    void SmallText(TRecordReader& r);
    std::optional<std::unique_ptr<TBitmap>> Dib(TRecordReader& r, std::size_t offBmi, std::size_t cbBmi,
                                                std::size_t offBits, std::size_t cbBits);
    // Source rows counted from the top of the decoded bitmap.
    static int TopRow(TRecordReader& r, std::size_t offBmi, const TBitmap& bitmap, int sy, int sh);
    void StretchDib(TRecordReader& r, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                    std::size_t offBmi, std::size_t cbBmi, std::size_t offBits, std::size_t cbBits, std::uint32_t rop);
    void MaskBlt(TRecordReader& r);
    void Blend(TRecordReader& r, bool alpha);
    void Gradient(TRecordReader& r);
    std::optional<std::vector<TRect>> Region(TRecordReader& r, std::size_t at, std::size_t size);
    const TMetaBrush* BrushObject(std::uint32_t index);
    void Select(std::uint32_t index);
    TXForm Form(TRecordReader& r, std::size_t at)
    {
        return {r.F32(at), r.F32(at + 4), r.F32(at + 8), r.F32(at + 12), r.F32(at + 16), r.F32(at + 20)};
    }

    TMetafilePlayer& P;
    TPlaybackReport& FReport;
    std::map<std::uint32_t, TMetaObject> FObjects;
    int FCharset = 1;
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
    switch (small ? type - (EMR_POLYBEZIER16 - EMR_POLYBEZIER) : type) {
    case EMR_POLYBEZIER: P.PolyBezier(points, false); break;
    case EMR_POLYGON: P.Polygon(points); break;
    case EMR_POLYLINE: P.Polyline(points); break;
    case EMR_POLYBEZIERTO: P.PolyBezier(points, true); break;
    case EMR_POLYLINETO: P.PolylineTo(points); break;
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
    if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16) P.PolyPolygon(points, counts);
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
    if (wide) {
        for (std::uint32_t i = 0; i < chars; ++i) {
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
        }
    } else {
        text = DecodeAnsiText(r.Bytes(offString, chars), FCharset);
    }
    // The spacing array: one advance per character, or (dx, dy) pairs with ETO_PDY.
    std::vector<int> dx;
    const std::size_t step = (options & ETO_PDY) ? 8 : 4;
    if (offDx && r.Has(offDx, std::size_t(chars) * step))
        for (std::uint32_t i = 0; i < chars; ++i) dx.push_back(r.I32(offDx + step * std::size_t(i)));
    if (dx.size() > text.size()) dx.resize(text.size());
    const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) && rect[2] > rect[0] && rect[3] > rect[1];
    P.TextOut(x, y, text, dx, options, hasRect ? std::optional(rect) : std::nullopt);
}

void TEmfPlayback::SmallText(TRecordReader& r)
{
    // Reference point, count, options, graphics mode, scales, [clip rectangle], characters.
    const std::int32_t x = r.I32(8), y = r.I32(12);
    const std::uint32_t chars = r.U32(16);
    const std::uint32_t options = r.U32(20);
    std::size_t at = 36;
    std::optional<std::array<double, 4>> rect;
    if (!(options & ETO_NO_RECT)) {
        rect = std::array<double, 4>{double(r.I32(36)), double(r.I32(40)), double(r.I32(44)), double(r.I32(48))};
        at = 52;
    }
    const bool small = options & ETO_SMALL_CHARS;
    if (!r.Has(at, std::size_t(chars) * (small ? 1 : 2))) return;
    std::u32string text;
    if (small) text = DecodeAnsiText(r.Bytes(at, chars), FCharset);
    else
        for (std::uint32_t i = 0; i < chars; ++i) text.push_back(r.U16(at + 2 * std::size_t(i)));
    const bool hasRect = rect && (options & (ETO_OPAQUE | ETO_CLIPPED)) && (*rect)[2] > (*rect)[0];
    P.TextOut(x, y, text, {}, options, hasRect ? rect : std::nullopt);
}

std::optional<std::unique_ptr<TBitmap>> TEmfPlayback::Dib(TRecordReader& r, std::size_t offBmi, std::size_t cbBmi,
                                                          std::size_t offBits, std::size_t cbBits)
{
    if (cbBmi == 0 || !r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits)) return std::nullopt;
    return DecodeDib(r.Bytes(offBmi, cbBmi), r.Bytes(offBits, cbBits));
}

int TEmfPlayback::TopRow(TRecordReader& r, std::size_t offBmi, const TBitmap& bitmap, int sy, int sh)
{
    const std::int32_t height = r.U32(offBmi) == 12 ? r.I16(offBmi + 6) : r.I32(offBmi + 8);
    return height > 0 ? bitmap.Height() - sy - sh : sy;
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
    P.Blit(dx, dy, dw, dh, &bitmap, sx, TopRow(r, offBmi, bitmap, sy, sh), sw, sh, rop);
}

void TEmfPlayback::MaskBlt(TRecordReader& r)
{
    const int dx = r.I32(24), dy = r.I32(28), dw = r.I32(32), dh = r.I32(36);
    const std::uint32_t rop = r.U32(40);
    const int sx = r.I32(44), sy = r.I32(48);
    auto source = Dib(r, r.U32(84), r.U32(88), r.U32(92), r.U32(96));
    auto mask = Dib(r, r.U32(112), r.U32(116), r.U32(120), r.U32(124));
    if (!source) return P.Blit(dx, dy, dw, dh, nullptr, 0, 0, 0, 0, rop);
    const int top = TopRow(r, r.U32(84), **source, sy, dh);
    if (!mask) return P.Blit(dx, dy, dw, dh, source->get(), sx, top, dw, dh, rop);
    const int my = TopRow(r, r.U32(112), **mask, r.I32(104), dh);
    P.Blit(dx, dy, dw, dh, source->get(), sx, top, dw, dh, rop, mask->get(), r.I32(100), my);
}

// ALPHABLEND and TRANSPARENTBLT share STRETCHBLT's layout.
void TEmfPlayback::Blend(TRecordReader& r, bool alpha)
{
    const int dx = r.I32(24), dy = r.I32(28), dw = r.I32(32), dh = r.I32(36);
    const std::uint32_t op = r.U32(40);
    const int sx = r.I32(44), sy = r.I32(48), sw = r.I32(100), sh = r.I32(104);
    auto dib = Dib(r, r.U32(84), r.U32(88), r.U32(92), r.U32(96));
    if (!dib) return;
    const int top = TopRow(r, r.U32(84), **dib, sy, sh);
    if (alpha) P.AlphaBlit(dx, dy, dw, dh, **dib, sx, top, sw, sh, int((op >> 16) & 0xFF), ((op >> 24) & 1) != 0);
    else P.TransparentBlit(dx, dy, dw, dh, **dib, sx, top, sw, sh, op & 0xFFFFFF);
}

void TEmfPlayback::Gradient(TRecordReader& r)
{
    const std::uint32_t vertices = r.U32(24), meshes = r.U32(28), mode = r.U32(32);
    if (mode > 2 || !r.Has(36, std::size_t(vertices) * 16)) return;
    std::vector<TMetafilePlayer::TGradientVertex> v;
    for (std::uint32_t i = 0; i < vertices; ++i) {
        const std::size_t at = 36 + 16 * std::size_t(i);
        v.push_back({double(r.I32(at)), double(r.I32(at + 4)),
                     RGB(r.U16(at + 8) >> 8, r.U16(at + 10) >> 8, r.U16(at + 12) >> 8)});
    }
    const std::size_t per = mode == 2 ? 3 : 2;
    const std::size_t at = 36 + 16 * std::size_t(vertices);
    if (!r.Has(at, std::size_t(meshes) * per * 4)) return;
    std::vector<std::uint32_t> indices;
    for (std::size_t i = 0; i < std::size_t(meshes) * per; ++i) indices.push_back(r.U32(at + 4 * i));
    P.GradientFill(v, indices, int(mode));
}

// A region's rectangles (RGNDATA: a 32-byte header, then the rectangles).
std::optional<std::vector<TRect>> TEmfPlayback::Region(TRecordReader& r, std::size_t at, std::size_t size)
{
    if (size < 32 || !r.Has(at, size)) return std::nullopt;
    const std::uint32_t count = r.U32(at + 8);
    if (std::size_t(count) > (size - 32) / 16) return std::nullopt;
    std::vector<TRect> rects;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t p = at + 32 + 16 * std::size_t(i);
        rects.push_back({r.I32(p), r.I32(p + 4), r.I32(p + 8), r.I32(p + 12)});
    }
    return rects;
}

const TMetaBrush* TEmfPlayback::BrushObject(std::uint32_t index)
{
    static const TMetaBrush stock[] = {{false, clWhite, -1, nullptr}, {false, RGB(192, 192, 192), -1, nullptr},
                                       {false, RGB(128, 128, 128), -1, nullptr}, {false, RGB(64, 64, 64), -1, nullptr},
                                       {false, clBlack, -1, nullptr}, {true, clWhite, -1, nullptr}};
    if (index & 0x80000000) return (index & 0x7FFFFFFF) < 6 ? &stock[index & 0x7FFFFFFF] : nullptr;
    auto it = FObjects.find(index);
    return it != FObjects.end() && it->second.Kind == TMetaObject::okBrush ? &it->second.Brush : nullptr;
}

void TEmfPlayback::Select(std::uint32_t index)
{
    if (index & 0x80000000) return P.SelectStock(index);
    auto it = FObjects.find(index);
    if (it == FObjects.end()) return;
    const TMetaObject& o = it->second;
    if (o.Kind == TMetaObject::okPen) P.SetPen(o.Pen);
    else if (o.Kind == TMetaObject::okBrush) P.SetBrush(o.Brush);
    else if (o.Kind == TMetaObject::okFont) {
        P.SetFont(o.Font);
        FCharset = o.Font.Charset;
    }
}

bool TEmfPlayback::Record(std::uint32_t type, TRecordReader& r)
{
    switch (type) {
    case EMR_EOF: return false;
    case EMR_POLYBEZIER: case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYBEZIERTO: case EMR_POLYLINETO:
        return PolyRecord(type, r, false);
    case EMR_POLYBEZIER16: case EMR_POLYGON16: case EMR_POLYLINE16: case EMR_POLYBEZIERTO16: case EMR_POLYLINETO16:
        return PolyRecord(type, r, true);
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: return PolyPolyRecord(type, r, false);
    case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16: return PolyPolyRecord(type, r, true);
    case EMR_SETWINDOWEXTEX: P.SetWindowExt(r.I32(8), r.I32(12)); break;
    case EMR_SETWINDOWORGEX: P.SetWindowOrg(r.I32(8), r.I32(12)); break;
    case EMR_SETVIEWPORTEXTEX: P.SetViewportExt(r.I32(8), r.I32(12)); break;
    case EMR_SETVIEWPORTORGEX: P.SetViewportOrg(r.I32(8), r.I32(12)); break;
    case EMR_SETPIXELV: P.SetPixel(r.I32(8), r.I32(12), r.U32(16)); break;
    case EMR_SETMAPMODE: P.SetMapMode(r.I32(8)); break;
    case EMR_SETBKMODE: P.SetBkMode(r.I32(8)); break;
    case EMR_SETPOLYFILLMODE: P.SetPolyFillMode(r.I32(8)); break;
    case EMR_SETROP2: P.SetRop2(r.I32(8)); break;
    case EMR_SETTEXTALIGN: P.SetTextAlign(r.U32(8)); break;
    case EMR_SETTEXTCOLOR: P.SetTextColor(r.U32(8) & 0xFFFFFF); break;
    case EMR_SETBKCOLOR: P.SetBkColor(r.U32(8) & 0xFFFFFF); break;
    case EMR_MOVETOEX: P.MoveTo(r.I32(8), r.I32(12)); break;
    case EMR_LINETO: P.LineTo(r.I32(8), r.I32(12)); break;
    case EMR_OFFSETCLIPRGN: P.OffsetClip(r.I32(8), r.I32(12)); break;
    case EMR_EXCLUDECLIPRECT: P.ExcludeClip(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case EMR_INTERSECTCLIPRECT: P.IntersectClip(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case EMR_SCALEVIEWPORTEXTEX: P.ScaleViewportExt(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case EMR_SCALEWINDOWEXTEX: P.ScaleWindowExt(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case EMR_SAVEDC: P.SaveState(); break;
    case EMR_RESTOREDC: P.RestoreState(r.I32(8)); break;
    case EMR_SETWORLDTRANSFORM: P.SetWorldTransform(Form(r, 8)); break;
    case EMR_MODIFYWORLDTRANSFORM: P.ModifyWorldTransform(Form(r, 8), r.I32(32)); break;
    case EMR_SELECTOBJECT: Select(r.U32(8)); break;
    case EMR_DELETEOBJECT: FObjects.erase(r.U32(8)); break;
    case EMR_CREATEPEN: {
        TMetaObject o;
        o.Kind = TMetaObject::okPen;
        o.Pen.Style = r.U32(12) & PS_STYLE_MASK;
        o.Pen.Width = r.I32(16);
        o.Pen.Color = r.U32(24) & 0xFFFFFF;
        FObjects[r.U32(8)] = o;
        break;
    }
    case EMR_EXTCREATEPEN: {
        // ihPen, offBmi, cbBmi, offBits, cbBits, then LOGPEN_EX: style, width, brush style, colour, hatch, styles.
        TMetaObject o;
        o.Kind = TMetaObject::okPen;
        o.Pen.Style = r.U32(28);
        o.Pen.Width = (o.Pen.Style & PS_GEOMETRIC) ? r.I32(32) : 0;
        o.Pen.Color = r.U32(40) & 0xFFFFFF;
        if (r.U32(36) == 1) o.Pen.Style = (o.Pen.Style & ~PS_STYLE_MASK) | PS_NULL;  // a hollow brush draws nothing
        const std::uint32_t entries = r.U32(48);
        if ((o.Pen.Style & PS_STYLE_MASK) == PS_USERSTYLE && entries <= 16 && r.Has(52, std::size_t(entries) * 4))
            for (std::uint32_t i = 0; i < entries; ++i) o.Pen.UserStyle.push_back(r.U32(52 + 4 * std::size_t(i)));
        if ((o.Pen.Style & PS_STYLE_MASK) == PS_USERSTYLE && o.Pen.UserStyle.empty()) o.Pen.Style &= ~PS_STYLE_MASK;
        FObjects[r.U32(8)] = o;
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        TMetaObject o;
        o.Kind = TMetaObject::okBrush;
        const std::uint32_t style = r.U32(12);
        o.Brush.Hollow = style == 1;  // BS_NULL
        o.Brush.Color = r.U32(16) & 0xFFFFFF;
        if (style == 2) o.Brush.Hatch = int(std::min<std::uint32_t>(r.U32(20), 5));  // BS_HATCHED
        FObjects[r.U32(8)] = o;
        break;
    }
    case EMR_CREATEMONOBRUSH: case EMR_CREATEDIBPATTERNBRUSHPT: {
        TMetaObject o;
        o.Kind = TMetaObject::okBrush;
        o.Brush.Color = RGB(128, 128, 128);
        if (auto dib = Dib(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28))) o.Brush.Pattern = std::move(*dib);
        o.Brush.Monochrome = type == EMR_CREATEMONOBRUSH;
        FObjects[r.U32(8)] = o;
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        TMetaObject o;
        o.Kind = TMetaObject::okFont;
        o.Font.Height = r.I32(12);
        o.Font.Escapement = r.I32(20);
        o.Font.Weight = r.I32(28);
        o.Font.Italic = r.U8(32) != 0;
        o.Font.Underline = r.U8(33) != 0;
        o.Font.StrikeOut = r.U8(34) != 0;
        o.Font.Charset = r.U8(35);
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
    case EMR_SELECTPALETTE: case EMR_CREATEPALETTE: case EMR_SETPALETTEENTRIES: case EMR_RESIZEPALETTE:
    case EMR_REALIZEPALETTE:
        break;  // palettes change nothing on a true-colour target
    // State that changes nothing we draw.
    case EMR_SETBRUSHORGEX: case EMR_SETMAPPERFLAGS: case EMR_SETSTRETCHBLTMODE: case EMR_SETCOLORADJUSTMENT:
    case EMR_SETMETARGN: case EMR_GDICOMMENT: case EMR_SETICMMODE: case EMR_FORCEUFIMAPPING: case EMR_SETLAYOUT:
    case EMR_SETTEXTJUSTIFICATION: case EMR_COLORMATCHTOTARGETW: case EMR_CREATECOLORSPACEW: case EMR_FLATTENPATH:
    case EMR_WIDENPATH:
        break;
    case EMR_ELLIPSE: P.Ellipse(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case EMR_RECTANGLE: P.Rectangle(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case EMR_ROUNDRECT: P.RoundRect(r.I32(8), r.I32(12), r.I32(16), r.I32(20), r.I32(24), r.I32(28)); break;
    case EMR_ARC: case EMR_CHORD: case EMR_PIE: case EMR_ARCTO: {
        const int kind = type == EMR_PIE ? 1 : type == EMR_CHORD ? 2 : type == EMR_ARCTO ? 3 : 0;
        P.ArcShape(kind, r.I32(8), r.I32(12), r.I32(16), r.I32(20), r.I32(24), r.I32(28), r.I32(32), r.I32(36));
        break;
    }
    case EMR_ANGLEARC: P.AngleArc(r.I32(8), r.I32(12), r.U32(16), r.F32(20), r.F32(24)); break;
    case EMR_POLYDRAW: case EMR_POLYDRAW16: {
        const bool small = type == EMR_POLYDRAW16;
        const std::uint32_t count = r.U32(24);
        const std::size_t bytes = std::size_t(count) * (small ? 4 : 8);
        if (!r.Has(28, bytes) || !r.Has(28 + bytes, count)) break;
        const auto types = r.Bytes(28 + bytes, count);
        P.PolyDraw(Points(r, 28, count, small), types);
        break;
    }
    case EMR_SETARCDIRECTION: P.SetArcDirection(r.I32(8)); break;
    case EMR_SETMITERLIMIT: P.SetMiterLimit(r.F32(8)); break;
    case EMR_EXTFLOODFILL: P.FloodFill(r.I32(8), r.I32(12), r.U32(16), r.U32(20) == 1); break;
    case EMR_BEGINPATH: P.BeginPath(); break;
    case EMR_ENDPATH: P.EndPath(); break;
    case EMR_CLOSEFIGURE: P.CloseFigure(); break;
    case EMR_FILLPATH: P.FillPath(false, true); break;
    case EMR_STROKEANDFILLPATH: P.FillPath(true, true); break;
    case EMR_STROKEPATH: P.FillPath(true, false); break;
    case EMR_SELECTCLIPPATH: P.ClipToPath(r.I32(8)); break;
    case EMR_ABORTPATH: P.AbortPath(); break;
    case EMR_EXTSELECTCLIPRGN: {
        const std::uint32_t size = r.U32(8);
        const int mode = r.I32(12);
        P.SelectClipDevice(Region(r, 16, size), mode);
        break;
    }
    case EMR_FILLRGN: case EMR_FRAMERGN: case EMR_PAINTRGN: case EMR_INVERTRGN: {
        const std::size_t at = type == EMR_FRAMERGN ? 40 : type == EMR_FILLRGN ? 32 : 28;
        const auto rects = Region(r, at, r.U32(24));
        if (!rects) break;
        if (type == EMR_INVERTRGN) P.InvertRegion(*rects);
        else if (type == EMR_PAINTRGN) P.PaintRegion(*rects);
        else if (const TMetaBrush* brush = BrushObject(r.U32(28))) {
            if (type == EMR_FILLRGN) P.FillRegion(*rects, *brush);
            else P.FrameRegion(*rects, *brush, r.I32(32), r.I32(36));
        }
        break;
    }
    case EMR_BITBLT: case EMR_STRETCHBLT: {
        const int dx = r.I32(24), dy = r.I32(28), dw = r.I32(32), dh = r.I32(36);
        const std::uint32_t rop = r.U32(40);
        const int sx = r.I32(44), sy = r.I32(48);
        const int sw = type == EMR_STRETCHBLT ? r.I32(100) : dw;
        const int sh = type == EMR_STRETCHBLT ? r.I32(104) : dh;
        StretchDib(r, dx, dy, dw, dh, sx, sy, sw, sh, r.U32(84), r.U32(88), r.U32(92), r.U32(96), rop);
        break;
    }
    case EMR_MASKBLT: MaskBlt(r); break;
    case EMR_ALPHABLEND: Blend(r, true); break;
    case EMR_TRANSPARENTBLT: Blend(r, false); break;
    case EMR_STRETCHDIBITS:
        StretchDib(r, r.I32(24), r.I32(28), r.I32(72), r.I32(76), r.I32(32), r.I32(36), r.I32(40), r.I32(44),
                   r.U32(48), r.U32(52), r.U32(56), r.U32(60), r.U32(68));
        break;
    case EMR_SETDIBITSTODEVICE:
        StretchDib(r, r.I32(24), r.I32(28), r.I32(40), r.I32(44), r.I32(32), r.I32(36), r.I32(40), r.I32(44),
                   r.U32(48), r.U32(52), r.U32(56), r.U32(60), SRCCOPY);
        break;
    case EMR_GRADIENTFILL: Gradient(r); break;
    case EMR_EXTTEXTOUTA: Text(r, false); break;
    case EMR_EXTTEXTOUTW: Text(r, true); break;
    case EMR_SMALLTEXTOUT: SmallText(r); break;
    default: FReport.Skip(type); break;
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
    // The frame in pixels of the reference device the file was made on.
    result.Width = int(std::llround(double(w) * h.PxPerMmX / 100));
    result.Height = int(std::llround(double(hh) * h.PxPerMmY / 100));
    if (result.Width <= 0 || result.Height <= 0 || result.Width > MaxMetafileSide || result.Height > MaxMetafileSide)
        throw EInvalidGraphic("Metafile size out of range");
    return result;
}

TPlaybackReport PlayEmf(std::span<const std::uint8_t> data, TCanvas& canvas, const TRect& target)
{
    const THeader h = ReadHeader(data);
    // The frame in reference device pixels, mapped onto the target.
    TRect frame{int(std::lround(h.FrameHimetric.Left * h.PxPerMmX / 100)),
                int(std::lround(h.FrameHimetric.Top * h.PxPerMmY / 100)),
                int(std::lround(h.FrameHimetric.Right * h.PxPerMmX / 100)),
                int(std::lround(h.FrameHimetric.Bottom * h.PxPerMmY / 100))};
    // Some writers put the drawing wholly outside their frame: then the
    // bounds of what is drawn stand for the frame, so the picture is not blank.
    const TRect bounds{h.Bounds.Left, h.Bounds.Top, h.Bounds.Right + 1, h.Bounds.Bottom + 1};
    if (!bounds.IsEmpty() && IntersectRect(bounds, frame).IsEmpty()) frame = bounds;
    TMetafilePlayer player(canvas, target, false, frame, h.PxPerMmX, h.PxPerMmY);
    TPlaybackReport report;
    TEmfPlayback playback(player, report);
    std::size_t pos = h.HeaderSize;
    while (pos + 8 <= data.size()) {
        TRecordReader head(data.subspan(pos, 8));
        const std::uint32_t type = head.U32(0);
        const std::uint32_t size = head.U32(4);
        if (size < 8 || size % 4 != 0 || size > data.size() - pos) break;
        TRecordReader record(data.subspan(pos, size));
        ++report.Records;
        if (!playback.Record(type, record)) break;
        pos += size;
    }
    return report;
}
