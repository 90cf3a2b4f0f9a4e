#include "render/CClipUtilities.h"

#include <cmath>

namespace {

enum class Edge { kLeft, kRight, kTop, kBottom };

bool Inside(CGPoint p, Edge edge, CGRect const& r)
{
    switch (edge) {
    case Edge::kLeft:
        return p.x >= r.origin.x;
    case Edge::kRight:
        return p.x <= r.origin.x + r.size.width;
    case Edge::kTop:
        return p.y >= r.origin.y;
    default:
        return p.y <= r.origin.y + r.size.height;
    }
}

CGPoint Cross(CGPoint a, CGPoint b, Edge edge, CGRect const& r)
{
    double t;
    if (edge == Edge::kLeft || edge == Edge::kRight) {
        double const x = edge == Edge::kLeft ? r.origin.x : r.origin.x + r.size.width;
        t = (x - a.x) / (b.x - a.x);
        return { x, a.y + t * (b.y - a.y) };
    }
    double const y = edge == Edge::kTop ? r.origin.y : r.origin.y + r.size.height;
    t = (y - a.y) / (b.y - a.y);
    return { a.x + t * (b.x - a.x), y };
}

// Liang–Barsky: the parameter range [t0, t1] of the segment inside the rectangle.
bool ClipSegment(CGPoint a, CGPoint b, CGRect const& r, double& t0, double& t1)
{
    double const dx = b.x - a.x, dy = b.y - a.y;
    double const p[4] = { -dx, dx, -dy, dy };
    double const q[4] = { a.x - r.origin.x, r.origin.x + r.size.width - a.x, a.y - r.origin.y,
        r.origin.y + r.size.height - a.y };
    t0 = 0;
    t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double const t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

} // namespace

void CClipUtilities::ClipPolygon(std::vector<CGPoint> const& ring, CGRect const& rect, std::vector<CGPoint>& out)
{
    out = ring;
    std::vector<CGPoint> input;
    for (Edge edge : { Edge::kLeft, Edge::kRight, Edge::kTop, Edge::kBottom }) {
        if (out.empty())
            return;
        input.swap(out);
        out.clear();
        CGPoint previous = input.back();
        bool previousInside = Inside(previous, edge, rect);
        for (CGPoint const& p : input) {
            bool const inside = Inside(p, edge, rect);
            if (inside != previousInside)
                out.push_back(Cross(previous, p, edge, rect));
            if (inside)
                out.push_back(p);
            previous = p;
            previousInside = inside;
        }
    }
    if (out.size() < 3)
        out.clear();
}

void CClipUtilities::ClipPolyline(std::vector<CGPoint> const& line, CGRect const& rect, std::vector<ClipRun>& runs)
{
    double length = 0;
    ClipRun* open = nullptr; // the run the last segment ended in
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        CGPoint const a = line[i], b = line[i + 1];
        double const segment = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
        double t0, t1;
        if (!ClipSegment(a, b, rect, t0, t1)) {
            open = nullptr;
            length += segment;
            continue;
        }
        CGPoint const from { a.x + t0 * (b.x - a.x), a.y + t0 * (b.y - a.y) };
        CGPoint const to { a.x + t1 * (b.x - a.x), a.y + t1 * (b.y - a.y) };
        if (!open || t0 > 0) {
            runs.push_back({ { from }, length + t0 * segment });
            open = &runs.back();
        }
        open->points.push_back(to);
        if (t1 < 1)
            open = nullptr;
        length += segment;
    }
}

void CClipUtilities::Thin(std::vector<CGPoint>& points, double tolerance)
{
    if (points.size() < 3)
        return;
    double const squared = tolerance * tolerance;
    std::size_t kept = 1;
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        double const dx = points[i].x - points[kept - 1].x, dy = points[i].y - points[kept - 1].y;
        if (dx * dx + dy * dy >= squared)
            points[kept++] = points[i];
    }
    points[kept++] = points.back();
    points.resize(kept);
}

bool CClipUtilities::SegmentMeetsRect(CGPoint a, CGPoint b, CGRect const& rect)
{
    double t0, t1;
    return ClipSegment(a, b, rect, t0, t1);
}
