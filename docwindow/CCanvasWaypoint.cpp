#include "docwindow/CCanvasWaypoint.h"

#include "docwindow/CViewMap.h"
#include "mapdata/CMapManager.h"
#include "model/CMapWaypoint.h"
#include "quartz/CGBitmapContext.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGraphicsUtilities.h"

#include <cmath>

namespace {

constexpr ColourRGBA kColourWaypointHaloFill { 0, 0, 1, 0.15f };
constexpr ColourRGBA kColourWaypointHaloFrame { 0, 0, 0, 0.3f };
constexpr ColourRGBA kColourWaypointNameFill { 0, 0, 0, 1 };
constexpr float kWaypointOutlineWidth = 3.75f; // [px] the white outline of a label

HIThemeTextInfo WaypointFont()
{
    HIThemeTextInfo font;
    font.state = kThemeStateActive;
    font.fontID = kThemeLabelFont;
    font.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    font.verticalFlushness = kHIThemeTextVerticalFlushTop;
    return font;
}

} // namespace

CCanvasWaypoint::CCanvasWaypoint()
    : CCanvasMapObject(kBoundsNotifyCentre, kAttributeResizable)
{
    SetLabel(CString());
}

CCanvasWaypoint::~CCanvasWaypoint() { CGImageRelease(mLabelPicture); }

void CCanvasWaypoint::SetLabel(CString const& label)
{
    if (label == mLabel)
        return;
    mLabel = label;
    mLabelSize.reset();
    CGImageRelease(mLabelPicture);
    mLabelPicture = nullptr;
}

// Measured once per text, and only when its place is sought: the footprint pass asks on
// every drawing, but of thousands of waypoints in view few have room for a label.
CGSize CCanvasWaypoint::GetLabelSize() const
{
    if (!mLabelSize) {
        HIThemeTextInfo font = WaypointFont();
        CGFloat width = 0, height = 0;
        HIThemeGetTextDimensions(mLabel.GetCFString(), 0, &font, &width, &height, nullptr);
        mLabelSize = CGSize { width, height };
    }
    return *mLabelSize;
}

bool CCanvasWaypoint::IsVisible() const
{
    return CCanvasMapObject::IsVisible() && !CGraphicsUtilities::IsEmpty(mSymbolRect);
}

ObjectHit CCanvasWaypoint::IsHitBy(CGPoint const& point)
{
    ObjectHit const hit = CCanvasMapObject::IsHitBy(point);
    if (hit != kObjectHitBody)
        return hit;
    bool const inside = (!CGraphicsUtilities::IsEmpty(mSymbolRect) && CGraphicsUtilities::IsInside(point, mSymbolRect, false))
        || (!CGraphicsUtilities::IsEmpty(mLabelRect) && CGraphicsUtilities::IsInside(point, mLabelRect, false));
    return inside ? kObjectHitBody : kObjectHitNone;
}

void CCanvasWaypoint::Draw(CGContextRef context)
{
    auto const* waypoint = static_cast<CMapWaypoint const*>(GetObject());
    CViewMap const* view = GetMapView();
    if (!waypoint || CGraphicsUtilities::IsEmpty(mSymbolRect))
        return;
    CGImageRef const image = view ? view->GetMapManager()->GetSymbolImage(waypoint->GetSymbol(), mSymbolSize) : nullptr;
    if (mHalo) {
        CGPoint const centre { CGRectGetMidX(mSymbolRect), CGRectGetMidY(mSymbolRect) };
        CGContextBeginPath(context);
        CCoreGraphicsUtilities::AddCircle(context, centre, float(mSymbolSize));
        CCoreGraphicsUtilities::SetFillColour(context, kColourWaypointHaloFill);
        CCoreGraphicsUtilities::SetStrokeColour(context, kColourWaypointHaloFrame);
        CGContextDrawPath(context, kCGPathFillStroke);
    }
    if (!mLabel.IsEmpty() && !CGraphicsUtilities::IsEmpty(mLabelRect))
        DrawLabel(context);
    // On whole pixels the picture is copied rather than resampled.
    if (image)
        CGContextDrawImage(context,
            CGRectMake(std::round(mSymbolRect.origin.x), std::round(mSymbolRect.origin.y), mSymbolRect.size.width,
                mSymbolRect.size.height),
            image);
}

