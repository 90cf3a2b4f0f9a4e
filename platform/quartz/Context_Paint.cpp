#include "quartz/BoxBlur.h"
#include "quartz/Context.h"
#include "quartz/GuardClipper.h"

#include <algorithm>
#include <map>

namespace tw::quartz {

namespace {

    constexpr CGFloat kGuardMargin = 1024; // [px] between the visible area and the guard

    cairo_matrix_t ToCairo(CGAffineTransform const& t) { return { t.a, t.b, t.c, t.d, t.tx, t.ty }; }

    CGRect Grow(CGRect r, CGFloat by) { return CGRectInset(r, -by, -by); }

    bool Invertible(CGAffineTransform const& t)
    {
        CGFloat const det = t.a * t.d - t.b * t.c;
        return det != 0 && std::isfinite(det);
    }

    void AppendSubpaths(cairo_t* cr, std::vector<Subpath> const& subpaths, CGAffineTransform const& map)
    {
        for (Subpath const& s : subpaths) {
            CGPoint const start = CGPointApplyAffineTransform(s.start, map);
            cairo_move_to(cr, start.x, start.y);
            for (PathElement const& e : s.segments) {
                CGPoint const p = CGPointApplyAffineTransform(e.End(), map);
                if (e.kind == ElementKind::Curve) {
                    CGPoint const c1 = CGPointApplyAffineTransform(e.points[0], map);
                    CGPoint const c2 = CGPointApplyAffineTransform(e.points[1], map);
                    cairo_curve_to(cr, c1.x, c1.y, c2.x, c2.y, p.x, p.y);
                } else {
                    cairo_line_to(cr, p.x, p.y);
                }
            }
            if (s.closed)
                cairo_close_path(cr);
        }
    }

