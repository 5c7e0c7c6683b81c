#include "gif/LZWDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "gif/GIFUtils.h"
#include "platform/core/TStream.h"

namespace {

constexpr int TableSize = 4096;
// The longest string a table can hold, plus the value a KwKwK code adds.
constexpr int StackSize = TableSize + 1;

// Codes are read from the bytes actually present: a short sub-block adds only
// the bits it holds, and a code may span any number of sub-blocks.
class TBitReader {
public:
    TBitReader(TStream& stream, const TDecoderWarning& warning) : FStream(stream), FWarning(warning) {}

    // The next code of n bits, or -1 when the data has ended.
    int Fetch(int n)
    {
        if (FBitCount < n && !Refill(n))
            return -1;
        const int code = static_cast<int>(FBits & ((1u << n) - 1));
        FBits >>= n;
        FBitCount -= n;
        return code;
    }

    bool TerminatorSeen() const { return FTerminatorSeen; }

private:
    bool Refill(int n)
    {
        for (;;) {
            while (FBlockPos < FBlockEnd && FBitCount <= 56) {
                FBits |= std::uint64_t(FBlock[FBlockPos++]) << FBitCount;
                FBitCount += 8;
            }
            if (FBitCount >= n)
                return true;
            if (FTerminatorSeen) {
                if (FBitCount == 0)
                    Warn("Decoder bit buffer under-run");
                return false;
            }
            const int count = ReadByte(FStream);
            if (count < 0)
                return false;
            if (count == 0) {
                FTerminatorSeen = true;
                continue;
            }
            const std::size_t got = FStream.Read(FBlock, static_cast<std::size_t>(count));
            if (got < static_cast<std::size_t>(count))
                Warn("Premature end of data");
            FBlockPos = 0;
            FBlockEnd = static_cast<int>(got);
            if (got == 0)
                return false;
        }
    }

    void Warn(const char* message)
    {
        if (FWarning)
            FWarning(message);
    }

    TStream& FStream;
    const TDecoderWarning& FWarning;
    std::uint64_t FBits = 0;
    int FBitCount = 0;
    std::uint8_t FBlock[255];
    int FBlockPos = 0;
    int FBlockEnd = 0;
    bool FTerminatorSeen = false;
};

// The code table. A string's length is kept for every entry whose chain is
// fixed (its prefix was defined before it); such strings are written straight
// into the pixels. An entry built on a code that was not yet defined (only
// hostile data does that) has length 0 and is followed link by link, because
// its string changes when that code gets defined.
struct TDecoderTable {
    std::array<std::uint16_t, TableSize> Prefix;
    std::array<std::uint8_t, TableSize> Suffix;
    std::array<std::uint16_t, TableSize> Length;
    std::array<std::uint8_t, StackSize> Stack;
};

// Decodes into `out` (count pixels in code order); returns how many were made.
std::int64_t DecodeCodes(TBitReader& bits, int minCodeSize, std::uint8_t* out, std::int64_t count)
{
    auto table = std::make_unique<TDecoderTable>();
    auto& prefix = table->Prefix;
    auto& suffix = table->Suffix;
    auto& length = table->Length;
    auto& stack = table->Stack;

    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    for (int i = 0; i < TableSize; ++i) {
        prefix[i] = 0;
        suffix[i] = i < clear ? static_cast<std::uint8_t>(i) : 0;
        length[i] = i < clear ? 1 : 0;
    }
    // The clear and end entries read as two zeros, and never change.
    length[clear] = 2;
    length[end] = 2;

    int codeSize = minCodeSize + 1;
    int limit = 2 * clear;
    int nextFree = clear + 2;
    int previous = 0;
    std::uint8_t firstValue = 0;
    // The data is read as if it began with a clear code.
    bool firstRequest = true;
    std::int64_t pos = 0;

    while (pos < count) {
        int code;
        if (firstRequest) {
            firstRequest = false;
            code = clear;
        } else {
            code = bits.Fetch(codeSize);
        }
        if (code < 0)
            break;
        if (code == clear) {
            for (int i = clear + 2; i < nextFree; ++i) {
                prefix[i] = 0;
                suffix[i] = 0;
                length[i] = 0;
            }
            codeSize = minCodeSize + 1;
            limit = 2 * clear;
            nextFree = clear + 2;
            do
                code = bits.Fetch(codeSize);
            while (code == clear);
            if (code < 0)
                break;
            // Even an end code here is taken as a pixel, by its low byte.
            previous = code;
            firstValue = static_cast<std::uint8_t>(code);
            out[pos++] = firstValue;
            continue;
        }
        if (code == end)
            break;

        const int incoming = code;
        const std::int64_t room = count - pos;
        std::uint8_t newFirst;
        if (code < nextFree && length[code] != 0 && length[code] <= room) {
            std::uint8_t* p = out + pos + length[code] - 1;
            pos += length[code];
            int c = code;
            while (c >= clear) {
                *p-- = suffix[c];
                c = prefix[c];
            }
            *p = suffix[c];
            newFirst = *p;
        } else if (code >= nextFree && previous < nextFree && length[previous] != 0 &&
                   length[previous] < room) {
            const int n = length[previous];
            std::uint8_t* p = out + pos + n - 1;
            out[pos + n] = firstValue;
            pos += n + 1;
            int c = previous;
            while (c >= clear) {
                *p-- = suffix[c];
                c = prefix[c];
            }
            *p = suffix[c];
            newFirst = *p;
        } else {
            int sp = 0;
            int c = code;
            if (c >= nextFree) {
                stack[sp++] = firstValue;
                c = previous;
            }
            while (c >= clear) {
                if (prefix[c] == c || sp >= TableSize)
                    GIFError("Circular decoder table entry");
                stack[sp++] = suffix[c];
                c = prefix[c];
            }
            stack[sp++] = suffix[c];
            newFirst = suffix[c];
            while (sp > 0 && pos < count)
                out[pos++] = stack[--sp];
        }
        firstValue = newFirst;

        if (nextFree < TableSize) {
            prefix[nextFree] = static_cast<std::uint16_t>(previous);
            suffix[nextFree] = newFirst;
            length[nextFree] = previous < nextFree && length[previous] != 0
                                   ? static_cast<std::uint16_t>(length[previous] + 1)
                                   : 0;
            ++nextFree;
            // Growing on "at or above" also serves a minimum code size of 1,
            // whose first free code already equals the first limit.
            if (nextFree >= limit && limit < TableSize) {
                limit *= 2;
                ++codeSize;
            }
        }
        previous = incoming;
    }
    return pos;
}

// Rows in the order an interlaced frame stores them.
template <typename Visit>
void ForEachInterlacedRow(int height, Visit visit)
{
    static constexpr int Start[4] = {0, 4, 2, 1};
    static constexpr int Step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int row = Start[pass]; row < height; row += Step[pass])
            visit(row);
}

} // namespace

