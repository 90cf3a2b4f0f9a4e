#include "docwindow/CViewOverlay.h"

#include "docwindow/CViewMap.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "docwindow/IOverlayDocument.h"
#include "foundation/CProcessUtilities.h"
#include "framework/CApplication.h"
#include "framework/CCarbonEvent.h"
#include "framework/CDragUtilities.h"
#include "framework/CMacWindow.h"
#include "mapdata/CMapManager.h"
#include "mapdata/CMapUnitText.h"
#include "render/CCoreGraphicsUtilities.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/MouseTracking.h"
#include "widgets/CRootControl.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr EventTypeSpec kOverlayEvents[] = {
    { kEventClassControl, kEventControlDraw },
    { kEventClassControl, kEventControlDragEnter },
    { kEventClassControl, kEventControlDragWithin },
    { kEventClassControl, kEventControlDragLeave },
    { kEventClassControl, kEventControlDragReceive },
    { 0, 0 },
};

constexpr char const* kOverlayPrefUnits = "MapUnits";
constexpr double kOverlayScaleInset = 8; // [px] from the left edge
constexpr double kOverlayScaleBottom = 21; // [px] from the bottom edge to the bar's top
constexpr double kOverlayScaleHeight = 13;
constexpr double kOverlayBezelAbove = 30; // [px] between the bezel and the bottom edge
constexpr double kOverlayImperialLongest = 160; // [px] a longer imperial bar is halved

CGRect OverlayCentreIn(CGRect shape, CGRect const& into)
{
    shape.origin.x = into.origin.x + (into.size.width - shape.size.width) / 2;
    shape.origin.y = into.origin.y + (into.size.height - shape.size.height) / 2;
    return shape;
}

CGRect OverlayBezelIn(CGRect const& bounds)
{
    CGRect bezel = CViewOverlay::kZoomBoundsBezel;
    bezel.origin.x = bounds.origin.x + (bounds.size.width - bezel.size.width) / 2;
    bezel.origin.y = bounds.origin.y + bounds.size.height - kOverlayBezelAbove - bezel.size.height;
    return bezel;
}

} // namespace

CViewOverlay::CViewOverlay(HIObjectRef view)
    : CHIView(view)
{
    InitialiseSelf();
}

CViewOverlay::CViewOverlay(CMacWindow* window, CGRect const& frame)
    : CHIView(CString(kClassID), &frame)
{
    InitialiseSelf();
    if (window && window->GetRootControl())
        window->GetRootControl()->AddSubHIView(this);
}

CViewOverlay::~CViewOverlay() = default;

// Events, and the unit preference the bar follows.
void CViewOverlay::InitialiseSelf()
{
    AddEvents(kOverlayEvents);
    CApplication* app = CApplication::GetApp();
    if (CBKeyValueStore* prefs = app ? app->GetPreferences().GetBinding() : nullptr)
        prefs->ObserveKeyPathValue(kOverlayPrefUnits, this);
}

OSStatus CViewOverlay::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("com.tarnwick.hiview.overlay"), Create);
}

OSStatus CViewOverlay::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    auto* view = new (std::nothrow) CViewOverlay(object);
    if (!view)
        return memFullErr;
    if (view->GetHandlerType() == kHandlerNone)
        view->InstallHandler(static_cast<ControlRef>(reinterpret_cast<HIViewRef>(object)));
    *outObject = view;
    return noErr;
}

void CViewOverlay::SetDocument(IOverlayDocument* document)
{
    mDocument = document;
    CViewMap* map = document ? document->GetMapView() : nullptr;
    if (map != mMapView) {
        if (mMapView)
            mMapView->RemoveListener(this);
        mMapView = map;
        if (mMapView)
            mMapView->AddListener(this);
    }
    ScaleChanged();
}

void CViewOverlay::SetZoomVisible(bool visible)
{
    mZoomVisible = visible;
    SetNeedsDisplay(true);
    InstallTimer(0, kFadeInterval);
}

