#include "platform/graphics/TBitmap.h"

#include <gtest/gtest.h>

#include <climits>

#include "bitmap_test_support.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TCanvas.h"

namespace {

using namespace bmptest;

const TPixelFormat AllFormats[] = {pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};

std::string FormatName(TPixelFormat f)
{
    static const char* names[] = {"pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf15bit",
                                  "pf16bit", "pf24bit", "pf32bit", "pfCustom"};
    return names[f];
}

TEST(Bitmap, NewBitmapIsEmptyDeviceFormat)
{
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.PixelFormat(), pfDevice);
    EXPECT_EQ(b.BitCount(), 24);
    EXPECT_TRUE(b.Bits().empty());
}

TEST(Bitmap, NewPixelsAreWhiteInEveryFormat)
{
    for (TPixelFormat f : AllFormats) {
        SCOPED_TRACE(FormatName(f));
        TBitmap b(13, 3, f);
        for (TColor c : Pixels(b)) ASSERT_EQ(c, clWhite);
        // Growing adds white too.
        b.SetSize(21, 5);
        for (TColor c : Pixels(b)) ASSERT_EQ(c, clWhite);
    }
}

TEST(Bitmap, RowsArePaddedToFourBytes)
{
    struct Case { TPixelFormat format; int width; std::size_t rowBytes; };
    const Case cases[] = {{pf1bit, 33, 8}, {pf4bit, 9, 8}, {pf8bit, 5, 8}, {pf15bit, 3, 8},
                          {pf16bit, 2, 4}, {pf24bit, 5, 16}, {pfDevice, 1, 4}, {pf32bit, 3, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatName(c.format));
        TBitmap b(c.width, 2, c.format);
        EXPECT_EQ(b.RowBytes(), c.rowBytes);
        EXPECT_EQ(b.Bits().size(), 2 * c.rowBytes);
        EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), static_cast<std::ptrdiff_t>(c.rowBytes));
    }
}

TEST(Bitmap, PixelRoundTripsInEveryFormat)
{
    // Colours every format holds exactly: its palette's or ones whose channels
    // survive 5 bits (multiples of 255/31 are not, so use 0 and 255).
    const TColor colors[] = {clBlack, clWhite, clRed, clLime, clBlue, clYellow};
    for (TPixelFormat f : AllFormats) {
        SCOPED_TRACE(FormatName(f));
        TBitmap b(7, 2, f);
        for (int i = 0; i < 6; ++i) {
            const TColor c = f == pf1bit ? (i % 2 ? clWhite : clBlack) : colors[i];
            b.SetPixel(i, 1, c);
            EXPECT_EQ(b.Pixel(i, 1), c) << i;
        }
        EXPECT_EQ(b.Pixel(6, 1), clWhite);  // neighbours untouched
        EXPECT_EQ(b.Pixel(0, 0), clWhite);
    }
}

TEST(Bitmap, RowBytesLayoutOfEachFormat)
{
    TBitmap b24(2, 1, pf24bit);
    b24.SetPixel(1, 0, RGB(1, 2, 3));
    EXPECT_EQ(b24.ScanLine(0)[3], 3);  // blue, green, red
    EXPECT_EQ(b24.ScanLine(0)[4], 2);
    EXPECT_EQ(b24.ScanLine(0)[5], 1);

    TBitmap b16(1, 1, pf16bit);
    b16.SetPixel(0, 0, RGB(255, 0, 0));
    EXPECT_EQ(b16.ScanLine(0)[0] | (b16.ScanLine(0)[1] << 8), 0xF800);
    TBitmap b15(1, 1, pf15bit);
    b15.SetPixel(0, 0, RGB(0, 255, 0));
    EXPECT_EQ(b15.ScanLine(0)[0] | (b15.ScanLine(0)[1] << 8), 0x03E0);

    TBitmap b1(9, 1, pf1bit);
    b1.Fill(clWhite);
    b1.SetPixel(0, 0, clBlack);
    b1.SetPixel(8, 0, clBlack);
    EXPECT_EQ(b1.ScanLine(0)[0], 0x7F);  // most significant bit first
    EXPECT_EQ(b1.ScanLine(0)[1], 0x00);  // pixel 8, then padding bits that stay zero

    TBitmap b4(2, 1, pf4bit);
    b4.SetPixel(0, 0, clBlack);  // VGA index 0
    b4.SetPixel(1, 0, clRed);    // VGA index 9
    EXPECT_EQ(b4.ScanLine(0)[0], 0x09);
}

