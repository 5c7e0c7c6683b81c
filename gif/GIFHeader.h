#pragma once

// The file's header: signature and version, the 7-byte logical screen
// descriptor kept whole, and the global colour map.

#include <array>
#include <cstdint>

#include "gif/GIFColorMap.h"
#include "gif/GIFItem.h"
#include "gif/GIFUtils.h"

class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image);

    void Clear();
    void Assign(const TGIFHeader& source);
    void Assign(const TGIFColorMap& source);

    int GetVersion() const override;
    // Reads signature, version, screen descriptor and global table; up to 4
    // bytes of junk before "GIF" are passed over.
    void LoadFromStream(TStream& stream) override;
    // Rebuilds the packed byte from the picture, then writes.
    void SaveToStream(TStream& stream) override;
    void Prepare();

    int Width() const { return ReadLE16(&FDescriptor[0]); }
    int Height() const { return ReadLE16(&FDescriptor[2]); }
    void SetWidth(int value) { WriteLE16(&FDescriptor[0], static_cast<std::uint16_t>(value)); }
    void SetHeight(int value) { WriteLE16(&FDescriptor[2], static_cast<std::uint16_t>(value)); }
    std::uint8_t Packed() const { return FDescriptor[4]; }
    std::uint8_t BackgroundColorIndex() const { return FDescriptor[5]; }
    void SetBackgroundColorIndex(std::uint8_t value) { FDescriptor[5] = value; }
    std::uint8_t AspectRatio() const { return FDescriptor[6]; }
    void SetAspectRatio(std::uint8_t value) { FDescriptor[6] = value; }
    const std::array<std::uint8_t, 7>& Descriptor() const { return FDescriptor; }
    // The version bytes as read ("87a", "89a", or whatever the file held).
    const std::string& ReadVersion() const { return FReadVersion; }

    TGIFGlobalColorMap& ColorMap() { return FColorMap; }
    const TGIFGlobalColorMap& ColorMap() const { return FColorMap; }
    TColor BackgroundColor() { return FColorMap.Colors(BackgroundColorIndex()); }
    int BitsPerPixel() const { return FColorMap.BitsPerPixel(); }
    int ColorResolution() const { return BitsPerPixel() - 1; }

private:
    std::array<std::uint8_t, 7> FDescriptor{};
    std::string FReadVersion;
    TGIFGlobalColorMap FColorMap;
};
