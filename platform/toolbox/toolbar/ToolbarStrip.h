#pragma once

#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/toolbar/Toolbar.h"

#include <vector>

namespace tw::toolbox::toolbar {

class ToolbarItem;

// The view that shows a window's toolbar: lays the items out from the left
// (flexible spaces and growable views share the room left over; items that do
// not fit are hidden behind a chevron at the right end, buttons before items with
// a view; the chevron's menu performs a button and brings a view into the strip
// with the keyboard focus), draws icons and labels, places the items' own views,
// shows the items' help tags, and turns a click released over an enabled
// item into the item's action.
class ToolbarStrip : public controls::Behaviour {
public:
    struct Slot {
        ToolbarItem* item; // weak: held by the toolbar
        CGRect frame; // strip coordinates
    };

    static constexpr CGFloat kMargin = 8; // [px] at either end
    static constexpr CGFloat kSpacing = 4; // [px] between items
    static constexpr CGFloat kChevronWidth = 18; // [px]

    ToolbarStrip(View* view, Toolbar* toolbar);

    // Makes the strip view of a window's toolbar (unparented, one reference for the caller).
    static View* Make(Toolbar* toolbar);
    static ToolbarStrip* Find(View* view);

    std::vector<Slot> Layout() const;
    // Where the chevron of the items that do not fit is (strip coordinates); empty when all fit.
    CGRect ChevronFrame() const;
    // The items the strip has no room for, in toolbar order.
    std::vector<ToolbarItem*> HiddenItems() const;
    // Where an item dropped at x (strip coordinates) goes among the items.
    std::size_t IndexAt(CGFloat x) const;
    // Places the items' own views where the layout puts them.
    void PlaceViews();

protected:
    OSStatus Draw(CGContextRef c) override;
    ControlPartCode HitTest(CGPoint p) override;
    OSStatus Track(EventHandlerCallRef callRef, EventRef event) override;
    void BoundsChanged() override { PlaceViews(); }

private:
    void DrawItem(CGContextRef c, Slot const& slot, bool pressed);
    OSStatus TrackCustomizing(ToolbarItem* item);
    // Transparent views over the items that carry the items' help tags.
    void PlaceHelp(std::vector<Slot> const& slots);
    CGFloat BaseWidth(ToolbarItem* item, CGFloat* outMaximum) const;
    // The items that fit in width, laid out; outComplete tells whether every item did.
    std::vector<Slot> LayoutWithin(CGFloat width, bool* outComplete) const;
    // The layout, and whether some items are left for the chevron.
    std::vector<Slot> Arrange(bool* outOverflow) const;
    CGRect ChevronFrame(bool overflow) const;
    void ShowOverflowMenu();
    void Choose(ToolbarItem* item);

    WeakRef<Toolbar> mToolbar; // weak: the window holds the toolbar
    ToolbarItem* mPressed = nullptr; // weak: only while tracking
    WeakRef<ToolbarItem> mRevealed; // weak: the item with a view last chosen from the chevron's menu
    std::vector<WeakRef<View>> mHelpViews; // weak: the strip's sub views
};

} // namespace tw::toolbox::toolbar
