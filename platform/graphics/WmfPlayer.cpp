#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Raster.h"

// Windows metafiles: an optional placeable header (key 0x9AC6CDD7 with the
// picture's bounds and units per inch), the 18-byte metafile header, then
// records of a 32-bit size in 16-bit words, a function number and 16-bit
// parameters stored last-argument first. The window maps onto the target
// rectangle: the placeable bounds by default, changed by the window records.

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;

// Record functions.
enum : std::uint16_t {
    META_EOF = 0x0000, META_SAVEDC = 0x001E, META_REALIZEPALETTE = 0x0035, META_SETPALENTRIES = 0x0037,
    META_CREATEPALETTE = 0x00F7, META_SETBKMODE = 0x0102, META_SETMAPMODE = 0x0103, META_SETROP2 = 0x0104,
    META_SETRELABS = 0x0105, META_SETPOLYFILLMODE = 0x0106, META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108, META_RESTOREDC = 0x0127, META_INVERTREGION = 0x012A,
    META_PAINTREGION = 0x012B, META_SELECTCLIPREGION = 0x012C, META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E, META_RESIZEPALETTE = 0x0139, META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_SETLAYOUT = 0x0149, META_DELETEOBJECT = 0x01F0, META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209, META_SETTEXTJUSTIFICATION = 0x020A,
    META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C, META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E, META_OFFSETWINDOWORG = 0x020F, META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213, META_MOVETO = 0x0214, META_OFFSETCLIPRGN = 0x0220, META_FILLREGION = 0x0228,
    META_SETMAPPERFLAGS = 0x0231, META_SELECTPALETTE = 0x0234, META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC, META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325, META_SCALEWINDOWEXT = 0x0410, META_SCALEVIEWPORTEXT = 0x0412,
    META_EXCLUDECLIPRECT = 0x0415, META_INTERSECTCLIPRECT = 0x0416, META_ELLIPSE = 0x0418,
    META_FLOODFILL = 0x0419, META_RECTANGLE = 0x041B, META_SETPIXEL = 0x041F, META_FRAMEREGION = 0x0429,
    META_ANIMATEPALETTE = 0x0436, META_TEXTOUT = 0x0521, META_POLYPOLYGON = 0x0538, META_EXTFLOODFILL = 0x0548,
    META_ROUNDRECT = 0x061C, META_PATBLT = 0x061D, META_ESCAPE = 0x0626, META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817, META_PIE = 0x081A, META_CHORD = 0x0830, META_BITBLT = 0x0922, META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32, META_STRETCHBLT = 0x0B23, META_DIBSTRETCHBLT = 0x0B41, META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};


struct TLayout {
    bool Placeable = false;
    TRect Bounds;       // placeable bounds, logical units
    int Inch = 0;       // units per inch (placeable)
    std::size_t Records = 0;
    int Objects = 0;
};