TEST(Bitmap, PixelOutsideTheBitmap)
{
    TBitmap b(3, 2, pf24bit);
    const auto before = Pixels(b);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MIN, INT_MAX}}) {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(b.Pixel(x, y), CLR_INVALID);
        b.SetPixel(x, y, clRed);
    }
    EXPECT_EQ(Pixels(b), before);
    EXPECT_EQ(TBitmap().Pixel(0, 0), CLR_INVALID);
}

TEST(Bitmap, ScanLineIsChecked)
{
    TBitmap b(3, 2, pf8bit);
    EXPECT_NO_THROW(b.ScanLine(1));
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
    const TBitmap& c = b;
    EXPECT_THROW(c.ScanLine(2), EInvalidGraphicOperation);
}

TEST(Bitmap, SystemColoursAreResolvedOnWrite)
{
    TBitmap b(1, 1, pf24bit);
    b.SetPixel(0, 0, clBtnFace);
    EXPECT_EQ(b.Pixel(0, 0), RGB(240, 240, 240));
    b.Fill(clWindowText);
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
}

TEST(Bitmap, SizeChecksComeBeforeAllocation)
{
    EXPECT_THROW(TBitmap(-1, 5), EInvalidGraphic);
    EXPECT_THROW(TBitmap(5, -1), EInvalidGraphic);
    EXPECT_THROW(TBitmap(100000, 100000, pf24bit), EOutOfMemory);
    // Would overflow 64-bit arithmetic done carelessly.
    EXPECT_THROW(TBitmap(INT_MAX, INT_MAX, pf32bit), EOutOfMemory);
    EXPECT_THROW(TBitmap(INT_MAX, 2, pf32bit), EOutOfMemory);

    TBitmap b(4, 3, pf8bit);
    b.SetPixel(1, 1, clRed);
    EXPECT_THROW(b.SetSize(-4, 3), EInvalidGraphic);
    EXPECT_THROW(b.SetWidth(INT_MAX), EOutOfMemory);
    EXPECT_THROW(b.SetHeight(-1), EInvalidGraphic);
    // A refused size leaves the bitmap as it was.
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.Pixel(1, 1), clRed);
}

TEST(Bitmap, LargestAllowedSizeIsAccepted)
{
    // Exactly MaxBitmapBytes is allowed; one row more is not.
    const int width = 1 << 14;  // 64 KiB per 32-bit row
    const int rows = static_cast<int>(TBitmap::MaxBitmapBytes / (width * 4));
    EXPECT_THROW(TBitmap(width, rows + 1, pf32bit), EOutOfMemory);
    TBitmap b(width, 1, pf32bit);
    EXPECT_EQ(b.Bits().size(), std::size_t(width) * 4);
}

TEST(Bitmap, ZeroSidesAreEmpty)
{
    TBitmap b(0, 7, pf24bit);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Height(), 7);
    EXPECT_TRUE(b.Bits().empty());
    b.SetWidth(2);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(Pixels(b), std::vector<TColor>(14, clWhite));
}

TEST(Bitmap, SetSizeKeepsTheTopLeftPart)
{
    for (TPixelFormat f : AllFormats) {
        SCOPED_TRACE(FormatName(f));
        TBitmap b(11, 5, f);
        FillRandom(b, 7);
        const TBitmap& original = b;
        std::vector<TColor> before = Pixels(original);

        b.SetSize(6, 3);  // shrink: a partial byte at the new right edge in 1 and 4 bits
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x) ASSERT_EQ(b.Pixel(x, y), before[y * 11 + x]) << x << "," << y;

        b.SetSize(13, 4);  // grow: kept part plus white
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 13; ++x) {
                const TColor expected = x < 6 && y < 3 ? before[y * 11 + x] : clWhite;
                ASSERT_EQ(b.Pixel(x, y), expected) << x << "," << y;
            }
    }
}

TEST(Bitmap, GrowingAnIndexedBitmapWithoutWhiteUsesTheNearestEntry)
{
    TBitmap b(1, 1, pf4bit);
    b.SetPalette({Quad(0, 0, 0), Quad(200, 200, 190), Quad(255, 0, 0)});
    b.SetSize(2, 1);
    EXPECT_EQ(b.Pixel(1, 0), RGB(200, 200, 190));
}

