#include "platform/graphics/DeviceContext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/graphics/BitmapFormats.h"
#include "platform/graphics/GdiHandles.h"
#include "platform/graphics/Raster.h"
#include "platform/graphics/TCanvas.h"

namespace {

std::vector<PALETTEENTRY> MakeDefaultPalette()
{
    // The 20 static colours of the platform's system palette.
    static constexpr BYTE rgb[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
    };
    std::vector<PALETTEENTRY> entries;
    for (const auto& c : rgb) entries.push_back({c[0], c[1], c[2], 0});
    return entries;
}

// The same table as the default palette of 8-bit bitmaps, so that a bitmap
// and the half-tone palette agree.
std::vector<PALETTEENTRY> MakeHalftonePalette()
{
    std::vector<PALETTEENTRY> entries;
    for (const TRGBQuad& q : bitmap_detail::DefaultPalette(pf8bit))
        entries.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
    return entries;
}

// Never destroyed: canvases held by other static objects may unregister their
// contexts while the program ends.
struct THandleTable {
    std::mutex Lock;
    std::unordered_map<const TGdiObject*, std::unique_ptr<TGdiObject>> Owned;
    std::unordered_set<const TGdiObject*> Borrowed;
    std::unordered_set<const TGdiObject*> Stock;
    std::array<std::unique_ptr<TGdiBrush>, 6> StockBrushes;
    std::unique_ptr<TGdiPalette> DefaultPalette;
    std::unique_ptr<TGdiBitmap> DefaultBitmap;
    std::unique_ptr<TDeviceContext> Screen;

    THandleTable()
    {
        static constexpr TColor brushColors[6] = {clWhite, RGB(192, 192, 192), RGB(128, 128, 128),
                                                  RGB(64, 64, 64), clBlack, clBlack};
        for (int i = 0; i < 6; ++i) {
            StockBrushes[i] = std::make_unique<TGdiBrush>(brushColors[i], i == NULL_BRUSH);
            Stock.insert(StockBrushes[i].get());
        }
        DefaultPalette = std::make_unique<TGdiPalette>(MakeDefaultPalette());
        Stock.insert(DefaultPalette.get());
        DefaultBitmap = std::make_unique<TGdiBitmap>(1, 1, pf1bit);
        Stock.insert(DefaultBitmap.get());
        Screen = std::make_unique<TDeviceContext>(TDeviceContext::dkScreen);
        Stock.insert(Screen.get());
    }

