#pragma once

// JPEG pictures over libjpeg.
//
// Loading decodes the whole picture at once, so a broken or truncated file
// fails at load with EInvalidGraphic. A loaded picture that has not changed
// saves its original bytes. Assigning a bitmap drops the JPEG data; Compress
// (or a save without data) encodes the bitmap as baseline JFIF at
// CompressionQuality, which defaults to 90 and stays set across assignments.
// Decoding uses the accurate integer DCT with fancy upsampling to RGB.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/TBitmap.h"

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    const char* ClassName() const override { return "TJPEGImage"; }
    std::unique_ptr<TGraphic> Clone() const override;

    int Width() const override;
    int Height() const override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override;

    int CompressionQuality() const { return FCompressionQuality; }
    // 1..100; other values are clamped.
    void SetCompressionQuality(int quality);
    bool Grayscale() const { return FGrayscale; }

    // Encodes the bitmap at the current quality and keeps the data.
    void Compress();
    // The decoded picture (24-bit).
    const TBitmap& Bitmap() const { return FBitmap; }
    // The JPEG bytes held (empty when the picture has not been encoded).
    const std::string& Data() const { return FData; }

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    void Draw(TCanvas& canvas, const TRect& rect) override;

protected:
    bool AssignFrom(const TGraphic& source) override;
    bool AssignTo(TGraphic& dest) const override;

private:
    TBitmap FBitmap;
    std::string FData;
    int FCompressionQuality = 90;
    bool FGrayscale = false;
};

// Plain codec functions, also for callers without a TJPEGImage.
// Decode raises EInvalidGraphic for data libjpeg cannot decode completely.
void DecodeJpeg(std::string_view data, TBitmap& target, bool& grayscale);
std::string EncodeJpeg(const TBitmap& source, int quality);
