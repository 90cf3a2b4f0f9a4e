#include "corefoundation/CFString.h"
#include "services/MacMemory.h"
#include "toolbox/databrowser/DataBrowserCalls.h"
#include "toolbox/databrowser/DataBrowserView.h"

#include <cstring>

using tw::toolbox::databrowser::DataBrowserView;
using tw::toolbox::databrowser::FindDataBrowser;

// Columns, sorting, items, selection and cell values of the data browser.

namespace {

template <typename F> OSStatus With(ControlRef browser, F&& call)
{
    DataBrowserView* view = FindDataBrowser(browser);
    if (!view)
        return paramErr;
    // Kept alive across callbacks that may dispose the control.
    std::shared_ptr<tw::toolbox::databrowser::DataBrowserModel> model = view->ModelRef();
    tw::toolbox::Protector protect(view->GetView());
    return call(*view, *model);
}

// Lists have one container: the root.
bool IsRoot(DataBrowserItemID container) { return container == kDataBrowserNoItem; }

} // namespace

OSStatus AddDataBrowserListViewColumn(
    ControlRef browser, DataBrowserListViewColumnDesc* column, DataBrowserTableViewColumnIndex position)
{
    if (!column)
        return paramErr;
    return With(browser, [&](DataBrowserView& v, auto& model) -> OSStatus {
        if (v.GetStyle() != kDataBrowserListView)
            return errDataBrowserNotConfigured;
        return model.AddColumn(*column, position);
    });
}

OSStatus RemoveDataBrowserTableViewColumn(ControlRef browser, DataBrowserPropertyID column)
{
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus { return model.RemoveColumn(column); });
}

OSStatus GetDataBrowserTableViewColumnCount(ControlRef browser, UInt32* outCount)
{
    if (!outCount)
        return paramErr;
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus {
        *outCount = static_cast<UInt32>(model.GetColumns().size());
        return noErr;
    });
}

OSStatus GetDataBrowserTableViewColumnPosition(
    ControlRef browser, DataBrowserPropertyID column, DataBrowserTableViewColumnIndex* outPosition)
{
    if (!outPosition)
        return paramErr;
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus {
        std::ptrdiff_t const index = model.ColumnIndex(column);
        if (index < 0)
            return errDataBrowserPropertyNotFound;
        *outPosition = static_cast<DataBrowserTableViewColumnIndex>(index);
        return noErr;
    });
}

OSStatus GetDataBrowserTableViewNamedColumnWidth(ControlRef browser, DataBrowserPropertyID column, UInt16* outWidth)
{
    if (!outWidth)
        return paramErr;
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus {
        auto const* found = model.FindColumn(column);
        if (!found)
            return errDataBrowserPropertyNotFound;
        *outWidth = static_cast<UInt16>(found->width);
        return noErr;
    });
}

OSStatus SetDataBrowserTableViewNamedColumnWidth(ControlRef browser, DataBrowserPropertyID column, UInt16 width)
{
    return With(
        browser, [&](DataBrowserView&, auto& model) -> OSStatus { return model.SetColumnWidth(column, width); });
}

OSStatus GetDataBrowserSortProperty(ControlRef browser, DataBrowserPropertyID* outProperty)
{
    if (!outProperty)
        return paramErr;
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus {
        *outProperty = model.GetSortProperty();
        return noErr;
    });
}

OSStatus SetDataBrowserSortProperty(ControlRef browser, DataBrowserPropertyID property)
{
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus { return model.SetSortProperty(property); });
}

OSStatus GetDataBrowserSortOrder(ControlRef browser, DataBrowserSortOrder* outOrder)
{
    if (!outOrder)
        return paramErr;
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus {
        *outOrder = model.GetSortOrder();
        return noErr;
    });
}

OSStatus SetDataBrowserSortOrder(ControlRef browser, DataBrowserSortOrder order)
{
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus { return model.SetSortOrder(order); });
}

OSStatus AddDataBrowserItems(ControlRef browser, DataBrowserItemID container, UInt32 numItems,
    DataBrowserItemID const* items, DataBrowserPropertyID)
{
    if (!IsRoot(container))
        return errDataBrowserItemNotFound;
    return With(browser, [&](DataBrowserView& v, auto& model) -> OSStatus {
        tw::toolbox::View* const view = v.GetView();
        OSStatus const status = model.Add(items, numItems);
        if (!view->IsDisposed()) // a callback may have disposed the browser with its behaviour
            v.ScrollTo(v.GetTop());
        return status;
    });
}

