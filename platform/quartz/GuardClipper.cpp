#include "quartz/GuardClipper.h"

#include <algorithm>
#include <array>

namespace tw::quartz {

namespace {

    constexpr int kMaxDepth = 48;

    bool Finite(CGPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

    bool FiniteSubpath(Subpath const& s)
    {
        if (!Finite(s.start))
            return false;
        for (PathElement const& e : s.segments)
            for (int i = 0; i < (e.kind == ElementKind::Curve ? 3 : 1); ++i)
                if (!Finite(e.points[i]))
                    return false;
        return true;
    }

    CGPoint Mid(CGPoint a, CGPoint b) { return { (a.x + b.x) / 2, (a.y + b.y) / 2 }; }

    CGFloat UserLength(CGPoint a, CGPoint b, CGAffineTransform const& toUser)
    {
        CGSize const d = CGSizeApplyAffineTransform({ b.x - a.x, b.y - a.y }, toUser);
        return std::hypot(d.width, d.height);
    }

    // One edge of the guard as a half-plane: the coordinate (x or y) against a limit.
    struct Edge {
        bool vertical; // compares x
        bool keepAbove; // keeps coordinates >= limit
        CGFloat limit;

        bool Inside(CGPoint p) const
        {
            CGFloat const v = vertical ? p.x : p.y;
            return keepAbove ? v >= limit : v <= limit;
        }
        CGPoint Cross(CGPoint a, CGPoint b) const
        {
            if (vertical) {
                CGFloat const t = (limit - a.x) / (b.x - a.x);
                return { limit, a.y + t * (b.y - a.y) };
            }
            CGFloat const t = (limit - a.y) / (b.y - a.y);
            return { a.x + t * (b.x - a.x), limit };
        }
    };

    // Liang-Barsky: false when the segment misses the rectangle.
    bool ClipSegment(CGPoint& a, CGPoint& b, CGFloat x0, CGFloat y0, CGFloat x1, CGFloat y1)
    {
        CGFloat const dx = b.x - a.x;
        CGFloat const dy = b.y - a.y;
        CGFloat const p[4] = { -dx, dx, -dy, dy };
        CGFloat const q[4] = { a.x - x0, x1 - a.x, a.y - y0, y1 - a.y };
        CGFloat t0 = 0, t1 = 1;
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0)
                    return false;
                continue;
            }
            CGFloat const r = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            if (t0 > t1)
                return false;
        }
        CGPoint const start = a;
        if (t1 < 1)
            b = { start.x + t1 * dx, start.y + t1 * dy };
        if (t0 > 0)
            a = { start.x + t0 * dx, start.y + t0 * dy };
        return true;
    }

} // namespace

std::vector<Subpath> SplitSubpaths(PathData const& path)
{
    std::vector<Subpath> result;
    Subpath current;
    auto const finish = [&] {
        if (!current.segments.empty())
            result.push_back(std::move(current));
        current = Subpath {};
    };
    for (PathElement const& e : path.Elements()) {
        if (e.kind == ElementKind::Move) {
            finish();
            current.start = e.points[0];
        } else if (e.kind == ElementKind::Close) {
            current.closed = true;
        } else {
            current.segments.push_back(e);
        }
    }
    finish();
    return result;
}

GuardClipper::GuardClipper(CGRect visible, CGRect guard)
    : mVisible(visible)
    , mX0(CGRectGetMinX(guard))
    , mY0(CGRectGetMinY(guard))
    , mX1(CGRectGetMaxX(guard))
    , mY1(CGRectGetMaxY(guard))
{
}

bool GuardClipper::Inside(CGPoint p) const { return p.x >= mX0 && p.x <= mX1 && p.y >= mY0 && p.y <= mY1; }

bool GuardClipper::Inside(Subpath const& subpath) const
{
    if (!Inside(subpath.start))
        return false;
    for (PathElement const& e : subpath.segments)
        for (int i = 0; i < (e.kind == ElementKind::Curve ? 3 : 1); ++i)
            if (!Inside(e.points[i]))
                return false;
    return true;
}

void GuardClipper::Subdivide(CGPoint p0, PathElement const& curve, int depth, std::vector<PathElement>& out) const
{
    CGPoint const& c1 = curve.points[0];
    CGPoint const& c2 = curve.points[1];
    CGPoint const& p3 = curve.points[2];
    CGFloat const x0 = std::min({ p0.x, c1.x, c2.x, p3.x });
    CGFloat const x1 = std::max({ p0.x, c1.x, c2.x, p3.x });
    CGFloat const y0 = std::min({ p0.y, c1.y, c2.y, p3.y });
    CGFloat const y1 = std::max({ p0.y, c1.y, c2.y, p3.y });
    if (x0 >= mX0 && x1 <= mX1 && y0 >= mY0 && y1 <= mY1) {
        out.push_back(curve);
        return;
    }
    bool const missesVisible = x1 < CGRectGetMinX(mVisible) || x0 > CGRectGetMaxX(mVisible)
        || y1 < CGRectGetMinY(mVisible) || y0 > CGRectGetMaxY(mVisible);
    if (missesVisible || depth >= kMaxDepth) {
        out.push_back({ ElementKind::Line, { p3 } });
        return;
    }
    // de Casteljau at t = 0.5.
    CGPoint const a = Mid(p0, c1), b = Mid(c1, c2), c = Mid(c2, p3);
    CGPoint const ab = Mid(a, b), bc = Mid(b, c), m = Mid(ab, bc);
    Subdivide(p0, { ElementKind::Curve, { a, ab, m } }, depth + 1, out);
    Subdivide(m, { ElementKind::Curve, { bc, c, p3 } }, depth + 1, out);
}

