#pragma once

// A data browser test source: items are numbers whose text is their value in
// decimal; every call out is logged, and a hook may act inside a notification.

#include "corefoundation/CFString.h"
#include "toolbox/databrowser/DataBrowserCalls.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace tw::test {

struct TestSource {
    static constexpr DataBrowserPropertyID kName = 'name';
    static constexpr DataBrowserPropertyID kDone = 'done';

    std::vector<std::string> log; // "data 7", "note 2 7" (notification 2 for item 7)
    std::vector<DataBrowserItemID> dataAsked;
    std::vector<DataBrowserItemID> checked;
    std::function<void(DataBrowserItemID, DataBrowserItemNotification)> onNotify;
    int compares = 0;

    static TestSource*& Current()
    {
        static TestSource* current = nullptr;
        return current;
    }

    static OSStatus Data(ControlRef, DataBrowserItemID item, DataBrowserPropertyID property,
        DataBrowserItemDataRef data, Boolean setValue)
    {
        TestSource* self = Current();
        if (setValue) {
            ThemeButtonValue value = 0;
            GetDataBrowserItemDataButtonValue(data, &value);
            if (value == kThemeButtonOn)
                self->checked.push_back(item);
            else
                std::erase(self->checked, item);
            return noErr;
        }
        self->dataAsked.push_back(item);
        if (property == kDone)
            return SetDataBrowserItemDataButtonValue(
                data, std::find(self->checked.begin(), self->checked.end(), item) != self->checked.end());
        CFStringRef text = cf::CreateString(std::to_string(item));
        SetDataBrowserItemDataText(data, text);
        CFRelease(text);
        return noErr;
    }

    static Boolean Compare(ControlRef, DataBrowserItemID one, DataBrowserItemID two, DataBrowserPropertyID)
    {
        ++Current()->compares;
        return one < two;
    }

    static void Notify(ControlRef, DataBrowserItemID item, DataBrowserItemNotification message, DataBrowserItemDataRef)
    {
        TestSource* self = Current();
        self->log.push_back("note " + std::to_string(message) + " " + std::to_string(item));
        if (self->onNotify)
            self->onNotify(item, message);
    }

    MenuRef menu = nullptr; // weak: the test's

    static void GetMenu(ControlRef, MenuRef* outMenu, UInt32* helpType, CFStringRef*, AEDesc*)
    {
        Current()->log.push_back("menu");
        *outMenu = Current()->menu;
        *helpType = kCMHelpItemRemoveHelp;
    }

    static void SelectMenu(ControlRef, MenuRef, UInt32 selectionType, SInt16 menuID, MenuItemIndex item)
    {
        Current()->log.push_back(
            "chose " + std::to_string(selectionType) + " " + std::to_string(menuID) + " " + std::to_string(item));
    }

    void Install(ControlRef browser)
    {
        Current() = this;
        DataBrowserCallbacks callbacks;
        InitDataBrowserCallbacks(&callbacks);
        callbacks.u.itemDataCallback = Data;
        callbacks.u.itemCompareCallback = Compare;
        callbacks.u.itemNotificationCallback = Notify;
        callbacks.u.getContextualMenuCallback = GetMenu;
        callbacks.u.selectContextualMenuCallback = SelectMenu;
        SetDataBrowserCallbacks(browser, &callbacks);
    }

    // Notifications of one kind, as the item ids they carried.
    std::vector<DataBrowserItemID> Notes(DataBrowserItemNotification message) const
    {
        std::vector<DataBrowserItemID> items;
        std::string const prefix = "note " + std::to_string(message) + " ";
        for (std::string const& entry : log) {
            if (entry.rfind(prefix, 0) == 0)
                items.push_back(std::stoull(entry.substr(prefix.size())));
        }
        return items;
    }
};

// A column description for the tests.
inline DataBrowserListViewColumnDesc Column(DataBrowserPropertyID property, DataBrowserPropertyType type,
    CFStringRef title, UInt16 width, DataBrowserPropertyFlags flags, DataBrowserSortOrder order)
{
    DataBrowserListViewColumnDesc column;
    column.propertyDesc.propertyID = property;
    column.propertyDesc.propertyType = type;
    column.propertyDesc.propertyFlags = flags;
    column.headerBtnDesc.minimumWidth = width;
    column.headerBtnDesc.maximumWidth = static_cast<UInt16>(width * 3);
    column.headerBtnDesc.titleString = title;
    column.headerBtnDesc.initialOrder = order;
    return column;
}

} // namespace tw::test
