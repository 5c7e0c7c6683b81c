#pragma once

// TPicture: one graphic of any registered format, and the format registry.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/TGraphic.h"

class TBitmap;

// Holds one graphic. Loading picks the class by the file's extension from the
// format registry (case-insensitive); an unknown extension raises
// EInvalidGraphic "Unknown picture file extension (.<ext>)".
class TPicture : public TObject {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Copies the graphic (nullptr empties the picture).
    void SetGraphic(const TGraphic* graphic);
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The picture as a bitmap: a bitmap graphic itself, or a new bitmap that
    // replaces any other graphic (its content is lost, as on the platform).
    TBitmap& Bitmap();

    int Width() const;
    int Height() const;
    bool Empty() const { return !FGraphic || FGraphic->Empty(); }

    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    void Assign(const TPicture& source);
    void Assign(const TGraphic* source) { SetGraphic(source); }

    TNotifyEvent OnChange;

    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TGraphicFactory factory);
    static void UnregisterFileFormat(const std::string& extension);
    static bool IsFileFormatRegistered(const std::string& extension);
    // "All (*.jpg;*.bmp)|*.jpg;*.bmp|JPEG Image File (*.jpg)|*.jpg|..." for dialogs.
    static std::string GraphicFilter();

    // Clipboard formats that a graphic class loads from.
    static void RegisterClipboardFormat(std::uint32_t format, TGraphicFactory factory);
    static void UnregisterClipboardFormat(std::uint32_t format);
    static bool SupportsClipboardFormat(std::uint32_t format);
    // A new graphic of the format's class from the data; EInvalidGraphic
    // "Unsupported clipboard format" for a format nobody registered.
    void LoadFromClipboardFormat(std::uint32_t format, void* data, TGdiPalette* palette);

private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};
