#include "gif/Dithering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// Maps every colour to itself (no error), except a red of exactly `Marker`,
// whose palette colour lies `Error` below it: that pixel alone spreads an
// error. Records the adjusted red each pixel arrives with.
class TImpulseLookup : public TColorLookup {
public:
    static constexpr int Marker = 7;
    explicit TImpulseLookup(int error) : TColorLookup(256), FError(error) {}
    int Lookup(int red, int green, int blue, TPaletteColor& color) override
    {
        Seen.push_back(red);
        color = {red == Marker ? red - FError : red, green, blue};
        return 0;
    }
    std::vector<int> Seen;

private:
    int FError;
};

struct TKernel {
    std::string Name;
    int Divisor;
    std::function<std::unique_ptr<TDitherEngine>(int, TColorLookup&)> Make;
    // Row below (0 this row), columns ahead in the direction of travel, weight.
    std::vector<TDitherWeight> Weights;
};

std::vector<TKernel> Kernels()
{
    auto make = [](auto tag) {
        return [](int width, TColorLookup& lookup) -> std::unique_ptr<TDitherEngine> {
            return std::make_unique<typename decltype(tag)::type>(width, lookup);
        };
    };
    auto fiveByThree = [](std::vector<int> w) {
        std::vector<TDitherWeight> weights = {{0, 1, w[0]}, {0, 2, w[1]}};
        for (int row = 1; row <= 2; ++row)
            for (int ahead = -2; ahead <= 2; ++ahead) weights.push_back({row, ahead, w[std::size_t(5 * row - 3 + ahead + 2)]});
        return weights;
    };
    return {
        {"FloydSteinberg", 16, make(std::type_identity<TFloydSteinbergDitherer>{}),
         {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}},
        {"Stucki", 42, make(std::type_identity<TStuckiDitherer>{}), fiveByThree({8, 4, 2, 4, 8, 4, 2, 1, 2, 4, 2, 1})},
        {"Sierra", 32, make(std::type_identity<TSierraDitherer>{}), fiveByThree({5, 3, 2, 4, 5, 4, 2, 0, 2, 3, 2, 0})},
        {"JarvisJudiceNinke", 48, make(std::type_identity<TJaJuNiDitherer>{}),
         fiveByThree({7, 5, 3, 5, 7, 5, 3, 1, 3, 5, 3, 1})},
        {"StevensonArce", 200, make(std::type_identity<TSteveArcheDitherer>{}),
         {{0, 2, 32}, {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16}, {2, -2, 12}, {2, 0, 26}, {2, 2, 12},
          {3, -3, 5}, {3, -1, 12}, {3, 1, 12}, {3, 3, 5}}},
        {"Burkes", 32, make(std::type_identity<TBurkesDitherer>{}),
         {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}},
    };
}

constexpr int Width = 13;
constexpr int Height = 7;

// Runs an engine over a Width x Height picture of red `base` with one marker
// pixel; returns the adjusted red of every pixel minus the base, by row and
// column, and the columns in the order visited.
std::vector<std::vector<int>> Respond(const TKernel& kernel, int error, int base, int markX, int markY,
                                      std::vector<int>* order = nullptr)
{
    TImpulseLookup lookup(error);
    const std::unique_ptr<TDitherEngine> engine = kernel.Make(Width, lookup);
    std::vector<std::vector<int>> seen(Height, std::vector<int>(Width, 0));
    for (int y = 0; y < Height; ++y) {
        for (int x = engine->Column(); x >= 0 && x < Width; x = engine->Column()) {
            if (order) order->push_back(x);
            const int red = x == markX && y == markY ? TImpulseLookup::Marker : base;
            engine->Dither(red, 50, 50);
            seen[std::size_t(y)][std::size_t(x)] = lookup.Seen.back() - red;
        }
        engine->NextLine();
    }
    return seen;
}

// What a pixel receives from weight w of an error e: (w e + divisor div 2)
// div divisor, truncated toward zero, added to the channel and clamped.
int Received(int weight, int error, int divisor, int base)
{
    return std::clamp(base + (weight * error + divisor / 2) / divisor, 0, 255) - base;
}

