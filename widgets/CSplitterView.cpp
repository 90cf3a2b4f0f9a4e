#include "widgets/CSplitterView.h"

#include "framework/CCursor.h"
#include "framework/CMacWindow.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGraphicsUtilities.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/View.h"
#include "widgets/CHIViewUtilities.h"
#include "widgets/CRootControl.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr EventTypeSpec kSplitterEvents[] = {
    { kEventClassControl, kEventControlTrack },
    { kEventClassControl, kEventControlDraw },
    { kEventClassControl, kEventControlHitTest },
    { kEventClassControl, kEventControlBoundsChanged },
    { 0, 0 },
};

constexpr ColourRGBA kDividerFrame { 0.33f, 0.33f, 0.33f, 1 };
constexpr ColourRGBA kDividerDot { 0.6f, 0.6f, 0.6f, 1 };
constexpr float kDotRadius = 1.5f;

// White at the start, grey 0.859 at the end.
void EvaluateGradient(void*, CGFloat const* in, CGFloat* out)
{
    CGFloat const t = in[0];
    CGFloat const grey = 0.859 * t + (1 - t);
    out[0] = out[1] = out[2] = grey;
    out[3] = 1;
}

} // namespace

CSplitterView::CSplitterView(CMacWindow* window, CGRect const& frame)
    : CHIView(CString(kClassID), &frame)
{
    Initialise();
    if (window && window->GetRootControl())
        window->GetRootControl()->AddSubHIView(this);
}

CSplitterView::CSplitterView(HIObjectRef object)
    : CHIView(object)
{
    Initialise();
}

void CSplitterView::Initialise()
{
    if (HIViewRef view = GetHIViewRef())
        HIViewChangeFeatures(view, kHIViewFeatureAllowsSubviews, 0);
    mColourSpace.Set(CGColorSpaceCreateDeviceRGB());
    CGFloat const domain[2] = { 0, 1 };
    CGFloat const range[8] = { 0, 1, 0, 1, 0, 1, 0, 1 };
    CGFunctionCallbacks const callbacks { 0, EvaluateGradient, nullptr };
    mGradientFunction.Set(CGFunctionCreate(nullptr, 1, domain, 4, range, &callbacks));
    CreateTrackingArea();
    AddEvents(kSplitterEvents);
}

OSStatus CSplitterView::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("com.pellmar.CSplitterView"), Create);
}

OSStatus CSplitterView::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    auto* splitter = new (std::nothrow) CSplitterView(object);
    if (!splitter)
        return memFullErr;
    *outObject = splitter;
    return noErr;
}

CHIView* CSplitterView::Live(Child const& child)
{
    tw::toolbox::View* view = child.ref.Get();
    return view && CHIViewUtilities::GetCHIView(view, false) == child.view ? child.view : nullptr;
}

void CSplitterView::SetView(Child& child, CHIView* view)
{
    child = { view, view ? view->GetHIViewRef() : nullptr };
    if (view && view->GetSuperView() != GetHIViewRef()) {
        // Held across the move: its old parent lets go of it before the splitter takes it.
        HIViewRef const ref = view->GetHIViewRef();
        bool const held = view->GetSuperView() != nullptr;
        if (held) {
            CFRetain(ref);
            HIViewRemoveFromSuperview(ref);
        }
        AddSubHIView(view);
        if (held)
            CFRelease(ref);
    }
    UpdateSplitter();
}

void CSplitterView::SetViewA(CHIView* view) { SetView(mViewA, view); }
void CSplitterView::SetViewB(CHIView* view) { SetView(mViewB, view); }
void CSplitterView::SetPrimaryView(CHIView* view) { mPrimary = { view, view ? view->GetHIViewRef() : nullptr }; }

// A ratio out of range would give a view a negative size, one that is no number an
// undefined conversion: the first is clamped, the second becomes the default.
void CSplitterView::SetRatio(float ratio)
{
    mRatio = std::isfinite(ratio) ? std::clamp(ratio, 0.0f, 1.0f) : kDefaultRatio;
    UpdateSplitter();
}

void CSplitterView::SetSideBySide(bool sideBySide)
{
    mSideBySide = sideBySide;
    mGradientSize = {};
    UpdateSplitter();
}

void CSplitterView::TogglePrimary()
{
    if (mRatio != 0 && mRatio != 1) {
        mKeptRatio = mRatio;
        mRatio = Live(mPrimary) && Live(mPrimary) == Live(mViewA) ? 1 : 0;
    } else {
        mRatio = mKeptRatio;
    }
    UpdateSplitter();
}

// Sizes are cut to whole points; a splitter thinner than its divider leaves A empty.
void CSplitterView::GetRects(CGRect* a, CGRect* b, CGRect* divider) const
{
    CGRect const bounds = GetBounds();
    double const x = bounds.origin.x, y = bounds.origin.y, w = bounds.size.width, h = bounds.size.height;
    double const t = mDividerThickness;
    CGRect ra {}, rb {}, rd {};
    if (mSideBySide) {
        double const span = std::trunc(std::max(0.0, (w - t) * mRatio));
        ra = { { x, y }, { span, h } };
        rd = { { x + span, y }, { t, h } };
        rb = { { x + span + t, y }, { std::max(0.0, w - t - span), h } };
    } else {
        double const span = std::trunc(std::max(0.0, (h - t) * mRatio));
        ra = { { x, y }, { w, span } };
        rd = { { x, y + span }, { w, t } };
        rb = { { x, y + span + t }, { w, std::max(0.0, h - t - span) } };
    }
    if (a)
        *a = ra;
    if (b)
        *b = rb;
    if (divider)
        *divider = rd;
}

