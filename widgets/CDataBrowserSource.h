#pragma once

#include "foundation/CMsgBroadcaster.h"
#include "framework/CCarbonEvent.h"
#include "toolbox/databrowser/DataBrowserCalls.h"
#include "widgets/DBHeader.h"

#include <vector>

class CDataBrowser;

// The model behind a data browser: it answers the browser's questions about
// its items (values, order, help, drags, the contextual menu) and hears its
// notifications. Items are pointer-sized ids, often object addresses. The
// defaults answer "not supported" or do nothing; a selection change
// broadcasts 'bsel' with the source.
class CDataBrowserSource : public CMsgBroadcaster {
public:
    static constexpr UInt32 kMsgSelectionChanged = 'bsel';

    CDataBrowserSource() = default;
    ~CDataBrowserSource() override;

    CDataBrowser* GetBrowser() const { return mBrowser; }
    void SetBrowser(CDataBrowser* browser) { mBrowser = browser; }

    virtual std::vector<DBHeader> GetListHeaders();
    virtual void PopulateBrowser() { }
    virtual OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property)
        = 0;
    virtual OSStatus SetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property);
    // -1 puts item1 first; anything else does not.
    virtual long CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property);
    virtual void GetItemHelp(DataBrowserItemID item, DataBrowserPropertyID property, SInt16 request,
        SInt16& contentProvided, HMHelpContentRec& content);
    virtual bool CanDrag(DataBrowserItemID item, DragRef drag);
    virtual bool AcceptDrag(DataBrowserItemID item, DragRef drag);
    virtual bool ReceiveDrag(DataBrowserItemID item, DragRef drag);
    virtual void FinishDrag(DragRef drag, OSStatus trackResult);
    virtual MenuRef GetContextualMenu(UInt32& helpType, AEDesc& selection);
    virtual void HandleContextualMenu(UInt32 selectionType, MenuRef menu, SInt16 menuID, UInt16 menuItem);
    virtual void BrowserTarget() { }
    virtual void BrowserFormat() { }
    virtual void BrowserSelection();
    // Delete and forward delete remove the selection; Return and Enter open it.
    virtual OSStatus BrowserRawKeyDown(CCarbonEvent& event);
    virtual void ItemAdded(DataBrowserItemID) { }
    virtual void ItemRemoved(DataBrowserItemID) { }
    virtual void ItemEditStarted(DataBrowserItemID) { }
    virtual void ItemEditStopped(DataBrowserItemID) { }
    virtual void ItemSelected(DataBrowserItemID) { }
    virtual void ItemDeselected(DataBrowserItemID) { }
    virtual void ItemOpened(DataBrowserItemID) { }
    // Whether opening an item (a double-click, Return) does anything, so that Return is taken.
    virtual bool OpensItems() const { return false; }
    virtual void ContainerOpened(DataBrowserItemID) { }
    virtual void ContainerClosing(DataBrowserItemID) { }
    virtual void ContainerClosed(DataBrowserItemID) { }
    virtual void ContainerSorting(DataBrowserItemID) { }
    virtual void ContainerSorted(DataBrowserItemID) { }
    virtual void ContainerToggled(DataBrowserItemID) { }
    // Removes every selected item of the browser.
    virtual void RemoveSelection();
    // Opens every selected item; false when none is selected or items do not open.
    bool OpenSelection();

    static DBHeader MakeListHeader(
        UInt32 property, UInt32 type, CString const& title, UInt32 minimumWidth, UInt32 maximumWidth, UInt32 flags);

private:
    CDataBrowser* mBrowser = nullptr; // weak: the browser detaches its source
};
