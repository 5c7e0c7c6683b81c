#include "gif/Dithering.h"

#include <algorithm>
#include <array>

namespace {

constexpr TDitherWeight FloydSteinberg[] = {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}};

constexpr TDitherWeight SteveArche[] = {
    {0, 2, 32},
    {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16},
    {2, -2, 12}, {2, 0, 26},  {2, 2, 12},
    {3, -3, 5},  {3, -1, 12}, {3, 1, 12}, {3, 3, 5},
};

constexpr TDitherWeight Burkes[] = {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}};

constexpr std::array<int, 12> Stucki = {8, 4, 2, 4, 8, 4, 2, 1, 2, 4, 2, 1};
constexpr std::array<int, 12> Sierra = {5, 3, 2, 4, 5, 4, 2, 0, 2, 3, 2, 0};
constexpr std::array<int, 12> JaJuNi = {7, 5, 3, 5, 7, 5, 3, 1, 3, 5, 3, 1};

std::vector<TDitherWeight> FiveByThree(std::span<const int, 12> w)
{
    std::vector<TDitherWeight> weights = {{0, 1, w[0]}, {0, 2, w[1]}};
    for (int row = 1; row <= 2; ++row)
        for (int ahead = -2; ahead <= 2; ++ahead)
            weights.push_back({row, ahead, w[std::size_t(2 + 5 * (row - 1) + ahead + 2)]});
    return weights;
}

}  // namespace

TDitherEngine::TDitherEngine(int width, TColorLookup& lookup) : FLookup(lookup), FWidth(std::max(width, 0)) {}

int TDitherEngine::Dither(int red, int green, int blue)
{
    TPaletteColor color;
    const int index = FLookup.Lookup(red, green, blue, color);
    FColumn += FDirection;
    return index;
}

void TDitherEngine::NextLine()
{
    FDirection = -FDirection;
    FColumn = FDirection > 0 ? 0 : FWidth - 1;
}

TErrorDiffusionDitherer::TErrorDiffusionDitherer(int width, TColorLookup& lookup, int divisor, int rows, int reach,
                                                 std::span<const TDitherWeight> weights)
    : TDitherEngine(width, lookup), FDivisor(divisor), FReach(reach)
{
    // Weights of 0 spread nothing: leave them out of the per-pixel loop.
    for (const TDitherWeight& w : weights)
        if (w.Weight != 0) FWeights.push_back(w);
    const std::size_t rowSize = 3 * (std::size_t(FWidth) + 2 * std::size_t(reach));
    FErrors.assign(rowSize * std::size_t(rows), 0);
    for (int r = 0; r < rows; ++r) FRowStart.push_back(rowSize * std::size_t(r));
}

int TErrorDiffusionDitherer::Dither(int red, int green, int blue)
{
    if (FColumn < 0 || FColumn >= FWidth) return TDitherEngine::Dither(red, green, blue);
    const int* received = Entry(0, FColumn);
    const int half = FDivisor / 2;
    const int r = std::clamp(red + (received[0] + half) / FDivisor, 0, 255);
    const int g = std::clamp(green + (received[1] + half) / FDivisor, 0, 255);
    const int b = std::clamp(blue + (received[2] + half) / FDivisor, 0, 255);
    TPaletteColor color;
    const int index = FLookup.Lookup(r, g, b, color);
    const int er = r - color.Red;
    const int eg = g - color.Green;
    const int eb = b - color.Blue;
    if (er != 0 || eg != 0 || eb != 0) {
        for (const TDitherWeight& w : FWeights) {
            int* p = Entry(w.Row, FColumn + w.Ahead * FDirection);
            p[0] += w.Weight * er;
            p[1] += w.Weight * eg;
            p[2] += w.Weight * eb;
        }
    }
    FColumn += FDirection;
    return index;
}

void TErrorDiffusionDitherer::NextLine()
{
    const std::size_t rowSize = FErrors.size() / FRowStart.size();
    std::fill_n(FErrors.begin() + std::ptrdiff_t(FRowStart.front()), rowSize, 0);
    std::rotate(FRowStart.begin(), FRowStart.begin() + 1, FRowStart.end());
    TDitherEngine::NextLine();
}

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TErrorDiffusionDitherer(width, lookup, 16, 2, 1, FloydSteinberg)
{
}

T5by3Ditherer::T5by3Ditherer(int width, TColorLookup& lookup, int divisor, std::span<const int, 12> weights)
    : TErrorDiffusionDitherer(width, lookup, divisor, 3, 2, FiveByThree(weights))
{
}

TStuckiDitherer::TStuckiDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 42, Stucki) {}

TSierraDitherer::TSierraDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 32, Sierra) {}

TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 48, JaJuNi) {}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TErrorDiffusionDitherer(width, lookup, 200, 4, 3, SteveArche)
{
}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TErrorDiffusionDitherer(width, lookup, 32, 2, 2, Burkes)
{
}