void CViewOverlay::SetZoomLevel(unsigned long level)
{
    mZoomLevel = std::min<unsigned long>(level, kZoomLevels - 1);
    SetNeedsDisplay(true);
}

// One fade step; the timer goes once the slider is fully shown or gone.
void CViewOverlay::DoTimer()
{
    float const step = mZoomVisible ? kFadeStep : -kFadeStep;
    mZoomAlpha = std::clamp(mZoomAlpha + step, 0.0f, 1.0f);
    SetNeedsDisplay(true);
    if (mZoomAlpha == 0 || mZoomAlpha == 1)
        RemoveTimer();
}

void CViewOverlay::DoMessage(UInt32 message, void* parameter)
{
    if (message == CMsgBroadcaster::kMsgBroadcasterDied && parameter == mMapView) {
        mMapView = nullptr;
        ScaleChanged();
    } else if (message == CViewMap::kMsgOriginChanged || message == CViewMap::kMsgSizeChanged) {
        ScaleChanged();
    }
}

void CViewOverlay::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (keyPath == CBString(kOverlayPrefUnits))
        ScaleChanged();
}

void CViewOverlay::ScaleChanged()
{
    mScaleDirty = true;
    SetNeedsDisplay(true);
}

bool CViewOverlay::IsImperial() const
{
    SInt32 const stored = mMapView ? mMapView->GetMapManager()->GetUserUnits() : 0;
    MapUnits const units = CMapUnitText::ResolveStoredUnits(stored);
    return units == kMapUnitsImperial || units == kMapUnitsMiles || units == kMapUnitsFeet;
}

CGRect CViewOverlay::GetScaleBounds()
{
    UpdateScale();
    return mScaleBounds;
}

CString CViewOverlay::GetScaleText()
{
    UpdateScale();
    return mScaleText;
}

// A span of more than half the world would be measured the short way round: the middle half
// of the image at most is measured, and the whole world at the equator.
double CViewOverlay::GetMetresPerPixel(CViewMap* map)
{
    if (!map)
        return 0;
    CGRect const visible = map->GetVisibleContent();
    double const imageWidth = map->GetImageSize().width;
    double const width = visible.size.width;
    if (!(width > 0) || !(imageWidth > 0) || !std::isfinite(width))
        return 0;
    double const span = std::min(width, imageWidth / 2);
    CCoordinate from, to;
    if (width >= imageWidth) {
        from = CCoordinate(0, -90);
        to = CCoordinate(0, 90);
    } else {
        double const middle = visible.origin.x + width / 2;
        double const y = visible.origin.y + visible.size.height / 2;
        from = map->Unproject(CGPoint { middle - span / 2, y });
        to = map->Unproject(CGPoint { middle + span / 2, y });
    }
    double const metres = map->GetMapManager()->GetDistance(from, to) / span;
    return std::isfinite(metres) && metres > 0 ? metres : 0;
}

// The first round distance whose bar is at least 80 pixels; an imperial bar is then
// halved while 160 pixels or longer, and stands for a half, a quarter... of the distance.
CViewOverlay::Scale CViewOverlay::ChooseScale(double perPixel, bool imperial)
{
    Scale scale;
    if (!std::isfinite(perPixel) || !(perPixel > 0))
        perPixel = 1; // one metre or one mile: nothing measurable
    double value = 0;
    for (unsigned long v : kMapScales) {
        value = double(v);
        scale.length = std::trunc(value / perPixel);
        if (scale.length >= kScaleMinimum)
            break;
    }
    if (!imperial) {
        scale.metres = value;
        return scale;
    }
    double parts = 1;
    while (scale.length >= kOverlayImperialLongest) {
        scale.length = std::trunc(scale.length / 2);
        parts *= 2;
    }
    // The distance text rounds: the exact distance reads as the round number of miles or feet.
    scale.metres = value * kMetresPerMile / parts;
    return scale;
}

