#pragma once

// The toolbox's link to the window server: the screen's size and the menu bar
// strip, and the sink that hears of every change to what the screen shows. The
// display module installs the sink; without one, changes are simply dropped.

#include "quartz/CGGeometry.h"

namespace tw::toolbox {

class ScreenSink {
public:
    virtual ~ScreenSink() = default;
    // Something inside this global rectangle changed.
    virtual void ScreenChanged(CGRect global) = 0;
    // A nested loop (mouse or menu tracking) wants the screen brought up to date.
    virtual void Refresh() = 0;
};

class Screen {
public:
    static constexpr double kMenuBarHeight = 22; // [px]

    static CGSize GetSize();
    static void SetSize(CGSize size);
    static CGRect GetBounds() { return { { 0, 0 }, GetSize() }; }
    // The screen less the menu bar: where windows may go.
    static CGRect GetAvailableBounds();

    static void SetSink(ScreenSink* sink);
    static void Changed(CGRect global);
    static void Refresh();
};

} // namespace tw::toolbox