TEST(Bitmap, DefaultPalettes)
{
    TBitmap mono(1, 1, pf1bit);
    EXPECT_EQ(mono.Palette(), (std::vector<TRGBQuad>{Quad(0, 0, 0), Quad(255, 255, 255)}));
    EXPECT_TRUE(mono.Monochrome());

    TBitmap vga(1, 1, pf4bit);
    ASSERT_EQ(vga.Palette().size(), 16u);
    EXPECT_EQ(vga.Palette()[0], Quad(0, 0, 0));
    EXPECT_EQ(vga.Palette()[9], Quad(255, 0, 0));
    EXPECT_EQ(vga.Palette()[15], Quad(255, 255, 255));

    TBitmap halftone(1, 1, pf8bit);
    ASSERT_EQ(halftone.Palette().size(), 256u);
    EXPECT_EQ(halftone.Palette().front(), Quad(0, 0, 0));
    EXPECT_EQ(halftone.Palette().back(), Quad(255, 255, 255));
    // The colour cube is there: every 51-step colour is held exactly.
    for (int r = 0; r <= 255; r += 51)
        for (int g = 0; g <= 255; g += 51)
            for (int b = 0; b <= 255; b += 51) {
                const TColor c = RGB(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                     static_cast<std::uint8_t>(b));
                halftone.SetPixel(0, 0, c);
                ASSERT_EQ(halftone.Pixel(0, 0), c);
            }

    EXPECT_TRUE(TBitmap(1, 1, pf24bit).Palette().empty());
}

TEST(Bitmap, NearestPaletteIndexTakesTheFirstOfEquals)
{
    TBitmap b(1, 1, pf8bit);
    b.SetPalette({Quad(10, 10, 10), Quad(0, 0, 0), Quad(20, 20, 20), Quad(0, 0, 0)});
    EXPECT_EQ(b.NearestPaletteIndex(RGB(15, 15, 15)), 0);  // 0 and 2 are equally near
    EXPECT_EQ(b.NearestPaletteIndex(clBlack), 1);
    EXPECT_EQ(b.NearestPaletteIndex(RGB(19, 18, 21)), 2);
    EXPECT_EQ(TBitmap(1, 1, pf24bit).NearestPaletteIndex(clRed), -1);
}

TEST(Bitmap, PaletteSizeIsChecked)
{
    TBitmap b(1, 1, pf1bit);
    EXPECT_THROW(b.SetPalette(DistinctPalette(3)), EInvalidGraphic);
    TBitmap c(1, 1, pf24bit);
    EXPECT_THROW(c.SetPalette(DistinctPalette(257)), EInvalidGraphic);
    EXPECT_NO_THROW(c.SetPalette(DistinctPalette(256)));
    // An indexed bitmap always keeps a colour table.
    TBitmap d(1, 1, pf4bit);
    d.SetPalette({});
    EXPECT_EQ(d.Palette().size(), 16u);
}

TEST(Bitmap, IndexPastTheColourTableReadsBlack)
{
    TBitmap b(2, 1, pf8bit);
    b.SetPalette({Quad(255, 0, 0)});
    b.ScanLine(0)[0] = 0;
    b.ScanLine(0)[1] = 200;
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(1, 0), clBlack);
}

struct ConversionCase {
    const char* name;
    TPixelFormat from;
    std::vector<TRGBQuad> palette;  // empty: the format's default
    std::vector<TColor> colors;     // written into a 1-row bitmap
    TPixelFormat to;
    std::vector<TColor> expected;
    std::size_t expectedPaletteSize;
};

class BitmapConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(BitmapConversion, ConvertsThroughTheNearestColour)
{
    const ConversionCase& c = GetParam();
    TBitmap b(static_cast<int>(c.colors.size()), 1, c.from);
    if (!c.palette.empty()) b.SetPalette(c.palette);
    for (std::size_t i = 0; i < c.colors.size(); ++i) b.SetPixel(static_cast<int>(i), 0, c.colors[i]);
    b.SetPixelFormat(c.to);
    EXPECT_EQ(b.PixelFormat(), c.to);
    EXPECT_EQ(b.BitCount(), BitsPerPixel(c.to));
    EXPECT_EQ(b.RowBytes(), static_cast<std::size_t>((c.colors.size() * BitsPerPixel(c.to) + 31) / 32 * 4));
    EXPECT_EQ(Pixels(b), c.expected);
    EXPECT_EQ(b.Palette().size(), c.expectedPaletteSize);
}

