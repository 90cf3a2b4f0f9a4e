#include "toolbox/View.h"

#include "corefoundation/CFString.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/ToolboxTypeIDs.h"
#include "toolbox/Window.h"

#include <algorithm>

namespace tw::toolbox {

View::View(ObjectClass* cls)
    : HIObject(cls, events::Target::Kind::Control)
{
    mFeatures = kHIViewFeatureAllowsSubviews;
}

// A view freed by its last release without being disposed still tells its handlers.
View::~View()
{
    Dispose();
    ReleaseContents();
}

CFTypeID View::TypeID() const { return kTWTypeIDView; }

namespace {

    // The type is checked before any cast: a ref of another class must never be taken for a view.
    View* LiveViewAt(void const* ref)
    {
        HIObject* object = HIObject::Live(ref);
        return object && object->TypeID() == kTWTypeIDView ? static_cast<View*>(object) : nullptr;
    }

} // namespace

View* LiveView(HIViewRef ref) { return LiveViewAt(ref); }
View* LiveView(HIObjectRef object) { return LiveViewAt(object); }

OSStatus View::AddChild(View* child)
{
    if (!child || child == this || child->IsAncestorOf(this) || IsDisposed() || child->IsDisposed())
        return paramErr;
    child->Retain();
    if (child->mParent)
        child->RemoveFromParent();
    mChildren.push_back(child);
    child->mParent = this;
    child->GetTarget().SetParent(&GetTarget());
    child->SetWindow(mWindow);
    child->Invalidate();
    return noErr;
}

void View::RemoveFromParent()
{
    View* parent = mParent;
    if (!parent)
        return;
    Invalidate();
    if (mWindow)
        mWindow->ViewLeaving(this);
    auto& siblings = parent->mChildren;
    siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    mParent = nullptr;
    GetTarget().SetParent(nullptr);
    SetWindow(nullptr);
    Release();
}

void View::DropChild(View* child)
{
    auto const it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it != mChildren.end())
        mChildren.erase(it);
}

OSStatus View::SetZOrder(HIViewZOrderOp op, View* other)
{
    if (!mParent || (other && other->mParent != mParent) || other == this)
        return paramErr;
    auto& siblings = mParent->mChildren;
    siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    auto at = siblings.end();
    if (other) {
        at = std::find(siblings.begin(), siblings.end(), other);
        if (op == kHIViewZOrderAbove)
            ++at;
    } else if (op == kHIViewZOrderBelow) {
        at = siblings.begin();
    }
    siblings.insert(at, this);
    Invalidate();
    return noErr;
}

View* View::FindByID(HIViewID id)
{
    if (mValues.id.signature == id.signature && mValues.id.id == id.id)
        return this;
    for (View* child : mChildren)
        if (View* found = child->FindByID(id))
            return found;
    return nullptr;
}

bool View::IsAncestorOf(View const* view) const
{
    for (View const* v = view ? view->mParent : nullptr; v; v = v->mParent)
        if (v == this)
            return true;
    return false;
}

void View::SetWindow(Window* window)
{
    mWindow = window;
    for (View* child : mChildren)
        child->SetWindow(window);
}

OSStatus View::SetFrame(CGRect frame)
{
    if (!std::isfinite(frame.origin.x) || !std::isfinite(frame.origin.y) || !std::isfinite(frame.size.width)
        || !std::isfinite(frame.size.height))
        return paramErr;
    frame = CGRectStandardize(frame);
    if (CGRectEqualToRect(frame, mFrame))
        return noErr;
    CGSize const oldSize = mFrame.size;
    Invalidate();
    mFrame = frame;
    Invalidate();
    if (!CGSizeEqualToSize(oldSize, frame.size))
        ApplyLayout(oldSize);
    NotifyChanged(kEventControlBoundsChanged);
    return noErr;
}

void View::SetBoundsOrigin(CGPoint origin)
{
    mOrigin = origin;
    Invalidate();
}

