#include "toolbox/Window.h"

#include "corefoundation/CFString.h"
#include "quartz/CGContext.h"
#include "quartz/Context.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/QDGeometry.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/ToolboxTypeIDs.h"
#include "toolbox/View.h"
#include "toolbox/WindowList.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox {

namespace {

    constexpr double kTitleBarHeight = 22; // [px]
    constexpr double kUtilityTitleBarHeight = 16; // [px]
    constexpr double kBoxSize = 12; // [px] close, collapse and zoom boxes
    constexpr double kGrowBoxSize = 15; // [px]
    constexpr std::size_t kMaxInvalidRects = 8;

    View* MakeView(char const* classID) { return new View(ObjectClass::Find(classID)); }

} // namespace

Window::Window(WindowClass windowClass, WindowAttributes attributes, CGRect content)
    : HIObject(ObjectClass::Find("com.apple.window"), events::Target::Kind::Window)
    , mWindowClass(windowClass)
    // Document windows are listed in the Window menu unless their attribute is cleared.
    , mAttributes(windowClass == kDocumentWindowClass ? attributes | kWindowInWindowMenuAttribute : attributes)
{
    GetTarget().SetParent(GetApplicationEventTarget());
    double const title = GetTitleBarHeight();
    mStructure
        = { { content.origin.x, content.origin.y - title }, { content.size.width, content.size.height + title } };
    mRoot = MakeView("com.apple.HIRootView");
    mRoot->SetFrame({ { 0, 0 }, mStructure.size });
    mRoot->GetTarget().SetParent(&GetTarget());
    mRoot->SetWindow(this);
    mContentView = MakeView("com.apple.HIContentView");
    mContentView->Values().id = kHIViewWindowContentID;
    mContentView->SetFrame({ { 0, title }, content.size });
    mContentView->GetLayout();
    HILayoutInfo layout {};
    layout.binding.right.kind = kHILayoutBindMax;
    layout.binding.bottom.kind = kHILayoutBindMax;
    mContentView->SetLayout(layout);
    mRoot->AddChild(mContentView);
    mContentView->Release();
    MakeBackingStore();
    WindowList::Add(this);
    WindowList::InstallFocusProvider();
}

Window::~Window()
{
    Dispose();
    if (mBacking)
        cairo_surface_destroy(mBacking);
}

CFTypeID Window::TypeID() const { return kTWTypeIDWindow; }

Window* LiveWindow(WindowRef ref)
{
    HIObject* object = HIObject::Live(ref);
    return object && object->TypeID() == kTWTypeIDWindow ? static_cast<Window*>(object) : nullptr;
}

void Window::ChangeAttributes(WindowAttributes set, WindowAttributes clear)
{
    mAttributes = (mAttributes | set) & ~clear;
    InvalidateRect(GetPartRect(kWindowTitleBarRgn));
}

double Window::GetTitleBarHeight() const
{
    switch (mWindowClass) {
    case kDocumentWindowClass:
    case kMovableModalWindowClass:
    case kMovableAlertWindowClass:
        return kTitleBarHeight;
    case kFloatingWindowClass:
    case kUtilityWindowClass:
        return kUtilityTitleBarHeight;
    default:
        return 0;
    }
}

CGRect Window::GetContent() const
{
    double const title = GetContentTop();
    return { { mStructure.origin.x, mStructure.origin.y + title },
        { mStructure.size.width, std::max(0.0, mStructure.size.height - title) } };
}

