#pragma once

// The object behind CGContextRef: a Cairo context on a surface plus the Quartz
// graphics state stack. Cairo's own state carries only the clip; everything
// else is applied afresh by each drawing operation, whose geometry has been cut
// down by the guard clipper first. Used on one thread at a time.

#include "quartz/CGContext.h"
#include "quartz/PathData.h"

#include <array>
#include <cairo.h>
#include <functional>
#include <vector>

namespace tw::quartz {

using RGBA = std::array<CGFloat, 4>;

struct ShadowStyle {
    CGSize offset; // [px] device space, y up
    CGFloat blur = 0; // [px]
    RGBA colour {}; // alpha 0 means no shadow
};

struct GState {
    CGAffineTransform ctm; // user space to device space (y up)
    RGBA fill { 0, 0, 0, 1 };
    RGBA stroke { 0, 0, 0, 1 };
    CGFloat lineWidth = 1;
    CGLineCap lineCap = kCGLineCapButt;
    CGLineJoin lineJoin = kCGLineJoinMiter;
    CGFloat miterLimit = 10;
    std::vector<CGFloat> dashes;
    CGFloat dashPhase = 0;
    CGFloat alpha = 1;
    ShadowStyle shadow;
    bool antialias = true;
    CGInterpolationQuality interpolation = kCGInterpolationDefault;
    CGTextDrawingMode textMode = kCGTextFill;
};

class Context : public cf::Object {
public:
    // A drawing operation: sets its own matrix and source, and draws the same on any Cairo context.
    using DrawOp = std::function<void(cairo_t*)>;

    // surface: retained; width and height: the device area [px]. A flipped context starts with y down.
    Context(cairo_surface_t* surface, CGFloat width, CGFloat height, bool flipped);
    ~Context() override;
    CFTypeID TypeID() const override { return kTWTypeIDContext; }

    cairo_t* Cairo() const { return mCairo; }
    cairo_surface_t* Surface() const { return mSurface; }
    GState& State() { return mStates.back(); }
    GState const& State() const { return mStates.back(); }
    PathData& Path() { return mPath; }
    void SaveState();
    void RestoreState();
    // A fresh state on a device area of the given size (each PDF page).
    void Reset(CGFloat width, CGFloat height);

    CGAffineTransform UserToCairo() const; // user space to Cairo's device space (y down)
    CGRect ClipBounds() const; // Cairo device space, within the device area

    // Painting: each consumes nothing; the callers clear the current path.
    void Fill(PathData const& path, cairo_fill_rule_t rule);
    void Stroke(PathData const& path);
    void FillAndStroke(PathData const& path, cairo_fill_rule_t rule);
    void Clip(PathData const& path, cairo_fill_rule_t rule);
    void Clear(PathData const& path);
    // Runs op with the state's alpha and shadow. reach, when given, is a device-space rectangle
    // that holds every pixel op draws: a shadow is then worked out around it only.
    void Paint(DrawOp const& op, CGRect const* reach = nullptr);
    // Fills a device-space path with the source that setSource gives the Cairo context.
    DrawOp AreaOp(PathData const& path, cairo_fill_rule_t rule, DrawOp setSource, CGFloat margin);

protected:
    void PaintWithShadow(DrawOp const& op, CGRect const* reach);
    DrawOp FillOp(PathData const& path, cairo_fill_rule_t rule);
    DrawOp StrokeOp(PathData const& path);
    CGFloat ShadowMargin() const; // [px]
    CGFloat StrokeMargin() const; // [px]

    cairo_surface_t* mSurface; // retains
    cairo_t* mCairo; // owns
    CGFloat mWidth;
    CGFloat mHeight;
    std::vector<GState> mStates;
    PathData mPath;
};

// A context drawing into a surface someone else owns, such as a window's backing store.
// height: the surface height [px]; flipped: y down from the top left, as views draw.
CGContextRef CreateContextForSurface(cairo_surface_t* surface, CGFloat width, CGFloat height, bool flipped);

} // namespace tw::quartz
