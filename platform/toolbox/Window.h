#pragma once

#include "toolbox/HIObject.h"
#include "toolbox/View.h"
#include "toolbox/WindowTypes.h"

#include <cairo.h>
#include <string>
#include <vector>

namespace tw::toolbox {

class View;

// One window: class and attributes, its place on the screen (structure bounds
// in global coordinates; the content lies below the title bar), the view tree
// (the structure root holds the frame and the content view), the backing store
// the views draw into, and the window-level states. Sheets hang from their
// parent, which holds a reference while one is shown.
class Window : public HIObject {
public:
    static constexpr CGSize kMinimumSize { 64, 48 }; // [px] structure of a window the user may resize

    Window(WindowClass windowClass, WindowAttributes attributes, CGRect content);
    ~Window() override;
    CFTypeID TypeID() const override;

    WindowClass GetWindowClass() const { return mWindowClass; }
    // The class whose group orders the window: its own unless moved to another's group.
    WindowClass GetGroupClass() const { return mGroupClass ? mGroupClass : mWindowClass; }
    void SetGroupClass(WindowClass groupClass);
    WindowAttributes GetAttributes() const { return mAttributes; }
    void ChangeAttributes(WindowAttributes set, WindowAttributes clear);
    bool HasAttribute(WindowAttributes attribute) const { return (mAttributes & attribute) != 0; }

    // Geometry: global coordinates unless said otherwise.
    CGRect GetStructure() const { return mStructure; }
    CGRect GetContent() const;
    double GetTitleBarHeight() const; // [px]
    // Moves and sizes the window to this structure rectangle, with the bounds events.
    OSStatus SetStructure(CGRect structure, bool sendEvents = true);
    // Frame parts in window (structure) coordinates.
    CGRect GetPartRect(WindowRegionCode region) const;
    WindowPartCode FindPart(CGPoint windowPoint) const;

    // The toolbar (retained) and the height of its strip while it shows: the content lies below both.
    HIObject* GetToolbar() const { return mToolbar; }
    void SetToolbar(HIObject* toolbar);
    double GetToolbarHeight() const { return mToolbarHeight; }
    void SetToolbarHeight(double height) { mToolbarHeight = height; }
    double GetContentTop() const { return GetTitleBarHeight() + mToolbarHeight; } // [px]

    View* GetRoot() const { return mRoot; }
    View* GetContentView() const { return mContentView; }

    // Visibility and stacking.
    bool IsVisible() const { return mVisible; }
    void SetVisible(bool visible);
    bool IsActive() const { return mActive; }
    void SetActive(bool active); // sends the activation events
    bool IsCollapsed() const { return mCollapsed; }
    void SetCollapsed(bool collapsed);
    double GetAlpha() const { return mAlpha; }
    void SetAlpha(double alpha);
    CFStringRef GetTitle() const { return mTitle; }
    void SetTitle(CFStringRef title);
    // A window of unsaved changes shows a mark before its title, as desktops do.
    bool IsModified() const { return mModified; }
    void SetModified(bool modified);
    std::string GetShownTitle() const;
    WindowModality GetModality() const { return mModality; }
    void SetModality(WindowModality modality) { mModality = modality; }
    std::vector<UInt32> const& GetModalCommands() const { return mModalCommands; }
    void SetModalCommands(std::vector<UInt32> commands) { mModalCommands = std::move(commands); }

    // Sheets.
    Window* GetSheet() const { return mSheet; }
    Window* GetSheetParent() const { return mSheetParent; }
    OSStatus AttachSheet(Window* sheet);
    void DetachSheet();

    // Keyboard focus.
    View* GetFocus() const { return mFocus.Get(); }
    ControlPartCode GetFocusPart() const { return mFocusPart; }
    OSStatus SetFocus(View* view, ControlPartCode part);
    OSStatus AdvanceFocus(bool backwards);
    // The focus in a view (or below it) that was disabled moves to the next view, or goes.
    void FocusLeaving(View* view);
    View* GetDefaultButton() const { return mDefaultButton.Get(); }
    View* GetCancelButton() const { return mCancelButton.Get(); }
    void SetDefaultButton(View* view) { mDefaultButton.Reset(view); }
    void SetCancelButton(View* view) { mCancelButton.Reset(view); }

    // Drawing: rectangles in window coordinates, redrawn by Update into the backing store.
    void InvalidateRect(CGRect rect);
    bool NeedsUpdate() const { return !mInvalid.empty(); }
    std::vector<CGRect> const& GetInvalid() const { return mInvalid; }
    void Update();
    // The backing store changed under this rectangle without a redraw (scrolled pixels).
    void BackingChanged(CGRect rect) const
    {
        ChangedOnScreen(CGRectOffset(rect, mStructure.origin.x, mStructure.origin.y));
    }
    cairo_surface_t* GetBackingStore() const { return mBacking; } // borrowed

    // Told by a view that it leaves the tree or hides: weak states let go of it.
    void ViewLeaving(View* view);

    OSStatus StandardHandler(EventHandlerCallRef callRef, EventRef event) override;
    OSStatus SendWindowEvent(EventKind kind);
    // Between the window's frame and its ideal frame (or the largest one the desktop offers),
    // as the zoom box does.
    void Zoom();
    // Disposes (once) and drops the reference its creator holds (once), as DisposeWindow does.
    void DisposeAndRelease();

protected:
    void DisposeContents() override;
    void SendDisposeEvent() override;
    void ReleaseContents() override;

private:
    OSStatus HandleMouseDown(EventRef event);
    OSStatus HandleContentClick(EventRef event, CGPoint local);
    bool TrackBox(WindowRegionCode region, CGPoint start);
    OSStatus DragFrame(CGPoint start, bool grow);
    CGRect GetZoomedStructure(CGRect available);
    void MakeBackingStore();
    void ChangedOnScreen(CGRect structure) const;
    void SendBoundsChanged(CGRect previous);

    WindowClass mWindowClass;
    WindowClass mGroupClass = 0; // 0: the window's own class
    WindowAttributes mAttributes;
    CGRect mStructure {};
    CGRect mZoomedFrom {};
    bool mCreatorReleased = false; // where a zoom box click returns to; empty when not zoomed
    View* mRoot = nullptr; // owns one reference
    View* mContentView = nullptr; // weak: held by the root
    cairo_surface_t* mBacking = nullptr; // owns
    std::vector<CGRect> mInvalid;
    bool mVisible = false;
    bool mActive = false;
    bool mCollapsed = false;
    double mAlpha = 1.0;
    CFStringRef mTitle = nullptr; // retains
    bool mModified = false;
    WindowModality mModality = kWindowModalityNone;
    std::vector<UInt32> mModalCommands; // offered by its modal loop besides the editing commands
    Window* mSheet = nullptr; // retains while shown
    Window* mSheetParent = nullptr; // weak: cleared by the parent
    WeakRef<View> mFocus; // weak
    ControlPartCode mFocusPart = 0;
    WeakRef<View> mDefaultButton; // weak
    WeakRef<View> mCancelButton; // weak
    HIObject* mToolbar = nullptr; // retains
    double mToolbarHeight = 0; // [px]
};

// The live window a ref names, or null.
Window* LiveWindow(WindowRef ref);

} // namespace tw::toolbox
