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
    TRecordReader record(data);
    THeader h;
    if (record.U32(0) != 1 || record.U32(40) != EmfSignature || record.Failed())
        throw EInvalidGraphic("Invalid metafile");
    h.HeaderSize = record.U32(4);
    if (h.HeaderSize < 88 || h.HeaderSize % 4 != 0 || h.HeaderSize > data.size())
        throw EInvalidGraphic("Invalid metafile");
    h.Bounds = {record.I32(8), record.I32(12), record.I32(16), record.I32(20)};
    h.FrameHimetric = {record.I32(24), record.I32(28), record.I32(32), record.I32(36)};
    h.Handles = record.U16(56);
    const std::int32_t devW = record.I32(72), devH = record.I32(76), mmW = record.I32(80), mmH = record.I32(84);
    if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0) {
        h.PxPerMmX = double(devW) / mmW;
        h.PxPerMmY = double(devH) / mmH;
    }
    return h;
}

class TEmfPlayback {
public:
    TEmfPlayback(TMetafilePlayer& player, TPlaybackReport& report) : P(player), FReport(report) {}
    bool Record(std::uint32_t type, TRecordReader& record);

private:
    std::vector<TPoint> Points(TRecordReader& record, std::size_t at, std::uint32_t count, bool small);
    bool PolyRecord(std::uint32_t type, TRecordReader& record, bool small);
    bool PolyPolyRecord(std::uint32_t type, TRecordReader& record, bool small);
    void Text(TRecordReader& record, bool wide);
    void SmallText(TRecordReader& record);
    std::optional<std::unique_ptr<TBitmap>> Dib(TRecordReader& record, std::size_t offBmi, std::size_t cbBmi,
                                                std::size_t offBits, std::size_t cbBits);
    // Source rows counted from the top of the decoded bitmap.
    static int TopRow(TRecordReader& record, std::size_t offBmi, const TBitmap& bitmap, int sy, int sh);
    void StretchDib(TRecordReader& record, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                    std::size_t offBmi, std::size_t cbBmi, std::size_t offBits, std::size_t cbBits, std::uint32_t rop);
    void MaskBlt(TRecordReader& record);
    void Blend(TRecordReader& record, bool alpha);
    void Gradient(TRecordReader& record);
    std::optional<std::vector<TRect>> Region(TRecordReader& record, std::size_t at, std::size_t size);
    const TMetaBrush* BrushObject(std::uint32_t index);
    void Select(std::uint32_t index);
    TXForm Form(TRecordReader& record, std::size_t at)
    {
        return {record.F32(at),      record.F32(at + 4),  record.F32(at + 8),
                record.F32(at + 12), record.F32(at + 16), record.F32(at + 20)};
    }

    TMetafilePlayer& P;
    TPlaybackReport& FReport;
    std::map<std::uint32_t, TMetaObject> FObjects;
    int FCharset = 1;
};

std::vector<TPoint> TEmfPlayback::Points(TRecordReader& record, std::size_t at, std::uint32_t count, bool small)
{
    std::vector<TPoint> points;
    points.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (small) points.push_back({record.I16(at + 4 * i), record.I16(at + 4 * i + 2)});
        else points.push_back({record.I32(at + 8 * std::size_t(i)), record.I32(at + 8 * std::size_t(i) + 4)});
    }
    return points;
}

// Polygon, polyline and Bezier records: bounds, count, points.
bool TEmfPlayback::PolyRecord(std::uint32_t type, TRecordReader& record, bool small)
{
    const std::uint32_t count = record.U32(24);
    if (!record.Has(28, std::size_t(count) * (small ? 4 : 8))) return true;
    const std::vector<TPoint> points = Points(record, 28, count, small);
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

bool TEmfPlayback::PolyPolyRecord(std::uint32_t type, TRecordReader& record, bool small)
{
    const std::uint32_t polys = record.U32(24);
    const std::uint32_t total = record.U32(28);
    if (!record.Has(32, std::size_t(polys) * 4)) return true;
    const std::size_t pointsAt = 32 + std::size_t(polys) * 4;
    if (!record.Has(pointsAt, std::size_t(total) * (small ? 4 : 8))) return true;
    std::vector<int> counts;
    std::uint64_t sum = 0;
    for (std::uint32_t i = 0; i < polys; ++i) {
        const std::uint32_t count = record.U32(32 + 4 * std::size_t(i));
        sum += count;
        counts.push_back(int(std::min<std::uint32_t>(count, total)));
    }
    if (sum > total) return true;
    const std::vector<TPoint> points = Points(record, pointsAt, total, small);
    if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16) P.PolyPolygon(points, counts);
    else P.PolyPolyline(points, counts);
    return true;
}

