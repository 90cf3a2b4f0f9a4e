#include "widgets/CBreadCrumbView.h"

#include "framework/CCarbonEvent.h"
#include "quartz/HITheme.h"
#include "quartz/HIViewDrawing.h"
#include "render/CCoreGraphicsUtilities.h"
#include "render/CGraphicsUtilities.h"
#include "render/CImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr EventTypeSpec kCrumbEvents[] = {
    { kEventClassControl, kEventControlTrack },
    { kEventClassControl, kEventControlDraw },
    { kEventClassControl, kEventControlHitTest },
    { 0, 0 },
};

constexpr UInt32 kSheetWidth = 63, kSheetHeight = 121;
constexpr double kFirstStep = 25, kLaterStep = 12; // [pt] between the copies of a crumb's body
constexpr ColourRGBA kTitleColour { 0, 0, 0, 1 };

} // namespace

// Once for the whole program: the sheet's big-endian words become host words.
void CBreadCrumbView::SwapImageData()
{
    if (kAquaImageSwapped)
        return;
    for (std::size_t i = 0; i < sizeof kAquaImageData; i += 4) {
        UInt32 const word = (UInt32(kAquaImageData[i]) << 24) | (UInt32(kAquaImageData[i + 1]) << 16)
            | (UInt32(kAquaImageData[i + 2]) << 8) | UInt32(kAquaImageData[i + 3]);
        std::memcpy(&kAquaImageData[i], &word, sizeof word);
    }
    kAquaImageSwapped = true;
}

CBreadCrumbView::CBreadCrumbView(HIObjectRef object)
    : CControl(object)
{
    CreateTrackingArea();
    AddEvents(kCrumbEvents);
}

OSStatus CBreadCrumbView::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("com.pellmar.CBreadCrumbView"), Create);
}

void CBreadCrumbView::MakeImages()
{
    if (mImagesMade)
        return;
    SwapImageData();
    CImage sheet(kSheetWidth, kSheetHeight, 32, 0);
    sheet.CreateFromData(kSheetWidth, kSheetHeight, CImage::kPixelFormatARGB, kSheetWidth * 4, kAquaImageData);
    CGRect const parts[12] = { kAquaHomeDisabled, kAquaHomeEnabled, kAquaHomeSelected, kAquaLeftDisabled,
        kAquaLeftEnabled, kAquaLeftSelected, kAquaMiddleDisabled, kAquaMiddleEnabled, kAquaMiddleSelected,
        kAquaRightDisabled, kAquaRightEnabled, kAquaRightSelected };
    for (int i = 0; i < 12; ++i)
        mImages[i].Set(sheet.GetAsCGImageRef(&parts[i], false));
    mImagesMade = true;
}

// The crumbs of an earlier path are gone, and with them any hover or press on them.
void CBreadCrumbView::SetCrumbs(CStringList const& titles)
{
    mCrumbs.clear();
    for (CString const& title : titles)
        mCrumbs.push_back({ title, {} });
    mHoverIndex = mPressedIndex = -1;
    SetMinimumValue(0);
    SetCurrentValue(0);
    SetMaximumValue(static_cast<long>(mCrumbs.size()) - 1);
    SetNeedsDisplay(true, nullptr);
}

CStringList CBreadCrumbView::GetCrumbs() const
{
    CStringList titles;
    for (CrumbInfo const& crumb : mCrumbs)
        titles.Append(crumb.title);
    return titles;
}

// A crumb not laid out yet has an empty frame, which holds no point.
SInt32 CBreadCrumbView::FindCrumb(CGPoint const& point) const
{
    for (std::size_t i = 0; i < mCrumbs.size(); ++i) {
        CGRect const& frame = mCrumbs[i].frame;
        if (frame.size.width > 0 && frame.size.height > 0 && CGraphicsUtilities::IsInside(point, frame, false))
            return static_cast<SInt32>(i);
    }
    return -1;
}

void CBreadCrumbView::CrumbSelected() { DispatchCommand(); }

CGSize CBreadCrumbView::MeasureText(CString const& title) const
{
    HIThemeTextInfo info;
    info.fontID = kThemeSmallSystemFont;
    info.state = IsEnabled() ? kThemeStateActive : kThemeStateInactive;
    CGFloat width = 0, height = 0;
    HIThemeGetTextDimensions(title.GetCFString(), 0, &info, &width, &height, nullptr);
    return { width, height };
}

void CBreadCrumbView::DrawText(CGContextRef context, CString const& title, CGRect const& rect) const
{
    HIThemeTextInfo info;
    info.fontID = kThemeSmallSystemFont;
    info.state = IsEnabled() ? kThemeStateActive : kThemeStateInactive;
    info.horizontalFlushness = kHIThemeTextHorizontalFlushLeft;
    HIThemeDrawTextBox(title.GetCFString(), &rect, &info, context, kHIThemeOrientationNormal);
}

// Each crumb is its title's width plus the padding, and starts inside the one before it.
void CBreadCrumbView::LayOut()
{
    CGRect const bounds = GetBounds();
    double x = bounds.origin.x;
    double height = 0;
    for (CrumbInfo& crumb : mCrumbs) {
        CGSize const text = MeasureText(crumb.title);
        height = std::max(height, text.height);
        crumb.frame = { { x, bounds.origin.y }, { text.width + kCrumbPadding, kCrumbHeight } };
        x += crumb.frame.size.width - kCrumbOverlap;
    }
    // Every title shares the offset that centres the tallest one.
    mTextOffset = std::floor((kCrumbHeight - height) / 2);
}