    bool Known(const TGdiObject* object) const
    {
        return object && (Owned.count(object) || Borrowed.count(object) || Stock.count(object));
    }
};

THandleTable& Table()
{
    static THandleTable* table = new THandleTable;
    return *table;
}

template <class T>
T* Lookup(const TGdiObject* object)
{
    THandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    if (!table.Known(object)) return nullptr;
    return dynamic_cast<T*>(const_cast<TGdiObject*>(object));
}

template <class T>
T* Adopt(std::unique_ptr<T> object)
{
    T* raw = object.get();
    THandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    table.Owned.emplace(raw, std::move(object));
    return raw;
}

TColor Resolve(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }

// The combined scale of a context's mapping, as numerator/denominator pairs.
struct TScale {
    double X = 1;
    double Y = 1;
};

TScale MappingScale(const TDeviceContext& dc)
{
    const double ppi = ScreenPixelsPerInch;
    switch (dc.MapMode) {
    case MM_LOMETRIC: return {ppi / 254.0, -ppi / 254.0};
    case MM_HIMETRIC: return {ppi / 2540.0, -ppi / 2540.0};
    case MM_LOENGLISH: return {ppi / 100.0, -ppi / 100.0};
    case MM_HIENGLISH: return {ppi / 1000.0, -ppi / 1000.0};
    case MM_TWIPS: return {ppi / 1440.0, -ppi / 1440.0};
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: {
        if (dc.WindowExt.cx == 0 || dc.WindowExt.cy == 0) return {1, 1};
        TScale s{double(dc.ViewportExt.cx) / dc.WindowExt.cx, double(dc.ViewportExt.cy) / dc.WindowExt.cy};
        if (dc.MapMode == MM_ISOTROPIC) {
            // Isotropic: both axes take the smaller magnitude, keeping their signs.
            const double m = std::min(std::fabs(s.X), std::fabs(s.Y));
            s.X = std::copysign(m, s.X);
            s.Y = std::copysign(m, s.Y);
        }
        return s;
    }
    default: return {1, 1};
    }
}

int RoundToInt(double v)
{
    if (v > 2147483647.0) return 2147483647;
    if (v < -2147483648.0) return -2147483647 - 1;
    return int(std::lround(v));
}

// The pixels a blit touches, in device coordinates of each context.
struct TBlitArea {
    int X, Y, W, H;
};

TBlitArea MapArea(const TDeviceContext& dc, int x, int y, int w, int h)
{
    if (dc.MapMode == MM_TEXT && dc.WindowOrg == TPoint{} && dc.ViewportOrg == TPoint{}) return {x, y, w, h};
    const TPoint a = LogicalToDevice(dc, {x, y});
    const TPoint b = LogicalToDevice(dc, {x + w, y + h});
    return {a.X, a.Y, b.X - a.X, b.Y - a.Y};
}

// Normalises a signed extent to a positive one; returns whether it was negative.
bool Normalise(int& pos, int& extent)
{
    if (extent >= 0) return false;
    pos += extent;
    extent = -extent;
    return true;
}

struct TBlitSpec {
    std::uint8_t ForeRop = 0xCC;  // where the mask bit is 1 (or no mask)
    std::uint8_t BackRop = 0xCC;  // where the mask bit is 0
    TBitmap* Mask = nullptr;
    int MaskX = 0;
    int MaskY = 0;
};

TColor PatternOf(const TDeviceContext& dc)
{
    if (dc.Kind() == TDeviceContext::dkCanvas && !dc.SelectedBrush) {
        const TBrush& brush = dc.Canvas()->Brush();
        return brush.Style() == bsClear ? clWhite : Resolve(brush.Color());
    }
    if (!dc.SelectedBrush || dc.SelectedBrush->Hollow()) return clWhite;
    return Resolve(dc.SelectedBrush->Color());
}

// SRCCOPY, SRCAND, SRCPAINT or SRCINVERT of `count` bytes.
void CombineBytes(std::uint8_t rop, std::uint8_t* dest, const std::uint8_t* source, std::size_t count)
{
    switch (rop) {
    case 0x88: for (std::size_t i = 0; i < count; ++i) dest[i] &= source[i]; return;
    case 0xEE: for (std::size_t i = 0; i < count; ++i) dest[i] |= source[i]; return;
    case 0x66: for (std::size_t i = 0; i < count; ++i) dest[i] ^= source[i]; return;
    default: std::memcpy(dest, source, count); return;
    }
}

// The destination columns First..Last-1 whose source lies inside the source
// bitmap, and their source columns. They are one run, as the sampling is
// monotonic; the other columns are left as they are.
struct TColumnRun {
    int First = 0;
    int Last = 0;
    std::vector<int> Columns;
};

TColumnRun SourceColumns(const TRect& area, int targetLeft, const TBlitArea& s, int destWidth, bool mirror,
                         int originX, int sourceWidth)
{
    std::vector<int> columns;
    columns.reserve(std::size_t(area.Width()));
    for (int px = area.Left; px < area.Right; ++px) {
        int si = int(static_cast<long long>(px - targetLeft) * s.W / destWidth);
        if (mirror) si = s.W - 1 - si;
        columns.push_back(s.X + si + originX);
    }
    const auto inside = [&](int px) {
        const int sx = columns[std::size_t(px - area.Left)];
        return sx >= 0 && sx < sourceWidth;
    };
    int first = area.Left, last = area.Right;
    while (first < last && !inside(first)) ++first;
    while (last > first && !inside(last - 1)) --last;
    columns.erase(columns.begin() + (last - area.Left), columns.end());
    columns.erase(columns.begin(), columns.begin() + (first - area.Left));
    return {first, last, std::move(columns)};
}

// The general blit, a row at a time: a source row is sampled once through
// the column map for every destination row that shows it, its colours
// converted between colour and monochrome, then combined run by run with the
// destination by the raster operation, pixel for pixel as ApplyRop3 does.
struct TRowBlit {
    enum TConversion { cvNone, cvMonoToColour, cvColourToMono };

    TRowBlit(TPixelView& dest, TPixelView* source, TPixelView* mask, const TBlitSpec& spec)
        : Dest(dest), Source(source), Mask(mask), Spec(spec)
    {
    }

