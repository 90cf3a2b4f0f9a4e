#include "app/windows/CViewCompass.h"

#include "foundation/CFileUtilities.h"
#include "framework/CCarbonEvent.h"
#include "framework/CMacWindow.h"
#include "framework/CWindowController.h"
#include "quartz/HIViewDrawing.h"
#include "render/CCoreGraphicsUtilities.h"

#include <new>

namespace {

CGImageRef LoadCompassImage(char const* name)
{
    return CCoreGraphicsUtilities::LoadImage(
        CFileUtilities::GetBundleResource(CString(name), CString(), CString()), CGSize {});
}

} // namespace

CViewCompass::CViewCompass(HIObjectRef view)
    : CHIView(view)
    , mBase(LoadCompassImage("CompassBase.png"))
    , mNeedle(LoadCompassImage("CompassNeedle.png"))
{
    AddEvent(kEventClassControl, kEventControlDraw);
}

CViewCompass::~CViewCompass()
{
    if (mBase)
        CGImageRelease(mBase);
    if (mNeedle)
        CGImageRelease(mNeedle);
}

OSStatus CViewCompass::Register()
{
    return CHIObject::Register(CFSTR("com.apple.hiview"), CFSTR("com.tarnwick.hiview.compass"), Create);
}

OSStatus CViewCompass::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    auto* view = new (std::nothrow) CViewCompass(object);
    if (!view)
        return memFullErr;
    if (view->GetHandlerType() == kHandlerNone)
        view->InstallHandler(static_cast<ControlRef>(reinterpret_cast<HIViewRef>(object)));
    *outObject = view;
    return noErr;
}

CViewCompass* CViewCompass::Find(CMacWindow* window, UInt32 signature, SInt32 id)
{
    return window ? dynamic_cast<CViewCompass*>(window->FindView(signature, id)) : nullptr;
}

CViewCompass* CViewCompass::Find(CWindowController* controller, UInt32 signature, SInt32 id)
{
    return controller ? Find(controller->GetWindow(), signature, id) : nullptr;
}

void CViewCompass::SetAngle(double degrees)
{
    mAngle = degrees;
    SetNeedsDisplay(true, nullptr);
}

void CViewCompass::SetEnabled(bool enabled)
{
    mEnabled = enabled;
    SetNeedsDisplay(true, nullptr);
}

OSStatus CViewCompass::DoEventControlDraw(CCarbonEvent& event)
{
    CGContextRef context = event.GetCGContext();
    if (!context)
        return paramErr;
    CGRect const bounds = GetBounds();
    CGPoint const centre { CGRectGetMidX(bounds), CGRectGetMidY(bounds) };
    float const radians = float(mAngle) * 0.017453293f;
    CGContextSaveGState(context);
    if (!mEnabled)
        CGContextSetAlpha(context, 0.5);
    if (mBase)
        HIViewDrawCGImage(context, &bounds, mBase);
    if (mEnabled && mNeedle) {
        CCoreGraphicsUtilities::SetShadowColour(context, kShadowNormalColour, kShadowNormalBlur, CGSize { 0, 0 });
        CGContextTranslateCTM(context, centre.x, centre.y);
        CGContextRotateCTM(context, radians);
        CGContextTranslateCTM(context, -centre.x, -centre.y);
        HIViewDrawCGImage(context, &bounds, mNeedle);
    }
    CGContextRestoreGState(context);
    return noErr;
}
