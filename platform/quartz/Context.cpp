#include "quartz/Context.h"

namespace tw::quartz {

Context::Context(cairo_surface_t* surface, CGFloat width, CGFloat height, bool flipped)
    : mSurface(cairo_surface_reference(surface))
    , mCairo(cairo_create(surface))
{
    Reset(width, height);
    if (flipped)
        State().ctm = { 1, 0, 0, -1, 0, height };
}

Context::~Context()
{
    cairo_destroy(mCairo);
    cairo_surface_destroy(mSurface);
}

void Context::SaveState()
{
    GState copy = State();
    mStates.push_back(std::move(copy));
    cairo_save(mCairo);
}

// An unbalanced restore is ignored rather than emptying the stack.
void Context::RestoreState()
{
    if (mStates.size() <= 1)
        return;
    mStates.pop_back();
    cairo_restore(mCairo);
}

void Context::Reset(CGFloat width, CGFloat height)
{
    while (mStates.size() > 1)
        RestoreState();
    mStates.assign(1, GState {});
    cairo_reset_clip(mCairo);
    cairo_identity_matrix(mCairo);
    mPath.Clear();
    mWidth = width;
    mHeight = height;
}

CGAffineTransform Context::UserToCairo() const
{
    return CGAffineTransformConcat(State().ctm, { 1, 0, 0, -1, 0, mHeight });
}

CGRect Context::ClipBounds() const
{
    double x0, y0, x1, y1;
    cairo_save(mCairo);
    cairo_identity_matrix(mCairo);
    cairo_clip_extents(mCairo, &x0, &y0, &x1, &y1);
    cairo_restore(mCairo);
    CGRect const clip = CGRectIntersection(CGRectMake(x0, y0, x1 - x0, y1 - y0), CGRectMake(0, 0, mWidth, mHeight));
    return CGRectIsNull(clip) ? CGRectZero : clip;
}

CGContextRef CreateContextForSurface(cairo_surface_t* surface, CGFloat width, CGFloat height, bool flipped)
{
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || !(width > 0) || !(height > 0))
        return nullptr;
    return new Context(surface, width, height, flipped);
}

} // namespace tw::quartz
