#include "widgets/CCanvasView.h"

#include <utility>

#include "render/CCoreGraphicsUtilities.h"
#include "toolbox/HIViewCalls.h"
#include "widgets/CCanvasInvalidator.h"

#include <cmath>
#include <new>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr CGFloat kFocusRingInset = 3; // [px] the ring's width, so that it lies wholly inside

constexpr EventTypeSpec kCanvasEvents[] = {
    { kEventClassControl, kEventControlDraw },
    { kEventClassControl, kEventControlHitTest },
    { kEventClassControl, kEventControlTrack },
    { 0, 0 },
};

constexpr EventTypeSpec kApplicationKeyEvents[] = {
    { kEventClassKeyboard, kEventRawKeyDown },
    { kEventClassKeyboard, kEventRawKeyUp },
    { kEventClassKeyboard, kEventRawKeyModifiersChanged },
    { 0, 0 },
};

std::set<CCanvasView const*>& LiveCanvases()
{
    static std::set<CCanvasView const*> live; // weak: each canvas removes itself
    return live;
}

bool Matches(CCanvasObject const* object, UInt32 mask)
{
    return mask == CCanvasView::kMaskAll || object->HasAttributes(mask);
}

// Open rectangles: areas that only touch do not overlap.
bool Overlap(CGRect const& a, CGRect const& b)
{
    return a.origin.x < b.origin.x + b.size.width && b.origin.x < a.origin.x + a.size.width
        && a.origin.y < b.origin.y + b.size.height && b.origin.y < a.origin.y + a.size.height;
}

} // namespace

CCanvasView::CCanvasView(HIObjectRef view)
    : CScrollableView(view)
{
    LiveCanvases().insert(this);
    SetTool(&mArrowTool);
    mApplicationKeys.SetTargetEventHandler(this);
    CreateTrackingArea();
    AddEvents(kCanvasEvents);
    mApplicationKeys.InstallHandler(kApplicationKeyEvents);
}

CCanvasView::~CCanvasView()
{
    LiveCanvases().erase(this);
    delete mInvalidator;
    mInvalidator = nullptr;
    RemoveObjects(false);
    if (mTool)
        mTool->SetCanvas(nullptr);
}

OSStatus CCanvasView::Register() { return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("net.pellmar.CCanvasView"), Create); }

OSStatus CCanvasView::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    auto* canvas = new (std::nothrow) CCanvasView(object);
    if (!canvas)
        return memFullErr;
    if (canvas->GetHandlerType() == kHandlerNone)
        canvas->InstallHandler(static_cast<ControlRef>(reinterpret_cast<HIViewRef>(object)));
    *outObject = canvas;
    return noErr;
}

bool CCanvasView::IsLive(CCanvasView const* canvas) { return LiveCanvases().contains(canvas); }

void CCanvasView::Insert(ObjectList::iterator at, CCanvasObject* object)
{
    mIndex[object] = mObjects.insert(at, object);
}

void CCanvasView::Unlist(CCanvasObject* object)
{
    auto const found = mIndex.find(object);
    if (found == mIndex.end())
        return;
    mObjects.erase(found->second);
    mIndex.erase(found);
}

// An object is never listed twice (it would be deleted twice): adding a listed one moves it.
// A "before" object that is not listed appends.
void CCanvasView::AddObject(CCanvasObject* object, CCanvasObject* before)
{
    if (!object)
        return;
    Unlist(object);
    auto const at = before ? mIndex.find(before) : mIndex.end();
    Insert(at != mIndex.end() ? at->second : mObjects.end(), object);
    object->SetCanvas(this);
    SetNeedsDisplay(true, nullptr);
}

void CCanvasView::AddObjects(std::vector<CCanvasObject*> const& objects)
{
    DeferredRedraw const once(*this);
    mIndex.reserve(mIndex.size() + objects.size());
    for (CCanvasObject* object : objects) {
        if (!object)
            continue;
        Unlist(object);
        Insert(mObjects.end(), object);
        object->SetCanvas(this);
    }
    SetNeedsDisplay(true, nullptr);
}

void CCanvasView::RemoveObject(CCanvasObject* object)
{
    Unlist(object);
    SetNeedsDisplay(true, nullptr);
}

void CCanvasView::RemoveObjects(bool invalidate)
{
    ObjectList objects;
    objects.swap(mObjects);
    mIndex.clear();
    for (CCanvasObject* object : objects) {
        if (!invalidate)
            object->SetCanvas(nullptr);
        delete object;
    }
}

