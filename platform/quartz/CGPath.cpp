#include "quartz/CGPath.h"

using tw::quartz::Path;

namespace {

CGAffineTransform const& Transform(CGAffineTransform const* m) { return m ? *m : CGAffineTransformIdentity; }

bool SamePoints(tw::quartz::PathElement const& a, tw::quartz::PathElement const& b)
{
    for (int i = 0; i < 3; ++i)
        if (!CGPointEqualToPoint(a.points[i], b.points[i]))
            return false;
    return true;
}

} // namespace

bool Path::Equals(cf::Object const& other) const
{
    auto const& mine = mData.Elements();
    auto const& theirs = static_cast<Path const&>(other).mData.Elements();
    if (mine.size() != theirs.size())
        return false;
    for (size_t i = 0; i < mine.size(); ++i)
        if (mine[i].kind != theirs[i].kind || !SamePoints(mine[i], theirs[i]))
            return false;
    return true;
}

CFTypeID CGPathGetTypeID() { return kTWTypeIDPath; }

CGMutablePathRef CGPathCreateMutable() { return new Path; }

CGPathRef CGPathCreateCopy(CGPathRef path) { return CGPathCreateMutableCopy(path); }

CGMutablePathRef CGPathCreateMutableCopy(CGPathRef path) { return path ? new Path(path->Data()) : nullptr; }

CGPathRef CGPathRetain(CGPathRef path)
{
    if (path)
        path->Retain();
    return path;
}

void CGPathRelease(CGPathRef path)
{
    if (path)
        path->Release();
}

void CGPathMoveToPoint(CGMutablePathRef path, CGAffineTransform const* m, CGFloat x, CGFloat y)
{
    if (path)
        path->Data().MoveTo({ x, y }, Transform(m));
}

void CGPathAddLineToPoint(CGMutablePathRef path, CGAffineTransform const* m, CGFloat x, CGFloat y)
{
    if (path)
        path->Data().LineTo({ x, y }, Transform(m));
}

void CGPathAddCurveToPoint(CGMutablePathRef path, CGAffineTransform const* m, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x,
    CGFloat cp2y, CGFloat x, CGFloat y)
{
    if (path)
        path->Data().CurveTo({ cp1x, cp1y }, { cp2x, cp2y }, { x, y }, Transform(m));
}

void CGPathAddQuadCurveToPoint(
    CGMutablePathRef path, CGAffineTransform const* m, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y)
{
    if (path)
        path->Data().QuadCurveTo({ cpx, cpy }, { x, y }, Transform(m));
}

void CGPathAddArc(CGMutablePathRef path, CGAffineTransform const* m, CGFloat x, CGFloat y, CGFloat radius,
    CGFloat startAngle, CGFloat endAngle, bool clockwise)
{
    if (path)
        path->Data().AddArc({ x, y }, radius, startAngle, endAngle, clockwise, Transform(m));
}

void CGPathAddArcToPoint(
    CGMutablePathRef path, CGAffineTransform const* m, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius)
{
    if (path)
        path->Data().AddArcToPoint({ x1, y1 }, { x2, y2 }, radius, Transform(m));
}

void CGPathAddRect(CGMutablePathRef path, CGAffineTransform const* m, CGRect rect)
{
    if (path)
        path->Data().AddRect(rect, Transform(m));
}

void CGPathAddRects(CGMutablePathRef path, CGAffineTransform const* m, CGRect const* rects, size_t count)
{
    for (size_t i = 0; path && rects && i < count; ++i)
        path->Data().AddRect(rects[i], Transform(m));
}

void CGPathAddEllipseInRect(CGMutablePathRef path, CGAffineTransform const* m, CGRect rect)
{
    if (path)
        path->Data().AddEllipse(rect, Transform(m));
}

void CGPathAddLines(CGMutablePathRef path, CGAffineTransform const* m, CGPoint const* points, size_t count)
{
    if (path)
        path->Data().AddLines(points, count, Transform(m));
}

void CGPathAddPath(CGMutablePathRef path, CGAffineTransform const* m, CGPathRef other)
{
    if (path && other)
        path->Data().Append(other->Data(), Transform(m));
}

void CGPathCloseSubpath(CGMutablePathRef path)
{
    if (path)
        path->Data().Close();
}

bool CGPathIsEmpty(CGPathRef path) { return !path || path->Data().IsEmpty(); }

bool CGPathEqualToPath(CGPathRef a, CGPathRef b) { return a == b || (a && b && a->Equals(*b)); }

CGRect CGPathGetBoundingBox(CGPathRef path) { return path ? path->Data().BoundingBox() : CGRectNull; }

CGPoint CGPathGetCurrentPoint(CGPathRef path)
{
    return path && path->Data().HasCurrentPoint() ? path->Data().CurrentPoint() : CGPointZero;
}
