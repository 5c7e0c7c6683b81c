#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

#include "canvas_test_support.h"
#include "platform/graphics/DeviceContext.h"

using namespace canvastest;

namespace {

// A memory context holding a new bitmap; both released at the end.
struct MemoryDC {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ previous;
    MemoryDC(int w, int h, int bits = 24) : bitmap(CreateBitmap(w, h, 1, bits, nullptr))
    {
        previous = SelectObject(dc, bitmap);
    }
    ~MemoryDC()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    TBitmap& Bits() { return *BitmapOfHandle(bitmap); }
};

TColor Grey(std::uint8_t v) { return RGB(v, v, v); }

}  // namespace

// With pattern 0xF0, source 0xCC and destination 0xAA in every channel, the
// result of a ROP3 is its own index byte: the whole truth table in one pixel.
TEST(RasterOps, EveryNamedOperationFollowsItsTruthTable)
{
    struct Case {
        const char* name;
        DWORD rop;
    };
    const Case cases[] = {
        {"SRCCOPY", SRCCOPY},       {"SRCPAINT", SRCPAINT},     {"SRCAND", SRCAND},
        {"SRCINVERT", SRCINVERT},   {"SRCERASE", SRCERASE},     {"NOTSRCCOPY", NOTSRCCOPY},
        {"NOTSRCERASE", NOTSRCERASE}, {"MERGECOPY", MERGECOPY}, {"MERGEPAINT", MERGEPAINT},
        {"PATCOPY", PATCOPY},       {"PATPAINT", PATPAINT},     {"PATINVERT", PATINVERT},
        {"DSTINVERT", DSTINVERT},   {"BLACKNESS", BLACKNESS},   {"WHITENESS", WHITENESS},
        {"0x00AA0029 (keep)", 0x00AA0029}, {"0x00E20746 (DSPDxax)", 0x00E20746},
        {"0x00B8074A (PSDPxax)", 0x00B8074A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryDC source(1, 1), dest(1, 1);
        source.Bits().SetPixel(0, 0, Grey(0xCC));
        dest.Bits().SetPixel(0, 0, Grey(0xAA));
        HBRUSH brush = CreateSolidBrush(Grey(0xF0));
        HGDIOBJ oldBrush = SelectObject(dest.dc, brush);
        ASSERT_TRUE(BitBlt(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, c.rop));
        const std::uint8_t index = std::uint8_t(c.rop >> 16);
        EXPECT_EQ(dest.Bits().Pixel(0, 0), Grey(index));
        SelectObject(dest.dc, oldBrush);
        EXPECT_TRUE(DeleteObject(brush));
    }
}

TEST(RasterOps, PatBltRefusesOperationsThatReadASource)
{
    MemoryDC dest(2, 2);
    EXPECT_FALSE(PatBlt(dest.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_TRUE(PatBlt(dest.dc, 0, 0, 2, 2, WHITENESS));
    EXPECT_EQ(dest.Bits().Pixel(1, 1), clWhite);
    EXPECT_TRUE(PatBlt(dest.dc, 0, 0, 1, 2, DSTINVERT));
    EXPECT_EQ(dest.Bits().Pixel(0, 1), clBlack);
    EXPECT_EQ(dest.Bits().Pixel(1, 1), clWhite);
}

TEST(RasterOps, ColourToMonochromeMarksTheSourceBackgroundColourWhite)
{
    MemoryDC source(3, 1), mono(3, 1, 1);
    source.Bits().SetPixel(0, 0, clRed);
    source.Bits().SetPixel(1, 0, clLime);
    source.Bits().SetPixel(2, 0, clRed);
    SetBkColor(source.dc, clRed | PaletteRelativeFlag);
    ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 3, 1, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(mono.Bits().Pixel(0, 0), clWhite);
    EXPECT_EQ(mono.Bits().Pixel(1, 0), clBlack);
    EXPECT_EQ(mono.Bits().Pixel(2, 0), clWhite);
}

TEST(RasterOps, MonochromeToColourUsesTheDestinationTextAndBackgroundColours)
{
    const std::uint8_t rows[2] = {0x40, 0x00};  // bits 0 1 0, most significant first, rows padded to 16 bits
    HBITMAP maskBits = CreateBitmap(3, 1, 1, 1, rows);
    HDC mono = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mono, maskBits);
    MemoryDC dest(3, 1);
    SetTextColor(dest.dc, clBlue);
    SetBkColor(dest.dc, clYellow);
    ASSERT_TRUE(BitBlt(dest.dc, 0, 0, 3, 1, mono, 0, 0, SRCCOPY));
    EXPECT_EQ(dest.Bits().Pixel(0, 0), clBlue);
    EXPECT_EQ(dest.Bits().Pixel(1, 0), clYellow);
    EXPECT_EQ(dest.Bits().Pixel(2, 0), clBlue);
    SelectObject(mono, old);
    DeleteObject(maskBits);
    DeleteDC(mono);
}

// The monochrome-mask method of the image button, step by step: every pixel
// of the key colour keeps the background, every other pixel is the picture's.
TEST(RasterOps, MaskMethodDrawsAllButTheKeyColour)
{
    auto picture = Filled(4, 3, clFuchsia);
    picture->SetPixel(1, 1, clRed);
    picture->SetPixel(2, 1, clBlue);
    picture->SetPixel(3, 2, clBlack);
    auto target = Filled(10, 8, clLime);
    HDC dc = target->Canvas().Handle();
    const int xStart = 3, yStart = 2;
    const TColor key = clFuchsia | PaletteRelativeFlag;

    HBITMAP pictureHandle = CreateBitmapHandle(*picture);
    HDC t = CreateCompatibleDC(dc);
    HGDIOBJ tOld = SelectObject(t, pictureHandle);
    POINT size{picture->Width(), picture->Height()};
    DPtoLP(t, &size, 1);
    HDC back = CreateCompatibleDC(dc), object = CreateCompatibleDC(dc), mem = CreateCompatibleDC(dc),
        save = CreateCompatibleDC(dc);
    HBITMAP backBits = CreateBitmap(size.X, size.Y, 1, 1, nullptr);
    HBITMAP objectBits = CreateBitmap(size.X, size.Y, 1, 1, nullptr);
    HBITMAP memBits = CreateCompatibleBitmap(dc, size.X, size.Y);
    HBITMAP saveBits = CreateCompatibleBitmap(dc, size.X, size.Y);
    HGDIOBJ backOld = SelectObject(back, backBits), objectOld = SelectObject(object, objectBits),
            memOld = SelectObject(mem, memBits), saveOld = SelectObject(save, saveBits);
    SetMapMode(t, GetMapMode(dc));
    BitBlt(save, 0, 0, size.X, size.Y, t, 0, 0, SRCCOPY);
    const COLORREF oldBk = SetBkColor(t, key);
    BitBlt(object, 0, 0, size.X, size.Y, t, 0, 0, SRCCOPY);
    SetBkColor(t, oldBk);
    BitBlt(back, 0, 0, size.X, size.Y, object, 0, 0, NOTSRCCOPY);
    BitBlt(mem, 0, 0, size.X, size.Y, dc, xStart, yStart, SRCCOPY);
    BitBlt(mem, 0, 0, size.X, size.Y, object, 0, 0, SRCAND);
    BitBlt(t, 0, 0, size.X, size.Y, back, 0, 0, SRCAND);
    BitBlt(mem, 0, 0, size.X, size.Y, t, 0, 0, SRCPAINT);
    BitBlt(dc, xStart, yStart, size.X, size.Y, mem, 0, 0, SRCCOPY);
    BitBlt(t, 0, 0, size.X, size.Y, save, 0, 0, SRCCOPY);
    SelectObject(back, backOld);
    SelectObject(object, objectOld);
    SelectObject(mem, memOld);
    SelectObject(save, saveOld);
    SelectObject(t, tOld);
    for (HBITMAP b : {backBits, objectBits, memBits, saveBits, pictureHandle}) EXPECT_TRUE(DeleteObject(b));
    for (HDC d : {back, object, mem, save, t}) EXPECT_TRUE(DeleteDC(d));

    EXPECT_EQ(PixelsOf(*target, clRed), (PixelSet{{4, 3}}));
    EXPECT_EQ(PixelsOf(*target, clBlue), (PixelSet{{5, 3}}));
    EXPECT_EQ(PixelsOf(*target, clBlack), (PixelSet{{6, 4}}));
    EXPECT_TRUE(PixelsOf(*target, clFuchsia).empty());
    EXPECT_EQ(PixelsOf(*target, clLime).size(), 80u - 3u);
    // The caller's picture comes back unchanged.
    EXPECT_EQ(picture->Pixel(0, 0), clFuchsia);
    EXPECT_EQ(picture->Pixel(1, 1), clRed);
}

TEST(RasterOps, MaskBltCopiesWhereTheMaskIsZeroAndKeepsWhereItIsOne)
{
    MemoryDC source(4, 1), dest(4, 1);
    for (int x = 0; x < 4; ++x) {
        source.Bits().SetPixel(x, 0, clRed);
        dest.Bits().SetPixel(x, 0, clLime);
    }
    const std::uint8_t rows[2] = {0xA0, 0x00};  // 1 0 1 0
    HBITMAP mask = CreateBitmap(4, 1, 1, 1, rows);
    ASSERT_TRUE(MaskBlt(dest.dc, 0, 0, 4, 1, source.dc, 0, 0, mask, 0, 0, MakeROP4(0x00AA0029, SRCCOPY)));
    EXPECT_EQ(dest.Bits().Pixel(0, 0), clLime);
    EXPECT_EQ(dest.Bits().Pixel(1, 0), clRed);
    EXPECT_EQ(dest.Bits().Pixel(2, 0), clLime);
    EXPECT_EQ(dest.Bits().Pixel(3, 0), clRed);
    // A mask smaller than the area is refused rather than read past its end.
    EXPECT_FALSE(MaskBlt(dest.dc, 0, 0, 4, 1, source.dc, 0, 0, mask, 1, 0, MakeROP4(0x00AA0029, SRCCOPY)));
    DeleteObject(mask);
}

TEST(RasterOps, StretchBltSamplesTheNearestPixelAndMirrors)
{
    MemoryDC source(2, 1), dest(4, 2);
    source.Bits().SetPixel(0, 0, clRed);
    source.Bits().SetPixel(1, 0, clBlue);
    ASSERT_TRUE(StretchBlt(dest.dc, 0, 0, 4, 2, source.dc, 0, 0, 2, 1, SRCCOPY));
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(dest.Bits().Pixel(0, y), clRed);
        EXPECT_EQ(dest.Bits().Pixel(1, y), clRed);
        EXPECT_EQ(dest.Bits().Pixel(2, y), clBlue);
        EXPECT_EQ(dest.Bits().Pixel(3, y), clBlue);
    }
    ASSERT_TRUE(StretchBlt(dest.dc, 0, 0, 2, 1, source.dc, 2, 0, -2, 1, SRCCOPY));
    EXPECT_EQ(dest.Bits().Pixel(0, 0), clBlue);
    EXPECT_EQ(dest.Bits().Pixel(1, 0), clRed);
}

TEST(RasterOps, BlitsClipToTheBitmapAndOverlapsCopyAsIfAtOnce)
{
    MemoryDC dc(4, 1);
    const TColor colours[4] = {clRed, clLime, clBlue, clYellow};
    for (int x = 0; x < 4; ++x) dc.Bits().SetPixel(x, 0, colours[x]);
    ASSERT_TRUE(BitBlt(dc.dc, 1, 0, 3, 1, dc.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dc.Bits().Pixel(0, 0), clRed);
    EXPECT_EQ(dc.Bits().Pixel(1, 0), clRed);
    EXPECT_EQ(dc.Bits().Pixel(2, 0), clLime);
    EXPECT_EQ(dc.Bits().Pixel(3, 0), clBlue);
    // Far outside on every side: nothing is written, nothing breaks.
    EXPECT_TRUE(BitBlt(dc.dc, -100000, -5, 200000, 10, nullptr, 0, 0, BLACKNESS));
    EXPECT_TRUE(PixelsNot(dc.Bits(), clBlack).empty());
    EXPECT_TRUE(BitBlt(dc.dc, 2000000000, 0, 1000, 1000, nullptr, 0, 0, WHITENESS));
}

TEST(RasterOps, CanvasContextDrawsThroughOriginAndClip)
{
    auto target = Filled(6, 6, clWhite);
    TCanvas canvas(*target);
    canvas.SetOrigin({2, 2});
    canvas.SetClipRect(Rect(0, 0, 5, 5));
    ASSERT_TRUE(PatBlt(canvas.Handle(), 0, 0, 10, 10, BLACKNESS));
    EXPECT_EQ(PixelsOf(*target, clBlack), RectPixels(2, 2, 5, 5));
}

TEST(DeviceContexts, HandlesAreCheckedBeforeUse)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 24, nullptr);
    EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP);
    HGDIOBJ stock = SelectObject(dc, bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(GetObjectType(stock), OBJ_BITMAP);
    // A selected bitmap cannot be deleted; stock objects never.
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(stock));
    EXPECT_EQ(SelectObject(dc, stock), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SetBkColor(dc, clRed), CLR_INVALID);
}