    TPixelView& Dest;
    TPixelView* Source;
    TPixelView* Mask;
    const TBlitSpec& Spec;
    TColor Pattern = 0;
    TConversion Conversion = cvNone;
    TColor MonoToColour[2] = {0, 0};  // the destination's text and background colours
    TColor SourceKey = 0;             // the source colour that gives white on monochrome
    std::vector<int> Columns;         // source columns of the destination columns First..
    int First = 0;
    int TargetLeft = 0;
    std::vector<TColor> SourceRow, DestRow, MaskRow, ForeRow;
    int SourceY = -1;

    void Start(int first, int count, const TRect& target)
    {
        First = first;
        TargetLeft = target.Left;
        SourceRow.assign(std::size_t(count), 0);
        DestRow.resize(std::size_t(count));
        if (Mask) {
            MaskRow.resize(std::size_t(count));
            ForeRow.resize(std::size_t(count));
        }
    }

    void ReadSource(int y)
    {
        if (y == SourceY) return;
        SourceY = y;
        Source->ReadRow(y, Columns, SourceRow.data());
        if (Conversion == cvMonoToColour)
            for (TColor& c : SourceRow) c = c ? MonoToColour[1] : MonoToColour[0];
        else if (Conversion == cvColourToMono)
            for (TColor& c : SourceRow) c = c == SourceKey ? 0xFFFFFF : 0;
    }

