#include "tools/make-art/src/GifWriter.h"

#include <array>
#include <cstdint>

namespace {

struct TRgb {
    int R, G, B;
};

std::array<TRgb, 256> Palette()
{
    std::array<TRgb, 256> colours{};
    int i = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) colours[i++] = {r * 51, g * 51, b * 51};
    for (int k = 0; i < 256; ++i, ++k) {
        const int v = 8 + k * 6;
        colours[i] = {v, v, v};
    }
    return colours;
}

std::uint8_t Nearest(const std::array<TRgb, 256>& colours, TColor c)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 256; ++i) {
        const long dr = colours[i].R - GetRValue(c), dg = colours[i].G - GetGValue(c), db = colours[i].B - GetBValue(c);
        const long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return static_cast<std::uint8_t>(best);
}

void Word(std::string& out, int v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

class TBitPacker {
public:
    void Put(int code)
    {
        FBits |= std::uint32_t(code) << FCount;
        FCount += 9;
        while (FCount >= 8) {
            FBytes += char(FBits & 0xFF);
            FBits >>= 8;
            FCount -= 8;
        }
    }
    std::string Finish()
    {
        if (FCount > 0)
            FBytes += char(FBits & 0xFF);
        return FBytes;
    }

private:
    std::uint32_t FBits = 0;
    int FCount = 0;
    std::string FBytes;
};

}  // namespace

std::string EncodeGif(const TBitmap& bitmap)
{
    const auto colours = Palette();
    std::string out = "GIF89a";
    Word(out, bitmap.Width());
    Word(out, bitmap.Height());
    out += char(0xF7);  // global table of 256 colours
    out += '\0';
    out += '\0';
    for (const TRgb& c : colours) {
        out += char(c.R);
        out += char(c.G);
        out += char(c.B);
    }
    out += ',';
    Word(out, 0);
    Word(out, 0);
    Word(out, bitmap.Width());
    Word(out, bitmap.Height());
    out += '\0';
    out += char(8);

    constexpr int Clear = 256, End = 257;
    TBitPacker packer;
    int sinceClear = 0;
    packer.Put(Clear);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            // Each literal adds a table entry; clearing at 254 keeps codes at nine bits.
            if (sinceClear == 254) {
                packer.Put(Clear);
                sinceClear = 0;
            }
            packer.Put(Nearest(colours, bitmap.Pixel(x, y)));
            ++sinceClear;
        }
    packer.Put(End);
    const std::string data = packer.Finish();
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        out += char(n);
        out.append(data, at, n);
    }
    out += '\0';
    out += ';';
    return out;
}
