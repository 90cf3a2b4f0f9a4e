#include "quartz/Context.h"
#include "quartz/HITheme.h"
#include "quartz/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace {

using tw::quartz::Context;
using tw::quartz::TextLayout;

// User space to the text's frame: y down from the box's top, whichever way the context's y runs.
CGAffineTransform TextFrame(Context* c, CGRect box)
{
    CGAffineTransform const toCairo = c->UserToCairo();
    if (toCairo.a * toCairo.d - toCairo.b * toCairo.c >= 0)
        return toCairo;
    CGAffineTransform const flip { 1, 0, 0, -1, 0, 2 * box.origin.y + box.size.height };
    return CGAffineTransformConcat(flip, toCairo);
}

CGFloat VerticalOffset(HIThemeTextVerticalFlush flush, CGFloat boxHeight, CGFloat textHeight)
{
    if (flush == kHIThemeTextVerticalFlushCenter)
        return (boxHeight - textHeight) / 2;
    return flush == kHIThemeTextVerticalFlushBottom ? boxHeight - textHeight : 0;
}

void ShowText(cairo_t* cr, PangoLayout* layout, tw::quartz::GState const& state)
{
    bool const fill = state.textMode == kCGTextFill || state.textMode == kCGTextFillStroke;
    bool const stroke = state.textMode == kCGTextStroke || state.textMode == kCGTextFillStroke;
    auto const& f = state.fill;
    cairo_set_source_rgba(cr, f[0], f[1], f[2], f[3]);
    if (fill && !stroke) {
        pango_cairo_show_layout(cr, layout);
        return;
    }
    if (!stroke)
        return;
    pango_cairo_layout_path(cr, layout);
    if (fill)
        cairo_fill_preserve(cr);
    auto const& s = state.stroke;
    cairo_set_source_rgba(cr, s[0], s[1], s[2], s[3]);
    cairo_set_line_width(cr, state.lineWidth);
    cairo_set_line_join(cr,
        state.lineJoin == kCGLineJoinRound       ? CAIRO_LINE_JOIN_ROUND
            : state.lineJoin == kCGLineJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                                 : CAIRO_LINE_JOIN_MITER);
    cairo_stroke(cr);
}

// Where the glyphs laid out from origin land in device space, with room for their edges'
// smoothing and for an outline's width and corners.
CGRect InkReach(PangoLayout* layout, CGAffineTransform frame, CGPoint origin, tw::quartz::GState const& state)
{
    PangoRectangle ink {};
    pango_layout_get_pixel_extents(layout, &ink, nullptr);
    CGRect const user = CGRectMake(origin.x + ink.x, origin.y + ink.y, ink.width, ink.height);
    CGRect const device = CGRectApplyAffineTransform(user, frame);
    CGFloat const scale = std::max(std::abs(frame.a) + std::abs(frame.c), std::abs(frame.b) + std::abs(frame.d));
    bool const stroke = state.textMode == kCGTextStroke || state.textMode == kCGTextFillStroke;
    // A mitred outline's corners reach out as far as the limit lets them (Cairo's own is 10).
    CGFloat const miter = state.lineJoin == kCGLineJoinMiter ? std::max<CGFloat>(state.miterLimit, 10) : 1;
    CGFloat const edge = 2 + (stroke ? state.lineWidth / 2 * scale * miter : 0);
    return CGRectInset(device, -edge, -edge);
}

bool Finite(CGRect r)
{
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width)
        && std::isfinite(r.size.height);
}

} // namespace

OSStatus HIThemeDrawTextBox(CFStringRef string, HIRect const* bounds, HIThemeTextInfo* info, CGContextRef context,
    HIThemeOrientation orientation)
{
    if (!string || !bounds || !info || !context || !Finite(*bounds))
        return paramErr;
    CGRect const box = CGRectStandardize(*bounds);
    TextLayout text(string->UTF8(), *info, box.size.width, box.size.height);
    info->truncationHappened = text.Truncated();
    CGFloat const top = box.origin.y + VerticalOffset(info->verticalFlushness, box.size.height, text.Size().height);
    CGAffineTransform const frame = TextFrame(context, box);
    cairo_matrix_t const matrix { frame.a, frame.b, frame.c, frame.d, frame.tx, frame.ty };
    PangoLayout* layout = text.Layout();
    tw::quartz::GState const& state = context->State();
    if (state.textMode == kCGTextInvisible)
        return noErr;
    CGRect const reach = InkReach(layout, frame, CGPointMake(box.origin.x, top), state);
    context->Paint(
        [&](cairo_t* cr) {
            cairo_set_matrix(cr, &matrix);
            cairo_move_to(cr, box.origin.x, top);
            ShowText(cr, layout, state);
        },
        &reach);
    return noErr;
}

OSStatus HIThemeGetTextDimensions(CFStringRef string, CGFloat width, HIThemeTextInfo* info, CGFloat* outWidth,
    CGFloat* outHeight, CGFloat* outBaseline)
{
    if (!string || !info || !std::isfinite(width))
        return paramErr;
    TextLayout text(string->UTF8(), *info, width, 0);
    info->truncationHappened = text.Truncated();
    CGSize const size = text.Size();
    if (outWidth)
        *outWidth = size.width;
    if (outHeight)
        *outHeight = size.height;
    if (outBaseline)
        *outBaseline = -text.LastLineDescent();
    return noErr;
}
