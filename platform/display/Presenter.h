#pragma once

#include "quartz/CGGeometry.h"

#include <cairo.h>
#include <string>
#include <vector>

namespace tw::display {

// Shows the composed screen somewhere: nowhere (headless) or in a desktop window.
// The server calls Present after each composition with the rectangles that changed.
class Presenter {
public:
    virtual ~Presenter() = default;
    virtual void Present(cairo_surface_t* screen, std::vector<CGRect> const& changed) = 0;
    // The desktop window's title, as the desktop shows it.
    virtual void SetTitle(std::string const& title) { mTitle = title; }
    std::string const& GetTitle() const { return mTitle; }

private:
    std::string mTitle;
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
