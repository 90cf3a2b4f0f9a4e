#pragma once

#include "foundation/StCFRef.h"
#include "widgets/CControl.h"

// One half of a back/forward pair ('left' or 'righ'), drawn scaled from the
// button sheet compiled into the program; a press released inside sends the
// control's command.
class CHistoryButton : public CControl {
public:
    static constexpr char const* kClassID = "com.pellmar.CHistoryButton";
    static constexpr OSType kSideLeft = 'left';
    static constexpr OSType kSideRight = 'righ';
    // The sheet's parts (x, y, width, height).
    static constexpr CGRect kImageLeftDisabled { { 0, 0 }, { 23, 20 } };
    static constexpr CGRect kImageLeftEnabled { { 0, 20 }, { 23, 20 } };
    static constexpr CGRect kImageLeftSelected { { 0, 40 }, { 23, 20 } };
    static constexpr CGRect kImageRightDisabled { { 23, 0 }, { 23, 20 } };
    static constexpr CGRect kImageRightEnabled { { 23, 20 }, { 23, 20 } };
    static constexpr CGRect kImageRightSelected { { 23, 40 }, { 23, 20 } };

    explicit CHistoryButton(HIObjectRef object);

    OSType GetSide() const { return mSide; }
    bool IsPressed() const { return mPressed; }

    OSStatus InitialiseObject(CCarbonEvent& event) override;
    OSStatus DoEventControlDraw(CCarbonEvent& event) override;
    OSStatus DoEventControlHitTest(CCarbonEvent& event) override { return CHIView::DoEventControlHitTest(event); }
    OSStatus DoEventControlTrack(CCarbonEvent& event) override;
    bool TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase) override;

    static CHistoryButton* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CHistoryButton>(window, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject)
    {
        return Make<CHistoryButton>(object, outObject);
    }
    static OSStatus Register();

    // The sheet: ARGB words in big-endian byte order until the first button converts them.
    alignas(4) static UInt8 kImageData[46 * 60 * 4];

private:
    static void SwapImageData();

    OSType mSide = kSideLeft;
    bool mPressed = false;
    StCFRef<CGImageRef> mImages[6]; // left disabled, enabled, selected; right disabled, enabled, selected
    static inline bool kImageSwapped = false;
};
