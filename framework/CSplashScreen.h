#pragma once

// The borderless start-up window: a background image and one status line,
// faded in and out. It redraws at once when its status changes, since the
// event loop may not run yet. Close deletes the splash screen.

#include "foundation/CString.h"
#include "foundation/ColourRGBA.h"
#include "framework/CCarbonEventHandler.h"
#include "quartz/HITheme.h"

class CMacWindow;

class CSplashScreen : public CCarbonEventHandler {
public:
    static constexpr WindowAttributes kSplashAttributes = 0x862A0000;

    CSplashScreen();
    ~CSplashScreen() override;

    void Open(double seconds); // [s] of fading in
    // Fades out, then deletes this object: the caller's pointer is void afterwards.
    void Close(double seconds);

    void SetBackground(CGImage* image);
    void SetStatus(CString const& status);
    void SetStatusRect(CGRect const& rect);
    void Invalidate();

    CMacWindow* GetWindow() const { return mWindow; }
    CGRect GetImageFrame() const { return mImageFrame; }
    CGRect GetStatusRect() const { return mStatusRect; }

    OSStatus DoEventControlDraw(CCarbonEvent& event) override;

private:
    CMacWindow* mWindow = nullptr; // owns
    CGImageRef mBackground = nullptr; // retained
    CGRect mImageFrame {};
    CString mStatus;
    CGRect mStatusRect {};
    HIThemeTextInfo mTextStyle;
    ColourRGBA mTextColour { 1, 1, 1, 1 };
};
