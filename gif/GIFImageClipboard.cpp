#include <cstring>
#include <vector>

#include "gif/GIFImage.h"
#include "gif/GIFUtils.h"
#include "platform/core/TStream.h"
#include "platform/graphics/Clipboard.h"
#include "platform/graphics/TBitmap.h"

void TGIFImage::LoadFromClipboardFormat(UINT format, void* data, HPALETTE)
{
    if (!data)
        data = GetClipboardData(format);
    if (data && format == CF_GIF && CF_GIF != 0) {
        auto* memory = static_cast<HGLOBAL>(data);
        const auto* bytes = static_cast<const char*>(GlobalLock(memory));
        if (bytes) {
            TMemoryStream stream;
            stream.Write(bytes, std::int64_t(GlobalSize(memory)));
            GlobalUnlock(memory);
            stream.SetPosition(0);
            LoadFromStream(stream);
            return;
        }
    }
    if (data && format == CF_BITMAP) {
        if (TBitmap* source = BitmapOfHandle(static_cast<HBITMAP>(data))) {
            TBitmap bitmap;
            bitmap.Assign(*source);
            Assign(bitmap);
            return;
        }
    }
    GIFError("Format der Zwischenablage wird nicht unterst\xFCtzt");
}

void TGIFImage::SaveToClipboardFormat(UINT& format, void*& data, HPALETTE& palette)
{
    if (Empty())
        return;
    const std::shared_ptr<TBitmap> bitmap = GetPictureBitmap();
    std::unique_ptr<TGdiObject, decltype(&DeleteObject)> handle(
        CreateBitmap(bitmap->Width(), bitmap->Height(), 1, 24, nullptr), &DeleteObject);
    BitmapOfHandle(static_cast<HBITMAP>(handle.get()))->Assign(*bitmap);
    std::vector<PALETTEENTRY> entries;
    for (const TRGBQuad& q : bitmap->Palette())
        entries.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
    TPaletteHandle colours(entries.empty() ? nullptr : CreatePalette(entries));

    TMemoryStream stream;
    SaveToStream(stream);
    const std::string& bytes = stream.Bytes();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* target = memory ? GlobalLock(memory) : nullptr;
    if (target) {
        std::memcpy(target, bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    if (!target || !SetClipboardData(CF_GIF, memory)) {
        if (memory)
            GlobalFree(memory);
        GIFError("Failed to store GIF on clipboard");
    }
    format = CF_BITMAP;
    data = handle.release();
    palette = colours.release();
}
