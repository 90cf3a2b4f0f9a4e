#pragma once

#include "toolbox/View.h"
#include "toolbox/databrowser/DataBrowserCalls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tw::toolbox {
class View;
}

namespace tw::toolbox::databrowser {

// One cell value on its way between the browser and the item data callback.
struct ItemData {
    ItemData() = default;
    ~ItemData();
    ItemData(ItemData const&) = delete;
    ItemData& operator=(ItemData const&) = delete;
    void SetText(CFStringRef text);
    void SetIcon(IconRef icon);

    DataBrowserPropertyID property = 0;
    CFStringRef text = nullptr; // retains
    IconRef icon = nullptr; // retains
    ThemeButtonValue button = kThemeButtonOff;
};

// One list column; the title is kept as UTF-8 so that columns copy freely.
struct Column {
    DataBrowserPropertyDesc property;
    UInt16 minimumWidth = 0;
    UInt16 maximumWidth = 0;
    SInt16 titleOffset = 0;
    std::string title;
    DataBrowserSortOrder initialOrder = kDataBrowserOrderIncreasing;
    CGFloat width = 0; // [px]
};

// The items, selection, columns and order of one data browser, and the calls
// out to its callbacks. Holds ids only. Callbacks may change the browser
// while it calls them: every loop works on a snapshot and re-checks that an id
// is still listed before it calls out with it, and each call that calls out
// keeps the model and its view alive until it returns (a callback may dispose the view).
class DataBrowserModel : public std::enable_shared_from_this<DataBrowserModel> {
public:
    explicit DataBrowserModel(View* owner);

    DataBrowserCallbacks const& GetCallbacks() const { return mCallbacks; }
    void SetCallbacks(DataBrowserCallbacks const& callbacks) { mCallbacks = callbacks; }

    // Items, in display order.
    OSStatus Add(DataBrowserItemID const* items, std::size_t count);
    OSStatus Remove(DataBrowserItemID const* items, std::size_t count); // count 0: every item
    OSStatus Update(); // the values changed: sorts again
    bool Contains(DataBrowserItemID item) const { return mIndex.count(item) != 0; }
    std::size_t RowCount() const { return mRows.size(); }
    DataBrowserItemID RowItem(std::size_t row) const { return row < mRows.size() ? mRows[row] : kDataBrowserNoItem; }
    std::ptrdiff_t RowOf(DataBrowserItemID item) const;
    std::size_t Count(DataBrowserItemState state) const;
    std::vector<DataBrowserItemID> Items(DataBrowserItemState state) const;

    // Selection; each change is notified (deselected, selected, then one selection-changed).
    bool IsSelected(DataBrowserItemID item) const { return mSelected.count(item) != 0; }
    std::size_t SelectedCount() const { return mSelected.size(); }
    OSStatus SetSelection(DataBrowserItemID const* items, std::size_t count, DataBrowserSetOption operation);
    void SelectRows(std::size_t first, std::size_t last, bool add); // inclusive
    DataBrowserItemID GetAnchor() const { return mAnchor; }
    void SetAnchor(DataBrowserItemID item) { mAnchor = item; }

    // Columns.
    std::vector<Column> const& GetColumns() const { return mColumns; }
    OSStatus AddColumn(DataBrowserListViewColumnDesc const& desc, DataBrowserTableViewColumnIndex position);
    OSStatus RemoveColumn(DataBrowserPropertyID property);
    void RemoveAllColumns();
    Column* FindColumn(DataBrowserPropertyID property);
    std::ptrdiff_t ColumnIndex(DataBrowserPropertyID property) const;
    void MoveColumn(std::size_t from, std::size_t to);
    OSStatus SetColumnWidth(DataBrowserPropertyID property, CGFloat width);

    // Order: no sort property keeps insertion order.
    DataBrowserPropertyID GetSortProperty() const { return mSortProperty; }
    DataBrowserSortOrder GetSortOrder() const { return mSortOrder; }
    OSStatus SetSortProperty(DataBrowserPropertyID property);
    OSStatus SetSortOrder(DataBrowserSortOrder order);
    // A click on a sortable header: its initial order first, then toggling.
    void HeaderClicked(DataBrowserPropertyID property);

    // Calls out.
    OSStatus GetData(DataBrowserItemID item, DataBrowserPropertyID property, ItemData& data);
    OSStatus SetData(DataBrowserItemID item, DataBrowserPropertyID property, ItemData& data);
    void Notify(DataBrowserItemID item, DataBrowserItemNotification message);

private:
    // Held by every call that calls out.
    struct Guard {
        explicit Guard(DataBrowserModel* model)
            : keep(model->shared_from_this())
            , protect(model->mOwner)
        {
        }
        std::shared_ptr<DataBrowserModel> keep;
        Protector protect;
    };

    void Sort();
    void Reindex();
    bool Live() const;
    void ApplySelection(std::unordered_set<DataBrowserItemID> wanted);

    View* mOwner; // weak: the model lives inside its view's behaviour
    DataBrowserCallbacks mCallbacks {};
    std::vector<DataBrowserItemID> mRows;
    // item -> row; the keys are always exact, the rows are rebuilt on demand after a reorder
    mutable std::unordered_map<DataBrowserItemID, std::size_t> mIndex;
    mutable bool mIndexDirty = false;
    std::unordered_set<DataBrowserItemID> mSelected;
    DataBrowserItemID mAnchor = kDataBrowserNoItem;
    std::vector<Column> mColumns;
    DataBrowserPropertyID mSortProperty = kDataBrowserItemNoProperty;
    DataBrowserSortOrder mSortOrder = kDataBrowserOrderIncreasing;
    std::uint64_t mGeneration = 0; // bumped by every change of the rows
};

} // namespace tw::toolbox::databrowser
