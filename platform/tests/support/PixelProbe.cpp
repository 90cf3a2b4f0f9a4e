#include "tests/support/PixelProbe.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tw::test {

PixelProbe::PixelProbe(void const* data, int width, int height, std::size_t bytesPerRow)
    : mData(static_cast<std::uint8_t const*>(data))
    , mWidth(data ? width : 0)
    , mHeight(data ? height : 0)
    , mBytesPerRow(bytesPerRow)
{
}

Pixel PixelProbe::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return {};
    std::uint32_t word;
    std::memcpy(&word, mData + std::size_t(y) * mBytesPerRow + std::size_t(x) * 4, 4);
    return { std::uint8_t(word >> 24), std::uint8_t(word >> 16), std::uint8_t(word >> 8), std::uint8_t(word) };
}

int PixelProbe::Count(PixelBox region, std::function<bool(Pixel)> const& test) const
{
    int count = 0;
    for (int y = std::max(region.top, 0); y < std::min(region.bottom, mHeight); ++y)
        for (int x = std::max(region.left, 0); x < std::min(region.right, mWidth); ++x)
            count += test(At(x, y)) ? 1 : 0;
    return count;
}

bool PixelProbe::All(PixelBox region, std::function<bool(Pixel)> const& test) const
{
    return Count(region, [&](Pixel p) { return !test(p); }) == 0;
}

std::optional<PixelBox> PixelProbe::Bounds(std::function<bool(Pixel)> const& test) const
{
    std::optional<PixelBox> box;
    for (int y = 0; y < mHeight; ++y) {
        for (int x = 0; x < mWidth; ++x) {
            if (!test(At(x, y)))
                continue;
            if (!box)
                box = PixelBox { x, y, x + 1, y + 1 };
            box->left = std::min(box->left, x);
            box->top = std::min(box->top, y);
            box->right = std::max(box->right, x + 1);
            box->bottom = std::max(box->bottom, y + 1);
        }
    }
    return box;
}

bool IsColour(Pixel p, int r, int g, int b, int a, int tolerance)
{
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance
        && std::abs(p.a - a) <= tolerance;
}

} // namespace tw::test
