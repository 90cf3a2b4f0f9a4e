#include "quartz/CGContext.h"

#include "quartz/Context.h"

#include <algorithm>

namespace {

CGAffineTransform const& CTM(CGContextRef c) { return c->State().ctm; }

tw::quartz::RGBA Unit(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return tw::quartz::ToRGBA(kCGColorSpaceModelRGB, std::array<CGFloat, 4> { r, g, b, a }.data());
}

} // namespace

CFTypeID CGContextGetTypeID() { return kTWTypeIDContext; }

CGContextRef CGContextRetain(CGContextRef c)
{
    if (c)
        c->Retain();
    return c;
}

void CGContextRelease(CGContextRef c)
{
    if (c)
        c->Release();
}

void CGContextSaveGState(CGContextRef c)
{
    if (c)
        c->SaveState();
}

void CGContextRestoreGState(CGContextRef c)
{
    if (c)
        c->RestoreState();
}

void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty)
{
    if (c)
        c->State().ctm = CGAffineTransformTranslate(CTM(c), tx, ty);
}

void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy)
{
    if (c)
        c->State().ctm = CGAffineTransformScale(CTM(c), sx, sy);
}

void CGContextRotateCTM(CGContextRef c, CGFloat angle)
{
    if (c)
        c->State().ctm = CGAffineTransformRotate(CTM(c), angle);
}

void CGContextConcatCTM(CGContextRef c, CGAffineTransform transform)
{
    if (c)
        c->State().ctm = CGAffineTransformConcat(transform, CTM(c));
}

CGAffineTransform CGContextGetCTM(CGContextRef c) { return c ? CTM(c) : CGAffineTransformIdentity; }

CGPoint CGContextConvertPointToDeviceSpace(CGContextRef c, CGPoint point)
{
    return c ? CGPointApplyAffineTransform(point, CTM(c)) : point;
}

CGPoint CGContextConvertPointToUserSpace(CGContextRef c, CGPoint point)
{
    return c ? CGPointApplyAffineTransform(point, CGAffineTransformInvert(CTM(c))) : point;
}

CGSize CGContextConvertSizeToDeviceSpace(CGContextRef c, CGSize size)
{
    return c ? CGSizeApplyAffineTransform(size, CTM(c)) : size;
}

CGSize CGContextConvertSizeToUserSpace(CGContextRef c, CGSize size)
{
    return c ? CGSizeApplyAffineTransform(size, CGAffineTransformInvert(CTM(c))) : size;
}

void CGContextSetLineWidth(CGContextRef c, CGFloat width)
{
    if (c && std::isfinite(width) && width >= 0)
        c->State().lineWidth = width;
}

void CGContextSetLineCap(CGContextRef c, CGLineCap cap)
{
    if (c)
        c->State().lineCap = cap;
}

void CGContextSetLineJoin(CGContextRef c, CGLineJoin join)
{
    if (c)
        c->State().lineJoin = join;
}

void CGContextSetMiterLimit(CGContextRef c, CGFloat limit)
{
    if (c && std::isfinite(limit))
        c->State().miterLimit = limit;
}

// A pattern of negative, non-finite or all-zero lengths would stall Cairo; it draws solid.
void CGContextSetLineDash(CGContextRef c, CGFloat phase, CGFloat const* lengths, size_t count)
{
    if (!c)
        return;
    std::vector<CGFloat> dashes;
    if (lengths && count > 0)
        dashes.assign(lengths, lengths + count);
    bool const usable = std::all_of(dashes.begin(), dashes.end(), [](CGFloat v) { return std::isfinite(v) && v >= 0; })
        && std::any_of(dashes.begin(), dashes.end(), [](CGFloat v) { return v > 0; });
    c->State().dashes = usable ? std::move(dashes) : std::vector<CGFloat> {};
    c->State().dashPhase = std::isfinite(phase) ? phase : 0;
}

void CGContextSetRGBFillColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    if (c)
        c->State().fill = Unit(red, green, blue, alpha);
}

void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    if (c)
        c->State().stroke = Unit(red, green, blue, alpha);
}

void CGContextSetGrayFillColor(CGContextRef c, CGFloat gray, CGFloat alpha)
{
    CGContextSetRGBFillColor(c, gray, gray, gray, alpha);
}

void CGContextSetGrayStrokeColor(CGContextRef c, CGFloat gray, CGFloat alpha)
{
    CGContextSetRGBStrokeColor(c, gray, gray, gray, alpha);
}

void CGContextSetFillColorWithColor(CGContextRef c, CGColorRef color)
{
    if (c && color)
        c->State().fill = color->RGBA();
}

void CGContextSetStrokeColorWithColor(CGContextRef c, CGColorRef color)
{
    if (c && color)
        c->State().stroke = color->RGBA();
}

void CGContextSetAlpha(CGContextRef c, CGFloat alpha)
{
    if (c)
        c->State().alpha = std::isfinite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 1.0;
}

// Quartz's default shadow colour: black at a third.
void CGContextSetShadow(CGContextRef c, CGSize offset, CGFloat blur)
{
    CGFloat const components[] = { 0, 0, 0, 1.0 / 3 };
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGColorRef color = CGColorCreate(space, components);
    CGContextSetShadowWithColor(c, offset, blur, color);
    CGColorRelease(color);
    CGColorSpaceRelease(space);
}

void CGContextSetShadowWithColor(CGContextRef c, CGSize offset, CGFloat blur, CGColorRef color)
{
    if (!c)
        return;
    bool const finite = std::isfinite(offset.width) && std::isfinite(offset.height) && std::isfinite(blur);
    c->State().shadow = { finite ? offset : CGSizeZero, finite ? std::max<CGFloat>(blur, 0) : 0,
        color && finite ? color->RGBA() : tw::quartz::RGBA {} };
}

void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias)
{
    if (c)
        c->State().antialias = shouldAntialias;
}

void CGContextSetInterpolationQuality(CGContextRef c, CGInterpolationQuality quality)
{
    if (c)
        c->State().interpolation = quality;
}

void CGContextSetTextDrawingMode(CGContextRef c, CGTextDrawingMode mode)
{
    if (c)
        c->State().textMode = mode;
}