TEST(DeviceContexts, CanvasContextLivesWithItsCanvas)
{
    HDC dc;
    {
        auto b = Filled(2, 2, clWhite);
        TCanvas canvas(*b);
        dc = canvas.Handle();
        EXPECT_EQ(canvas.Handle(), dc);
        EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
        EXPECT_FALSE(DeleteDC(dc));
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(DeviceContexts, CompatibleBitmapsFollowTheContext)
{
    HDC fresh = CreateCompatibleDC(nullptr);
    BITMAP info;
    HBITMAP a = CreateCompatibleBitmap(fresh, 5, 3);
    ASSERT_EQ(GetObject(a, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 1);  // a fresh memory context holds a monochrome bitmap
    auto b = Filled(2, 2, clWhite);
    HBITMAP c = CreateCompatibleBitmap(b->Canvas().Handle(), 5, 3);
    ASSERT_EQ(GetObject(c, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 24);
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 3);
    HBITMAP empty = CreateCompatibleBitmap(fresh, 0, 7);
    ASSERT_EQ(GetObject(empty, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    for (HBITMAP h : {a, c, empty}) DeleteObject(h);
    DeleteDC(fresh);
}

TEST(DeviceContexts, MappingModesConvertBetweenLogicalAndDevicePoints)
{
    HDC dc = CreateCompatibleDC(nullptr);
    POINT p{10, 20};
    ASSERT_TRUE(DPtoLP(dc, &p, 1));
    EXPECT_EQ(p, (POINT{10, 20}));
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 100, 100, nullptr);
    SetWindowExtEx(dc, 1000, 500, nullptr);
    SetViewportExtEx(dc, 100, 100, nullptr);
    POINT q{600, 350};
    LPtoDP(dc, &q, 1);
    EXPECT_EQ(q, (POINT{50, 50}));
    DPtoLP(dc, &q, 1);
    EXPECT_EQ(q, (POINT{600, 350}));
    SetMapMode(dc, MM_LOMETRIC);  // 0.1 mm, y upwards, at 96 dpi
    SetWindowOrgEx(dc, 0, 0, nullptr);
    POINT r{254, 254};
    LPtoDP(dc, &r, 1);
    EXPECT_EQ(r, (POINT{96, -96}));
    DeleteDC(dc);
}

TEST(DeviceContexts, TheScreenIsTrueColour)
{
    HDC screen = GetDC(0);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES), 24);
    EXPECT_EQ(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);
    EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 0);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), -1);
    HDC memory = CreateCompatibleDC(screen);
    EXPECT_EQ(GetDeviceCaps(memory, BITSPIXEL), 24);
    DeleteDC(memory);
    EXPECT_EQ(ReleaseDC(0, screen), 1);
}

