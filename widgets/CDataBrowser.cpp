#include "widgets/CDataBrowser.h"

#include "services/MacMemory.h"
#include "widgets/CDataBrowserSource.h"

#include <cstring>

namespace {

constexpr OSType kNibCreator = 'pelp';
constexpr UInt32 kUnknownStyle = 0x3F3F3F3F; // "????": the control cannot tell

// The number of ids and their first, for the calls that take a list.
UInt32 Count(std::vector<DataBrowserItemID> const* items) { return items ? UInt32(items->size()) : 0; }
DataBrowserItemID const* First(std::vector<DataBrowserItemID> const* items)
{
    return items && !items->empty() ? items->data() : nullptr;
}

} // namespace

CDataBrowser::CDataBrowser(HIObjectRef object)
    : CControl(object)
{
    CDataBrowser* self = this;
    ::SetControlProperty(GetControlRef(), kPropertyCreator, kPropertyWrapper, sizeof self, &self);
    SetDataBrowserCallbacks(GetControlRef(), &SharedCallbacks());
    ReadNibProperties();
    AddEvent(kEventClassKeyboard, kEventRawKeyDown);
}

CDataBrowser::~CDataBrowser()
{
    // Before anything else: no callback may reach a half-destroyed wrapper.
    Detach();
}

// Cuts every path from the control and the source back to this wrapper.
void CDataBrowser::Detach()
{
    RemoveCallbacks();
    if (ControlRef control = GetControlRef())
        RemoveControlProperty(control, kPropertyCreator, kPropertyWrapper);
    if (mSource && mSource->GetBrowser() == this)
        mSource->SetBrowser(nullptr);
    mSource = nullptr;
}

OSStatus CDataBrowser::DoEventControlDispose(CCarbonEvent& event)
{
    // The base may delete this wrapper after letting go of the control.
    Detach();
    return CControl::DoEventControlDispose(event);
}

void CDataBrowser::ReadNibProperties()
{
    Boolean flag = false;
    if (::GetControlProperty(GetControlRef(), kNibCreator, 'strp', sizeof flag, nullptr, &flag) == noErr && flag)
        SetAttributes(kDataBrowserAttributeListViewAlternatingRowColors, 0);
    flag = false;
    if (::GetControlProperty(GetControlRef(), kNibCreator, 'colm', sizeof flag, nullptr, &flag) == noErr && flag)
        SetAttributes(kDataBrowserAttributeListViewDrawColumnDividers, 0);
    UInt32 height = 0;
    if (GetControlProperty(kNibCreator, 'rowh', height) == noErr && height > 0 && height <= 0xFFFF)
        SetRowHeight(static_cast<UInt16>(height));
}

UInt32 CDataBrowser::GetStyle() const
{
    DataBrowserViewStyle style = 0;
    return GetDataBrowserViewStyle(GetControlRef(), &style) == noErr ? style : kUnknownStyle;
}

void CDataBrowser::SetStyle(UInt32 style) { SetDataBrowserViewStyle(GetControlRef(), style); }

UInt32 CDataBrowser::GetHiliteStyle() const
{
    DataBrowserTableViewHiliteStyle style = 0;
    GetDataBrowserTableViewHiliteStyle(GetControlRef(), &style);
    return style;
}

void CDataBrowser::SetHiliteStyle(UInt32 style) { SetDataBrowserTableViewHiliteStyle(GetControlRef(), style); }

void CDataBrowser::SetSelectionFlags(UInt32 flags) { SetDataBrowserSelectionFlags(GetControlRef(), flags); }

void CDataBrowser::SetScrollBars(bool horizontal, bool vertical)
{
    SetDataBrowserHasScrollBars(GetControlRef(), horizontal, vertical);
}

void CDataBrowser::SetAttributes(UInt32 set, UInt32 clear) { DataBrowserChangeAttributes(GetControlRef(), set, clear); }

void CDataBrowser::SetRowHeight(UInt16 height) { SetDataBrowserTableViewRowHeight(GetControlRef(), height); }

void CDataBrowser::SetFilter(CString const& filter)
{
    mFilter = filter;
    Repopulate();
}

void CDataBrowser::Repopulate()
{
    RemoveItems(nullptr);
    if (mSource)
        mSource->PopulateBrowser();
}

void CDataBrowser::RevealItem(DataBrowserItemID item, UInt8 options)
{
    RevealDataBrowserItem(GetControlRef(), item, kDataBrowserItemNoProperty, options);
}

UInt32 CDataBrowser::CountItems(UInt32 state, DataBrowserItemID container, bool recursive) const
{
    UInt32 count = 0;
    if (GetDataBrowserItemCount(GetControlRef(), container, recursive, state, &count) != noErr)
        return 0;
    return count;
}