// A reference that is not listed counts as none given for mode 1 and as the top for mode 2:
// either way the object lands on top, never under everything by accident.
void CCanvasView::SetObjectZOrder(UInt32 mode, CCanvasObject* object, CCanvasObject* reference)
{
    if (!object)
        return;
    Unlist(object);
    ObjectList::iterator at = mObjects.end();
    if (reference) {
        auto const found = mIndex.find(reference);
        if (found != mIndex.end() && mode == kZOrderAbove)
            at = std::next(found->second);
        else if (found != mIndex.end() && mode == kZOrderBelow)
            at = found->second;
    } else if (mode == kZOrderBelow) {
        at = mObjects.begin();
    }
    Insert(at, object);
    if (object->GetCanvas() != this)
        object->SetCanvas(this);
    object->SetNeedsDisplay(true);
}

CCanvasView::ObjectList CCanvasView::GetObjects(ObjectFilter filter, UInt32 mask) const
{
    ObjectList found;
    if (mask == 0)
        return found;
    for (CCanvasObject* object : mObjects)
        if (Matches(object, mask) && (!filter || filter(object)))
            found.push_back(object);
    return found;
}

// From the top down, so the first hit ends the search.
CCanvasObject* CCanvasView::FindObject(CGPoint const& point, UInt32 mask, bool handles) const
{
    for (auto it = mObjects.rbegin(); it != mObjects.rend(); ++it) {
        CCanvasObject* object = *it;
        if (!Matches(object, mask) || !object->IsVisible())
            continue;
        ObjectHit const hit = object->IsHitBy(point);
        if (hit == kObjectHitBody || (handles && IsGrowBoxHit(hit)))
            return object;
    }
    return nullptr;
}

// Over a copy: selecting may reorder the list (a listener brings selected objects to the top).
void CCanvasView::SelectObjects(UInt32 mask)
{
    std::vector<CCanvasObject*> const objects(mObjects.begin(), mObjects.end());
    for (CCanvasObject* object : objects)
        if (Contains(object))
            object->SetSelected(mask != 0 && Matches(object, mask));
}

bool CCanvasView::FilterIsVisibleAndSelected(CCanvasObject const* object)
{
    return object->IsSelected() && object->IsVisible();
}

void CCanvasView::RemoveSelection()
{
    for (CCanvasObject* object : GetObjects(FilterIsVisibleAndSelected, kMaskAll))
        RemoveObject(object);
}

void CCanvasView::OpenSelection()
{
    for (CCanvasObject* object : GetObjects(FilterIsVisibleAndSelected, kMaskAll))
        if (Contains(object))
            object->ObjectOpened();
}

bool CCanvasView::ShouldRender(CCanvasObject* object)
{
    if (!object->IsVisible())
        return false;
    CGRect const area = mDrawing ? mDrawArea : GetVisibleContent();
    return Overlap(object->GetGrowBoxBounds(kObjectHitInvalidate), area);
}

CGPoint CCanvasView::ViewToImage(CGPoint const& point)
{
    CGRect const content = GetZoomContent();
    CGRect const bounds = GetBounds();
    double const zoom = GetImageZoom();
    CGPoint const origin = GetImageOrigin();
    return { (point.x - bounds.origin.x - content.origin.x) / zoom + origin.x,
        (point.y - bounds.origin.y - content.origin.y) / zoom + origin.y };
}

CGFloat CCanvasView::GetHairlineWidth(CGContextRef context)
{
    if (mHairlineWidth == 0 && context)
        mHairlineWidth = CCoreGraphicsUtilities::GetHairlineWidth(context);
    return mHairlineWidth;
}

void CCanvasView::SetImageZoom(ZoomType type, CGRect* rect, float zoom)
{
    CScrollableView::SetImageZoom(type, rect, zoom);
    mHairlineWidth = 0;
    std::vector<CCanvasObject*> const objects(mObjects.begin(), mObjects.end());
    for (CCanvasObject* object : objects)
        if (Contains(object))
            object->CanvasZoomed();
}

// While drawing, requests gather into one redraw right after the pass.
CCanvasView::DeferredRedraw::DeferredRedraw(CCanvasView& canvas)
    : mCanvas(canvas)
{
    ++mCanvas.mDeferringRedraw;
}

CCanvasView::DeferredRedraw::~DeferredRedraw()
{
    if (--mCanvas.mDeferringRedraw == 0 && std::exchange(mCanvas.mRedrawDeferred, false))
        mCanvas.SetNeedsDisplay(true, nullptr);
}

void CCanvasView::SetNeedsDisplay(bool needsDisplay, CGRect const* rect)
{
    if (needsDisplay && mDeferringRedraw > 0) {
        mRedrawDeferred = true;
        return;
    }
    if (!mDrawing) {
        CScrollableView::SetNeedsDisplay(needsDisplay, rect);
        return;
    }
    if (!mInvalidator)
        mInvalidator = new CCanvasInvalidator(this);
    mInvalidator->SetNeedsDisplay(rect ? *rect : CGRect { {}, GetImageSize() });
}