    // Destination pixels a..b-1 of row y, row j of the blit.
    void Run(int y, int j, int a, int b)
    {
        const int n = b - a;
        const TColor* s = SourceRow.data() + (a - First);
        TColor* d = DestRow.data();
        const std::span<TColor> dest(d, std::size_t(n));
        if (Mask) {
            Dest.ReadRow(y, a, dest);
            Mask->ReadRow(Spec.MaskY + j, Spec.MaskX + (a - TargetLeft), std::span(MaskRow.data(), std::size_t(n)));
            std::copy_n(d, n, ForeRow.data());
            ApplyRop3Row(Spec.ForeRop, Pattern, s, ForeRow.data(), n);
            ApplyRop3Row(Spec.BackRop, Pattern, s, d, n);
            for (int i = 0; i < n; ++i)
                if (MaskRow[std::size_t(i)]) d[i] = ForeRow[std::size_t(i)];
        } else {
            if (RopUsesDest(Spec.ForeRop)) Dest.ReadRow(y, a, dest);
            ApplyRop3Row(Spec.ForeRop, Pattern, s, d, n);
        }
        Dest.WriteRow(y, a, dest);
    }
};

BOOL Blit(TDeviceContext& dest, TBlitArea d, TDeviceContext* source, TBlitArea s, const TBlitSpec& spec,
          TColor pattern)
{
    const bool usesSource = RopUsesSource(spec.ForeRop) || RopUsesSource(spec.BackRop) || spec.Mask;
    if (usesSource && !source) return FALSE;
    const TSurface ds = dest.Surface();
    if (!ds.Bitmap || d.W == 0 || d.H == 0) return TRUE;
    TSurface ss;
    if (usesSource) {
        ss = source->Surface();
        if (!ss.Bitmap) return TRUE;
        if (s.W == 0 || s.H == 0) return TRUE;
    }
    const bool mirrorX = Normalise(d.X, d.W) != (usesSource && Normalise(s.X, s.W));
    const bool mirrorY = Normalise(d.Y, d.H) != (usesSource && Normalise(s.Y, s.H));
    if (spec.Mask) {
        // The mask is not stretched: it must cover the whole area.
        if (spec.MaskX < 0 || spec.MaskY < 0 || spec.MaskX + d.W > spec.Mask->Width() ||
            spec.MaskY + d.H > spec.Mask->Height())
            return FALSE;
    }

    TPixelView dv(*ds.Bitmap);
    const TRect target{d.X + ds.Origin.X, d.Y + ds.Origin.Y, d.X + ds.Origin.X + d.W, d.Y + ds.Origin.Y + d.H};
    const TRect area = IntersectRect(target, ds.Clip);
    if (area.IsEmpty()) return TRUE;

    // A source that is the destination bitmap is read from a copy, so that
    // overlapping areas come out as if copied at once.
    std::unique_ptr<TBitmap> sourceCopy;
    TBitmap* sourceBitmap = ss.Bitmap;
    if (usesSource && ss.Bitmap == ds.Bitmap) {
        sourceCopy = std::make_unique<TBitmap>();
        sourceCopy->Assign(*ss.Bitmap);
        sourceBitmap = sourceCopy.get();
    }
    std::unique_ptr<TPixelView> sv;
    if (usesSource) sv = std::make_unique<TPixelView>(*sourceBitmap);
    std::unique_ptr<TPixelView> mv;
    if (spec.Mask) mv = std::make_unique<TPixelView>(*spec.Mask);

    // Plain copies between bitmaps of one direct-colour layout move whole
    // rows; between 24-bit bitmaps, the operations that work bit by bit on
    // source and destination alone go byte by byte.
    const TPixelFormat df = ds.Bitmap->PixelFormat();
    const TPixelFormat sf = usesSource ? sourceBitmap->PixelFormat() : pfCustom;
    const auto rgb24 = [](TPixelFormat f) { return f == pf24bit || f == pfDevice; };
    const std::uint8_t rop = spec.ForeRop;
    const bool bytewise = rop == 0xCC || (rgb24(df) && (rop == 0x88 || rop == 0xEE || rop == 0x66));
    if (usesSource && !ds.Region && !spec.Mask && bytewise && !mirrorX && !mirrorY && s.W == d.W && s.H == d.H &&
        ((rgb24(df) && rgb24(sf)) || (df == pf32bit && sf == pf32bit))) {
        const int bytes = rgb24(df) ? 3 : 4;
        const int x0 = s.X + ss.Origin.X + (area.Left - target.Left);
        int left = area.Left, right = area.Right;
        // Columns whose source lies outside the source bitmap stay as they are.
        if (x0 < 0) left -= x0;
        right = std::min(right, left + (sourceBitmap->Width() - std::max(x0, 0)));
        if (left < right) {
            for (int py = area.Top; py < area.Bottom; ++py) {
                const int sy = s.Y + ss.Origin.Y + (py - target.Top);
                if (sy < 0 || sy >= sourceBitmap->Height()) continue;
                const int sx = s.X + ss.Origin.X + (left - target.Left);
                CombineBytes(rop, ds.Bitmap->ScanLine(py) + std::size_t(left) * bytes,
                             sourceBitmap->ScanLine(sy) + std::size_t(sx) * bytes, std::size_t(right - left) * bytes);
            }
        }
        return TRUE;
    }

    TRowBlit rows(dv, sv.get(), mv.get(), spec);
    rows.Pattern = dv.Mono() ? ColorToMono(pattern) : pattern;
    if (sv && sv->Mono() && !dv.Mono()) {
        rows.Conversion = TRowBlit::cvMonoToColour;
        rows.MonoToColour[0] = Resolve(dest.TextColor);
        rows.MonoToColour[1] = Resolve(dest.BkColor);
    } else if (sv && !sv->Mono() && dv.Mono()) {
        rows.Conversion = TRowBlit::cvColourToMono;
        rows.SourceKey = Resolve(source->BkColor);
    }
    int first = area.Left, last = area.Right;
    if (usesSource) {
        TColumnRun run = SourceColumns(area, target.Left, s, d.W, mirrorX, ss.Origin.X, sv->Width());
        first = run.First;
        last = run.Last;
        rows.Columns = std::move(run.Columns);
    }
    if (first >= last) return TRUE;
    rows.Start(first, last - first, target);
    for (int py = area.Top; py < area.Bottom; ++py) {
        const int j = py - target.Top;
        if (usesSource) {
            int sj = int(static_cast<long long>(j) * s.H / d.H);
            if (mirrorY) sj = s.H - 1 - sj;
            const int sy = s.Y + sj + ss.Origin.Y;
            if (sy < 0 || sy >= sv->Height()) continue;
            rows.ReadSource(sy);
        }
        if (ds.Region) ds.Region->ForEachSpan(py, first, last, [&](int a, int b) { rows.Run(py, j, a, b); });
        else rows.Run(py, j, first, last);
    }
    return TRUE;
}

}  // namespace

TGdiBitmap::TGdiBitmap(int width, int height, TPixelFormat format)
    : FOwned(std::make_unique<TBitmap>(width, height, format)), FBitmap(FOwned.get())
{
    if (format == pf1bit) FBitmap->SetPalette({ColorToQuad(clBlack), ColorToQuad(clWhite)});
}

