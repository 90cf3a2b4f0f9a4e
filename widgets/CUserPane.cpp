#include "widgets/CUserPane.h"

CUserPane::CUserPane(WindowRef window, CRect const& bounds, UInt32 features)
{
    ControlRef control = nullptr;
    CreateUserPaneControl(window, &bounds, features, &control);
    SetControlRef(control);
    auto const draw = &CUserPane::Draw;
    auto const hitTest = &CUserPane::HitTest;
    auto const tracking = &CUserPane::Tracking;
    auto const keyDown = &CUserPane::KeyDown;
    SetControlData(kControlEntireControl, kControlUserPaneDrawProcTag, sizeof draw, &draw);
    SetControlData(kControlEntireControl, kControlUserPaneHitTestProcTag, sizeof hitTest, &hitTest);
    SetControlData(kControlEntireControl, kControlUserPaneTrackingProcTag, sizeof tracking, &tracking);
    SetControlData(kControlEntireControl, kControlUserPaneKeyDownProcTag, sizeof keyDown, &keyDown);
}

// The procedures are the user pane's own: nothing to dispose of them on our platform.
CUserPane::~CUserPane() = default;

CUserPane* CUserPane::PaneOf(ControlRef control) { return dynamic_cast<CUserPane*>(GetCControl(control)); }

void CUserPane::Draw(ControlRef control, SInt16 part)
{
    if (CUserPane* pane = PaneOf(control))
        pane->HandleControlUserPaneDraw(part);
}

ControlPartCode CUserPane::HitTest(ControlRef control, Point where)
{
    CUserPane* pane = PaneOf(control);
    return pane ? pane->HandleControlUserPaneHitTest(where) : ControlPartCode { kControlNoPart };
}

ControlPartCode CUserPane::Tracking(ControlRef control, Point start, ControlActionUPP action)
{
    CUserPane* pane = PaneOf(control);
    return pane ? pane->HandleControlUserPaneTracking(start, action) : ControlPartCode { kControlNoPart };
}

ControlPartCode CUserPane::KeyDown(ControlRef control, SInt16 keyCode, SInt16 charCode, SInt16 modifiers)
{
    CUserPane* pane = PaneOf(control);
    return pane ? pane->HandleControlUserPaneKeyDown(keyCode, charCode, modifiers) : ControlPartCode { kControlNoPart };
}
