#include "widgets/CHistoryButton.h"

#include "framework/CCarbonEvent.h"
#include "quartz/HIViewDrawing.h"
#include "render/CImage.h"

#include <cstring>

namespace {

constexpr EventTypeSpec kHistoryEvents[] = {
    { kEventClassControl, kEventControlTrack },
    { kEventClassControl, kEventControlDraw },
    { kEventClassControl, kEventControlHitTest },
    { 0, 0 },
};

constexpr UInt32 kSheetWidth = 46, kSheetHeight = 60;

} // namespace

// Once for the whole program: the sheet's big-endian words become host words.
void CHistoryButton::SwapImageData()
{
    if (kImageSwapped)
        return;
    for (std::size_t i = 0; i < sizeof kImageData; i += 4) {
        UInt32 const word = (UInt32(kImageData[i]) << 24) | (UInt32(kImageData[i + 1]) << 16)
            | (UInt32(kImageData[i + 2]) << 8) | UInt32(kImageData[i + 3]);
        std::memcpy(&kImageData[i], &word, sizeof word);
    }
    kImageSwapped = true;
}

CHistoryButton::CHistoryButton(HIObjectRef object)
    : CControl(object)
{
    AddEvents(kHistoryEvents);
    CreateTrackingArea();
    SwapImageData();
    CImage sheet(kSheetWidth, kSheetHeight, 32, 0);
    sheet.CreateFromData(kSheetWidth, kSheetHeight, CImage::kPixelFormatARGB, kSheetWidth * 4, kImageData);
    CGRect const parts[6] = { kImageLeftDisabled, kImageLeftEnabled, kImageLeftSelected, kImageRightDisabled,
        kImageRightEnabled, kImageRightSelected };
    for (int i = 0; i < 6; ++i)
        mImages[i].Set(sheet.GetAsCGImageRef(&parts[i], false));
}

OSStatus CHistoryButton::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("com.pellmar.CHistoryButton"), Create);
}

OSStatus CHistoryButton::InitialiseObject(CCarbonEvent& event)
{
    OSType side = 0;
    if (event.GetParameter('orin', typeType, sizeof side, &side) == noErr && side != 0) {
        mSide = side;
        SetNeedsDisplay(true, nullptr);
    }
    return CControl::InitialiseObject(event);
}

OSStatus CHistoryButton::DoEventControlDraw(CCarbonEvent& event)
{
    CGContextRef context = event.GetCGContext();
    if (!context || (mSide != kSideLeft && mSide != kSideRight))
        return paramErr;
    int const state = !IsEnabled() ? 0 : mPressed ? 2 : 1;
    CGImageRef image = mImages[(mSide == kSideLeft ? 0 : 3) + state];
    CGRect const bounds = GetBounds();
    if (image)
        HIViewDrawCGImage(context, &bounds, image);
    return noErr;
}

// The button sends its command itself on release: the click ends with no part hit.
OSStatus CHistoryButton::DoEventControlTrack(CCarbonEvent& event)
{
    OSStatus const status = CHIView::DoEventControlTrack(event);
    ControlPartCode const none = kControlNoPart;
    event.SetParameter(kEventParamControlPart, typeControlPartCode, sizeof none, &none);
    return status;
}

bool CHistoryButton::TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase)
{
    switch (phase) {
    case kMouseTrackingMouseDown:
        mPressed = true;
        SetNeedsDisplay(true, nullptr);
        break;
    case kMouseTrackingMouseDragged:
        mPressed = CGRectContainsPoint(GetBounds(), point);
        SetNeedsDisplay(true, nullptr);
        break;
    case kMouseTrackingMouseUp:
        if (mPressed)
            DispatchCommand();
        SetNeedsDisplay(true, nullptr);
        mPressed = false;
        break;
    default:
        break;
    }
    return CHIView::TrackMouse(event, point, phase);
}
