#include "framework/CSplashScreen.h"

#include "framework/CMacWindow.h"
#include "framework/CWindowUtilities.h"
#include "quartz/HIViewDrawing.h"
#include "render/CCoreGraphicsUtilities.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/WindowCalls.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kFadeSteps = 20;

} // namespace

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
        // Above documents and palettes, below any alert the start may need to show.
        SetWindowGroup(window, GetWindowGroupOfClass(kMovableModalWindowClass));
        EventTypeSpec const draw[] = { { kEventClassControl, kEventControlDraw }, { 0, 0 } };
        InstallHandler(HIViewGetRoot(window), draw);
    }
}

namespace {

std::vector<CSplashScreen*>& Closing()
{
    static std::vector<CSplashScreen*> closing; // owns each until its fade ends
    return closing;
}

} // namespace

CSplashScreen::~CSplashScreen()
{
    std::erase(Closing(), this);
    if (mFadeTimer)
        RemoveEventLoopTimer(mFadeTimer);
    if (mCloseTimer)
        RemoveEventLoopTimer(mCloseTimer);
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
    mOpenedAt = GetCurrentEventTime();
    StartFade(seconds, 1);
}

void CSplashScreen::Close(double seconds)
{
    WindowRef const window = mWindow ? mWindow->GetWindowRef() : nullptr;
    EventTime const shown = mOpenedAt < 0 ? kReadingTime : GetCurrentEventTime() - mOpenedAt;
    if (!window || (shown >= kReadingTime && seconds <= 0)) {
        delete this;
        return;
    }
    // Still being read: the fade in goes on, and the fade out starts when the reading time is over.
    Closing().push_back(this);
    mCloseSeconds = std::max(seconds, 0.0);
    EventTime const wait = std::max(0.0, kReadingTime - shown);
    InstallEventLoopTimer(GetMainEventLoop(), wait, mCloseSeconds / kFadeSteps, CloseStep, this, &mCloseTimer);
}

void CSplashScreen::FinishClosing()
{
    while (!Closing().empty())
        delete Closing().back();
}

void CSplashScreen::StartFade(double seconds, float toAlpha)
{
    WindowRef const window = mWindow->GetWindowRef();
    if (seconds <= 0) {
        SetWindowAlpha(window, toAlpha);
        return;
    }
    CGFloat alpha = 0;
    GetWindowAlpha(window, &alpha);
    mFadeStart = GetCurrentEventTime();
    mFadeSeconds = seconds;
    mFadeFrom = static_cast<float>(alpha);
    mFadeTo = toAlpha;
    InstallEventLoopTimer(GetMainEventLoop(), seconds / kFadeSteps, seconds / kFadeSteps, FadeStep, this, &mFadeTimer);
}

// One step of the fade in, from the loop's timer: the alpha follows the time since it began.
void CSplashScreen::FadeStep(EventLoopTimerRef, void* userData)
{
    auto* splash = static_cast<CSplashScreen*>(userData);
    double const done = std::clamp((GetCurrentEventTime() - splash->mFadeStart) / splash->mFadeSeconds, 0.0, 1.0);
    SetWindowAlpha(splash->mWindow->GetWindowRef(),
        splash->mFadeFrom + static_cast<float>(done) * (splash->mFadeTo - splash->mFadeFrom));
    if (done < 1.0)
        return;
    RemoveEventLoopTimer(splash->mFadeTimer);
    splash->mFadeTimer = nullptr;
}

// One step of the fade out, which ends in deleting the splash screen.
void CSplashScreen::CloseStep(EventLoopTimerRef, void* userData)
{
    auto* splash = static_cast<CSplashScreen*>(userData);
    WindowRef const window = splash->mWindow->GetWindowRef();
    if (splash->mFadeTimer) { // the fade in is over, wherever it was
        RemoveEventLoopTimer(splash->mFadeTimer);
        splash->mFadeTimer = nullptr;
    }
    if (splash->mCloseStart < 0) {
        CGFloat alpha = 1;
        GetWindowAlpha(window, &alpha);
        splash->mCloseStart = GetCurrentEventTime();
        splash->mCloseFrom = static_cast<float>(alpha);
    }
    double const done = splash->mCloseSeconds > 0
        ? std::clamp((GetCurrentEventTime() - splash->mCloseStart) / splash->mCloseSeconds, 0.0, 1.0)
        : 1.0;
    SetWindowAlpha(window, splash->mCloseFrom * static_cast<float>(1.0 - done));
    if (done >= 1.0)
        delete splash;
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
