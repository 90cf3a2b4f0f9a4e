#pragma once

// The element list behind CGPath objects and a context's current path. Every
// operation takes the transform from the caller's space to the stored space;
// arcs are made of cubic Béziers in the caller's space, so any affine transform
// keeps them exact. Quadratic curves are stored as the equivalent cubics.

#include "quartz/CGGeometry.h"

#include <cstdint>
#include <vector>

namespace tw::quartz {

enum class ElementKind : std::uint8_t { Move, Line, Curve, Close };

struct PathElement {
    ElementKind kind;
    CGPoint points[3]; // Move and Line: [0]; Curve: control 1, control 2, end
    CGPoint const& End() const { return kind == ElementKind::Curve ? points[2] : points[0]; }
};

class PathData {
public:
    void MoveTo(CGPoint p, CGAffineTransform const& t);
    // Line and curve calls without a current point are ignored.
    void LineTo(CGPoint p, CGAffineTransform const& t);
    void CurveTo(CGPoint c1, CGPoint c2, CGPoint p, CGAffineTransform const& t);
    void QuadCurveTo(CGPoint c, CGPoint p, CGAffineTransform const& t);
    void Close();
    // Angles [rad] grow from +x towards +y; clockwise follows them downwards.
    void AddArc(CGPoint centre, CGFloat radius, CGFloat start, CGFloat end, bool clockwise, CGAffineTransform const& t);
    void AddArcToPoint(CGPoint p1, CGPoint p2, CGFloat radius, CGAffineTransform const& t);
    void AddRect(CGRect r, CGAffineTransform const& t);
    void AddEllipse(CGRect r, CGAffineTransform const& t);
    void AddLines(CGPoint const* points, size_t count, CGAffineTransform const& t);
    void Append(PathData const& other, CGAffineTransform const& t);
    void Clear();

    bool IsEmpty() const { return mElements.empty(); }
    bool HasCurrentPoint() const { return !mElements.empty(); }
    CGPoint CurrentPoint() const { return mCurrent; }
    CGRect BoundingBox() const; // CGRectNull when empty
    std::vector<PathElement> const& Elements() const { return mElements; }

private:
    void EnsureSubpath();
    void ArcSegment(CGPoint centre, CGFloat radius, CGFloat a0, CGFloat a1, CGAffineTransform const& t);

    std::vector<PathElement> mElements;
    CGPoint mCurrent;
    CGPoint mSubpathStart;
};

} // namespace tw::quartz