// Selected: white text on the selection mark; otherwise black text in a white outline, kept
// as a picture so that a redraw of many waypoints sets no text.
void CCanvasWaypoint::DrawLabel(CGContextRef context) const
{
    CViewMap const* view = GetMapView();
    bool const printing = !view || view->IsPrinting();
    if (!IsSelected() && !printing) {
        if (CGImageRef picture = const_cast<CCanvasWaypoint*>(this)->GetLabelPicture()) {
            // The picture's pixels were set in a context whose y runs up, as the view's does not.
            CGContextSaveGState(context);
            CGContextTranslateCTM(context, mLabelRect.origin.x, mLabelRect.origin.y + mLabelRect.size.height);
            CGContextScaleCTM(context, 1, -1);
            CGContextDrawImage(context, CGRectMake(0, 0, mLabelRect.size.width, mLabelRect.size.height), picture);
            CGContextRestoreGState(context);
            return;
        }
    }
    if (IsSelected())
        DrawSelection(context, mLabelRect);
    DrawLabelText(context, mLabelRect);
}

void CCanvasWaypoint::DrawLabelText(CGContextRef context, CGRect const& rect) const
{
    HIThemeTextInfo const font = WaypointFont();
    if (!IsSelected()) {
        CGContextSaveGState(context);
        CGContextSetLineWidth(context, kWaypointOutlineWidth);
        CCoreGraphicsUtilities::SetFillColour(context, kColourSelectionFill);
        CCoreGraphicsUtilities::SetStrokeColour(context, kColourSelectionFill);
        CGContextSetTextDrawingMode(context, kCGTextStroke);
        CCoreGraphicsUtilities::DrawString(context, mLabel, rect, font, true, kHIThemeOrientationNormal);
        CGContextRestoreGState(context);
    }
    CCoreGraphicsUtilities::SetFillColour(context, IsSelected() ? kColourSelectionFill : kColourWaypointNameFill);
    CCoreGraphicsUtilities::DrawString(context, mLabel, rect, font, true, kHIThemeOrientationNormal);
}

