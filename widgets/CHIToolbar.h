#pragma once

#include "foundation/CFile.h"
#include "widgets/CHIObject.h"
#include "widgets/CHIToolbarItemData.h"

#include <vector>

class CHIToolbarItem;
class CMacWindow;

// A window toolbar described by a list of item descriptions: it answers the
// toolbox's requests for the default and allowed identifiers and makes each
// item on request. Window toolbars derive from it and fill the list before
// (or after) the standard items that CreateToolbar adds.
class CHIToolbar : public CHIObject {
public:
    static constexpr char const* kDefaultToolbarIdentifier = "com.pellmar.toolbar.default";

    CHIToolbar();
    ~CHIToolbar() override;

    // Installs the toolbar in the window and shows it; the creation status, 0 when installed.
    virtual OSStatus Install(CMacWindow* window);
    virtual void AddStandardItem(UInt32 options, CString const& identifier, bool inDefaultSet);
    virtual void DoAddItem(UInt32 options, CString const& identifier, CString const& label, UInt32 command,
        IconRef icon, CGImageRef image, bool inDefaultSet, bool standard);
    virtual OSStatus CreateToolbar(HIObjectRef& ref);

    OSStatus DoEventToolbarGetDefaultIdentifiers(CCarbonEvent& event) override;
    OSStatus DoEventToolbarGetAllowedIdentifiers(CCarbonEvent& event) override;
    OSStatus DoEventToolbarCreateItemWithIdentifier(CCarbonEvent& event) override;

    // Adds the item only when its image file loads.
    void AddItem(UInt32 options, CString const& identifier, CString const& label, UInt32 command, CFile const& image,
        bool inDefaultSet);
    void AddItem(CHIToolbarItemData const& item);
    void AddSeparator(bool inDefaultSet);
    void AddFlexibleSpace(bool inDefaultSet);
    void AddCustomizeItem(bool inDefaultSet);
    void AddPrintItem(bool inDefaultSet);
    void AddFontsItem(bool inDefaultSet);

    bool IsVisible() const;
    void SetVisible(bool show, bool animate);
    // The toolbox's items in toolbar order, wrapped on demand.
    std::vector<CHIToolbarItem*> GetItems();
    CHIToolbarItem* GetHIToolbarItem(UInt32 command);
    CMacWindow* GetWindow() const { return mWindow; }
    std::vector<CHIToolbarItemData> const& GetItemData() const { return mItems; }

    // Puts the toolbar in the window (the window support's hook of CMacWindow::SetToolbar).
    static OSStatus AttachToWindow(WindowRef window, CHIToolbar* toolbar);

protected:
    CMacWindow* mWindow = nullptr; // weak: the toolbar lives as long as its window
    std::vector<CHIToolbarItemData> mItems;
};
