#pragma once

#include "widgets/CCanvasObject.h"
#include "widgets/CCanvasToolArrow.h"
#include "widgets/CScrollableView.h"

#include <list>
#include <unordered_map>
#include <vector>

class CCanvasInvalidator;

// A scrollable, zoomable canvas of objects in z-order (first the bottom, last the
// topmost). It owns its objects, draws them in passes (background, underlay, objects
// with their grow handles, overlay, tool), finds the object under a point from the
// top down, and hands every mouse and key event to its current tool as a tool event
// ('Pcan', 'Pcao') in image coordinates. Objects and tools work in image units. Main
// thread only.
class CCanvasView : public CScrollableView {
public:
    static constexpr char const* kClassID = "net.pellmar.CCanvasView";
    static constexpr EventClass kEventClassCanvas = 'Pcan';
    static constexpr EventKind kEventCanvasTool = 'Pcao';
    static constexpr EventParamName kEventParamPrinting = 'Ppri'; // Boolean, on the draw event
    static constexpr UInt32 kMaskAll = 0xFFFFFFFF;
    enum : UInt32 { kZOrderAbove = 1, kZOrderBelow = 2 };

    using ObjectList = std::list<CCanvasObject*>;
    using ObjectFilter = bool (*)(CCanvasObject const*);

    explicit CCanvasView(HIObjectRef view);
    ~CCanvasView() override;

    static OSStatus Register();
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);
    // Whether a canvas lives at that address (objects and tools may outlive theirs).
    static bool IsLive(CCanvasView const* canvas);

    // Objects. The canvas takes ownership when an object is added.
    void AddObject(CCanvasObject* object, CCanvasObject* before = nullptr);
    void AddObjects(std::vector<CCanvasObject*> const& objects); // at the end, in order; one redraw
    // Unlists the object without deleting it.
    void RemoveObject(CCanvasObject* object);
    // Deletes every object; with invalidate false each is detached first, so nothing redraws.
    void RemoveObjects(bool invalidate);
    // Mode 1 puts the object above the reference (or on top), mode 2 below it (or at the bottom).
    void SetObjectZOrder(UInt32 mode, CCanvasObject* object, CCanvasObject* reference);
    // Objects whose attributes hold every bit of the mask (kMaskAll: all) and that pass the filter.
    ObjectList GetObjects(ObjectFilter filter, UInt32 mask) const;
    bool Contains(CCanvasObject const* object) const { return mIndex.contains(object); }
    // The topmost visible object of the mask under the point; grow boxes count when handles is set.
    CCanvasObject* FindObject(CGPoint const& point, UInt32 mask, bool handles) const;
    // Selects the objects of the mask and deselects the others (0 deselects all).
    void SelectObjects(UInt32 mask);
    static bool FilterIsVisibleAndSelected(CCanvasObject const* object);

    // Tools. The canvas does not own them, except its own arrow, current at the start.
    CCanvasTool* GetTool() const { return mTool; }
    CCanvasToolArrow* GetArrowTool() { return &mArrowTool; }
    void SetTool(CCanvasTool* tool);
    void SetToolHelp(CString const& help);
    CString const& GetToolHelp() const { return mToolHelp; }
    // Phase: a MouseTrackingResult; the point in view coordinates.
    void UpdateCursor(UInt16 phase, CGPoint const& viewPoint);
    void UpdateToolHelp(UInt16 phase, CGPoint const& viewPoint);
    void EndToolHelp(); // the tag goes, and its text
    // A tool event at the view point, carrying the incoming event's delta, button, clicks, modifiers and key.
    CCarbonEvent GetToolEvent(CCarbonEvent const& event, CGPoint const& viewPoint);

    // Geometry: the same centred-content transform draws, hit tests and invalidates.
    CGPoint ViewToImage(CGPoint const& point);
    CGFloat GetHairlineWidth(CGContextRef context);
    bool IsPrinting() const { return mPrinting; }

    // Selection commands (Return or Enter opens, Delete removes).
    virtual void RemoveSelection();
    virtual void OpenSelection();
    // Visible, and its redraw area meets the part of the image being drawn.
    virtual bool ShouldRender(CCanvasObject* object);
    void SetImageOrigin(CGPoint const& origin, bool notifyScroller) override;

    void SetImageZoom(ZoomType type, CGRect* rect, float zoom) override;
    void SetNeedsDisplay(bool needsDisplay, CGRect const* rect = nullptr) override;
    bool TrackMouse(CCarbonEvent& event, CGPoint const& point, MouseTrackingResult phase) override;

    OSStatus DoEventRawKeyDown(CCarbonEvent& event) override;
    OSStatus DoEventRawKeyModifiersChanged(CCarbonEvent& event) override;
    OSStatus DoEventControlDraw(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaEntered(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaExited(CCarbonEvent& event) override;
    OSStatus DoEventControlTrackingAreaWithin(CCarbonEvent& event) override;

    // Called by a tool that goes while current: the canvas is then without a tool.
    void ToolDestroyed(CCanvasTool* tool);

protected:
    // While one lives, the parts each change would redraw are not worked out one by one:
    // the whole view is redrawn once, when the last goes. For changes to many objects at once.
    class DeferredRedraw {
    public:
        explicit DeferredRedraw(CCanvasView& canvas);
        ~DeferredRedraw();
        DeferredRedraw(DeferredRedraw const&) = delete;
        DeferredRedraw& operator=(DeferredRedraw const&) = delete;

    private:
        CCanvasView& mCanvas;
    };

    // The draw passes, in image coordinates.
    virtual void DrawUnderlay(CGContextRef context);
    virtual void DrawObjects(CGContextRef context);
    virtual void DrawOverlay(CGContextRef context);
    virtual void DrawTool(CGContextRef context);
    // Colours of the area around an image smaller than the view; false: none drawn.
    virtual bool GetBackground(ColourRGBA& background, ColourRGBA& frame, ColourRGBA& fill);

    ObjectList const& GetObjectList() const { return mObjects; }
    // Whether a key event is the canvas's to take: its window is active, and no other
    // control has the focus; a key it took as the focused view is not taken again.
    bool IsKeyForCanvas(CCarbonEvent const& event);

private:
    // The second handler, on the application target: key events reach the canvas
    // when no control of its window has the focus.
    class CApplicationKeys : public CCarbonEventHandler { };

    void Unlist(CCanvasObject* object);
    void Insert(ObjectList::iterator at, CCanvasObject* object);

    ObjectList mObjects; // owns each
    std::unordered_map<CCanvasObject const*, ObjectList::iterator> mIndex; // position of each listed object
    CCanvasTool* mTool = nullptr; // borrowed (the arrow is our own); null when none is current
    CCanvasTool* mPressTool = nullptr; // the tool the button went down with, until it comes up
    CString mToolHelp;
    bool mToolTagShown = false; // the tag of mToolHelp is up
    bool mDrawing = false;
    bool mPrinting = false;
    int mDeferringRedraw = 0; // DeferredRedraw's alive
    bool mRedrawDeferred = false;
    CGFloat mHairlineWidth = 0; // 0: not known yet
    CGRect mDrawArea {}; // the part of the image being drawn, while drawing
    CCanvasToolArrow mArrowTool;
    CApplicationKeys mApplicationKeys;
    CCanvasInvalidator* mInvalidator = nullptr; // owns; made on first need
    CCarbonEvent mLastViewKey; // the last key that reached the canvas as the focused view
};
