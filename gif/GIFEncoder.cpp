#include "gif/GIFEncoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "gif/GIFUtils.h"
#include "gif/GIFWriter.h"
#include "platform/core/TStream.h"

namespace {

constexpr int MaxCode = 4095;

// The bit packing both coders share: codes least significant bit first.
class TCodePacker {
public:
    TCodePacker(TStream& target, int minCodeSize)
        : FWriter(target), FClear(1 << minCodeSize), FEnd(FClear + 1), FInitCodeSize(minCodeSize + 1),
          FCodeSize(FInitCodeSize)
    {
    }

    void Output(int code)
    {
        FBits |= std::uint32_t(code) << FBitCount;
        FBitCount += FCodeSize;
        while (FBitCount > 7) {
            FWriter.WriteByte(static_cast<std::uint8_t>(FBits));
            FBits >>= 8;
            FBitCount -= 8;
        }
    }

    // The end code, then the bits still held, then the last sub-block.
    void Finish()
    {
        Output(FEnd);
        if (FBitCount > 0) {
            FWriter.WriteByte(static_cast<std::uint8_t>(FBits));
            FBits = 0;
            FBitCount = 0;
        }
        FWriter.Flush();
    }

    TGIFWriter FWriter;
    const int FClear;
    const int FEnd;
    const int FInitCodeSize;
    int FCodeSize;

private:
    std::uint32_t FBits = 0;
    int FBitCount = 0;
};

// Rows in the order the frame is coded: all at once, or the four passes.
template <typename Visit>
void ForEachCodedRun(const TGIFEncodeSource& source, Visit visit)
{
    if (!source.Interlaced) {
        visit(source.Pixels, std::int64_t(source.Width) * source.Height);
        return;
    }
    static constexpr int Start[4] = {0, 4, 2, 1};
    static constexpr int Step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int row = Start[pass]; row < source.Height; row += Step[pass])
            visit(source.Pixels + std::int64_t(row) * source.Width, std::int64_t(source.Width));
}

[[noreturn]] void ColorNotInTable()
{
    GIFError("Color not in color table");
}

// The LZW code table: 8009 slots, each (key << 12) | code, key being
// (prefix code << 8) | pixel. All ones is empty.
class THashTable {
public:
    static constexpr int Slots = 8009;
    static constexpr std::uint32_t Empty = 0xFFFFFFFF;

    void Clear() { std::fill(FSlots.begin(), FSlots.end(), Empty); }

    static int Home(std::uint32_t key) { return static_cast<int>((key ^ (key >> 4)) % Slots); }
    static int Next(int h) { return h == 0 ? Slots - 1 : (h - (Slots - h) < 0 ? h - (Slots - h) + Slots : h - (Slots - h)); }

    // The code of the key, or -1.
    int Lookup(std::uint32_t key) const
    {
        int h = Home(key);
        // The probe sequence covers only half the slots; bounding it keeps a
        // crowded half from looping for ever.
        for (int probes = 0; probes < Slots; ++probes) {
            const std::uint32_t v = FSlots[static_cast<std::size_t>(h)];
            if (v >= 0xFFFFF000)
                return -1;
            if ((v >> 12) == key)
                return static_cast<int>(v & 0xFFF);
            h = Next(h);
        }
        return -1;
    }

    // False when the key's probe sequence has no empty slot left.
    bool Insert(std::uint32_t key, int code)
    {
        int h = Home(key);
        for (int probes = 0; probes < Slots; ++probes) {
            if (FSlots[static_cast<std::size_t>(h)] >= 0xFFFFF000) {
                FSlots[static_cast<std::size_t>(h)] = (key << 12) | std::uint32_t(code);
                return true;
            }
            h = Next(h);
        }
        return false;
    }

private:
    std::array<std::uint32_t, Slots> FSlots;
};

class TLZWEncoder {
public:
    TLZWEncoder(TCodePacker& packer) : FPacker(packer), FTable(std::make_unique<THashTable>()) {}