OSStatus Window::SetStructure(CGRect structure, bool sendEvents)
{
    structure = CGRectIntegral(CGRectStandardize(structure));
    if (!std::isfinite(structure.origin.x) || !std::isfinite(structure.origin.y) || !std::isfinite(structure.size.width)
        || !std::isfinite(structure.size.height))
        return paramErr;
    structure.size.height = std::max(structure.size.height, GetTitleBarHeight());
    // However it is asked for (a stored size, a script), a window the user sizes keeps the
    // size below which the grow box stops.
    if (HasAttribute(kWindowResizableAttribute)) {
        structure.size.width = std::max(structure.size.width, kMinimumSize.width);
        structure.size.height = std::max(structure.size.height, kMinimumSize.height);
    }
    if (CGRectEqualToRect(structure, mStructure))
        return noErr;
    CGRect const old = mStructure;
    ChangedOnScreen(old);
    mStructure = structure;
    if (!CGSizeEqualToSize(old.size, structure.size)) {
        MakeBackingStore();
        mRoot->SetFrame({ { 0, 0 }, structure.size });
        InvalidateRect({ { 0, 0 }, structure.size });
    }
    ChangedOnScreen(mStructure);
    if (mSheet) {
        CGRect sheet = mSheet->GetStructure();
        sheet.origin = { structure.origin.x + std::floor((structure.size.width - sheet.size.width) / 2),
            structure.origin.y + GetTitleBarHeight() };
        mSheet->SetStructure(sheet, sendEvents);
    }
    if (sendEvents)
        SendBoundsChanged(old);
    return noErr;
}

// Carries what changed ('attr') and the structure bounds before and after, as
// QuickDraw rectangles: handlers resize their contents by the difference.
void Window::SendBoundsChanged(CGRect previous)
{
    EventRef event = nullptr;
    if (IsDisposed()
        || CreateEvent(nullptr, kEventClassWindow, kEventWindowBoundsChanged, GetCurrentEventTime(), 0, &event)
            != noErr)
        return;
    UInt32 attributes = 0;
    if (!CGSizeEqualToSize(previous.size, mStructure.size))
        attributes |= kWindowBoundsChangeSizeChanged;
    if (!CGPointEqualToPoint(previous.origin, mStructure.origin))
        attributes |= kWindowBoundsChangeOriginChanged;
    Rect const before = ToQDRect(previous);
    Rect const after = ToQDRect(mStructure);
    WindowRef self = this;
    SetEventParameter(event, kEventParamDirectObject, typeWindowRef, sizeof self, &self);
    SetEventParameter(event, kEventParamAttributes, typeUInt32, sizeof attributes, &attributes);
    SetEventParameter(event, kEventParamPreviousBounds, typeQDRectangle, sizeof before, &before);
    SetEventParameter(event, kEventParamCurrentBounds, typeQDRectangle, sizeof after, &after);
    Protector protect(this);
    SendEventToEventTarget(event, &GetTarget());
    ReleaseEvent(event);
}

CGRect Window::GetPartRect(WindowRegionCode region) const
{
    double const title = GetTitleBarHeight();
    double const top = std::floor((title - kBoxSize) / 2);
    CGSize const size = mStructure.size;
    switch (region) {
    case kWindowTitleBarRgn:
    case kWindowDragRgn:
        return { { 0, 0 }, { size.width, title } };
    case kWindowCloseBoxRgn:
        return HasAttribute(kWindowCloseBoxAttribute) && title > 0 ? CGRectMake(8, top, kBoxSize, kBoxSize)
                                                                   : CGRectZero;
    case kWindowCollapseBoxRgn:
        return HasAttribute(kWindowCollapseBoxAttribute) && title > 0 ? CGRectMake(28, top, kBoxSize, kBoxSize)
                                                                      : CGRectZero;
    case kWindowZoomBoxRgn:
        return HasAttribute(kWindowFullZoomAttribute) && title > 0 ? CGRectMake(48, top, kBoxSize, kBoxSize)
                                                                   : CGRectZero;
    case kWindowGrowRgn:
        return HasAttribute(kWindowResizableAttribute)
            ? CGRectMake(size.width - kGrowBoxSize, size.height - kGrowBoxSize, kGrowBoxSize, kGrowBoxSize)
            : CGRectZero;
    case kWindowContentRgn:
        return { { 0, GetContentTop() }, { size.width, std::max(0.0, size.height - GetContentTop()) } };
    default:
        return { { 0, 0 }, size };
    }
}