OSStatus CBreadCrumbView::DoEventControlDraw(CCarbonEvent& event)
{
    CGContextRef context = event.GetCGContext();
    if (!context)
        return paramErr;
    CGContextSaveGState(context);
    LayOut();
    MakeImages();
    int const disabled = IsEnabled() ? 0 : 1;
    for (std::size_t i = 0; i < mCrumbs.size(); ++i) {
        bool const selected = static_cast<SInt32>(i) == mPressedIndex && mPressedIndex == mHoverIndex;
        DrawCrumb(context, i, disabled ? 0 : selected ? 2 : 1);
    }
    CGContextRestoreGState(context);
    return noErr;
}

// The end first, at the right; then copies of the body leftwards, the last at the left edge.
void CBreadCrumbView::DrawCrumb(CGContextRef context, std::size_t index, int state)
{
    CrumbInfo const& crumb = mCrumbs[index];
    bool const first = index == 0, last = index + 1 == mCrumbs.size();
    Segment const body = first ? kSegmentLeft : kSegmentMiddle;
    Segment const end = first ? (last ? kSegmentHome : kSegmentLeft) : (last ? kSegmentRight : kSegmentMiddle);
    double const step = first ? kFirstStep : kLaterStep;
    CGImageRef const bodyImage = mImages[body * 3 + state];
    CGImageRef const endImage = mImages[end * 3 + state];
    CGRect const& frame = crumb.frame;
    double const left = frame.origin.x, top = frame.origin.y;
    if (endImage) {
        double const width = double(CGImageGetWidth(endImage));
        double const x = std::max(CGRectGetMaxX(frame) - width, left);
        CGRect const place { { x, top }, { width, double(CGImageGetHeight(endImage)) } };
        HIViewDrawCGImage(context, &place, endImage);
        double at = x;
        if (bodyImage) {
            CGSize const size { double(CGImageGetWidth(bodyImage)), double(CGImageGetHeight(bodyImage)) };
            do {
                at = std::max(at - step, left);
                CGRect const copy { { at, top }, size };
                HIViewDrawCGImage(context, &copy, bodyImage);
            } while (at > left);
        }
    }
    CGContextSaveGState(context);
    if (state == 0)
        CGContextSetAlpha(context, 0.5);
    CCoreGraphicsUtilities::SetFillColour(context, kTitleColour);
    CGRect const text { { left + kTitleInset, top + mTextOffset }, { frame.size.width - kTitleInset, kCrumbHeight } };
    DrawText(context, crumb.title, text);
    CGContextRestoreGState(context);
}

void CBreadCrumbView::SetHover(SInt32 index)
{
    if (index == mHoverIndex)
        return;
    mHoverIndex = index;
    SetNeedsDisplay(true, nullptr);
}

// The move that enters the view is a move inside it too.
OSStatus CBreadCrumbView::DoEventControlTrackingAreaEntered(CCarbonEvent& event)
{
    OSStatus const status = CControl::DoEventControlTrackingAreaEntered(event);
    SetHover(FindCrumb(event.GetMouseLocation()));
    return status;
}

OSStatus CBreadCrumbView::DoEventControlTrackingAreaWithin(CCarbonEvent& event)
{
    SetHover(FindCrumb(event.GetMouseLocation()));
    return eventNotHandledErr;
}

OSStatus CBreadCrumbView::DoEventControlTrackingAreaExited(CCarbonEvent& event)
{
    OSStatus const status = CControl::DoEventControlTrackingAreaExited(event);
    SetHover(-1);
    return status;
}

// The view chooses the crumb itself on release: the click ends with no part hit.
OSStatus CBreadCrumbView::DoEventControlTrack(CCarbonEvent& event)
{
    OSStatus const status = CHIView::DoEventControlTrack(event);
    ControlPartCode const none = kControlNoPart;
    event.SetParameter(kEventParamControlPart, typeControlPartCode, sizeof none, &none);
    return status;
}

// A crumb shows pressed only while the mouse is over the crumb that was pressed, and is
// chosen only when the mouse is released there.
bool CBreadCrumbView::TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase)
{
    SInt32 const under = FindCrumb(point);
    switch (phase) {
    case kMouseTrackingMouseDown:
        mHoverIndex = mPressedIndex = under;
        SetNeedsDisplay(true, nullptr);
        break;
    case kMouseTrackingMouseDragged:
        SetHover(under == mPressedIndex ? under : -1);
        break;
    case kMouseTrackingMouseUp: {
        SInt32 const pressed = mPressedIndex;
        mHoverIndex = under;
        mPressedIndex = -1;
        SetNeedsDisplay(true, nullptr);
        if (under >= 0 && under == pressed) {
            SetCurrentValue(under);
            CrumbSelected();
        }
        break;
    }
    case kMouseTrackingUserCancelled:
        mPressedIndex = -1;
        SetNeedsDisplay(true, nullptr);
        break;
    default:
        break;
    }
    return CHIView::TrackMouse(event, point, phase);
}
