#include "framework/CCarbonEvent.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/WindowCalls.h"
#include "widgets/CHIView.h"
#include "widgets/CHIViewUtilities.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kZoomFitLimit = 101.0f;
constexpr double kRedrawDelay = 0.25; // [s] after a scroll
constexpr double kClickSlop = 3; // [px] a second click this close counts as a double click

} // namespace

void CHIView::SetImageSize(CGSize const& size)
{
    mImageSize = size;
    NotifyScroller();
}

CCarbonEvent CHIView::GetScrollInfo()
{
    CCarbonEvent event(kEventClassScrollable, kEventScrollableGetInfo);
    event.SendToControl(GetHIViewRef());
    return event;
}

CGRect CHIView::GetZoomContent()
{
    CCarbonEvent info = GetScrollInfo();
    CGSize const image = info.GetScrollImageSize();
    CGSize const view = info.GetScrollViewSize();
    CGRect content { {}, image };
    if (view.width > image.width)
        content.origin.x = std::floor((view.width - image.width) * 0.5);
    if (view.height > image.height)
        content.origin.y = std::floor((view.height - image.height) * 0.5);
    return content;
}

CGSize CHIView::GetZoomContentSize(float zoom)
{
    CGSize size { mImageSize.width * zoom, mImageSize.height * zoom };
    WindowRef window = GetWindowRef();
    HIRect content {}, structure {};
    if (!window || HIWindowGetBounds(window, kWindowContentRgn, &content) != noErr)
        return size;
    HIWindowGetBounds(window, kWindowStructureRgn, &structure);
    CGRect const frame = GetFrame();
    HIPoint topLeft = frame.origin;
    HIViewConvertPoint(&topLeft, GetSuperView(), nullptr);
    topLeft.y -= content.origin.y - structure.origin.y;
    size.width += std::trunc(topLeft.x) + std::trunc(content.size.width - topLeft.x - frame.size.width);
    size.height += std::trunc(topLeft.y) + std::trunc(content.size.height - topLeft.y - frame.size.height);
    return size;
}

void CHIView::NotifyScroller()
{
    void* target = nullptr;
    GetControlProperty(kPropertyCreator, 'scrl', &target);
    HIViewRef scroller = target ? static_cast<HIViewRef>(target) : GetSuperView();
    if (!scroller)
        return;
    CCarbonEvent event(kEventClassScrollable, kEventScrollableInfoChanged);
    event.SendToControl(scroller);
}

// The origin is clamped so that the image never scrolls past its far edges; an image
// smaller than the view stays at 0.
void CHIView::SetImageOrigin(CGPoint const& p, bool notifyScroller)
{
    CGRect const bounds = GetBounds();
    CGPoint limit {};
    if (mImageSize.width != 0 && mImageSize.height != 0)
        limit = { std::floor(mImageSize.width - bounds.size.width / mImageZoom),
            std::floor(mImageSize.height - bounds.size.height / mImageZoom) };
    CGPoint const old = mImageOrigin;
    mImageOrigin.x = std::max(0.0, std::min(p.x, limit.x));
    mImageOrigin.y = std::max(0.0, std::min(p.y, limit.y));
    UInt32 following = 0;
    GetControlProperty(kPropertyCreator, 'cont', following);
    for (UInt16 i = 1; i <= following && i <= GetSubHIViewCount(); ++i)
        if (CHIView* sub = GetSubHIView(i))
            HIViewSetBoundsOrigin(sub->GetHIViewRef(), mImageOrigin.x, mImageOrigin.y);
    if (notifyScroller)
        NotifyScroller();
    if (mBehaviour & kBehaviourScrollPixels) {
        double const dx = std::ceil(mImageZoom * old.x) - std::ceil(mImageZoom * mImageOrigin.x);
        double const dy = std::ceil(mImageZoom * old.y) - std::ceil(mImageZoom * mImageOrigin.y);
        HIViewScrollRect(GetHIViewRef(), nullptr, dx, dy);
    } else if (old.x != mImageOrigin.x || old.y != mImageOrigin.y) {
        SetNeedsDisplay(true, nullptr); // the scroll view redraws only its bars
    }
    CHIViewUtilities::SetNeedsDisplayIn(this, kRedrawDelay, nullptr, 0);
}

