#pragma once

// Path objects: immutable CGPathRef and mutable CGMutablePathRef, reference counted.

#include "quartz/PathData.h"
#include "quartz/QuartzTypeIDs.h"

namespace tw::quartz {

class Path final : public cf::Object {
public:
    Path() = default;
    explicit Path(PathData data)
        : mData(std::move(data))
    {
    }
    CFTypeID TypeID() const override { return kTWTypeIDPath; }
    bool Equals(cf::Object const& other) const override;
    PathData& Data() { return mData; }
    PathData const& Data() const { return mData; }

private:
    PathData mData;
};

} // namespace tw::quartz

using CGPath = tw::quartz::Path;
using CGPathRef = CGPath const*;
using CGMutablePathRef = CGPath*;

CFTypeID CGPathGetTypeID();
CGMutablePathRef CGPathCreateMutable();
CGPathRef CGPathCreateCopy(CGPathRef path);
CGMutablePathRef CGPathCreateMutableCopy(CGPathRef path);
CGPathRef CGPathRetain(CGPathRef path);
void CGPathRelease(CGPathRef path);

// m (may be null) transforms the given points before they are added.
void CGPathMoveToPoint(CGMutablePathRef path, CGAffineTransform const* m, CGFloat x, CGFloat y);
void CGPathAddLineToPoint(CGMutablePathRef path, CGAffineTransform const* m, CGFloat x, CGFloat y);
void CGPathAddCurveToPoint(CGMutablePathRef path, CGAffineTransform const* m, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x,
    CGFloat cp2y, CGFloat x, CGFloat y);
void CGPathAddQuadCurveToPoint(
    CGMutablePathRef path, CGAffineTransform const* m, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y);
void CGPathAddArc(CGMutablePathRef path, CGAffineTransform const* m, CGFloat x, CGFloat y, CGFloat radius,
    CGFloat startAngle, CGFloat endAngle, bool clockwise);
void CGPathAddArcToPoint(
    CGMutablePathRef path, CGAffineTransform const* m, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius);
void CGPathAddRect(CGMutablePathRef path, CGAffineTransform const* m, CGRect rect);
void CGPathAddRects(CGMutablePathRef path, CGAffineTransform const* m, CGRect const* rects, size_t count);
void CGPathAddEllipseInRect(CGMutablePathRef path, CGAffineTransform const* m, CGRect rect);
void CGPathAddLines(CGMutablePathRef path, CGAffineTransform const* m, CGPoint const* points, size_t count);
void CGPathAddPath(CGMutablePathRef path, CGAffineTransform const* m, CGPathRef other);
void CGPathCloseSubpath(CGMutablePathRef path);

bool CGPathIsEmpty(CGPathRef path);
bool CGPathEqualToPath(CGPathRef a, CGPathRef b);
CGRect CGPathGetBoundingBox(CGPathRef path); // control points included; CGRectNull when empty
CGPoint CGPathGetCurrentPoint(CGPathRef path);