void TEmfPlayback::Text(TRecordReader& record, bool wide)
{
    // EMREXTTEXTOUT: bounds, graphics mode, scales, then the text record.
    const std::int32_t x = record.I32(36), y = record.I32(40);
    const std::uint32_t chars = record.U32(44);
    const std::uint32_t offString = record.U32(48);
    const std::uint32_t options = record.U32(52);
    const std::array<double, 4> rect{double(record.I32(56)), double(record.I32(60)), double(record.I32(64)),
                                     double(record.I32(68))};
    const std::uint32_t offDx = record.U32(72);
    if (!record.Has(offString, std::size_t(chars) * (wide ? 2 : 1))) return;
    std::u32string text;
    if (wide) {
        for (std::uint32_t i = 0; i < chars; ++i) {
            char32_t character = record.U16(offString + 2 * std::size_t(i));
            // A surrogate pair is one character.
            if (character >= 0xD800 && character < 0xDC00 && i + 1 < chars) {
                const char32_t low = record.U16(offString + 2 * std::size_t(i + 1));
                if (low >= 0xDC00 && low < 0xE000) {
                    character = 0x10000 + ((character - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            text.push_back(character);
        }
    } else {
        text = DecodeAnsiText(record.Bytes(offString, chars), FCharset);
    }
    // The spacing array: one advance per character, or (dx, dy) pairs with ETO_PDY.
    std::vector<int> dx;
    const std::size_t step = (options & ETO_PDY) ? 8 : 4;
    if (offDx && record.Has(offDx, std::size_t(chars) * step))
        for (std::uint32_t i = 0; i < chars; ++i) dx.push_back(record.I32(offDx + step * std::size_t(i)));
    if (dx.size() > text.size()) dx.resize(text.size());
    const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) && rect[2] > rect[0] && rect[3] > rect[1];
    P.TextOut(x, y, text, dx, options, hasRect ? std::optional(rect) : std::nullopt);
}

void TEmfPlayback::SmallText(TRecordReader& record)
{
    // Reference point, count, options, graphics mode, scales, [clip rectangle], characters.
    const std::int32_t x = record.I32(8), y = record.I32(12);
    const std::uint32_t chars = record.U32(16);
    const std::uint32_t options = record.U32(20);
    std::size_t at = 36;
    std::optional<std::array<double, 4>> rect;
    if (!(options & ETO_NO_RECT)) {
        rect = std::array<double, 4>{double(record.I32(36)), double(record.I32(40)), double(record.I32(44)),
                                     double(record.I32(48))};
        at = 52;
    }
    const bool small = options & ETO_SMALL_CHARS;
    if (!record.Has(at, std::size_t(chars) * (small ? 1 : 2))) return;
    std::u32string text;
    if (small) text = DecodeAnsiText(record.Bytes(at, chars), FCharset);
    else
        for (std::uint32_t i = 0; i < chars; ++i) text.push_back(record.U16(at + 2 * std::size_t(i)));
    const bool hasRect = rect && (options & (ETO_OPAQUE | ETO_CLIPPED)) && (*rect)[2] > (*rect)[0];
    P.TextOut(x, y, text, {}, options, hasRect ? rect : std::nullopt);
}

std::optional<std::unique_ptr<TBitmap>> TEmfPlayback::Dib(TRecordReader& record, std::size_t offBmi, std::size_t cbBmi,
                                                          std::size_t offBits, std::size_t cbBits)
{
    if (cbBmi == 0 || !record.Has(offBmi, cbBmi) || !record.Has(offBits, cbBits)) return std::nullopt;
    return DecodeDib(record.Bytes(offBmi, cbBmi), record.Bytes(offBits, cbBits));
}

int TEmfPlayback::TopRow(TRecordReader& record, std::size_t offBmi, const TBitmap& bitmap, int sy, int sh)
{
    const std::int32_t height = record.U32(offBmi) == 12 ? record.I16(offBmi + 6) : record.I32(offBmi + 8);
    return height > 0 ? bitmap.Height() - sy - sh : sy;
}

void TEmfPlayback::StretchDib(TRecordReader& record, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                              std::size_t offBmi, std::size_t cbBmi, std::size_t offBits, std::size_t cbBits,
                              std::uint32_t rop)
{
    if (cbBmi == 0) {
        P.Blit(dx, dy, dw, dh, nullptr, 0, 0, 0, 0, rop);
        return;
    }
    auto dib = Dib(record, offBmi, cbBmi, offBits, cbBits);
    if (!dib) return;
    const TBitmap& bitmap = **dib;
    P.Blit(dx, dy, dw, dh, &bitmap, sx, TopRow(record, offBmi, bitmap, sy, sh), sw, sh, rop);
}

void TEmfPlayback::MaskBlt(TRecordReader& record)
{
    const int dx = record.I32(24), dy = record.I32(28), dw = record.I32(32), dh = record.I32(36);
    const std::uint32_t rop = record.U32(40);
    const int sx = record.I32(44), sy = record.I32(48);
    auto source = Dib(record, record.U32(84), record.U32(88), record.U32(92), record.U32(96));
    auto mask = Dib(record, record.U32(112), record.U32(116), record.U32(120), record.U32(124));
    if (!source) return P.Blit(dx, dy, dw, dh, nullptr, 0, 0, 0, 0, rop);
    const int top = TopRow(record, record.U32(84), **source, sy, dh);
    if (!mask) return P.Blit(dx, dy, dw, dh, source->get(), sx, top, dw, dh, rop);
    const int my = TopRow(record, record.U32(112), **mask, record.I32(104), dh);
    P.Blit(dx, dy, dw, dh, source->get(), sx, top, dw, dh, rop, mask->get(), record.I32(100), my);
}

// ALPHABLEND and TRANSPARENTBLT share STRETCHBLT's layout.
void TEmfPlayback::Blend(TRecordReader& record, bool alpha)
{
    const int dx = record.I32(24), dy = record.I32(28), dw = record.I32(32), dh = record.I32(36);
    const std::uint32_t op = record.U32(40);
    const int sx = record.I32(44), sy = record.I32(48), sw = record.I32(100), sh = record.I32(104);
    auto dib = Dib(record, record.U32(84), record.U32(88), record.U32(92), record.U32(96));
    if (!dib) return;
    const int top = TopRow(record, record.U32(84), **dib, sy, sh);
    if (alpha) P.AlphaBlit(dx, dy, dw, dh, **dib, sx, top, sw, sh, int((op >> 16) & 0xFF), ((op >> 24) & 1) != 0);
    else P.TransparentBlit(dx, dy, dw, dh, **dib, sx, top, sw, sh, op & 0xFFFFFF);
}

void TEmfPlayback::Gradient(TRecordReader& record)
{
    const std::uint32_t vertices = record.U32(24), meshes = record.U32(28), mode = record.U32(32);
    if (mode > 2 || !record.Has(36, std::size_t(vertices) * 16)) return;
    std::vector<TMetafilePlayer::TGradientVertex> v;
    for (std::uint32_t i = 0; i < vertices; ++i) {
        const std::size_t at = 36 + 16 * std::size_t(i);
        v.push_back({double(record.I32(at)), double(record.I32(at + 4)),
                     RGB(record.U16(at + 8) >> 8, record.U16(at + 10) >> 8, record.U16(at + 12) >> 8)});
    }
    const std::size_t per = mode == 2 ? 3 : 2;
    const std::size_t at = 36 + 16 * std::size_t(vertices);
    if (!record.Has(at, std::size_t(meshes) * per * 4)) return;
    std::vector<std::uint32_t> indices;
    for (std::size_t i = 0; i < std::size_t(meshes) * per; ++i) indices.push_back(record.U32(at + 4 * i));
    P.GradientFill(v, indices, int(mode));
}

// A region's rectangles (RGNDATA: a 32-byte header, then the rectangles).
std::optional<std::vector<TRect>> TEmfPlayback::Region(TRecordReader& record, std::size_t at, std::size_t size)
{
    if (size < 32 || !record.Has(at, size)) return std::nullopt;
    const std::uint32_t count = record.U32(at + 8);
    if (std::size_t(count) > (size - 32) / 16) return std::nullopt;
    std::vector<TRect> rects;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t rect = at + 32 + 16 * std::size_t(i);
        rects.push_back({record.I32(rect), record.I32(rect + 4), record.I32(rect + 8), record.I32(rect + 12)});
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
    const TMetaObject& object = it->second;
    if (object.Kind == TMetaObject::okPen) P.SetPen(object.Pen);
    else if (object.Kind == TMetaObject::okBrush) P.SetBrush(object.Brush);
    else if (object.Kind == TMetaObject::okFont) {
        P.SetFont(object.Font);
        FCharset = object.Font.Charset;
    }
}

bool TEmfPlayback::Record(std::uint32_t type, TRecordReader& record)
{
    switch (type) {
    case EMR_EOF: return false;
    case EMR_POLYBEZIER: case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYBEZIERTO: case EMR_POLYLINETO:
        return PolyRecord(type, record, false);
    case EMR_POLYBEZIER16: case EMR_POLYGON16: case EMR_POLYLINE16: case EMR_POLYBEZIERTO16: case EMR_POLYLINETO16:
        return PolyRecord(type, record, true);
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: return PolyPolyRecord(type, record, false);
    case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16: return PolyPolyRecord(type, record, true);
    case EMR_SETWINDOWEXTEX: P.SetWindowExt(record.I32(8), record.I32(12)); break;
    case EMR_SETWINDOWORGEX: P.SetWindowOrg(record.I32(8), record.I32(12)); break;
    case EMR_SETVIEWPORTEXTEX: P.SetViewportExt(record.I32(8), record.I32(12)); break;
    case EMR_SETVIEWPORTORGEX: P.SetViewportOrg(record.I32(8), record.I32(12)); break;
    case EMR_SETPIXELV: P.SetPixel(record.I32(8), record.I32(12), record.U32(16)); break;
    case EMR_SETMAPMODE: P.SetMapMode(record.I32(8)); break;
    case EMR_SETBKMODE: P.SetBkMode(record.I32(8)); break;
    case EMR_SETPOLYFILLMODE: P.SetPolyFillMode(record.I32(8)); break;
    case EMR_SETROP2: P.SetRop2(record.I32(8)); break;
    case EMR_SETTEXTALIGN: P.SetTextAlign(record.U32(8)); break;
    case EMR_SETTEXTCOLOR: P.SetTextColor(record.U32(8) & 0xFFFFFF); break;
    case EMR_SETBKCOLOR: P.SetBkColor(record.U32(8) & 0xFFFFFF); break;
    case EMR_MOVETOEX: P.MoveTo(record.I32(8), record.I32(12)); break;
    case EMR_LINETO: P.LineTo(record.I32(8), record.I32(12)); break;
    case EMR_OFFSETCLIPRGN: P.OffsetClip(record.I32(8), record.I32(12)); break;
    case EMR_EXCLUDECLIPRECT: P.ExcludeClip(record.I32(8), record.I32(12), record.I32(16), record.I32(20)); break;
    case EMR_INTERSECTCLIPRECT: P.IntersectClip(record.I32(8), record.I32(12), record.I32(16), record.I32(20)); break;
    case EMR_SCALEVIEWPORTEXTEX:
        P.ScaleViewportExt(record.I32(8), record.I32(12), record.I32(16), record.I32(20));
        break;
    case EMR_SCALEWINDOWEXTEX: P.ScaleWindowExt(record.I32(8), record.I32(12), record.I32(16), record.I32(20)); break;
    case EMR_SAVEDC: P.SaveState(); break;
    case EMR_RESTOREDC: P.RestoreState(record.I32(8)); break;
    case EMR_SETWORLDTRANSFORM: P.SetWorldTransform(Form(record, 8)); break;
    case EMR_MODIFYWORLDTRANSFORM: P.ModifyWorldTransform(Form(record, 8), record.I32(32)); break;
    case EMR_SELECTOBJECT: Select(record.U32(8)); break;
    case EMR_DELETEOBJECT: FObjects.erase(record.U32(8)); break;
    case EMR_CREATEPEN: {
        TMetaObject object;
        object.Kind = TMetaObject::okPen;
        object.Pen.Style = record.U32(12) & PS_STYLE_MASK;
        object.Pen.Width = record.I32(16);
        object.Pen.Color = record.U32(24) & 0xFFFFFF;
        FObjects[record.U32(8)] = object;
        break;
    }
    case EMR_EXTCREATEPEN: {
        // ihPen, offBmi, cbBmi, offBits, cbBits, then LOGPEN_EX: style, width, brush style, colour, hatch, styles.
        TMetaObject object;
        object.Kind = TMetaObject::okPen;
        object.Pen.Style = record.U32(28);
        object.Pen.Width = (object.Pen.Style & PS_GEOMETRIC) ? record.I32(32) : 0;
        object.Pen.Color = record.U32(40) & 0xFFFFFF;
        if (record.U32(36) == 1)
            object.Pen.Style = (object.Pen.Style & ~PS_STYLE_MASK) | PS_NULL;  // a hollow brush draws nothing
        const std::uint32_t entries = record.U32(48);
        if ((object.Pen.Style & PS_STYLE_MASK) == PS_USERSTYLE && entries <= 16 &&
            record.Has(52, std::size_t(entries) * 4))
            for (std::uint32_t i = 0; i < entries; ++i)
                object.Pen.UserStyle.push_back(record.U32(52 + 4 * std::size_t(i)));
        if ((object.Pen.Style & PS_STYLE_MASK) == PS_USERSTYLE && object.Pen.UserStyle.empty())
            object.Pen.Style &= ~PS_STYLE_MASK;
        FObjects[record.U32(8)] = object;
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        TMetaObject object;
        object.Kind = TMetaObject::okBrush;
        const std::uint32_t style = record.U32(12);
        object.Brush.Hollow = style == 1;  // BS_NULL
        object.Brush.Color = record.U32(16) & 0xFFFFFF;
        if (style == 2) object.Brush.Hatch = int(std::min<std::uint32_t>(record.U32(20), 5));  // BS_HATCHED
        FObjects[record.U32(8)] = object;
        break;
    }
    case EMR_CREATEMONOBRUSH: case EMR_CREATEDIBPATTERNBRUSHPT: {
        TMetaObject object;
        object.Kind = TMetaObject::okBrush;
        object.Brush.Color = RGB(128, 128, 128);
        if (auto dib = Dib(record, record.U32(16), record.U32(20), record.U32(24), record.U32(28)))
            object.Brush.Pattern = std::move(*dib);
        object.Brush.Monochrome = type == EMR_CREATEMONOBRUSH;
        FObjects[record.U32(8)] = object;
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        TMetaObject object;
        object.Kind = TMetaObject::okFont;
        object.Font.Height = record.I32(12);
        object.Font.Escapement = record.I32(20);
        object.Font.Weight = record.I32(28);
        object.Font.Italic = record.U8(32) != 0;
        object.Font.Underline = record.U8(33) != 0;
        object.Font.StrikeOut = record.U8(34) != 0;
        object.Font.Charset = record.U8(35);
        std::string face;
        for (std::size_t i = 0; i < 32; ++i) {
            const std::uint16_t character = record.Has(40 + 2 * i, 2) ? record.U16(40 + 2 * i) : 0;
            if (character == 0) break;
            face.push_back(character < 256 ? char(character) : '?');
        }
        object.Font.Face = face;
        FObjects[record.U32(8)] = object;
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
    case EMR_ELLIPSE: P.Ellipse(record.I32(8), record.I32(12), record.I32(16), record.I32(20)); break;
    case EMR_RECTANGLE: P.Rectangle(record.I32(8), record.I32(12), record.I32(16), record.I32(20)); break;
    case EMR_ROUNDRECT:
        P.RoundRect(record.I32(8), record.I32(12), record.I32(16), record.I32(20), record.I32(24), record.I32(28));
        break;
    case EMR_ARC: case EMR_CHORD: case EMR_PIE: case EMR_ARCTO: {
        const int kind = type == EMR_PIE ? 1 : type == EMR_CHORD ? 2 : type == EMR_ARCTO ? 3 : 0;
        P.ArcShape(kind, record.I32(8), record.I32(12), record.I32(16), record.I32(20), record.I32(24), record.I32(28),
                   record.I32(32), record.I32(36));
        break;
    }
    case EMR_ANGLEARC: P.AngleArc(record.I32(8), record.I32(12), record.U32(16), record.F32(20), record.F32(24)); break;
    case EMR_POLYDRAW: case EMR_POLYDRAW16: {
        const bool small = type == EMR_POLYDRAW16;
        const std::uint32_t count = record.U32(24);
        const std::size_t bytes = std::size_t(count) * (small ? 4 : 8);
        if (!record.Has(28, bytes) || !record.Has(28 + bytes, count)) break;
        const auto types = record.Bytes(28 + bytes, count);
        P.PolyDraw(Points(record, 28, count, small), types);
        break;
    }
    case EMR_SETARCDIRECTION: P.SetArcDirection(record.I32(8)); break;
    case EMR_SETMITERLIMIT: P.SetMiterLimit(record.F32(8)); break;
    case EMR_EXTFLOODFILL: P.FloodFill(record.I32(8), record.I32(12), record.U32(16), record.U32(20) == 1); break;
    case EMR_BEGINPATH: P.BeginPath(); break;
    case EMR_ENDPATH: P.EndPath(); break;
    case EMR_CLOSEFIGURE: P.CloseFigure(); break;
    case EMR_FILLPATH: P.FillPath(false, true); break;
    case EMR_STROKEANDFILLPATH: P.FillPath(true, true); break;
    case EMR_STROKEPATH: P.FillPath(true, false); break;
    case EMR_SELECTCLIPPATH: P.ClipToPath(record.I32(8)); break;
    case EMR_ABORTPATH: P.AbortPath(); break;
    case EMR_EXTSELECTCLIPRGN: {
        const std::uint32_t size = record.U32(8);
        const int mode = record.I32(12);
        P.SelectClipDevice(Region(record, 16, size), mode);
        break;
    }
    case EMR_FILLRGN: case EMR_FRAMERGN: case EMR_PAINTRGN: case EMR_INVERTRGN: {
        const std::size_t at = type == EMR_FRAMERGN ? 40 : type == EMR_FILLRGN ? 32 : 28;
        const auto rects = Region(record, at, record.U32(24));
        if (!rects) break;
        if (type == EMR_INVERTRGN) P.InvertRegion(*rects);
        else if (type == EMR_PAINTRGN) P.PaintRegion(*rects);
        else if (const TMetaBrush* brush = BrushObject(record.U32(28))) {
            if (type == EMR_FILLRGN) P.FillRegion(*rects, *brush);
            else P.FrameRegion(*rects, *brush, record.I32(32), record.I32(36));
        }
        break;
    }
    case EMR_BITBLT: case EMR_STRETCHBLT: {
        const int dx = record.I32(24), dy = record.I32(28), dw = record.I32(32), dh = record.I32(36);
        const std::uint32_t rop = record.U32(40);
        const int sx = record.I32(44), sy = record.I32(48);
        const int sw = type == EMR_STRETCHBLT ? record.I32(100) : dw;
        const int sh = type == EMR_STRETCHBLT ? record.I32(104) : dh;
        StretchDib(record, dx, dy, dw, dh, sx, sy, sw, sh, record.U32(84), record.U32(88), record.U32(92),
                   record.U32(96), rop);
        break;
    }
    case EMR_MASKBLT: MaskBlt(record); break;
    case EMR_ALPHABLEND: Blend(record, true); break;
    case EMR_TRANSPARENTBLT: Blend(record, false); break;
    case EMR_STRETCHDIBITS:
        StretchDib(record, record.I32(24), record.I32(28), record.I32(72), record.I32(76), record.I32(32),
                   record.I32(36), record.I32(40), record.I32(44), record.U32(48), record.U32(52), record.U32(56),
                   record.U32(60), record.U32(68));
        break;
    case EMR_SETDIBITSTODEVICE:
        StretchDib(record, record.I32(24), record.I32(28), record.I32(40), record.I32(44), record.I32(32),
                   record.I32(36), record.I32(40), record.I32(44), record.U32(48), record.U32(52), record.U32(56),
                   record.U32(60), SRCCOPY);
        break;
    case EMR_GRADIENTFILL: Gradient(record); break;
    case EMR_EXTTEXTOUTA: Text(record, false); break;
    case EMR_EXTTEXTOUTW: Text(record, true); break;
    case EMR_SMALLTEXTOUT: SmallText(record); break;
    default: FReport.Skip(type); break;
    }
    return true;
}

}  // namespace

bool IsEmf(std::span<const std::uint8_t> data)
{
    TRecordReader record(data);
    return record.U32(0) == 1 && record.U32(40) == EmfSignature && !record.Failed();
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
