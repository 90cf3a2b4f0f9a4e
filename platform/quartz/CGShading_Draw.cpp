#include "quartz/CGShading.h"
#include "quartz/Context.h"

#include <array>

namespace {

using Polygon = std::vector<CGPoint>;

constexpr int kSamples = 64;

CGFloat Dot(CGPoint p, CGPoint origin, CGPoint direction)
{
    return (p.x - origin.x) * direction.x + (p.y - origin.y) * direction.y;
}

// Keeps the part of a convex polygon on the side of the line through origin that direction points to.
Polygon KeepAhead(Polygon const& polygon, CGPoint origin, CGPoint direction)
{
    Polygon out;
    for (size_t i = 0; i < polygon.size(); ++i) {
        CGPoint const a = polygon[i];
        CGPoint const b = polygon[(i + 1) % polygon.size()];
        CGFloat const da = Dot(a, origin, direction);
        CGFloat const db = Dot(b, origin, direction);
        if (da >= 0)
            out.push_back(a);
        if ((da >= 0) != (db >= 0)) {
            CGFloat const t = da / (da - db);
            out.push_back({ a.x + t * (b.x - a.x), a.y + t * (b.y - a.y) });
        }
    }
    return out;
}

std::array<CGFloat, 4> SampleColour(tw::quartz::Shading const& shading, CGFloat t)
{
    std::vector<CGFloat> const out = shading.function->Evaluate(t);
    size_t const components = shading.space->ComponentCount();
    CGFloat values[4] = { 0, 0, 0, 1 };
    std::copy_n(out.begin(), components, values);
    values[components] = out.size() > components ? out[components] : 1;
    return tw::quartz::ToRGBA(shading.space->Model(), values);
}

} // namespace

void CGContextDrawShading(CGContextRef c, CGShadingRef shading)
{
    if (!c || !shading)
        return;
    CGAffineTransform const toCairo = c->UserToCairo();
    CGPoint const s = CGPointApplyAffineTransform(shading->start, toCairo);
    CGPoint const e = CGPointApplyAffineTransform(shading->end, toCairo);
    CGPoint const d { e.x - s.x, e.y - s.y };
    CGRect const clip = CGRectInset(c->ClipBounds(), -1, -1);
    if (!(d.x * d.x + d.y * d.y > 0) || !std::isfinite(d.x) || !std::isfinite(d.y) || CGRectIsEmpty(clip))
        return;
    // 1. The area to paint: the clip, cut at each end that does not extend.
    Polygon area { clip.origin, { CGRectGetMaxX(clip), clip.origin.y }, { CGRectGetMaxX(clip), CGRectGetMaxY(clip) },
        { clip.origin.x, CGRectGetMaxY(clip) } };
    if (!shading->extendStart)
        area = KeepAhead(area, s, d);
    if (!shading->extendEnd)
        area = KeepAhead(area, e, { -d.x, -d.y });
    if (area.size() < 3)
        return;
    tw::quartz::PathData path;
    path.AddLines(area.data(), area.size(), CGAffineTransformIdentity);
    path.Close();
    // 2. The gradient along the axis, sampled from the function.
    std::vector<std::array<CGFloat, 4>> stops;
    for (int i = 0; i <= kSamples; ++i)
        stops.push_back(SampleColour(*shading, CGFloat(i) / kSamples));
    auto const setSource = [s, e, stops](cairo_t* cr) {
        cairo_pattern_t* gradient = cairo_pattern_create_linear(s.x, s.y, e.x, e.y);
        for (size_t i = 0; i < stops.size(); ++i)
            cairo_pattern_add_color_stop_rgba(
                gradient, double(i) / kSamples, stops[i][0], stops[i][1], stops[i][2], stops[i][3]);
        cairo_pattern_set_extend(gradient, CAIRO_EXTEND_PAD);
        cairo_set_source(cr, gradient);
        cairo_pattern_destroy(gradient);
    };
    c->Paint(c->AreaOp(path, CAIRO_FILL_RULE_WINDING, setSource, 0));
}
