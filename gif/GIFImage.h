#pragma once

// The GIF picture: the header with the logical screen and the global colour
// map, and the frames in file order. Loading tolerates what the format's
// readers commonly meet (junk before the signature, zero bytes between blocks,
// a missing trailer, an extension of an unknown label) and reports it through
// OnGIFWarning; errors raise
// GIFException and leave the stream where loading began, keeping the frames
// read so far. Saving codes every frame again from its pixels.
//
// Threads: a GIF picture is a value object, safe on a worker thread while no
// other thread uses the same picture, the bitmap it keeps included. The
// shared tables are the registry of extension classes, which loading reads,
// and the codec-wide settings below, which every picture reads: set both
// before any picture is made or loaded on a worker, never while one is.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gif/GIFHeader.h"
#include "gif/GIFPalettes.h"
#include "gif/GIFSubImage.h"
#include "gif/GIFUtils.h"
#include "platform/graphics/TGraphic.h"
#include "platform/loop/TThread.h"

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

class TBitmap;

using TGIFWarning = std::function<void(TObject* Sender, int Severity, const std::string& Message)>;

// PaintFlags bits.
constexpr std::uint16_t pfAsync = 0x0001;
constexpr std::uint16_t pfTransparent = 0x0002;
constexpr std::uint16_t pfAnimate = 0x0004;
constexpr std::uint16_t pfLoop = 0x0008;
constexpr std::uint16_t pfLoopAlways = 0x0010;
constexpr std::uint16_t pfCheckCanvas = 0x0020;
constexpr std::uint16_t pfDirect = 0x0040;
constexpr std::uint16_t pfClearOnRestart = 0x0080;
constexpr std::uint16_t pfTile = 0x0100;
constexpr std::uint16_t pfDither = 0x0200;
constexpr std::uint16_t pfAutoDither = 0x0400;

// The screen's bits per pixel times its planes are 8 or less; set when the
// picture class registers. Dithering through the web palette follows the
// second when pfAutoDither is set.
extern bool ScreenHasPalette;
extern bool DitherOnPaletteScreen;

class TGIFPainter;
struct TGIFPainterClock;

// OptimizeFrames options.
constexpr unsigned ooCrop = 0x01;
constexpr unsigned ooMerge = 0x02;
constexpr unsigned ooCleanup = 0x04;
constexpr unsigned ooColorMap = 0x08;
constexpr unsigned ooReduceColors = 0x10;

enum TGIFCodingMethod : std::uint8_t { gcLZW = 0, gcRLE = 1 };

// The settings every new picture starts with.
struct TGIFImageDefaults {
    std::uint16_t PaintFlags = 0x060F;
    std::uint8_t ReductionMethod = 6;
    int QuantizeBits = 8;
    std::uint8_t DitherKind = 0;
    TGIFCodingMethod CodingMethod = gcLZW;
    TThreadPriority PainterPriority = tpNormal;
    int FramePace = 100;
};
extern TGIFImageDefaults GIFImageDefaults;
// Each frame renders its bitmap as soon as it is decoded.
extern bool RenderAtLoad;
// Writing component data optimises the frames first (all options, method 0).
extern bool OptimizeAtWrite;

