#pragma once

// JPEG pictures over libjpeg.
//
// Loading reads the whole rest of the stream and decodes the picture at once,
// so a broken or truncated file fails at load with EInvalidGraphic (libjpeg's
// message). libjpeg's warnings split in two:
// - harmless, the picture loads: an unknown JFIF revision, an unknown Adobe
//   colour transform, extraneous bytes before a marker (the scan had all its
//   data before them), SOS parameters a sequential file ignores, a bad ICC
//   marker (colour metadata only);
// - errors, since libjpeg would invent pixels: a premature end of the file or
//   of a data segment, bad Huffman or arithmetic codes, a marker found instead
//   of the expected restart marker, an inconsistent progression.
// A loaded picture that
// has not changed saves its original bytes. Assigning a bitmap drops the JPEG
// data; Compress (or a save without data) encodes the bitmap as baseline JFIF
// at CompressionQuality, which defaults to 90 and stays set across
// assignments. Changing the quality does not drop the data: it applies to the
// next Compress. Decoding uses the accurate integer DCT with fancy upsampling
// to a 24-bit bitmap; greyscale pictures are expanded (Grayscale() tells) and
// CMYK/YCCK pictures converted to RGB (their inks stored inverted, as Adobe
// and libjpeg write them).
//
// The size of a JPEG picture is that of its data: SetWidth and SetHeight raise
// EInvalidGraphicOperation. Resize a bitmap and assign it instead.
//
// Threads: a picture is a value object, safe on a worker thread while no
// other thread uses the same picture; libjpeg keeps its state per call, so
// pictures on different threads decode and encode at once.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/graphics/TBitmap.h"

class TJPEGImage : public TGraphic {
public:
    static constexpr int DefaultQuality = 90;

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
    // True when the data held is a one-component (greyscale) JPEG.
    bool Grayscale() const { return FGrayscale; }

    // Encodes the bitmap at the current quality and keeps the data. An empty
    // picture raises EInvalidGraphicOperation.
    void Compress();
    // The decoded picture (24-bit).
    const TBitmap& Bitmap() const { return *FBitmap; }
    // The JPEG bytes held (empty when the picture has not been encoded).
    const std::string& Data() const { return FData; }

    // On failure the picture keeps what it held before.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    void Draw(TCanvas& canvas, const TRect& rect) override;

protected:
    // Knows TBitmap (copied as 24-bit, data dropped) and TJPEGImage (everything
    // copied, quality included).
    bool AssignFrom(const TGraphic& source) override;
    // Gives a TBitmap the decoded picture.
    bool AssignTo(TGraphic& dest) const override;

private:
    std::unique_ptr<TBitmap> FBitmap;
    std::string FData;
    int FCompressionQuality = DefaultQuality;
    bool FGrayscale = false;
};

// Plain codec functions, also for callers without a TJPEGImage.
// Decode raises EInvalidGraphic for data libjpeg cannot decode completely and
// for pictures larger than TBitmap::MaxBitmapBytes, and refuses a header that
// claims more blocks than its Huffman-coded data can hold before allocating;
// `target` becomes pf24bit; one of the picture's size and format keeps its memory
// (after a failure it holds a partial picture).
// Encode takes a bitmap of any format and quality 1..100 (clamped); an empty
// bitmap raises EInvalidGraphicOperation.
void DecodeJpeg(std::string_view data, TBitmap& target, bool& grayscale);
// Reads the coded data to its end as decoding does, without making pixels:
// EInvalidGraphic wherever DecodeJpeg raises it.
void CheckJpegDecodes(std::string_view data);

// What the markers before the first scan tell, without decoding any pixel;
// EInvalidGraphic for data whose header libjpeg cannot read. Four-component
// pictures with Adobe's marker hold their inks inverted.
struct TJpegHeader {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    bool AdobeMarker = false;
};
TJpegHeader ReadJpegHeader(std::string_view data);
std::string EncodeJpeg(const TBitmap& source, int quality);
