// Every way the platform copies pixels between bitmaps, pinned to the pixels
// it drew when it went pixel by pixel: BitBlt, StretchBlt, MaskBlt and PatBlt
// through memory and canvas contexts, the canvas's StretchDraw and CopyRect.
// A table of cases crosses the raster operations with every pixel format as
// source and destination (palettes with repeated colours and indexes past
// their end among them), stretching up and down, mirrored and reversed
// rectangles, rectangles partly outside either bitmap, clip rectangles,
// regions, origins, mapping modes, masks and overlapping copies. Each case's
// pixels (every byte of the destination's pixels, the reserved byte of 32-bit
// pixels too) and answer are hashed into the lines of the record in
// tests/data/blit_pixels.txt that name its group: once by the pair of formats
// and once by the shape of the blit, so that a failing pair of lines points at
// the cases. BLIT_PIXELS_RECORD=1 rewrites the record, for a change that is
// meant to change what blits draw.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/TCanvas.h"

namespace {

const std::string RecordFile = GALLERY_SOURCE_DIR "/tests/data/blit_pixels.txt";

struct Format {
    const char* Name;
    TPixelFormat Pixels;
    std::vector<TRGBQuad> Palette;  // indexed formats
};

TRGBQuad Quad(int r, int g, int b) { return {std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 0}; }

// The colours direct formats are drawn from; the first is the sources'
// background colour, so colour-to-monochrome blits see both answers.
const TColor Colours[] = {RGB(200, 30, 60), RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 128, 255),
                          RGB(255, 255, 0), RGB(17, 34, 51)};

std::vector<TRGBQuad> Palette8()
{
    // 200 entries, so that indexes 200 to 255 lie past it, with repeats.
    std::vector<TRGBQuad> palette;
    for (int i = 0; i < 200; ++i)
        palette.push_back(i % 50 == 7 ? Quad(200, 30, 60) : Quad(i * 37 % 256, i * 91 % 256, 255 - i));
    return palette;
}

const std::vector<Format>& Formats()
{
    static const std::vector<Format> formats = {
        {"1", pf1bit, {Quad(0, 0, 0), Quad(255, 255, 255)}},
        {"1c", pf1bit, {Quad(200, 30, 60), Quad(0, 90, 250)}},
        {"4", pf4bit,
         {Quad(0, 0, 0), Quad(200, 30, 60), Quad(255, 255, 255), Quad(0, 128, 255), Quad(200, 30, 60),
          Quad(90, 90, 90), Quad(255, 255, 0), Quad(10, 250, 10), Quad(128, 0, 128), Quad(0, 0, 0),
          Quad(17, 34, 51), Quad(250, 128, 0)}},
        {"8", pf8bit, Palette8()},
        {"15", pf15bit, {}},
        {"16", pf16bit, {}},
        {"24", pf24bit, {}},
        {"32", pf32bit, {}},
        {"dev", pfDevice, {}},
    };
    return formats;
}

const Format& FormatNamed(const std::string& name)
{
    for (const Format& f : Formats())
        if (name == f.Name)
            return f;
    throw std::logic_error("no format " + name);
}

// Pixels from a seed: raw indexes for indexed formats (past the palette too),
// colours of the list for direct ones, and noise in 32-bit pixels' fourth byte.
std::unique_ptr<TBitmap> MakeBitmap(const Format& format, int width, int height, unsigned seed)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, format.Pixels);
    if (!format.Palette.empty())
        bitmap->SetPalette(format.Palette);
    unsigned state = seed * 2654435761u + 1;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            switch (format.Pixels) {
            case pf1bit:
            case pf4bit:
            case pf8bit: {
                const int bits = bitmap->BitCount();
                const unsigned index = next() % (1u << bits);
                const int shift = 8 - bits - (x * bits) % 8;
                std::uint8_t& b = row[x * bits / 8];
                b = std::uint8_t((b & ~(((1u << bits) - 1) << shift)) | (index << shift));
                break;
            }
            default:
                bitmap->SetPixel(x, y, Colours[next() % 6]);
                if (format.Pixels == pf32bit)
                    row[4 * x + 3] = std::uint8_t(next());
                break;
            }
        }
    }
    return bitmap;
}

