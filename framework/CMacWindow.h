#pragma once

// One window for the rest of the program: made from a nib, from a class and
// attributes, or adopted; receives its events, owns the wrapper of its root view,
// keeps the sheet it shows and the toolbar it carries, and offers its state as a
// binding so that visibility and bounds can follow preferences and a menu mark.
//
// The view wrappers live in the widgets library, above this one: the widgets
// install the few operations windows need of them with SetWidgetSupport.

#include "foundation/CRect.h"
#include "framework/CCarbonEventHandler.h"
#include "toolbox/HIViewTypes.h"
#include "toolbox/NibCalls.h"
#include "toolbox/WindowCalls.h"

class CBPreferenceBinding;
class CBWindowBinding;
class CControl;
class CHIToolbar;
class CHIView;
class CRootControl;
class CString;

using ThemeBrush = SInt16; // the toolbox takes theme brushes as plain numbers

// Edge by edge.
CRect operator+(CRect const& a, CRect const& b);
CRect operator-(CRect const& a, CRect const& b);

class CMacWindow : public CCarbonEventHandler {
public:
    struct WidgetSupport {
        CRootControl* (*createRootControl)(WindowRef window);
        void (*destroyRootControl)(CRootControl* root);
        // The change of size as {0, 0, height change, width change}.
        void (*handleSuperResize)(CRootControl* root, Rect const& delta);
        // The wrapper of the view with that id, made when missing; null when there is no such view.
        CHIView* (*findView)(CRootControl* root, HIViewID const& id);
        CControl* (*asControl)(CHIView* view); // null when the view is no control
        OSStatus (*attachToolbar)(WindowRef window, CHIToolbar* toolbar);
    };
    static void SetWidgetSupport(WidgetSupport const* support); // null removes it

    explicit CMacWindow(WindowRef theWindow);
    CMacWindow(IBNibRef theNib, CString const& windowName);
    CMacWindow(CString const& nibName, CString const& windowName);
    CMacWindow(WindowClass theClass, WindowAttributes attributes, CRect const& bounds, ThemeBrush brush);
    ~CMacWindow() override;

    WindowRef GetWindowRef() const { return mWindow; }
    EventTargetRef GetEventTarget() const;
    CRootControl* GetRootControl() const { return mRootControl; }
    CHIToolbar* GetToolbar() const { return mToolbar; }

    CRect GetWindowBounds(WindowRegionCode region) const;
    CGRect GetBounds(WindowRegionCode region) const;
    // The content rectangle moved, and shrunk where it must be, so that the whole window
    // (title bar and toolbar too) lies on the usable screen.
    CRect FitOnScreen(CRect const& content) const;
    OSStatus SetWindowBounds(CRect const& bounds, WindowRegionCode region, WindowTransitionEffect effect);
    OSStatus Reposition(WindowRef parent, WindowPositionMethod method);
    OSStatus RunModalEventLoop();
    OSStatus QuitModalEventLoop();

    bool IsVisible() const;
    void SetVisible(bool visible);
    void Select(bool show);
    void ToggleVisibility(bool select);
    void SetMinimised(bool minimised);

    bool HasSheet() const;
    OSStatus BeginSheet(CMacWindow* sheet);
    OSStatus EndSheet();
    void SetToolbar(CHIToolbar* toolbar);

    CString GetTitle() const;
    void SetTitle(CString const& title);
    UInt32 GetPropertyInteger(unsigned long tag) const;
    OSStatus SetPropertyInteger(unsigned long tag, unsigned long value);
    OSStatus SetAttributes(WindowAttributes set, WindowAttributes clear);

    CHIView* FindView(OSType signature, SInt32 id) const;
    CControl* FindControl(OSType signature, SInt32 id) const;
    void SetControlTitle(OSType signature, CString const& title);
    CString GetControlTitle(OSType signature) const;

    CBWindowBinding* GetBinding();
    void BindVisibilityToPrefs(CBPreferenceBinding* prefs, CString const& key);
    // A stored rectangle that would put the window off the screen is brought back onto it.
    void BindBoundsToPrefs(CBPreferenceBinding* prefs, CString const& key);
    void BindVisibilityToMenu(unsigned long commandID);

    OSStatus DoEvent(CCarbonEvent& event) override;
    OSStatus DoEventWindowBoundsChanged(CCarbonEvent& event) override;

    // Brings the window back onto the screen it mostly stands on.
    void KeepOnScreen();

private:
    void InitialiseSelf(WindowRef theWindow, ThemeBrush brush);

    WindowRef mWindow = nullptr; // holds one reference
    CRootControl* mRootControl = nullptr; // owns, through mWidgetSupport
    CMacWindow* mSheet = nullptr; // weak: its owner ends and deletes it
    CHIToolbar* mToolbar = nullptr; // weak
    CBWindowBinding* mBinding = nullptr; // weak: deletes itself when the window closes
    WidgetSupport const* mWidgetSupport = nullptr; // borrowed: the support that made mRootControl
    Rect mLastContent {}; // for size changes reported without their bounds
};
