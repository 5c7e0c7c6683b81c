#pragma once

// The GIF picture: the header with the logical screen and the global colour
// map, and the frames in file order. Loading tolerates what the format's
// readers commonly meet (junk before the signature, zero bytes between blocks,
// a missing trailer) and reports it through OnGIFWarning; errors raise
// GIFException and leave the stream where loading began, keeping the frames
// read so far. Saving codes every frame again from its pixels.
//
// Threads: a GIF picture is a value object, safe on a worker thread while no
// other thread uses the same picture. The only shared table is the registry
// of extension classes, which loading reads: register extensions before any
// picture loads on a worker, never while one does.

#include <functional>
#include <memory>
#include <string>

#include "gif/GIFHeader.h"
#include "gif/GIFSubImage.h"
#include "gif/GIFUtils.h"
#include "platform/graphics/TGraphic.h"

class TGIFImageList : public TGIFList<TGIFSubImage> {
public:
    using TGIFList::TGIFList;
    // Reads frames up to the trailer; reports "Loading..." after each.
    void LoadFromStream(TStream& stream);
    // Writes every frame; reports "Saving..." after each.
    void SaveToStream(TStream& stream);
};

class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
};

using TGIFWarning = std::function<void(TObject* Sender, int Severity, const std::string& Message)>;

// PaintFlags bits.
constexpr std::uint16_t pfAsync = 0x0001;
constexpr std::uint16_t pfTransparent = 0x0002;
constexpr std::uint16_t pfAnimate = 0x0004;
constexpr std::uint16_t pfLoop = 0x0008;
constexpr std::uint16_t pfTile = 0x0100;
constexpr std::uint16_t pfDither = 0x0200;
constexpr std::uint16_t pfAutoDither = 0x0400;

enum TGIFCodingMethod : std::uint8_t { gcLZW = 0, gcRLE = 1 };

class TGIFImage : public TGraphic {
public:
    TGIFImage();
    ~TGIFImage() override;

    const char* ClassName() const override { return "TGIFImage"; }
    std::unique_ptr<TGraphic> Clone() const override;

    // The logical screen.
    int Width() const override { return FHeader.Width(); }
    int Height() const override { return FHeader.Height(); }
    // Refused with "Image width too small for contained frames" (height
    // likewise) when a frame would reach beyond the new size.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override { return FImages.Count() == 0; }

    void LoadFromStream(TStream& stream) override;
    // "Unsupported GIF version" for a picture without frames.
    void SaveToStream(TStream& stream) override;
    // Frame 0, to its place in the rectangle, through its mask by pfTransparent.
    void Draw(TCanvas& canvas, const TRect& rect) override;
    // Frame 0 at the logical screen's size; none for an empty picture.
    std::unique_ptr<class TBitmap> GetPictureBitmap();

    void ClearPicture();
    int AddFrame(std::unique_ptr<TGIFSubImage> frame);

    TGIFHeader& Header() { return FHeader; }
    const TGIFHeader& Header() const { return FHeader; }
    TGIFImageList& Images() { return FImages; }
    const TGIFImageList& Images() const { return FImages; }
    TGIFGlobalColorMap& GlobalColorMap() { return FHeader.ColorMap(); }

    bool QueryTransparent() const;
    TColor QueryBackgroundColour() { return FHeader.BackgroundColor(); }
    TGIFColorMap& QueryGlobalColourMap() { return FHeader.ColorMap(); }

    // 0 without frames, else the highest version the header or a frame needs.
    int MaxVersion() const;
    int MaxColorResolution() const;
    int MaxBitsPerPixel() const;

    std::uint16_t PaintFlags = 0x060F;
    std::uint8_t ReductionMethod = 6;
    int QuantizeBits = 8;
    std::uint8_t DitherKind = 0;
    TGIFCodingMethod CodingMethod = gcLZW;

    // Every warning of the codec; warnings never stop an operation.
    TGIFWarning OnGIFWarning;
    virtual void Warning(TObject* sender, int severity, const std::string& message);

    using TGraphic::Progress;
    void NotifyChanged() { Changed(); }

protected:
    bool AssignFrom(const TGraphic& source) override;
    bool AssignTo(TGraphic& dest) const override;

private:
    bool AssignFromGraphic(const TGraphic& source);
    bool FDrawing = false;
    TGIFHeader FHeader;
    TGIFImageList FImages;
};
