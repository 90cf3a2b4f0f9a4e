#pragma once

#include "widgets/CControl.h"

// A user pane whose draw, hit-test, tracking and key-down procedures call the
// wrapper's virtual handlers.
class CUserPane : public CControl {
public:
    CUserPane(WindowRef window, CRect const& bounds, UInt32 features);
    ~CUserPane() override;

    virtual void HandleControlUserPaneDraw(SInt16) { }
    virtual ControlPartCode HandleControlUserPaneHitTest(Point) { return kControlNoPart; }
    virtual ControlPartCode HandleControlUserPaneTracking(Point, ControlActionUPP) { return kControlNoPart; }
    virtual ControlPartCode HandleControlUserPaneKeyDown(SInt16, SInt16, SInt16) { return kControlNoPart; }

private:
    static CUserPane* PaneOf(ControlRef control);
    static void Draw(ControlRef control, SInt16 part);
    static ControlPartCode HitTest(ControlRef control, Point where);
    static ControlPartCode Tracking(ControlRef control, Point start, ControlActionUPP action);
    static ControlPartCode KeyDown(ControlRef control, SInt16 keyCode, SInt16 charCode, SInt16 modifiers);
};
