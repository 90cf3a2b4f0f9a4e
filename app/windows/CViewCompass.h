#pragma once

#include "widgets/CHIView.h"

class CMacWindow;
class CWindowController;

// The device window's compass: the base image, and over it the needle image turned
// clockwise by the heading (0 points the needle as drawn). Disabled, the base shows at
// half opacity without a needle. Class "com.tarnwick.hiview.compass". Main thread only.
class CViewCompass : public CHIView {
public:
    explicit CViewCompass(HIObjectRef view);
    ~CViewCompass() override;

    static OSStatus Register();
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);
    static CViewCompass* Find(CMacWindow* window, UInt32 signature, SInt32 id);
    static CViewCompass* Find(CWindowController* controller, UInt32 signature, SInt32 id);

    double GetAngle() const { return mAngle; }
    bool IsCompassEnabled() const { return mEnabled; }
    void SetAngle(double degrees);
    void SetEnabled(bool enabled);

    OSStatus DoEventControlDraw(CCarbonEvent& event) override;

private:
    double mAngle = 0; // [deg]
    bool mEnabled = true;
    CGImageRef mBase = nullptr; // owns
    CGImageRef mNeedle = nullptr; // owns
};
