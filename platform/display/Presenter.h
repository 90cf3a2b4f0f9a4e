#pragma once

#include "quartz/CGGeometry.h"

#include <cairo.h>
#include <vector>

namespace tw::display {

// Shows the composed screen somewhere: nowhere (headless) or in a desktop window.
// The server calls Present after each composition with the rectangles that changed.
class Presenter {
public:
    virtual ~Presenter() = default;
    virtual void Present(cairo_surface_t* screen, std::vector<CGRect> const& changed) = 0;
};

// Shows nothing; counts the frames, which tests may look at.
class HeadlessPresenter : public Presenter {
public:
    void Present(cairo_surface_t*, std::vector<CGRect> const&) override { ++mFrames; }
    int GetFrames() const { return mFrames; }

private:
    int mFrames = 0;
};

} // namespace tw::display
