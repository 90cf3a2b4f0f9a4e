#include "app/CBrowserMapObject.h"

#include "app/MapObjectListSupport.h"
#include "docwindow/CWindowDocument.h"
#include "framework/CApplication.h"
#include "framework/CCarbonEvent.h"
#include "framework/CMenuUtilities.h"
#include "model/CMapObject.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/MouseTracking.h"
#include "widgets/CDataBrowser.h"

using namespace MapObjectListSupport;

namespace {

// The document's messages the list follows.
enum : UInt32 {
    kMsgObjectAdded = 'doad',
    kMsgObjectModified = 'domo',
    kMsgObjectRemoved = 'dorm',
    kMsgObjectsReset = 'dors',
    kMsgDocumentSelection = 'dsec', // the source's own "selection changed" is the browser's 'bsel'
};

} // namespace

CBrowserMapObject::CBrowserMapObject(MapObjectType type)
    : mType(type)
{
}

CBrowserMapObject::~CBrowserMapObject()
{
    // The rows go while this list is whole; nothing of theirs reaches the document any more.
    mSelectionSync = false;
    mPendingSelect.clear();
    mPendingDeselect.clear();
    if (CDataBrowser* browser = GetBrowser(); browser && browser->GetSource() == this)
        browser->SetSource(nullptr);
}

void CBrowserMapObject::SetDocument(CWindowDocument* document)
{
    if (mDocument || !document)
        return;
    mDocument = document;
    mDocument->AddListener(this);
    ObservePreferences(this, { kPrefMapUnits, kPrefMapCoordinates });
}

std::vector<CMapObject*> CBrowserMapObject::GetObjects(std::vector<DataBrowserItemID> const& items)
{
    std::vector<CMapObject*> objects;
    objects.reserve(items.size());
    for (DataBrowserItemID item : items)
        objects.push_back(GetObject(item));
    return objects;
}

bool CBrowserMapObject::FilterItem(CString const& filter, CMapObject const* object)
{
    if (!object || (object->GetAttributes() & kMapObjectAttrTemporary))
        return false;
    return filter.IsEmpty() || object->GetName().Contains(filter, false)
        || object->GetDescription().Contains(filter, false);
}

bool CBrowserMapObject::IsListed(CDataBrowser* browser, CMapObject const* object) const
{
    return object && object->IsType(mType) && FilterItem(browser->GetFilter(), object);
}

void CBrowserMapObject::ObjectAdded(CDataBrowser* browser, CMapObject* object)
{
    if (IsListed(browser, object))
        browser->AddItem(GetItem(object));
}

void CBrowserMapObject::ObjectModified(CDataBrowser* browser, CMapObject* object)
{
    if (IsListed(browser, object))
        browser->RefreshItem(GetItem(object));
}

// Whatever the filter says now: a row kept after a rename, or listed before the object
// became temporary, must not outlive its object.
void CBrowserMapObject::ObjectRemoved(CDataBrowser* browser, CMapObject* object)
{
    if (!object || !object->IsType(mType))
        return;
    std::erase(mPendingSelect, object);
    std::erase(mPendingDeselect, object);
    browser->RemoveItem(GetItem(object));
}

void CBrowserMapObject::ObjectsReset(CDataBrowser* browser)
{
    browser->RemoveItems(nullptr);
    PopulateBrowser();
}

void CBrowserMapObject::ChangedSelection(CDataBrowser* browser)
{
    if (!mDocument)
        return;
    std::vector<DataBrowserItemID> items;
    for (CMapObject* object : mDocument->GetObjects())
        if (object->IsSelected() && IsListed(browser, object))
            items.push_back(GetItem(object));
    mSelectionSync = false;
    browser->SetSelection(&items, kDataBrowserItemsAssign);
    mSelectionSync = true;
    if (!items.empty())
        browser->RevealItem(items.front(), kDataBrowserRevealAndCenterInView);
}

void CBrowserMapObject::PopulateBrowser()
{
    CDataBrowser* browser = GetBrowser();
    if (!browser || !mDocument)
        return;
    // Columns wider than a narrow list are scrolled to, not hidden.
    browser->SetScrollBars(true, true);
    std::vector<DataBrowserItemID> items;
    for (CMapObject* object : mDocument->GetObjects())
        if (IsListed(browser, object))
            items.push_back(GetItem(object));
    if (!items.empty())
        browser->AddItems(items);
    ChangedSelection(browser);
}

MenuRef CBrowserMapObject::GetContextualMenu(UInt32& helpType, AEDesc& selection)
{
    CDataBrowser* browser = GetBrowser();
    if (!(mAttributes & kBrowserContextMenu) || !browser
        || browser->CountItems(kDataBrowserItemIsSelected, kDataBrowserNoItem, true) == 0)
        return CDataBrowserSource::GetContextualMenu(helpType, selection);
    CApplication* app = CApplication::GetApp();
    CString const nib = app ? app->GetPropertyString('anib') : CString("Tarnwick");
    helpType = kCMHelpItemRemoveHelp;
    return CMenuUtilities::GetNibMenu(nib, kContextMenu);
}

