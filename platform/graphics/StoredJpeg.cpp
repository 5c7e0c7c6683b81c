#include "platform/graphics/StoredJpeg.h"

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"

TStoredJpeg::TStoredJpeg(const TJPEGImage& picture)
{
    Keep(picture);
}

void TStoredJpeg::Keep(const TJPEGImage& picture)
{
    if (picture.Data().empty() && !picture.Empty()) {
        TJPEGImage encoded;
        encoded.Assign(picture);
        encoded.Compress();
        FData = TSharedBytes(encoded.Data());
    } else {
        FData = TSharedBytes(picture.Data());
    }
    FWidth = picture.Width();
    FHeight = picture.Height();
}

std::unique_ptr<TGraphic> TStoredJpeg::Clone() const
{
    auto copy = std::make_unique<TStoredJpeg>();
    copy->FData = FData;
    copy->FWidth = FWidth;
    copy->FHeight = FHeight;
    return copy;
}

void TStoredJpeg::SetWidth(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TStoredJpeg::SetHeight(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

std::unique_ptr<TJPEGImage> TStoredJpeg::Decoded() const
{
    auto picture = std::make_unique<TJPEGImage>();
    if (!FData.Empty()) {
        TMemoryStream stream{std::string(FData.View())};
        picture->LoadFromStream(stream);
    }
    return picture;
}

void TStoredJpeg::LoadFromStream(TStream& stream)
{
    TJPEGImage picture;
    picture.LoadFromStream(stream);
    Keep(picture);
    Changed();
}

void TStoredJpeg::SaveToStream(TStream& stream)
{
    stream.WriteString(FData.View());
}

void TStoredJpeg::Draw(TCanvas& canvas, const TRect& rect)
{
    if (!FData.Empty())
        Decoded()->Draw(canvas, rect);
}

bool TStoredJpeg::AssignFrom(const TGraphic& source)
{
    if (const auto* stored = dynamic_cast<const TStoredJpeg*>(&source)) {
        if (stored == this)
            return true;
        FData = stored->FData;
        FWidth = stored->FWidth;
        FHeight = stored->FHeight;
        Changed();
        return true;
    }
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
        Keep(*jpeg);
        Changed();
        return true;
    }
    return false;
}

bool TStoredJpeg::AssignTo(TGraphic& dest) const
{
    if (!dynamic_cast<TJPEGImage*>(&dest) && !dynamic_cast<TBitmap*>(&dest))
        return false;
    dest.Assign(*Decoded());
    return true;
}
