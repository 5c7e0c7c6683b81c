// Image objects: their byte layouts, and what poppler draws of them.

#include <gtest/gtest.h>

#include <cmath>

#include "pdf/PdfFonts.h"
#include "pdf/PdfImages.h"
#include "platform/core/Files.h"
#include "platform/graphics/TJPEGImage.h"
#include "tests/pdf/pdf_peers.h"
#include "tests/platform/graphics/jpeg_fixtures.h"

namespace pdftest {
namespace {

using jpegtest::Pnm;

std::string Attributes(const TPdfImage& image)
{
    TMemoryStream stream;
    image.Attributes().WriteObjectValue(stream);
    return stream.Bytes();
}

TEST(PdfBitmapImage, OneBitBecomesIndexedWithAFullTable)
{
    TBitmap bitmap(3, 2, pf1bit);
    bitmap.SetPalette({ColorToQuad(RGB(255, 0, 0)), ColorToQuad(RGB(0, 0x80, 0xFF))});
    for (int x = 0; x < 3; ++x) {
        bitmap.SetPixel(x, 0, x == 1 ? RGB(0, 0x80, 0xFF) : RGB(255, 0, 0));
        bitmap.SetPixel(x, 1, RGB(0, 0x80, 0xFF));
    }
    auto image = TPdfBitmapImage().MakeImage(bitmap);
    std::string table = "<FF0000 0080FF ";
    for (int i = 0; i < 254; ++i)
        table += "000000 ";
    table += ">";
    EXPECT_EQ(Attributes(*image), "<<\r\n/Length 0\r\n/Filter []\r\n/Type /XObject\r\n/Subtype /Image\r\n"
                                  "/ColorSpace [/Indexed /DeviceRGB 255 " + table + " ]\r\n"
                                  "/Width 3\r\n/Height 2\r\n/BitsPerComponent 8\r\n>>");
    EXPECT_EQ(image->Stream().Bytes(), std::string("\0\1\0\1\1\1", 6));
}

TEST(PdfBitmapImage, OtherFormatsBecomeRgbRows)
{
    const TColor colours[] = {RGB(1, 2, 3), RGB(250, 128, 0), RGB(0, 0, 255), RGB(9, 8, 7)};
    for (TPixelFormat format : {pf32bit, pf24bit, pf16bit}) {
        TBitmap bitmap(2, 2, format);
        for (int i = 0; i < 4; ++i)
            bitmap.SetPixel(i % 2, i / 2, colours[i]);
        auto image = TPdfBitmapImage().MakeImage(bitmap);
        EXPECT_NE(Attributes(*image).find("/ColorSpace /DeviceRGB\r\n/Width 2\r\n/Height 2\r\n/BitsPerComponent 8"),
                  std::string::npos);
        if (format == pf16bit)
            EXPECT_EQ(image->Stream().Bytes().size(), 12u);
        else
            EXPECT_EQ(image->Stream().Bytes(), std::string("\1\2\3\xFA\x80\0\0\0\xFF\x09\x08\x07", 12)) << format;
    }
}

TEST(PdfBitmapImage, EmptyPicturesGiveEmptyData)
{
    for (TPixelFormat format : {pf8bit, pf24bit}) {
        TBitmap bitmap(5, 0, format);
        auto image = TPdfBitmapImage().MakeImage(bitmap);
        EXPECT_EQ(image->Stream().Bytes(), "");
        EXPECT_NE(Attributes(*image).find("/ColorSpace"), std::string::npos);
        EXPECT_NE(Attributes(*image).find("/Height 0"), std::string::npos);
    }
}

class PdfJpegImageTest : public ::testing::Test {
protected:
    Pnm Source = jpegtest::SyntheticPicture(96, 64);
    std::string Rgb = jpegtest::LibjpegFile(Source, 90, false, false);
    std::string Grey = jpegtest::LibjpegFile(Source, 90, true, true);
};

TEST_F(PdfJpegImageTest, TheColourSpaceFollowsTheComponents)
{
    const struct {
        std::string bytes;
        const char* space;
    } cases[] = {
        {Rgb, "/ColorSpace /DeviceRGB\r\n/Width 96\r\n/Height 64\r\n/BitsPerComponent 8\r\n>>"},
        {Grey, "/ColorSpace /DeviceGray\r\n/Width 96\r\n/Height 64\r\n/BitsPerComponent 8\r\n>>"},
        {jpegtest::CmykJpeg(JCS_CMYK, 40, 30),
         "/ColorSpace /DeviceCMYK\r\n/Width 40\r\n/Height 30\r\n/BitsPerComponent 8\r\n/Decode [1 0 1 0 1 0 1 0 ]\r\n>>"},
    };
    for (const auto& c : cases) {
        auto image = TPdfJpegImage::MakeImageFromBytes(c.bytes);
        const std::string head = "<<\r\n/Length 0\r\n/Filter [/DCTDecode ]\r\n/Type /XObject\r\n/Subtype /Image\r\n";
        EXPECT_EQ(Attributes(*image), head + c.space);
        EXPECT_EQ(image->Stream().Bytes(), c.bytes) << "the file's own bytes";
    }
}

TEST_F(PdfJpegImageTest, ThePictureCreatorTakesOnlyJpegs)
{
    TJPEGImage jpeg;
    TMemoryStream stream(Grey);
    jpeg.LoadFromStream(stream);
    auto image = TPdfJpegImage().MakeImage(jpeg);
    EXPECT_EQ(image->Stream().Bytes(), Grey);
    EXPECT_NE(Attributes(*image).find("/DeviceGray"), std::string::npos);

    TBitmap bitmap(4, 4, pf24bit);
    try {
        TPdfJpegImage().MakeImage(bitmap);
        ADD_FAILURE();
    } catch (const EPdfInvalidValue& e) {
        EXPECT_STREQ(e.what(), "only jpeg image is allowed.");
    }
    EXPECT_THROW(TPdfJpegImage::MakeImageFromBytes("GIF89a not a jpeg"), EInvalidGraphic);
    EXPECT_THROW(TPdfJpegImage::MakeImageFromBytes(""), EInvalidGraphic);
    EXPECT_THROW(TPdfJpegImage::MakeImageFromBytes(Rgb.substr(0, 20)), EInvalidGraphic);
    // A cut file's header reads, but readers would show a strip of it.
    EXPECT_THROW(TPdfJpegImage::MakeImageFromBytes(Rgb.substr(0, Rgb.size() / 2)), EInvalidGraphic);
    EXPECT_THROW(TPdfJpegImage::MakeImageFromBytes(Grey.substr(0, Grey.size() - 2)), EInvalidGraphic);
}

TEST(PdfImageCreators, AreFoundByName)
{
    RegisterPdfImageCreators();
    RegisterPdfImageCreators();
    EXPECT_NE(dynamic_cast<TPdfBitmapImage*>(CreateClassByName("Pdf-Bitmap").get()), nullptr);
    EXPECT_NE(dynamic_cast<TPdfJpegImage*>(CreateClassByName("Pdf-Jpeg").get()), nullptr);
}

// A page exactly the image's size in points, rendered at 72 dpi: one pixel per image pixel.
Pnm Rendered(std::unique_ptr<TPdfImage> image, int width, int height, const TempFolder& out, std::string* listing)
{
    RegisterPdfFonts();
    TPdfDoc doc;
    doc.SetDefaultPageSize(width, height);
    doc.NewDoc();
    doc.AddPage();
    doc.AddXObject("Im0", std::move(image));
    doc.Canvas().DrawXObject("Im0", 0, 0, static_cast<float>(width), static_cast<float>(height));
    const std::string path = WriteTo(out.Path() + "image.pdf", doc);
    EXPECT_EQ(QpdfProblems(path), "");
    *listing = RunCommand("pdfimages -list '" + path + "'").Output;
    const TCommandResult render = RunCommand("pdftoppm -r 72 -singlefile '" + path + "' '" + out.Path() + "page'");
    EXPECT_EQ(render.Status, 0) << render.Output;
    return jpegtest::ParsePnm(ReadFileBytes(out.Path() + "page.ppm"));
}

double MeanDifference(const Pnm& a, const Pnm& b)
{
    if (a.width != b.width || a.height != b.height || a.pixels.empty())
        return 1e9;
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        sum += std::abs(int(static_cast<unsigned char>(a.pixels[i])) - int(static_cast<unsigned char>(b.pixels[i])));
    return sum / static_cast<double>(a.pixels.size());
}

Pnm PnmOf(const TBitmap& bitmap)
{
    Pnm p{bitmap.Width(), bitmap.Height(), 3, {}};
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.Pixel(x, y);
            p.pixels += {static_cast<char>(GetRValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetBValue(c))};
        }
    return p;
}

// Smooth, as photographs mostly are: poppler smooths images a little even
// when it draws them pixel for pixel.
Pnm SmoothPicture(int width, int height)
{
    Pnm p{width, height, 3, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels += {static_cast<char>(x * 255 / width), static_cast<char>(y * 255 / height),
                         static_cast<char>(128 + 100 * std::sin((x + y) / 20.0))};
    return p;
}

TEST(PdfImagePeers, PopplerDrawsEveryKindAsItsSource)
{
    SKIP_WITHOUT_PEERS();
    const Pnm source = SmoothPicture(96, 64);
    TBitmap rgbBitmap;
    jpegtest::ToBitmap(source, rgbBitmap);
    TBitmap indexed;
    indexed.Assign(rgbBitmap);
    indexed.SetPixelFormat(pf8bit);
    const std::string grey = jpegtest::LibjpegFile(source, 95, false, true);
    TBitmap greyDecoded;
    bool isGrey = false;
    DecodeJpeg(grey, greyDecoded, isGrey);
    const std::string rgb = jpegtest::LibjpegFile(source, 95, false, false);

    TempFolder out;
    const std::string cmykPath = out.Path() + "cmyk.jpg";
    WriteFileBytes(out.Path() + "source.ppm", "P6\n96 64\n255\n" + source.pixels);
    const TCommandResult convert =
        RunCommand("convert '" + out.Path() + "source.ppm' -colorspace CMYK -quality 95 '" + cmykPath + "'");
    if (convert.Status != 0)
        GTEST_SKIP() << "ImageMagick's convert is missing: " << convert.Output;

    const struct {
        const char* name;
        std::function<std::unique_ptr<TPdfImage>()> make;
        Pnm expected;
        const char* listed;  // pdfimages' "color comp bpc enc"
        double tolerance;
    } cases[] = {
        {"RGB bitmap", [&] { return TPdfBitmapImage().MakeImage(rgbBitmap); }, source, "rgb     3   8  image", 4},
        {"indexed bitmap", [&] { return TPdfBitmapImage().MakeImage(indexed); }, PnmOf(indexed), "index   1   8  image", 4},
        {"RGB JPEG", [&] { return TPdfJpegImage::MakeImageFromBytes(rgb); }, source, "rgb     3   8  jpeg", 5},
        {"grey JPEG", [&] { return TPdfJpegImage::MakeImageFromBytes(grey); }, PnmOf(greyDecoded), "gray    1   8  jpeg", 4},
        {"CMYK JPEG", [&] { return TPdfJpegImage::MakeImageFromBytes(ReadFileBytes(cmykPath)); }, source,
         "cmyk    4   8  jpeg", 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string listing;
        const Pnm page = Rendered(c.make(), 96, 64, out, &listing);
        EXPECT_NE(listing.find(c.listed), std::string::npos) << listing;
        const double difference = MeanDifference(page, c.expected);
        EXPECT_LT(difference, c.tolerance) << "colours turned or inverted inks are far off";
    }
}

}  // namespace
}  // namespace pdftest
