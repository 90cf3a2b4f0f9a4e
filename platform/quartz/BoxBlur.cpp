#include "quartz/BoxBlur.h"

#include <algorithm>

namespace tw::quartz {

namespace {

    // One box pass along a line of count values, stride apart; pixels beyond the ends count as transparent.
    void BoxPass(unsigned char* line, int count, int stride, int radius, std::vector<unsigned char>& scratch)
    {
        scratch.resize(count);
        for (int i = 0; i < count; ++i)
            scratch[i] = line[i * stride];
        int const width = 2 * radius + 1;
        int sum = 0;
        for (int i = 0; i < std::min(radius, count); ++i)
            sum += scratch[i];
        for (int i = 0; i < count; ++i) {
            if (i + radius < count)
                sum += scratch[i + radius];
            if (i - radius - 1 >= 0)
                sum -= scratch[i - radius - 1];
            line[i * stride] = static_cast<unsigned char>((sum + width / 2) / width);
        }
    }

} // namespace

int BoxRadiusForBlur(CGFloat blur)
{
    if (!(blur > 0))
        return 0;
    CGFloat const sigma = std::min(blur, 1000.0) / 2;
    return static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
}

void BoxBlur(std::vector<unsigned char>& alpha, int width, int height, int radius)
{
    if (radius <= 0 || width <= 0 || height <= 0)
        return;
    std::vector<unsigned char> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y)
            BoxPass(alpha.data() + size_t(y) * width, width, 1, radius, scratch);
        for (int x = 0; x < width; ++x)
            BoxPass(alpha.data() + x, height, width, radius, scratch);
    }
}

} // namespace tw::quartz
