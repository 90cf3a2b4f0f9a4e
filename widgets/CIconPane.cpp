#include "widgets/CIconPane.h"

#include "quartz/CGImage.h"
#include "quartz/HIViewDrawing.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

CIconPane::CIconPane(WindowRef window, CRect const& bounds, IconRef icon, SInt16 alignment, SInt16 transform)
    : CUserPane(window, bounds, kControlSupportsEmbedding)
    , mIcon(icon)
    , mAlignment(alignment)
    , mTransform(transform)
{
    if (mIcon)
        AcquireIconRef(mIcon);
}

CIconPane::~CIconPane()
{
    if (mIcon)
        ReleaseIconRef(mIcon);
}

// The pane's port is the context it draws in: the bounds are erased to the
// window's background, then the icon is scaled into them, centred.
void CIconPane::HandleControlUserPaneDraw(SInt16)
{
    CGContextRef context = nullptr;
    WindowRef window = GetWindowRef();
    if (QDBeginCGContext(GetWindowPort(window), &context) != noErr)
        return;
    CGRect const bounds = GetBounds();
    CGContextSaveGState(context);
    CGContextSetGrayFillColor(context, 0.93, 1);
    CGContextFillRect(context, bounds);
    cairo_surface_t* surface = mIcon ? cairo_image_surface_create_from_png(mIcon->Path().c_str()) : nullptr;
    if (surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        CGImageRef image = tw::quartz::CreateImageFromSurface(surface);
        double const w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
        double const scale = std::min(bounds.size.width / w, bounds.size.height / h);
        CGRect const rect { { std::round(CGRectGetMidX(bounds) - w * scale / 2),
                                std::round(CGRectGetMidY(bounds) - h * scale / 2) },
            { w * scale, h * scale } };
        if (image) {
            HIViewDrawCGImage(context, &rect, image);
            CGImageRelease(image);
        }
    }
    if (surface)
        cairo_surface_destroy(surface);
    CGContextRestoreGState(context);
    QDEndCGContext(GetWindowPort(window), &context);
}