// The unselected label in its outline, drawn once into pixels of the label's size.
CGImageRef CCanvasWaypoint::GetLabelPicture()
{
    if (mLabelPicture || CGraphicsUtilities::IsEmpty(mLabelRect))
        return mLabelPicture;
    auto const width = std::size_t(mLabelRect.size.width), height = std::size_t(mLabelRect.size.height);
    CGContextRef bitmap = CGBitmapContextCreate(
        nullptr, width, height, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    if (!bitmap)
        return nullptr;
    // Theme text comes out upright in a context of either orientation.
    DrawLabelText(bitmap, CGRectMake(0, 0, CGFloat(width), CGFloat(height)));
    mLabelPicture = CGBitmapContextCreateImage(bitmap);
    CGContextRelease(bitmap);
    return mLabelPicture;
}

// 1. A large waypoint always shows 32 pixels. 2. Others: 32 pixels at near levels when free,
// else 16 when free. 3. The label below, except at the farthest level. 4. Bounds and offset.
void CCanvasWaypoint::ReserveFootprint()
{
    CViewMap const* view = GetMapView();
    unsigned long const zoom = view ? view->GetMapZoom() : 0;
    SymbolSize size = kSymbolSizeSmall;
    CGRect symbol = CGRectZero;
    if (mLarge) {
        size = kSymbolSizeLarge;
        symbol = GetSquare(size);
        AddFootprint(symbol);
    } else {
        if (zoom >= kLargeSymbolZoom && AddFootprint(GetSquare(kSymbolSizeLarge))) {
            size = kSymbolSizeLarge;
            symbol = GetSquare(size);
        }
        if (CGraphicsUtilities::IsEmpty(symbol) && AddFootprint(GetSquare(kSymbolSizeSmall)))
            symbol = GetSquare(kSymbolSizeSmall);
    }
    CGRect label = CGRectZero;
    if (zoom != 0) {
        CGRect const wanted = GetLabelRect(symbol);
        if (AddFootprint(wanted))
            label = wanted;
    }
    SetPlaces(size, symbol, label);
}

void CCanvasWaypoint::PlaceSymbol(SymbolSize size) { SetPlaces(size, GetSquare(size), CGRectZero); }

void CCanvasWaypoint::SetPlaces(SymbolSize size, CGRect const& symbol, CGRect const& label)
{
    mSymbolSize = size;
    mSymbolRect = symbol;
    mLabelRect = label;
    CGRect const bounds = CGraphicsUtilities::UnionRect(symbol, label);
    SetBounds(bounds);
    mCentreOffset = { CGRectGetMidX(bounds) - mPosition.x, CGRectGetMidY(bounds) - mPosition.y };
}

CGRect CCanvasWaypoint::GetSquare(SymbolSize size) const
{
    double const half = double(size) / 2;
    return CGRectMake(mPosition.x - half, mPosition.y - half, size, size);
}

CGRect CCanvasWaypoint::GetLabelRect(CGRect const& symbolRect) const
{
    if (CGraphicsUtilities::IsEmpty(symbolRect))
        return CGRectZero;
    CGSize const size = GetLabelSize();
    CGFloat const width = size.width, height = size.height;
    CGRect rect = CGRectMake(CGRectGetMidX(symbolRect) - (width + kLabelPadding) / 2,
        CGRectGetMaxY(symbolRect) + kLabelGap, width + kLabelPadding, height);
    CGraphicsUtilities::NormaliseRect(rect, true);
    return rect;
}

// The bounds hold the label too: the position is the bounds' centre less the offset.
void CCanvasWaypoint::CentreModified(CCoordinate const&)
{
    auto* waypoint = static_cast<CMapWaypoint*>(GetObject());
    if (!waypoint)
        return;
    CGPoint const centre = GetCentre();
    waypoint->SetPosition(Unproject(CGPointMake(centre.x - mCentreOffset.x, centre.y - mCentreOffset.y)));
}

void CCanvasWaypoint::ObjectModified()
{
    auto const* waypoint = static_cast<CMapWaypoint const*>(GetObject());
    if (!waypoint)
        return;
    CGPoint const old = mPosition;
    mPosition = Project(waypoint->GetPosition());
    mHalo = (waypoint->GetAttributes() & kMapObjectAttrHalo) != 0;
    mLarge = (waypoint->GetAttributes() & kMapObjectAttrLarge) != 0;
    switch (waypoint->GetOptions()) {
    case kWaypointShowName:
        SetLabel(waypoint->GetName());
        break;
    case kWaypointShowSymbol:
        SetLabel(CString());
        break;
    case kWaypointShowComment:
        SetLabel(waypoint->GetDescription());
        break;
    default:
        break;
    }
    if (mHalo)
        SetAttributes(0, kAttributeSelectable | kAttributeMovable);
    // Until the next footprint pass the places move along, so the area to redraw is known.
    CGPoint const shift { mPosition.x - old.x, mPosition.y - old.y };
    if (!CGraphicsUtilities::IsEmpty(mSymbolRect))
        SetPlaces(mSymbolSize, CGRectOffset(mSymbolRect, shift.x, shift.y),
            CGraphicsUtilities::IsEmpty(mLabelRect) ? CGRectZero : CGRectOffset(mLabelRect, shift.x, shift.y));
}
