#include "viewer/MiniImage.h"

#include <vector>

#include "platform/graphics/TBitmap.h"
#include "viewer/ViewerSizing.h"

namespace {

std::vector<int> SamplePositions(int sourceSize, int targetSize)
{
    std::vector<int> positions(static_cast<std::size_t>(targetSize));
    for (int i = 0; i < targetSize; ++i) {
        const long long at = RoundQuotient(static_cast<long long>(i + 1) * sourceSize, targetSize);
        positions[static_cast<std::size_t>(i)] = static_cast<int>(at >= sourceSize ? sourceSize - 1 : at);
    }
    return positions;
}

}  // namespace

std::unique_ptr<TBitmap> getMiniImage(const TBitmap& source, int width, int height)
{
    auto target = std::make_unique<TBitmap>();
    target->SetPixelFormat(pf24bit);
    if (width < 1 || height < 1 || source.Width() < 1 || source.Height() < 1)
        return target;
    target->SetSize(width, height);
    const std::vector<int> xs = SamplePositions(source.Width(), width);
    const std::vector<int> ys = SamplePositions(source.Height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            target->SetPixel(x, y, source.Pixel(xs[static_cast<std::size_t>(x)], ys[static_cast<std::size_t>(y)]));
    return target;
}