std::uint64_t Fnv1a(std::uint64_t hash, const void* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<const std::uint8_t*>(data)[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// The bytes of every pixel of the bitmap (bits past the width left out).
std::uint64_t HashPixels(std::uint64_t hash, const TBitmap& bitmap)
{
    const int bits = bitmap.BitCount();
    const std::size_t whole = std::size_t(bitmap.Width()) * bits / 8;
    const int rest = int(std::size_t(bitmap.Width()) * bits % 8);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        hash = Fnv1a(hash, row, whole);
        if (rest) {
            const std::uint8_t last = std::uint8_t(row[whole] & (0xFF00 >> rest));
            hash = Fnv1a(hash, &last, 1);
        }
    }
    return hash;
}

// Each case's outcome goes into the two lines of its group.
class Record {
public:
    void Add(const std::string& byPair, const std::string& byShape, const TBitmap& result, BOOL answer)
    {
        for (const std::string& key : {byPair, byShape}) {
            auto [it, added] = FLines.try_emplace(key, 0xcbf29ce484222325ull);
            it->second = HashPixels(Fnv1a(it->second, &answer, sizeof answer), result);
        }
    }
    const std::map<std::string, std::uint64_t>& Lines() const { return FLines; }

private:
    std::map<std::string, std::uint64_t> FLines;
};

// A memory context over a bitmap the caller keeps.
struct BitmapDC {
    HBITMAP Handle;
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old;
    explicit BitmapDC(TBitmap& bitmap) : Handle(CreateBitmapHandle(bitmap)) { Old = SelectObject(DC, Handle); }
    ~BitmapDC()
    {
        SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Handle);
    }
};

// The state a destination context draws with: text and background colours
// for monochrome sources (one of them palette-relative), a brush.
struct DrawState {
    HBRUSH Brush = CreateSolidBrush(RGB(0x5A, 0xC3, 0x99));
    ~DrawState() { DeleteObject(Brush); }
    void Apply(HDC dest, HDC source)
    {
        SetTextColor(dest, RGB(10, 200, 30));
        SetBkColor(dest, RGB(250, 240, 5) | PaletteRelativeFlag);
        SelectObject(dest, Brush);
        if (source)
            SetBkColor(source, Colours[0]);
    }
    void Release(HDC dest) { SelectObject(dest, GetStockObject(WHITE_BRUSH)); }
};

constexpr int DestWidth = 19, DestHeight = 13, SourceWidth = 15, SourceHeight = 11;

struct Shape {
    const char* Name;
    int X, Y, W, H, SX, SY, SW, SH;
};

const Shape Shapes[] = {
    {"copy", 2, 1, 9, 7, 1, 2, 9, 7},
    {"stretch up", 1, 1, 17, 11, 2, 1, 7, 5},
    {"shrink", 2, 2, 6, 4, 0, 0, 15, 11},
    {"stretch one way, shrink the other", 0, 0, 19, 5, 1, 1, 13, 11},
    {"mirrored by the destination", 12, 1, -9, 7, 1, 1, 9, 7},
    {"mirrored by the source", 1, 1, 9, 7, 1, 8, 9, -7},
    {"mirrored both ways, stretched", 18, 12, -17, -12, 0, 0, 15, 11},
    {"both reversed: not mirrored", 14, 1, -9, 7, 10, 1, -9, 7},
    {"destination partly outside", -3, -2, 9, 7, 0, 0, 9, 7},
    {"destination partly beyond", 14, 10, 9, 7, 2, 2, 9, 7},
    {"source partly outside", 1, 1, 12, 9, -3, -2, 12, 9},
    {"source partly beyond", 1, 1, 12, 9, 8, 6, 12, 9},
    {"mirrored stretch, both partly outside", 18, -2, -15, 12, -1, 1, 8, 14},
    {"empty", 2, 2, 0, 5, 0, 0, 3, 3},
};

