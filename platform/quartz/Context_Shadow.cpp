#include "quartz/BoxBlur.h"
#include "quartz/Context.h"

#include <vector>

namespace tw::quartz {

namespace {

    constexpr double kMaxShadowPixels = 64.0 * 1024 * 1024;

    // The blurred alpha of a drawing, as a mask surface of the same size.
    cairo_surface_t* BlurredAlpha(cairo_surface_t* drawing, int radius)
    {
        int const width = cairo_image_surface_get_width(drawing);
        int const height = cairo_image_surface_get_height(drawing);
        int const stride = cairo_image_surface_get_stride(drawing);
        unsigned char const* pixels = cairo_image_surface_get_data(drawing);
        std::vector<unsigned char> alpha(size_t(width) * height);
        for (int y = 0; y < height; ++y) {
            auto const* row = reinterpret_cast<uint32_t const*>(pixels + size_t(y) * stride);
            for (int x = 0; x < width; ++x)
                alpha[size_t(y) * width + x] = static_cast<unsigned char>(row[x] >> 24);
        }
        BoxBlur(alpha, width, height, radius);
        cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
        if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS)
            return mask;
        cairo_surface_flush(mask);
        unsigned char* out = cairo_image_surface_get_data(mask);
        int const outStride = cairo_image_surface_get_stride(mask);
        for (int y = 0; y < height; ++y)
            std::copy_n(alpha.data() + size_t(y) * width, width, out + size_t(y) * outStride);
        cairo_surface_mark_dirty(mask);
        return mask;
    }

} // namespace

// 1. Find the area whose drawing can show, itself or through its shadow.
// 2. Draw there, unclipped, into a surface of its own.
// 3. Paint the blurred alpha of that drawing, offset, in the shadow colour.
// 4. Paint the drawing over its shadow.
void Context::PaintWithShadow(DrawOp const& op, CGRect const* reach)
{
    ShadowStyle const& shadow = State().shadow;
    CGFloat const dx = shadow.offset.width;
    CGFloat const dy = -shadow.offset.height; // Cairo's device space runs down
    int const radius = BoxRadiusForBlur(shadow.blur);
    CGRect clip = ClipBounds();
    if (reach) {
        // Nothing further from what op draws than its shadow reaches can change: a short
        // text over a large window blurs a small area, not the window.
        CGFloat const spread = 3 * radius + 2;
        CGRect const cast = CGRectUnion(*reach, CGRectOffset(*reach, dx, dy));
        clip = CGRectIntersection(clip, CGRectInset(cast, -spread, -spread));
        if (CGRectIsNull(clip))
            return;
    }
    if (CGRectIsEmpty(clip))
        return;
    CGRect const caster = CGRectInset(CGRectOffset(clip, -dx, -dy), -3 * radius, -3 * radius);
    CGRect const area = CGRectIntegral(CGRectUnion(clip, caster));
    if (area.size.width * area.size.height > kMaxShadowPixels) {
        op(mCairo);
        return;
    }
    int const x = int(area.origin.x), y = int(area.origin.y);
    cairo_surface_t* drawing
        = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(area.size.width), int(area.size.height));
    cairo_surface_set_device_offset(drawing, -x, -y);
    cairo_t* cr = cairo_create(drawing);
    op(cr);
    cairo_destroy(cr);
    cairo_surface_flush(drawing);
    cairo_surface_set_device_offset(drawing, 0, 0);

    cairo_surface_t* mask = BlurredAlpha(drawing, radius);
    cairo_save(mCairo);
    cairo_identity_matrix(mCairo);
    cairo_set_source_rgba(mCairo, shadow.colour[0], shadow.colour[1], shadow.colour[2], shadow.colour[3]);
    cairo_mask_surface(mCairo, mask, x + dx, y + dy);
    cairo_set_source_surface(mCairo, drawing, x, y);
    cairo_paint(mCairo);
    cairo_restore(mCairo);
    cairo_surface_destroy(mask);
    cairo_surface_destroy(drawing);
}

} // namespace tw::quartz
