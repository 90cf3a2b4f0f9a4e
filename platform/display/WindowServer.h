#pragma once

#include "display/InputEvent.h"
#include "display/Presenter.h"
#include "toolbox/ScreenSink.h"

#include <cairo.h>
#include <memory>
#include <string>
#include <vector>

namespace tw::display {

// The window server: owns the screen image and composes it from the desktop,
// the menu bar, the windows back to front (each sheet over its parent), open
// menus, the help tag and the drag image, redrawing only what changed (dirty
// rectangles, coalesced). Input from the presenter or a test enters through
// Post and is routed as the toolbox expects. One per process, main thread only.
class WindowServer : public toolbox::ScreenSink {
public:
    static WindowServer& Get();
    // Test only: a fresh screen of the default size, headless, no windows' input state.
    static void ResetForTesting();

    // The screen.
    CGSize GetSize() const;
    void Resize(CGSize size);
    // Brings the screen up to date and shows it; answers whether anything was drawn.
    bool Compose();
    cairo_surface_t* GetScreen() const { return mScreen; } // borrowed; up to date after Compose
    // Composes, then writes the screen as a PNG file.
    OSStatus WritePNG(std::string const& path);
    std::vector<CGRect> const& GetDirty() const { return mDirty; }

    void SetPresenter(std::unique_ptr<Presenter> presenter);
    Presenter* GetPresenter() const { return mPresenter.get(); }
    // The image that follows a drag (retained), its top-left at a global point; null for none.
    void SetDragImage(cairo_surface_t* image, CGPoint topLeft);

    // The title the program's own window should have: the front document window's
    // title and the application's name ("Lake District — Tarnwick"), or the name alone.
    std::string ProgramTitle() const;

    // Input: converted to Carbon events and queued; they are routed when the loop takes them.
    void Post(InputEvent const& input);
    void Request(WindowRequest const& request);

    // toolbox::ScreenSink
    void ScreenChanged(CGRect global) override;
    void Refresh() override;

private:
    WindowServer();
    ~WindowServer() override;
    void MakeScreen(CGSize size);
    void Paint(cairo_t* cr, CGRect area);

    cairo_surface_t* mScreen = nullptr; // owns
    std::vector<CGRect> mDirty;
    std::unique_ptr<Presenter> mPresenter; // owns
    cairo_surface_t* mDragImage = nullptr; // retains
    CGPoint mDragAt {};
};

} // namespace tw::display