// 1. Background around a small image. 2. The image transform, the one hit testing uses.
// 3. The passes, culled to the part of the image being redrawn.
OSStatus CCanvasView::DoEventControlDraw(CCarbonEvent& event)
{
    CGContextRef context = event.GetCGContext();
    if (!context)
        return paramErr;
    CGRect const bounds = GetBounds();
    CGRect content = GetZoomContent();
    CGPoint const scroll = GetScrollInfo().GetScrollOrigin();
    double const zoom = GetImageZoom();
    CGContextSaveGState(context);
    mDrawing = true;
    mPrinting = event.GetParameterBool(kEventParamPrinting);
    ColourRGBA background, frame, fill;
    if (GetBackground(background, frame, fill)) {
        CGFloat const b[4] = { background.red, background.green, background.blue, background.alpha };
        CGFloat const f[4] = { frame.red, frame.green, frame.blue, frame.alpha };
        CGFloat const i[4] = { fill.red, fill.green, fill.blue, fill.alpha };
        if (mPrinting) {
            // A printed page may show more of the image than the view does, on any side: the
            // image is filled and clipped where it lies, not where the view's part of it begins.
            CGRect const image = CGRectOffset(content, -scroll.x, -scroll.y);
            CGContextSetRGBFillColor(context, i[0], i[1], i[2], i[3]);
            CGContextFillRect(context, image);
            CGContextClipToRect(context, image);
        } else {
            DrawZoomBackground(context, b, f, i, content);
        }
    }
    CGContextTranslateCTM(
        context, bounds.origin.x + content.origin.x - scroll.x, bounds.origin.y + content.origin.y - scroll.y);
    CGContextScaleCTM(context, zoom, zoom);
    mDrawArea = CGRectIntersection(GetVisibleContent(), CGContextGetClipBoundingBox(context));
    DrawUnderlay(context);
    DrawObjects(context);
    DrawOverlay(context);
    DrawTool(context);
    bool const printing = mPrinting;
    mDrawing = mPrinting = false;
    CGContextRestoreGState(context);
    // A ring just inside the visible part shows that the canvas takes the keys.
    if (!printing && GetFocusedPart() != kControlFocusNoPart && IsControlActive(GetHIViewRef())) {
        CGRect const ring = CGRectInset(bounds, kFocusRingInset, kFocusRingInset);
        HIThemeDrawFocusRect(&ring, true, context, kHIThemeOrientationNormal);
    }
    return noErr;
}

// A scroll moves the focus ring with the pixels: its band is drawn again where it belongs.
void CCanvasView::SetImageOrigin(CGPoint const& origin, bool notifyScroller)
{
    CGPoint const old = GetImageOrigin();
    CScrollableView::SetImageOrigin(origin, notifyScroller);
    if (GetFocusedPart() == kControlFocusNoPart || !IsControlActive(GetHIViewRef()))
        return;
    double const zoom = GetImageZoom();
    CGFloat const dx = std::ceil(zoom * old.x) - std::ceil(zoom * GetImageOrigin().x);
    CGFloat const dy = std::ceil(zoom * old.y) - std::ceil(zoom * GetImageOrigin().y);
    CGRect const b = GetBounds();
    CGFloat const band = 2 * kFocusRingInset + 1;
    HIRect const edges[] = { { b.origin, { band, b.size.height } },
        { { CGRectGetMaxX(b) - band, b.origin.y }, { band, b.size.height } }, { b.origin, { b.size.width, band } },
        { { b.origin.x, CGRectGetMaxY(b) - band }, { b.size.width, band } } };
    for (HIRect const& edge : edges) {
        HIRect const moved = CGRectOffset(edge, dx, dy);
        HIViewSetNeedsDisplayInRect(GetHIViewRef(), &edge, true);
        HIViewSetNeedsDisplayInRect(GetHIViewRef(), &moved, true);
    }
}

void CCanvasView::DrawUnderlay(CGContextRef) { }

void CCanvasView::DrawObjects(CGContextRef context)
{
    for (CCanvasObject* object : mObjects) {
        if (!ShouldRender(object))
            continue;
        CGContextSaveGState(context);
        object->Draw(context);
        if (object->IsSelected() && object->HasAttributes(CCanvasObject::kAttributeResizable))
            object->DrawGrowHandles(context);
        CGContextRestoreGState(context);
    }
}

void CCanvasView::DrawOverlay(CGContextRef) { }

void CCanvasView::DrawTool(CGContextRef context)
{
    if (!mTool)
        return;
    CGContextSaveGState(context);
    mTool->Draw(context);
    CGContextRestoreGState(context);
}

bool CCanvasView::GetBackground(ColourRGBA&, ColourRGBA&, ColourRGBA&) { return false; }
