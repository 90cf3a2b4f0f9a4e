#pragma once

// The toolbar of a document window: the map tools, the inspector, device and
// synchronise commands, and the search field that filters the object lists,
// between two thin spacers. Each item sends its command to the window. Owned by
// the document window.

#include "widgets/CHIToolbar.h"

class CHISearchField;

class CToolbarDocument : public CHIToolbar {
public:
    static constexpr char const* kIdentifier = "com.tarnwick.tarnwick.toolbar.document";
    static constexpr char const* kItemPrefix = "com.tarnwick.tarnwick.toolbar.document.";
    static constexpr CGSize kSizeInset { 1, 10 };
    static constexpr CGSize kSizeSearchMin { 100, 19 };
    static constexpr CGSize kSizeSearchMax { 200, 19 };

    OSStatus CreateToolbar(HIObjectRef& ref) override;
    // Adds the command item when its icon loads; an item without its icon is left out.
    void AddItem(UInt32 command, CString const& identifier, CString const& labelKey, CString const& helpKey,
        CString const& iconName);
    // The search field, or null until the toolbar has made the search item's view.
    CHISearchField* GetSearch() const { return mSearch; }

    static CHIView* CreateInsetView(CHIToolbarItem const* item);
    static CHIView* CreateSearchView(CHIToolbarItem const* item);

private:
    CHISearchField* mSearch = nullptr; // weak: the view belongs to its toolbar item
};