void CSplitterView::UpdateSplitter()
{
    CGRect a {}, b {}, divider {};
    GetRects(&a, &b, &divider);
    if (!CGSizeEqualToSize(divider.size, mGradientSize))
        BuildGradient(divider);
    if (CHIView* viewA = Live(mViewA))
        viewA->SetFrame(a);
    if (CHIView* viewB = Live(mViewB))
        viewB->SetFrame(b);
    SetNeedsDisplay(true, nullptr);
}

// Built in the divider's own coordinates and drawn where the divider is, so it follows drags.
void CSplitterView::BuildGradient(CGRect const& divider)
{
    CGPoint const end = mSideBySide ? CGPoint { divider.size.width, 0 } : CGPoint { 0, divider.size.height };
    mGradient.Replace(CGShadingCreateAxial(mColourSpace, {}, end, mGradientFunction, false, false));
    mGradientSize = divider.size;
}

OSStatus CSplitterView::DoEventControlDraw(CCarbonEvent& event)
{
    CGContextRef context = event.GetCGContext();
    if (!context)
        return paramErr;
    CGRect divider {};
    GetRects(nullptr, nullptr, &divider);
    CGContextSaveGState(context);
    if (mDividerStyle == kDividerStyleGradient) {
        if (mGradient) {
            CGContextSaveGState(context);
            CGContextClipToRect(context, divider);
            CGContextTranslateCTM(context, divider.origin.x, divider.origin.y);
            CGContextDrawShading(context, mGradient);
            CGContextRestoreGState(context);
        }
        CCoreGraphicsUtilities::SetStrokeColour(context, kDividerFrame);
        CGContextStrokeRect(context, CGRectInset(divider, 0.5, 0.5));
    }
    CGContextBeginPath(context);
    CCoreGraphicsUtilities::AddCircle(context, { CGRectGetMidX(divider), CGRectGetMidY(divider) }, kDotRadius);
    CCoreGraphicsUtilities::SetStrokeColour(context, kDividerDot);
    CGContextStrokePath(context);
    CGContextRestoreGState(context);
    return noErr;
}

OSStatus CSplitterView::DoEventControlBoundsChanged(CCarbonEvent&)
{
    UpdateSplitter();
    return eventNotHandledErr;
}

OSStatus CSplitterView::DoEventControlTrackingAreaEntered(CCarbonEvent& event)
{
    OSStatus const status = CHIView::DoEventControlTrackingAreaEntered(event);
    CGRect divider {};
    GetRects(nullptr, nullptr, &divider);
    if (CGraphicsUtilities::IsInside(event.GetMouseLocation(), divider, false)) {
        CCursor cursor;
        cursor.SetCursor(mSideBySide ? kThemeResizeLeftRightCursor : kThemeResizeUpDownCursor);
    }
    return status;
}

OSStatus CSplitterView::DoEventControlTrackingAreaExited(CCarbonEvent& event)
{
    OSStatus const status = CHIView::DoEventControlTrackingAreaExited(event);
    CCursor cursor;
    cursor.SetCursor(kThemeArrowCursor);
    return status;
}

// The divider follows the mouse along the split, never leaving the bounds: the mouse is
// held within them by the grab offset on one side and the rest of the divider on the other.
bool CSplitterView::DragDivider(CGPoint const& point)
{
    CGRect const bounds = GetBounds();
    double const start = mSideBySide ? bounds.origin.x : bounds.origin.y;
    double const length = mSideBySide ? bounds.size.width : bounds.size.height;
    double const low = start + mGrabOffset, high = start + length - mRemainingLength;
    double const along = std::clamp(mSideBySide ? point.x : point.y, low, std::max(low, high));
    double const last = mSideBySide ? mLastPoint.x : mLastPoint.y;
    if (along != last && mUsableLength > 0) {
        mCandidateRatio = static_cast<float>(mRatio + (along - last) / mUsableLength);
        if (mCandidateRatio != mRatio)
            SetRatio(mCandidateRatio);
    }
    mLastPoint = mSideBySide ? CGPoint { along, point.y } : CGPoint { point.x, along };
    return true;
}

bool CSplitterView::TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase)
{
    CGRect divider {};
    GetRects(nullptr, nullptr, &divider);
    CGRect const bounds = GetBounds();
    switch (phase) {
    case kMouseTrackingMouseDown:
        if (!CGraphicsUtilities::IsInside(point, divider, false))
            return false;
        mUsableLength = (mSideBySide ? bounds.size.width : bounds.size.height) - mDividerThickness;
        mLastPoint = point;
        mGrabOffset = mSideBySide ? point.x - divider.origin.x : point.y - divider.origin.y;
        mRemainingLength = (mSideBySide ? divider.size.width : divider.size.height) - mGrabOffset;
        break;
    case kMouseTrackingMouseDragged:
        DragDivider(point);
        break;
    case kMouseTrackingMouseUp:
        if (Live(mPrimary) && event.GetMouseClickCount() > 1)
            TogglePrimary();
        break;
    default:
        break;
    }
    return CHIView::TrackMouse(event, point, phase);
}
