#include "framework/CSplashScreen.h"

#include "framework/CMacWindow.h"
#include "framework/CWindowUtilities.h"
#include "quartz/HIViewDrawing.h"
#include "render/CCoreGraphicsUtilities.h"
#include "toolbox/HIViewCalls.h"

CSplashScreen::CSplashScreen()
{
    mTextStyle.version = 0;
    mTextStyle.state = kThemeStateActive;
    mTextStyle.fontID = kThemeApplicationFont;
    mTextStyle.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    mTextStyle.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    mTextStyle.options = kHIThemeTextBoxOptionNone;
    mTextStyle.truncationPosition = kHIThemeTextTruncationStart;
    mTextStyle.truncationMaxLines = 0;
    mWindow = new CMacWindow(kOverlayWindowClass, kSplashAttributes, CRect(), 0);
    if (WindowRef const window = mWindow->GetWindowRef()) {
        EventTypeSpec const draw[] = { { kEventClassControl, kEventControlDraw }, { 0, 0 } };
        InstallHandler(HIViewGetRoot(window), draw);
    }
}

CSplashScreen::~CSplashScreen()
{
    RemoveHandler();
    delete mWindow;
    if (mBackground)
        CGImageRelease(mBackground);
}

void CSplashScreen::SetBackground(CGImage* image)
{
    if (image)
        CGImageRetain(image);
    if (mBackground)
        CGImageRelease(mBackground);
    mBackground = image;
    mImageFrame = image ? CGRect { { 0, 0 }, { CGFloat(CGImageGetWidth(image)), CGFloat(CGImageGetHeight(image)) } }
                        : CGRect {};
    mStatusRect = mImageFrame;
    Invalidate();
}

void CSplashScreen::SetStatus(CString const& status)
{
    mStatus = status;
    Invalidate();
}

void CSplashScreen::SetStatusRect(CGRect const& rect)
{
    mStatusRect = rect;
    Invalidate();
}

void CSplashScreen::Invalidate()
{
    WindowRef const window = mWindow ? mWindow->GetWindowRef() : nullptr;
    if (!window)
        return;
    HIViewRef const root = HIViewGetRoot(window);
    HIViewSetNeedsDisplay(root, true);
    HIViewRender(root);
}

void CSplashScreen::Open(double seconds)
{
    WindowRef const window = mWindow ? mWindow->GetWindowRef() : nullptr;
    if (!window)
        return;
    Rect const content { 0, 0, SInt16(mImageFrame.size.height), SInt16(mImageFrame.size.width) };
    SetWindowBounds(window, kWindowContentRgn, &content);
    RepositionWindow(window, nullptr, kWindowAlertPositionOnMainScreen);
    SetWindowAlpha(window, 0);
    ShowWindow(window);
    Invalidate();
    CWindowUtilities::FadeWindow(window, seconds, 0, 1);
}

void CSplashScreen::Close(double seconds)
{
    if (WindowRef const window = mWindow ? mWindow->GetWindowRef() : nullptr)
        CWindowUtilities::FadeWindow(window, seconds, 1, 0);
    delete this;
}

OSStatus CSplashScreen::DoEventControlDraw(CCarbonEvent& event)
{
    CGContextRef const context = event.GetCGContext();
    if (!context)
        return paramErr;
    CGContextClearRect(context, mImageFrame);
    if (mBackground)
        HIViewDrawCGImage(context, &mImageFrame, mBackground);
    if (mStatus.IsNotEmpty()) {
        CCoreGraphicsUtilities::SetFillColour(context, mTextColour);
        CCoreGraphicsUtilities::DrawString(context, mStatus, mStatusRect, mTextStyle, true, kHIThemeOrientationNormal);
    }
    return noErr;
}
