#include "pdf/PdfImages.h"

#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"

namespace {

std::unique_ptr<TPdfImage> NewImageStream()
{
    auto image = std::make_unique<TPdfImage>();
    image->Attributes().AddItem("Type", std::make_unique<TPdfName>("XObject"));
    image->Attributes().AddItem("Subtype", std::make_unique<TPdfName>("Image"));
    return image;
}

void SetSize(TPdfImage& image, int width, int height)
{
    image.Attributes().AddItem("Width", std::make_unique<TPdfNumber>(width));
    image.Attributes().AddItem("Height", std::make_unique<TPdfNumber>(height));
    image.Attributes().AddItem("BitsPerComponent", std::make_unique<TPdfNumber>(8));
}

std::unique_ptr<TPdfObject> IndexedColorSpace(const TBitmap& bitmap)
{
    if (bitmap.PixelFormat() != pf8bit)
        throw EPdfInvalidImageFormat("only 8 bit color image is allowed.");
    const std::vector<TRGBQuad>& palette = bitmap.Palette();
    if (palette.empty())
        throw EPdfInvalidImageFormat("failed to get Palette..");
    std::string table = "<";
    table.reserve(256 * 7 + 2);
    for (std::size_t i = 0; i < 256; ++i) {
        const TRGBQuad entry = i < palette.size() ? palette[i] : TRGBQuad{};
        table += BytesToHex(std::string{static_cast<char>(entry.rgbRed), static_cast<char>(entry.rgbGreen),
                                        static_cast<char>(entry.rgbBlue)});
        table += ' ';
    }
    table += '>';
    auto lookup = std::make_unique<TPdfBinary>();
    WriteTextBytes(table, lookup->Stream());
    auto space = std::make_unique<TPdfArray>();
    space->AddItem(std::make_unique<TPdfName>("Indexed"));
    space->AddItem(std::make_unique<TPdfName>("DeviceRGB"));
    space->AddItem(std::make_unique<TPdfNumber>(255));
    space->AddItem(std::move(lookup));
    return space;
}

void WriteIndexedRows(const TBitmap& bitmap, TMemoryStream& data)
{
    std::string& bytes = data.Bytes();
    const auto width = static_cast<std::size_t>(bitmap.Width());
    bytes.reserve(width * static_cast<std::size_t>(bitmap.Height()));
    for (int y = 0; width > 0 && y < bitmap.Height(); ++y)
        bytes.append(reinterpret_cast<const char*>(bitmap.ScanLine(y)), width);
}

void WriteRgbRows(const TBitmap& bitmap, TMemoryStream& data)
{
    std::string& bytes = data.Bytes();
    const auto width = static_cast<std::size_t>(bitmap.Width());
    bytes.resize(width * 3 * static_cast<std::size_t>(bitmap.Height()));
    char* out = bytes.data();
    for (int y = 0; width > 0 && y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (std::size_t x = 0; x < width; ++x, row += 3) {
            *out++ = static_cast<char>(row[2]);
            *out++ = static_cast<char>(row[1]);
            *out++ = static_cast<char>(row[0]);
        }
    }
}

// A picture's data has decoded already; a file's is checked first.
std::unique_ptr<TPdfImage> ImageOfJpegBytes(std::string bytes)
{
    const TJpegHeader header = ReadJpegHeader(bytes);
    auto image = NewImageStream();
    switch (header.Components) {
    case 1:
        image->Attributes().AddItem("ColorSpace", std::make_unique<TPdfName>("DeviceGray"));
        break;
    case 3:
        image->Attributes().AddItem("ColorSpace", std::make_unique<TPdfName>("DeviceRGB"));
        break;
    case 4:
        image->Attributes().AddItem("ColorSpace", std::make_unique<TPdfName>("DeviceCMYK"));
        break;
    default:
        throw EPdfInvalidValue("MakeImage --a JPEG of " + std::to_string(header.Components) +
                               " components has no colour space.");
    }
    SetSize(*image, header.Width, header.Height);
    // Adobe's CMYK files store their inks inverted.
    if (header.Components == 4 && header.AdobeMarker)
        image->Attributes().AddItem("Decode", TPdfArray::CreateNumbers(nullptr, {1, 0, 1, 0, 1, 0, 1, 0}));
    image->Attributes().PdfArrayByName("Filter")->AddItem(std::make_unique<TPdfName>("DCTDecode"));
    image->Stream().Bytes() = std::move(bytes);
    return image;
}

}  // namespace

std::unique_ptr<TPdfImage> TPdfBitmapImage::MakeImage(const TGraphic& picture)
{
    auto image = NewImageStream();
    TBitmap bitmap;
    bitmap.Assign(picture);
    const TPixelFormat format = bitmap.PixelFormat();
    if (format == pf1bit || format == pf4bit || format == pf8bit) {
        bitmap.SetPixelFormat(pf8bit);
        WriteIndexedRows(bitmap, image->Stream());
        image->Attributes().AddItem("ColorSpace", IndexedColorSpace(bitmap));
    } else {
        bitmap.SetPixelFormat(pf24bit);
        WriteRgbRows(bitmap, image->Stream());
        image->Attributes().AddItem("ColorSpace", std::make_unique<TPdfName>("DeviceRGB"));
    }
    SetSize(*image, bitmap.Width(), bitmap.Height());
    return image;
}

std::unique_ptr<TPdfImage> TPdfJpegImage::MakeImage(const TGraphic& picture)
{
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(&picture);
    if (!jpeg)
        throw EPdfInvalidValue("only jpeg image is allowed.");
    std::string bytes = jpeg->Data();
    if (bytes.empty())
        bytes = EncodeJpeg(jpeg->Bitmap(), jpeg->CompressionQuality());
    return ImageOfJpegBytes(std::move(bytes));
}

std::unique_ptr<TPdfImage> TPdfJpegImage::MakeImageFromBytes(std::string bytes)
{
    CheckJpegDecodes(bytes);
    return ImageOfJpegBytes(std::move(bytes));
}

void RegisterPdfImageCreators()
{
    if (IsClassRegistered("Pdf-Bitmap"))
        return;
    RegisterClass("Pdf-Bitmap", [] { return std::make_unique<TPdfBitmapImage>(); });
    RegisterClass("Pdf-Jpeg", [] { return std::make_unique<TPdfJpegImage>(); });
}

void UnRegisterPdfImageCreators()
{
    UnRegisterClass("Pdf-Bitmap");
    UnRegisterClass("Pdf-Jpeg");
}
