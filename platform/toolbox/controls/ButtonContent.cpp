#include "toolbox/controls/ButtonContent.h"

#include "quartz/CGImage.h"
#include "quartz/HIViewDrawing.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace tw::toolbox::controls {

namespace {

    CGImageRef LoadIcon(IconRef icon)
    {
        cairo_surface_t* surface = cairo_image_surface_create_from_png(icon->Path().c_str());
        CGImageRef image = nullptr;
        if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
            image = quartz::CreateImageFromSurface(surface);
        cairo_surface_destroy(surface);
        return image;
    }

} // namespace

void ButtonContent::Set(ControlButtonContentInfo const& info)
{
    if (info.contentType == kControlContentIconRef && info.u.iconRef)
        info.u.iconRef->Retain();
    if (info.contentType == kControlContentCGImageRef && info.u.imageRef)
        CGImageRetain(info.u.imageRef);
    if (mInfo.contentType == kControlContentIconRef && mInfo.u.iconRef)
        mInfo.u.iconRef->Release();
    if (mInfo.contentType == kControlContentCGImageRef && mInfo.u.imageRef)
        CGImageRelease(mInfo.u.imageRef);
    if (mImage)
        CGImageRelease(mImage);
    mImage = nullptr;
    mInfo = info;
    if (info.contentType == kControlContentIconRef && info.u.iconRef)
        mImage = LoadIcon(info.u.iconRef);
    else if (info.contentType == kControlContentCGImageRef && info.u.imageRef)
        mImage = CGImageRetain(info.u.imageRef);
    else
        mInfo = {};
}

void ButtonContent::Draw(CGContextRef c, CGRect box, bool enabled) const
{
    if (!mImage || box.size.width <= 0 || box.size.height <= 0)
        return;
    double const w = CGImageGetWidth(mImage), h = CGImageGetHeight(mImage);
    double const scale = std::min({ 1.0, box.size.width / w, box.size.height / h });
    CGRect const rect { { std::round(CGRectGetMidX(box) - w * scale / 2),
                            std::round(CGRectGetMidY(box) - h * scale / 2) },
        { w * scale, h * scale } };
    CGContextSaveGState(c);
    if (!enabled)
        CGContextSetAlpha(c, 0.5);
    HIViewDrawCGImage(c, &rect, mImage);
    CGContextRestoreGState(c);
}

} // namespace tw::toolbox::controls
