#include "docwindow/CViewMap.h"
#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "model/CMapCrop.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CLayerTile.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDeviceCircleOuter = 16.0f; // [px]
constexpr float kDeviceCircleInner = 2.0f; // [px]
constexpr float kDeviceTriangleBase = 4.0f; // [px] half the base
constexpr float kDeviceTriangleHeight = 8.0f; // [px]
constexpr float kDeviceInnerGap = 5.9259257f; // [px]
constexpr float kDeviceDirtyInset = 20.0f; // [px]
constexpr float kDegreesToRadians = 0.017453294f;
constexpr float kShadowLightBlur = 2.0f;
constexpr float kGraticuleWidth = 0.3f; // [px]
// Paths are cut to the visible part plus this margin: deep levels put the world's edges far
// beyond the fixed-point range of the drawing backend.
constexpr CGFloat kPathMargin = 16; // [px]

constexpr ColourRGBA kColourDeviceFill { 0, 0, 0, 0.1f };
constexpr ColourRGBA kColourDeviceFrame { 0, 0, 0, 0.3f };
constexpr ColourRGBA kColourBlack { 0, 0, 0, 1 };
constexpr ColourRGBA kShadowLightColour { 0, 0, 0, 0.5f };
constexpr ColourRGBA kColourCrop { 0, 0, 0, 0.4f };
constexpr ColourRGBA kColourGraticule { 0, 0, 0, 0.2f };
constexpr ColourRGBA kColourBackground { 0.8f, 0.8f, 0.8f, 1 };
constexpr ColourRGBA kColourFrame { 0, 0, 0, 1 };
constexpr ColourRGBA kColourFill { 1, 1, 1, 1 };

bool Meets(CGRect const& a, CGRect const& b) { return CGRectIntersectsRect(a, b); }

// What a marker about that point may cover, shadow and all.
CGRect DeviceMarkerArea(CGPoint const& p)
{
    CGRect const marker
        = CGRectMake(p.x - kDeviceCircleOuter, p.y - kDeviceCircleOuter, 2 * kDeviceCircleOuter, 2 * kDeviceCircleOuter);
    return CGRectInset(marker, -kDeviceDirtyInset, -kDeviceDirtyInset);
}

} // namespace

bool CViewMap::GetBackground(ColourRGBA& background, ColourRGBA& frame, ColourRGBA& fill)
{
    background = kColourBackground;
    frame = kColourFrame;
    fill = kColourFill;
    return true;
}

// Footprints first, so that the objects' labels win their places before the map's names.
void CViewMap::DrawUnderlay(CGContextRef context)
{
    UpdateFootprints();
    DrawTiles(context);
    if (IsGridShown()) {
        DrawLatitude(context);
        DrawLongitude(context);
    }
    // Names over the tiles and the grid; a printed page's tile has drawn its own.
    if (!IsPrinting())
        mRenderer.DrawLabels(context, GetVisibleContent());
}

// Printing draws the visible part as one piece of vectors. On screen every visible tile is
// asked for its image; only those in the part being redrawn are painted.
void CViewMap::DrawTiles(CGContextRef context)
{
    CGRect const visible = GetVisibleContent();
    if (IsPrinting()) {
        CLayerTile page(this, visible);
        page.Draw(context);
        return;
    }
    CGRect const clip = CGContextGetClipBoundingBox(context);
    for (CLayerTile* tile : GetTilesInRect(visible, true)) {
        if (Meets(tile->GetRect(), clip))
            tile->Draw(context);
        else if (!tile->HasImage())
            mRenderer.UpdateTile(tile);
    }
}

void CViewMap::DrawLatitude(CGContextRef context) { DrawGraticule(context, true); }

void CViewMap::DrawLongitude(CGContextRef context) { DrawGraticule(context, false); }

// Parallels run across the area at their projected y, meridians down it at their x.
void CViewMap::DrawGraticule(CGContextRef context, bool parallels)
{
    double const step = kGraticuleSteps[mZoomLevel];
    CGRect const area = CGRectIntersection(
        CGRectInset(GetVisibleContent(), -kPathMargin, -kPathMargin), CGRect { {}, GetImageSize() });
    if (step == 0 || CGRectIsEmpty(area))
        return;
    double const limit = parallels ? 90 : 180;
    CGContextSaveGState(context);
    CGContextSetLineWidth(context, kGraticuleWidth);
    CCoreGraphicsUtilities::SetStrokeColour(context, kColourGraticule);
    CGContextBeginPath(context);
    for (double degrees = -limit; degrees < limit; degrees += step) {
        CGPoint const p = Project(parallels ? CCoordinate(degrees, 0) : CCoordinate(0, degrees));
        CGFloat const at = parallels ? p.y : p.x;
        CGFloat const low = parallels ? CGRectGetMinY(area) : CGRectGetMinX(area);
        CGFloat const high = parallels ? CGRectGetMaxY(area) : CGRectGetMaxX(area);
        if (at < low || at > high)
            continue;
        if (parallels) {
            CGContextMoveToPoint(context, CGRectGetMinX(area), at);
            CGContextAddLineToPoint(context, CGRectGetMaxX(area), at);
        } else {
            CGContextMoveToPoint(context, at, CGRectGetMinY(area));
            CGContextAddLineToPoint(context, at, CGRectGetMaxY(area));
        }
    }
    CGContextStrokePath(context);
    CGContextRestoreGState(context);
}