const DWORD NamedRops[] = {SRCCOPY,   SRCPAINT,  SRCAND,    SRCINVERT, SRCERASE,  NOTSRCCOPY,
                           NOTSRCERASE, MERGECOPY, MERGEPAINT, PATCOPY, PATPAINT, PATINVERT,
                           DSTINVERT, BLACKNESS, WHITENESS, 0x00AA0029, 0x00E20746, 0x00B8074A};

void BlitsBetweenFormats(Record& record)
{
    DrawState state;
    unsigned seed = 1;
    for (const Format& from : Formats())
        for (const Format& to : Formats())
            for (const Shape& shape : Shapes)
                for (const DWORD rop : NamedRops) {
                    auto source = MakeBitmap(from, SourceWidth, SourceHeight, ++seed);
                    auto dest = MakeBitmap(to, DestWidth, DestHeight, ++seed);
                    BitmapDC s(*source), d(*dest);
                    state.Apply(d.DC, s.DC);
                    const BOOL answer = StretchBlt(d.DC, shape.X, shape.Y, shape.W, shape.H, s.DC, shape.SX,
                                                   shape.SY, shape.SW, shape.SH, rop);
                    state.Release(d.DC);
                    record.Add(std::string("blit ") + from.Name + ">" + to.Name, std::string("blit, ") + shape.Name,
                               *dest, answer);
                }
}

void EveryRop3(Record& record)
{
    DrawState state;
    unsigned seed = 5000;
    for (const char* pair : {"24>24", "1>24", "24>1", "8>8", "1>1", "32>4", "16>1c"}) {
        const std::string text = pair;
        const Format& from = FormatNamed(text.substr(0, text.find('>')));
        const Format& to = FormatNamed(text.substr(text.find('>') + 1));
        for (int rop = 0; rop < 256; ++rop) {
            auto source = MakeBitmap(from, SourceWidth, SourceHeight, ++seed);
            auto dest = MakeBitmap(to, DestWidth, DestHeight, ++seed);
            BitmapDC s(*source), d(*dest);
            state.Apply(d.DC, s.DC);
            const BOOL answer = BitBlt(d.DC, 3, 2, 11, 9, s.DC, 1, 1, DWORD(rop) << 16);
            state.Release(d.DC);
            record.Add("rop3 " + text, "rop3, every code", *dest, answer);
        }
    }
}

void PatternBlits(Record& record)
{
    unsigned seed = 9000;
    for (const Format& to : Formats())
        for (const TColor brush : {RGB(0x5A, 0xC3, 0x99), RGB(40, 60, 80), RGB(200, 30, 60) | PaletteRelativeFlag})
            for (const DWORD rop : {PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS, DWORD(0x00A000C9),
                                    DWORD(0x000F0001), SRCCOPY}) {
                auto dest = MakeBitmap(to, DestWidth, DestHeight, ++seed);
                BitmapDC d(*dest);
                HBRUSH b = CreateSolidBrush(brush);
                SelectObject(d.DC, b);
                const BOOL answer = PatBlt(d.DC, -2, 3, 14, 20, rop);
                SelectObject(d.DC, GetStockObject(WHITE_BRUSH));
                DeleteObject(b);
                record.Add(std::string("pattern >") + to.Name, "pattern, every brush", *dest, answer);
            }
}

// A mask of the source's size; a coloured 1-bit mask reads as never 0.
std::unique_ptr<TBitmap> MakeMask(bool coloured, unsigned seed)
{
    return MakeBitmap(FormatNamed(coloured ? "1c" : "1"), SourceWidth, SourceHeight, seed);
}

