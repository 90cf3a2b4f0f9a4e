#pragma once

#include "foundation/CRect.h"
#include "toolbox/HIViewTypes.h"
#include "toolbox/MouseTracking.h"
#include "widgets/CHIObject.h"

#include <vector>

// The programming face of one HIView: geometry, hierarchy, properties and
// control data, focus parts, and a scrollable, zoomable "image" (size, origin,
// zoom and zoom levels) with mouse tracking, auto-scroll and double clicks.
// The wrapper is stored on its view as property ('PCtl', 'PCtl'). Main thread only.
class CHIView : public CHIObject {
    friend class CHIToolbarItem; // hands a new view's reference over to its toolbar item

public:
    enum ZoomType : UInt32 { kZoomIn = 0, kZoomOut = 1, kZoomRect = 2, kZoomFactor = 3, kZoomFit = 4 };
    enum : UInt32 { kBehaviourResizeWindow = 1, kBehaviourScrollPixels = 2 }; // values of mBehaviour
    static constexpr OSType kPropertyCreator = 'PCtl';

    explicit CHIView(HIObjectRef view);
    CHIView(CString const& classID, CGRect const* frame);
    ~CHIView() override;

    HIViewRef GetHIViewRef() const { return reinterpret_cast<HIViewRef>(mHIObjectRef); }
    void SetHIViewRef(HIViewRef view);
    // The root control answers these for its window; hence virtual.
    virtual WindowRef GetWindowRef() const;

    // Geometry and hierarchy.
    CGRect GetFrame() const;
    void SetFrame(CGRect const& frame);
    CGRect GetBounds() const;
    bool IsVisible() const;
    void SetVisible(bool visible);
    void SetBehaviour(UInt32 set, UInt32 clear);
    virtual CRect GetControlBounds() const;
    // Invalidates the old and the new rectangle.
    virtual void SetControlBounds(CRect const& bounds);
    CRect GetBestControlBounds() const;
    // A null size leaves that one as it is; 0 x 0 means the best size.
    void SetSizeConstraints(CGSize const* minimum, CGSize const* maximum);
    HILayoutInfo GetLayoutInfo() const;
    void SetLayoutInfo(HILayoutInfo const& layout);
    // Placement and resize options: 1 left, 2 right, 3 both, 4 centre; 8 top, 16 bottom, 24 both, 32 centre.
    void SetLayoutOptions(UInt32 placement, UInt32 options, CRect const& margins);
    // The super view's edges moved by delta (top, left, bottom, right): follow as the options say.
    void HandleSuperResize(CRect const& delta);
    OSStatus SetZOrder(HIViewZOrderOp op, CHIView* other);
    void SetFeatures(UInt64 set, UInt64 clear);
    void AddSubHIView(CHIView* view);
    void RemoveFromSuperView();
    // Each sub view is invalidated, removed and released (so disposed when nothing else holds it).
    void RemoveSubViews();
    void RemoveSubView(CHIView* view, bool deleteIt);
    UInt16 GetSubHIViewCount() const;
    CHIView* GetSubHIView(UInt16 index) const; // from 1; made on demand
    HIViewRef GetSuperView() const;
    virtual CHIView* GetSuperHIView() const;

    // Properties and data.
    OSStatus GetControlProperty(OSType creator, OSType tag, CString& value) const;
    OSStatus GetControlProperty(OSType creator, OSType tag, UInt32& value) const;
    OSStatus GetControlProperty(OSType creator, OSType tag, void** value) const;
    OSStatus SetControlProperty(OSType creator, OSType tag, void const* pointer);
    std::vector<UInt8> GetControlData(ControlPartCode part, OSType tag) const;
    OSErr SetControlData(ControlPartCode part, OSType tag, Size size, void const* data);
    CString GetControlString(ControlPartCode part, OSType tag) const;
    OSErr SetControlUInt16(ControlPartCode part, OSType tag, UInt16 value);
    OSErr SetControlBoolean(ControlPartCode part, OSType tag, bool value);
    OSErr SetControlString(ControlPartCode part, OSType tag, CString const& value);
    CString GetHelpTag(bool extended) const;
    void SetHelpTag(CString const& text, bool extended);