void CHIView::SetImageZoom(ZoomType type, CGRect* rect, float zoom)
{
    float z = mImageZoom;
    CGPoint centre {};
    bool hasCentre = false;
    switch (type) {
    case kZoomIn:
        for (float level : mZoomLevels)
            if (level > mImageZoom) {
                z = level;
                break;
            }
        break;
    case kZoomOut:
        for (float level : mZoomLevels)
            if (level < mImageZoom)
                z = level;
        break;
    case kZoomRect: {
        if (!rect)
            return;
        CGRect const r = CGRectStandardize(*rect);
        CGRect const area { { std::floor(r.origin.x), std::floor(r.origin.y) },
            { std::ceil(r.size.width), std::ceil(r.size.height) } };
        // An empty rectangle says nothing about the zoom wanted.
        if (area.size.width <= 0 || area.size.height <= 0)
            return;
        CGRect const bounds = GetBounds();
        z = static_cast<float>(area.size.width > area.size.height ? bounds.size.width / area.size.width * mImageZoom
                                                                  : bounds.size.height / area.size.height * mImageZoom);
        centre = { CGRectGetMidX(area), CGRectGetMidY(area) };
        hasCentre = true;
        break;
    }
    case kZoomFactor:
        z = zoom;
        break;
    case kZoomFit: {
        Rect available {};
        GetAvailableWindowPositioningBounds(GetMainDevice(), &available);
        double const ratio = mImageSize.width >= mImageSize.height
            ? (available.right - available.left) / mImageSize.width
            : (available.bottom - available.top) / mImageSize.height;
        float const target = std::min(static_cast<float>(ratio), kZoomFitLimit);
        for (float level : mZoomLevels)
            if (level < target)
                z = level;
        break;
    }
    default:
        return;
    }
    AdjustZoom(type, z, hasCentre ? &centre : nullptr);
}

void CHIView::AdjustZoom(ZoomType type, float zoom, CGPoint const* centre)
{
    if (!std::isfinite(zoom) || mZoomLevels.empty())
        return;
    zoom = std::clamp(zoom, mZoomLevels.front(), mZoomLevels.back());
    CGRect bounds = GetBounds();
    CGPoint const middle = centre ? *centre
                                  : CGPoint { mImageOrigin.x + bounds.size.width / mImageZoom / 2,
                                        mImageOrigin.y + bounds.size.height / mImageZoom / 2 };
    mImageZoom = zoom;
    SetNeedsDisplay(true, nullptr);
    NotifyScroller();
    AdjustWindowForZoom(type);
    bounds = GetBounds();
    SetImageOrigin({ middle.x - bounds.size.width / zoom / 2, middle.y - bounds.size.height / zoom / 2 }, true);
}

void CHIView::AdjustWindowForZoom(ZoomType type)
{
    if (type == kZoomRect || type == kZoomFactor
        || ((type == kZoomIn || type == kZoomOut) && !(mBehaviour & kBehaviourResizeWindow)))
        return;
    WindowRef window = GetWindowRef();
    HIRect content {}, structure {};
    if (!window || HIWindowGetBounds(window, kWindowContentRgn, &content) != noErr
        || HIWindowGetBounds(window, kWindowStructureRgn, &structure) != noErr)
        return;
    Rect available {};
    GetAvailableWindowPositioningBounds(GetMainDevice(), &available);
    // The content goes only as far as leaves the whole window, its title bar and
    // toolbar included, on the usable screen.
    double const left = content.origin.x - structure.origin.x, top = content.origin.y - structure.origin.y;
    double const right = CGRectGetMaxX(structure) - CGRectGetMaxX(content);
    double const bottom = CGRectGetMaxY(structure) - CGRectGetMaxY(content);
    CGRect const room { { available.left + left, available.top + top },
        { std::max(0.0, available.right - available.left - left - right),
            std::max(0.0, available.bottom - available.top - top - bottom) } };
    CGSize const needed = GetZoomContentSize(mImageZoom);
    CGPoint origin { std::max(content.origin.x, room.origin.x), std::max(content.origin.y, room.origin.y) };
    if (type == kZoomFit)
        origin = room.origin;
    double width = std::min(CGRectGetMaxX(room) - origin.x, needed.width);
    double height = std::min(CGRectGetMaxY(room) - origin.y, needed.height);
    if (mMaxSize.width > 0)
        width = std::min(width, mMaxSize.width);
    if (mMaxSize.height > 0)
        height = std::min(height, mMaxSize.height);
    width = std::max(width, mMinSize.width);
    height = std::max(height, mMinSize.height);
    Rect const bounds { static_cast<SInt16>(origin.y), static_cast<SInt16>(origin.x),
        static_cast<SInt16>(origin.y + height), static_cast<SInt16>(origin.x + width) };
    SetWindowBounds(window, kWindowContentRgn, &bounds);
}

// Image rectangles become view pixels through the centred content and the zoom.
void CHIView::SetNeedsDisplay(bool needsDisplay, CGRect const* rect)
{
    if (!needsDisplay)
        return;
    if (!rect) {
        HIViewSetNeedsDisplay(GetHIViewRef(), true);
        return;
    }
    CGRect r = *rect;
    if (mImageSize.width != 0 && mImageSize.height != 0) {
        CGRect const content = GetZoomContent();
        r = { { std::floor(content.origin.x + (rect->origin.x - mImageOrigin.x) * mImageZoom),
                  std::floor(content.origin.y + (rect->origin.y - mImageOrigin.y) * mImageZoom) },
            { std::ceil(mImageZoom * rect->size.width), std::ceil(mImageZoom * rect->size.height) } };
    }
    CGRect const whole { { std::trunc(r.origin.x), std::trunc(r.origin.y) },
        { std::trunc(r.size.width), std::trunc(r.size.height) } };
    HIViewSetNeedsDisplayInRect(GetHIViewRef(), &whole, true);
}