void CBrowserMapObject::HandleContextualMenu(UInt32, MenuRef menu, SInt16 menuID, UInt16 menuItem)
{
    CDataBrowser* browser = GetBrowser();
    MenuCommand command = 0;
    if (menuID != 0 && menu && browser && mDocument && GetMenuItemCommandID(menu, menuItem, &command) == noErr
        && command == kCommandShow)
        mDocument->ShowObjects(GetObjects(browser->FindItems(kDataBrowserItemIsSelected, kDataBrowserNoItem, true)));
    // The menu was made for this one use.
    if (menu)
        ReleaseMenu(menu);
}

// The user's selection reaches the document when the list has told every item's change
// (BrowserSelection), as one selection change: the list's own echo of the document's
// selection then sees the whole of it.
void CBrowserMapObject::ItemSelected(DataBrowserItemID item)
{
    if (mSelectionSync && mDocument)
        mPendingSelect.push_back(GetObject(item));
}

void CBrowserMapObject::ItemDeselected(DataBrowserItemID item)
{
    if (mSelectionSync && mDocument)
        mPendingDeselect.push_back(GetObject(item));
}

void CBrowserMapObject::BrowserSelection()
{
    CDataBrowserSource::BrowserSelection();
    if (mPendingSelect.empty() && mPendingDeselect.empty())
        return;
    std::vector<CMapObject*> const select = std::move(mPendingSelect);
    std::vector<CMapObject*> const deselect = std::move(mPendingDeselect);
    mPendingSelect.clear();
    mPendingDeselect.clear();
    if (!mDocument)
        return;
    // Each selection call would tell everybody; the document tells once, at the end.
    bool const broadcasting = mDocument->IsBroadcasting();
    mDocument->SetBroadcasting(false);
    bool changed = false;
    for (CMapObject* object : deselect)
        if (object->IsSelected()) {
            mDocument->SelectObject(object, false);
            changed = true;
        }
    if (!select.empty()) {
        // Selecting here leaves the other kinds' selections behind; this kind's is the list's.
        for (CMapObject* object : mDocument->GetObjects())
            if (!object->IsType(mType) && object->IsSelected()) {
                mDocument->SelectObject(object, false);
                changed = true;
            }
        for (CMapObject* object : select)
            if (!object->IsSelected()) {
                mDocument->SelectObject(object, true);
                changed = true;
            }
    }
    mDocument->SetBroadcasting(broadcasting);
    if (changed && broadcasting)
        mDocument->BroadcastMessage(kMsgDocumentSelection, mDocument);
}

void CBrowserMapObject::ItemOpened(DataBrowserItemID item)
{
    if (!mDocument)
        return;
    if (mAttributes & kBrowserOpenEdit) {
        if (GetCurrentEventKeyModifiers() & (optionKey | rightOptionKey))
            mDocument->ShowObject(GetObject(item));
        else
            mDocument->EditObject(GetObject(item));
    } else if (mAttributes & kBrowserOpenConfirm) {
        CCarbonEvent::CreateWithHICommandID(kCommandConfirm).SendToFocus();
    }
}

void CBrowserMapObject::RemoveSelection()
{
    CDataBrowser* browser = GetBrowser();
    if (!(mAttributes & kBrowserRemove) || !browser || !mDocument)
        return;
    // Taken first: every removal changes the selection.
    std::vector<CMapObject*> const objects
        = GetObjects(browser->FindItems(kDataBrowserItemIsSelected, kDataBrowserNoItem, true));
    if (objects.size() == 1)
        mDocument->RemoveObject(objects.front());
    else if (!objects.empty())
        mDocument->RemoveObjects(objects);
}

void CBrowserMapObject::DoMessage(UInt32 message, void* parameter)
{
    CDataBrowser* browser = GetBrowser();
    if (!browser)
        return;
    auto* object = static_cast<CMapObject*>(parameter);
    switch (message) {
    case kMsgObjectAdded:
        ObjectAdded(browser, object);
        break;
    case kMsgObjectModified:
        ObjectModified(browser, object);
        break;
    case kMsgObjectRemoved:
        ObjectRemoved(browser, object);
        break;
    case kMsgObjectsReset:
        ObjectsReset(browser);
        break;
    case kMsgDocumentSelection:
        ChangedSelection(browser);
        break;
    default:
        break;
    }
}

void CBrowserMapObject::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (CDataBrowser* browser = GetBrowser(); browser && IsDisplayPreference(keyPath))
        browser->RefreshItems(nullptr);
}