void MaskBlits(Record& record)
{
    DrawState state;
    struct MaskShape {
        const char* Name;
        int X, Y, W, H, SX, SY, MX, MY;
        bool Coloured;
    };
    const MaskShape shapes[] = {
        {"mask", 2, 1, 9, 7, 1, 2, 3, 2, false},
        {"mask, destination partly outside", -2, -1, 9, 7, 0, 0, 0, 0, false},
        {"mask, source partly outside", 3, 3, 9, 7, -2, 6, 1, 1, false},
        {"mask, mirrored", 12, 1, -9, 7, 1, 2, 3, 2, false},
        {"mask past its bitmap", 2, 1, 9, 7, 1, 2, 7, 2, false},
        {"mask with a coloured palette", 2, 1, 9, 7, 1, 2, 3, 2, true},
        {"no mask", 2, 1, 9, 7, 1, 2, 0, 0, false},
    };
    const DWORD rops[] = {MakeROP4(0x00AA0029, SRCCOPY), MakeROP4(SRCCOPY, 0x00AA0029), MakeROP4(SRCPAINT, SRCAND),
                          MakeROP4(PATINVERT, NOTSRCCOPY), MakeROP4(0x00E20746, DSTINVERT)};
    unsigned seed = 20000;
    for (const Format& from : Formats())
        for (const Format& to : Formats())
            for (const MaskShape& shape : shapes)
                for (const DWORD rop : rops) {
                    auto source = MakeBitmap(from, SourceWidth, SourceHeight, ++seed);
                    auto dest = MakeBitmap(to, DestWidth, DestHeight, ++seed);
                    auto mask = MakeMask(shape.Coloured, ++seed);
                    BitmapDC s(*source), d(*dest), m(*mask);
                    state.Apply(d.DC, s.DC);
                    const bool none = std::string(shape.Name) == "no mask";
                    const BOOL answer = MaskBlt(d.DC, shape.X, shape.Y, shape.W, shape.H, s.DC, shape.SX, shape.SY,
                                                none ? nullptr : m.Handle, shape.MX, shape.MY, rop);
                    state.Release(d.DC);
                    record.Add(std::string("mask ") + from.Name + ">" + to.Name, std::string("mask, ") + shape.Name,
                               *dest, answer);
                }
}

// Canvas contexts: an origin, a clip rectangle and a clip region on the
// destination, an origin on the source.
void CanvasBlits(Record& record)
{
    DrawState state;
    struct CanvasCase {
        const char* Name;
        TPoint DestOrigin;
        TRect Clip;
        bool Region;
        TPoint SourceOrigin;
        bool Copy;  // source and destination one canvas
    };
    const CanvasCase cases[] = {
        {"origin", {3, -1}, {0, 0, 100, 100}, false, {0, 0}, false},
        {"clip rectangle", {0, 0}, {4, 2, 15, 10}, false, {0, 0}, false},
        {"clip region", {1, 1}, {0, 0, 100, 100}, true, {0, 0}, false},
        {"source origin", {0, 0}, {0, 0, 100, 100}, false, {-2, 3}, false},
        {"one canvas, overlapping", {0, 0}, {0, 0, 100, 100}, false, {0, 0}, true},
        {"one canvas, region", {0, 0}, {2, 0, 17, 13}, true, {0, 0}, true},
    };
    const TRect regionRects[] = {{0, 0, 7, 4}, {9, 0, 19, 4}, {3, 4, 15, 9}, {0, 11, 19, 13}};
    unsigned seed = 40000;
    for (const char* fromName : {"1", "8", "24", "32"})
        for (const char* toName : {"1", "4", "8", "16", "24", "32"})
            for (const CanvasCase& c : cases)
                for (const Shape& shape : {Shapes[0], Shapes[1], Shapes[4], Shapes[9], Shapes[12]})
                    for (const DWORD rop : {SRCCOPY, SRCAND, SRCPAINT, MERGECOPY, DWORD(0x00E20746)}) {
                        const Format& from = FormatNamed(fromName);
                        const Format& to = FormatNamed(toName);
                        if (c.Copy && &from != &to)
                            continue;
                        auto source = MakeBitmap(from, SourceWidth, SourceHeight, ++seed);
                        auto dest = MakeBitmap(to, DestWidth, DestHeight, ++seed);
                        TCanvas sourceCanvas(*source);
                        TCanvas canvas(*dest);
                        canvas.SetOrigin(c.DestOrigin);
                        canvas.SetClipRect(c.Clip);
                        if (c.Region)
                            canvas.SetClipRegion(TRegion::FromRects(regionRects));
                        sourceCanvas.SetOrigin(c.SourceOrigin);
                        HDC d = canvas.Handle();
                        HDC s = c.Copy ? d : sourceCanvas.Handle();
                        state.Apply(d, s);
                        const BOOL answer =
                            StretchBlt(d, shape.X, shape.Y, shape.W, shape.H, s, shape.SX, shape.SY, shape.SW,
                                       shape.SH, rop);
                        state.Release(d);
                        record.Add(std::string("canvas ") + fromName + ">" + toName,
                                   std::string("canvas, ") + c.Name, *dest, answer);
                    }
}

