#include "render/CCoreGraphicsUtilities.h"

#include "foundation/CFile.h"
#include "foundation/CString.h"
#include "render/CImage.h"

#include <algorithm>
#include <numbers>

namespace {

constexpr CGFloat kMaxImageSide = 32767; // [px]

// A copy of the image drawn at the given pixel size.
CGImageRef CreateScaled(CGImageRef image, size_t width, size_t height)
{
    CGContextRef context = CGBitmapContextCreate(
        nullptr, width, height, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    if (!context)
        return nullptr;
    CGContextSetInterpolationQuality(context, kCGInterpolationHigh);
    CGContextDrawImage(context, CGRectMake(0, 0, CGFloat(width), CGFloat(height)), image);
    CGImageRef scaled = CGBitmapContextCreateImage(context);
    CGContextRelease(context);
    return scaled;
}

} // namespace

void CCoreGraphicsUtilities::SetFillColour(CGContext* context, ColourRGBA const& colour)
{
    CGContextSetRGBFillColor(context, colour.red, colour.green, colour.blue, colour.alpha);
}

void CCoreGraphicsUtilities::SetStrokeColour(CGContext* context, ColourRGBA const& colour)
{
    CGContextSetRGBStrokeColor(context, colour.red, colour.green, colour.blue, colour.alpha);
}

void CCoreGraphicsUtilities::SetShadowColour(CGContextRef context, ColourRGBA const& colour, float blur, CGSize offset)
{
    CGFloat const components[] = { colour.red, colour.green, colour.blue, colour.alpha };
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGColorRef shadow = CGColorCreate(space, components);
    CGContextSetShadowWithColor(context, offset, blur, shadow);
    CGColorRelease(shadow);
    CGColorSpaceRelease(space);
}

void CCoreGraphicsUtilities::AddCircle(CGContext* context, CGPoint const& centre, float radius)
{
    CGContextMoveToPoint(context, centre.x + radius, centre.y);
    CGContextAddArc(context, centre.x, centre.y, radius, 0, 2 * std::numbers::pi, 0);
    CGContextClosePath(context);
}

void CCoreGraphicsUtilities::AddEllipse(CGContext* context, CGRect const& rect)
{
    CGContextAddEllipseInRect(context, rect);
}

// Corners wider than half the rect are cut down so that opposite corners meet instead of crossing.
void CCoreGraphicsUtilities::AddRoundRect(CGContext* context, CGRect const& rect, float radius)
{
    CGRect const r = CGRectStandardize(rect);
    CGFloat const corner = std::clamp<CGFloat>(radius, 0, std::min(r.size.width, r.size.height) / 2);
    CGFloat const x0 = r.origin.x, y0 = r.origin.y;
    CGFloat const x1 = x0 + r.size.width, y1 = y0 + r.size.height;
    CGContextMoveToPoint(context, x0 + corner, y0);
    CGContextAddArcToPoint(context, x1, y0, x1, y1, corner);
    CGContextAddArcToPoint(context, x1, y1, x0, y1, corner);
    CGContextAddArcToPoint(context, x0, y1, x0, y0, corner);
    CGContextAddArcToPoint(context, x0, y0, x1, y0, corner);
    CGContextClosePath(context);
}

void CCoreGraphicsUtilities::DrawString(
    CGContext* context, CString const& text, CGRect const& rect, HIThemeTextInfo const& info, bool, UInt32 orientation)
{
    HIThemeTextInfo theme = info;
    HIThemeDrawTextBox(text.GetCFString(), &rect, &theme, context, orientation);
}

CGFloat CCoreGraphicsUtilities::GetHairlineWidth(CGContext* context)
{
    CGSize const pixel = CGContextConvertSizeToUserSpace(context, CGSizeMake(1, 1));
    CGFloat const width = std::fabs(pixel.width);
    return width > 0 ? width : std::fabs(pixel.height);
}

CGImageRef CCoreGraphicsUtilities::LoadImage(CFile const& file, CGSize const& size)
{
    bool const natural = size.width == 0 && size.height == 0;
    bool const possible
        = size.width >= 0.5 && size.height >= 0.5 && size.width <= kMaxImageSide && size.height <= kMaxImageSide;
    if (!natural && !possible)
        return nullptr;
    CImage image(0, 0, 32, 1);
    if (image.CreateFromFile(file) != noErr)
        return nullptr;
    CGImageRef loaded = image.GetAsCGImageRef(nullptr, false);
    if (natural)
        return loaded;
    size_t const width = size_t(std::lround(size.width)), height = size_t(std::lround(size.height));
    if (CGImageGetWidth(loaded) == width && CGImageGetHeight(loaded) == height)
        return loaded;
    CGImageRef scaled = CreateScaled(loaded, width, height);
    CGImageRelease(loaded);
    return scaled;
}