const std::vector<TRGBQuad> ThreeColours = {Quad(0, 0, 0), Quad(200, 100, 50), Quad(255, 255, 255)};

INSTANTIATE_TEST_SUITE_P(
    Formats, BitmapConversion,
    ::testing::Values(
        ConversionCase{"TrueColourToMono", pf24bit, {}, {RGB(100, 100, 100), RGB(200, 200, 200), clRed},
                       pf1bit, {clBlack, clWhite, clBlack}, 2},
        ConversionCase{"TrueColourToVga", pf24bit, {}, {RGB(130, 0, 0), RGB(250, 250, 5), RGB(190, 190, 190)},
                       pf4bit, {clMaroon, clYellow, clSilver}, 16},
        ConversionCase{"TrueColourToHalftone", pf24bit, {}, {RGB(250, 5, 5), RGB(50, 103, 152)},
                       pf8bit, {clRed, RGB(51, 102, 153)}, 256},
        // A palette the true-colour bitmap holds is used before the default.
        ConversionCase{"TrueColourWithPaletteTo8", pf24bit, ThreeColours, {RGB(190, 110, 40), RGB(240, 240, 240)},
                       pf8bit, {RGB(200, 100, 50), clWhite}, 3},
        ConversionCase{"TrueColourTo15", pf24bit, {}, {RGB(255, 128, 7)}, pf15bit, {RGB(255, 132, 0)}, 0},
        ConversionCase{"TrueColourTo16", pf24bit, {}, {RGB(255, 128, 7)}, pf16bit, {RGB(255, 130, 0)}, 0},
        ConversionCase{"ThirtyTwoTo24", pf32bit, {}, {RGB(1, 2, 3), RGB(250, 251, 252)}, pf24bit,
                       {RGB(1, 2, 3), RGB(250, 251, 252)}, 0},
        ConversionCase{"IndexedToTrueColour", pf4bit, {}, {clMaroon, clAqua}, pf32bit, {clMaroon, clAqua}, 16},
        // A palette that fits the smaller format is kept with its indexes.
        ConversionCase{"EightToFourKeepsSmallPalette", pf8bit, ThreeColours, {RGB(200, 100, 50), clBlack},
                       pf4bit, {RGB(200, 100, 50), clBlack}, 3},
        ConversionCase{"EightToFourReplacesLargePalette", pf8bit, {}, {RGB(255, 51, 0), clBlue}, pf4bit,
                       {clRed, clBlue}, 16},
        ConversionCase{"FourToMonoReplacesPalette", pf4bit, {}, {clNavy, clSilver}, pf1bit,
                       {clBlack, clWhite}, 2},
        ConversionCase{"FifteenToSixteen", pf15bit, {}, {RGB(255, 0, 255)}, pf16bit, {RGB(255, 0, 255)}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Bitmap, DeviceAnd24BitShareTheirBytes)
{
    TBitmap b(5, 2, pfDevice);
    FillRandom(b, 3);
    const std::vector<std::uint8_t> bytes(b.Bits().begin(), b.Bits().end());
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(std::vector<std::uint8_t>(b.Bits().begin(), b.Bits().end()), bytes);
    b.SetPixelFormat(pfDevice);
    EXPECT_EQ(std::vector<std::uint8_t>(b.Bits().begin(), b.Bits().end()), bytes);
    EXPECT_THROW(b.SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST(Bitmap, IndexedRoundTripThroughTrueColourKeepsIndexes)
{
    TBitmap b(9, 3, pf8bit);
    b.SetPalette(DistinctPalette(40));
    FillRandom(b, 11);
    const std::vector<int> indexes = Indexes(b);
    b.SetPixelFormat(pf24bit);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(b.Palette(), DistinctPalette(40));
    EXPECT_EQ(Indexes(b), indexes);
}

TEST(Bitmap, TransparentColourAutoIsTheBottomLeftPixel)
{
    TBitmap b(3, 2, pf24bit);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    b.SetPixel(0, 1, clRed);
    EXPECT_EQ(b.TransparentColor(), clRed);
    b.SetPixel(0, 1, clLime);
    EXPECT_EQ(b.TransparentColor(), clLime);
    EXPECT_EQ(TBitmap().TransparentColor(), clDefault);

    // Fixing takes the current colour and keeps it.
    b.SetTransparentMode(tmFixed);
    b.SetPixel(0, 1, clBlue);
    EXPECT_EQ(b.TransparentColor(), clLime);
    b.SetTransparentMode(tmAuto);
    EXPECT_EQ(b.TransparentColor(), clBlue);
}

TEST(Bitmap, TransparentColourFixed)
{
    TBitmap b(2, 2, pf24bit);
    b.SetTransparentColor(clBtnFace);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), RGB(240, 240, 240));
    b.SetTransparentColor(PaletteRelativeFlag | clRed);
    EXPECT_EQ(b.TransparentColor(), clRed);
    b.SetTransparentColor(clDefault);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    EXPECT_EQ(b.TransparentColor(), clWhite);
}

TEST(Bitmap, AssignCopiesEverything)
{
    TBitmap source(7, 3, pf4bit);
    source.SetPalette(DistinctPalette(11));
    FillRandom(source, 5);
    source.SetTransparent(true);
    source.SetTransparentColor(clRed);

    TBitmap copy(2, 2, pf32bit);
    copy.Assign(source);
    EXPECT_EQ(copy.Width(), 7);
    EXPECT_EQ(copy.Height(), 3);
    EXPECT_EQ(copy.PixelFormat(), pf4bit);
    EXPECT_EQ(copy.Palette(), source.Palette());
    EXPECT_EQ(Pixels(copy), Pixels(source));
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentMode(), tmFixed);
    EXPECT_EQ(copy.TransparentColor(), clRed);

    // Deep: the copy's pixels are its own.
    const TColor first = QuadToColor(source.Palette()[1]);
    copy.SetPixel(0, 0, first);
    source.SetPixel(0, 0, QuadToColor(source.Palette()[2]));
    EXPECT_EQ(copy.Pixel(0, 0), first);
    EXPECT_NE(copy.Bits().data(), source.Bits().data());
}

TEST(Bitmap, CloneIsADeepCopy)
{
    TBitmap source(4, 4, pf16bit);
    FillRandom(source, 9);
    std::unique_ptr<TGraphic> clone = source.Clone();
    auto* copy = dynamic_cast<TBitmap*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->PixelFormat(), pf16bit);
    EXPECT_EQ(Pixels(*copy), Pixels(source));
    source.Fill(clBlack);
    EXPECT_NE(Pixels(*copy), Pixels(source));
}

