#include "corefoundation/CFString.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/LiveCalls.h"
#include "toolbox/QDGeometry.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"

#include <cairo.h>
#include <cmath>
#include <cstring>
#include <vector>

using tw::toolbox::IfLive;
using tw::toolbox::LiveView;
using tw::toolbox::LiveWindow;
using tw::toolbox::ReadLive;
using tw::toolbox::View;

namespace {

// Control data a view keeps itself when no handler takes it: one property per part and tag.
constexpr OSType kDataCreatorBase = 'tw\0\0';

OSType DataCreator(ControlPartCode part) { return kDataCreatorBase | static_cast<UInt16>(part); }

OSStatus SendDataEvent(
    View* view, EventKind kind, ControlPartCode part, OSType tag, Size size, void* data, Size* outSize)
{
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassControl, kind, GetCurrentEventTime(), 0, &event) != noErr)
        return paramErr;
    ControlRef ref = view;
    SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
    SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
    SetEventParameter(event, kEventParamControlDataTag, typeEnumeration, sizeof tag, &tag);
    SetEventParameter(event, kEventParamControlDataBuffer, typePtr, sizeof data, &data);
    SetEventParameter(event, kEventParamControlDataBufferSize, typeSInt64, sizeof size, &size);
    OSStatus const status = view->SendToSelf(event);
    if (status == noErr && outSize)
        GetEventParameter(
            event, kEventParamControlDataBufferSize, typeSInt64, nullptr, sizeof *outSize, nullptr, outSize);
    ReleaseEvent(event);
    return status;
}

} // namespace

SInt32 GetControl32BitValue(ControlRef control)
{
    View* live = LiveView(control);
    return live ? live->Values().value : 0;
}

void SetControl32BitValue(ControlRef control, SInt32 value)
{
    if (View* live = LiveView(control))
        live->SetValue(value);
}

SInt32 GetControl32BitMinimum(ControlRef control)
{
    View* live = LiveView(control);
    return live ? live->Values().minimum : 0;
}

void SetControl32BitMinimum(ControlRef control, SInt32 minimum)
{
    if (View* live = LiveView(control)) {
        live->SetRange(minimum, live->Values().maximum);
    }
}

SInt32 GetControl32BitMaximum(ControlRef control)
{
    View* live = LiveView(control);
    return live ? live->Values().maximum : 0;
}

void SetControl32BitMaximum(ControlRef control, SInt32 maximum)
{
    if (View* live = LiveView(control)) {
        live->SetRange(live->Values().minimum, maximum);
    }
}

OSStatus SetControlTitleWithCFString(ControlRef control, CFStringRef title)
{
    return IfLive(LiveView(control), [&](View* live) { live->SetTitle(title); });
}

OSStatus CopyControlTitleAsCFString(ControlRef control, CFStringRef* outTitle)
{
    return ReadLive(LiveView(control), outTitle, [&](View* live) {
        return live->GetTitle() ? CFStringCreateCopy(nullptr, live->GetTitle())
                                : CFStringCreateWithCString(nullptr, "", kCFStringEncodingUTF8);
    });
}

OSStatus SetControlCommandID(ControlRef control, UInt32 command)
{
    return IfLive(LiveView(control), [&](View* live) { live->Values().command = command; });
}

OSStatus GetControlCommandID(ControlRef control, UInt32* outCommand)
{
    return ReadLive(LiveView(control), outCommand, [&](View* live) { return live->Values().command; });
}

OSStatus SetControlID(ControlRef control, ControlID const* id)
{
    View* live = LiveView(control);
    if (!live || !id)
        return paramErr;
    live->Values().id = *id;
    return noErr;
}

OSStatus GetControlID(ControlRef control, ControlID* outID)
{
    return ReadLive(LiveView(control), outID, [&](View* live) { return live->Values().id; });
}

OSStatus GetControlKind(ControlRef control, ControlKind* outKind)
{
    View* live = LiveView(control);
    if (!live || !outKind)
        return paramErr;
    *outKind = { live->Values().kindSignature, live->Values().kind };
    return noErr;
}

