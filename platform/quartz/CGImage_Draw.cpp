#include "quartz/CGImage.h"
#include "quartz/Context.h"
#include "quartz/HIViewDrawing.h"

namespace {

cairo_filter_t FilterFor(CGInterpolationQuality quality, bool interpolate)
{
    if (!interpolate)
        return CAIRO_FILTER_NEAREST;
    switch (quality) {
    case kCGInterpolationNone:
        return CAIRO_FILTER_NEAREST;
    case kCGInterpolationLow:
        return CAIRO_FILTER_FAST;
    case kCGInterpolationHigh:
        return CAIRO_FILTER_BEST;
    default:
        return CAIRO_FILTER_GOOD;
    }
}

// Maps the image's pixels (row 0 at the top) onto rect, with row 0 at maxY (Quartz) or at minY (views).
void DrawImage(tw::quartz::Context* c, CGRect rect, CGImageRef image, bool topAtMaxY)
{
    rect = CGRectStandardize(rect);
    if (!c || !image || CGRectIsEmpty(rect) || !std::isfinite(rect.size.width) || !std::isfinite(rect.size.height))
        return;
    CGFloat const sx = rect.size.width / CGFloat(image->Width());
    CGFloat const sy = rect.size.height / CGFloat(image->Height());
    CGAffineTransform const imageToUser = topAtMaxY
        ? CGAffineTransform { sx, 0, 0, -sy, rect.origin.x, rect.origin.y + rect.size.height }
        : CGAffineTransform { sx, 0, 0, sy, rect.origin.x, rect.origin.y };
    CGAffineTransform const imageToCairo = CGAffineTransformConcat(imageToUser, c->UserToCairo());
    CGFloat const det = imageToCairo.a * imageToCairo.d - imageToCairo.b * imageToCairo.c;
    if (det == 0 || !std::isfinite(det))
        return;
    CGAffineTransform const cairoToImage = CGAffineTransformInvert(imageToCairo);
    cairo_matrix_t const matrix { cairoToImage.a, cairoToImage.b, cairoToImage.c, cairoToImage.d, cairoToImage.tx,
        cairoToImage.ty };
    cairo_filter_t const filter = FilterFor(c->State().interpolation, image->ShouldInterpolate());
    cairo_surface_t* surface = image->Surface();
    // The rectangle goes through the usual fill, so that far-away corners are clipped; the image is its source.
    tw::quartz::PathData area;
    area.AddRect(rect, c->UserToCairo());
    auto const setSource = [surface, matrix, filter](cairo_t* cr) {
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
        cairo_pattern_set_matrix(pattern, &matrix);
        cairo_pattern_set_filter(pattern, filter);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        cairo_set_source(cr, pattern);
        cairo_pattern_destroy(pattern);
    };
    c->Paint(c->AreaOp(area, CAIRO_FILL_RULE_WINDING, setSource, 0));
}

} // namespace

void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image) { DrawImage(c, rect, image, true); }

OSStatus HIViewDrawCGImage(CGContextRef context, HIRect const* bounds, CGImageRef image)
{
    if (!context || !bounds || !image)
        return paramErr;
    DrawImage(context, *bounds, image, false);
    return noErr;
}