WindowPartCode Window::FindPart(CGPoint p) const
{
    if (!CGRectContainsPoint({ { 0, 0 }, mStructure.size }, p))
        return inNoWindow;
    if (CGRectContainsPoint(GetPartRect(kWindowCloseBoxRgn), p))
        return inGoAway;
    if (CGRectContainsPoint(GetPartRect(kWindowCollapseBoxRgn), p))
        return inCollapseBox;
    if (CGRectContainsPoint(GetPartRect(kWindowZoomBoxRgn), p))
        return inZoomOut;
    if (CGRectContainsPoint(GetPartRect(kWindowTitleBarRgn), p))
        return inDrag;
    if (!mCollapsed && CGRectContainsPoint(GetPartRect(kWindowGrowRgn), p))
        return inGrow;
    return mCollapsed ? inStructure : inContent;
}

void Window::SetVisible(bool visible)
{
    if (visible == mVisible)
        return;
    mVisible = visible;
    Screen::Changed(mStructure); // shown or hidden, the screen changes
    SendWindowEvent(visible ? kEventWindowShown : kEventWindowHidden);
    WindowList::UpdateActivation();
}

void Window::SetActive(bool active)
{
    if (active == mActive)
        return;
    mActive = active;
    InvalidateRect({ { 0, 0 }, mStructure.size });
    SendWindowEvent(active ? kEventWindowActivated : kEventWindowDeactivated);
}

void Window::SetCollapsed(bool collapsed)
{
    if (collapsed == mCollapsed)
        return;
    mCollapsed = collapsed;
    ChangedOnScreen(mStructure);
    SendWindowEvent(collapsed ? kEventWindowCollapsed : kEventWindowExpanded);
    // A folded window gives the front to the next open one of its layer: its title bar must not
    // stay over that window, and the Window menu has a front window to check.
    if (!collapsed || IsDisposed() || mSheetParent)
        return;
    auto const open = [this](Window* other) {
        return other != this && other->IsVisible() && !other->IsCollapsed() && !other->GetSheetParent()
            && WindowList::Layer(other) == WindowList::Layer(this);
    };
    std::vector<Window*> const& windows = WindowList::FrontToBack();
    if (std::any_of(windows.begin(), windows.end(), open)) {
        WindowList::SendToBack(this);
        WindowList::UpdateActivation();
    }
}

void Window::SetAlpha(double alpha)
{
    mAlpha = std::isfinite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 1.0;
    ChangedOnScreen(mStructure);
}

void Window::SetGroupClass(WindowClass groupClass)
{
    mGroupClass = groupClass;
    WindowList::BringToFront(this);
}

void Window::SetModified(bool modified)
{
    if (modified == mModified)
        return;
    mModified = modified;
    InvalidateRect(GetPartRect(kWindowTitleBarRgn));
}

std::string Window::GetShownTitle() const
{
    std::string const title = mTitle ? cf::ToUTF8(mTitle) : std::string();
    return mModified ? "*" + title : title;
}

void Window::SetTitle(CFStringRef title)
{
    CFStringRef const old = mTitle;
    mTitle = title ? CFStringCreateCopy(nullptr, title) : nullptr;
    if (old)
        CFRelease(old);
    InvalidateRect(GetPartRect(kWindowTitleBarRgn));
    SendWindowEvent(kEventWindowTitleChanged);
}

OSStatus Window::AttachSheet(Window* sheet)
{
    if (!sheet || sheet == this || mSheet || sheet->mSheetParent || IsDisposed())
        return paramErr;
    sheet->Retain();
    mSheet = sheet;
    sheet->mSheetParent = this;
    sheet->GetTarget().SetParent(&GetTarget());
    CGRect frame = sheet->GetStructure();
    frame.origin = { mStructure.origin.x + std::floor((mStructure.size.width - frame.size.width) / 2),
        mStructure.origin.y + GetContentTop() };
    sheet->SetStructure(frame, false);
    WindowList::BringToFront(sheet);
    return noErr;
}

void Window::DetachSheet()
{
    Window* sheet = mSheet;
    if (!sheet)
        return;
    mSheet = nullptr;
    sheet->mSheetParent = nullptr;
    sheet->GetTarget().SetParent(GetApplicationEventTarget());
    sheet->Release();
}

void Window::ViewLeaving(View* view)
{
    for (WeakRef<View>* ref : { &mFocus, &mDefaultButton, &mCancelButton }) {
        View* held = ref->Get();
        if (held && (held == view || view->IsAncestorOf(held)))
            ref->Reset();
    }
}

