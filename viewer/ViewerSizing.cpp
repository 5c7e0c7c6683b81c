#include "viewer/ViewerSizing.h"

#include <algorithm>

long long RoundQuotient(long long numerator, long long denominator)
{
    long long q = numerator / denominator;
    long long r = numerator % denominator;
    if (r < 0) {
        r += denominator;
        --q;
    }
    if (2 * r > denominator || (2 * r == denominator && (q & 1) != 0))
        ++q;
    return q;
}

namespace {

int Hundredth(int side)
{
    return static_cast<int>(RoundQuotient(side, 100));
}

int Half(int value)
{
    return static_cast<int>(RoundQuotient(value, 2));
}

}  // namespace

TViewerBox PercentSize(int width, int height, int percent)
{
    TViewerBox box;
    box.Width = percent * Hundredth(width);
    box.Height = percent * Hundredth(height);
    return box;
}

bool OptimumSize(int width, int height, int areaWidth, int areaHeight, TViewerBox& box)
{
    const long long dw = static_cast<long long>(width) - areaWidth;
    const long long dh = static_cast<long long>(height) - areaHeight;
    if (dw < 1 && dh < 1)
        return false;
    const int hundredthW = Hundredth(width);
    const int hundredthH = Hundredth(height);
    if (hundredthW == 0 || hundredthH == 0)
        return false;
    const long long p = dh < dw ? RoundQuotient(dw, hundredthW) : RoundQuotient(dh, hundredthH);
    long long newH = static_cast<long long>(hundredthH) * (100 - p) - 10;
    if (areaHeight < newH)
        newH = areaHeight - 10;
    long long newW = RoundQuotient(static_cast<long long>(width) * (100 - p), 100) - 10;
    if (areaWidth < newW)
        newW = areaWidth - 10;
    box.Left = 5;
    box.Top = 5;
    box.Width = static_cast<int>(std::max(1LL, newW));
    box.Height = static_cast<int>(std::max(1LL, newH));
    return true;
}

void CentrePicture(TViewerBox& box, int areaWidth, int areaHeight)
{
    box.Left = Half(areaWidth) - Half(box.Width);
    box.Top = Half(areaHeight) - Half(box.Height);
}

void PlacePicture(TViewerBox& box, int areaWidth, int areaHeight)
{
    if (box.Width < areaWidth || box.Height < areaHeight) {
        CentrePicture(box, areaWidth, areaHeight);
    } else {
        box.Left = 1;
        box.Top = 1;
    }
}

std::string SavePictureFileName(const std::string& chosenName, bool gif)
{
    const std::string extension = gif ? ".gif" : ".jpg";
    if (chosenName.find(extension) != std::string::npos)
        return chosenName;
    return chosenName + extension;
}