// Logical coordinates scaled and moved on either side.
void MappedBlits(Record& record)
{
    DrawState state;
    unsigned seed = 60000;
    for (const char* fromName : {"1", "8", "24"})
        for (const char* toName : {"1", "8", "24", "32"})
            for (int variant = 0; variant < 3; ++variant) {
                auto source = MakeBitmap(FormatNamed(fromName), SourceWidth, SourceHeight, ++seed);
                auto dest = MakeBitmap(FormatNamed(toName), DestWidth, DestHeight, ++seed);
                BitmapDC s(*source), d(*dest);
                if (variant != 1) {
                    SetMapMode(d.DC, MM_ANISOTROPIC);
                    SetWindowExtEx(d.DC, 10, 10, nullptr);
                    SetViewportExtEx(d.DC, 17, -13, nullptr);
                    SetViewportOrgEx(d.DC, 1, 12, nullptr);
                }
                if (variant != 0) {
                    SetMapMode(s.DC, MM_ISOTROPIC);
                    SetWindowOrgEx(s.DC, 2, 1, nullptr);
                    SetWindowExtEx(s.DC, 3, 2, nullptr);
                    SetViewportExtEx(s.DC, 2, 2, nullptr);
                }
                state.Apply(d.DC, s.DC);
                const BOOL answer = StretchBlt(d.DC, 0, 0, 9, 8, s.DC, 1, 1, 9, 8, SRCINVERT);
                state.Release(d.DC);
                record.Add(std::string("mapped ") + fromName + ">" + toName, "mapped, scaled and moved", *dest,
                           answer);
            }
}