OSStatus RemoveDataBrowserItems(ControlRef browser, DataBrowserItemID container, UInt32 numItems,
    DataBrowserItemID const* items, DataBrowserPropertyID)
{
    if (!IsRoot(container))
        return errDataBrowserItemNotFound;
    return With(browser, [&](DataBrowserView& v, auto& model) -> OSStatus {
        tw::toolbox::View* const view = v.GetView();
        OSStatus const status = model.Remove(items, numItems);
        if (!view->IsDisposed())
            v.ScrollTo(v.GetTop());
        return status;
    });
}

OSStatus UpdateDataBrowserItems(ControlRef browser, DataBrowserItemID container, UInt32 numItems,
    DataBrowserItemID const* items, DataBrowserPropertyID, DataBrowserPropertyID)
{
    if (!IsRoot(container) || (numItems > 0 && !items))
        return paramErr;
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus {
        for (UInt32 i = 0; i < numItems; ++i) {
            if (!model.Contains(items[i]))
                return errDataBrowserItemNotFound;
        }
        return model.Update();
    });
}

OSStatus GetDataBrowserItemCount(
    ControlRef browser, DataBrowserItemID container, Boolean, DataBrowserItemState state, UInt32* outCount)
{
    if (!outCount)
        return paramErr;
    *outCount = 0;
    if (!IsRoot(container))
        return errDataBrowserItemNotFound;
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus {
        *outCount = static_cast<UInt32>(model.Count(state));
        return noErr;
    });
}

OSStatus GetDataBrowserItems(
    ControlRef browser, DataBrowserItemID container, Boolean, DataBrowserItemState state, Handle items)
{
    if (!items || !IsRoot(container))
        return paramErr;
    return With(browser, [&](DataBrowserView&, auto& model) -> OSStatus {
        std::vector<DataBrowserItemID> const found = model.Items(state);
        auto const size = static_cast<Size>(found.size() * sizeof(DataBrowserItemID));
        OSErr const error = SetHandleSize(items, size);
        if (error != noErr)
            return static_cast<OSStatus>(error);
        if (size > 0)
            std::memcpy(*items, found.data(), static_cast<std::size_t>(size));
        return noErr;
    });
}

OSStatus RevealDataBrowserItem(
    ControlRef browser, DataBrowserItemID item, DataBrowserPropertyID, DataBrowserRevealOptions options)
{
    return With(browser, [&](DataBrowserView& v, auto&) -> OSStatus { return v.Reveal(item, options); });
}

OSStatus SetDataBrowserSelectedItems(
    ControlRef browser, UInt32 numItems, DataBrowserItemID const* items, DataBrowserSetOption operation)
{
    return With(browser,
        [&](DataBrowserView&, auto& model) -> OSStatus { return model.SetSelection(items, numItems, operation); });
}

Boolean IsDataBrowserItemSelected(ControlRef browser, DataBrowserItemID item)
{
    DataBrowserView* view = FindDataBrowser(browser);
    return view && view->Model().IsSelected(item);
}

OSStatus GetDataBrowserItemDataProperty(DataBrowserItemDataRef data, DataBrowserPropertyID* outProperty)
{
    if (!data || !outProperty)
        return paramErr;
    *outProperty = data->property;
    return noErr;
}

OSStatus SetDataBrowserItemDataText(DataBrowserItemDataRef data, CFStringRef text)
{
    if (!data)
        return paramErr;
    data->SetText(text);
    return noErr;
}

OSStatus GetDataBrowserItemDataText(DataBrowserItemDataRef data, CFStringRef* outText)
{
    if (!data || !outText)
        return paramErr;
    *outText = data->text;
    if (*outText)
        CFRetain(*outText);
    return noErr;
}

OSStatus SetDataBrowserItemDataIcon(DataBrowserItemDataRef data, IconRef icon)
{
    if (!data)
        return paramErr;
    data->SetIcon(icon);
    return noErr;
}

OSStatus SetDataBrowserItemDataButtonValue(DataBrowserItemDataRef data, ThemeButtonValue value)
{
    if (!data || value > kThemeButtonMixed)
        return paramErr;
    data->button = value;
    return noErr;
}

OSStatus GetDataBrowserItemDataButtonValue(DataBrowserItemDataRef data, ThemeButtonValue* outValue)
{
    if (!data || !outValue)
        return paramErr;
    *outValue = data->button;
    return noErr;
}
