#include "widgets/CPushButton.h"

#include "foundation/CFile.h"
#include "foundation/CFileUtilities.h"
#include "framework/CCarbonEvent.h"
#include "quartz/CGImage.h"
#include "quartz/HIViewDrawing.h"
#include "render/CImage.h"

#include <cmath>

CPushButton::CPushButton(HIObjectRef object)
    : CControl(object)
{
    InitialiseSelf();
}

CPushButton::CPushButton(WindowRef window, CRect const& bounds, CString const& title, ControlButtonContentInfo* icon,
    UInt16 alignment, bool bevel)
{
    ControlRef control = nullptr;
    if (bevel) {
        ControlButtonContentInfo textOnly;
        CreateBevelButtonControl(window, &bounds, title.GetCFString(), kControlBevelButtonSmallBevel,
            kControlBehaviorPushbutton, &textOnly, 0, 0, kControlBevelButtonMenuOnRight, &control);
    } else if (icon) {
        CreatePushButtonWithIconControl(window, &bounds, title.GetCFString(), icon, alignment, &control);
    } else {
        CreatePushButtonControl(window, &bounds, title.GetCFString(), &control);
    }
    SetControlRef(control);
    InitialiseSelf();
}

CPushButton::~CPushButton()
{
    if (mImage)
        CGImageRelease(mImage);
}

// The nib may name a bundle image ('pelp', 'img ') and ask for darkening ('pelp', 'bdrk').
void CPushButton::InitialiseSelf()
{
    CString name;
    if (GetControlProperty(kPropertyCreatorPelp, 'img ', name) == noErr && name.IsNotEmpty())
        SetContent(CFileUtilities::GetBundleResource(name, CString(), CString()));
    Boolean darken = false;
    if (::GetControlProperty(GetControlRef(), kPropertyCreatorPelp, 'bdrk', sizeof darken, nullptr, &darken) == noErr)
        mDarken = darken;
}

void CPushButton::SetDefault(bool isDefault)
{
    Boolean const flag = isDefault;
    SetControlData(kControlButtonPart, kControlPushButtonDefaultTag, sizeof flag, &flag);
}

void CPushButton::SetCancel(bool isCancel)
{
    Boolean const flag = isCancel;
    SetControlData(kControlButtonPart, kControlPushButtonCancelTag, sizeof flag, &flag);
}

void CPushButton::SetContent(CFile const& file)
{
    CImage image(0, 0, 32, 0);
    if (image.CreateFromFile(file) != noErr)
        return;
    CGImageRef loaded = image.GetAsCGImageRef(nullptr, false);
    if (!loaded)
        return;
    // A second image replaces the first; the draw event is registered once.
    if (mImage)
        CGImageRelease(mImage);
    else
        AddEvent(kEventClassControl, kEventControlDraw);
    mImage = loaded;
    ControlButtonContentInfo textOnly;
    SetControlData(kControlButtonPart, kControlBevelButtonContentTag, sizeof textOnly, &textOnly);
    SetNeedsDisplay(true, nullptr);
}

CGRect CPushButton::ImageRect() const
{
    CGRect const bounds = GetBounds();
    if (mImageInset != 0 || !mImage)
        return CGRectInset(bounds, mImageInset, mImageInset);
    CGSize const size { double(CGImageGetWidth(mImage)), double(CGImageGetHeight(mImage)) };
    return { { std::floor(CGRectGetMidX(bounds) - size.width / 2),
                 std::floor(CGRectGetMidY(bounds) - size.height / 2) },
        size };
}

OSStatus CPushButton::DoEventControlDraw(CCarbonEvent& event)
{
    OSStatus const status = CallNextHandler(event);
    if (status != noErr)
        return status;
    CGContextRef context = event.GetCGContext();
    if (!context)
        return paramErr;
    if (!mImage)
        return noErr;
    CGRect const rect = ImageRect();
    CGContextSaveGState(context);
    if (!IsEnabled())
        CGContextSetAlpha(context, 0.5);
    OSStatus const drawn = HIViewDrawCGImage(context, &rect, mImage);
    if (mDarken && IsControlHilited(GetControlRef())) {
        CGContextSetRGBFillColor(context, 0, 0, 0, 0.35);
        CGContextFillRect(context, rect);
    }
    CGContextRestoreGState(context);
    return drawn;
}