void SkipSubBlocks(TStream& stream)
{
    std::uint8_t scratch[255];
    for (;;) {
        const int count = ReadByte(stream);
        if (count <= 0)
            return;
        if (stream.Read(scratch, static_cast<std::size_t>(count)) < static_cast<std::size_t>(count))
            return;
    }
}

void DecodeLZW(TStream& stream, std::uint8_t* pixels, int width, int height, bool interlaced,
               std::uint8_t fill, const TDecoderWarning& warning)
{
    const std::int64_t count = std::max<std::int64_t>(0, std::int64_t(width) * height);
    const int minCodeSize = ReadByte(stream);
    if (minCodeSize < 0) {
        std::memset(pixels, fill, static_cast<std::size_t>(count));
        return;
    }
    // A clear code beyond the 4096-entry table cannot be decoded: the frame
    // keeps its fill and the reading goes on after its data.
    if (minCodeSize > 11) {
        if (warning)
            warning("Invalid GIF data");
        std::memset(pixels, fill, static_cast<std::size_t>(count));
        SkipSubBlocks(stream);
        return;
    }

    TBitReader bits(stream, warning);
    std::unique_ptr<std::uint8_t[]> codeOrder;
    std::uint8_t* out = pixels;
    if (interlaced && height > 1) {
        codeOrder = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(count));
        out = codeOrder.get();
    }
    const std::int64_t made = count > 0 ? DecodeCodes(bits, minCodeSize, out, count) : 0;
    if (made < count)
        std::memset(out + made, fill, static_cast<std::size_t>(count - made));
    if (codeOrder) {
        const std::uint8_t* source = codeOrder.get();
        ForEachInterlacedRow(height, [&](int row) {
            std::memcpy(pixels + std::int64_t(row) * width, source, static_cast<std::size_t>(width));
            source += width;
        });
    }
    // Whatever the codes held, the frame's data ends at its terminator.
    if (!bits.TerminatorSeen())
        SkipSubBlocks(stream);
}