// The bar keeps to the bottom edge, wherever a resize has moved it.
void CViewOverlay::UpdateScale()
{
    mScaleBounds.origin.y = GetBounds().size.height - kOverlayScaleBottom;
    if (!mScaleDirty)
        return;
    bool const imperial = IsImperial();
    double const metres = GetMetresPerPixel(mMapView);
    double perPixel = metres > 0 ? metres : 1;
    if (imperial && metres > 0)
        perPixel = metres * kMilesPerMetre;
    Scale const scale = ChooseScale(perPixel, imperial);
    CGRect const bounds = GetBounds();
    mScaleBounds = CGRectMake(
        kOverlayScaleInset, bounds.size.height - kOverlayScaleBottom, std::floor(scale.length), kOverlayScaleHeight);
    MapUnits const units = imperial ? kMapUnitsImperial : kMapUnitsMetric;
    mScaleText = mMapView ? mMapView->GetMapManager()->GetDistanceString(scale.metres, units)
                          : CMapUnitText::GetDistanceString(scale.metres, units);
    mScaleDirty = false;
}

CGRect CViewOverlay::GetZoomShape(CGRect const& bounds, CGRect const& shape, unsigned long level)
{
    CGRect const bezel = OverlayBezelIn(bounds);
    CGRect const bar = OverlayCentreIn(kZoomBoundsSlider, bezel);
    CGRect result = OverlayCentreIn(shape, bezel);
    double const n = double(level);
    result.origin.x = bar.origin.x + bar.size.width / (kZoomLevels - 1) * n - shape.size.width / 2;
    result.origin.y -= 0.75 * n;
    result.size.height += 1.5 * n;
    return result;
}

OSStatus CViewOverlay::DoEventControlDraw(CCarbonEvent& event)
{
    CGContextRef context = event.GetCGContext();
    if (!context)
        return paramErr;
    DrawScale(context);
    DrawHighlight(context);
    DrawZoom(context);
    return noErr;
}

void CViewOverlay::DrawScale(CGContextRef context)
{
    UpdateScale();
    CGRect const r = mScaleBounds;
    double const x = r.origin.x, y = r.origin.y, w = r.size.width, h = r.size.height;
    CGContextSaveGState(context);
    CGContextSetShouldAntialias(context, false);
    for (int pass = 0; pass < 2; ++pass) {
        double const bottom = pass == 0 ? y + h + 1 : y + h;
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, x, bottom);
        CGContextAddLineToPoint(context, x, y);
        CGContextAddLineToPoint(context, x + w, y);
        CGContextAddLineToPoint(context, x + w, bottom);
        CGContextSetLineWidth(context, pass == 0 ? 4 : 2);
        CCoreGraphicsUtilities::SetStrokeColour(context, pass == 0 ? kColourScaleFrame : kColourScaleFill);
        CGContextStrokePath(context);
    }
    CGContextSetShouldAntialias(context, true);
    CCoreGraphicsUtilities::SetFillColour(context, kColourScaleFill);
    CCoreGraphicsUtilities::SetShadowColour(context, kColourScaleFrame, kShadowNormalBlur, CGSize { 0, 0 });
    HIThemeTextInfo info;
    info.fontID = kThemeMiniSystemFont;
    info.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    info.verticalFlushness = kHIThemeTextVerticalFlushBottom;
    CCoreGraphicsUtilities::DrawString(
        context, mScaleText, CGRectMake(x, y + 1, w, h), info, false, kHIThemeOrientationNormal);
    CGContextRestoreGState(context);
}

void CViewOverlay::DrawHighlight(CGContextRef context)
{
    if (!mDropHighlight)
        return;
    CGContextSaveGState(context);
    CGRect bounds = GetBounds();
    bounds = CGRectInset(bounds, 1, 1);
    HIThemeSetStroke(kThemeBrushDragHilite, nullptr, context, kHIThemeOrientationNormal);
    CGContextSetLineWidth(context, 2);
    CGContextStrokeRect(context, bounds);
    CGContextRestoreGState(context);
}