    void Encode(const TGIFEncodeSource& source)
    {
        EmitClear();
        bool first = true;
        int current = 0;
        const int colors = source.ColorCount;
        ForEachCodedRun(source, [&](const std::uint8_t* p, std::int64_t n) {
            std::int64_t i = 0;
            if (first) {
                if (p[0] >= colors)
                    ColorNotInTable();
                current = p[0];
                first = false;
                i = 1;
            }
            for (; i < n; ++i) {
                const int pixel = p[i];
                if (pixel >= colors)
                    ColorNotInTable();
                const std::uint32_t key = (std::uint32_t(current) << 8) | std::uint32_t(pixel);
                const int found = FTable->Lookup(key);
                if (found >= 0) {
                    current = found;
                    continue;
                }
                Output(current);
                current = pixel;
                if (FNextFree > MaxCode - 1 || !FTable->Insert(key, FNextFree))
                    EmitClear();
                else
                    ++FNextFree;
            }
        });
        Output(current);
    }

private:
    void EmitClear()
    {
        FJustCleared = true;
        Output(FPacker.FClear);
        FTable->Clear();
        FNextFree = FPacker.FClear + 2;
    }

    void Output(int code)
    {
        FPacker.Output(code);
        if (FNextFree > FMaxCode || FJustCleared) {
            if (FJustCleared) {
                FPacker.FCodeSize = FPacker.FInitCodeSize;
                FJustCleared = false;
            } else {
                ++FPacker.FCodeSize;
            }
            FMaxCode = FPacker.FCodeSize >= 12 ? 4096 : (1 << FPacker.FCodeSize) - 1;
        }
    }

    TCodePacker& FPacker;
    std::unique_ptr<THashTable> FTable;
    int FNextFree = 0;
    int FMaxCode = 0;
    bool FJustCleared = false;
};

// Codes runs of one pixel through table codes that a decoder builds from
// that run alone, so any LZW decoder reads the result.
class TRLEEncoder {
public:
    explicit TRLEEncoder(TCodePacker& packer)
        : FPacker(packer), FInitBump(packer.FClear - 1),
          FInitClearThreshold(packer.FInitCodeSize - 1 > 3 ? packer.FClear - 2 : 9),
          FMostCodes(MaxCode - (packer.FClear + 2)), FRunBase(packer.FClear + 2)
    {
    }

    void Encode(const TGIFEncodeSource& source)
    {
        // Starting with a clear sets the thresholds and the table state.
        EmitClear();
        const int colors = source.ColorCount;
        ForEachCodedRun(source, [&](const std::uint8_t* p, std::int64_t n) {
            for (std::int64_t i = 0; i < n; ++i) {
                const int pixel = p[i];
                if (pixel == FRunPixel) {
                    ++FRunLength;
                    continue;
                }
                if (pixel >= colors)
                    ColorNotInTable();
                if (FRunLength > 0)
                    FlushRun(FRunLength);
                FRunPixel = pixel;
                FRunLength = 1;
            }
        });
        if (FRunLength > 0)
            FlushRun(FRunLength);
    }

private:
    void PlainOutput(int code)
    {
        FJustCleared = false;
        FPacker.Output(code);
        ++FCount;
        if (FCount >= FBumpThreshold && FPacker.FCodeSize < 12) {
            FBumpThreshold += 1 << FPacker.FCodeSize;
            ++FPacker.FCodeSize;
        }
        if (FCount >= FClearThreshold)
            EmitClear();
    }

    void EmitClear()
    {
        FBumpThreshold = FInitBump;
        FClearThreshold = FInitClearThreshold;
        FCount = 0;
        FTableMax = 0;
        FJustCleared = true;
        FPacker.Output(FPacker.FClear);
        FPacker.FCodeSize = FPacker.FInitCodeSize;
    }

    void RestoreClearThreshold()
    {
        FClearThreshold = FInitClearThreshold;
        if (FCount >= FClearThreshold)
            EmitClear();
    }

    void FlushRun(std::int64_t c)
    {
        if (c == 1)
            PlainOutput(FRunPixel);
        else if (FJustCleared)
            FlushFromClear(c);
        else if (FTableMax < 2 || FTablePixel != FRunPixel)
            FlushClearOrRepeat(c);
        else
            FlushWithTable(c);
    }

