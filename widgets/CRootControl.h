#pragma once

#include "widgets/CControl.h"

// The wrapper of a window's root control (its content view), which it retains.
// It has no super view; its bounds are the window's content at the origin. In a
// window that does not composite it erases its own background.
class CRootControl : public CControl {
public:
    explicit CRootControl(WindowRef window);
    ~CRootControl() override;

    WindowRef GetWindowRef() const override { return mWindow; }
    virtual void SetWindowRef(WindowRef window) { mWindow = window; }
    CHIView* GetSuperHIView() const override { return nullptr; }
    CRect GetControlBounds() const override;
    // Only asks for the window to redraw that rectangle.
    void SetControlBounds(CRect const& rect) override;

    OSStatus DoEventControlDraw(CCarbonEvent& event) override;

    // Whether a root control made by the window support is still alive (closed windows delete theirs).
    static bool IsLive(CRootControl const* root);

private:
    WindowRef mWindow; // weak: the window outlives its root control's wrapper
    bool mCompositing;
    ControlRef mRetained = nullptr; // retains
};