// The canvas's StretchDraw and CopyRect.
void CanvasCopies(Record& record)
{
    struct DrawCase {
        const char* Name;
        TRect Rect;
        TPoint Origin;
        TRect Clip;
        bool Region;
        bool Keyed;
    };
    const DrawCase cases[] = {
        {"same size", {2, 1, 17, 12}, {0, 0}, {0, 0, 100, 100}, false, false},
        {"stretched up", {0, 0, 19, 13}, {0, 0}, {0, 0, 100, 100}, false, false},
        {"shrunk", {3, 3, 10, 8}, {0, 0}, {0, 0, 100, 100}, false, false},
        {"mirrored", {18, 12, 1, 0}, {0, 0}, {0, 0, 100, 100}, false, false},
        {"partly outside", {-5, 4, 10, 20}, {0, 0}, {0, 0, 100, 100}, false, false},
        {"origin and clip", {0, 0, 15, 11}, {4, -2}, {2, 1, 16, 11}, false, false},
        {"region", {1, 1, 18, 12}, {0, 0}, {0, 0, 100, 100}, true, false},
        {"transparent colour", {1, 1, 16, 12}, {0, 0}, {0, 0, 100, 100}, false, true},
        {"transparent colour, stretched and mirrored", {18, 0, 0, 13}, {0, 0}, {0, 0, 100, 100}, true, true},
    };
    const TRect regionRects[] = {{0, 0, 7, 4}, {9, 0, 19, 4}, {3, 4, 15, 9}, {0, 11, 19, 13}};
    unsigned seed = 70000;
    for (const Format& from : Formats())
        for (const Format& to : Formats())
            for (const DrawCase& c : cases) {
                auto source = MakeBitmap(from, SourceWidth, SourceHeight, ++seed);
                auto dest = MakeBitmap(to, DestWidth, DestHeight, ++seed);
                if (c.Keyed)
                    source->SetTransparent(true);
                TCanvas canvas(*dest);
                canvas.SetOrigin(c.Origin);
                canvas.SetClipRect(c.Clip);
                if (c.Region)
                    canvas.SetClipRegion(TRegion::FromRects(regionRects));
                canvas.StretchDraw(c.Rect, *source);
                record.Add(std::string("draw ") + from.Name + ">" + to.Name, std::string("draw, ") + c.Name, *dest,
                           TRUE);
            }
    for (const Format& format : Formats()) {
        // A bitmap drawn onto itself.
        auto bitmap = MakeBitmap(format, DestWidth, DestHeight, ++seed);
        bitmap->Canvas().StretchDraw(TRect{3, 2, 15, 20}, *bitmap);
        record.Add(std::string("draw ") + format.Name + " onto itself", "draw, onto itself", *bitmap, TRUE);
    }
    for (const char* fromName : {"1", "8", "24"})
        for (const char* toName : {"1", "8", "24", "32"})
            for (const TCopyMode mode : {cmSrcCopy, cmSrcAnd, cmNotSrcErase, cmMergeCopy, cmPatInvert}) {
                auto source = MakeBitmap(FormatNamed(fromName), SourceWidth, SourceHeight, ++seed);
                auto dest = MakeBitmap(FormatNamed(toName), DestWidth, DestHeight, ++seed);
                TCanvas from(*source), to(*dest);
                from.Brush().SetColor(Colours[0]);
                to.Brush().SetColor(RGB(40, 90, 200));
                to.Font().SetColor(RGB(250, 5, 100));
                to.SetCopyMode(mode);
                to.CopyRect(TRect{1, 2, 18, 10}, from, TRect{0, 1, 13, 9});
                record.Add(std::string("copyrect ") + fromName + ">" + toName, "copyrect, copy modes", *dest, TRUE);
            }
}

std::map<std::string, std::uint64_t> ReadRecord()
{
    std::map<std::string, std::uint64_t> record;
    std::ifstream in(RecordFile);
    std::string line;
    while (std::getline(in, line))
        if (const auto tab = line.rfind('\t'); tab != std::string::npos)
            record[line.substr(0, tab)] = std::stoull(line.substr(tab + 1), nullptr, 16);
    return record;
}

}  // namespace

TEST(BlitPixels, EveryBlitDrawsThePixelsOfTheRecord)
{
    Record record;
    BlitsBetweenFormats(record);
    EveryRop3(record);
    PatternBlits(record);
    MaskBlits(record);
    CanvasBlits(record);
    MappedBlits(record);
    CanvasCopies(record);
    if (std::getenv("BLIT_PIXELS_RECORD")) {
        std::ofstream out(RecordFile);
        for (const auto& [key, hash] : record.Lines()) {
            char text[24];
            std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
            out << key << '\t' << text << '\n';
        }
        GTEST_SKIP() << "record rewritten";
    }
    const auto expected = ReadRecord();
    ASSERT_FALSE(expected.empty()) << "no record at " << RecordFile;
    EXPECT_EQ(expected.size(), record.Lines().size());
    for (const auto& [key, hash] : record.Lines()) {
        const auto it = expected.find(key);
        if (it == expected.end())
            ADD_FAILURE() << "not in the record: " << key;
        else
            EXPECT_EQ(it->second, hash) << key;
    }
}
