#pragma once

// The picture classes' common base (TPicture, which holds one graphic of any
// registered format, is in TPicture.h).
//
// Assignment between picture classes: `dest.Assign(src)` asks the destination
// first (`AssignFrom`), then the source (`AssignTo`); when neither knows the
// other, it raises EConvertError "Cannot assign a <src> to a <dest>".
//
// LoadFromFile and SaveToFile wrap every error of the stream in an exception
// of the same class whose message starts with the file name. SaveToFile
// encodes the whole picture first and replaces the file only with complete
// bytes (ReplaceFileBytes): a failed save leaves the old file, or none.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/ClassRegistry.h"
#include "platform/graphics/Types.h"

class TStream;
class TCanvas;
class TGdiPalette;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Long operations of a graphic report a start, steps and an end.
enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, int PercentDone,
                                          bool RedrawNow, const TRect& R, const std::string& Msg)>;

class TGraphic : public TObject {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    virtual const char* ClassName() const = 0;
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual bool Empty() const = 0;

    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // The picture as a component's layout stores it: by default its own bytes.
    virtual void WriteData(TStream& stream) { SaveToStream(stream); }
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    void Assign(const TGraphic& source);

    // Clipboard data of a format the class knows (the clipboard's own data of
    // that format when `data` is none); the palette goes with bitmap data. The
    // base class knows none: EInvalidGraphic "Unsupported clipboard format".
    virtual void LoadFromClipboardFormat(std::uint32_t format, void* data, TGdiPalette* palette);
    virtual void SaveToClipboardFormat(std::uint32_t& format, void*& data, TGdiPalette*& palette);

    // Draws the graphic scaled into `rect` of the canvas. Implemented by each
    // class with the canvas.
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }
    // Set by a class whose palette was replaced; whoever shows it clears it.
    bool PaletteModified() const { return FPaletteModified; }
    void SetPaletteModified(bool value) { FPaletteModified = value; }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    // Fires OnProgress when it is set.
    void Progress(TObject* sender, TProgressStage stage, int percentDone, bool redrawNow, const TRect& r,
                  const std::string& msg)
    {
        if (OnProgress)
            OnProgress(sender, stage, percentDone, redrawNow, r, msg);
    }
    // Return false when the other class is unknown to this one.
    virtual bool AssignFrom(const TGraphic& source) = 0;
    virtual bool AssignTo(TGraphic& dest) const { return false; }
    // For AssignTo of classes that a bitmap takes as they draw: a TBitmap
    // `dest` becomes 24 bits of this graphic's size, white, with the graphic
    // drawn on it; false for any other class.
    bool AssignDrawnToBitmap(TGraphic& dest) const;
    // Marks the graphic modified and fires OnChange.
    void Changed();

private:
    bool FTransparent = false;
    bool FModified = false;
    bool FPaletteModified = false;
};

// Writes a graphic's saved bytes (what its SaveToStream gave) as SaveToFile
// would write them: the same file creation and the same errors, so a picture
// encoded elsewhere is written as if it were saved here.
void SaveGraphicBytes(const std::string& fileName, std::string_view bytes);

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