// Objects that cannot be moved lie under those that can; each group keeps its z-order.
void CViewMap::DrawObjects(CGContextRef context)
{
    for (bool const movable : { false, true })
        for (CCanvasObject* object : GetObjectList()) {
            if (object->HasAttributes(CCanvasObject::kAttributeMovable) != movable || !ShouldRender(object))
                continue;
            CGContextSaveGState(context);
            object->Draw(context);
            if (object->IsSelected() && object->HasAttributes(CCanvasObject::kAttributeResizable))
                object->DrawGrowHandles(context);
            CGContextRestoreGState(context);
        }
}

// Receivers are live: a printed page shows none.
void CViewMap::DrawOverlay(CGContextRef context)
{
    if (!IsPrinting())
        DrawDevices(context);
    DrawCrop(context);
}

void CViewMap::UpdateDevices()
{
    mDevices.clear();
    CGRect area = CGRectZero;
    CCoordinateRect follow;
    CDevice* const tracking = mDocument ? mDocument->GetTrackDevice() : nullptr;
    bool followingTrack = false;
    std::vector<CDevice*> const none;
    for (CDevice* device : mDeviceManager ? mDeviceManager->GetDevices() : none) {
        if (!device->IsLocationKnown())
            continue;
        DeviceState state;
        state.position = device->GetPosition();
        state.heading = float(device->GetOrientation());
        mDevices.push_back(state);
        CGRect const marker = DeviceMarkerArea(Project(state.position));
        area = CGRectIsEmpty(area) ? marker : CGRectUnion(area, marker);
        // The receiver recording into this document leads; the others kept in view share.
        if (device == tracking) {
            follow = CCoordinateRect(state.position, state.position);
            followingTrack = true;
        } else if (device->KeepVisible() && !followingTrack) {
            follow.Union(state.position);
        }
    }
    if (!CGRectIsEmpty(mDeviceDirty))
        area = CGRectIsEmpty(area) ? mDeviceDirty : CGRectUnion(area, mDeviceDirty);
    if (!CGRectIsEmpty(area))
        InvalidateRect(area);
    if (!follow.IsEmpty())
        SetMapCentre(follow.GetCentre());
}

// A circle about the position with two dots and an arrow turned to the heading.
void CViewMap::DrawDevices(CGContextRef context)
{
    mDeviceDirty = CGRectZero;
    for (DeviceState const& device : mDevices) {
        CGPoint const p = Project(device.position);
        CGContextSaveGState(context);
        CGContextSetLineWidth(context, 1.0);
        CGContextTranslateCTM(context, p.x, p.y);
        CGContextRotateCTM(context, device.heading * kDegreesToRadians);
        CGContextTranslateCTM(context, -p.x, -p.y);
        CGContextBeginPath(context);
        CCoreGraphicsUtilities::AddCircle(context, p, kDeviceCircleOuter);
        CCoreGraphicsUtilities::SetFillColour(context, kColourDeviceFill);
        CCoreGraphicsUtilities::SetStrokeColour(context, kColourDeviceFrame);
        CGContextDrawPath(context, kCGPathFillStroke);
        CCoreGraphicsUtilities::SetShadowColour(context, kShadowLightColour, kShadowLightBlur, CGSizeZero);
        CCoreGraphicsUtilities::SetFillColour(context, kColourBlack);
        CGContextBeginPath(context);
        CCoreGraphicsUtilities::AddCircle(context, CGPointMake(p.x, p.y + 2), kDeviceCircleInner);
        CCoreGraphicsUtilities::AddCircle(context, CGPointMake(p.x, p.y + 2 + kDeviceInnerGap), kDeviceCircleInner);
        CGContextFillPath(context);
        CGFloat const base = p.y + 2 + kDeviceInnerGap - 1.75f * kDeviceInnerGap;
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, p.x - kDeviceTriangleBase, base);
        CGContextAddLineToPoint(context, p.x + kDeviceTriangleBase, base);
        CGContextAddLineToPoint(context, p.x, base - kDeviceTriangleHeight);
        CGContextClosePath(context);
        CGContextFillPath(context);
        CGContextRestoreGState(context);
        CGRect const area = DeviceMarkerArea(p);
        mDeviceDirty = CGRectIsEmpty(mDeviceDirty) ? area : CGRectUnion(mDeviceDirty, area);
    }
}

// Everything outside the crop area is shaded: the image and the crop in one path, filled by
// the even-odd rule, both cut to the visible part first.
void CViewMap::DrawCrop(CGContextRef context)
{
    CMapCrop const* crop = mDocument ? mDocument->GetCrop() : nullptr;
    if (!crop || crop->GetBounds().IsEmpty())
        return;
    CGRect const area = CGRectIntersection(
        CGRectInset(GetVisibleContent(), -kPathMargin, -kPathMargin), CGRect { {}, GetImageSize() });
    if (CGRectIsEmpty(area))
        return;
    CGRect const inside = CGRectIntersection(CGRectStandardize(Project(crop->GetBounds())), area);
    CGContextSaveGState(context);
    CCoreGraphicsUtilities::SetFillColour(context, kColourCrop);
    CGContextBeginPath(context);
    CGContextAddRect(context, area);
    if (!CGRectIsEmpty(inside))
        CGContextAddRect(context, inside);
    CGContextEOFillPath(context);
    CGContextRestoreGState(context);
}