    // Focus parts: the order in which Tab visits the view's parts.
    void SetPartCodes(std::vector<SInt16> const& parts);
    ControlPartCode GetFocusedPart() const;
    OSStatus SetKeyboardFocus(ControlPartCode part);

    // The image.
    CGSize GetImageSize() const { return mImageSize; }
    void SetImageSize(CGSize const& size);
    CGPoint GetImageOrigin() const { return mImageOrigin; }
    virtual void SetImageOrigin(CGPoint const& origin, bool notifyScroller);
    float GetImageZoom() const { return mImageZoom; }
    virtual void SetImageZoom(ZoomType type, CGRect* rect, float zoom);
    void AdjustZoom(ZoomType type, float zoom, CGPoint const* centre);
    std::vector<float>& GetZoomLevels() { return mZoomLevels; }
    CGSize GetScrollLineSize() const { return mScrollLineSize; }
    CGSize GetScrollDragSize() const { return mScrollDragSize; }
    void SetScrollDragSize(CGSize const& size) { mScrollDragSize = size; }
    CCarbonEvent GetScrollInfo();
    CGRect GetZoomContent();
    CGSize GetZoomContentSize(float zoom);
    void NotifyScroller();
    virtual void AdjustWindowForZoom(ZoomType type);

    // Fills the bounds around a centred image, frames and fills the image's place and clips to it.
    CGRect DrawZoomBackground(CGContextRef context, CGFloat const background[4], CGFloat const frame[4],
        CGFloat const fill[4], CGRect& content);

    // Tracking areas: the view hears 'Pctl' entered, exited and within as the mouse moves.
    void CreateTrackingArea(bool track = true);
    void DisposeTrackingArea();
    static constexpr UInt32 kEventClassPctl = 'Pctl';
    static constexpr UInt32 kEventPctlEntered = 'Pctm';
    static constexpr UInt32 kEventPctlExited = 'Pctn';
    static constexpr UInt32 kEventPctlWithin = 'Pcto';

    // Redrawing: rect in image coordinates, null for the whole view.
    virtual void SetNeedsDisplay(bool needsDisplay, CGRect const* rect = nullptr);

    // One step of mouse tracking; false ends the loop.
    virtual bool TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase);

    OSStatus DoEventControlTrackingAreaEntered(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaExited(CCarbonEvent& event) override;
    OSStatus DoEventControlDispose(CCarbonEvent& event) override;
    OSStatus DoEventControlGetSizeConstraints(CCarbonEvent& event) override;
    OSStatus DoEventControlHitTest(CCarbonEvent& event) override;
    OSStatus DoEventControlSetFocusPart(CCarbonEvent& event) override;
    OSStatus DoEventControlTrack(CCarbonEvent& event) override;
    OSStatus DoEventScrollableGetInfo(CCarbonEvent& event) override;
    OSStatus DoEventScrollableScrollTo(CCarbonEvent& event) override;

    static OSStatus CreateWrapper(HIObjectRef object, CHIObject** outObject);

protected:
    bool mHasTrackingArea = false;
    bool mMouseInside = false;
    double mLastClickTime = 0; // [s] event time of the previous mouse-down
    CGPoint mLastClickPoint {};
    CGSize mMinSize {};
    CGSize mMaxSize {};
    CGSize mImageSize {};
    CGPoint mImageOrigin {};
    float mImageZoom = 1.0f;
    std::vector<float> mZoomLevels { 1.0f };
    CGSize mScrollLineSize { 24, 24 };
    CGSize mScrollDragSize { 24, 24 };
    UInt32 mLayoutOptions = 0;
    std::vector<SInt16> mPartCodes;
    UInt32 mBehaviour = kBehaviourResizeWindow | kBehaviourScrollPixels;

private:
    static OSStatus TrackHandler(EventHandlerCallRef callRef, EventRef event, void* userData);
    void CompleteCreation(HIViewRef view);
    void AutoScroll(CGPoint const& point);
};