TEST(Palettes, CreateSelectRealiseAndRead)
{
    const PALETTEENTRY entries[3] = {{1, 2, 3, PC_NOCOLLAPSE}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    HPALETTE palette = CreatePalette(entries);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 3u);
    PALETTEENTRY out[4] = {};
    EXPECT_EQ(GetPaletteEntries(palette, 1, 4, out), 2u);
    EXPECT_EQ(out[0], entries[1]);
    EXPECT_EQ(out[1], entries[2]);
    WORD count = 0;
    EXPECT_EQ(GetObject(palette, sizeof count, &count), 2);
    EXPECT_EQ(count, 3);

    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE system = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(SelectPalette(dc, palette, FALSE), system);
    EXPECT_EQ(RealizePalette(dc), 0u);
    EXPECT_FALSE(DeleteObject(palette));  // still selected
    EXPECT_EQ(SelectPalette(dc, system, FALSE), palette);
    EXPECT_TRUE(DeleteObject(palette));
    DeleteDC(dc);

    EXPECT_EQ(GetPaletteEntries(system, 0, 0, nullptr), 20u);
    PALETTEENTRY first{}, last{};
    GetPaletteEntries(system, 0, 1, &first);
    GetPaletteEntries(system, 19, 1, &last);
    EXPECT_EQ(first, (PALETTEENTRY{0, 0, 0, 0}));
    EXPECT_EQ(last, (PALETTEENTRY{255, 255, 255, 0}));
}

