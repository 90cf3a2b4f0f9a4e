#pragma once

// Image drawing as views need it: upright in a flipped (y down) view context.

#include "corefoundation/MacTypes.h"
#include "quartz/CGImage.h"
#include "quartz/HIGeometry.h"

// The image's top row at the rect's minimum y: upright when y runs down. -50 for a null argument.
OSStatus HIViewDrawCGImage(CGContextRef context, HIRect const* bounds, CGImageRef image);