CGPoint View::ToWindow(CGPoint p) const
{
    for (View const* v = this; v; v = v->mParent)
        p = { p.x - v->mOrigin.x + v->mFrame.origin.x, p.y - v->mOrigin.y + v->mFrame.origin.y };
    return p;
}

CGPoint View::FromWindow(CGPoint p) const
{
    CGPoint const zero = ToWindow({ 0, 0 });
    return { p.x - zero.x, p.y - zero.y };
}

CGRect View::VisibleRectInWindow() const
{
    CGPoint const topLeft = ToWindow(mOrigin);
    CGRect rect { topLeft, mFrame.size };
    for (View const* v = mParent; v && !CGRectIsNull(rect); v = v->mParent)
        rect = CGRectIntersection(rect, CGRect { v->ToWindow(v->mOrigin), v->mFrame.size });
    return CGRectIsNull(rect) ? CGRectZero : rect;
}

// Edges bound to the parent's maximum keep their distance to it; bound to the
// minimum they stay put. A view bound on both sides of an axis stretches.
void View::ApplyLayout(CGSize oldSize)
{
    CGFloat const dw = mFrame.size.width - oldSize.width;
    CGFloat const dh = mFrame.size.height - oldSize.height;
    for (View* child : std::vector<View*>(mChildren)) {
        HIBinding const& b = child->mLayout.binding;
        CGRect f = child->mFrame;
        bool const leftMax = b.left.kind == kHILayoutBindMax;
        bool const rightMax = b.right.kind == kHILayoutBindMax;
        bool const topMax = b.top.kind == kHILayoutBindMax;
        bool const bottomMax = b.bottom.kind == kHILayoutBindMax;
        if (leftMax)
            f.origin.x += dw;
        if (rightMax && !leftMax)
            f.size.width = std::max<CGFloat>(0, f.size.width + dw);
        if (topMax)
            f.origin.y += dh;
        if (bottomMax && !topMax)
            f.size.height = std::max<CGFloat>(0, f.size.height + dh);
        if (!CGRectEqualToRect(f, child->mFrame))
            child->SetFrame(f);
    }
}

bool View::IsVisible() const
{
    for (View const* v = this; v; v = v->mParent)
        if (!v->mVisible)
            return false;
    return true;
}

void View::SetVisible(bool visible)
{
    if (mVisible == visible)
        return;
    if (!visible)
        Invalidate();
    mVisible = visible;
    if (visible)
        Invalidate();
    else if (mWindow)
        mWindow->ViewLeaving(this);
    NotifyChanged(kEventControlVisibilityChanged);
}

bool View::IsEnabled() const
{
    for (View const* v = this; v; v = v->mParent)
        if (!v->mEnabled)
            return false;
    return true;
}

void View::SetEnabled(bool enabled)
{
    if (mEnabled == enabled)
        return;
    mEnabled = enabled;
    Invalidate();
    // A view that can no longer be used passes the keyboard focus on.
    if (!enabled && mWindow)
        mWindow->FocusLeaving(this);
    NotifyChanged(kEventControlEnabledStateChanged);
}

bool View::IsActive() const { return !mWindow || mWindow->IsActive(); }

void View::SetHilite(ControlPartCode part)
{
    if (mHilite == part)
        return;
    mHilite = part;
    Invalidate();
}

void View::SetValue(SInt32 value)
{
    value = std::clamp(value, std::min(mValues.minimum, mValues.maximum), std::max(mValues.minimum, mValues.maximum));
    if (value == mValues.value)
        return;
    mValues.value = value;
    Invalidate();
    NotifyChanged(kEventControlValueFieldChanged);
}

