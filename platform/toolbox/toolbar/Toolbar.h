#pragma once

#include "toolbox/HIObject.h"
#include "toolbox/toolbar/ToolbarCalls.h"

#include <string>
#include <vector>

namespace tw::toolbox {
class View;
class Window;
} // namespace tw::toolbox

namespace tw::toolbox::toolbar {

class ToolbarItem;

// One toolbar: identifier, attributes, display mode and the items in order
// (each retained). The default set is asked of the toolbar's handlers on first
// need; the standard identifiers make their items here when no handler does.
// In a window the toolbar draws as a strip view in the window's root.
class Toolbar : public HIObject {
public:
    Toolbar(std::string identifier, OptionBits attributes);

    static Toolbar* From(HIToolbarRef ref);

    std::string const& GetIdentifier() const { return mIdentifier; }
    CFStringRef GetIdentifierString() const { return mIdentifierString; }
    OptionBits GetAttributes() const { return mAttributes; }
    HIToolbarDisplayMode GetDisplayMode() const { return mDisplayMode; }
    void SetDisplayMode(HIToolbarDisplayMode mode);

    // Makes the default set once.
    void Populate();
    // What the toolbar's handlers answer: the default set, and every item the user may add
    // (the default set when they do not say).
    std::vector<std::string> GetDefaultIdentifiers() { return AskIdentifiers(kEventToolbarGetDefaultIdentifiers); }
    std::vector<std::string> GetAllowedIdentifiers();
    // The items of the default set in place of the present ones.
    void ResetToDefault();
    // While the user customises it, the strip's items are dragged instead of performed.
    bool IsCustomizing() const { return mCustomizing; }
    // The end of customising is told to the handlers as ('tbar', 13).
    void SetCustomizing(bool customizing);
    std::vector<ToolbarItem*> const& GetItems() const { return mItems; }
    // Each tells the toolbar's handlers afterwards: ('tbar', 5) added, ('tbar', 6) removed,
    // with the item and its index.
    OSStatus Insert(ToolbarItem* item, std::size_t index);
    OSStatus Remove(std::size_t index);
    // A new item for the identifier (one reference for the caller), or null.
    ToolbarItem* CreateItem(CFStringRef identifier);

    Window* GetWindow() const;
    View* GetStrip() const { return mStrip.Get(); }
    void Attach(Window* window, View* strip);
    // The strip's height in the current display mode.
    double GetHeight() const;
    // The items or their looks changed: lay out and redraw.
    void Changed();

protected:
    void ReleaseContents() override;

private:
    std::vector<std::string> AskIdentifiers(EventKind kind);
    void Announce(EventKind kind, ToolbarItem* item, std::size_t index);

    std::string mIdentifier;
    CFStringRef mIdentifierString; // owns
    OptionBits mAttributes;
    HIToolbarDisplayMode mDisplayMode = kHIToolbarDisplayModeIconAndLabel;
    std::vector<ToolbarItem*> mItems; // retains each
    bool mPopulated = false;
    bool mCustomizing = false;
    WeakRef<Window> mWindow; // weak
    WeakRef<View> mStrip; // weak: the window's view tree owns it
};

} // namespace tw::toolbox::toolbar