TDeviceContext::TDeviceContext(TKind kind, TCanvas* canvas) : FKind(kind), FCanvas(canvas)
{
    if (kind == dkMemory) {
        THandleTable& table = Table();
        SelectedBitmap = table.DefaultBitmap.get();
        SelectedPalette = table.DefaultPalette.get();
        SelectedBrush = table.StockBrushes[WHITE_BRUSH].get();
    } else if (kind == dkCanvas) {
        SelectedPalette = Table().DefaultPalette.get();
    }
}

TDeviceContext::~TDeviceContext() = default;

TSurface TDeviceContext::Surface() const
{
    switch (FKind) {
    case dkMemory: {
        TBitmap& b = SelectedBitmap->Bitmap();
        return {&b, {}, Rect(0, 0, b.Width(), b.Height())};
    }
    case dkCanvas: return {&FCanvas->Target(), FCanvas->Origin(), FCanvas->ClipRect(), FCanvas->ClipRegion()};
    default: return {};
    }
}

void RegisterBorrowedHandle(TGdiObject* object)
{
    THandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    table.Borrowed.insert(object);
}

void UnregisterBorrowedHandle(TGdiObject* object)
{
    THandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    table.Borrowed.erase(object);
}

TPoint LogicalToDevice(const TDeviceContext& dc, TPoint p)
{
    const TScale s = MappingScale(dc);
    return {RoundToInt((double(p.X) - dc.WindowOrg.X) * s.X + dc.ViewportOrg.X),
            RoundToInt((double(p.Y) - dc.WindowOrg.Y) * s.Y + dc.ViewportOrg.Y)};
}

TPoint DeviceToLogical(const TDeviceContext& dc, TPoint p)
{
    const TScale s = MappingScale(dc);
    return {RoundToInt((double(p.X) - dc.ViewportOrg.X) / s.X + dc.WindowOrg.X),
            RoundToInt((double(p.Y) - dc.ViewportOrg.Y) / s.Y + dc.WindowOrg.Y)};
}

HDC CreateCompatibleDC(HDC dc)
{
    if (dc && !Lookup<TDeviceContext>(dc)) return nullptr;
    return Adopt(std::make_unique<TDeviceContext>(TDeviceContext::dkMemory));
}

BOOL DeleteDC(HDC dc)
{
    std::unique_ptr<TGdiObject> doomed;
    THandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    auto it = table.Owned.find(dc);
    if (it == table.Owned.end() || dc->Kind() != TDeviceContext::dkMemory) return FALSE;
    dc->SelectedBitmap->SelectCount--;
    dc->SelectedPalette->SelectCount--;
    dc->SelectedBrush->SelectCount--;
    doomed = std::move(it->second);
    table.Owned.erase(it);
    return TRUE;
}

HDC GetDC(std::uint64_t) { return Table().Screen.get(); }

int ReleaseDC(std::uint64_t, HDC dc) { return dc == Table().Screen.get() ? 1 : 0; }

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    if (!Lookup<TDeviceContext>(dc) || !Lookup<TGdiObject>(object)) return nullptr;
    if (auto* bitmap = dynamic_cast<TGdiBitmap*>(object)) {
        if (dc->Kind() != TDeviceContext::dkMemory) return nullptr;
        TGdiBitmap* previous = dc->SelectedBitmap;
        previous->SelectCount--;
        bitmap->SelectCount++;
        dc->SelectedBitmap = bitmap;
        return previous;
    }
    if (auto* brush = dynamic_cast<TGdiBrush*>(object)) {
        TGdiBrush* previous = dc->SelectedBrush ? dc->SelectedBrush : Table().StockBrushes[WHITE_BRUSH].get();
        if (dc->SelectedBrush) dc->SelectedBrush->SelectCount--;
        brush->SelectCount++;
        dc->SelectedBrush = brush;
        return previous;
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ object)
{
    std::unique_ptr<TGdiObject> doomed;
    THandleTable& table = Table();
    std::lock_guard guard(table.Lock);
    auto it = table.Owned.find(object);
    if (it == table.Owned.end() || dynamic_cast<TDeviceContext*>(object)) return FALSE;
    if (auto* b = dynamic_cast<TGdiBitmap*>(object); b && b->SelectCount > 0) return FALSE;
    if (auto* p = dynamic_cast<TGdiPalette*>(object); p && p->SelectCount > 0) return FALSE;
    if (auto* b = dynamic_cast<TGdiBrush*>(object); b && b->SelectCount > 0) return FALSE;
    doomed = std::move(it->second);
    table.Owned.erase(it);
    return TRUE;
}

