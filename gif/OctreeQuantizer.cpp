#include "gif/OctreeQuantizer.h"

#include <algorithm>

#include "gif/DIB.h"
#include "gif/GIFPalettes.h"

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : FMaxColors(std::max(maxColors, 1)), FColorBits(std::clamp(colorBits, 1, 8)), FRoot(NewNode(0))
{
}

std::int32_t TColorQuantizer::NewNode(int level)
{
    std::int32_t node;
    if (!FFreeNodes.empty()) {
        node = FFreeNodes.back();
        FFreeNodes.pop_back();
        FNodes[std::size_t(node)] = TOctreeNode{};
    } else {
        node = std::int32_t(FNodes.size());
        FNodes.emplace_back();
    }
    TOctreeNode& n = FNodes[std::size_t(node)];
    if (level == FColorBits) {
        n.Leaf = true;
        ++FLeafCount;
    } else {
        n.NextReducible = FReducible[std::size_t(level)];
        FReducible[std::size_t(level)] = node;
    }
    return node;
}

void TColorQuantizer::FreeNode(std::int32_t node)
{
    FFreeNodes.push_back(node);
}

void TColorQuantizer::AddColor(int red, int green, int blue)
{
    std::int32_t node = FRoot;
    for (int level = 0;; ++level) {
        TOctreeNode& n = FNodes[std::size_t(node)];
        if (n.Leaf) {
            ++n.PixelCount;
            n.Red += std::uint32_t(red);
            n.Green += std::uint32_t(green);
            n.Blue += std::uint32_t(blue);
            break;
        }
        const int shift = 7 - level;
        const int mask = 0x80 >> level;
        const auto child = std::size_t((((red & mask) >> shift) << 2) | (((green & mask) >> shift) << 1) |
                                       ((blue & mask) >> shift));
        std::int32_t next = n.Children[child];
        if (next < 0) {
            // NewNode may move the node table: look the parent up again.
            next = NewNode(level + 1);
            FNodes[std::size_t(node)].Children[child] = next;
        }
        node = next;
    }
    while (FLeafCount > FMaxColors && Reduce()) {
    }
}

void TColorQuantizer::AddBitmap(const TBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += 3) AddColor(p[2], p[1], p[0]);
    }
}

bool TColorQuantizer::Reduce()
{
    int level = FColorBits - 1;
    while (level > 0 && FReducible[std::size_t(level)] < 0) --level;
    const std::int32_t node = FReducible[std::size_t(level)];
    if (node < 0) return false;
    TOctreeNode& n = FNodes[std::size_t(node)];
    FReducible[std::size_t(level)] = n.NextReducible;
    int children = 0;
    for (std::int32_t& child : n.Children) {
        if (child < 0) continue;
        const TOctreeNode& c = FNodes[std::size_t(child)];
        n.PixelCount += c.PixelCount;
        n.Red += c.Red;
        n.Green += c.Green;
        n.Blue += c.Blue;
        FreeNode(child);
        child = -1;
        ++children;
    }
    n.Leaf = true;
    FLeafCount -= children - 1;
    return true;
}

std::vector<TPaletteColor> TColorQuantizer::Colors() const
{
    std::vector<TPaletteColor> colors;
    CollectColors(FRoot, colors);
    return colors;
}

void TColorQuantizer::CollectColors(std::int32_t node, std::vector<TPaletteColor>& colors) const
{
    const TOctreeNode& n = FNodes[std::size_t(node)];
    if (n.Leaf) {
        if (n.PixelCount == 0) {
            colors.push_back({});
        } else {
            colors.push_back({int(n.Red / n.PixelCount), int(n.Green / n.PixelCount), int(n.Blue / n.PixelCount)});
        }
        return;
    }
    for (const std::int32_t child : n.Children)
        if (child >= 0) CollectColors(child, colors);
}

HPALETTE BuildOctreePalette(TBitmap& bitmap, int colors, int colorBits, bool keepSystemColors)
{
    const int size = keepSystemColors ? 256 : std::clamp(colors, 1, 256);
    const int first = keepSystemColors ? 10 : 0;
    std::vector<PALETTEENTRY> entries(std::size_t(size), PALETTEENTRY{0, 0, 0, 0});
    if (keepSystemColors) {
        const std::vector<PALETTEENTRY> system = PaletteEntries(SystemDefaultPalette());
        for (std::size_t i = 0; i < 10 && i < system.size(); ++i) entries[i] = system[i];
        for (std::size_t i = 10; i < 20 && i < system.size(); ++i) entries[236 + i] = system[i];
    }
    TColorQuantizer quantizer(keepSystemColors ? 236 : size, colorBits);
    const TDIBReader reader(bitmap, pf24bit);
    quantizer.AddBitmap(reader.Bitmap());
    const std::vector<TPaletteColor> found = quantizer.Colors();
    for (std::size_t i = 0; i < found.size() && first + i < entries.size() - (keepSystemColors ? 10 : 0); ++i)
        entries[first + i] = {BYTE(found[i].Red), BYTE(found[i].Green), BYTE(found[i].Blue), 0};
    return CreatePalette(entries);
}