void GuardClipper::Flatten(Subpath& subpath) const
{
    std::vector<PathElement> segments;
    CGPoint previous = subpath.start;
    for (PathElement const& e : subpath.segments) {
        if (e.kind == ElementKind::Curve)
            Subdivide(previous, e, 0, segments);
        else
            segments.push_back(e);
        previous = e.End();
    }
    subpath.segments = std::move(segments);
}

// Sutherland-Hodgman against each guard edge. Curves left by Flatten lie inside the guard, so every edge keeps them.
Subpath GuardClipper::ClipPolygon(Subpath const& subpath) const
{
    std::vector<PathElement> polygon = subpath.segments;
    if (!CGPointEqualToPoint(polygon.back().End(), subpath.start))
        polygon.push_back({ ElementKind::Line, { subpath.start } });
    std::array<Edge, 4> const edges { Edge { true, true, mX0 }, Edge { true, false, mX1 }, Edge { false, true, mY0 },
        Edge { false, false, mY1 } };
    for (Edge const& edge : edges) {
        if (polygon.empty())
            break;
        std::vector<PathElement> output;
        CGPoint previous = polygon.back().End();
        for (PathElement const& e : polygon) {
            CGPoint const current = e.End();
            bool const previousIn = edge.Inside(previous);
            if (e.kind == ElementKind::Curve) {
                output.push_back(e);
            } else if (edge.Inside(current)) {
                if (!previousIn)
                    output.push_back({ ElementKind::Line, { edge.Cross(previous, current) } });
                output.push_back(e);
            } else if (previousIn) {
                output.push_back({ ElementKind::Line, { edge.Cross(previous, current) } });
            }
            previous = current;
        }
        polygon = std::move(output);
    }
    Subpath result;
    result.closed = true;
    if (!polygon.empty()) {
        result.start = polygon.back().End();
        result.segments = std::move(polygon);
    }
    return result;
}

// The finite subpaths of the path: those inside the guard as they are, the others flattened and
// handed to clip, which adds what of each lies inside.
template <typename ClipOutside>
std::vector<Subpath> GuardClipper::ClipEach(PathData const& path, ClipOutside const& clip) const
{
    std::vector<Subpath> result;
    for (Subpath& subpath : SplitSubpaths(path)) {
        if (!FiniteSubpath(subpath))
            continue;
        if (Inside(subpath)) {
            result.push_back(std::move(subpath));
            continue;
        }
        Flatten(subpath);
        clip(subpath, result);
    }
    return result;
}

std::vector<Subpath> GuardClipper::ClipForFill(PathData const& path) const
{
    return ClipEach(path, [this](Subpath const& subpath, std::vector<Subpath>& out) {
        Subpath clipped = ClipPolygon(subpath);
        if (!clipped.segments.empty())
            out.push_back(std::move(clipped));
    });
}

// Splits an open or closed subpath into the open runs that lie inside the guard.
void GuardClipper::ClipOpen(Subpath const& subpath, CGAffineTransform const& toUser, std::vector<Subpath>& out) const
{
    std::vector<PathElement> segments = subpath.segments;
    if (subpath.closed && !CGPointEqualToPoint(segments.back().End(), subpath.start))
        segments.push_back({ ElementKind::Line, { subpath.start } });
    CGFloat distance = subpath.startDistance;
    CGPoint previous = subpath.start;
    bool open = false;
    for (PathElement const& e : segments) {
        CGPoint a = previous, b = e.End();
        if (e.kind == ElementKind::Curve) {
            if (!open)
                out.push_back({ previous, {}, false, distance });
            out.back().segments.push_back(e);
            open = true;
        } else if (ClipSegment(a, b, mX0, mY0, mX1, mY1)) {
            if (!open || !CGPointEqualToPoint(a, previous))
                out.push_back({ a, {}, false, distance + UserLength(previous, a, toUser) });
            out.back().segments.push_back({ ElementKind::Line, { b } });
            open = CGPointEqualToPoint(b, e.End());
        } else {
            open = false;
        }
        distance += UserLength(previous, e.End(), toUser);
        previous = e.End();
    }
}

std::vector<Subpath> GuardClipper::ClipForStroke(PathData const& path, CGAffineTransform const& deviceToUser) const
{
    return ClipEach(
        path, [&](Subpath const& subpath, std::vector<Subpath>& out) { ClipOpen(subpath, deviceToUser, out); });
}

} // namespace tw::quartz