TEST(Palettes, HalftoneHoldsTheColourCubeAndMatchesEightBitBitmaps)
{
    HPALETTE halftone = CreateHalftonePalette(nullptr);
    ASSERT_EQ(GetPaletteEntries(halftone, 0, 0, nullptr), 256u);
    std::array<PALETTEENTRY, 256> entries{};
    GetPaletteEntries(halftone, 0, 256, entries.data());
    int cube = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                for (const auto& e : entries)
                    if (e.peRed == r * 51 && e.peGreen == g * 51 && e.peBlue == b * 51) {
                        ++cube;
                        break;
                    }
    EXPECT_EQ(cube, 216);
    TBitmap eight(1, 1, pf8bit);
    ASSERT_EQ(eight.Palette().size(), 256u);
    for (int i = 0; i < 256; ++i) {
        const TRGBQuad& q = eight.Palette()[std::size_t(i)];
        EXPECT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue),
                  RGB(entries[std::size_t(i)].peRed, entries[std::size_t(i)].peGreen, entries[std::size_t(i)].peBlue));
    }
    DeleteObject(halftone);
}

TEST(Palettes, DibColourTableOfACanvasBitmap)
{
    TBitmap b(2, 2, pf8bit);
    HDC dc = b.Canvas().Handle();
    RGBQUAD table[2] = {};
    EXPECT_EQ(GetDIBColorTable(dc, 0, 2, table), 2u);
    EXPECT_EQ(table[0], b.Palette()[0]);
    const RGBQUAD red{0, 0, 255, 0};
    EXPECT_EQ(SetDIBColorTable(dc, 1, 1, &red), 1u);
    EXPECT_EQ(b.Palette()[1], red);
    EXPECT_EQ(GetDIBColorTable(dc, 300, 2, table), 0u);
    TBitmap rgb(2, 2, pf24bit);
    EXPECT_EQ(GetDIBColorTable(rgb.Canvas().Handle(), 0, 2, table), 0u);
}

