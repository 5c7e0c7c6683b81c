#include "gif/GIFImage.h"

#include <algorithm>
#include <new>

#include "gif/GIFFrameBitmap.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TPicture.h"

#include "platform/core/TStream.h"
#include "platform/graphics/Clipboard.h"

TGIFImageDefaults GIFImageDefaults;
bool RenderAtLoad = false;
bool OptimizeAtWrite = false;

// ---- TGIFImageList

void TGIFImageList::LoadFromStream(TStream& stream)
{
    const std::int64_t size = std::max<std::int64_t>(1, stream.Size());
    for (;;) {
        int b;
        do
            b = ReadByte(stream);
        while (b == 0);
        if (b < 0)
            return;
        if (b == bsTrailer) {
            Unread(stream);
            return;
        }
        if (b != bsExtensionIntroducer && b != bsImageSeparator) {
            Warning(1, "Unknown GIF block type");
            // The trailer check then reads the byte before this block.
            stream.Seek(-2, soCurrent);
            return;
        }
        Unread(stream);
        auto frame = std::make_unique<TGIFSubImage>(FImage);
        frame->LoadFromStream(stream);
        TGIFSubImage& loaded = *frame;
        Add(std::move(frame));
        if (RenderAtLoad)
            loaded.Bitmap();
        if (FImage)
            FImage->Progress(this, psRunning, static_cast<int>(std::min<std::int64_t>(100, stream.Position() * 100 / size)),
                             RenderAtLoad, TRect{}, "Loading...");
    }
}

void TGIFImageList::SaveToStream(TStream& stream)
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        Items(i)->SaveToStream(stream);
        if (FImage)
            FImage->Progress(this, psRunning, (i + 1) * 100 / count, false, TRect{}, "Saving...");
    }
}

// ---- TGIFTrailer

void TGIFTrailer::LoadFromStream(TStream& stream)
{
    const int b = ReadByte(stream);
    if (b >= 0 && b != bsTrailer)
        Warning(1, "Invalid Image trailer");
}

void TGIFTrailer::SaveToStream(TStream& stream)
{
    WriteByte(stream, bsTrailer);
}

// ---- TGIFImage

TGIFImage::TGIFImage() : FHeader(this), FImages(this)
{
    ClearPicture();
}

TGIFImage::~TGIFImage()
{
    StopAllPainters();
    DetachPainters();
}

std::unique_ptr<TGraphic> TGIFImage::Clone() const
{
    auto copy = std::make_unique<TGIFImage>();
    copy->AssignFrom(*this);
    return copy;
}

void TGIFImage::ClearPicture()
{
    StopAllPainters();
    FImages.Clear();
    FHeader.ColorMap().Clear();
    FHeader.SetWidth(0);
    FHeader.SetHeight(0);
    FHeader.Prepare();
    FPalette.reset();
    FPaletteMade = false;
}

void TGIFImage::SetWidth(int width)
{
    for (const auto& frame : FImages)
        if (frame->Left() + frame->Width() > width)
            GIFError("Image width too small for contained frames");
    if (width != Width()) {
        FHeader.SetWidth(width);
        ReleasePictureBitmap();
        Changed();
    }
}

void TGIFImage::SetHeight(int height)
{
    for (const auto& frame : FImages)
        if (frame->Top() + frame->Height() > height)
            GIFError("Image height too small for contained frames");
    if (height != Height()) {
        FHeader.SetHeight(height);
        ReleasePictureBitmap();
        Changed();
    }
}

void TGIFImage::LoadFromStream(TStream& stream)
{
    Progress(this, psStarting, 0, false, TRect{}, "Loading...");
    
    try {
        ClearPicture();
        const std::int64_t start = stream.Position();
        try {
            FHeader.LoadFromStream(stream);
            FImages.LoadFromStream(stream);
            TGIFTrailer trailer(this);
            trailer.LoadFromStream(stream);
        } catch (const std::bad_alloc&) {
            stream.SetPosition(start);
            GIFError("Out of memory");
        } catch (...) {
            stream.SetPosition(start);
            throw;
        }
    } catch (...) {
        Progress(this, psEnding, 0, true, TRect{}, "Loading...");
        throw;
    }
    Progress(this, psEnding, 100, true, TRect{}, "Loading...");
    Changed();
}

