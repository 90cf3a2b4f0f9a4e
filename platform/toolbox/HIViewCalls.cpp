#include "toolbox/HIViewCalls.h"

#include "corefoundation/CFString.h"
#include "toolbox/LiveCalls.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"

#include <algorithm>
#include <cmath>

using tw::toolbox::IfLive;
using tw::toolbox::LiveView;
using tw::toolbox::LiveWindow;
using tw::toolbox::ReadLive;
using tw::toolbox::View;

namespace {

// Stands in for the window's structure coordinates when a conversion names no view.
CGPoint ToWindow(View* view, CGPoint p) { return view ? view->ToWindow(p) : p; }
CGPoint FromWindow(View* view, CGPoint p) { return view ? view->FromWindow(p) : p; }

View* Sibling(View* view, int step)
{
    if (!view || !view->GetParent())
        return nullptr;
    auto const& siblings = view->GetParent()->GetChildren();
    auto const at = std::find(siblings.begin(), siblings.end(), view) - siblings.begin() + step;
    return at >= 0 && at < static_cast<long>(siblings.size()) ? siblings[at] : nullptr;
}

} // namespace

HIViewRef HIViewGetRoot(WindowRef window)
{
    auto* live = LiveWindow(window);
    return live ? live->GetRoot() : nullptr;
}

OSStatus GetRootControl(WindowRef window, ControlRef* outControl)
{
    auto* live = LiveWindow(window);
    if (!outControl)
        return paramErr;
    *outControl = live ? live->GetContentView() : nullptr;
    return live ? OSStatus { noErr } : OSStatus { errNoRootControl };
}

OSStatus HIViewFindByID(HIViewRef start, HIViewID id, HIViewRef* outView)
{
    View* view = LiveView(start);
    if (!view || !outView)
        return paramErr;
    *outView = view->FindByID(id);
    return *outView ? noErr : errUnknownControl;
}

OSStatus GetControlByID(WindowRef window, ControlID const* id, ControlRef* outControl)
{
    auto* live = LiveWindow(window);
    if (!live || !id || !outControl)
        return paramErr;
    return HIViewFindByID(live->GetRoot(), *id, outControl);
}

OSStatus HIViewAddSubview(HIViewRef parent, HIViewRef child)
{
    View* p = LiveView(parent);
    View* c = LiveView(child);
    return p && c ? p->AddChild(c) : paramErr;
}

OSStatus HIViewRemoveFromSuperview(HIViewRef view)
{
    return IfLive(LiveView(view), [&](View* live) { live->RemoveFromParent(); });
}

HIViewRef HIViewGetSuperview(HIViewRef view)
{
    View* live = LiveView(view);
    return live ? live->GetParent() : nullptr;
}

HIViewRef HIViewGetFirstSubview(HIViewRef view)
{
    View* live = LiveView(view);
    return live && !live->GetChildren().empty() ? live->GetChildren().back() : nullptr;
}

HIViewRef HIViewGetLastSubview(HIViewRef view)
{
    View* live = LiveView(view);
    return live && !live->GetChildren().empty() ? live->GetChildren().front() : nullptr;
}

HIViewRef HIViewGetNextView(HIViewRef view) { return Sibling(LiveView(view), -1); }
HIViewRef HIViewGetPreviousView(HIViewRef view) { return Sibling(LiveView(view), 1); }

OSStatus CountSubControls(ControlRef control, UInt16* outCount)
{
    return ReadLive(
        LiveView(control), outCount, [&](View* live) { return static_cast<UInt16>(live->GetChildren().size()); });
}

OSStatus GetIndexedSubControl(ControlRef control, UInt16 index, ControlRef* outSub)
{
    View* live = LiveView(control);
    if (!live || !outSub || index < 1 || index > live->GetChildren().size())
        return paramErr;
    *outSub = live->GetChildren()[index - 1];
    return noErr;
}

OSStatus HIViewSetZOrder(HIViewRef view, HIViewZOrderOp op, HIViewRef other)
{
    View* live = LiveView(view);
    if (!live || (other && !LiveView(other)))
        return paramErr;
    return live->SetZOrder(op, LiveView(other));
}

WindowRef HIViewGetWindow(HIViewRef view)
{
    View* live = LiveView(view);
    return live ? live->GetWindow() : nullptr;
}

WindowRef GetControlOwner(ControlRef control) { return HIViewGetWindow(control); }

void DisposeControl(ControlRef control)
{
    View* live = LiveView(control);
    if (!live)
        return;
    tw::toolbox::Protector protect(live);
    live->RemoveFromParent();
    live->Dispose();
}