HGDIOBJ GetStockObject(int index)
{
    THandleTable& table = Table();
    if (index >= 0 && index <= NULL_BRUSH) return table.StockBrushes[index].get();
    if (index == DEFAULT_PALETTE) return table.DefaultPalette.get();
    return nullptr;
}

DWORD GetObjectType(HGDIOBJ object)
{
    TGdiObject* known = Lookup<TGdiObject>(object);
    return known ? known->ObjectType() : 0;
}

int GetObject(HGDIOBJ object, int size, void* buffer)
{
    if (!Lookup<TGdiObject>(object) || !buffer) return 0;
    if (auto* bitmap = dynamic_cast<TGdiBitmap*>(object)) {
        if (size < int(sizeof(BITMAP))) return 0;
        TBitmap& b = bitmap->Bitmap();
        BITMAP info;
        info.bmWidth = b.Width();
        info.bmHeight = b.Height();
        info.bmBitsPixel = WORD(b.BitCount());
        info.bmWidthBytes = ((b.Width() * b.BitCount() + 15) / 16) * 2;
        std::memcpy(buffer, &info, sizeof info);
        return int(sizeof info);
    }
    if (auto* palette = dynamic_cast<TGdiPalette*>(object)) {
        if (size < int(sizeof(WORD))) return 0;
        const WORD count = WORD(palette->Entries().size());
        std::memcpy(buffer, &count, sizeof count);
        return int(sizeof count);
    }
    return 0;
}

TBitmap* BitmapOfHandle(HBITMAP bitmap)
{
    return Lookup<TGdiBitmap>(bitmap) ? &bitmap->Bitmap() : nullptr;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (width < 0 || height < 0 || planes != 1) return nullptr;
    if (width == 0 || height == 0) return Adopt(std::make_unique<TGdiBitmap>(1, 1, pf1bit));
    TPixelFormat format;
    switch (bitsPerPixel) {
    case 1: format = pf1bit; break;
    case 24: format = pf24bit; break;
    case 32: format = pf32bit; break;
    default: return nullptr;
    }
    auto result = std::make_unique<TGdiBitmap>(width, height, format);
    if (bits) {
        TBitmap& b = result->Bitmap();
        const std::size_t rowBytes = ((std::size_t(width) * bitsPerPixel + 15) / 16) * 2;
        const std::size_t copy = std::min(rowBytes, b.RowBytes());
        const auto* source = static_cast<const std::uint8_t*>(bits);
        for (int y = 0; y < height; ++y) std::memcpy(b.ScanLine(y), source + rowBytes * std::size_t(y), copy);
    } else if (format == pf1bit) {
        // A new device bitmap is black.
        TBitmap& b = result->Bitmap();
        for (int y = 0; y < height; ++y) std::memset(b.ScanLine(y), 0, b.RowBytes());
    }
    return Adopt(std::move(result));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    if (!Lookup<TDeviceContext>(dc) || width < 0 || height < 0) return nullptr;
    if (width == 0 || height == 0) return Adopt(std::make_unique<TGdiBitmap>(1, 1, pf1bit));
    const TSurface s = dc->Surface();
    const bool mono = s.Bitmap && IsMonochromeBitmap(*s.Bitmap);
    return Adopt(std::make_unique<TGdiBitmap>(width, height, mono ? pf1bit : pf24bit));
}

HBITMAP CreateBitmapHandle(TBitmap& bitmap) { return Adopt(std::make_unique<TGdiBitmap>(bitmap)); }

HBRUSH CreateSolidBrush(COLORREF color) { return Adopt(std::make_unique<TGdiBrush>(color, false)); }

COLORREF SetBkColor(HDC dc, COLORREF color)
{
    if (!Lookup<TDeviceContext>(dc)) return CLR_INVALID;
    return std::exchange(dc->BkColor, color);
}

COLORREF GetBkColor(HDC dc) { return Lookup<TDeviceContext>(dc) ? dc->BkColor : CLR_INVALID; }

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    if (!Lookup<TDeviceContext>(dc)) return CLR_INVALID;
    return std::exchange(dc->TextColor, color);
}