void TGIFImage::SaveToStream(TStream& stream)
{
    Progress(this, psStarting, 0, false, TRect{}, "Saving...");
    try {
        FHeader.SaveToStream(stream);
        FImages.SaveToStream(stream);
        TGIFTrailer trailer(this);
        trailer.SaveToStream(stream);
    } catch (...) {
        Progress(this, psEnding, 0, true, TRect{}, "Saving...");
        throw;
    }
    Progress(this, psEnding, 100, true, TRect{}, "Saving...");
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect)
{
    // A frame drawn through a canvas that draws this picture again does nothing.
    if (FDrawing || Empty())
        return;
    if (FImages.Count() > 1 && (PaintFlags & pfAnimate)) {
        DrawAnimated(canvas, rect);
        return;
    }
    FDrawing = true;
    try {
        DrawFrame(*FImages.Items(0), canvas, rect, PaintFlags & pfTransparent, PaintFlags & pfTile);
    } catch (...) {
        FDrawing = false;
        throw;
    }
    FDrawing = false;
}

void TGIFImage::WriteData(TStream& stream)
{
    if (OptimizeAtWrite)
        OptimizeFrames(ooCrop | ooMerge | ooCleanup | ooColorMap | ooReduceColors, 0);
    TGraphic::WriteData(stream);
}

std::shared_ptr<TBitmap> TGIFImage::GetPictureBitmap()
{
    if (Empty())
        return nullptr;
    if (FBitmap && !FBitmapIsBuffer)
        return FBitmap;
    // A copy of frame 0's kept bitmap, or made afresh without keeping one there.
    std::shared_ptr<TBitmap> still = PictureBitmap(*this);
    // The animation's buffer shows whichever frame is on; it stays.
    if (FBitmap)
        return still;
    KeepBitmap(std::move(still), false);
    return FBitmap;
}

void TGIFImage::KeepBitmap(std::shared_ptr<TBitmap> bitmap, bool isBuffer)
{
    DropBitmap();
    FBitmap = std::move(bitmap);
    FBitmapIsBuffer = isBuffer;
    FBitmap->OnChange = [this](TObject*) { Changed(); };
    // The painter draws on the buffer's canvas, which is what changes it.
    if (isBuffer)
        FBitmap->Canvas().OnChange = [this](TObject*) { Changed(); };
}

void TGIFImage::DropBitmap()
{
    if (!FBitmap)
        return;
    // Whoever still holds the bitmap no longer reaches the picture through it.
    FBitmap->OnChange = nullptr;
    if (FBitmapIsBuffer)
        FBitmap->Canvas().OnChange = nullptr;
    FBitmap.reset();
    FBitmapIsBuffer = false;
}

bool TGIFImage::AssignTo(TGraphic& dest) const
{
    auto* bitmap = dynamic_cast<TBitmap*>(&dest);
    if (!bitmap)
        return false;
    std::shared_ptr<TBitmap> picture = const_cast<TGIFImage&>(*this).GetPictureBitmap();
    if (picture)
        bitmap->Assign(*picture);
    else
        bitmap->SetSize(0, 0);
    return true;
}

int TGIFImage::AddFrame(std::unique_ptr<TGIFSubImage> frame)
{
    const int index = FImages.Add(std::move(frame));
    ReleasePictureBitmap();
    Changed();
    return index;
}

int TGIFImage::AddFrame(const TObject& source)
{
    auto frame = std::make_unique<TGIFSubImage>(this);
    if (const auto* graphic = dynamic_cast<const TGraphic*>(&source))
        FrameFromGraphic(*frame, *graphic);
    else if (const auto* other = dynamic_cast<const TGIFSubImage*>(&source))
        frame->Assign(*other);
    else
        GIFError("Object type not supported for operation");
    return AddFrame(std::move(frame));
}

bool TGIFImage::QueryTransparent() const
{
    return std::any_of(FImages.begin(), FImages.end(), [](const auto& frame) {
        const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
        return gce && gce->Transparent();
    });
}