    void ApplyStrokeStyle(cairo_t* cr, GState const& s)
    {
        cairo_set_line_width(cr, s.lineWidth);
        cairo_set_line_cap(cr,
            s.lineCap == kCGLineCapRound        ? CAIRO_LINE_CAP_ROUND
                : s.lineCap == kCGLineCapSquare ? CAIRO_LINE_CAP_SQUARE
                                                : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr,
            s.lineJoin == kCGLineJoinRound       ? CAIRO_LINE_JOIN_ROUND
                : s.lineJoin == kCGLineJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                                 : CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr, s.miterLimit);
        cairo_set_source_rgba(cr, s.stroke[0], s.stroke[1], s.stroke[2], s.stroke[3]);
        cairo_set_antialias(cr, s.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    }

} // namespace

CGFloat Context::ShadowMargin() const
{
    ShadowStyle const& shadow = State().shadow;
    if (shadow.colour[3] <= 0)
        return 0;
    // A shadow thrown further than this is not drawn (see PaintWithShadow); the cap keeps the guard in Cairo's range.
    return std::min<CGFloat>(
        std::hypot(shadow.offset.width, shadow.offset.height) + 3 * BoxRadiusForBlur(shadow.blur) + 2, 1e6);
}

CGFloat Context::StrokeMargin() const
{
    GState const& s = State();
    CGAffineTransform const& m = s.ctm;
    CGFloat const scale = std::max(std::fabs(m.a) + std::fabs(m.c), std::fabs(m.b) + std::fabs(m.d));
    CGFloat const miter = s.lineJoin == kCGLineJoinMiter ? std::max<CGFloat>(s.miterLimit, 1) : 1;
    return std::min<CGFloat>(s.lineWidth / 2 * scale * miter + 2, 1e6);
}

Context::DrawOp Context::AreaOp(PathData const& path, cairo_fill_rule_t rule, DrawOp setSource, CGFloat margin)
{
    CGRect const visible = Grow(ClipBounds(), margin + ShadowMargin());
    auto subpaths = GuardClipper(visible, Grow(visible, kGuardMargin)).ClipForFill(path);
    bool const antialias = State().antialias;
    return [subpaths = std::move(subpaths), rule, setSource = std::move(setSource), antialias](cairo_t* cr) {
        cairo_identity_matrix(cr);
        cairo_new_path(cr);
        AppendSubpaths(cr, subpaths, CGAffineTransformIdentity);
        cairo_set_fill_rule(cr, rule);
        cairo_set_antialias(cr, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        setSource(cr);
        cairo_fill(cr);
    };
}

Context::DrawOp Context::FillOp(PathData const& path, cairo_fill_rule_t rule)
{
    RGBA const colour = State().fill;
    return AreaOp(
        path, rule, [colour](cairo_t* cr) { cairo_set_source_rgba(cr, colour[0], colour[1], colour[2], colour[3]); },
        0);
}

// Strokes are laid out in user space so that the pen follows the CTM, as Quartz's does.
Context::DrawOp Context::StrokeOp(PathData const& path)
{
    CGAffineTransform const toCairo = UserToCairo();
    if (!Invertible(toCairo))
        return {};
    CGAffineTransform const toUser = CGAffineTransformInvert(toCairo);
    CGRect const visible = Grow(ClipBounds(), StrokeMargin() + ShadowMargin());
    auto subpaths = GuardClipper(visible, Grow(visible, kGuardMargin)).ClipForStroke(path, toUser);
    return [subpaths = std::move(subpaths), toCairo, toUser, state = State()](cairo_t* cr) {
        cairo_matrix_t const matrix = ToCairo(toCairo);
        cairo_set_matrix(cr, &matrix);
        ApplyStrokeStyle(cr, state);
        bool const dashed = !state.dashes.empty();
        // A run cut out of a longer subpath starts part-way through the dash pattern.
        std::map<CGFloat, std::vector<Subpath>> byPhase;
        for (Subpath const& s : subpaths)
            byPhase[dashed ? s.startDistance : 0].push_back(s);
        for (auto const& [distance, runs] : byPhase) {
            cairo_new_path(cr);
            AppendSubpaths(cr, runs, toUser);
            if (dashed)
                cairo_set_dash(cr, state.dashes.data(), int(state.dashes.size()), state.dashPhase + distance);
            cairo_stroke(cr);
        }
    };
}

void Context::Fill(PathData const& path, cairo_fill_rule_t rule) { Paint(FillOp(path, rule)); }

void Context::Stroke(PathData const& path)
{
    if (DrawOp op = StrokeOp(path))
        Paint(op);
}

// Fill and stroke share one shadow, as one drawing.
void Context::FillAndStroke(PathData const& path, cairo_fill_rule_t rule)
{
    DrawOp const fill = FillOp(path, rule);
    DrawOp const stroke = StrokeOp(path);
    Paint([&](cairo_t* cr) {
        cairo_save(cr);
        fill(cr);
        cairo_restore(cr);
        if (stroke)
            stroke(cr);
    });
}

void Context::Clip(PathData const& path, cairo_fill_rule_t rule)
{
    CGRect const visible = ClipBounds();
    auto const subpaths = GuardClipper(visible, Grow(visible, kGuardMargin)).ClipForFill(path);
    cairo_identity_matrix(mCairo);
    cairo_new_path(mCairo);
    AppendSubpaths(mCairo, subpaths, CGAffineTransformIdentity);
    cairo_set_fill_rule(mCairo, rule);
    cairo_set_antialias(mCairo, State().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_clip(mCairo);
}

void Context::Clear(PathData const& path)
{
    DrawOp const op = FillOp(path, CAIRO_FILL_RULE_WINDING);
    cairo_save(mCairo);
    cairo_set_operator(mCairo, CAIRO_OPERATOR_CLEAR);
    op(mCairo);
    cairo_restore(mCairo);
}

void Context::Paint(DrawOp const& op, CGRect const* reach)
{
    GState const& s = State();
    bool const shadow = s.shadow.colour[3] > 0;
    cairo_save(mCairo);
    if (s.alpha < 1)
        cairo_push_group(mCairo);
    if (shadow)
        PaintWithShadow(op, reach);
    else
        op(mCairo);
    if (s.alpha < 1) {
        cairo_pop_group_to_source(mCairo);
        cairo_paint_with_alpha(mCairo, s.alpha);
    }
    cairo_restore(mCairo);
    cairo_identity_matrix(mCairo);
}

} // namespace tw::quartz