COLORREF GetTextColor(HDC dc) { return Lookup<TDeviceContext>(dc) ? dc->TextColor : CLR_INVALID; }

int SetBkMode(HDC dc, int mode)
{
    if (!Lookup<TDeviceContext>(dc) || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->BkMode, mode);
}

int GetBkMode(HDC dc) { return Lookup<TDeviceContext>(dc) ? dc->BkMode : 0; }

int SetStretchBltMode(HDC dc, int mode)
{
    if (!Lookup<TDeviceContext>(dc) || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(dc->StretchMode, mode);
}

int GetStretchBltMode(HDC dc) { return Lookup<TDeviceContext>(dc) ? dc->StretchMode : 0; }

int SetMapMode(HDC dc, int mode)
{
    if (!Lookup<TDeviceContext>(dc) || mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
    const int previous = std::exchange(dc->MapMode, mode);
    if (mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC) {
        dc->WindowExt = {1, 1};
        dc->ViewportExt = {1, 1};
    }
    return previous;
}

int GetMapMode(HDC dc) { return Lookup<TDeviceContext>(dc) ? dc->MapMode : 0; }

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old)
{
    if (!Lookup<TDeviceContext>(dc)) return FALSE;
    if (old) *old = dc->WindowOrg;
    dc->WindowOrg = {x, y};
    return TRUE;
}

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old)
{
    if (!Lookup<TDeviceContext>(dc)) return FALSE;
    if (old) *old = dc->ViewportOrg;
    dc->ViewportOrg = {x, y};
    return TRUE;
}

// Extents only count in the two scalable modes, and never as 0.
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old)
{
    if (!Lookup<TDeviceContext>(dc)) return FALSE;
    if (old) *old = dc->WindowExt;
    if (dc->MapMode != MM_ISOTROPIC && dc->MapMode != MM_ANISOTROPIC) return TRUE;
    if (x == 0 || y == 0) return FALSE;
    dc->WindowExt = {x, y};
    return TRUE;
}

BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old)
{
    if (!Lookup<TDeviceContext>(dc)) return FALSE;
    if (old) *old = dc->ViewportExt;
    if (dc->MapMode != MM_ISOTROPIC && dc->MapMode != MM_ANISOTROPIC) return TRUE;
    if (x == 0 || y == 0) return FALSE;
    dc->ViewportExt = {x, y};
    return TRUE;
}

BOOL DPtoLP(HDC dc, POINT* points, int count)
{
    if (!Lookup<TDeviceContext>(dc) || (count > 0 && !points)) return FALSE;
    for (int i = 0; i < count; ++i) points[i] = DeviceToLogical(*dc, points[i]);
    return TRUE;
}

BOOL LPtoDP(HDC dc, POINT* points, int count)
{
    if (!Lookup<TDeviceContext>(dc) || (count > 0 && !points)) return FALSE;
    for (int i = 0; i < count; ++i) points[i] = LogicalToDevice(*dc, points[i]);
    return TRUE;
}

int GetDeviceCaps(HDC dc, int index)
{
    if (!Lookup<TDeviceContext>(dc)) return 0;
    switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return MulDiv(ScreenWidth, 254, ScreenPixelsPerInch * 10);
    case VERTSIZE: return MulDiv(ScreenHeight, 254, ScreenPixelsPerInch * 10);
    case HORZRES: return ScreenWidth;
    case VERTRES: return ScreenHeight;
    case BITSPIXEL: return 24;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY: return ScreenPixelsPerInch;
    case SIZEPALETTE: return 0;
    case NUMRESERVED: return 20;
    case COLORRES: return 24;
    default: return 0;
    }
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop)
{
    return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                DWORD rop)
{
    if (!Lookup<TDeviceContext>(dest)) return FALSE;
    if (source && !Lookup<TDeviceContext>(source)) return FALSE;
    TBlitSpec spec;
    spec.ForeRop = spec.BackRop = std::uint8_t(rop >> 16);
    const TBlitArea d = MapArea(*dest, x, y, width, height);
    const TBlitArea s = source ? MapArea(*source, sx, sy, sw, sh) : TBlitArea{0, 0, 0, 0};
    return Blit(*dest, d, source, s, spec, PatternOf(*dest));
}