OSStatus HIViewGetFrame(HIViewRef view, HIRect* outFrame)
{
    return ReadLive(LiveView(view), outFrame, [&](View* live) { return live->GetFrame(); });
}

OSStatus HIViewSetFrame(HIViewRef view, HIRect const* frame)
{
    View* live = LiveView(view);
    return live && frame ? live->SetFrame(*frame) : paramErr;
}

OSStatus HIViewGetBounds(HIViewRef view, HIRect* outBounds)
{
    return ReadLive(LiveView(view), outBounds, [&](View* live) { return live->GetBounds(); });
}

OSStatus HIViewSetBoundsOrigin(HIViewRef view, CGFloat x, CGFloat y)
{
    View* live = LiveView(view);
    if (!live || !std::isfinite(x) || !std::isfinite(y))
        return paramErr;
    live->SetBoundsOrigin({ x, y });
    return noErr;
}

OSStatus HIViewMoveBy(HIViewRef view, CGFloat dx, CGFloat dy)
{
    View* live = LiveView(view);
    return live ? live->SetFrame(CGRectOffset(live->GetFrame(), dx, dy)) : paramErr;
}

OSStatus HIViewPlaceInSuperviewAt(HIViewRef view, CGFloat x, CGFloat y)
{
    View* live = LiveView(view);
    return live ? live->SetFrame({ { x, y }, live->GetFrame().size }) : paramErr;
}

OSStatus HIViewConvertPoint(HIPoint* point, HIViewRef source, HIViewRef destination)
{
    View* from = LiveView(source);
    View* to = LiveView(destination);
    if (!point || (source && !from) || (destination && !to))
        return paramErr;
    if (from && to && from->GetWindow() != to->GetWindow())
        return paramErr;
    *point = FromWindow(to, ToWindow(from, *point));
    return noErr;
}

OSStatus HIViewConvertRect(HIRect* rect, HIViewRef source, HIViewRef destination)
{
    if (!rect)
        return paramErr;
    return HIViewConvertPoint(&rect->origin, source, destination);
}

OSStatus HIViewGetLayoutInfo(HIViewRef view, HILayoutInfo* outLayout)
{
    return ReadLive(LiveView(view), outLayout, [&](View* live) { return live->GetLayout(); });
}

OSStatus HIViewSetLayoutInfo(HIViewRef view, HILayoutInfo const* layout)
{
    View* live = LiveView(view);
    if (!live || !layout)
        return paramErr;
    live->SetLayout(*layout);
    return noErr;
}

Boolean HIViewIsVisible(HIViewRef view)
{
    View* live = LiveView(view);
    return live && live->IsVisible();
}

OSStatus HIViewSetVisible(HIViewRef view, Boolean visible)
{
    return IfLive(LiveView(view), [&](View* live) { live->SetVisible(visible); });
}

Boolean IsControlVisible(ControlRef control) { return HIViewIsVisible(control); }
OSStatus SetControlVisibility(ControlRef control, Boolean visible, Boolean)
{
    return HIViewSetVisible(control, visible);
}
void ShowControl(ControlRef control) { HIViewSetVisible(control, true); }
void HideControl(ControlRef control) { HIViewSetVisible(control, false); }

Boolean IsControlEnabled(ControlRef control)
{
    View* live = LiveView(control);
    return live && live->IsEnabled();
}

OSStatus EnableControl(ControlRef control)
{
    return IfLive(LiveView(control), [&](View* live) { live->SetEnabled(true); });
}

OSStatus DisableControl(ControlRef control)
{
    return IfLive(LiveView(control), [&](View* live) { live->SetEnabled(false); });
}

Boolean IsControlActive(ControlRef control)
{
    View* live = LiveView(control);
    return live && live->IsActive();
}

Boolean IsControlHilited(ControlRef control)
{
    View* live = LiveView(control);
    return live && live->GetHilite() != 0;
}

void HiliteControl(ControlRef control, ControlPartCode part)
{
    if (View* live = LiveView(control))
        live->SetHilite(part);
}

OSStatus HIViewChangeFeatures(HIViewRef view, HIViewFeatures set, HIViewFeatures clear)
{
    return IfLive(LiveView(view), [&](View* live) { live->ChangeFeatures(set, clear); });
}

OSStatus HIViewGetFeatures(HIViewRef view, HIViewFeatures* outFeatures)
{
    return ReadLive(LiveView(view), outFeatures, [&](View* live) { return live->GetFeatures(); });
}
