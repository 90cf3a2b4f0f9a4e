#pragma once

// Pixel probes over the window server's screen (composed first) and over a window's backing store.

#include "display/WindowServer.h"
#include "tests/support/PixelProbe.h"
#include "toolbox/Window.h"

#include <cairo.h>

namespace tw::test {

inline PixelProbe ProbeSurface(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    return PixelProbe(cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
        cairo_image_surface_get_height(surface), static_cast<std::size_t>(cairo_image_surface_get_stride(surface)));
}

inline PixelProbe ProbeScreen()
{
    display::WindowServer::Get().Compose();
    return ProbeSurface(display::WindowServer::Get().GetScreen());
}

inline PixelProbe ProbeWindow(WindowRef window)
{
    window->Update();
    return ProbeSurface(window->GetBackingStore());
}

} // namespace tw::test
