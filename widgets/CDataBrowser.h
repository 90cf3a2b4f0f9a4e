#pragma once

#include "toolbox/databrowser/DataBrowserCalls.h"
#include "widgets/CControl.h"

#include <vector>

class CDataBrowserSource;

// The wrapper of a data browser: it holds no item data. Items are ids, and
// every question and notification of the browser goes to the one attached
// source. The control property ('PCtl', 'dbro') leads the shared callbacks
// back to the wrapper.
class CDataBrowser : public CControl {
public:
    static constexpr OSType kPropertyWrapper = 'dbro';

    explicit CDataBrowser(HIObjectRef object);
    ~CDataBrowser() override;

    static CDataBrowser* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CDataBrowser>(window, signature, id);
    }
    static CDataBrowser* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CDataBrowser>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CDataBrowser>(object, outObject); }

    UInt32 GetStyle() const; // 'lstv', 'clmv', or "????" when the control cannot tell
    void SetStyle(UInt32 style);
    UInt32 GetHiliteStyle() const;
    void SetHiliteStyle(UInt32 style);
    void SetSelectionFlags(UInt32 flags);
    void SetScrollBars(bool horizontal, bool vertical);
    void SetAttributes(UInt32 set, UInt32 clear);
    void SetRowHeight(UInt16 height);

    CString const& GetFilter() const { return mFilter; }
    // Stores the text, empties the browser and has the source fill it again (it reads the filter).
    void SetFilter(CString const& filter);

    void RevealItem(DataBrowserItemID item, UInt8 options);
    UInt32 CountItems(UInt32 state, DataBrowserItemID container, bool recursive) const;
    std::vector<DataBrowserItemID> FindItems(UInt32 state, DataBrowserItemID container, bool recursive) const;
    void AddItems(std::vector<DataBrowserItemID> const& items, DataBrowserItemID container = kDataBrowserNoItem);
    void AddItem(DataBrowserItemID item, DataBrowserItemID container = kDataBrowserNoItem);
    // Null: every item of the container.
    void RemoveItems(std::vector<DataBrowserItemID> const* items, DataBrowserItemID container = kDataBrowserNoItem);
    void RemoveItem(DataBrowserItemID item, DataBrowserItemID container = kDataBrowserNoItem);
    void RefreshItems(std::vector<DataBrowserItemID> const* items, DataBrowserItemID container = kDataBrowserNoItem);
    void RefreshItem(DataBrowserItemID item, DataBrowserItemID container = kDataBrowserNoItem);
    // Null or empty with operation 1 (assign) clears the selection.
    void SetSelection(std::vector<DataBrowserItemID> const* items, UInt32 operation);

    CDataBrowserSource* GetSource() const { return mSource; }
    // The old items go (heard by the old source), then the new source is attached and fills the browser.
    void SetSource(CDataBrowserSource* source);
    void ApplyListHeaders();
    void RemoveCallbacks();

    OSStatus DoEventRawKeyDown(CCarbonEvent& event) override;
    OSStatus DoEventControlDispose(CCarbonEvent& event) override;

private:
    static CDataBrowser* FromControl(ControlRef control);
    static CDataBrowserSource* SourceOf(ControlRef control);
    static DataBrowserCallbacks const& SharedCallbacks();
    static OSStatus ItemData(ControlRef control, DataBrowserItemID item, DataBrowserPropertyID property,
        DataBrowserItemDataRef data, Boolean setValue);
    static Boolean ItemCompare(
        ControlRef control, DataBrowserItemID one, DataBrowserItemID two, DataBrowserPropertyID property);
    static void ItemNotification(
        ControlRef control, DataBrowserItemID item, DataBrowserItemNotification message, DataBrowserItemDataRef data);
    static void HelpContent(ControlRef control, DataBrowserItemID item, DataBrowserPropertyID property,
        HMContentRequest request, HMContentProvidedType* provided, HMHelpContentRec* content);
    static Boolean AddDragItem(ControlRef control, DragRef drag, DataBrowserItemID item, ItemReference* reference);
    static Boolean AcceptDrag(ControlRef control, DragRef drag, DataBrowserItemID item);
    static Boolean ReceiveDrag(ControlRef control, DragRef drag, DataBrowserItemID item);
    static void PostProcessDrag(ControlRef control, DragRef drag, OSStatus result);
    static void GetContextualMenu(
        ControlRef control, MenuRef* menu, UInt32* helpType, CFStringRef* helpItem, AEDesc* selection);
    static void SelectContextualMenu(
        ControlRef control, MenuRef menu, UInt32 selectionType, SInt16 menuID, MenuItemIndex item);

    void Detach();
    void ReadNibProperties();
    void Repopulate();

    CDataBrowserSource* mSource = nullptr; // weak: its owner detaches it or destroys the browser first
    CString mFilter;
};
