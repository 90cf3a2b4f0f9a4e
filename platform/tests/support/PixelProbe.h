#pragma once

// Pixel probes for drawing tests: read a 32-bit premultiplied ARGB buffer in host
// order (Cairo's ARGB32, the bitmap contexts' pixels) with rows from the top, and
// ask questions of single pixels and of regions.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace tw::test {

struct Pixel {
    std::uint8_t a = 0, r = 0, g = 0, b = 0;
};

struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
};

class PixelProbe {
public:
    PixelProbe(void const* data, int width, int height, std::size_t bytesPerRow);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // (x, y) from the top-left pixel; outside the buffer reads as transparent.
    Pixel At(int x, int y) const;
    // Pixels of the region (clipped to the buffer) that satisfy the test.
    int Count(PixelBox region, std::function<bool(Pixel)> const& test) const;
    bool Any(PixelBox region, std::function<bool(Pixel)> const& test) const { return Count(region, test) > 0; }
    bool All(PixelBox region, std::function<bool(Pixel)> const& test) const;
    // The smallest box holding every pixel that satisfies the test; nullopt when none does.
    std::optional<PixelBox> Bounds(std::function<bool(Pixel)> const& test) const;
    PixelBox Whole() const { return { 0, 0, mWidth, mHeight }; }

private:
    std::uint8_t const* mData;
    int mWidth;
    int mHeight;
    std::size_t mBytesPerRow;
};

// Common tests.
inline bool IsInk(Pixel p) { return p.a > 0; }
inline bool IsClear(Pixel p) { return p.a == 0; }
bool IsColour(Pixel p, int r, int g, int b, int a = 255, int tolerance = 2);

} // namespace tw::test
