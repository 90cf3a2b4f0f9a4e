#include "quartz/CGContext.h"
#include "quartz/Context.h"

#include <cmath>

using tw::quartz::PathData;

namespace {

// Runs a painting call on the current path, which it consumes.
template <typename Paint> void Consume(CGContextRef c, Paint paint)
{
    if (!c)
        return;
    PathData path = std::move(c->Path());
    c->Path().Clear();
    paint(path);
}

PathData RectsPath(CGContextRef c, CGRect const* rects, size_t count)
{
    PathData path;
    for (size_t i = 0; rects && i < count; ++i)
        path.AddRect(rects[i], c->UserToCairo());
    return path;
}

} // namespace

void CGContextFillPath(CGContextRef c)
{
    Consume(c, [c](PathData const& p) { c->Fill(p, CAIRO_FILL_RULE_WINDING); });
}

void CGContextEOFillPath(CGContextRef c)
{
    Consume(c, [c](PathData const& p) { c->Fill(p, CAIRO_FILL_RULE_EVEN_ODD); });
}

void CGContextStrokePath(CGContextRef c)
{
    Consume(c, [c](PathData const& p) { c->Stroke(p); });
}

void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode)
{
    Consume(c, [c, mode](PathData const& p) {
        cairo_fill_rule_t const rule
            = mode == kCGPathEOFill || mode == kCGPathEOFillStroke ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
        if (mode == kCGPathFill || mode == kCGPathEOFill)
            c->Fill(p, rule);
        else if (mode == kCGPathStroke)
            c->Stroke(p);
        else if (mode == kCGPathFillStroke || mode == kCGPathEOFillStroke)
            c->FillAndStroke(p, rule);
    });
}

void CGContextFillRect(CGContextRef c, CGRect rect) { CGContextFillRects(c, &rect, 1); }

void CGContextFillRects(CGContextRef c, CGRect const* rects, size_t count)
{
    Consume(c, [&](PathData const&) { c->Fill(RectsPath(c, rects, count), CAIRO_FILL_RULE_WINDING); });
}

void CGContextFillEllipseInRect(CGContextRef c, CGRect rect)
{
    Consume(c, [&](PathData const&) {
        PathData path;
        path.AddEllipse(rect, c->UserToCairo());
        c->Fill(path, CAIRO_FILL_RULE_WINDING);
    });
}

void CGContextStrokeRect(CGContextRef c, CGRect rect)
{
    Consume(c, [&](PathData const&) { c->Stroke(RectsPath(c, &rect, 1)); });
}

void CGContextStrokeRectWithWidth(CGContextRef c, CGRect rect, CGFloat width)
{
    if (!c)
        return;
    c->SaveState();
    CGContextSetLineWidth(c, width);
    CGContextStrokeRect(c, rect);
    c->RestoreState();
}

void CGContextStrokeEllipseInRect(CGContextRef c, CGRect rect)
{
    Consume(c, [&](PathData const&) {
        PathData path;
        path.AddEllipse(rect, c->UserToCairo());
        c->Stroke(path);
    });
}

void CGContextStrokeLineSegments(CGContextRef c, CGPoint const* points, size_t count)
{
    Consume(c, [&](PathData const&) {
        PathData path;
        for (size_t i = 0; points && i + 1 < count; i += 2) {
            path.MoveTo(points[i], c->UserToCairo());
            path.LineTo(points[i + 1], c->UserToCairo());
        }
        c->Stroke(path);
    });
}

void CGContextClearRect(CGContextRef c, CGRect rect)
{
    if (c)
        c->Clear(RectsPath(c, &rect, 1));
}

void CGContextClip(CGContextRef c)
{
    Consume(c, [c](PathData const& p) { c->Clip(p, CAIRO_FILL_RULE_WINDING); });
}

void CGContextEOClip(CGContextRef c)
{
    Consume(c, [c](PathData const& p) { c->Clip(p, CAIRO_FILL_RULE_EVEN_ODD); });
}

void CGContextClipToRect(CGContextRef c, CGRect rect) { CGContextClipToRects(c, &rect, 1); }

void CGContextClipToRects(CGContextRef c, CGRect const* rects, size_t count)
{
    if (c)
        c->Clip(RectsPath(c, rects, count), CAIRO_FILL_RULE_WINDING);
}

namespace tw::quartz {

// The clip as device rectangles, gathered into a region; a clip no list of rectangles can
// describe (a path's) covers nothing for certain.
bool ClipCoversRect(CGContextRef c, CGRect rect)
{
    if (!c || CGRectIsNull(rect) || CGRectIsEmpty(rect))
        return false;
    CGRect const device = CGRectIntegral(CGRectApplyAffineTransform(rect, c->UserToCairo()));
    cairo_save(c->Cairo());
    cairo_identity_matrix(c->Cairo());
    cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(c->Cairo());
    cairo_restore(c->Cairo());
    bool covered = false;
    if (list->status == CAIRO_STATUS_SUCCESS) {
        cairo_region_t* region = cairo_region_create();
        for (int i = 0; i < list->num_rectangles; ++i) {
            cairo_rectangle_t const& r = list->rectangles[i];
            // Partly covered pixels at a clip's edge are painted only in part.
            int const x0 = int(std::ceil(r.x)), y0 = int(std::ceil(r.y));
            int const x1 = int(std::floor(r.x + r.width)), y1 = int(std::floor(r.y + r.height));
            if (x1 > x0 && y1 > y0) {
                cairo_rectangle_int_t const pixels { x0, y0, x1 - x0, y1 - y0 };
                cairo_region_union_rectangle(region, &pixels);
            }
        }
        cairo_rectangle_int_t const wanted { int(device.origin.x), int(device.origin.y), int(device.size.width),
            int(device.size.height) };
        covered = cairo_region_contains_rectangle(region, &wanted) == CAIRO_REGION_OVERLAP_IN;
        cairo_region_destroy(region);
    }
    cairo_rectangle_list_destroy(list);
    return covered;
}

} // namespace tw::quartz

CGRect CGContextGetClipBoundingBox(CGContextRef c)
{
    if (!c)
        return CGRectNull;
    return CGRectApplyAffineTransform(c->ClipBounds(), CGAffineTransformInvert(c->UserToCairo()));
}
