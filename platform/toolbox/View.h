#pragma once

#include "toolbox/HIObject.h"
#include "toolbox/HIViewTypes.h"

#include <vector>

namespace tw::toolbox {

class Window;

// One HIView: a node of a window's view tree with its frame (in the parent's
// coordinates), bounds origin, states, control values and drawing. A parent
// retains each sub view; sub views are kept back to front. The window is a
// raw back pointer that the tree keeps current.
class View : public HIObject {
public:
    explicit View(ObjectClass* cls);
    ~View() override;
    CFTypeID TypeID() const override;

    // Tree.
    View* GetParent() const { return mParent; }
    Window* GetWindow() const { return mWindow; }
    std::vector<View*> const& GetChildren() const { return mChildren; } // back to front
    OSStatus AddChild(View* child); // on top
    void RemoveFromParent();
    OSStatus SetZOrder(HIViewZOrderOp op, View* other);
    View* FindByID(HIViewID id);
    bool IsAncestorOf(View const* view) const;

    // Geometry. The frame is in the parent's coordinates; bounds start at the bounds origin.
    CGRect GetFrame() const { return mFrame; }
    OSStatus SetFrame(CGRect frame);
    CGRect GetBounds() const { return { mOrigin, mFrame.size }; }
    void SetBoundsOrigin(CGPoint origin);
    // Point in this view's coordinates to the window's structure coordinates, and back.
    CGPoint ToWindow(CGPoint p) const;
    CGPoint FromWindow(CGPoint p) const;
    // The part of the view that shows, in window coordinates (clipped by every ancestor).
    CGRect VisibleRectInWindow() const;
    HILayoutInfo const& GetLayout() const { return mLayout; }
    void SetLayout(HILayoutInfo const& layout) { mLayout = layout; }
    // Moves and sizes the sub views bound to this view's edges after it changed by delta.
    void ApplyLayout(CGSize oldSize);

    // States.
    bool IsVisibleFlag() const { return mVisible; }
    bool IsVisible() const; // shown, and every ancestor too
    void SetVisible(bool visible);
    bool IsEnabledFlag() const { return mEnabled; }
    bool IsEnabled() const;
    void SetEnabled(bool enabled);
    bool IsActive() const;
    ControlPartCode GetHilite() const { return mHilite; }
    void SetHilite(ControlPartCode part);
    UInt64 GetFeatures() const { return mFeatures; }
    void ChangeFeatures(UInt64 set, UInt64 clear) { mFeatures = (mFeatures | set) & ~clear; }

    // Control values.
    ControlValues& Values() { return mValues; }
    ControlValues const& Values() const { return mValues; }
    void SetValue(SInt32 value);
    void SetRange(SInt32 minimum, SInt32 maximum);
    void SetTitle(CFStringRef title);
    CFStringRef GetTitle() const { return mTitle; }
    HMHelpContentRec const& GetHelp() const { return mHelp; }
    void SetHelp(HMHelpContentRec const& help);

    // Drawing.
    void Invalidate();
    void InvalidateRect(CGRect rect); // view coordinates
    // Draws this view and its sub views inside clip (window coordinates) into the context.
    void Draw(CGContextRef context, CGRect clip);

    // Hit testing: the part of this view at a point in its own coordinates.
    ControlPartCode HitTest(CGPoint p);
    // The deepest visible view whose part at the point is not 0 (point in this view's coordinates).
    View* DeepestViewAt(CGPoint p, ControlPartCode* outPart = nullptr);

    // A click at a point in view coordinates: hit test, click, track, then hit and command.
    OSStatus Click(EventRef mouseDown, CGPoint p, ControlPartCode part);
    // Sends the view's command, as a control does when it is hit.
    OSStatus SendCommand(UInt32 modifiers);

    // Sends an event that concerns this view only.
    OSStatus SendToSelf(EventRef event);

    OSStatus StandardHandler(EventHandlerCallRef callRef, EventRef event) override;

    // For the window: binds the tree to its window (null when removed from one).
    void SetWindow(Window* window);
    // Forgets a sub view without releasing it (the tree is being torn down).
    void DropChild(View* child);

protected:
    void DisposeContents() override;
    void SendDisposeEvent() override;
    void ReleaseContents() override;

private:
    OSStatus ClickStandard(EventRef event);
    OSStatus TrackStandard(EventRef event);
    void DrawAt(CGContextRef context, CGRect clip, CGPoint parentOffset);
    void NotifyChanged(EventKind kind);

    View* mParent = nullptr; // weak: cleared by the parent on removal
    Window* mWindow = nullptr; // weak: cleared by the window on removal
    std::vector<View*> mChildren; // retains each
    CGRect mFrame {};
    CGPoint mOrigin {};
    HILayoutInfo mLayout {};
    bool mVisible = true;
    bool mEnabled = true;
    ControlPartCode mHilite = 0;
    UInt64 mFeatures = 0;
    ControlValues mValues;
    CFStringRef mTitle = nullptr; // retains
    HMHelpContentRec mHelp {};
};

// The live view a ref names, or null (freed, disposed or not a view).
View* LiveView(HIViewRef ref);
View* LiveView(HIObjectRef object);

} // namespace tw::toolbox