std::vector<DataBrowserItemID> CDataBrowser::FindItems(UInt32 state, DataBrowserItemID container, bool recursive) const
{
    std::vector<DataBrowserItemID> items;
    Handle handle = NewHandle(0);
    if (!handle)
        return items;
    if (GetDataBrowserItems(GetControlRef(), container, recursive, state, handle) == noErr) {
        items.resize(std::size_t(GetHandleSize(handle)) / sizeof(DataBrowserItemID));
        if (!items.empty())
            std::memcpy(items.data(), *handle, items.size() * sizeof(DataBrowserItemID));
    }
    DisposeHandle(handle);
    return items;
}

void CDataBrowser::AddItems(std::vector<DataBrowserItemID> const& items, DataBrowserItemID container)
{
    if (!items.empty())
        AddDataBrowserItems(GetControlRef(), container, UInt32(items.size()), items.data(), kDataBrowserItemNoProperty);
}

void CDataBrowser::AddItem(DataBrowserItemID item, DataBrowserItemID container)
{
    AddDataBrowserItems(GetControlRef(), container, 1, &item, kDataBrowserItemNoProperty);
}

void CDataBrowser::RemoveItems(std::vector<DataBrowserItemID> const* items, DataBrowserItemID container)
{
    // An empty list removes nothing; only a null one means every item.
    if (items && items->empty())
        return;
    RemoveDataBrowserItems(GetControlRef(), container, Count(items), First(items), kDataBrowserItemNoProperty);
}

void CDataBrowser::RemoveItem(DataBrowserItemID item, DataBrowserItemID container)
{
    RemoveDataBrowserItems(GetControlRef(), container, 1, &item, kDataBrowserItemNoProperty);
}

void CDataBrowser::RefreshItems(std::vector<DataBrowserItemID> const* items, DataBrowserItemID container)
{
    if (items && items->empty())
        return;
    UpdateDataBrowserItems(
        GetControlRef(), container, Count(items), First(items), kDataBrowserItemNoProperty, kDataBrowserItemNoProperty);
}

void CDataBrowser::RefreshItem(DataBrowserItemID item, DataBrowserItemID container)
{
    UpdateDataBrowserItems(
        GetControlRef(), container, 1, &item, kDataBrowserItemNoProperty, kDataBrowserItemNoProperty);
}

void CDataBrowser::SetSelection(std::vector<DataBrowserItemID> const* items, UInt32 operation)
{
    // Assigning no items clears the selection; other operations with none change nothing.
    if (!items || items->empty()) {
        SetDataBrowserSelectedItems(GetControlRef(), 0, nullptr,
            operation == kDataBrowserItemsAssign ? kDataBrowserItemsAssign : kDataBrowserItemsRemove);
        return;
    }
    SetDataBrowserSelectedItems(GetControlRef(), UInt32(items->size()), items->data(), operation);
}

void CDataBrowser::SetSource(CDataBrowserSource* source)
{
    // The old items leave while the old source is still attached: no stale id reaches the new one.
    RemoveItems(nullptr);
    if (mSource && mSource->GetBrowser() == this)
        mSource->SetBrowser(nullptr);
    mSource = source;
    if (mSource)
        mSource->SetBrowser(this);
    if (GetStyle() == kDataBrowserListView)
        ApplyListHeaders();
    if (mSource)
        mSource->PopulateBrowser();
}

void CDataBrowser::ApplyListHeaders()
{
    if (!mSource || GetStyle() != kDataBrowserListView)
        return;
    std::vector<DBHeader> const headers = mSource->GetListHeaders();
    if (headers.empty())
        return;
    UInt32 const hilite = GetHiliteStyle();
    RemoveItems(nullptr);
    // Switching the style drops every column.
    SetStyle(kDataBrowserColumnView);
    SetStyle(kDataBrowserListView);
    for (DBHeader const& header : headers) {
        DataBrowserListViewColumnDesc column;
        column.propertyDesc = { header.propertyID, header.propertyType, header.propertyFlags };
        column.headerBtnDesc.version = 0;
        column.headerBtnDesc.minimumWidth = header.minimumWidth;
        column.headerBtnDesc.maximumWidth = header.maximumWidth;
        column.headerBtnDesc.titleOffset = header.titleOffset;
        column.headerBtnDesc.titleString = header.title.GetCFString();
        column.headerBtnDesc.initialOrder = header.initialOrder;
        column.headerBtnDesc.btnFontStyle = header.btnFontStyle;
        column.headerBtnDesc.btnContentInfo = header.btnContentInfo;
        AddDataBrowserListViewColumn(GetControlRef(), &column, kDataBrowserListViewAppendColumn);
    }
    SetHiliteStyle(hilite);
}

void CDataBrowser::RemoveCallbacks()
{
    if (ControlRef control = GetControlRef()) {
        DataBrowserCallbacks const none;
        SetDataBrowserCallbacks(control, &none);
    }
}

OSStatus CDataBrowser::DoEventRawKeyDown(CCarbonEvent& event)
{
    // Without a source there is nobody to ask: the key goes on.
    if (!IsControlActive(GetControlRef()) || !mSource)
        return eventNotHandledErr;
    return mSource->BrowserRawKeyDown(event);
}