OSStatus SetControlProperty(ControlRef control, OSType creator, OSType tag, ByteCount size, void const* data)
{
    View* live = LiveView(control);
    return live ? live->SetProperty(creator, tag, size, data) : paramErr;
}

OSStatus GetControlProperty(
    ControlRef control, OSType creator, OSType tag, ByteCount bufferSize, ByteCount* actualSize, void* data)
{
    View* live = LiveView(control);
    return live ? live->GetProperty(creator, tag, bufferSize, actualSize, data) : paramErr;
}

OSStatus GetControlPropertySize(ControlRef control, OSType creator, OSType tag, ByteCount* outSize)
{
    View* live = LiveView(control);
    return live && outSize ? live->GetPropertySize(creator, tag, outSize) : paramErr;
}

OSStatus RemoveControlProperty(ControlRef control, OSType creator, OSType tag)
{
    View* live = LiveView(control);
    return live ? live->RemoveProperty(creator, tag) : paramErr;
}

OSStatus SetControlData(ControlRef control, ControlPartCode part, OSType tag, Size size, void const* data)
{
    View* live = LiveView(control);
    if (!live || size < 0 || (size > 0 && !data))
        return paramErr;
    OSStatus const status
        = SendDataEvent(live, kEventControlSetData, part, tag, size, const_cast<void*>(data), nullptr);
    if (status != eventNotHandledErr)
        return status;
    return live->SetProperty(DataCreator(part), tag, static_cast<ByteCount>(size), data);
}

OSStatus GetControlData(
    ControlRef control, ControlPartCode part, OSType tag, Size bufferSize, void* data, Size* actualSize)
{
    View* live = LiveView(control);
    if (!live || bufferSize < 0)
        return paramErr;
    OSStatus const status = SendDataEvent(live, kEventControlGetData, part, tag, bufferSize, data, actualSize);
    if (status != eventNotHandledErr)
        return status;
    ByteCount size = 0;
    OSStatus const found = live->GetPropertySize(DataCreator(part), tag, &size);
    if (found != noErr)
        return errDataNotSupported;
    if (actualSize)
        *actualSize = static_cast<Size>(size);
    if (!data)
        return noErr;
    return static_cast<ByteCount>(bufferSize) < size ? errDataSizeMismatch
                                                     : live->GetProperty(DataCreator(part), tag, size, nullptr, data);
}

OSStatus GetControlDataSize(ControlRef control, ControlPartCode part, OSType tag, Size* outSize)
{
    return outSize ? GetControlData(control, part, tag, 0, nullptr, outSize) : paramErr;
}

OSStatus SetKeyboardFocus(WindowRef window, ControlRef control, ControlPartCode part)
{
    auto* live = LiveWindow(window);
    View* view = LiveView(control);
    if (!live || (control && !view))
        return paramErr;
    return live->SetFocus(part == kControlFocusNoPart ? nullptr : view, part);
}

OSStatus GetKeyboardFocus(WindowRef window, ControlRef* outControl)
{
    return ReadLive(LiveWindow(window), outControl, [&](auto* live) { return live->GetFocus(); });
}

OSStatus HIViewGetFocusPart(HIViewRef view, ControlPartCode* outPart)
{
    View* live = LiveView(view);
    if (!live || !outPart)
        return paramErr;
    auto* window = live->GetWindow();
    *outPart = window && window->GetFocus() == live ? window->GetFocusPart() : ControlPartCode(kControlFocusNoPart);
    return noErr;
}

OSStatus ClearKeyboardFocus(WindowRef window) { return SetKeyboardFocus(window, nullptr, kControlFocusNoPart); }

OSStatus AdvanceKeyboardFocus(WindowRef window)
{
    auto* live = LiveWindow(window);
    return live ? live->AdvanceFocus(false) : paramErr;
}

OSStatus ReverseKeyboardFocus(WindowRef window)
{
    auto* live = LiveWindow(window);
    return live ? live->AdvanceFocus(true) : paramErr;
}

OSStatus HMSetControlHelpContent(ControlRef control, HMHelpContentRec const* content)
{
    return IfLive(LiveView(control), [&](View* live) { live->SetHelp(content ? *content : HMHelpContentRec {}); });
}

