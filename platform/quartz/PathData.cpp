#include "quartz/PathData.h"

#include <algorithm>
#include <numbers>

namespace tw::quartz {

namespace {

    constexpr CGFloat kQuarterTurn = std::numbers::pi / 2;
    constexpr CGFloat kFullTurn = 2 * std::numbers::pi;

    CGPoint Apply(CGPoint p, CGAffineTransform const& t) { return CGPointApplyAffineTransform(p, t); }

} // namespace

void PathData::MoveTo(CGPoint p, CGAffineTransform const& t)
{
    mCurrent = mSubpathStart = Apply(p, t);
    mElements.push_back({ ElementKind::Move, { mCurrent } });
}

// After a close, drawing goes on from the start of the closed subpath as a new subpath.
void PathData::EnsureSubpath()
{
    if (!mElements.empty() && mElements.back().kind == ElementKind::Close)
        mElements.push_back({ ElementKind::Move, { mSubpathStart } });
}

void PathData::LineTo(CGPoint p, CGAffineTransform const& t)
{
    if (!HasCurrentPoint())
        return;
    EnsureSubpath();
    mCurrent = Apply(p, t);
    mElements.push_back({ ElementKind::Line, { mCurrent } });
}

void PathData::CurveTo(CGPoint c1, CGPoint c2, CGPoint p, CGAffineTransform const& t)
{
    if (!HasCurrentPoint())
        return;
    EnsureSubpath();
    mCurrent = Apply(p, t);
    mElements.push_back({ ElementKind::Curve, { Apply(c1, t), Apply(c2, t), mCurrent } });
}

void PathData::QuadCurveTo(CGPoint c, CGPoint p, CGAffineTransform const& t)
{
    if (!HasCurrentPoint())
        return;
    CGPoint const p0 = CGPointApplyAffineTransform(mCurrent, CGAffineTransformInvert(t));
    CGPoint const c1 { p0.x + 2.0 / 3 * (c.x - p0.x), p0.y + 2.0 / 3 * (c.y - p0.y) };
    CGPoint const c2 { p.x + 2.0 / 3 * (c.x - p.x), p.y + 2.0 / 3 * (c.y - p.y) };
    CurveTo(c1, c2, p, t);
}

void PathData::Close()
{
    if (!HasCurrentPoint() || mElements.back().kind == ElementKind::Close)
        return;
    mElements.push_back({ ElementKind::Close, {} });
    mCurrent = mSubpathStart;
}

void PathData::ArcSegment(CGPoint centre, CGFloat radius, CGFloat a0, CGFloat a1, CGAffineTransform const& t)
{
    int const pieces = std::max(1, int(std::ceil(std::fabs(a1 - a0) / kQuarterTurn - 1e-9)));
    CGFloat const step = (a1 - a0) / pieces;
    CGFloat const k = 4.0 / 3.0 * std::tan(step / 4) * radius;
    for (int i = 0; i < pieces; ++i) {
        CGFloat const a = a0 + i * step;
        CGFloat const b = a + step;
        CGPoint const p0 { centre.x + radius * std::cos(a), centre.y + radius * std::sin(a) };
        CGPoint const p3 { centre.x + radius * std::cos(b), centre.y + radius * std::sin(b) };
        CurveTo({ p0.x - k * std::sin(a), p0.y + k * std::cos(a) }, { p3.x + k * std::sin(b), p3.y - k * std::cos(b) },
            p3, t);
    }
}

void PathData::AddArc(
    CGPoint centre, CGFloat radius, CGFloat start, CGFloat end, bool clockwise, CGAffineTransform const& t)
{
    if (!std::isfinite(start) || !std::isfinite(end) || !std::isfinite(radius))
        return;
    CGFloat sweep = clockwise ? start - end : end - start;
    // Going the other way round first reaches the end angle after less than a full turn.
    if (sweep > kFullTurn)
        sweep = kFullTurn;
    else if (sweep < 0)
        sweep = std::fmod(std::fmod(sweep, kFullTurn) + kFullTurn, kFullTurn);
    CGPoint const first { centre.x + radius * std::cos(start), centre.y + radius * std::sin(start) };
    if (HasCurrentPoint())
        LineTo(first, t);
    else
        MoveTo(first, t);
    if (sweep > 0 && radius > 0)
        ArcSegment(centre, radius, start, clockwise ? start - sweep : start + sweep, t);
}

void PathData::AddArcToPoint(CGPoint p1, CGPoint p2, CGFloat radius, CGAffineTransform const& t)
{
    if (!HasCurrentPoint()) {
        MoveTo(p1, t);
        return;
    }
    CGPoint const p0 = CGPointApplyAffineTransform(mCurrent, CGAffineTransformInvert(t));
    CGFloat const l1 = std::hypot(p0.x - p1.x, p0.y - p1.y);
    CGFloat const l2 = std::hypot(p2.x - p1.x, p2.y - p1.y);
    if (l1 == 0 || l2 == 0 || radius <= 0) {
        LineTo(p1, t);
        return;
    }
    CGPoint const u1 { (p0.x - p1.x) / l1, (p0.y - p1.y) / l1 };
    CGPoint const u2 { (p2.x - p1.x) / l2, (p2.y - p1.y) / l2 };
    CGFloat const cross = u1.x * u2.y - u1.y * u2.x;
    CGFloat const angle = std::acos(std::clamp(u1.x * u2.x + u1.y * u2.y, -1.0, 1.0));
    if (std::fabs(cross) < 1e-12 || angle < 1e-9) {
        LineTo(p1, t);
        return;
    }
    CGFloat const tangent = radius / std::tan(angle / 2);
    CGPoint const bisector { u1.x + u2.x, u1.y + u2.y };
    CGFloat const bl = std::hypot(bisector.x, bisector.y);
    CGFloat const toCentre = radius / std::sin(angle / 2);
    CGPoint const centre { p1.x + bisector.x / bl * toCentre, p1.y + bisector.y / bl * toCentre };
    CGPoint const t1 { p1.x + u1.x * tangent, p1.y + u1.y * tangent };
    CGPoint const t2 { p1.x + u2.x * tangent, p1.y + u2.y * tangent };
    LineTo(t1, t);
    CGFloat const a0 = std::atan2(t1.y - centre.y, t1.x - centre.x);
    CGFloat a1 = std::atan2(t2.y - centre.y, t2.x - centre.x);
    if (a1 - a0 > std::numbers::pi)
        a1 -= kFullTurn;
    else if (a1 - a0 < -std::numbers::pi)
        a1 += kFullTurn;
    ArcSegment(centre, radius, a0, a1, t);
}

void PathData::AddRect(CGRect r, CGAffineTransform const& t)
{
    r = CGRectStandardize(r);
    CGFloat const x1 = r.origin.x + r.size.width;
    CGFloat const y1 = r.origin.y + r.size.height;
    MoveTo(r.origin, t);
    LineTo({ x1, r.origin.y }, t);
    LineTo({ x1, y1 }, t);
    LineTo({ r.origin.x, y1 }, t);
    Close();
}

void PathData::AddEllipse(CGRect r, CGAffineTransform const& t)
{
    r = CGRectStandardize(r);
    CGFloat const rx = r.size.width / 2;
    CGFloat const ry = r.size.height / 2;
    CGAffineTransform const unit = CGAffineTransformConcat({ rx, 0, 0, ry, r.origin.x + rx, r.origin.y + ry }, t);
    MoveTo({ 1, 0 }, unit);
    ArcSegment({ 0, 0 }, 1, 0, kFullTurn, unit);
    Close();
}

void PathData::AddLines(CGPoint const* points, size_t count, CGAffineTransform const& t)
{
    if (!points || count == 0)
        return;
    MoveTo(points[0], t);
    for (size_t i = 1; i < count; ++i)
        LineTo(points[i], t);
}

void PathData::Append(PathData const& other, CGAffineTransform const& t)
{
    for (PathElement const& e : other.mElements) {
        switch (e.kind) {
        case ElementKind::Move:
            MoveTo(e.points[0], t);
            break;
        case ElementKind::Line:
            LineTo(e.points[0], t);
            break;
        case ElementKind::Curve:
            CurveTo(e.points[0], e.points[1], e.points[2], t);
            break;
        case ElementKind::Close:
            Close();
            break;
        }
    }
}

void PathData::Clear()
{
    mElements.clear();
    mCurrent = mSubpathStart = CGPointZero;
}

CGRect PathData::BoundingBox() const
{
    CGFloat x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (PathElement const& e : mElements) {
        int const count = e.kind == ElementKind::Curve ? 3 : e.kind == ElementKind::Close ? 0 : 1;
        for (int i = 0; i < count; ++i) {
            x0 = std::min(x0, e.points[i].x);
            y0 = std::min(y0, e.points[i].y);
            x1 = std::max(x1, e.points[i].x);
            y1 = std::max(y1, e.points[i].y);
        }
    }
    if (x0 > x1)
        return CGRectNull;
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

} // namespace tw::quartz
