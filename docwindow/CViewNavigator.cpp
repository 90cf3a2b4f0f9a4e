#include "docwindow/CViewNavigator.h"

#include "foundation/CFileUtilities.h"
#include "framework/CCarbonEvent.h"
#include "framework/CMacWindow.h"
#include "framework/CWindowController.h"
#include "quartz/HIViewDrawing.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGraphicsUtilities.h"
#include "display/CursorCalls.h"
#include "toolbox/MouseTracking.h"

#include <algorithm>

namespace {

constexpr EventTypeSpec kNavigatorEvents[] = {
    { kEventClassControl, kEventControlDraw },
    { kEventClassControl, kEventControlHitTest },
    { kEventClassControl, kEventControlTrack },
    { 0, 0 },
};

// The marker's side along one axis: the whole map when the view shows all of it, never
// thinner than the minimum around its middle.
void NavigatorMarkerSpan(double visibleOrigin, double visibleSize, double imageSize, double mapOrigin,
    double mapSize, double scale, double& origin, double& size)
{
    if (visibleSize >= imageSize) {
        origin = mapOrigin;
        size = mapSize;
    } else {
        origin = mapOrigin + visibleOrigin * scale;
        size = visibleSize * scale;
    }
    if (size <= CViewNavigator::kMarkerMinimum) {
        origin += (size - CViewNavigator::kMarkerMinimum) / 2;
        size = CViewNavigator::kMarkerMinimum;
    }
}

} // namespace

CViewNavigator::CViewNavigator(HIObjectRef object)
    : CHIView(object)
{
    InitialiseSelf();
}

void CViewNavigator::InitialiseSelf()
{
    AddEvents(kNavigatorEvents);
    CreateTrackingArea();
    CFile const picture = CFileUtilities::GetBundleResource("NavMap", "png", "");
    if (picture.Exists())
        mWorld.Set(CCoreGraphicsUtilities::LoadImage(picture, CGSizeZero));
}

OSStatus CViewNavigator::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("com.tarnwick.hiview.navigator"), Create);
}

OSStatus CViewNavigator::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    auto* view = new (std::nothrow) CViewNavigator(object);
    if (!view)
        return memFullErr;
    if (view->GetHandlerType() == kHandlerNone)
        view->InstallHandler(static_cast<ControlRef>(reinterpret_cast<HIViewRef>(object)));
    *outObject = view;
    return noErr;
}

CViewNavigator* CViewNavigator::Find(CMacWindow* window, OSType signature, SInt32 id)
{
    return window ? dynamic_cast<CViewNavigator*>(window->FindView(signature, id)) : nullptr;
}

CViewNavigator* CViewNavigator::Find(CWindowController* controller, OSType signature, SInt32 id)
{
    return controller ? Find(controller->GetWindow(), signature, id) : nullptr;
}

// A map view that went before us has let go of its listeners; its address is then never used.
CViewMap* CViewNavigator::GetMapView() const { return mMapView && IsListeningTo(mMapView) ? mMapView : nullptr; }

void CViewNavigator::SetMapView(CViewMap* mapView)
{
    if (CViewMap* old = GetMapView())
        old->RemoveListener(this);
    mMapView = mapView;
    SetNeedsDisplay(true, nullptr);
    if (mMapView)
        mMapView->AddListener(this);
}

void CViewNavigator::LayOut()
{
    CViewMap* map = GetMapView();
    CGSize const image = map ? map->GetImageSize() : kDetachedSize;
    CGSize const size = image.width > 0 && image.height > 0 ? image : kDetachedSize;
    mMapRect = CGRectMake(0, 0, size.width, size.height);
    CGraphicsUtilities::ScaleToFit(mMapRect, GetBounds());
    mScaleH = mMapRect.size.width / size.width;
    mScaleV = mMapRect.size.height / size.height;
}

CGRect CViewNavigator::MarkerRect() const
{
    CViewMap* map = GetMapView();
    CGSize const image = map ? map->GetImageSize() : CGSizeZero;
    if (image.width <= 0 || image.height <= 0)
        return CGRectZero;
    CGRect const visible = map->GetVisibleContent();
    CGRect marker {};
    NavigatorMarkerSpan(visible.origin.x, visible.size.width, image.width, mMapRect.origin.x, mMapRect.size.width,
        mScaleH, marker.origin.x, marker.size.width);
    NavigatorMarkerSpan(visible.origin.y, visible.size.height, image.height, mMapRect.origin.y,
        mMapRect.size.height, mScaleV, marker.origin.y, marker.size.height);
    return marker;
}