int TGIFImage::MaxVersion() const
{
    if (FImages.Count() == 0)
        return 0;
    int version = FHeader.GetVersion();
    for (const auto& frame : FImages) {
        if (version >= 2)
            break;
        version = std::max(version, frame->GetVersion());
    }
    return version;
}

int TGIFImage::MaxColorResolution() const
{
    int resolution = FHeader.ColorResolution();
    for (const auto& frame : FImages)
        resolution = std::max(resolution, frame->ColorResolution());
    return resolution;
}

int TGIFImage::MaxBitsPerPixel() const
{
    int bits = FHeader.BitsPerPixel();
    for (const auto& frame : FImages)
        bits = std::max(bits, frame->BitsPerPixel());
    return bits;
}

void TGIFImage::Warning(TObject* sender, int severity, const std::string& message)
{
    if (OnGIFWarning)
        OnGIFWarning(sender, severity, message);
}

bool TGIFImage::AssignFrom(const TGraphic& source)
{
    const auto* gif = dynamic_cast<const TGIFImage*>(&source);
    if (!gif)
        return AssignFromGraphic(source);
    if (gif != this)
        CopyFrom(*gif);
    return true;
}

void TGIFImage::CopyFrom(const TGIFImage& source)
{
    ClearPicture();
    // The copy reports to whoever listens to the source; afterwards nobody
    // listens to it.
    OnProgress = source.OnProgress;
    OnGIFWarning = source.OnGIFWarning;
    struct TUnhook {
        TGIFImage& Picture;
        ~TUnhook()
        {
            Picture.OnProgress = nullptr;
            Picture.OnGIFWarning = nullptr;
        }
    } unhook{*this};
    Progress(this, psStarting, 0, false, TRect{}, "Copying...");
    try {
        FHeader.Assign(source.FHeader);
        PaintFlags = source.PaintFlags;
        ReductionMethod = source.ReductionMethod;
        PainterPriority = source.PainterPriority;
        BackdropColor = source.BackdropColor;
        DitherKind = source.DitherKind;
        const int count = source.FImages.Count();
        int done = 0;
        for (const auto& frame : source.FImages) {
            auto copy = std::make_unique<TGIFSubImage>(this);
            copy->Assign(*frame);
            AddFrame(std::move(copy));
            Progress(this, psRunning, ++done * 100 / count, false, TRect{}, "Copying...");
        }
    } catch (...) {
        Progress(this, psEnding, 0, false, TRect{}, "Copying...");
        throw;
    }
    Progress(this, psEnding, 100, false, TRect{}, "Copying...");
}

bool TGIFImage::AssignFromGraphic(const TGraphic& source)
{
    if (source.Empty() && !dynamic_cast<const TBitmap*>(&source))
        return false;
    ClearPicture();
    auto frame = std::make_unique<TGIFSubImage>(this);
    FrameFromGraphic(*frame, source);
    if (!frame->Empty())
        AddFrame(std::move(frame));
    else
        Changed();
    return true;
}

UINT CF_GIF = 0;

namespace {

// Every program that links the picture class loads ".gif" through TPicture
// and takes "GIF Image" from the clipboard; both end with the program.
struct TGIFRegistration {
    TGIFRegistration()
    {
        auto factory = [] { return std::make_unique<TGIFImage>(); };
        TPicture::RegisterFileFormat("gif", "GIF Image", factory);
        CF_GIF = RegisterClipboardFormat("GIF Image");
        TPicture::RegisterClipboardFormat(CF_GIF, factory);
        if (HDC screen = GetDC(0)) {
            ScreenHasPalette = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) <= 8;
            ReleaseDC(0, screen);
        }
        DitherOnPaletteScreen = ScreenHasPalette;
    }
    ~TGIFRegistration()
    {
        TPicture::UnregisterClipboardFormat(CF_GIF);
        TPicture::UnregisterFileFormat("gif");
    }
    TGIFRegistration(const TGIFRegistration&) = delete;
    TGIFRegistration& operator=(const TGIFRegistration&) = delete;
};

const TGIFRegistration GIFRegistration;

}  // namespace
