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

    void SetState(int codeSize, std::uint32_t bits, int bitCount)
    {
        FCodeSize = codeSize;
        FBits = bits;
        FBitCount = bitCount;
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

// The LZW code table: slots of (key << 12) | code, key being
// (prefix code << 8) | pixel; all ones is empty. A power-of-two table with
// linear probing: a prime-sized table probed by doubling is half again as
// slow per pixel, and no output byte depends on the table's layout. Between
// two clears it holds fewer than 4096 entries, so a probe always ends.
class THashTable {
public:
    static constexpr int Slots = 8192;
    static constexpr std::uint32_t Empty = 0xFFFFFFFF;

    void Clear() { std::fill(FSlots.begin(), FSlots.end(), Empty); }

    static int Home(std::uint32_t key) { return static_cast<int>(((key >> 12) ^ key) & (Slots - 1)); }

    // The code of the key, or -1 with `slot` at the empty slot where it goes.
    int Lookup(std::uint32_t key, int& slot) const
    {
        int h = Home(key);
        for (;;) {
            const std::uint32_t v = FSlots[static_cast<std::size_t>(h)];
            // No key is all ones: a prefix code never reaches 4095.
            if ((v >> 12) == key)
                return static_cast<int>(v & 0xFFF);
            if (v == Empty) {
                slot = h;
                return -1;
            }
            h = (h + 1) & (Slots - 1);
        }
    }

    void Store(int slot, std::uint32_t key, int code)
    {
        FSlots[static_cast<std::size_t>(slot)] = (key << 12) | std::uint32_t(code);
    }

private:
    std::array<std::uint32_t, Slots> FSlots;
};

// The encoder's state lives in locals while it runs, and its bytes gather
// in a local sub-block, so that no store can make the compiler reload state.
class TLZWEncoder {
public:
    explicit TLZWEncoder(TCodePacker& packer, TStream& target)
        : FPacker(packer), FTarget(target), FTable(std::make_unique<THashTable>())
    {
    }

    void Encode(const TGIFEncodeSource& source)
    {
        FClear = FPacker.FClear;
        FInitCodeSize = FPacker.FInitCodeSize;
        FCodeSize = FPacker.FCodeSize;
        EmitClear();
        FCurrent = source.Pixels[0];
        if (FCurrent >= source.ColorCount)
            ColorNotInTable();
        bool first = true;
        if (!source.Interlaced) {
            Run(source.Pixels + 1, std::int64_t(source.Width) * source.Height - 1, source.ColorCount);
        } else {
            static constexpr int Start[4] = {0, 4, 2, 1};
            static constexpr int Step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int row = Start[pass]; row < source.Height; row += Step[pass]) {
                    const std::uint8_t* p = source.Pixels + std::int64_t(row) * source.Width;
                    Run(p + (first ? 1 : 0), source.Width - (first ? 1 : 0), source.ColorCount);
                    first = false;
                }
        }
        Output(FCurrent);
        // The rest of the last sub-block goes on through the packer.
        for (int i = 0; i < FBlockCount; ++i)
            FPacker.FWriter.WriteByte(FBlock[i + 1]);
        FPacker.SetState(FCodeSize, FBits, FBitCount);
    }

private:
    void Run(const std::uint8_t* p, std::int64_t n, int colors)
    {
        THashTable& table = *FTable;
        int current = FCurrent;
        for (std::int64_t i = 0; i < n; ++i) {
            const int pixel = p[i];
            if (pixel >= colors)
                ColorNotInTable();
            const std::uint32_t key = (std::uint32_t(current) << 8) | std::uint32_t(pixel);
            int slot;
            const int found = table.Lookup(key, slot);
            if (found >= 0) {
                current = found;
                continue;
            }
            Output(current);
            current = pixel;
            if (FNextFree > MaxCode - 1) {
                EmitClear();
            } else {
                table.Store(slot, key, FNextFree);
                ++FNextFree;
            }
        }
        FCurrent = current;
    }

    void Output(int code)
    {
        FBits |= std::uint32_t(code) << FBitCount;
        FBitCount += FCodeSize;
        while (FBitCount > 7) {
            FBlock[++FBlockCount] = static_cast<std::uint8_t>(FBits);
            if (FBlockCount == 255) {
                FBlock[0] = 255;
                FTarget.WriteBuffer(FBlock, 256);
                FBlockCount = 0;
            }
            FBits >>= 8;
            FBitCount -= 8;
        }
        if (FNextFree > FMaxCode || FJustCleared) {
            if (FJustCleared) {
                FCodeSize = FInitCodeSize;
                FJustCleared = false;
            } else {
                ++FCodeSize;
            }
            FMaxCode = FCodeSize >= 12 ? 4096 : (1 << FCodeSize) - 1;
        }
    }

    void EmitClear()
    {
        FJustCleared = true;
        Output(FClear);
        FTable->Clear();
        FNextFree = FClear + 2;
    }

    TCodePacker& FPacker;
    TStream& FTarget;
    std::unique_ptr<THashTable> FTable;
    int FClear = 0;
    int FInitCodeSize = 0;
    int FCodeSize = 0;
    int FMaxCode = 0;
    int FNextFree = 0;
    int FCurrent = 0;
    bool FJustCleared = false;
    std::uint32_t FBits = 0;
    int FBitCount = 0;
    std::uint8_t FBlock[256];
    int FBlockCount = 0;
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
                TLZWEncoder(packer, stream).Encode(source);
        }
        packer.Finish();
    }
    WriteByte(stream, 0);
}
