#pragma once

// Everything the Quartz module offers: geometry, colours, paths, contexts,
// images, shadings and HITheme text and drawing.

#include "quartz/CGBitmapContext.h"
#include "quartz/CGColor.h"
#include "quartz/CGContext.h"
#include "quartz/CGDataProvider.h"
#include "quartz/CGGeometry.h"
#include "quartz/CGImage.h"
#include "quartz/CGPDFContext.h"
#include "quartz/CGPath.h"
#include "quartz/CGShading.h"
#include "quartz/HIGeometry.h"
#include "quartz/HITheme.h"
#include "quartz/HIViewDrawing.h"
