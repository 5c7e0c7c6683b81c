#include "platform/graphics/TJPEGImage.h"

#include <algorithm>

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TCanvas.h"

TJPEGImage::TJPEGImage() : FBitmap(std::make_unique<TBitmap>())
{
    FBitmap->SetPixelFormat(pf24bit);
}

TJPEGImage::~TJPEGImage() = default;

std::unique_ptr<TGraphic> TJPEGImage::Clone() const
{
    auto copy = std::make_unique<TJPEGImage>();
    copy->Assign(*this);
    return copy;
}

int TJPEGImage::Width() const { return FBitmap->Width(); }

int TJPEGImage::Height() const { return FBitmap->Height(); }

void TJPEGImage::SetWidth(int width)
{
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int height)
{
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

bool TJPEGImage::Empty() const { return FBitmap->Empty(); }

void TJPEGImage::SetCompressionQuality(int quality) { FCompressionQuality = std::clamp(quality, 1, 100); }

void TJPEGImage::Compress()
{
    if (Empty()) throw EInvalidGraphicOperation("Cannot compress an empty JPEG image");
    FData = EncodeJpeg(*FBitmap, FCompressionQuality);
    FGrayscale = false;
}

namespace {

// The rest of the stream in one read when its size is known, so a large file
// is not copied through a growing string.
std::string ReadRemaining(TStream& stream)
{
    std::string data;
    const std::int64_t remaining = stream.Size() - stream.Position();
    if (remaining > 0 && static_cast<std::uint64_t>(remaining) <= TBitmap::MaxBitmapBytes) {
        data.resize(static_cast<std::size_t>(remaining));
        data.resize(stream.Read(data.data(), data.size()));
    }
    data += stream.ReadRest();  // anything a growing stream got meanwhile
    return data;
}

}  // namespace

void TJPEGImage::LoadFromStream(TStream& stream)
{
    std::string data = ReadRemaining(stream);
    auto bitmap = std::make_unique<TBitmap>();
    bool grayscale = false;
    DecodeJpeg(data, *bitmap, grayscale);
    FBitmap = std::move(bitmap);
    FData = std::move(data);
    FGrayscale = grayscale;
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream)
{
    if (FData.empty()) Compress();
    stream.WriteString(FData);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) { canvas.StretchDraw(rect, *FBitmap); }

bool TJPEGImage::AssignFrom(const TGraphic& source)
{
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
        if (jpeg == this) return true;
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Assign(*jpeg->FBitmap);
        FBitmap = std::move(bitmap);
        FData = jpeg->FData;
        FCompressionQuality = jpeg->FCompressionQuality;
        FGrayscale = jpeg->FGrayscale;
        Changed();
        return true;
    }
    if (const auto* bitmapSource = dynamic_cast<const TBitmap*>(&source)) {
        // A copy first: the source may be this picture's own bitmap.
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Assign(*bitmapSource);
        if (bitmap->PixelFormat() != pf24bit) bitmap->SetPixelFormat(pf24bit);
        FBitmap = std::move(bitmap);
        FData.clear();
        FGrayscale = false;
        Changed();
        return true;
    }
    return false;
}

bool TJPEGImage::AssignTo(TGraphic& dest) const
{
    auto* bitmap = dynamic_cast<TBitmap*>(&dest);
    if (!bitmap) return false;
    bitmap->Assign(*FBitmap);
    return true;
}