void CViewOverlay::DrawZoom(CGContextRef context)
{
    if (!mZoomVisible && mZoomAlpha == 0)
        return;
    CGRect const bounds = GetBounds();
    CGRect const bezel = OverlayBezelIn(bounds);
    CGRect const bar = OverlayCentreIn(kZoomBoundsSlider, bezel);
    CGContextSaveGState(context);
    CGContextSetAlpha(context, mZoomAlpha);
    CGContextSetLineWidth(context, 1);
    CGContextBeginPath(context);
    CCoreGraphicsUtilities::AddRoundRect(context, bezel, 10);
    CCoreGraphicsUtilities::SetFillColour(context, kColourZoomBezel);
    CCoreGraphicsUtilities::SetStrokeColour(context, kColourZoomBezelBorder);
    CGContextDrawPath(context, kCGPathFillStroke);

    CGContextSetLineWidth(context, 1.5);
    CGContextBeginPath(context);
    for (unsigned long level = 0; level < kZoomLevels; ++level)
        CCoreGraphicsUtilities::AddRoundRect(context, GetZoomShape(bounds, kZoomBoundsTick, level), 3);
    CGContextAddRect(context, bar);
    CCoreGraphicsUtilities::SetStrokeColour(context, kColourZoomSliderBorder);
    CCoreGraphicsUtilities::SetFillColour(context, kColourZoomSlider);
    CGContextDrawPath(context, kCGPathFillStroke);

    CGContextBeginPath(context);
    CCoreGraphicsUtilities::AddRoundRect(context, GetZoomShape(bounds, kZoomBoundsThumb, mZoomLevel), 5);
    CCoreGraphicsUtilities::SetFillColour(context, kColourZoomSliderThumb);
    CGContextDrawPath(context, kCGPathFillStroke);
    CGContextRestoreGState(context);
}

void CViewOverlay::SetHighlight(bool highlight)
{
    if (highlight == mDropHighlight)
        return;
    mDropHighlight = highlight;
    SetNeedsDisplay(true);
}

// Taken when something in it can be imported, or anything while Command and Option are held;
// never while a sheet is open.
OSStatus CViewOverlay::DoEventControlDragEnter(CCarbonEvent& event)
{
    bool accept = false;
    HIViewRef view = GetHIViewRef();
    if (mDocument && view && IsControlEnabled(view) && !mDocument->HasSheet()) {
        DragRef drag = event.GetDragRef();
        for (CFile const& file : CDragUtilities::GetDragFiles(drag))
            accept = accept || mDocument->CanImport(file);
        for (CString const& link : CDragUtilities::GetDragURLs(drag))
            accept = accept || mDocument->CanImport(link);
        UInt32 const both = cmdKey | optionKey;
        accept = accept || (GetCurrentEventKeyModifiers() & both) == both;
    }
    event.SetDragAccept(accept);
    return noErr;
}

OSStatus CViewOverlay::DoEventControlDragWithin(CCarbonEvent&)
{
    SetHighlight(true);
    mCursor.SetCursor(kThemeCopyArrowCursor);
    return eventNotHandledErr;
}

OSStatus CViewOverlay::DoEventControlDragLeave(CCarbonEvent&)
{
    SetHighlight(false);
    mCursor.SetCursor(kThemeArrowCursor);
    return eventNotHandledErr;
}

// Files first, then links: a link opens a sheet, which must come after the files' reports.
OSStatus CViewOverlay::DoEventControlDragReceive(CCarbonEvent& event)
{
    SetHighlight(false);
    if (!mDocument || mDocument->HasSheet())
        return dragNotAcceptedErr;
    DragRef drag = event.GetDragRef();
    CFileList const files = CDragUtilities::GetDragFiles(drag);
    CStringList const links = CDragUtilities::GetDragURLs(drag);
    IOverlayDocument* document = mDocument;
    for (CFile const& file : files)
        document->ImportData(file);
    for (CString const& link : links)
        document->ImportData(link);
    CProcessUtilities::SetFrontProcess(0, 0);
    return noErr;
}
