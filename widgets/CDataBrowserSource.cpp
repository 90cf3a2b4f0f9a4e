#include "widgets/CDataBrowserSource.h"

#include "widgets/CDataBrowser.h"

namespace {

enum : UInt32 { kKeyReturn = 36, kKeyDelete = 51, kKeyEnter = 52, kKeyForwardDelete = 117 };

} // namespace

CDataBrowserSource::~CDataBrowserSource()
{
    // A browser must not call a source that is gone.
    if (mBrowser && mBrowser->GetSource() == this)
        mBrowser->SetSource(nullptr);
}

std::vector<DBHeader> CDataBrowserSource::GetListHeaders() { return {}; }

OSStatus CDataBrowserSource::SetItemData(DataBrowserItemID, DataBrowserItemDataRef, DataBrowserPropertyID)
{
    return errDataBrowserPropertyNotSupported;
}

long CDataBrowserSource::CompareItems(DataBrowserItemID, DataBrowserItemID, DataBrowserPropertyID) { return 0; }

void CDataBrowserSource::GetItemHelp(
    DataBrowserItemID, DataBrowserPropertyID, SInt16, SInt16& contentProvided, HMHelpContentRec& content)
{
    content = HMHelpContentRec {};
    content.version = kMacHelpVersion;
    content.content[kHMMinimumContentIndex].contentType = kHMNoContent;
    content.content[kHMMaximumContentIndex].contentType = kHMNoContent;
    contentProvided = kHMContentNotProvided;
}

bool CDataBrowserSource::CanDrag(DataBrowserItemID, DragRef) { return false; }

bool CDataBrowserSource::AcceptDrag(DataBrowserItemID, DragRef) { return false; }

bool CDataBrowserSource::ReceiveDrag(DataBrowserItemID, DragRef) { return false; }

void CDataBrowserSource::FinishDrag(DragRef, OSStatus) { }

MenuRef CDataBrowserSource::GetContextualMenu(UInt32& helpType, AEDesc&)
{
    helpType = kCMHelpItemRemoveHelp;
    return nullptr;
}

void CDataBrowserSource::HandleContextualMenu(UInt32, MenuRef, SInt16, UInt16) { }

void CDataBrowserSource::BrowserSelection() { BroadcastMessage(kMsgSelectionChanged, this); }

OSStatus CDataBrowserSource::BrowserRawKeyDown(CCarbonEvent& event)
{
    switch (event.GetParameterUInt32(kEventParamKeyCode)) {
    case kKeyDelete:
    case kKeyForwardDelete:
        RemoveSelection();
        return noErr;
    case kKeyReturn:
    case kKeyEnter:
        return OpenSelection() ? noErr : eventNotHandledErr;
    default:
        return eventNotHandledErr;
    }
}

// Each selected row opens as a double-click on it would, as Return on the map opens its selection.
bool CDataBrowserSource::OpenSelection()
{
    if (!mBrowser || !OpensItems())
        return false;
    std::vector<DataBrowserItemID> const selected
        = mBrowser->FindItems(kDataBrowserItemIsSelected, kDataBrowserNoItem, true);
    for (DataBrowserItemID item : selected)
        ItemOpened(item);
    return !selected.empty();
}

void CDataBrowserSource::RemoveSelection()
{
    if (!mBrowser)
        return;
    std::vector<DataBrowserItemID> const selected
        = mBrowser->FindItems(kDataBrowserItemIsSelected, kDataBrowserNoItem, true);
    if (!selected.empty())
        mBrowser->RemoveItems(&selected, kDataBrowserNoItem);
}

DBHeader CDataBrowserSource::MakeListHeader(
    UInt32 property, UInt32 type, CString const& title, UInt32 minimumWidth, UInt32 maximumWidth, UInt32 flags)
{
    DBHeader header;
    header.propertyID = property;
    header.propertyType = type;
    header.propertyFlags = flags;
    header.initialOrder = kDataBrowserOrderDecreasing;
    header.minimumWidth = static_cast<UInt16>(minimumWidth);
    header.maximumWidth = static_cast<UInt16>(maximumWidth);
    header.titleOffset = 0;
    header.title = title;
    header.btnFontStyle = ControlFontStyleRec {};
    header.btnFontStyle.flags = kControlUseFontMask;
    header.btnFontStyle.font = -4; // the views font
    header.btnContentInfo = ControlButtonContentInfo {};
    header.btnContentInfo.contentType = kControlContentTextOnly;
    return header;
}