TLayout ReadLayout(std::span<const std::uint8_t> data)
{
    TRecordReader record(data);
    TLayout layout;
    std::size_t header = 0;
    if (record.U32(0) == PlaceableKey) {
        layout.Placeable = true;
        layout.Bounds = {record.I16(6), record.I16(8), record.I16(10), record.I16(12)};
        layout.Inch = record.U16(14);
        header = 22;
    }
    const std::uint16_t type = record.U16(header);
    const std::uint16_t headerWords = record.U16(header + 2);
    const std::uint16_t version = record.U16(header + 4);
    if (record.Failed() || !record.Has(header, 18) || (type != 1 && type != 2) || headerWords != 9 ||
        (version != 0x0100 && version != 0x0300))
        throw EInvalidGraphic("Invalid metafile");
    layout.Objects = record.U16(header + 10);
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
    ForEachRecord(data, start, [&](std::uint16_t function, TRecordReader& record, std::size_t) {
        if (function == META_SETWINDOWORG) org = {record.I16(8), record.I16(6)};
        if (function == META_SETWINDOWEXT) {
            ext = {record.I16(8), record.I16(6)};
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
    for (std::uint8_t character : bytes) {
        if (character == 0) break;
        face.push_back(char(character));
    }
    return face;
}

class TWmfPlayback {
public:
    TWmfPlayback(TMetafilePlayer& player, int objects, TPlaybackReport& report)
        : P(player), FObjects(std::size_t(objects)), FReport(report)
    {
    }
    bool Record(std::uint16_t function, TRecordReader& record, std::size_t size);

private:
    // Parameter i (16-bit words after the function number).
    static std::int16_t Word(TRecordReader& record, std::size_t i) { return record.I16(6 + 2 * i); }
    static std::uint32_t Colour(TRecordReader& record, std::size_t i) { return record.U32(6 + 2 * i) & 0xFFFFFF; }
    void Create(TMetaObject object);
    const TMetaObject* Object(std::size_t index, TMetaObject::TKind kind) const;
    std::vector<TPoint> Points(TRecordReader& record, std::size_t word, std::size_t count);
    std::optional<std::unique_ptr<TBitmap>> Dib(TRecordReader& record, std::size_t at);
    // A device-dependent bitmap (Bitmap16): type, size, row bytes, planes, bits per pixel, rows.
    std::optional<std::unique_ptr<TBitmap>> Bitmap16(TRecordReader& record, std::size_t at);
    void DibBlit(TRecordReader& record, std::uint32_t rop, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                 int dh, std::size_t dibWord, bool device);
    std::vector<TRect> RegionRects(TRecordReader& record);
    void Text(TRecordReader& record, std::size_t words);

    TMetafilePlayer& P;
    std::vector<std::optional<TMetaObject>> FObjects;
    TPlaybackReport& FReport;
    int FCharset = 1;
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

const TMetaObject* TWmfPlayback::Object(std::size_t index, TMetaObject::TKind kind) const
{
    if (index >= FObjects.size() || !FObjects[index] || FObjects[index]->Kind != kind) return nullptr;
    return &*FObjects[index];
}

std::vector<TPoint> TWmfPlayback::Points(TRecordReader& record, std::size_t word, std::size_t count)
{
    std::vector<TPoint> points;
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        points.push_back({Word(record, word + 2 * i), Word(record, word + 2 * i + 1)});
    return points;
}

std::optional<std::unique_ptr<TBitmap>> TWmfPlayback::Dib(TRecordReader& record, std::size_t at)
{
    if (!record.Has(at, 12)) return std::nullopt;
    const std::uint32_t headerSize = record.U32(at);
    if (headerSize < 12 || !record.Has(at, headerSize)) return std::nullopt;
    const std::uint16_t bitCount = headerSize == 12 ? record.U16(at + 10) : record.U16(at + 14);
    const std::uint32_t compression = headerSize == 12 ? 0 : record.U32(at + 16);
    std::uint32_t colours = headerSize == 12 ? 0 : record.U32(at + 32);
    if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
    if (colours > 256) return std::nullopt;
    std::size_t table = std::size_t(colours) * (headerSize == 12 ? 3 : 4);
    if (headerSize == 40 && compression == 3) table += 12;  // BI_BITFIELDS masks
    const std::size_t headerBytes = headerSize + table;
    if (!record.Has(at, headerBytes)) return std::nullopt;
    return DecodeDib(record.Bytes(at, headerBytes), record.Bytes(at + headerBytes, record.Size() - at - headerBytes));
}

std::optional<std::unique_ptr<TBitmap>> TWmfPlayback::Bitmap16(TRecordReader& record, std::size_t at)
{
    const int width = record.I16(at + 2), height = record.I16(at + 4), rowBytes = record.I16(at + 6);
    const int planes = record.U8(at + 8), bits = record.U8(at + 9);
    if (record.Failed() || width <= 0 || height <= 0 || planes != 1 || (bits != 1 && bits != 24 && bits != 32))
        return std::nullopt;
    if (rowBytes < (width * bits + 7) / 8 || !record.Has(at + 10, std::size_t(rowBytes) * std::size_t(height)))
        return std::nullopt;
    auto bitmap = std::make_unique<TBitmap>(width, height, bits == 1 ? pf1bit : pf24bit);
    if (bits == 1) bitmap->SetPalette({ColorToQuad(clBlack), ColorToQuad(clWhite)});
    TPixelView view(*bitmap);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = at + 10 + std::size_t(y) * std::size_t(rowBytes);
        for (int x = 0; x < width; ++x) {
            if (bits == 1) {
                view.Set(x, y, (record.U8(row + std::size_t(x) / 8) >> (7 - x % 8)) & 1 ? 0xFFFFFF : 0);
            } else {
                const std::size_t pixel = row + std::size_t(x) * std::size_t(bits / 8);
                view.Set(x, y, RGB(record.U8(pixel + 2), record.U8(pixel + 1), record.U8(pixel)));
            }
        }
    }
    return bitmap;
}

void TWmfPlayback::DibBlit(TRecordReader& record, std::uint32_t rop, int sx, int sy, int sw, int sh, int dx, int dy,
                           int dw, int dh, std::size_t dibWord, bool device)
{
    const std::size_t at = 6 + 2 * dibWord;
    const auto dib = device ? Bitmap16(record, at) : Dib(record, at);
    if (!dib) return;
    const TBitmap& bitmap = **dib;
    // Source rows count from the bottom of a bottom-up bitmap.
    if (!device) {
        const std::int32_t height = record.U32(at) == 12 ? record.I16(at + 6) : record.I32(at + 8);
        if (height > 0) sy = bitmap.Height() - sy - sh;
    }
    P.Blit(dx, dy, dw, dh, &bitmap, sx, sy, sw, sh, rop);
}

// META_CREATEREGION: a header, the bounds, then scans of (count, top, bottom, x pairs, count).
std::vector<TRect> TWmfPlayback::RegionRects(TRecordReader& record)
{
    std::vector<TRect> rects;
    const int scans = record.I16(16);
    std::size_t at = 28;
    for (int i = 0; i < scans && record.Has(at, 6); ++i) {
        const int count = record.U16(at), top = record.I16(at + 2), bottom = record.I16(at + 4);
        if (count % 2 || !record.Has(at + 6, std::size_t(count) * 2 + 2)) break;
        for (int pair = 0; pair + 1 < count; pair += 2)
            rects.push_back(
                {record.I16(at + 6 + 2 * std::size_t(pair)), top, record.I16(at + 8 + 2 * std::size_t(pair)), bottom});
        at += 6 + std::size_t(count) * 2 + 2;
    }
    return rects;
}

void TWmfPlayback::Text(TRecordReader& record, std::size_t words)
{
    const int y = Word(record, 0), x = Word(record, 1), count = Word(record, 2);
    const unsigned options = std::uint16_t(Word(record, 3));
    std::size_t word = 4;
    std::optional<std::array<double, 4>> rect;
    if (options & 6) {
        rect = std::array<double, 4>{double(Word(record, 4)), double(Word(record, 5)), double(Word(record, 6)),
                                     double(Word(record, 7))};
        word = 8;
    }
    if (count < 0 || word + (std::size_t(count) + 1) / 2 > words) return;
    const std::u32string text = DecodeAnsiText(record.Bytes(6 + 2 * word, std::size_t(count)), FCharset);
    std::vector<int> dx;
    const std::size_t dxWord = word + (std::size_t(count) + 1) / 2;
    if (dxWord + std::size_t(count) <= words)
        for (int i = 0; i < count; ++i) dx.push_back(Word(record, dxWord + std::size_t(i)));
    P.TextOut(x, y, text, dx, options, rect);
}

bool TWmfPlayback::Record(std::uint16_t function, TRecordReader& record, std::size_t size)
{
    const std::size_t words = size / 2;
    switch (function) {
    case META_SETBKCOLOR: P.SetBkColor(Colour(record, 0)); break;
    case META_SETBKMODE: P.SetBkMode(Word(record, 0)); break;
    case META_SETMAPMODE: P.SetMapMode(Word(record, 0)); break;
    case META_SETROP2: P.SetRop2(Word(record, 0)); break;
    case META_SETPOLYFILLMODE: P.SetPolyFillMode(Word(record, 0)); break;
    case META_SETTEXTCOLOR: P.SetTextColor(Colour(record, 0)); break;
    case META_SETTEXTALIGN: P.SetTextAlign(std::uint16_t(Word(record, 0))); break;
    case META_SETWINDOWORG: P.SetWindowOrg(Word(record, 1), Word(record, 0)); break;
    case META_SETWINDOWEXT: P.SetWindowExt(Word(record, 1), Word(record, 0)); break;
    case META_OFFSETWINDOWORG: P.OffsetWindowOrg(Word(record, 1), Word(record, 0)); break;
    case META_SCALEWINDOWEXT:
        P.ScaleWindowExt(Word(record, 3), Word(record, 2), Word(record, 1), Word(record, 0));
        break;
    // The viewport is the target rectangle; the file's viewport records are
    // meant for the device it was made on.
    case META_SETVIEWPORTORG: case META_SETVIEWPORTEXT: case META_OFFSETVIEWPORTORG: case META_SCALEVIEWPORTEXT: break;
    // State that changes nothing we draw; palettes on a true-colour target.
    case META_SETRELABS: case META_SETSTRETCHBLTMODE: case META_SETTEXTCHAREXTRA: case META_SETTEXTJUSTIFICATION:
    case META_SETMAPPERFLAGS: case META_SETLAYOUT: case META_ESCAPE: case META_REALIZEPALETTE:
    case META_SETPALENTRIES: case META_SELECTPALETTE: case META_RESIZEPALETTE: case META_ANIMATEPALETTE:
        break;
    case META_MOVETO: P.MoveTo(Word(record, 1), Word(record, 0)); break;
    case META_LINETO: P.LineTo(Word(record, 1), Word(record, 0)); break;
    case META_RECTANGLE: P.Rectangle(Word(record, 3), Word(record, 2), Word(record, 1), Word(record, 0)); break;
    case META_ELLIPSE: P.Ellipse(Word(record, 3), Word(record, 2), Word(record, 1), Word(record, 0)); break;
    case META_ROUNDRECT:
        P.RoundRect(Word(record, 5), Word(record, 4), Word(record, 3), Word(record, 2), Word(record, 1),
                    Word(record, 0));
        break;
    case META_ARC: case META_PIE: case META_CHORD: {
        const int kind = function == META_ARC ? 0 : function == META_PIE ? 1 : 2;
        P.ArcShape(kind, Word(record, 7), Word(record, 6), Word(record, 5), Word(record, 4), Word(record, 3),
                   Word(record, 2), Word(record, 1), Word(record, 0));
        break;
    }
    case META_SETPIXEL: P.SetPixel(Word(record, 3), Word(record, 2), Colour(record, 0)); break;
    case META_FLOODFILL: P.FloodFill(Word(record, 3), Word(record, 2), Colour(record, 0), false); break;
    case META_EXTFLOODFILL:
        P.FloodFill(Word(record, 4), Word(record, 3), Colour(record, 1), Word(record, 0) == 1);
        break;
    case META_POLYGON: case META_POLYLINE: {
        const int count = Word(record, 0);
        if (count < 0 || std::size_t(count) * 2 + 1 > words) break;
        const auto points = Points(record, 1, std::size_t(count));
        if (function == META_POLYGON) P.Polygon(points);
        else P.Polyline(points);
        break;
    }
    case META_POLYPOLYGON: {
        const int polygons = Word(record, 0);
        if (polygons < 0 || std::size_t(polygons) + 1 > words) break;
        std::vector<int> counts;
        std::size_t total = 0;
        for (int i = 0; i < polygons; ++i) {
            const int count = Word(record, 1 + std::size_t(i));
            if (count < 0) return true;
            counts.push_back(count);
            total += std::size_t(count);
        }
        if (1 + std::size_t(polygons) + 2 * total > words) break;
        P.PolyPolygon(Points(record, 1 + std::size_t(polygons), total), counts);
        break;
    }
    case META_SAVEDC: P.SaveState(); break;
    case META_RESTOREDC: P.RestoreState(Word(record, 0)); break;
    case META_INTERSECTCLIPRECT:
        P.IntersectClip(Word(record, 3), Word(record, 2), Word(record, 1), Word(record, 0));
        break;
    case META_EXCLUDECLIPRECT: P.ExcludeClip(Word(record, 3), Word(record, 2), Word(record, 1), Word(record, 0)); break;
    case META_OFFSETCLIPRGN: P.OffsetClip(Word(record, 1), Word(record, 0)); break;
    case META_CREATEPENINDIRECT: {
        TMetaObject object;
        object.Kind = TMetaObject::okPen;
        object.Pen.Style = std::uint16_t(Word(record, 0));
        object.Pen.Width = Word(record, 1);
        object.Pen.Color = Colour(record, 3);
        Create(object);
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        TMetaObject object;
        object.Kind = TMetaObject::okBrush;
        const int style = Word(record, 0);
        object.Brush.Hollow = style == 1;
        object.Brush.Color = Colour(record, 1);
        if (style == 2) object.Brush.Hatch = std::clamp(int(Word(record, 3)), 0, 5);
        Create(object);
        break;
    }
    case META_DIBCREATEPATTERNBRUSH: case META_CREATEPATTERNBRUSH: {
        TMetaObject object;
        object.Kind = TMetaObject::okBrush;
        object.Brush.Color = RGB(128, 128, 128);
        // The DIB form has style and usage words first; the old form a Bitmap16 and 18 bytes of padding.
        if (auto pattern = function == META_DIBCREATEPATTERNBRUSH ? Dib(record, 10) : Bitmap16(record, 6))
            object.Brush.Pattern = std::move(*pattern);
        Create(object);
        break;
    }
    case META_CREATEFONTINDIRECT: {
        TMetaObject object;
        object.Kind = TMetaObject::okFont;
        object.Font.Height = Word(record, 0);
        object.Font.Escapement = Word(record, 2);
        object.Font.Weight = Word(record, 4);
        object.Font.Italic = record.U8(16) != 0;
        object.Font.Underline = record.U8(17) != 0;
        object.Font.StrikeOut = record.U8(18) != 0;
        object.Font.Charset = record.U8(19);
        object.Font.Face =
            FaceName(record.Bytes(24, std::min<std::size_t>(32, record.Size() > 24 ? record.Size() - 24 : 0)));
        Create(object);
        break;
    }
    case META_CREATEREGION: {
        TMetaObject object;
        object.Kind = TMetaObject::okRegion;
        object.Region = RegionRects(record);
        Create(object);
        break;
    }
    case META_CREATEPALETTE: Create({}); break;
    case META_SELECTOBJECT: {
        const std::size_t index = std::uint16_t(Word(record, 0));
        if (index >= FObjects.size() || !FObjects[index]) break;
        const TMetaObject& object = *FObjects[index];
        if (object.Kind == TMetaObject::okPen) P.SetPen(object.Pen);
        else if (object.Kind == TMetaObject::okBrush) P.SetBrush(object.Brush);
        else if (object.Kind == TMetaObject::okFont) {
            P.SetFont(object.Font);
            FCharset = object.Font.Charset;
        } else if (object.Kind == TMetaObject::okRegion) {
            P.SelectClipLogical(object.Region, RGN_COPY);
        }
        break;
    }
    case META_SELECTCLIPREGION: {
        const TMetaObject* object = Object(std::uint16_t(Word(record, 0)), TMetaObject::okRegion);
        if (object) P.SelectClipLogical(object->Region, RGN_COPY);
        else P.SelectClipDevice(std::nullopt, RGN_COPY);
        break;
    }
    case META_FILLREGION: case META_FRAMEREGION: {
        const TMetaObject* region = Object(std::uint16_t(Word(record, 0)), TMetaObject::okRegion);
        const TMetaObject* brush = Object(std::uint16_t(Word(record, 1)), TMetaObject::okBrush);
        if (!region || !brush) break;
        if (function == META_FILLREGION) P.FillRegion(region->Region, brush->Brush);
        else P.FrameRegion(region->Region, brush->Brush, Word(record, 3), Word(record, 2));
        break;
    }
    case META_INVERTREGION: case META_PAINTREGION: {
        const TMetaObject* region = Object(std::uint16_t(Word(record, 0)), TMetaObject::okRegion);
        if (!region) break;
        if (function == META_INVERTREGION) P.InvertRegion(region->Region);
        else P.PaintRegion(region->Region);
        break;
    }
    case META_DELETEOBJECT: {
        const std::size_t index = std::uint16_t(Word(record, 0));
        if (index < FObjects.size()) FObjects[index].reset();
        break;
    }
    case META_TEXTOUT: {
        const int count = Word(record, 0);
        const std::size_t padded = (std::size_t(std::max(count, 0)) + 1) / 2;
        if (count <= 0 || 1 + padded + 2 > words) break;
        const std::u32string text = DecodeAnsiText(record.Bytes(8, std::size_t(count)), FCharset);
        P.TextOut(Word(record, 1 + padded + 1), Word(record, 1 + padded), text, {}, 0, std::nullopt);
        break;
    }
    case META_EXTTEXTOUT: Text(record, words); break;
    case META_PATBLT:
        P.Blit(Word(record, 5), Word(record, 4), Word(record, 3), Word(record, 2), nullptr, 0, 0, 0, 0, record.U32(6));
        break;
    case META_BITBLT: case META_DIBBITBLT: {
        // Without a bitmap a reserved word follows the source position and only the pattern is used.
        if (words == 9) {
            P.Blit(Word(record, 8), Word(record, 7), Word(record, 6), Word(record, 5), nullptr, 0, 0, 0, 0,
                   record.U32(6));
            break;
        }
        // rop, ySrc, xSrc, height, width, yDest, xDest, bitmap
        DibBlit(record, record.U32(6), Word(record, 3), Word(record, 2), Word(record, 5), Word(record, 4),
                Word(record, 7), Word(record, 6), Word(record, 5), Word(record, 4), 8, function == META_BITBLT);
        break;
    }
    case META_STRETCHBLT: case META_DIBSTRETCHBLT: {
        if (words == 11) {
            P.Blit(Word(record, 10), Word(record, 9), Word(record, 8), Word(record, 7), nullptr, 0, 0, 0, 0,
                   record.U32(6));
            break;
        }
        // rop, srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, bitmap
        DibBlit(record, record.U32(6), Word(record, 5), Word(record, 4), Word(record, 3), Word(record, 2),
                Word(record, 9), Word(record, 8), Word(record, 7), Word(record, 6), 10, function == META_STRETCHBLT);
        break;
    }
    case META_STRETCHDIB:  // rop, usage, srcH, srcW, ySrc, xSrc, destH, destW, yDest, xDest, bitmap
        DibBlit(record, record.U32(6), Word(record, 6), Word(record, 5), Word(record, 4), Word(record, 3),
                Word(record, 10), Word(record, 9), Word(record, 8), Word(record, 7), 11, false);
        break;
    case META_SETDIBTODEV:  // usage, scans, start, yDib, xDib, height, width, yDest, xDest, bitmap
        DibBlit(record, SRCCOPY, Word(record, 4), Word(record, 3), Word(record, 6), Word(record, 5), Word(record, 8),
                Word(record, 7), Word(record, 6), Word(record, 5), 9, false);
        break;
    default: FReport.Skip(function); break;
    }
    return true;
}

// The logical bounds of what a plain metafile draws, for one that sets no window.
std::optional<TRect> DrawingBounds(std::span<const std::uint8_t> data, std::size_t start)
{
    std::optional<TRect> box;
    const auto add = [&](int x, int y) {
        if (!box) box = TRect{x, y, x, y};
        else
            box =
                TRect{std::min(box->Left, x), std::min(box->Top, y), std::max(box->Right, x), std::max(box->Bottom, y)};
    };
    ForEachRecord(data, start, [&](std::uint16_t function, TRecordReader& record, std::size_t size) {
        const auto word = [&](std::size_t i) { return int(record.I16(6 + 2 * i)); };
        const std::size_t words = size / 2;
        switch (function) {
        case META_MOVETO: case META_LINETO: add(word(1), word(0)); break;
        case META_RECTANGLE: case META_ELLIPSE: case META_INTERSECTCLIPRECT:
            add(word(3), word(2));
            add(word(1), word(0));
            break;
        case META_ROUNDRECT: add(word(5), word(4)); add(word(3), word(2)); break;
        case META_ARC: case META_PIE: case META_CHORD: add(word(7), word(6)); add(word(5), word(4)); break;
        case META_TEXTOUT: case META_EXTTEXTOUT: break;
        case META_POLYGON: case META_POLYLINE: {
            const int count = word(0);
            for (int i = 0; i < count && std::size_t(2 * i + 2) < words + 1; ++i)
                add(word(1 + 2 * std::size_t(i)), word(2 + 2 * std::size_t(i)));
            break;
        }
        case META_POLYPOLYGON: {
            const int polygons = word(0);
            std::size_t total = 0;
            for (int i = 0; i < polygons && std::size_t(i) + 1 < words; ++i)
                total += std::size_t(std::max(0, word(1 + std::size_t(i))));
            const std::size_t at = 1 + std::size_t(std::max(0, polygons));
            for (std::size_t i = 0; i < total && at + 2 * i + 1 < words; ++i)
                add(word(at + 2 * i), word(at + 2 * i + 1));
            break;
        }
        default: break;
        }
        return true;
    });
    if (box && (box->Right <= box->Left || box->Bottom <= box->Top)) return std::nullopt;
    return box;
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
        // Without bounds the window extent gives the size, in pixels; without
        // a window, the bounds of what the records draw.
        TPoint org, ext;
        if (FindWindow(data, layout.Records, org, ext)) {
            h.Width = std::abs(ext.X);
            h.Height = std::abs(ext.Y);
        } else if (const auto box = DrawingBounds(data, layout.Records)) {
            h.Width = box->Width();
            h.Height = box->Height();
        } else {
            throw EInvalidGraphic("Metafile has no size");
        }
    }
    if (h.Width <= 0 || h.Height <= 0 || h.Width > MaxMetafileSide || h.Height > MaxMetafileSide)
        throw EInvalidGraphic("Metafile size out of range");
    return h;
}

TPlaybackReport PlayWmf(std::span<const std::uint8_t> data, TCanvas& canvas, const TRect& target)
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
        } else if (const auto box = DrawingBounds(data, layout.Records)) {
            player.SetWindowOrg(box->Left, box->Top);
            player.SetWindowExt(box->Width(), box->Height());
        }
    }
    TPlaybackReport report;
    TWmfPlayback playback(player, layout.Objects, report);
    ForEachRecord(data, layout.Records, [&](std::uint16_t function, TRecordReader& record, std::size_t size) {
        ++report.Records;
        return playback.Record(function, record, size);
    });
    return report;
}
