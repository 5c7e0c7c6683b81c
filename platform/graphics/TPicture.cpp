#include "platform/graphics/TPicture.h"

#include <algorithm>
#include <mutex>
#include <string_view>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TIcon.h"
#include "platform/graphics/TJPEGImage.h"
#include "platform/graphics/TMetafile.h"

namespace {

struct TFileFormat {
    std::string Extension;  // lower case, no dot
    std::string Description;
    TGraphicFactory Factory;
};

struct TFileFormats {
    std::mutex Lock;
    std::vector<TFileFormat> Formats;
};

// Extensions are compared in lower case without their dot, so "GIF", ".gif"
// and "gif" name the same format.
std::string NormalizeExtension(std::string_view extension)
{
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    return LowerCase(extension);
}

// The built-in formats, made on first use so that registrations from other
// units' start-up code find the list ready whatever the order of start-up.
TFileFormats& FileFormats()
{
    static TFileFormats formats{
        {},
        {
            {"jpg", "JPEG Image File", [] { return std::make_unique<TJPEGImage>(); }},
            {"jpeg", "JPEG Image File", [] { return std::make_unique<TJPEGImage>(); }},
            {"jpe", "JPEG Image File", [] { return std::make_unique<TJPEGImage>(); }},
            {"bmp", "Bitmaps", [] { return std::make_unique<TBitmap>(); }},
            {"ico", "Icons", [] { return std::make_unique<TIcon>(); }},
            {"wmf", "Metafiles", [] { return std::make_unique<TMetafile>(); }},
            {"emf", "Enhanced Metafiles", [] { return std::make_unique<TMetafile>(); }},
        }};
    return formats;
}

struct TClipboardFormats {
    std::mutex Lock;
    std::vector<std::pair<std::uint32_t, TGraphicFactory>> Formats;
};

TClipboardFormats& ClipboardFormats()
{
    static TClipboardFormats formats;
    return formats;
}

TGraphicFactory FindClipboardFactory(std::uint32_t format)
{
    TClipboardFormats& registry = ClipboardFormats();
    std::lock_guard guard(registry.Lock);
    // The newest registration of a format wins.
    for (auto it = registry.Formats.rbegin(); it != registry.Formats.rend(); ++it)
        if (it->first == format) return it->second;
    return {};
}

TGraphicFactory FindFactory(const std::string& extension)
{
    TFileFormats& registry = FileFormats();
    std::lock_guard guard(registry.Lock);
    for (const TFileFormat& format : registry.Formats)
        if (format.Extension == extension) return format.Factory;
    return {};
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicFactory factory)
{
    const std::string ext = NormalizeExtension(extension);
    TFileFormats& registry = FileFormats();
    std::lock_guard guard(registry.Lock);
    // A later registration of the same extension wins, as the platform looks
    // its list up from the newest entry. It takes the old entry's place, so
    // the dialog filter keeps its order.
    auto same = std::ranges::find(registry.Formats, ext, &TFileFormat::Extension);
    if (same != registry.Formats.end())
        *same = {ext, description, std::move(factory)};
    else
        registry.Formats.push_back({ext, description, std::move(factory)});
}

void TPicture::UnregisterFileFormat(const std::string& extension)
{
    const std::string ext = NormalizeExtension(extension);
    TFileFormats& registry = FileFormats();
    std::lock_guard guard(registry.Lock);
    std::erase_if(registry.Formats, [&](const TFileFormat& f) { return f.Extension == ext; });
}

bool TPicture::IsFileFormatRegistered(const std::string& extension)
{
    return static_cast<bool>(FindFactory(NormalizeExtension(extension)));
}

std::string TPicture::GraphicFilter()
{
    TFileFormats& registry = FileFormats();
    std::lock_guard guard(registry.Lock);
    std::string masks;
    std::string entries;
    for (const TFileFormat& format : registry.Formats) {
        const std::string mask = "*." + format.Extension;
        if (!masks.empty()) masks += ';';
        masks += mask;
        entries += '|' + format.Description + " (" + mask + ")|" + mask;
    }
    return "All (" + masks + ")|" + masks + entries;
}

void TPicture::RegisterClipboardFormat(std::uint32_t format, TGraphicFactory factory)
{
    TClipboardFormats& registry = ClipboardFormats();
    std::lock_guard guard(registry.Lock);
    registry.Formats.emplace_back(format, std::move(factory));
}

void TPicture::UnregisterClipboardFormat(std::uint32_t format)
{
    TClipboardFormats& registry = ClipboardFormats();
    std::lock_guard guard(registry.Lock);
    std::erase_if(registry.Formats, [&](const auto& entry) { return entry.first == format; });
}

bool TPicture::SupportsClipboardFormat(std::uint32_t format)
{
    return static_cast<bool>(FindClipboardFactory(format));
}

void TPicture::LoadFromClipboardFormat(std::uint32_t format, void* data, TGdiPalette* palette)
{
    const TGraphicFactory factory = FindClipboardFactory(format);
    if (!factory) throw EInvalidGraphic("Unsupported clipboard format");
    std::unique_ptr<TGraphic> graphic = factory();
    graphic->LoadFromClipboardFormat(format, data, palette);
    SetGraphic(std::move(graphic));
}

void TPicture::SetGraphic(const TGraphic* graphic)
{
    SetGraphic(graphic ? graphic->Clone() : nullptr);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    if (graphic) graphic->OnChange = [this](TObject*) { Changed(); };
    FGraphic = std::move(graphic);
    Changed();
}

TBitmap& TPicture::Bitmap()
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get())) return *bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    TBitmap& result = *bitmap;
    SetGraphic(std::move(bitmap));
    return result;
}

int TPicture::Width() const
{
    return FGraphic ? FGraphic->Width() : 0;
}

int TPicture::Height() const
{
    return FGraphic ? FGraphic->Height() : 0;
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    const std::string ext = NormalizeExtension(ExtractFileExt(fileName));
    const TGraphicFactory factory = FindFactory(ext);
    if (!factory) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    std::unique_ptr<TGraphic> graphic = factory();
    // Loaded before it replaces the old graphic, so a failed load keeps the picture as it was.
    graphic->LoadFromFile(fileName);
    SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName)
{
    if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::Assign(const TPicture& source)
{
    if (&source == this) return;
    SetGraphic(source.Graphic());
}

void TPicture::Changed()
{
    if (OnChange) OnChange(this);
}