    void FlushFromClear(std::int64_t c)
    {
        FClearThreshold = FMostCodes;
        FTablePixel = FRunPixel;
        std::int64_t n = 1;
        while (c > 0) {
            if (n == 1) {
                FTableMax = 1;
                PlainOutput(FRunPixel);
                c -= 1;
            } else if (c >= n) {
                FTableMax = n;
                PlainOutput(static_cast<int>(FRunBase + n - 2));
                c -= n;
            } else if (c == 1) {
                FTableMax += 1;
                PlainOutput(FRunPixel);
                c = 0;
            } else {
                FTableMax += 1;
                PlainOutput(static_cast<int>(FRunBase + c - 2));
                c = 0;
            }
            n = FCount == 0 ? 1 : n + 1;
        }
        RestoreClearThreshold();
    }

    void FlushClearOrRepeat(std::int64_t c)
    {
        if (1 + Triangle(c, FMostCodes) < c) {
            EmitClear();
            FlushFromClear(c);
            return;
        }
        for (std::int64_t i = 0; i < c; ++i)
            PlainOutput(FRunPixel);
    }

    void FlushWithTable(std::int64_t c)
    {
        std::int64_t repeats = c / FTableMax;
        std::int64_t left = c % FTableMax;
        std::int64_t extra = left > 0 ? 1 : 0;
        if (FCount + repeats + extra > FMostCodes) {
            repeats = FMostCodes - FCount;
            left = c - repeats * FTableMax;
            extra = 1 + Triangle(left, FMostCodes);
        }
        if (1 + Triangle(c, FMostCodes) < repeats + extra) {
            EmitClear();
            FlushFromClear(c);
            return;
        }
        FClearThreshold = FMostCodes;
        const int code = static_cast<int>(FRunBase + FTableMax - 2);
        for (std::int64_t i = 0; i < repeats; ++i)
            PlainOutput(code);
        if (left > 0) {
            if (FJustCleared)
                FlushFromClear(left);
            else if (left == 1)
                PlainOutput(FRunPixel);
            else
                PlainOutput(static_cast<int>(FRunBase + left - 2));
        }
        RestoreClearThreshold();
    }

    // Codes needed for c pixels when each set of k codes covers k(k+1)/2.
    static std::int64_t Triangle(std::int64_t c, std::int64_t k)
    {
        std::int64_t cost = 0;
        const std::int64_t full = k * (k + 1) / 2;
        if (c >= full) {
            cost += k * (c / full);
            c %= full;
        }
        if (c > 0) {
            std::int64_t n = IntegerSqrt(c);
            while (n * (n + 1) < 2 * c)
                ++n;
            cost += n;
        }
        return cost;
    }

    // Newton's iteration from a power of two above the root.
    static std::int64_t IntegerSqrt(std::int64_t c)
    {
        std::int64_t x = 1;
        while (x * x < c)
            x <<= 1;
        for (;;) {
            const std::int64_t next = (x + c / x) / 2;
            if (next >= x)
                return x;
            x = next;
        }
    }

    TCodePacker& FPacker;
    const int FInitBump;
    const int FInitClearThreshold;
    const std::int64_t FMostCodes;
    const std::int64_t FRunBase;
    int FRunPixel = -1;
    std::int64_t FRunLength = 0;
    int FTablePixel = -1;
    std::int64_t FTableMax = 0;
    std::int64_t FCount = 0;
    std::int64_t FBumpThreshold = 0;
    std::int64_t FClearThreshold = 0;
    bool FJustCleared = false;
};

} // namespace

void EncodeGIFImage(TStream& stream, const TGIFEncodeSource& source, TGIFEncoderKind kind)
{
    const int minCodeSize = std::max(source.BitsPerPixel, 2);
    WriteByte(stream, static_cast<std::uint8_t>(minCodeSize));
    {
        TCodePacker packer(stream, minCodeSize);
        if (source.Pixels && source.Width > 0 && source.Height > 0) {
            if (kind == TGIFEncoderKind::RLE)
                TRLEEncoder(packer).Encode(source);
            else
                TLZWEncoder(packer).Encode(source);
        }
        packer.Finish();
    }
    WriteByte(stream, 0);
}
