#include "gif/GIFColorMap.h"

#include <algorithm>
#include <numeric>

#include "gif/GIFImage.h"
#include "gif/GIFSubImage.h"
#include "gif/GIFUtils.h"
#include "platform/core/TStream.h"

namespace {

int CapacityFor(int count)
{
    if (count <= 16)
        return 16;
    return std::min(256, (count + 31) / 32 * 32);
}

TGIFColor ToEntry(TColor color)
{
    return {GetRValue(color), GetGValue(color), GetBValue(color)};
}

TColor ToColor(const TGIFColor& entry)
{
    return RGB(entry.Red, entry.Green, entry.Blue);
}

void CountPixels(const TGIFSubImage& frame, std::array<std::int64_t, 256>& uses)
{
    const std::uint8_t* p = frame.Data();
    if (!p)
        return;
    // Four counts side by side: runs of one index do not wait on one counter.
    std::array<std::array<std::uint32_t, 256>, 4> counts{};
    const std::int64_t n = frame.DataSize();
    std::int64_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++counts[0][p[i]];
        ++counts[1][p[i + 1]];
        ++counts[2][p[i + 2]];
        ++counts[3][p[i + 3]];
    }
    for (; i < n; ++i)
        ++counts[0][p[i]];
    for (int c = 0; c < 256; ++c)
        uses[static_cast<std::size_t>(c)] += std::int64_t(counts[0][static_cast<std::size_t>(c)]) +
                                             counts[1][static_cast<std::size_t>(c)] +
                                             counts[2][static_cast<std::size_t>(c)] +
                                             counts[3][static_cast<std::size_t>(c)];
}

void RemapFrame(TGIFSubImage& frame, const TColorRemap& map)
{
    std::uint8_t* p = frame.Data();
    if (p)
        for (std::int64_t i = 0, n = frame.DataSize(); i < n; ++i)
            p[i] = map[p[i]];
    TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    if (!gce || !gce->Transparent())
        return;
    const int index = gce->TransparentColorIndex();
    if (index < frame.ActiveColorMap().Count()) {
        gce->SetTransparentColorIndex(map[static_cast<std::size_t>(index)]);
        return;
    }
    // An index past the table stays where it is, so that it never lands on a
    // colour in use; unused, its flag goes as any unused one's does.
    if (!frame.UsesIndex(index))
        gce->SetTransparent(false);
}

bool UsesMap(TGIFSubImage& frame, const TGIFColorMap* map)
{
    return &frame.ActiveColorMap() == map;
}

} // namespace

void TGIFColorMap::Reserve(int count)
{
    if (count > FCapacity)
        FCapacity = CapacityFor(count);
}

void TGIFColorMap::Clear()
{
    FCount = 0;
    FCapacity = 0;
    FOptimized = false;
}

int TGIFColorMap::Add(TColor color)
{
    if (FCount >= 256)
        GIFError("Color table overflow");
    Reserve(FCount + 1);
    FColors[static_cast<std::size_t>(FCount)] = ToEntry(color);
    FOptimized = false;
    const int index = FCount++;
    Changed();
    return index;
}

int TGIFColorMap::AddUnique(TColor color)
{
    const int index = IndexOf(color);
    return index >= 0 ? index : Add(color);
}

void TGIFColorMap::Delete(int index)
{
    if (index < 0 || index >= FCount)
        GIFError("Invalid color index");
    std::copy(FColors.begin() + index + 1, FColors.begin() + FCount, FColors.begin() + index);
    --FCount;
    FOptimized = false;
    Changed();
}

int TGIFColorMap::IndexOf(TColor color) const
{
    const TGIFColor entry = ToEntry(color);
    if (FOptimized) {
        for (int i = 0; i < FCount; ++i)
            if (FColors[static_cast<std::size_t>(i)] == entry)
                return i;
    } else {
        for (int i = FCount - 1; i >= 0; --i)
            if (FColors[static_cast<std::size_t>(i)] == entry)
                return i;
    }
    return -1;
}

TColor TGIFColorMap::Colors(int index)
{
    if (FCount == 0)
        GIFError("Color table is empty");
    if (index < 0 || index >= FCount) {
        Warning(1, "Invalid color index");
        index = 0;
    }
    return ToColor(FColors[static_cast<std::size_t>(index)]);
}

int TGIFColorMap::BitsPerPixel() const
{
    return BitsForColorCount(FCount);
}

void TGIFColorMap::ImportPalette(HPALETTE palette)
{
    Clear();
    if (!palette)
        return;
    PALETTEENTRY entries[256];
    const int n = static_cast<int>(GetPaletteEntries(palette, 0, 256, entries));
    if (n <= 0)
        return;
    Reserve(n);
    for (int i = 0; i < n; ++i)
        FColors[static_cast<std::size_t>(i)] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue};
    FCount = n;
    Changed();
}

void TGIFColorMap::ImportColorTable(const RGBQUAD* table, int count)
{
    Clear();
    count = std::min(count, 256);
    if (count <= 0 || !table)
        return;
    Reserve(count);
    for (int i = 0; i < count; ++i)
        FColors[static_cast<std::size_t>(i)] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue};
    FCount = count;
    Changed();
}

void TGIFColorMap::ImportDIBColors(HDC dc)
{
    RGBQUAD table[256];
    const int n = static_cast<int>(GetDIBColorTable(dc, 0, 256, table));
    ImportColorTable(table, n);
}

HPALETTE TGIFColorMap::ExportPalette() const
{
    if (FCount == 0)
        return nullptr;
    std::vector<PALETTEENTRY> entries(static_cast<std::size_t>(FCount));
    for (int i = 0; i < FCount; ++i) {
        const TGIFColor& c = FColors[static_cast<std::size_t>(i)];
        entries[static_cast<std::size_t>(i)] = {c.Red, c.Green, c.Blue, PC_NOCOLLAPSE};
    }
    return CreatePalette(entries);
}

