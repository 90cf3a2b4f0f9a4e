#pragma once

#include "foundation/CRect.h"
#include "quartz/CGGeometry.h"
#include "toolbox/NibCalls.h"

class CHIView;
class CString;

// Static helpers for views: find or make a view's wrapper, load a nib window's
// views into a view, lay out a rectangle in a container, replace a placeholder,
// embed a view in a scroll view, convert points, and schedule a delayed redraw.
class CHIViewUtilities {
public:
    // The view's wrapper; with create, one made on demand when it has none.
    static CHIView* GetCHIView(ControlRef control, bool create);
    static OSStatus LoadFromNib(IBNibRef nib, CString const& windowName, CHIView* into);
    static OSStatus LoadFromNib(CString const& nibName, CString const& windowName, CHIView* into);
    static CRect CalculateLayout(CRect const& rect, UInt32 placement, CRect const& container);
    // Puts the view inside a new scroll view that takes its place, frame and layout.
    static OSStatus EmbedInScrollView(CHIView* view, UInt32 options);
    static void ReplaceProxyView(CHIView* proxy, CHIView* replacement);
    static WindowRef GetViewWindow(ControlRef control);
    static void ContentToView(ControlRef control, CGPoint& point);
    static void ViewToGlobal(ControlRef control, CGPoint& point);
    static void GlobalToView(ControlRef control, CGPoint& point);
    // One delayed redraw per view: a pending one is restarted rather than a second made.
    static void SetNeedsDisplayIn(CHIView* view, double delay, CGRect const* rect, double interval);
};
