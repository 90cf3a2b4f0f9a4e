#pragma once

// The borderless start-up window: a background image and one status line,
// faded in and out. It redraws at once when its status changes, since the
// event loop may not run yet. The fades run from the event loop, so start-up
// goes on while they do (nothing is drawn on screen before the loop first runs,
// when the menu bar is there); Close keeps the picture up until it has been
// shown long enough to be read, fades it out and deletes the splash screen.

#include "foundation/CString.h"
#include "foundation/ColourRGBA.h"
#include "framework/CCarbonEventHandler.h"
#include "events/CarbonEvents.h"
#include "quartz/HITheme.h"

class CMacWindow;

class CSplashScreen : public CCarbonEventHandler {
public:
    static constexpr WindowAttributes kSplashAttributes = 0x862A0000;
    static constexpr double kReadingTime = 1.5; // [s] shown at least, from the start of the fade in

    CSplashScreen();
    ~CSplashScreen() override;

    void Open(double seconds); // [s] of fading in
    // Fades out (after the reading time), then deletes this object: the caller's
    // pointer is void at once.
    void Close(double seconds);
    // Deletes the splash screens still closing, as the program ends.
    static void FinishClosing();

    void SetBackground(CGImage* image);
    void SetStatus(CString const& status);
    void SetStatusRect(CGRect const& rect);
    void Invalidate();

    CMacWindow* GetWindow() const { return mWindow; }
    CGRect GetImageFrame() const { return mImageFrame; }
    CGRect GetStatusRect() const { return mStatusRect; }

    OSStatus DoEventControlDraw(CCarbonEvent& event) override;

private:
    static void FadeStep(EventLoopTimerRef timer, void* userData);
    static void CloseStep(EventLoopTimerRef timer, void* userData);
    void StartFade(double seconds, float toAlpha);

    CMacWindow* mWindow = nullptr; // owns
    EventLoopTimerRef mFadeTimer = nullptr; // owns: the fade in
    EventLoopTimerRef mCloseTimer = nullptr; // owns: the wait and the fade out
    EventTime mOpenedAt = -1;
    EventTime mFadeStart = 0;
    double mFadeSeconds = 0;
    float mFadeFrom = 0;
    float mFadeTo = 0;
    EventTime mCloseStart = -1;
    double mCloseSeconds = 0;
    float mCloseFrom = 1;
    CGImageRef mBackground = nullptr; // retained
    CGRect mImageFrame {};
    CString mStatus;
    CGRect mStatusRect {};
    HIThemeTextInfo mTextStyle;
    ColourRGBA mTextColour { 1, 1, 1, 1 };
};
