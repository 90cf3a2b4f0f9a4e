#include "widgets/CDataBrowser.h"
#include "widgets/CDataBrowserSource.h"

// The callbacks every data browser shares: each finds its wrapper through the
// control property and hands the question to the wrapper's source. Without a
// wrapper or a source nothing is answered.

DataBrowserCallbacks const& CDataBrowser::SharedCallbacks()
{
    static DataBrowserCallbacks const callbacks = [] {
        DataBrowserCallbacks table;
        InitDataBrowserCallbacks(&table);
        table.u.itemDataCallback = ItemData;
        table.u.itemCompareCallback = ItemCompare;
        table.u.itemNotificationCallback = ItemNotification;
        table.u.getHelpContentCallback = HelpContent;
        table.u.addDragItemCallback = AddDragItem;
        table.u.acceptDragCallback = AcceptDrag;
        table.u.receiveDragCallback = ReceiveDrag;
        table.u.postProcessDragCallback = PostProcessDrag;
        table.u.getContextualMenuCallback = GetContextualMenu;
        table.u.selectContextualMenuCallback = SelectContextualMenu;
        return table;
    }();
    return callbacks;
}

CDataBrowser* CDataBrowser::FromControl(ControlRef control)
{
    CDataBrowser* wrapper = nullptr;
    if (!control
        || ::GetControlProperty(control, kPropertyCreator, kPropertyWrapper, sizeof wrapper, nullptr, &wrapper)
            != noErr)
        return nullptr;
    // A wrapper being destroyed no longer has its object.
    return wrapper && wrapper->GetControlRef() == control ? wrapper : nullptr;
}

CDataBrowserSource* CDataBrowser::SourceOf(ControlRef control)
{
    CDataBrowser* wrapper = FromControl(control);
    return wrapper ? wrapper->mSource : nullptr;
}

OSStatus CDataBrowser::ItemData(ControlRef control, DataBrowserItemID item, DataBrowserPropertyID property,
    DataBrowserItemDataRef data, Boolean setValue)
{
    CDataBrowserSource* source = SourceOf(control);
    if (!source)
        return eventNotHandledErr;
    return setValue ? source->SetItemData(item, data, property) : source->GetItemData(item, data, property);
}

Boolean CDataBrowser::ItemCompare(
    ControlRef control, DataBrowserItemID one, DataBrowserItemID two, DataBrowserPropertyID property)
{
    CDataBrowserSource* source = SourceOf(control);
    return source && source->CompareItems(one, two, property) == -1;
}

void CDataBrowser::ItemNotification(
    ControlRef control, DataBrowserItemID item, DataBrowserItemNotification message, DataBrowserItemDataRef)
{
    CDataBrowserSource* source = SourceOf(control);
    if (!source)
        return;
    switch (message) {
    case kDataBrowserItemAdded:
        source->ItemAdded(item);
        break;
    case kDataBrowserItemRemoved:
        source->ItemRemoved(item);
        break;
    case kDataBrowserEditStarted:
        source->ItemEditStarted(item);
        break;
    case kDataBrowserEditStopped:
        source->ItemEditStopped(item);
        break;
    case kDataBrowserItemSelected:
        source->ItemSelected(item);
        break;
    case kDataBrowserItemDeselected:
        source->ItemDeselected(item);
        break;
    case kDataBrowserItemDoubleClicked:
        source->ItemOpened(item);
        break;
    case kDataBrowserContainerOpened:
        source->ContainerOpened(item);
        break;
    case kDataBrowserContainerClosing:
        source->ContainerClosing(item);
        break;
    case kDataBrowserContainerClosed:
        source->ContainerClosed(item);
        break;
    case kDataBrowserContainerSorting:
        source->ContainerSorting(item);
        break;
    case kDataBrowserContainerSorted:
        source->ContainerSorted(item);
        break;
    case kDataBrowserUserStateChanged:
        source->BrowserFormat();
        break;
    case kDataBrowserSelectionSetChanged:
        source->BrowserSelection();
        break;
    case kDataBrowserTargetChanged:
        source->BrowserTarget();
        break;
    case kDataBrowserUserToggledContainer:
        source->ContainerToggled(item);
        break;
    default:
        break;
    }
}

void CDataBrowser::HelpContent(ControlRef control, DataBrowserItemID item, DataBrowserPropertyID property,
    HMContentRequest request, HMContentProvidedType* provided, HMHelpContentRec* content)
{
    CDataBrowserSource* source = SourceOf(control);
    if (source && provided && content)
        source->GetItemHelp(item, property, request, *provided, *content);
}

Boolean CDataBrowser::AddDragItem(ControlRef control, DragRef drag, DataBrowserItemID item, ItemReference*)
{
    CDataBrowserSource* source = SourceOf(control);
    return source && source->CanDrag(item, drag);
}

Boolean CDataBrowser::AcceptDrag(ControlRef control, DragRef drag, DataBrowserItemID item)
{
    CDataBrowserSource* source = SourceOf(control);
    return source && source->AcceptDrag(item, drag);
}

Boolean CDataBrowser::ReceiveDrag(ControlRef control, DragRef drag, DataBrowserItemID item)
{
    CDataBrowserSource* source = SourceOf(control);
    return source && source->ReceiveDrag(item, drag);
}

void CDataBrowser::PostProcessDrag(ControlRef control, DragRef drag, OSStatus result)
{
    if (CDataBrowserSource* source = SourceOf(control))
        source->FinishDrag(drag, result);
}

void CDataBrowser::GetContextualMenu(
    ControlRef control, MenuRef* menu, UInt32* helpType, CFStringRef* helpItem, AEDesc* selection)
{
    if (helpItem)
        *helpItem = nullptr;
    if (menu)
        *menu = nullptr;
    CDataBrowserSource* source = SourceOf(control);
    if (source && menu && helpType && selection)
        *menu = source->GetContextualMenu(*helpType, *selection);
}

void CDataBrowser::SelectContextualMenu(
    ControlRef control, MenuRef menu, UInt32 selectionType, SInt16 menuID, MenuItemIndex item)
{
    if (CDataBrowserSource* source = SourceOf(control))
        source->HandleContextualMenu(selectionType, menu, menuID, item);
}
