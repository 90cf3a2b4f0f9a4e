#include "widgets/CColourPicker.h"

#include "foundation/CTextUtilities.h"
#include "framework/CCarbonEvent.h"

#include <cmath>

namespace {

UInt32 Channel(float component) { return static_cast<UInt32>(std::trunc(component * 255.0f)) & 0xFF; }

} // namespace

CColourPicker::CColourPicker(HIObjectRef object)
    : CPushButton(object)
{
    CFStringRef prompt = CFBundleCopyLocalizedString(
        CFBundleGetMainBundle(), CFSTR("ColourPickerPrompt"), CString(kDefaultPrompt).GetCFString(), nullptr);
    mPrompt = prompt ? CString(prompt, true) : CString(kDefaultPrompt);
    SetCommandID(kCommandPick);
    AddEvent(kEventClassControl, kEventControlDraw);
    AddEvent(kEventClassCommand, kEventCommandProcess);
}

OSStatus CColourPicker::Register()
{
    return CHIObject::Register(CFSTR("com.apple.HIBevelButton"), CFSTR("com.pellmar.CColourPicker"), Create);
}

void CColourPicker::SetColour(ColourRGBA const& colour)
{
    mColour = colour;
    SetNeedsDisplay(true, nullptr);
}

long CColourPicker::GetCurrentValue() const
{
    UInt32 const packed = (Channel(mColour.red) << 24) | (Channel(mColour.green) << 16) | (Channel(mColour.blue) << 8)
        | Channel(mColour.alpha);
    return static_cast<long>(packed);
}

void CColourPicker::SetCurrentValue(long value)
{
    auto const packed = static_cast<UInt32>(value);
    mColour = { ((packed >> 24) & 0xFF) / 255.0f, ((packed >> 16) & 0xFF) / 255.0f, ((packed >> 8) & 0xFF) / 255.0f,
        (packed & 0xFF) / 255.0f };
    SetNeedsDisplay(true, nullptr);
}

OSStatus CColourPicker::PickColour()
{
    Str255 prompt {};
    CTextUtilities::CopyStringToStr255(mPrompt, prompt, kCFStringEncodingUTF8);
    RGBColor const in { static_cast<UInt16>(std::trunc(mColour.red * 65535.0f)),
        static_cast<UInt16>(std::trunc(mColour.green * 65535.0f)),
        static_cast<UInt16>(std::trunc(mColour.blue * 65535.0f)) };
    RGBColor out {};
    if (!GetColor(Point { -1, -1 }, prompt, &in, &out))
        return noErr;
    mColour.red = out.red / 65535.0f;
    mColour.green = out.green / 65535.0f;
    mColour.blue = out.blue / 65535.0f;
    SetNeedsDisplay(true, nullptr);
    BroadcastMessage(kMsgColourChanged, this);
    return noErr;
}

OSStatus CColourPicker::DoEventCommandProcess(CCarbonEvent& event)
{
    if (event.GetHICommand().commandID != kCommandPick)
        return eventNotHandledErr;
    return PickColour();
}

OSStatus CColourPicker::DoEventControlDraw(CCarbonEvent& event)
{
    OSStatus const status = CPushButton::DoEventControlDraw(event);
    if (status != noErr)
        return status;
    CGContextRef c = event.GetCGContext();
    if (!c)
        return paramErr;
    CGRect const swatch = CGRectInset(GetBounds(), 5, 5);
    CGFloat const x0 = CGRectGetMinX(swatch), y0 = CGRectGetMinY(swatch);
    CGFloat const x1 = CGRectGetMaxX(swatch), y1 = CGRectGetMaxY(swatch);
    CGContextSaveGState(c);
    if (!IsEnabled()) {
        CGContextSetAlpha(c, 0.5);
    } else if (mColour.alpha != 1.0f) {
        // Black and white halves under a see-through colour show how see-through it is.
        CGPoint const upper[3] = { { x0, y0 }, { x1, y0 }, { x0, y1 } };
        CGPoint const lower[3] = { { x0, y1 }, { x1, y1 }, { x1, y0 } };
        CGContextSetRGBFillColor(c, 0, 0, 0, 1);
        CGContextBeginPath(c);
        CGContextAddLines(c, upper, 3);
        CGContextClosePath(c);
        CGContextFillPath(c);
        CGContextSetRGBFillColor(c, 1, 1, 1, 1);
        CGContextBeginPath(c);
        CGContextAddLines(c, lower, 3);
        CGContextClosePath(c);
        CGContextFillPath(c);
    }
    CGContextSetRGBFillColor(c, mColour.red, mColour.green, mColour.blue, mColour.alpha);
    CGContextFillRect(c, swatch);
    CGContextRestoreGState(c);
    return noErr;
}