// A change of range is a change of the value field too, even when the value stays.
void View::SetRange(SInt32 minimum, SInt32 maximum)
{
    if (minimum == mValues.minimum && maximum == mValues.maximum)
        return;
    mValues.minimum = minimum;
    mValues.maximum = maximum;
    mValues.value = std::clamp(mValues.value, std::min(minimum, maximum), std::max(minimum, maximum));
    Invalidate();
    NotifyChanged(kEventControlValueFieldChanged);
}

void View::SetTitle(CFStringRef title)
{
    CFStringRef const old = mTitle;
    mTitle = title ? CFStringCreateCopy(nullptr, title) : nullptr;
    if (old)
        CFRelease(old);
    Invalidate();
    NotifyChanged(kEventControlTitleChanged);
}

void View::SetHelp(HMHelpContentRec const& help)
{
    for (int i = 0; i < 2; ++i)
        if (help.content[i].contentType == kHMCFStringContent && help.content[i].u.tagCFString)
            CFRetain(help.content[i].u.tagCFString);
    for (int i = 0; i < 2; ++i)
        if (mHelp.content[i].contentType == kHMCFStringContent && mHelp.content[i].u.tagCFString)
            CFRelease(mHelp.content[i].u.tagCFString);
    mHelp = help;
}

void View::NotifyChanged(EventKind kind)
{
    if (IsDisposed())
        return;
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassControl, kind, GetCurrentEventTime(), 0, &event) != noErr)
        return;
    ControlRef self = this;
    SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof self, &self);
    SendToSelf(event);
    ReleaseEvent(event);
}

OSStatus View::SendToSelf(EventRef event)
{
    if (IsDisposed())
        return paramErr;
    Protector protect(this);
    return SendEventToEventTargetWithOptions(event, &GetTarget(), kEventTargetDontPropagate);
}

ControlPartCode View::HitTest(CGPoint p)
{
    EventRef event = nullptr;
    if (IsDisposed()
        || CreateEvent(nullptr, kEventClassControl, kEventControlHitTest, GetCurrentEventTime(), 0, &event))
        return kControlNoPart;
    ControlRef self = this;
    SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof self, &self);
    SetEventParameter(event, kEventParamMouseLocation, typeHIPoint, sizeof p, &p);
    ControlPartCode part = kControlNoPart;
    if (SendToSelf(event) == noErr)
        GetEventParameter(event, kEventParamControlPart, typeControlPartCode, nullptr, sizeof part, nullptr, &part);
    ReleaseEvent(event);
    return part;
}

View* View::DeepestViewAt(CGPoint p, ControlPartCode* outPart)
{
    if (!mVisible || IsDisposed())
        return nullptr;
    std::vector<View*> const children(mChildren);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        View* child = *it;
        CGPoint const local { p.x - child->mFrame.origin.x + child->mOrigin.x,
            p.y - child->mFrame.origin.y + child->mOrigin.y };
        if (child->mVisible && CGRectContainsPoint(child->GetBounds(), local))
            if (View* found = child->DeepestViewAt(local, outPart))
                return found;
    }
    ControlPartCode const part = HitTest(p);
    if (outPart)
        *outPart = part;
    return part != kControlNoPart ? this : nullptr;
}

void View::DisposeContents()
{
    if (mWindow)
        mWindow->ViewLeaving(this);
    // Sub views go first, front to back, whatever else still references them.
    std::vector<View*> children;
    children.swap(mChildren);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        View* child = *it;
        child->mParent = nullptr;
        child->GetTarget().SetParent(nullptr);
        child->Dispose();
        child->mWindow = nullptr;
        child->Release();
    }
}

void View::SendDisposeEvent()
{
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassControl, kEventControlDispose, GetCurrentEventTime(), 0, &event) != noErr)
        return;
    ControlRef self = this;
    SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof self, &self);
    SendToAll(event);
    ReleaseEvent(event);
}

void View::ReleaseContents()
{
    if (mTitle)
        CFRelease(mTitle);
    mTitle = nullptr;
    SetHelp(HMHelpContentRec {});
}

} // namespace tw::toolbox
