#pragma once

// A GIF colour table: 0 to 256 entries of red, green, blue, and a sorted flag
// (entries ordered by decreasing use). Colours are values with red in the low
// byte; the high byte is ignored on input and 0 on output. The global kind
// belongs to the header and serves every frame without local entries; the
// local kind belongs to one frame.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/ClassRegistry.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/DeviceContext.h"

class TStream;
class TGIFImage;
class TGIFSubImage;

struct TGIFColor {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const TGIFColor&, const TGIFColor&) = default;
};

// Old index to new index; entries beyond a map's count map to themselves.
using TColorRemap = std::array<std::uint8_t, 256>;

class TGIFColorMap : public TObject {
public:
    TGIFColorMap() = default;
    TGIFColorMap(const TGIFColorMap&) = delete;
    TGIFColorMap& operator=(const TGIFColorMap&) = delete;

    int Count() const { return FCount; }
    // Reserved entries: 16 for up to 16, else multiples of 32, at most 256.
    int Capacity() const { return FCapacity; }
    bool Optimized() const { return FOptimized; }
    void SetOptimized(bool value) { FOptimized = value; }
    const TGIFColor* Data() const { return FColors.data(); }
    // The entry itself, without checks; for the codec's own loops.
    const TGIFColor& Entry(int index) const { return FColors[static_cast<std::size_t>(index)]; }

    void Clear();
    // Raises "Color table overflow" at 256 entries.
    int Add(TColor color);
    int AddUnique(TColor color);
    // Raises "Invalid color index" outside 0..Count-1.
    void Delete(int index);
    // Sorted: the first match; unsorted: the last; -1 when absent.
    int IndexOf(TColor color) const;
    // Outside 0..Count-1 warns "Invalid color index" and answers entry 0; an
    // empty map raises "Color table is empty".
    TColor Colors(int index);
    int BitsPerPixel() const;

    void ImportPalette(HPALETTE palette);
    void ImportColorTable(const RGBQUAD* table, int count);
    void ImportDIBColors(HDC dc);
    // A new palette (the caller deletes it), nullptr for an empty map.
    HPALETTE ExportPalette() const;

    void Assign(const TGIFColorMap& source);
    // Clears, then reads `count` entries ("Premature end of data" when short).
    void LoadFromStream(TStream& stream, int count);
    // The entries and zero entries up to 2^BitsPerPixel.
    void SaveToStream(TStream& stream) const;

    // Sorts the entries by decreasing use and drops the unused ones, keeping
    // those that a transparent or background index names. False for a map of
    // at most one entry.
    bool Optimize();

    virtual void Warning(int severity, const std::string& message) = 0;

protected:
    // Use count of every entry.
    virtual void BuildHistogram(std::array<std::int64_t, 256>& uses) = 0;
    // Entries that an index outside the pixels names.
    virtual void MarkReferenced(std::array<bool, 256>& referenced) = 0;
    virtual void MapImages(const TColorRemap& map) = 0;
    virtual bool CanOptimize() const { return true; }
    virtual void Changed() = 0;

private:
    void Reserve(int count);

    std::array<TGIFColor, 256> FColors{};
    int FCount = 0;
    int FCapacity = 0;
    bool FOptimized = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFImage* image) : FImage(image) {}
    void Warning(int severity, const std::string& message) override;

protected:
    void BuildHistogram(std::array<std::int64_t, 256>& uses) override;
    void MarkReferenced(std::array<bool, 256>& referenced) override;
    void MapImages(const TColorRemap& map) override;
    bool CanOptimize() const override;
    void Changed() override;

private:
    TGIFImage* FImage;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* subImage) : FSubImage(subImage) {}
    void Warning(int severity, const std::string& message) override;

protected:
    void BuildHistogram(std::array<std::int64_t, 256>& uses) override;
    void MarkReferenced(std::array<bool, 256>& referenced) override;
    void MapImages(const TColorRemap& map) override;
    void Changed() override;

private:
    TGIFSubImage* FSubImage;
};