void Window::InvalidateRect(CGRect rect)
{
    rect = CGRectIntersection(CGRectIntegral(rect), { { 0, 0 }, mStructure.size });
    if (CGRectIsNull(rect) || CGRectIsEmpty(rect) || IsDisposed())
        return;
    for (CGRect const& known : mInvalid)
        if (CGRectContainsRect(known, rect))
            return;
    std::erase_if(mInvalid, [&](CGRect const& known) { return CGRectContainsRect(rect, known); });
    mInvalid.push_back(rect);
    if (mInvalid.size() > kMaxInvalidRects) {
        CGRect all = mInvalid.front();
        for (CGRect const& known : mInvalid)
            all = CGRectUnion(all, known);
        mInvalid.assign(1, all);
        // The whole merged area is redrawn, and later areas inside it stop here above,
        // so the screen must take all of it, not only the pieces it heard of.
        rect = all;
    }
    ChangedOnScreen(CGRectOffset(rect, mStructure.origin.x, mStructure.origin.y));
}

void Window::ChangedOnScreen(CGRect global) const
{
    if (mVisible)
        Screen::Changed(global);
}

void Window::SetToolbar(HIObject* toolbar)
{
    if (toolbar)
        toolbar->Retain();
    if (mToolbar)
        mToolbar->Release();
    mToolbar = toolbar;
}

void Window::MakeBackingStore()
{
    if (mBacking)
        cairo_surface_destroy(mBacking);
    int const width = std::max(1, static_cast<int>(mStructure.size.width));
    int const height = std::max(1, static_cast<int>(mStructure.size.height));
    mBacking = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
}

OSStatus Window::SendWindowEvent(EventKind kind)
{
    if (IsDisposed())
        return paramErr;
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassWindow, kind, GetCurrentEventTime(), 0, &event) != noErr)
        return paramErr;
    WindowRef self = this;
    SetEventParameter(event, kEventParamDirectObject, typeWindowRef, sizeof self, &self);
    Protector protect(this);
    OSStatus const status = SendEventToEventTarget(event, &GetTarget());
    ReleaseEvent(event);
    return status;
}

void Window::DisposeContents()
{
    if (mSheetParent)
        mSheetParent->DetachSheet();
    if (Window* sheet = mSheet) {
        sheet->Retain();
        DetachSheet();
        sheet->Dispose();
        sheet->Release();
    }
    ChangedOnScreen(mStructure);
    mVisible = false;
    mRoot->Dispose();
}

void Window::ReleaseContents()
{
    WindowList::Remove(this);
    if (mRoot) {
        mRoot->SetWindow(nullptr);
        mRoot->Release();
        mRoot = nullptr;
        mContentView = nullptr;
    }
    if (mTitle)
        CFRelease(mTitle);
    mTitle = nullptr;
    SetToolbar(nullptr);
    mInvalid.clear();
    if (mActive) {
        mActive = false;
        WindowList::UpdateActivation();
    }
}

} // namespace tw::toolbox

namespace tw::toolbox {

// Redraws the invalid rectangles into the backing store, views back to front.
// A view may ask to be drawn again while it draws (a popup taking its items on its
// first drawing): the areas it names are drawn in the same update, a few passes at
// most, since the screen takes them from the backing store right after.
void Window::Update()
{
    constexpr int kMaxPasses = 3;
    Protector protect(this);
    for (int pass = 0; pass < kMaxPasses && !mInvalid.empty() && !IsDisposed() && mBacking; ++pass) {
        std::vector<CGRect> rects;
        rects.swap(mInvalid);
        CGContextRef context = quartz::CreateContextForSurface(
            mBacking, cairo_image_surface_get_width(mBacking), cairo_image_surface_get_height(mBacking), true);
        if (!context)
            return;
        CGRect all = rects.front();
        for (CGRect const& rect : rects) {
            all = CGRectUnion(all, rect);
            CGContextClearRect(context, rect);
        }
        CGContextClipToRects(context, rects.data(), rects.size());
        mRoot->Draw(context, all);
        CGContextRelease(context);
    }
}

} // namespace tw::toolbox
