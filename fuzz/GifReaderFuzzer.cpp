// libFuzzer entry: any bytes loaded as a GIF picture end in a picture, a
// GIFException, or a stream error, never in a crash, a hang or a huge
// allocation. Whatever loads is drawn on a small canvas, stretched and tiled,
// which costs what shows, not the frame's size; what loads (of a modest size)
// is saved again.

#include <cstddef>
#include <cstdint>
#include <string>

#include "gif/GIFImage.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream stream(std::string(reinterpret_cast<const char*>(data), size));
    TGIFImage image;
    image.OnGIFWarning = [](TObject*, int, const std::string&) {};
    try {
        image.LoadFromStream(stream);
    } catch (const Exception&) {
    }
    for (const bool tile : {false, true}) {
        image.PaintFlags = static_cast<std::uint16_t>(tile ? image.PaintFlags | pfTile : image.PaintFlags & ~pfTile);
        try {
            TBitmap target(48, 40, pf24bit);
            image.Draw(target.Canvas(), TRect{0, 0, 48, 40});
        } catch (const Exception&) {
        }
    }
    // Re-coding huge frames would only make the fuzzer slow.
    std::int64_t pixels = 0;
    for (const auto& frame : image.Images())
        pixels += frame->DataSize();
    if (pixels > (1 << 20))
        return 0;
    try {
        TMemoryStream out;
        image.SaveToStream(out);
    } catch (const GIFException&) {
    }
    return 0;
}
