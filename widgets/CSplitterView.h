#pragma once

#include "foundation/StCFRef.h"
#include "toolbox/HIObject.h"
#include "widgets/CHIView.h"

class CMacWindow;

// Lays out two views, A and B, on either side of a divider that the user drags:
// side by side (A left) or stacked (A above). The ratio is A's share of the length
// left after the divider. A double click on the divider shows the primary view
// alone and another brings the split back. The children belong to the view tree.
// Main thread only.
class CSplitterView : public CHIView {
public:
    static constexpr char const* kClassID = "com.pellmar.CSplitterView";
    static constexpr float kDefaultRatio = 0.3f; // what a ratio that is no number reads as
    static constexpr UInt32 kDividerStyleGradient = 1;

    // A new splitter in the window's content view.
    CSplitterView(CMacWindow* window, CGRect const& frame);
    explicit CSplitterView(HIObjectRef object);

    static OSStatus Register();
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);

    // The view moves from its super view into the splitter.
    void SetViewA(CHIView* view);
    void SetViewB(CHIView* view);
    CHIView* GetViewA() const { return Live(mViewA); }
    CHIView* GetViewB() const { return Live(mViewB); }
    // The view a double click shows alone; one of A and B.
    void SetPrimaryView(CHIView* view);
    float GetRatio() const { return mRatio; }
    // Kept within 0 to 1; a value that is no number becomes the default.
    void SetRatio(float ratio);
    void SetSideBySide(bool sideBySide);
    bool IsSideBySide() const { return mSideBySide; }
    // The primary view alone (ratio 1 or 0), or back to the ratio kept before.
    void TogglePrimary();
    // A's frame, B's frame and the divider's, from the current bounds; any may be null.
    void GetRects(CGRect* a, CGRect* b, CGRect* divider) const;
    void UpdateSplitter();

    OSStatus DoEventControlDraw(CCarbonEvent& event) override;
    OSStatus DoEventControlBoundsChanged(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaEntered(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaExited(CCarbonEvent& event) override;
    bool TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase) override;

private:
    struct Child {
        CHIView* view; // weak: read through the view's life
        tw::toolbox::WeakRef<tw::toolbox::View> ref;
    };

    void Initialise();
    void SetView(Child& child, CHIView* view);
    static CHIView* Live(Child const& child);
    void BuildGradient(CGRect const& divider);
    bool DragDivider(CGPoint const& point);

    bool mSideBySide = true;
    float mRatio = 0.5f;
    UInt32 mDividerStyle = kDividerStyleGradient;
    UInt32 mDividerThickness = 10; // [pt]
    CGPoint mLastPoint {};
    double mUsableLength = 0; // [pt] the bounds' length less the divider
    double mGrabOffset = 0; // [pt] from the divider's leading edge to the press
    double mRemainingLength = 0; // [pt] of the divider beyond the press
    float mCandidateRatio = 0;
    float mKeptRatio = 0;
    Child mViewA {};
    Child mViewB {};
    Child mPrimary {};
    StCFRef<CGShadingRef> mGradient; // in the divider's own coordinates
    CGSize mGradientSize {}; // the divider size the gradient was built for
    StCFRef<CGColorSpaceRef> mColourSpace;
    StCFRef<CGFunctionRef> mGradientFunction;
};
