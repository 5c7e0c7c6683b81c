#pragma once

// The octree colour quantizer. Colours enter one by one; whenever the tree
// holds more leaves than the maximum, the node of the deepest level that was
// created last among those not yet reduced absorbs its children. The palette
// is the mean colour of each leaf, leaves in depth-first order, children 0 to
// 7. A child's number takes one bit of red, green and blue (red highest) at
// the node's level, most significant bits first.

#include <array>
#include <cstdint>
#include <vector>

#include "gif/ColorLookup.h"
#include "platform/graphics/DeviceContext.h"

class TBitmap;

struct TOctreeNode {
    bool Leaf = false;
    std::uint32_t PixelCount = 0;
    std::uint64_t Red = 0;
    std::uint64_t Green = 0;
    std::uint64_t Blue = 0;
    std::array<std::int32_t, 8> Children{-1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t NextReducible = -1;
};

class TColorQuantizer {
public:
    // maxColors at least 1; colorBits (the depth of the leaves) 1 to 8.
    TColorQuantizer(int maxColors, int colorBits);

    void AddColor(int red, int green, int blue);
    // Every pixel of a 24-bit bitmap, rows top to bottom.
    void AddBitmap(const TBitmap& bitmap);
    int LeafCount() const { return FLeafCount; }
    // The leaves' mean colours (sum div count, 0 for an empty leaf).
    std::vector<TPaletteColor> Colors() const;

private:
    std::int32_t NewNode(int level);
    void FreeNode(std::int32_t node);
    // False when no node is left to reduce.
    bool Reduce();
    void CollectColors(std::int32_t node, std::vector<TPaletteColor>& colors) const;

    int FMaxColors;
    int FColorBits;
    int FLeafCount = 0;
    std::vector<TOctreeNode> FNodes;
    std::vector<std::int32_t> FFreeNodes;
    std::array<std::int32_t, 8> FReducible{-1, -1, -1, -1, -1, -1, -1, -1};
    // Last: making the root enters it into the reducible lists above.
    std::int32_t FRoot;
};

// The octree palette of a bitmap (read at 24 bits, which switches it to that
// format): `colors` entries, or with keepSystemColors 256 entries with the
// first ten static colours in 0-9, the last ten in 246-255 and 236 computed
// colours from 10. Entries the tree does not fill are black. A new handle.
HPALETTE BuildOctreePalette(TBitmap& bitmap, int colors, int colorBits, bool keepSystemColors);