BOOL PatBlt(HDC dest, int x, int y, int width, int height, DWORD rop)
{
    if (RopUsesSource(std::uint8_t(rop >> 16))) return FALSE;
    return StretchBlt(dest, x, y, width, height, nullptr, 0, 0, 0, 0, rop);
}

BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, HBITMAP mask, int mx,
             int my, DWORD rop4)
{
    if (!Lookup<TDeviceContext>(dest)) return FALSE;
    if (source && !Lookup<TDeviceContext>(source)) return FALSE;
    TBlitSpec spec;
    spec.ForeRop = std::uint8_t(rop4 >> 16);
    spec.BackRop = std::uint8_t(rop4 >> 24);
    if (mask) {
        if (!Lookup<TGdiBitmap>(mask) || mask->Bitmap().PixelFormat() != pf1bit) return FALSE;
        spec.Mask = &mask->Bitmap();
        spec.MaskX = mx;
        spec.MaskY = my;
    } else {
        spec.BackRop = spec.ForeRop;
    }
    const TBlitArea d = MapArea(*dest, x, y, width, height);
    const TBlitArea s = source ? MapArea(*source, sx, sy, width, height) : TBlitArea{0, 0, 0, 0};
    return Blit(*dest, d, source, s, spec, PatternOf(*dest));
}

HPALETTE CreatePalette(std::span<const PALETTEENTRY> entries)
{
    if (entries.empty() || entries.size() > 256 * 256) return nullptr;
    return Adopt(std::make_unique<TGdiPalette>(std::vector<PALETTEENTRY>(entries.begin(), entries.end())));
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries)
{
    if (!Lookup<TGdiPalette>(palette)) return 0;
    const auto& all = palette->Entries();
    if (!entries) return UINT(all.size());
    if (start >= all.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(all.size()) - start);
    std::copy_n(all.begin() + start, n, entries);
    return n;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries)
{
    if (!Lookup<TGdiPalette>(palette) || !entries) return 0;
    if (Table().Stock.count(palette)) return 0;
    auto& all = palette->Entries();
    if (start >= all.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(all.size()) - start);
    std::copy_n(entries, n, all.begin() + start);
    return n;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL)
{
    if (!Lookup<TDeviceContext>(dc) || !Lookup<TGdiPalette>(palette)) return nullptr;
    TGdiPalette* previous = dc->SelectedPalette;
    if (previous) previous->SelectCount--;
    palette->SelectCount++;
    dc->SelectedPalette = palette;
    return previous;
}

// A true-colour screen has no system palette to map into.
UINT RealizePalette(HDC dc) { return 0; }

HPALETTE CreateHalftonePalette(HDC dc)
{
    if (dc && !Lookup<TDeviceContext>(dc)) return nullptr;
    return CreatePalette(HalftonePaletteEntries());
}

std::span<const PALETTEENTRY> DefaultPaletteEntries()
{
    static const std::vector<PALETTEENTRY> entries = MakeDefaultPalette();
    return entries;
}

std::span<const PALETTEENTRY> HalftonePaletteEntries()
{
    static const std::vector<PALETTEENTRY> entries = MakeHalftonePalette();
    return entries;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors)
{
    if (!Lookup<TDeviceContext>(dc) || !colors) return 0;
    const TSurface s = dc->Surface();
    if (!s.Bitmap || s.Bitmap->BitCount() > 8) return 0;
    const auto& palette = s.Bitmap->Palette();
    if (start >= palette.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(palette.size()) - start);
    std::copy_n(palette.begin() + start, n, colors);
    return n;
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors)
{
    if (!Lookup<TDeviceContext>(dc) || !colors) return 0;
    const TSurface s = dc->Surface();
    if (!s.Bitmap || s.Bitmap->BitCount() > 8) return 0;
    if (dc->Kind() == TDeviceContext::dkMemory && dc->SelectedBitmap == Table().DefaultBitmap.get()) return 0;
    std::vector<TRGBQuad> palette = s.Bitmap->Palette();
    if (start >= palette.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(palette.size()) - start);
    std::copy_n(colors, n, palette.begin() + start);
    s.Bitmap->SetPalette(std::move(palette));
    return n;
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    // Round half away from zero: move the product away from zero by half the
    // divisor before the truncating division.
    const long long adjusted = product < 0 ? product - half : product + half;
    const long long result = adjusted / denominator;
    if (result > 2147483647LL || result < -2147483648LL) return -1;
    return int(result);
}