TEST(Ditherers, EachImpulseResponseIsItsWeightTableInBothDirections)
{
    struct TCase {
        const char* Name;
        int ErrorTimesDivisor;  // the marker's error, in divisors
        int Base;
    };
    // Exact weights; negative errors show the truncation toward zero; errors
    // that push past 255 or below 0 show the clamp.
    const TCase cases[] = {{"exact", 1, 100}, {"negative", -1, 100}, {"clamped high", 16, 250}, {"clamped low", -16, 5}};
    for (const TKernel& kernel : Kernels()) {
        for (const TCase& c : cases) {
            // Row 2 runs left to right, row 3 right to left.
            for (const int markY : {2, 3}) {
                SCOPED_TRACE(kernel.Name + " " + c.Name + " row " + std::to_string(markY));
                const int markX = 6;
                const int direction = markY % 2 == 0 ? 1 : -1;
                const int error = c.ErrorTimesDivisor * kernel.Divisor;
                std::vector<std::vector<int>> expected(Height, std::vector<int>(Width, 0));
                for (const TDitherWeight& w : kernel.Weights)
                    expected[std::size_t(markY + w.Row)][std::size_t(markX + w.Ahead * direction)] =
                        Received(w.Weight, error, kernel.Divisor, c.Base);
                // The marker itself is mapped at its own value.
                const auto seen = Respond(kernel, error, c.Base, markX, markY);
                EXPECT_EQ(seen, expected);
            }
        }
    }
}

TEST(Ditherers, RowsRunSerpentineStartingLeftToRight)
{
    std::vector<int> order;
    Respond(Kernels().front(), 0, 100, -1, -1, &order);
    std::vector<int> expected;
    for (int y = 0; y < Height; ++y)
        for (int i = 0; i < Width; ++i) expected.push_back(y % 2 == 0 ? i : Width - 1 - i);
    EXPECT_EQ(order, expected);

    TImpulseLookup lookup(0);
    TDitherEngine plain(3, lookup);
    EXPECT_EQ(plain.Column(), 0);
    EXPECT_EQ(plain.Direction(), 1);
    plain.NextLine();
    EXPECT_EQ(plain.Column(), 2);
    EXPECT_EQ(plain.Direction(), -1);
    plain.SkipColumn();
    EXPECT_EQ(plain.Column(), 1);
    plain.NextLine();
    EXPECT_EQ(plain.Column(), 0);
}

// Errors that run off either edge of a row are dropped, not wrapped to the
// other end or carried into the next row's far side.
TEST(Ditherers, ErrorsAtTheEdgesOfARowAreDropped)
{
    for (const TKernel& kernel : Kernels()) {
        for (const int markX : {0, Width - 1}) {
            SCOPED_TRACE(kernel.Name + " column " + std::to_string(markX));
            const int error = kernel.Divisor;
            std::vector<std::vector<int>> expected(Height, std::vector<int>(Width, 0));
            for (const TDitherWeight& w : kernel.Weights) {
                const int x = markX + w.Ahead;
                if (x >= 0 && x < Width) expected[std::size_t(2 + w.Row)][std::size_t(x)] = w.Weight;
            }
            EXPECT_EQ(Respond(kernel, error, 100, markX, 2), expected);
        }
    }
}

// On a flat grey, black-and-white dithering keeps the mean: the share of
// white pixels is the grey's share of 255.
TEST(Ditherers, EveryKernelKeepsTheMeanOfAFlatGrey)
{
    for (const TKernel& kernel : Kernels()) {
        SCOPED_TRACE(kernel.Name);
        TMonochromeLookup lookup;
        constexpr int Side = 64;
        const std::unique_ptr<TDitherEngine> engine = kernel.Make(Side, lookup);
        int white = 0;
        for (int y = 0; y < Side; ++y) {
            for (int x = engine->Column(); x >= 0 && x < Side; x = engine->Column()) white += engine->Dither(100, 100, 100);
            engine->NextLine();
        }
        EXPECT_NEAR(double(white) / (Side * Side), 100.0 / 255.0, 0.01);
    }
}

}  // namespace