OSStatus CViewNavigator::DoEventControlDraw(CCarbonEvent& event)
{
    CGContextRef context = event.GetCGContext();
    if (!context)
        return paramErr;
    LayOut();
    CGContextSaveGState(context);
    CGContextClipToRect(context, mMapRect);
    if (mWorld.Get()) {
        CGContextSetInterpolationQuality(context, kCGInterpolationHigh);
        HIViewDrawCGImage(context, &mMapRect, mWorld.Get());
    }
    mMarkerRect = MarkerRect();
    if (!CGRectIsEmpty(mMarkerRect)) {
        CCoreGraphicsUtilities::SetStrokeColour(context, kColourNavigatorMarker);
        CGContextSetLineWidth(context, 2);
        CGContextStrokeRect(context, mMarkerRect);
    }
    // Half a point in, so that the clip leaves the whole line.
    CCoreGraphicsUtilities::SetStrokeColour(context, kColourNavigatorFrame);
    CGContextSetLineWidth(context, 1);
    CGContextStrokeRect(context, CGRectInset(mMapRect, 0.5, 0.5));
    CGContextRestoreGState(context);
    return noErr;
}

CGPoint CViewNavigator::ViewToMap(CGPoint const& point) const
{
    return CGPointMake((point.x - mMapRect.origin.x) / mScaleH, (point.y - mMapRect.origin.y) / mScaleV);
}

// A hand over the part the map shows (closed while pressed), a pointing hand elsewhere.
void CViewNavigator::UpdateCursor(CGPoint const& point, bool pressed)
{
    CViewMap* map = GetMapView();
    bool const over = map && CGraphicsUtilities::IsInside(ViewToMap(point), map->GetVisibleContent(), false);
    SetThemeCursor(over ? (pressed ? kThemeClosedHandCursor : kThemeOpenHandCursor) : kThemePointingHandCursor);
}

// The move that enters the view is a move inside it too.
OSStatus CViewNavigator::DoEventControlTrackingAreaEntered(CCarbonEvent& event)
{
    OSStatus const status = CHIView::DoEventControlTrackingAreaEntered(event);
    DoEventControlTrackingAreaWithin(event);
    return status;
}

OSStatus CViewNavigator::DoEventControlTrackingAreaWithin(CCarbonEvent& event)
{
    LayOut();
    UpdateCursor(event.GetMouseLocation(), GetCurrentEventButtonState() != 0);
    return eventNotHandledErr;
}

OSStatus CViewNavigator::DoEventControlTrackingAreaExited(CCarbonEvent& event)
{
    OSStatus const status = CHIView::DoEventControlTrackingAreaExited(event);
    SetThemeCursor(kThemeArrowCursor);
    return status;
}

// The pressed point becomes the middle of the map view, as near as the image's edges allow.
bool CViewNavigator::TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase)
{
    CViewMap* map = GetMapView();
    if (!map)
        return false;
    LayOut();
    switch (phase) {
    case kMouseTrackingMouseUp:
        UpdateCursor(point, false);
        break;
    case kMouseTrackingMouseDown:
    case kMouseTrackingMouseDragged: {
        UpdateCursor(point, true);
        CGPoint const m = ViewToMap(point);
        CGSize const image = map->GetImageSize();
        CGSize const visible = map->GetVisibleContent().size;
        CGPoint origin { m.x - visible.width / 2, m.y - visible.height / 2 };
        origin.x = std::max<CGFloat>(0, std::min<CGFloat>(origin.x, image.width - visible.width));
        origin.y = std::max<CGFloat>(0, std::min<CGFloat>(origin.y, image.height - visible.height));
        map->SetImageOrigin(origin, true);
        SetNeedsDisplay(true, nullptr);
        break;
    }
    default:
        break;
    }
    return CHIView::TrackMouse(event, point, phase);
}

void CViewNavigator::DoMessage(UInt32 message, void*)
{
    if (message == CViewMap::kMsgOriginChanged || message == CViewMap::kMsgSizeChanged
        || message == CViewMap::kMsgZoomChanged)
        SetNeedsDisplay(true, nullptr);
}