OSStatus CHIView::DoEventScrollableGetInfo(CCarbonEvent& event)
{
    HISize const image { mImageSize.width * mImageZoom, mImageSize.height * mImageZoom };
    HIPoint const origin { mImageOrigin.x * mImageZoom, mImageOrigin.y * mImageZoom };
    HISize const view = GetBounds().size;
    event.SetParameter(kEventParamImageSize, typeHISize, sizeof image, &image);
    event.SetParameter(kEventParamOrigin, typeHIPoint, sizeof origin, &origin);
    event.SetParameter(kEventParamViewSize, typeHISize, sizeof view, &view);
    event.SetParameter('lnsz', typeHISize, sizeof mScrollLineSize, &mScrollLineSize);
    return noErr;
}

OSStatus CHIView::DoEventScrollableScrollTo(CCarbonEvent& event)
{
    HIPoint const origin = event.GetScrollOrigin();
    SetImageOrigin({ origin.x / mImageZoom, origin.y / mImageZoom }, false);
    return noErr;
}

// The view's own tracking loop: auto-scroll on a 0.1 s beat while dragging, and the click count.
OSStatus CHIView::DoEventControlTrack(CCarbonEvent& event)
{
    CGPoint const down = event.GetMouseLocation();
    bool const scrolls = mScrollDragSize.width != 0 || mScrollDragSize.height != 0;
    EventTimeout const timeout = scrolls ? 0.1 : kEventDurationForever;
    UInt32 clicks = 1;
    EventTime const now = GetCurrentEventTime();
    if (mLastClickTime > 0 && now - mLastClickTime <= GetDblTime() / 60.0
        && std::abs(down.x - mLastClickPoint.x) <= kClickSlop && std::abs(down.y - mLastClickPoint.y) <= kClickSlop)
        clicks = 2;
    event.SetParameter(kEventParamClickCount, typeUInt32, sizeof clicks, &clicks);
    OSStatus status = eventNotHandledErr;
    CGPoint point = down, previous = down;
    MouseTrackingResult phase = kMouseTrackingMouseDown;
    HIViewRef view = GetHIViewRef();
    while (TrackMouse(event, point, phase)) {
        UInt32 modifiers = 0;
        status = HIViewTrackMouseLocation(view, 0, timeout, &point, &modifiers, &phase);
        // A cancelled track still reaches TrackMouse, which puts things back and ends the loop.
        if (status != noErr && phase != kMouseTrackingTimedOut && phase != kMouseTrackingUserCancelled)
            break;
        HIPoint const delta { point.x - previous.x, point.y - previous.y };
        previous = point;
        event.SetParameter(kEventParamMouseDelta, typeHIPoint, sizeof delta, &delta);
        event.SetParameter(kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    }
    mLastClickTime = now;
    mLastClickPoint = down;
    return status;
}

bool CHIView::TrackMouse(CCarbonEvent&, CGPoint const& point, MouseTrackingResult phase)
{
    switch (phase) {
    case kMouseTrackingMouseDragged:
    case kMouseTrackingTimedOut:
        AutoScroll(point);
        return true;
    case kMouseTrackingMouseUp:
    case kMouseTrackingUserCancelled:
        return false;
    default:
        return true;
    }
}

// Past an edge the image scrolls by the drag unit, faster the further out the mouse is.
void CHIView::AutoScroll(CGPoint const& point)
{
    CGRect const bounds = GetBounds();
    CGPoint const p { point.x - bounds.origin.x, point.y - bounds.origin.y };
    if ((mScrollDragSize.width == 0 && mScrollDragSize.height == 0) || CGRectContainsPoint({ {}, bounds.size }, p))
        return;
    double dx = p.x < 0 ? p.x : p.x > bounds.size.width ? p.x - bounds.size.width : 0;
    double dy = p.y < 0 ? p.y : p.y > bounds.size.height ? p.y - bounds.size.height : 0;
    // However far out the pointer is, one beat scrolls a bounded step, across as down.
    dx = std::clamp(dx, -mScrollDragSize.width, mScrollDragSize.width);
    dy = std::clamp(dy, -mScrollDragSize.height, mScrollDragSize.height);
    auto boost = [](double d, double unit, double line) {
        if (d == 0 || unit <= 0)
            return 0.0;
        double const step = std::max(unit, unit + d * d / unit);
        double const whole = line > 0 ? std::trunc(step / line) * line : step;
        return std::copysign(whole, d);
    };
    dx = boost(dx, mScrollDragSize.width, mScrollLineSize.width);
    dy = boost(dy, mScrollDragSize.height, mScrollLineSize.height);
    if (dx == 0 && dy == 0)
        return;
    SetImageOrigin({ mImageOrigin.x + dx, mImageOrigin.y + dy }, true);
    SetNeedsDisplay(true, nullptr);
}