class OtherGraphic : public TGraphic {
public:
    const char* ClassName() const override { return "TOtherGraphic"; }
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<OtherGraphic>(); }
    int Width() const override { return 1; }
    int Height() const override { return 1; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return false; }
    void LoadFromStream(TStream&) override {}
    void SaveToStream(TStream&) override {}
    void Draw(TCanvas&, const TRect&) override {}

protected:
    bool AssignFrom(const TGraphic&) override { return false; }
};

TEST(Bitmap, AssignFromAnUnknownClassIsRefused)
{
    TBitmap b(2, 2);
    OtherGraphic other;
    try {
        b.Assign(other);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TOtherGraphic to a TBitmap");
    }
    EXPECT_THROW(other.Assign(b), EConvertError);
    EXPECT_EQ(b.Width(), 2);
}

TEST(Bitmap, ChangesAreReported)
{
    TBitmap b(2, 2, pf24bit);
    int changes = 0;
    TObject* sender = nullptr;
    b.OnChange = [&](TObject* s) {
        ++changes;
        sender = s;
    };
    b.SetSize(3, 3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, &b);
    b.SetSize(3, 3);  // no change, no notice
    b.SetPixelFormat(pf8bit);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(changes, 2);
    TBitmap other(1, 1);
    b.Assign(other);
    EXPECT_EQ(changes, 3);
    b.SetTransparent(true);
    EXPECT_EQ(changes, 4);
    b.SetPixel(0, 0, clRed);  // raw pixel writes are silent
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(b.Modified());
}

TEST(Bitmap, CanvasIsMadeOnceAndDrawsOnTheBitmap)
{
    TBitmap b(4, 4, pf24bit);
    TCanvas& canvas = b.Canvas();
    EXPECT_EQ(&b.Canvas(), &canvas);
    EXPECT_EQ(&canvas.Target(), &b);

    TBitmap small(2, 2, pf24bit);
    small.Fill(clRed);
    small.SetPixel(1, 1, clBlue);
    small.Draw(canvas, Rect(0, 0, 4, 4));  // stretched twice
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(1, 1), clRed);
    EXPECT_EQ(b.Pixel(2, 2), clBlue);
    EXPECT_EQ(b.Pixel(3, 3), clBlue);
}

}  // namespace
