#pragma once

// Quartz 2D drawing contexts. Every context follows Quartz's conventions: user
// space is mapped to device space by the CTM; bitmap and PDF contexts start with
// an identity CTM on a y-up device space (origin at the bottom left), view
// contexts start flipped (y down, origin at the top left). Made by the bitmap
// and PDF calls, or by the toolbox for a view.

#include "quartz/CGColor.h"
#include "quartz/CGPath.h"

namespace tw::quartz {
class Context;
class Image;
} // namespace tw::quartz

using CGContext = tw::quartz::Context;
using CGContextRef = CGContext*;
using CGImageRef = tw::quartz::Image*;

enum CGLineCap : int { kCGLineCapButt = 0, kCGLineCapRound = 1, kCGLineCapSquare = 2 };
enum CGLineJoin : int { kCGLineJoinMiter = 0, kCGLineJoinRound = 1, kCGLineJoinBevel = 2 };
enum CGPathDrawingMode : int {
    kCGPathFill = 0,
    kCGPathEOFill = 1,
    kCGPathStroke = 2,
    kCGPathFillStroke = 3,
    kCGPathEOFillStroke = 4,
};
enum CGTextDrawingMode : int { kCGTextFill = 0, kCGTextStroke = 1, kCGTextFillStroke = 2, kCGTextInvisible = 3 };
enum CGInterpolationQuality : int {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationHigh = 3,
};

CFTypeID CGContextGetTypeID();
CGContextRef CGContextRetain(CGContextRef c);
void CGContextRelease(CGContextRef c);

// Graphics state: CTM, clip, colours, line style, alpha, shadow, antialiasing,
// interpolation and text mode. The current path is not part of it.
void CGContextSaveGState(CGContextRef c);
void CGContextRestoreGState(CGContextRef c);

void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy);
void CGContextRotateCTM(CGContextRef c, CGFloat angle); // [rad], counter-clockwise in y-up space
void CGContextConcatCTM(CGContextRef c, CGAffineTransform transform);
CGAffineTransform CGContextGetCTM(CGContextRef c);
CGPoint CGContextConvertPointToDeviceSpace(CGContextRef c, CGPoint point);
CGPoint CGContextConvertPointToUserSpace(CGContextRef c, CGPoint point);
CGSize CGContextConvertSizeToDeviceSpace(CGContextRef c, CGSize size);
CGSize CGContextConvertSizeToUserSpace(CGContextRef c, CGSize size);

// The current path; points go through the CTM as they are added.
void CGContextBeginPath(CGContextRef c);
void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y);
void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y);
void CGContextAddCurveToPoint(
    CGContextRef c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y);
void CGContextAddQuadCurveToPoint(CGContextRef c, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y);
void CGContextAddArc(
    CGContextRef c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle, int clockwise);
void CGContextAddArcToPoint(CGContextRef c, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius);
void CGContextAddRect(CGContextRef c, CGRect rect);
void CGContextAddRects(CGContextRef c, CGRect const* rects, size_t count);
void CGContextAddEllipseInRect(CGContextRef c, CGRect rect);
void CGContextAddLines(CGContextRef c, CGPoint const* points, size_t count);
void CGContextAddPath(CGContextRef c, CGPathRef path);
void CGContextClosePath(CGContextRef c);
bool CGContextIsPathEmpty(CGContextRef c);
CGRect CGContextGetPathBoundingBox(CGContextRef c); // user space; CGRectNull when empty
CGPoint CGContextGetPathCurrentPoint(CGContextRef c);

// Painting consumes the current path.
void CGContextFillPath(CGContextRef c);
void CGContextEOFillPath(CGContextRef c);
void CGContextStrokePath(CGContextRef c);
void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode);
void CGContextFillRect(CGContextRef c, CGRect rect);
void CGContextFillRects(CGContextRef c, CGRect const* rects, size_t count);
void CGContextFillEllipseInRect(CGContextRef c, CGRect rect);
void CGContextStrokeRect(CGContextRef c, CGRect rect);
void CGContextStrokeRectWithWidth(CGContextRef c, CGRect rect, CGFloat width);
void CGContextStrokeEllipseInRect(CGContextRef c, CGRect rect);
void CGContextStrokeLineSegments(CGContextRef c, CGPoint const* points, size_t count); // pairs of points
void CGContextClearRect(CGContextRef c, CGRect rect); // to transparent, ignoring colour, alpha and shadow

// Clipping intersects the clip with the current path and consumes it.
void CGContextClip(CGContextRef c);
void CGContextEOClip(CGContextRef c);
void CGContextClipToRect(CGContextRef c, CGRect rect);
void CGContextClipToRects(CGContextRef c, CGRect const* rects, size_t count);
CGRect CGContextGetClipBoundingBox(CGContextRef c); // user space

namespace tw::quartz {
// Ours: whether painting within rect (user space) would reach every pixel it touches. A
// window's update clips to several rectangles, whose bounding box says nothing of the gaps.
bool ClipCoversRect(CGContextRef c, CGRect rect);
} // namespace tw::quartz

void CGContextSetLineWidth(CGContextRef c, CGFloat width);
void CGContextSetLineCap(CGContextRef c, CGLineCap cap);
void CGContextSetLineJoin(CGContextRef c, CGLineJoin join);
void CGContextSetMiterLimit(CGContextRef c, CGFloat limit);
// A null or empty pattern draws solid lines again.
void CGContextSetLineDash(CGContextRef c, CGFloat phase, CGFloat const* lengths, size_t count);

void CGContextSetRGBFillColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
void CGContextSetGrayFillColor(CGContextRef c, CGFloat gray, CGFloat alpha);
void CGContextSetGrayStrokeColor(CGContextRef c, CGFloat gray, CGFloat alpha);
void CGContextSetFillColorWithColor(CGContextRef c, CGColorRef color);
void CGContextSetStrokeColorWithColor(CGContextRef c, CGColorRef color);
void CGContextSetAlpha(CGContextRef c, CGFloat alpha);

// Shadow offsets are in device space (y up) and are not changed by the CTM.
// The blur is a radius in device pixels; a null colour turns the shadow off.
void CGContextSetShadow(CGContextRef c, CGSize offset, CGFloat blur);
void CGContextSetShadowWithColor(CGContextRef c, CGSize offset, CGFloat blur, CGColorRef color);
void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias);
void CGContextSetInterpolationQuality(CGContextRef c, CGInterpolationQuality quality);
void CGContextSetTextDrawingMode(CGContextRef c, CGTextDrawingMode mode);

// The image's top row lies at the rect's maximum y in user space: upright in a
// y-up context, upside down in a flipped one (see HIViewDrawCGImage).
void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);

// Pages of a PDF context; a new page starts with a fresh graphics state.
void CGContextBeginPage(CGContextRef c, CGRect const* mediaBox);
void CGContextEndPage(CGContextRef c);