OSStatus HMGetControlHelpContent(ControlRef control, HMHelpContentRec* outContent)
{
    View* live = LiveView(control);
    if (!live || !outContent)
        return paramErr;
    *outContent = live->GetHelp();
    if (outContent->version == 0 && outContent->content[0].contentType == 0) {
        outContent->version = kMacHelpVersion;
        outContent->content[0].contentType = kHMNoContent;
        outContent->content[1].contentType = kHMNoContent;
    }
    return noErr;
}

OSStatus HIViewGetViewForMouseEvent(HIViewRef start, EventRef event, HIViewRef* outView)
{
    View* live = LiveView(start);
    if (!live || !event || !outView || !live->GetWindow())
        return paramErr;
    HIPoint global {};
    if (GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof global, nullptr, &global))
        return paramErr;
    CGRect const structure = live->GetWindow()->GetStructure();
    CGPoint const local = live->FromWindow({ global.x - structure.origin.x, global.y - structure.origin.y });
    *outView = live->DeepestViewAt(local);
    if (!*outView)
        *outView = live;
    return noErr;
}

OSStatus HIViewGetSubviewHit(HIViewRef start, HIPoint const* point, Boolean deep, HIViewRef* outView)
{
    View* live = LiveView(start);
    if (!live || !point || !outView)
        return paramErr;
    *outView = nullptr;
    View* hit = live->DeepestViewAt(*point);
    if (!deep)
        while (hit && hit->GetParent() != live)
            hit = hit->GetParent();
    *outView = hit == live ? nullptr : hit;
    return noErr;
}

OSStatus HIViewClick(HIViewRef view, EventRef mouseDown)
{
    View* live = LiveView(view);
    if (!live || !mouseDown || !live->GetWindow())
        return paramErr;
    HIPoint global {};
    GetEventParameter(mouseDown, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof global, nullptr, &global);
    CGRect const structure = live->GetWindow()->GetStructure();
    CGPoint const p = live->FromWindow({ global.x - structure.origin.x, global.y - structure.origin.y });
    return live->Click(mouseDown, p, live->HitTest(p));
}

