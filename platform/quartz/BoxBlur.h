#pragma once

// The blur behind shadows: three box passes in each direction approximate a
// Gaussian closely enough and cost the same at any radius.

#include "quartz/CGGeometry.h"

#include <vector>

namespace tw::quartz {

// Radius [px] of each box pass for a shadow blur (a Gaussian of standard deviation blur / 2).
int BoxRadiusForBlur(CGFloat blur);

// Blurs a plane of alpha values (one byte a pixel, rows of width bytes) in place.
void BoxBlur(std::vector<unsigned char>& alpha, int width, int height, int radius);

} // namespace tw::quartz