TEST(MulDivTest, RoundsHalfAwayFromZeroAndReportsFailure)
{
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {5, 1, 2, 3},     {-5, 1, 2, -3},   {5, 1, -2, -3},  {-5, -1, -2, -3}, {7, 1, 3, 2},
        {8, 1, 3, 3},     {10, 96, 72, 13}, {8, 96, 72, 11}, {9, 96, 72, 12},  {1, 1, 0, -1},
        {2000000000, 2, 1, -1},            {2000000000, 3, 3, 2000000000},     {0, 5, 7, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " * " << c.b << " / " << c.c);
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected);
    }
}

// Plain copies move whole rows; they must pick the same pixels as the
// general path, also where the source area leaves the source bitmap.
TEST(RasterOps, RowCopiesAgreeWithPixelCopies)
{
    struct Case {
        int x, y, w, h, sx, sy;
    };
    const Case cases[] = {{0, 0, 5, 4, 0, 0}, {2, 1, 5, 4, -2, -1}, {-3, -2, 9, 9, 1, 1}, {1, 1, 3, 3, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " from " << c.sx << "," << c.sy);
        MemoryDC source(5, 4), fast(6, 5), slow(6, 5, 32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) source.Bits().SetPixel(x, y, RGB(std::uint8_t(x * 40), std::uint8_t(y * 60), 7));
        fast.Bits().Fill(clLime);
        slow.Bits().Fill(clLime);
        ASSERT_TRUE(BitBlt(fast.dc, c.x, c.y, c.w, c.h, source.dc, c.sx, c.sy, SRCCOPY));
        ASSERT_TRUE(BitBlt(slow.dc, c.x, c.y, c.w, c.h, source.dc, c.sx, c.sy, SRCCOPY));  // 24 onto 32 bits
        EXPECT_EQ(CountDifferences(fast.Bits(), slow.Bits()), 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const int px = x - c.x + c.sx, py = y - c.y + c.sy;
                const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h && px >= 0 && px < 5 &&
                                    py >= 0 && py < 4;
                EXPECT_EQ(fast.Bits().Pixel(x, y), inside ? source.Bits().Pixel(px, py) : clLime) << x << "," << y;
            }
    }
}