OSStatus HIViewSimulateClick(HIViewRef view, HIViewPartCode part, UInt32 modifiers, ControlPartCode* outPart)
{
    View* live = LiveView(view);
    if (!live)
        return paramErr;
    EventRef hit = nullptr;
    if (CreateEvent(nullptr, kEventClassControl, kEventControlHit, GetCurrentEventTime(), 0, &hit) != noErr)
        return paramErr;
    ControlRef ref = live;
    SetEventParameter(hit, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
    SetEventParameter(hit, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
    SetEventParameter(hit, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    tw::toolbox::Protector protect(live);
    SendEventToEventTarget(hit, &live->GetTarget());
    ReleaseEvent(hit);
    if (outPart)
        *outPart = part;
    if (!live->IsDisposed() && live->Values().command != 0)
        live->SendCommand(modifiers);
    return noErr;
}

OSStatus HIViewSetNeedsDisplay(HIViewRef view, Boolean needsDisplay)
{
    return IfLive(LiveView(view), [&](View* live) {
        if (needsDisplay)
            live->Invalidate();
    });
}

OSStatus HIViewSetNeedsDisplayInRect(HIViewRef view, HIRect const* rect, Boolean needsDisplay)
{
    View* live = LiveView(view);
    if (!live || !rect)
        return paramErr;
    if (needsDisplay)
        live->InvalidateRect(*rect);
    return noErr;
}

OSStatus HIViewSetNeedsDisplayInShape(HIViewRef view, HIShapeRef shape, Boolean needsDisplay)
{
    return HIViewSetNeedsDisplayInRect(view, shape, needsDisplay);
}

OSStatus HIViewRender(HIViewRef view)
{
    return IfLive(LiveView(view), [&](View* live) {
        if (auto* window = live->GetWindow())
            window->Update();
    });
}

void Draw1Control(ControlRef control)
{
    HIViewSetNeedsDisplay(control, true);
    HIViewRender(control);
}

Rect* GetControlBounds(ControlRef control, Rect* outBounds)
{
    View* live = LiveView(control);
    if (outBounds)
        *outBounds = live ? tw::toolbox::ToQDRect(live->GetFrame()) : Rect {};
    return outBounds;
}

void SetControlBounds(ControlRef control, Rect const* bounds)
{
    View* live = LiveView(control);
    if (live && bounds)
        live->SetFrame(
            CGRectMake(bounds->left, bounds->top, bounds->right - bounds->left, bounds->bottom - bounds->top));
}

OSStatus HIViewGetOptimalBounds(HIViewRef view, HIRect* outBounds, CGFloat* outBaseline)
{
    View* live = LiveView(view);
    if (!live || !outBounds)
        return paramErr;
    *outBounds = live->GetFrame();
    if (outBaseline)
        *outBaseline = 0;
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassControl, kEventControlGetOptimalBounds, GetCurrentEventTime(), 0, &event))
        return noErr;
    ControlRef ref = live;
    SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
    if (live->SendToSelf(event) == noErr) {
        HIRect bounds {};
        if (GetEventParameter(event, 'cbds', typeHIRect, nullptr, sizeof bounds, nullptr, &bounds) == noErr)
            *outBounds = { live->GetFrame().origin, bounds.size };
    }
    ReleaseEvent(event);
    return noErr;
}

OSStatus GetBestControlRect(ControlRef control, Rect* outRect, SInt16* outBaseline)
{
    HIRect bounds {};
    OSStatus const status = HIViewGetOptimalBounds(control, &bounds, nullptr);
    if (status == noErr && outRect)
        *outRect = tw::toolbox::ToQDRect(bounds);
    if (outBaseline)
        *outBaseline = 0;
    return status;
}

// Moves the pixels in the backing store, then invalidates the strip they uncovered.
OSStatus HIViewScrollRect(HIViewRef view, HIRect const* rect, CGFloat dx, CGFloat dy)
{
    View* live = LiveView(view);
    if (!live || !std::isfinite(dx) || !std::isfinite(dy))
        return paramErr;
    CGRect const area = rect ? CGRectIntersection(*rect, live->GetBounds()) : live->GetBounds();
    auto* window = live->GetWindow();
    if (!window || CGRectIsNull(area) || (dx == 0 && dy == 0))
        return noErr;
    dx = std::round(dx);
    dy = std::round(dy);
    if (std::abs(dx) >= area.size.width || std::abs(dy) >= area.size.height) {
        live->InvalidateRect(area);
        return noErr;
    }
    CGPoint const topLeft = live->ToWindow(area.origin);
    CGRect const visible = CGRectIntersection({ topLeft, area.size }, live->VisibleRectInWindow());
    if (CGRectIsNull(visible))
        return noErr;
    // What waits to be redrawn moves with the pixels (and is redrawn where it was too), so a
    // scroll that follows another before the window is updated still moves what is drawn.
    std::vector<CGRect> const pending = window->GetInvalid();
    cairo_t* cr = cairo_create(window->GetBackingStore());
    cairo_rectangle(cr, visible.origin.x, visible.origin.y, visible.size.width, visible.size.height);
    cairo_clip(cr);
    cairo_push_group(cr);
    cairo_set_source_surface(cr, window->GetBackingStore(), dx, dy);
    cairo_paint(cr);
    cairo_pop_group_to_source(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    window->BackingChanged(visible);
    for (CGRect const& rect : pending) {
        CGRect const moved = CGRectIntersection(CGRectOffset(CGRectIntersection(rect, visible), dx, dy), visible);
        if (!CGRectIsNull(moved) && !CGRectIsEmpty(moved))
            window->InvalidateRect(moved);
    }
    live->InvalidateRect(dx > 0 ? CGRectMake(area.origin.x, area.origin.y, dx, area.size.height)
                                : CGRectMake(CGRectGetMaxX(area) + dx, area.origin.y, -dx, area.size.height));
    live->InvalidateRect(dy > 0 ? CGRectMake(area.origin.x, area.origin.y, area.size.width, dy)
                                : CGRectMake(area.origin.x, CGRectGetMaxY(area) + dy, area.size.width, -dy));
    return noErr;
}
