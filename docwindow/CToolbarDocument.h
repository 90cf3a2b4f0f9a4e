#pragma once

// The toolbar of a document window: the map tools, the inspector, device and
// synchronise commands, and the search field that filters the object lists,
// between two thin spacers. Each item sends its command to the window. Owned by
// the document window.
//
// The user's customising makes and drops items, the search field with them: the
// toolbar tells its listeners when its items change, and passes on what its present
// search field says, so no one needs to keep a pointer to the field.

#include "foundation/CMsgBroadcaster.h"
#include "foundation/CMsgListener.h"
#include "widgets/CHIToolbar.h"

class CHISearchField;

class CToolbarDocument : public CHIToolbar, public CMsgBroadcaster, public CMsgListener {
public:
    // Sent after an item was added or removed and when the user is done customising, with the
    // toolbar; the search field's own
    // messages come through with the field.
    static constexpr UInt32 kMsgItemsChanged = 'tbch';

    static constexpr char const* kIdentifier = "com.tarnwick.tarnwick.toolbar.document";
    static constexpr char const* kItemPrefix = "com.tarnwick.tarnwick.toolbar.document.";
    static constexpr CGSize kSizeInset { 1, 10 };
    static constexpr CGSize kSizeSearchMin { 100, 19 };
    static constexpr CGSize kSizeSearchMax { 200, 19 };

    OSStatus CreateToolbar(HIObjectRef& ref) override;
    // Adds the command item when its icon loads; an item without its icon is left out.
    void AddItem(UInt32 command, CString const& identifier, CString const& labelKey, CString const& helpKey,
        CString const& iconName);
    // The search field of the item now in the toolbar, or null when the user took it out.
    CHISearchField* GetSearch() const;

    OSStatus DoEventToolbarItemAdded(CCarbonEvent& event) override;
    OSStatus DoEventToolbarItemRemoved(CCarbonEvent& event) override;
    OSStatus DoEventToolbarEndMultiChange(CCarbonEvent& event) override;
    void DoMessage(UInt32 message, void* parameter) override;

    static CHIView* CreateInsetView(CHIToolbarItem const* item);
    static CHIView* CreateSearchView(CHIToolbarItem const* item);
};
