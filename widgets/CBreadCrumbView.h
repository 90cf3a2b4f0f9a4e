#pragma once

#include "foundation/CStringList.h"
#include "foundation/StCFRef.h"
#include "widgets/CControl.h"

#include <vector>

// One crumb of a path: its title, and where the last draw put it (view coordinates).
struct CrumbInfo {
    CString title;
    CGRect frame {};
};

// A path shown as a row of joined segments, one per title, drawn from the segment
// sheet compiled into the program. The crumb under the mouse is tracked, and
// releasing over the crumb that was pressed makes its index the value and calls
// CrumbSelected (by default the control's command goes out). Main thread only.
class CBreadCrumbView : public CControl {
public:
    static constexpr char const* kClassID = "com.pellmar.CBreadCrumbView";
    static constexpr UInt32 kStyleSegmented = 1;
    static constexpr double kCrumbHeight = 20; // [pt]
    static constexpr double kCrumbPadding = 28; // [pt] added to the title's width
    static constexpr double kCrumbOverlap = 7; // [pt] each crumb starts this far into the one before
    static constexpr double kTitleInset = 15; // [pt] from the crumb's left edge
    // The sheet's parts (x, y, width, height).
    static constexpr CGRect kAquaHomeDisabled { { 0, 0 }, { 38, 20 } };
    static constexpr CGRect kAquaHomeEnabled { { 0, 20 }, { 38, 20 } };
    static constexpr CGRect kAquaHomeSelected { { 0, 40 }, { 38, 20 } };
    static constexpr CGRect kAquaLeftDisabled { { 0, 61 }, { 38, 20 } };
    static constexpr CGRect kAquaLeftEnabled { { 0, 81 }, { 38, 20 } };
    static constexpr CGRect kAquaLeftSelected { { 0, 101 }, { 38, 20 } };
    static constexpr CGRect kAquaMiddleDisabled { { 39, 0 }, { 24, 20 } };
    static constexpr CGRect kAquaMiddleEnabled { { 39, 20 }, { 24, 20 } };
    static constexpr CGRect kAquaMiddleSelected { { 39, 40 }, { 24, 20 } };
    static constexpr CGRect kAquaRightDisabled { { 39, 61 }, { 24, 20 } };
    static constexpr CGRect kAquaRightEnabled { { 39, 81 }, { 24, 20 } };
    static constexpr CGRect kAquaRightSelected { { 39, 101 }, { 24, 20 } };

    explicit CBreadCrumbView(HIObjectRef object);

    // One crumb per title; the value range becomes the crumbs' indexes, the value 0.
    void SetCrumbs(CStringList const& titles);
    CStringList GetCrumbs() const;
    std::vector<CrumbInfo> const& GetCrumbInfo() const { return mCrumbs; }
    // The first crumb whose frame holds the point; -1 for none (also before the first draw).
    SInt32 FindCrumb(CGPoint const& point) const;
    SInt32 GetHoverCrumb() const { return mHoverIndex; }
    SInt32 GetPressedCrumb() const { return mPressedIndex; }
    // The chosen crumb is the value; by default the control's command goes out.
    virtual void CrumbSelected();
    CGSize MeasureText(CString const& title) const;
    void DrawText(CGContextRef context, CString const& title, CGRect const& rect) const;

    OSStatus DoEventControlDraw(CCarbonEvent& event) override;
    OSStatus DoEventControlHitTest(CCarbonEvent& event) override { return CHIView::DoEventControlHitTest(event); }
    OSStatus DoEventControlTrack(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaEntered(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaWithin(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaExited(CCarbonEvent& event) override;
    bool TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase) override;

    static CBreadCrumbView* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CBreadCrumbView>(window, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject)
    {
        return Make<CBreadCrumbView>(object, outObject);
    }
    static OSStatus Register();

    // The sheet: 63 x 121 ARGB words in big-endian byte order until the first view converts them.
    alignas(4) static UInt8 kAquaImageData[63 * 121 * 4];

private:
    enum Segment { kSegmentHome = 0, kSegmentLeft = 1, kSegmentMiddle = 2, kSegmentRight = 3 };

    static void SwapImageData();
    void MakeImages();
    void LayOut();
    void DrawCrumb(CGContextRef context, std::size_t index, int state);
    void SetHover(SInt32 index);

    UInt32 mStyle = kStyleSegmented;
    std::vector<CrumbInfo> mCrumbs;
    SInt32 mHoverIndex = -1;
    SInt32 mPressedIndex = -1;
    double mTextOffset = 0; // [pt] of the titles below the crumbs' top, from the last layout
    bool mImagesMade = false;
    StCFRef<CGImageRef> mImages[12]; // per segment kind: disabled, enabled, selected
    static inline bool kAquaImageSwapped = false;
};