// The clipboard format "GIF Image"; 0 until the picture class registers.
extern UINT CF_GIF;

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
    // With OptimizeAtWrite the frames are optimised before they are saved.
    void WriteData(TStream& stream) override;
    // Frame 0, to its place in the rectangle, through its mask by pfTransparent;
    // an animation through a painter (GIFImageAnimation.cpp).
    void Draw(TCanvas& canvas, const TRect& rect) override;
    // Frame 0 at the logical screen's size; none for an empty picture. The
    // picture keeps it until its content changes or ReleasePictureBitmap, and
    // changes to it notify the picture. While an animation runs in the kept
    // bitmap, frame 0 comes in a bitmap of its own.
    std::shared_ptr<class TBitmap> GetPictureBitmap();
    // Lets the kept bitmap go; a painter drawing into it is asked to stop.
    void ReleasePictureBitmap();

    void ClearPicture();
    // Appends a frame as it is.
    int AddFrame(std::unique_ptr<TGIFSubImage> frame);
    // Appends a frame made from a picture, or a copy of a frame that stays
    // the caller's; any other object is refused with "Object type not
    // supported for operation".
    int AddFrame(const TObject& source);
    using TGraphic::Assign;
    // A picture container gives its graphic; one without clears the picture
    // (GIFFrameSources.cpp).
    void Assign(const class TPicture& source);

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

    std::uint16_t PaintFlags = GIFImageDefaults.PaintFlags;
    std::uint8_t ReductionMethod = GIFImageDefaults.ReductionMethod;
    int QuantizeBits = GIFImageDefaults.QuantizeBits;
    std::uint8_t DitherKind = GIFImageDefaults.DitherKind;
    TGIFCodingMethod CodingMethod = GIFImageDefaults.CodingMethod;

    // pfDither set, and pfAutoDither clear or DitherOnPaletteScreen.
    bool NeedsDither() const;
    // The picture's palette, which it keeps: the web palette when it dithers,
    // else the global map's, else frame 0's. "No global or local color table
    // defined" when neither the picture nor frame 0 has colours.
    HPALETTE Palette();
    // Takes the handle; the old one is deleted. A new one lets the kept bitmap
    // go and marks the palette modified.
    void SetPalette(HPALETTE palette);
    // The global map's colours changed: a palette the picture made from them
    // goes, one a caller set stays.
    void GlobalColorsChanged();
    // `bitmap` stretched into `rect`, or by pfTile at natural size in cells of
    // the logical screen from the rectangle's top-left corner.
    void DrawTiled(TCanvas& canvas, TBitmap& bitmap, const TRect& rect);

    // The clipboard: data in the "GIF Image" format is GIF bytes; bitmap data
    // becomes a one-frame picture. Without data the clipboard's own is taken.
    void LoadFromClipboardFormat(UINT format, void* data, HPALETTE palette) override;
    // Frame 0 as a bitmap in `format`, `data` and `palette`; the GIF bytes are
    // placed on the clipboard as "GIF Image" besides.
    void SaveToClipboardFormat(UINT& format, void*& data, HPALETTE& palette) override;

    // Every warning of the codec; warnings never stop an operation.
    TGIFWarning OnGIFWarning;
    virtual void Warning(TObject* sender, int severity, const std::string& message);

    using TGraphic::Progress;
    void NotifyChanged() { Changed(); }

    // Animation (GIFImageAnimation.cpp). A painter is made suspended; with
    // pfAsync it is returned for the caller to resume, without it runs to the
    // end inside the call and none is returned.
    TGIFPainter* StartPainter(TGIFPainter** owner, TCanvas& canvas, std::uint16_t flags, const TRect& rect);
    // Stops the current painter and waits for it, serving its calls.
    void StopPainter();
    void StopAllPainters();
    // Detaches every asynchronous painter at once; they end by themselves.
    void KillPainters();
    TGIFPainter* CurrentPainter() const { return FCurrentPainter; }
    int PainterCount();
    // The kept bitmap while it is the animation's back buffer.
    TBitmap* BufferBitmap() const { return FBitmapIsBuffer ? FBitmap.get() : nullptr; }

    // Stages of GIFOptimize.cpp.
    void OptimizeFrames(unsigned options, int reductionMethod);

    TThreadPriority PainterPriority = GIFImageDefaults.PainterPriority;
    int FramePace = GIFImageDefaults.FramePace;
    TColor BackdropColor = 0x1FFFFFFF;  // clNone
    TNotifyEvent OnPaintBegin;
    TNotifyEvent OnFrameDraw;
    TNotifyEvent OnFrameDone;
    TNotifyEvent OnLoopRestart;
    TNotifyEvent OnPaintEnd;
    // The painters' clock and waits; the system's when none (tests set one).
    std::shared_ptr<TGIFPainterClock> PainterClock;

protected:
    bool AssignFrom(const TGraphic& source) override;
    bool AssignTo(TGraphic& dest) const override;

private:
    bool AssignFromGraphic(const TGraphic& source);
    friend class TGIFPainter;
    void DrawAnimated(TCanvas& canvas, const TRect& rect);
    TBitmap& MakeBufferBitmap();
    // Keeps `bitmap` as the picture's, its changes notifying the picture.
    void KeepBitmap(std::shared_ptr<TBitmap> bitmap, bool isBuffer);
    // Lets the kept bitmap go, whatever draws into it.
    void DropBitmap();
    void CopyFrom(const TGIFImage& source);
    void DrawBuffer(TCanvas& canvas, const TRect& rect);
    // Waits a moment for the painters' calls; false on a quit message, which
    // is posted again.
    static bool ServePainters();
    // The picture goes: painters still listed forget it.
    void DetachPainters();

    bool FDrawing = false;
    bool FPaletteGuard = false;
    TPaletteHandle FPalette;
    // FPalette was made by the picture itself, not handed in.
    bool FPaletteMade = false;
    std::recursive_mutex FPainterLock;
    std::vector<TGIFPainter*> FPainters;
    TGIFPainter* FCurrentPainter = nullptr;
    // Frame 0, or the animation's back buffer (FBitmapIsBuffer).
    std::shared_ptr<TBitmap> FBitmap;
    bool FBitmapIsBuffer = false;
    // Expires with the picture: a painter run inside Draw may see it freed.
    std::shared_ptr<char> FAlive = std::make_shared<char>();
    TGIFHeader FHeader;
    TGIFImageList FImages;
};