void TGIFColorMap::Assign(const TGIFColorMap& source)
{
    if (&source == this)
        return;
    Clear();
    FCapacity = source.FCapacity;
    FCount = source.FCount;
    FOptimized = source.FOptimized;
    FColors = source.FColors;
    Changed();
}

void TGIFColorMap::LoadFromStream(TStream& stream, int count)
{
    Clear();
    count = std::clamp(count, 0, 256);
    Reserve(count);
    ReadExact(stream, FColors.data(), static_cast<std::size_t>(count) * 3);
    FCount = count;
}

void TGIFColorMap::SaveToStream(TStream& stream) const
{
    if (FCount == 0)
        return;
    std::array<TGIFColor, 256> padded{};
    std::copy(FColors.begin(), FColors.begin() + FCount, padded.begin());
    stream.WriteBuffer(padded.data(), std::size_t(3) << BitsPerPixel());
}

bool TGIFColorMap::Optimize()
{
    if (FCount <= 1)
        return false;
    if (!CanOptimize())
        return false;
    FOptimized = true;
    std::array<std::int64_t, 256> uses{};
    BuildHistogram(uses);
    std::array<bool, 256> referenced{};
    MarkReferenced(referenced);
    std::array<int, 256> order;
    std::iota(order.begin(), order.begin() + FCount, 0);
    // Equal use keeps the present order; among unused entries those that an
    // index still names come first, so that the cut keeps them.
    std::stable_sort(order.begin(), order.begin() + FCount, [&](int a, int b) {
        if (uses[static_cast<std::size_t>(a)] != uses[static_cast<std::size_t>(b)])
            return uses[static_cast<std::size_t>(a)] > uses[static_cast<std::size_t>(b)];
        return uses[static_cast<std::size_t>(a)] == 0 && referenced[static_cast<std::size_t>(a)] &&
               !referenced[static_cast<std::size_t>(b)];
    });
    bool same = true;
    for (int i = 0; i < FCount; ++i)
        same = same && order[static_cast<std::size_t>(i)] == i;
    if (same)
        return true;

    TColorRemap map;
    for (int i = 0; i < 256; ++i)
        map[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    std::array<TGIFColor, 256> moved{};
    int kept = 0;
    for (int i = 0; i < FCount; ++i) {
        const int old = order[static_cast<std::size_t>(i)];
        map[static_cast<std::size_t>(old)] = static_cast<std::uint8_t>(i);
        moved[static_cast<std::size_t>(i)] = FColors[static_cast<std::size_t>(old)];
        if (uses[static_cast<std::size_t>(old)] > 0 || referenced[static_cast<std::size_t>(old)])
            kept = i + 1;
    }
    MapImages(map);
    FColors = moved;
    FCount = kept;
    Changed();
    return true;
}

// ---- TGIFGlobalColorMap

void TGIFGlobalColorMap::Warning(int severity, const std::string& message)
{
    GIFWarning(FImage, this, severity, message);
}

void TGIFGlobalColorMap::BuildHistogram(std::array<std::int64_t, 256>& uses)
{
    if (!FImage)
        return;
    for (const auto& frame : FImage->Images())
        if (UsesMap(*frame, this))
            CountPixels(*frame, uses);
}

void TGIFGlobalColorMap::MarkReferenced(std::array<bool, 256>& referenced)
{
    if (!FImage)
        return;
    referenced[FImage->Header().BackgroundColorIndex()] = true;
    for (const auto& frame : FImage->Images()) {
        const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
        if (UsesMap(*frame, this) && gce && gce->Transparent())
            referenced[gce->TransparentColorIndex()] = true;
    }
}

void TGIFGlobalColorMap::MapImages(const TColorRemap& map)
{
    if (!FImage)
        return;
    for (const auto& frame : FImage->Images())
        if (UsesMap(*frame, this))
            RemapFrame(*frame, map);
    TGIFHeader& header = FImage->Header();
    header.SetBackgroundColorIndex(map[header.BackgroundColorIndex()]);
}

bool TGIFGlobalColorMap::CanOptimize() const
{
    return FImage && FImage->Images().Count() > 0;
}

void TGIFGlobalColorMap::Changed()
{
    if (!FImage)
        return;
    // A frame drawn in these colours is rendered again, in them.
    FImage->GlobalColorsChanged();
    for (const auto& frame : FImage->Images())
        if (frame->ColorMap().Count() == 0)
            frame->FreeBitmap();
    FImage->NotifyChanged();
}

// ---- TGIFLocalColorMap

void TGIFLocalColorMap::Warning(int severity, const std::string& message)
{
    GIFWarning(FSubImage->Image(), this, severity, message);
}

void TGIFLocalColorMap::BuildHistogram(std::array<std::int64_t, 256>& uses)
{
    CountPixels(*FSubImage, uses);
}

void TGIFLocalColorMap::MarkReferenced(std::array<bool, 256>& referenced)
{
    const TGIFGraphicControlExtension* gce = FSubImage->GraphicControlExtension();
    if (gce && gce->Transparent())
        referenced[gce->TransparentColorIndex()] = true;
}

void TGIFLocalColorMap::MapImages(const TColorRemap& map)
{
    RemapFrame(*FSubImage, map);
}

void TGIFLocalColorMap::Changed()
{
    if (!FSubImage)
        return;
    FSubImage->SetPalette(nullptr);
    if (FSubImage->KeptBitmap()) {
        FSubImage->FreeBitmap();
        if (TGIFImage* image = FSubImage->Image())
            image->NotifyChanged();
    }
}
