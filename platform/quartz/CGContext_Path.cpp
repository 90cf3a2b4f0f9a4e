#include "quartz/CGContext.h"
#include "quartz/Context.h"

// The current path is kept in Cairo's device space, each point mapped by the CTM of its time.
namespace {

CGAffineTransform ToPath(CGContextRef c) { return c->UserToCairo(); }

} // namespace

void CGContextBeginPath(CGContextRef c)
{
    if (c)
        c->Path().Clear();
}

void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y)
{
    if (c)
        c->Path().MoveTo({ x, y }, ToPath(c));
}

void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y)
{
    if (c)
        c->Path().LineTo({ x, y }, ToPath(c));
}

void CGContextAddCurveToPoint(
    CGContextRef c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y)
{
    if (c)
        c->Path().CurveTo({ cp1x, cp1y }, { cp2x, cp2y }, { x, y }, ToPath(c));
}

void CGContextAddQuadCurveToPoint(CGContextRef c, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y)
{
    if (c)
        c->Path().QuadCurveTo({ cpx, cpy }, { x, y }, ToPath(c));
}

void CGContextAddArc(
    CGContextRef c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle, int clockwise)
{
    if (c)
        c->Path().AddArc({ x, y }, radius, startAngle, endAngle, clockwise != 0, ToPath(c));
}

void CGContextAddArcToPoint(CGContextRef c, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius)
{
    if (c)
        c->Path().AddArcToPoint({ x1, y1 }, { x2, y2 }, radius, ToPath(c));
}

void CGContextAddRect(CGContextRef c, CGRect rect)
{
    if (c)
        c->Path().AddRect(rect, ToPath(c));
}

void CGContextAddRects(CGContextRef c, CGRect const* rects, size_t count)
{
    for (size_t i = 0; c && rects && i < count; ++i)
        c->Path().AddRect(rects[i], ToPath(c));
}

void CGContextAddEllipseInRect(CGContextRef c, CGRect rect)
{
    if (c)
        c->Path().AddEllipse(rect, ToPath(c));
}

void CGContextAddLines(CGContextRef c, CGPoint const* points, size_t count)
{
    if (c)
        c->Path().AddLines(points, count, ToPath(c));
}

void CGContextAddPath(CGContextRef c, CGPathRef path)
{
    if (c && path)
        c->Path().Append(path->Data(), ToPath(c));
}

void CGContextClosePath(CGContextRef c)
{
    if (c)
        c->Path().Close();
}

bool CGContextIsPathEmpty(CGContextRef c) { return !c || c->Path().IsEmpty(); }

CGRect CGContextGetPathBoundingBox(CGContextRef c)
{
    if (!c || c->Path().IsEmpty())
        return CGRectNull;
    return CGRectApplyAffineTransform(c->Path().BoundingBox(), CGAffineTransformInvert(ToPath(c)));
}

CGPoint CGContextGetPathCurrentPoint(CGContextRef c)
{
    if (!c || !c->Path().HasCurrentPoint())
        return CGPointZero;
    return CGPointApplyAffineTransform(c->Path().CurrentPoint(), CGAffineTransformInvert(ToPath(c)));
}
