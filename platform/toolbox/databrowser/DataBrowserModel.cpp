#include "toolbox/databrowser/DataBrowserModel.h"

#include "corefoundation/CFString.h"
#include "toolbox/View.h"

#include <algorithm>

namespace tw::toolbox::databrowser {

ItemData::~ItemData()
{
    SetText(nullptr);
    SetIcon(nullptr);
}

void ItemData::SetText(CFStringRef value)
{
    if (value)
        CFRetain(value);
    if (text)
        CFRelease(text);
    text = value;
}

void ItemData::SetIcon(IconRef value)
{
    if (value)
        AcquireIconRef(value);
    if (icon)
        ReleaseIconRef(icon);
    icon = value;
}

DataBrowserModel::DataBrowserModel(View* owner)
    : mOwner(owner)
{
}

bool DataBrowserModel::Live() const { return !mOwner->IsDisposed(); }

OSStatus DataBrowserModel::Add(DataBrowserItemID const* items, std::size_t count)
{
    Guard const guard(this);
    if (count > 0 && !items)
        return paramErr;
    // Checked first: a bad id adds nothing.
    std::unordered_set<DataBrowserItemID> batch;
    for (std::size_t i = 0; i < count; ++i) {
        if (items[i] == kDataBrowserNoItem || Contains(items[i]) || !batch.insert(items[i]).second)
            return errDataBrowserItemNotAdded;
    }
    if (count == 0)
        return noErr;
    ++mGeneration;
    bool const sorted = mSortProperty != kDataBrowserItemNoProperty && mCallbacks.u.itemCompareCallback;
    std::size_t const start = mRows.size();
    mRows.insert(mRows.end(), items, items + count);
    for (std::size_t i = 0; i < count; ++i)
        mIndex.emplace(items[i], start + i);
    if (sorted)
        Sort();
    mOwner->Invalidate();
    std::vector<DataBrowserItemID> const added(items, items + count);
    for (DataBrowserItemID item : added) {
        if (!Live())
            break;
        if (Contains(item))
            Notify(item, kDataBrowserItemAdded);
    }
    return noErr;
}

OSStatus DataBrowserModel::Remove(DataBrowserItemID const* items, std::size_t count)
{
    Guard const guard(this);
    if (count > 0 && !items)
        return paramErr;
    std::vector<DataBrowserItemID> removed;
    bool missing = false;
    if (count == 0) {
        removed.swap(mRows);
        mIndex.clear();
    } else {
        std::unordered_set<DataBrowserItemID> gone;
        for (std::size_t i = 0; i < count; ++i) {
            if (!Contains(items[i]))
                missing = true;
            else if (gone.insert(items[i]).second)
                removed.push_back(items[i]);
        }
        std::erase_if(mRows, [&](DataBrowserItemID item) { return gone.count(item) != 0; });
        for (DataBrowserItemID item : removed)
            mIndex.erase(item);
        mIndexDirty = true;
    }
    bool selectionShrank = false;
    for (DataBrowserItemID item : removed)
        selectionShrank |= mSelected.erase(item) != 0;
    if (!Contains(mAnchor))
        mAnchor = kDataBrowserNoItem;
    if (!removed.empty()) {
        ++mGeneration;
        mOwner->Invalidate();
    }
    // Removed items are told once each; the selection change once, and no deselection per item.
    for (DataBrowserItemID item : removed) {
        if (!Live())
            break;
        Notify(item, kDataBrowserItemRemoved);
    }
    if (selectionShrank && Live())
        Notify(kDataBrowserNoItem, kDataBrowserSelectionSetChanged);
    return missing ? errDataBrowserItemNotFound : noErr;
}

OSStatus DataBrowserModel::Update()
{
    Guard const guard(this);
    if (mSortProperty != kDataBrowserItemNoProperty)
        Sort();
    mOwner->Invalidate();
    return noErr;
}

std::ptrdiff_t DataBrowserModel::RowOf(DataBrowserItemID item) const
{
    if (mIndexDirty) {
        for (std::size_t row = 0; row < mRows.size(); ++row)
            mIndex[mRows[row]] = row;
        mIndexDirty = false;
    }
    auto const found = mIndex.find(item);
    return found == mIndex.end() ? -1 : static_cast<std::ptrdiff_t>(found->second);
}

std::size_t DataBrowserModel::Count(DataBrowserItemState state) const
{
    if (state == kDataBrowserItemAnyState || state == kDataBrowserItemNoState)
        return mRows.size();
    return (state & kDataBrowserItemIsSelected) ? mSelected.size() : 0;
}

std::vector<DataBrowserItemID> DataBrowserModel::Items(DataBrowserItemState state) const
{
    if (state == kDataBrowserItemAnyState || state == kDataBrowserItemNoState)
        return mRows;
    std::vector<DataBrowserItemID> result;
    if (state & kDataBrowserItemIsSelected) {
        result.reserve(mSelected.size());
        for (DataBrowserItemID item : mRows) {
            if (IsSelected(item))
                result.push_back(item);
        }
    }
    return result;
}

OSStatus DataBrowserModel::SetSelection(
    DataBrowserItemID const* items, std::size_t count, DataBrowserSetOption operation)
{
    if (count > 0 && !items)
        return paramErr;
    if (operation > kDataBrowserItemsRemove)
        return paramErr;
    std::unordered_set<DataBrowserItemID> wanted
        = operation == kDataBrowserItemsAssign ? std::unordered_set<DataBrowserItemID> {} : mSelected;
    for (std::size_t i = 0; i < count; ++i) {
        DataBrowserItemID const item = items[i];
        if (!Contains(item))
            continue;
        if (operation == kDataBrowserItemsRemove || (operation == kDataBrowserItemsToggle && wanted.count(item)))
            wanted.erase(item);
        else
            wanted.insert(item);
    }
    ApplySelection(std::move(wanted));
    return noErr;
}

void DataBrowserModel::SelectRows(std::size_t first, std::size_t last, bool add)
{
    std::unordered_set<DataBrowserItemID> wanted = add ? mSelected : std::unordered_set<DataBrowserItemID> {};
    if (first > last)
        std::swap(first, last);
    for (std::size_t row = first; row <= last && row < mRows.size(); ++row)
        wanted.insert(mRows[row]);
    ApplySelection(std::move(wanted));
}

void DataBrowserModel::ApplySelection(std::unordered_set<DataBrowserItemID> wanted)
{
    Guard const guard(this);
    std::vector<DataBrowserItemID> deselected, selected;
    for (DataBrowserItemID item : mRows) {
        bool const was = IsSelected(item), now = wanted.count(item) != 0;
        if (was && !now)
            deselected.push_back(item);
        else if (!was && now)
            selected.push_back(item);
    }
    if (deselected.empty() && selected.empty())
        return;
    mSelected.swap(wanted);
    mOwner->Invalidate();
    for (DataBrowserItemID item : deselected) {
        if (Live() && Contains(item) && !IsSelected(item))
            Notify(item, kDataBrowserItemDeselected);
    }
    for (DataBrowserItemID item : selected) {
        if (Live() && Contains(item) && IsSelected(item))
            Notify(item, kDataBrowserItemSelected);
    }
    if (Live())
        Notify(kDataBrowserNoItem, kDataBrowserSelectionSetChanged);
}

OSStatus DataBrowserModel::AddColumn(
    DataBrowserListViewColumnDesc const& desc, DataBrowserTableViewColumnIndex position)
{
    if (ColumnIndex(desc.propertyDesc.propertyID) >= 0 || desc.propertyDesc.propertyID == kDataBrowserItemNoProperty)
        return errDataBrowserPropertyNotFound;
    DataBrowserListViewHeaderDesc const& header = desc.headerBtnDesc;
    if (header.maximumWidth != 0 && header.maximumWidth < header.minimumWidth)
        return paramErr;
    Column column;
    column.property = desc.propertyDesc;
    column.minimumWidth = header.minimumWidth;
    column.maximumWidth = header.maximumWidth;
    column.titleOffset = header.titleOffset;
    column.title = tw::cf::ToUTF8(header.titleString);
    column.initialOrder = header.initialOrder == kDataBrowserOrderDecreasing ? kDataBrowserOrderDecreasing
                                                                             : kDataBrowserOrderIncreasing;
    CGFloat const preferred = column.property.propertyType == kDataBrowserCheckboxType ? 24 : 120;
    column.width = std::max<CGFloat>(header.minimumWidth, preferred);
    if (header.maximumWidth)
        column.width = std::min<CGFloat>(column.width, header.maximumWidth);
    std::size_t const at = position >= mColumns.size() ? mColumns.size() : position;
    mColumns.insert(mColumns.begin() + static_cast<std::ptrdiff_t>(at), column);
    mOwner->Invalidate();
    return noErr;
}

OSStatus DataBrowserModel::RemoveColumn(DataBrowserPropertyID property)
{
    std::ptrdiff_t const index = ColumnIndex(property);
    if (index < 0)
        return errDataBrowserPropertyNotFound;
    mColumns.erase(mColumns.begin() + index);
    if (mSortProperty == property)
        mSortProperty = kDataBrowserItemNoProperty;
    mOwner->Invalidate();
    return noErr;
}

void DataBrowserModel::RemoveAllColumns()
{
    mColumns.clear();
    mSortProperty = kDataBrowserItemNoProperty;
    mOwner->Invalidate();
}

Column* DataBrowserModel::FindColumn(DataBrowserPropertyID property)
{
    std::ptrdiff_t const index = ColumnIndex(property);
    return index < 0 ? nullptr : &mColumns[static_cast<std::size_t>(index)];
}

std::ptrdiff_t DataBrowserModel::ColumnIndex(DataBrowserPropertyID property) const
{
    for (std::size_t i = 0; i < mColumns.size(); ++i) {
        if (mColumns[i].property.propertyID == property)
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

void DataBrowserModel::MoveColumn(std::size_t from, std::size_t to)
{
    Guard const guard(this);
    if (from >= mColumns.size() || to >= mColumns.size() || from == to)
        return;
    Column const column = mColumns[from];
    mColumns.erase(mColumns.begin() + static_cast<std::ptrdiff_t>(from));
    mColumns.insert(mColumns.begin() + static_cast<std::ptrdiff_t>(to), column);
    mOwner->Invalidate();
    Notify(kDataBrowserNoItem, kDataBrowserUserStateChanged);
}

OSStatus DataBrowserModel::SetColumnWidth(DataBrowserPropertyID property, CGFloat width)
{
    Column* column = FindColumn(property);
    if (!column)
        return errDataBrowserPropertyNotFound;
    width = std::max<CGFloat>(width, column->minimumWidth);
    if (column->maximumWidth)
        width = std::min<CGFloat>(width, column->maximumWidth);
    column->width = width;
    mOwner->Invalidate();
    return noErr;
}

OSStatus DataBrowserModel::SetSortProperty(DataBrowserPropertyID property)
{
    if (property != kDataBrowserItemNoProperty && ColumnIndex(property) < 0)
        return errDataBrowserPropertyNotFound;
    mSortProperty = property;
    Sort();
    return noErr;
}

OSStatus DataBrowserModel::SetSortOrder(DataBrowserSortOrder order)
{
    if (order != kDataBrowserOrderIncreasing && order != kDataBrowserOrderDecreasing)
        return paramErr;
    mSortOrder = order;
    Sort();
    return noErr;
}

void DataBrowserModel::HeaderClicked(DataBrowserPropertyID property)
{
    Guard const guard(this);
    Column const* column = FindColumn(property);
    if (!column || !(column->property.propertyFlags & kDataBrowserListViewSortableColumn))
        return;
    if (mSortProperty == property)
        mSortOrder
            = mSortOrder == kDataBrowserOrderIncreasing ? kDataBrowserOrderDecreasing : kDataBrowserOrderIncreasing;
    else {
        mSortProperty = property;
        mSortOrder = column->initialOrder;
    }
    Sort();
    Notify(kDataBrowserNoItem, kDataBrowserUserStateChanged);
}

void DataBrowserModel::Sort()
{
    Guard const guard(this);
    mOwner->Invalidate();
    auto const compare = mCallbacks.u.itemCompareCallback;
    if (mSortProperty == kDataBrowserItemNoProperty || !compare || mRows.size() < 2)
        return;
    Notify(kDataBrowserNoItem, kDataBrowserContainerSorting);
    if (!Live())
        return;
    // Sorted on a copy: a callback that changes the list makes this pass moot.
    std::uint64_t const generation = mGeneration;
    std::vector<DataBrowserItemID> rows = mRows;
    DataBrowserPropertyID const property = mSortProperty;
    bool const increasing = mSortOrder != kDataBrowserOrderDecreasing;
    ControlRef const owner = mOwner;
    std::stable_sort(rows.begin(), rows.end(), [&](DataBrowserItemID a, DataBrowserItemID b) {
        return increasing ? compare(owner, a, b, property) != 0 : compare(owner, b, a, property) != 0;
    });
    if (generation != mGeneration || !Live())
        return;
    mRows.swap(rows);
    mIndexDirty = true;
    ++mGeneration;
    Notify(kDataBrowserNoItem, kDataBrowserContainerSorted);
}

OSStatus DataBrowserModel::GetData(DataBrowserItemID item, DataBrowserPropertyID property, ItemData& data)
{
    Guard const guard(this);
    if (!mCallbacks.u.itemDataCallback || !Live())
        return errDataBrowserNotConfigured;
    if (!Contains(item))
        return errDataBrowserItemNotFound;
    data.property = property;
    return mCallbacks.u.itemDataCallback(mOwner, item, property, &data, false);
}

OSStatus DataBrowserModel::SetData(DataBrowserItemID item, DataBrowserPropertyID property, ItemData& data)
{
    Guard const guard(this);
    if (!mCallbacks.u.itemDataCallback || !Live())
        return errDataBrowserNotConfigured;
    if (!Contains(item))
        return errDataBrowserItemNotFound;
    data.property = property;
    OSStatus const status = mCallbacks.u.itemDataCallback(mOwner, item, property, &data, true);
    mOwner->Invalidate();
    return status;
}

void DataBrowserModel::Notify(DataBrowserItemID item, DataBrowserItemNotification message)
{
    if (mCallbacks.u.itemNotificationCallback && Live()) {
        Guard const guard(this);
        mCallbacks.u.itemNotificationCallback(mOwner, item, message, nullptr);
    }
}

} // namespace tw::toolbox::databrowser
