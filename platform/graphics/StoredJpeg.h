#pragma once

// A JPEG picture kept as its file's bytes and its size: the viewer's hidden
// full pictures. A gallery of a hundred photographs decoded and kept would
// hold a gigabyte of pixels that nobody looks at, and touching that much new
// memory cost the load more than decoding did; a picture is decoded again
// when it is shown.

#include <memory>
#include <string>
#include <utility>

#include "platform/core/SharedBytes.h"
#include "platform/graphics/TJPEGImage.h"

class TStoredJpeg : public TGraphic {
public:
    TStoredJpeg() = default;
    // Keeps the picture's bytes (a picture without bytes is encoded first).
    explicit TStoredJpeg(const TJPEGImage& picture);
    // Bytes that decode to a picture of this size; shared bytes are kept
    // without a copy.
    TStoredJpeg(TSharedBytes data, int width, int height) : FData(std::move(data)), FWidth(width), FHeight(height) {}
    TStoredJpeg(std::string data, int width, int height) : TStoredJpeg(TSharedBytes(std::move(data)), width, height) {}

    const char* ClassName() const override { return "TStoredJpeg"; }
    std::unique_ptr<TGraphic> Clone() const override;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // The size is that of the data, as for a JPEG picture.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override { return FData.Empty(); }

    std::string_view Data() const { return FData.View(); }
    // The picture decoded (EInvalidGraphic when the bytes do not decode).
    std::unique_ptr<TJPEGImage> Decoded() const;

    // Loading decodes once, so that bad bytes fail here and the size is known.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Draw(TCanvas& canvas, const TRect& rect) override;

protected:
    // Knows TStoredJpeg and TJPEGImage.
    bool AssignFrom(const TGraphic& source) override;
    // Gives a TJPEGImage or a TBitmap the decoded picture.
    bool AssignTo(TGraphic& dest) const override;

private:
    void Keep(const TJPEGImage& picture);

    TSharedBytes FData;
    int FWidth = 0;
    int FHeight = 0;
};
