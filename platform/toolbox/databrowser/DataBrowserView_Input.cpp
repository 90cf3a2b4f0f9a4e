#include "corefoundation/CFString.h"
#include "toolbox/KeyCodes.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlsInternal.h"
#include "toolbox/databrowser/DataBrowserView.h"

#include <algorithm>
#include <cmath>

// The data browser's clicks, keys and wheel.

namespace tw::toolbox::databrowser {

namespace {

    constexpr EventTime kTypeAheadPause = 1.0; // [s] typing after this long starts afresh
    constexpr CGFloat kDividerSlop = 3; // [px] either side of a header divider that resizes
    constexpr CGFloat kDragThreshold = 4; // [px] before a header press becomes a column move

    template <typename T> T Param(EventRef event, EventParamName name, EventParamType type, T fallback = T {})
    {
        T value = fallback;
        GetEventParameter(event, name, type, nullptr, sizeof value, nullptr, &value);
        return value;
    }

    // Waits for the next mouse event of a press; false once the button is up (or the wait failed).
    bool NextMouse(View* view, CGPoint* p, UInt32* modifiers)
    {
        MouseTrackingResult result = 0;
        if (HIViewTrackMouseLocation(view, 0, kEventDurationForever, p, modifiers, &result) != noErr)
            return false;
        return result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled && !view->IsDisposed();
    }

} // namespace

OSStatus DataBrowserView::OtherEvent(EventHandlerCallRef, EventRef event)
{
    if (GetEventClass(event) != kEventClassMouse || GetEventKind(event) != kEventMouseWheelMoved)
        return eventNotHandledErr;
    // Three rows (or 30 px sideways) a notch; a positive delta scrolls towards the top or left.
    SInt32 const delta = Param<SInt32>(event, kEventParamMouseWheelDelta, typeSInt32);
    if (Param<UInt16>(event, kEventParamMouseWheelAxis, typeMouseWheelAxis, kEventMouseWheelAxisY)
        == kEventMouseWheelAxisY)
        ScrollTo(mTop - delta * 3.0 * mRowHeight);
    else
        ScrollLeftTo(mLeft - delta * 30.0);
    return noErr;
}

OSStatus DataBrowserView::Track(EventHandlerCallRef, EventRef event)
{
    CGPoint const p = Param<HIPoint>(event, kEventParamMouseLocation, typeHIPoint);
    UInt32 const modifiers = Param<UInt32>(event, kEventParamKeyModifiers, typeUInt32);
    UInt32 const clicks = Param<UInt32>(event, kEventParamClickCount, typeUInt32, 1);
    auto const button = Param<EventMouseButton>(event, kEventParamMouseButton, typeMouseButton, 1);
    // The click is the browser's own business: no hit, no command.
    ControlPartCode const none = kControlNoPart;
    SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof none, &none);
    if (CGRectContainsPoint(ScrollBarRect(), p))
        TrackScrollBar(p);
    else if (CGRectContainsPoint(HorizontalBarRect(), p))
        TrackHorizontalBar(p);
    else if (CGRectContainsPoint(HeaderRect(), p))
        TrackHeader(p);
    else
        TrackRows(p, modifiers, clicks, button);
    return noErr;
}

void DataBrowserView::TrackScrollBar(CGPoint p)
{
    View* const view = mView;
    CGRect const thumb = ThumbRect();
    if (CGRectIsEmpty(thumb))
        return;
    if (!CGRectContainsPoint(thumb, p)) {
        // A page towards the click.
        CGFloat const page = std::max<CGFloat>(mRowHeight, RowsRect().size.height - mRowHeight);
        ScrollTo(mTop + (p.y < thumb.origin.y ? -page : page));
        return;
    }
    CGFloat const startTop = mTop, startY = p.y;
    CGFloat const span = ScrollBarRect().size.height - thumb.size.height;
    UInt32 modifiers = 0;
    while (NextMouse(view, &p, &modifiers)) {
        if (span > 0)
            ScrollTo(startTop + (p.y - startY) * MaxTop() / span);
    }
}

void DataBrowserView::TrackHorizontalBar(CGPoint p)
{
    View* const view = mView;
    CGRect const thumb = HorizontalThumbRect();
    if (CGRectIsEmpty(thumb))
        return;
    if (!CGRectContainsPoint(thumb, p)) {
        CGFloat const page = std::max<CGFloat>(30, RowsRect().size.width - 30);
        ScrollLeftTo(mLeft + (p.x < thumb.origin.x ? -page : page));
        return;
    }
    CGFloat const startLeft = mLeft, startX = p.x;
    CGFloat const span = HorizontalBarRect().size.width - thumb.size.width;
    UInt32 modifiers = 0;
    while (NextMouse(view, &p, &modifiers)) {
        if (span > 0)
            ScrollLeftTo(startLeft + (p.x - startX) * MaxLeft() / span);
    }
}

void DataBrowserView::TrackHeader(CGPoint p)
{
    View* const view = mView;
    std::vector<CGRect> const rects = ColumnRects();
    std::ptrdiff_t const index = ColumnAt(p.x);
    if (index < 0)
        return;
    auto const column = static_cast<std::size_t>(index);
    Column const info = mModel->GetColumns()[column];
    UInt32 modifiers = 0;
    // Near a divider: size the column on its left.
    std::ptrdiff_t sizing = -1;
    if (std::fabs(p.x - rects[column].origin.x) <= kDividerSlop && column > 0)
        sizing = index - 1;
    else if (std::fabs(CGRectGetMaxX(rects[column]) - p.x) <= kDividerSlop)
        sizing = index;
    if (sizing >= 0) {
        DataBrowserPropertyID const property
            = mModel->GetColumns()[static_cast<std::size_t>(sizing)].property.propertyID;
        CGFloat const left = rects[static_cast<std::size_t>(sizing)].origin.x;
        while (NextMouse(view, &p, &modifiers))
            mModel->SetColumnWidth(property, p.x - left);
        return;
    }
    CGPoint const start = p;
    bool moved = false;
    bool const movable = (info.property.propertyFlags & kDataBrowserListViewMovableColumn) != 0;
    while (NextMouse(view, &p, &modifiers))
        moved |= movable && std::fabs(p.x - start.x) > kDragThreshold;
    if (view->IsDisposed())
        return;
    auto model = mModel;
    if (moved) {
        std::ptrdiff_t target = ColumnAt(p.x);
        if (target < 0)
            target = p.x < rects.front().origin.x ? 0 : static_cast<std::ptrdiff_t>(rects.size()) - 1;
        model->MoveColumn(column, static_cast<std::size_t>(target));
    } else if (CGRectContainsPoint(HeaderRect(), p) && ColumnAt(p.x) == index)
        model->HeaderClicked(info.property.propertyID);
}

void DataBrowserView::TrackRows(CGPoint p, UInt32 modifiers, UInt32 clicks, EventMouseButton button)
{
    View* const view = mView;
    Protector protect(view);
    auto model = mModel;
    std::ptrdiff_t const row = RowAt(p);
    if (button == 2 || (modifiers & controlKey)) {
        ContextualMenu(p, row);
        return;
    }
    if (row >= 0 && ClickCheckBox(row, p))
        return;
    DataBrowserItemID const item = model->RowItem(row < 0 ? model->RowCount() : static_cast<std::size_t>(row));
    bool const doubleClick = clicks >= 2 && item != kDataBrowserNoItem && item == mLastClicked;
    ClickRow(row, modifiers);
    if (view->IsDisposed())
        return;
    mLastClicked = item;
    if (doubleClick) {
        model->Notify(item, kDataBrowserItemDoubleClicked);
        return;
    }
    // Dragging extends the selection from the clicked row.
    bool const dragSelect = (mSelectionFlags & kDataBrowserDragSelect) && !(mSelectionFlags & kDataBrowserSelectOnlyOne)
        && row >= 0 && !(modifiers & (cmdKey | shiftKey));
    while (NextMouse(view, &p, &modifiers)) {
        if (!dragSelect)
            continue;
        CGRect const rows = RowsRect();
        if (p.y < rows.origin.y)
            ScrollTo(mTop - mRowHeight);
        else if (p.y > CGRectGetMaxY(rows))
            ScrollTo(mTop + mRowHeight);
        p.y = std::clamp<CGFloat>(p.y, rows.origin.y, CGRectGetMaxY(rows) - 1);
        std::ptrdiff_t const over = RowAt({ rows.origin.x, p.y });
        std::size_t const to = over < 0 ? model->RowCount() - 1 : static_cast<std::size_t>(over);
        model->SelectRows(static_cast<std::size_t>(row), to, false);
        if (view->IsDisposed())
            return;
    }
}

void DataBrowserView::ClickRow(std::ptrdiff_t row, UInt32 modifiers)
{
    auto model = mModel;
    bool const single = (mSelectionFlags & kDataBrowserSelectOnlyOne) != 0;
    if (row < 0) {
        // A click below the items empties the selection, unless it may never be empty.
        if (!(mSelectionFlags & kDataBrowserNeverEmptySelectionSet))
            model->SetSelection(nullptr, 0, kDataBrowserItemsAssign);
        return;
    }
    DataBrowserItemID const item = model->RowItem(static_cast<std::size_t>(row));
    std::ptrdiff_t const anchor = model->RowOf(model->GetAnchor());
    if (!single && (modifiers & shiftKey) && anchor >= 0) {
        model->SelectRows(static_cast<std::size_t>(anchor), static_cast<std::size_t>(row),
            (mSelectionFlags & kDataBrowserNoDisjointSelection) == 0 && (modifiers & cmdKey));
        return;
    }
    model->SetAnchor(item);
    if (!single && (modifiers & cmdKey)) {
        bool const toggles = (mSelectionFlags & kDataBrowserCmdTogglesSelection) != 0;
        bool const leaveLast = model->IsSelected(item) && model->SelectedCount() == 1
            && (mSelectionFlags & kDataBrowserNeverEmptySelectionSet);
        if (!leaveLast)
            model->SetSelection(&item, 1, toggles ? kDataBrowserItemsToggle : kDataBrowserItemsAdd);
        return;
    }
    bool const extend = !single && (mSelectionFlags & kDataBrowserAlwaysExtendSelection);
    model->SetSelection(&item, 1, extend ? kDataBrowserItemsAdd : kDataBrowserItemsAssign);
}

bool DataBrowserView::ClickCheckBox(std::ptrdiff_t row, CGPoint p)
{
    std::ptrdiff_t const index = ColumnAt(p.x);
    if (index < 0)
        return false;
    Column const column = mModel->GetColumns()[static_cast<std::size_t>(index)];
    if (column.property.propertyType != kDataBrowserCheckboxType
        || !(column.property.propertyFlags & kDataBrowserPropertyIsMutable))
        return false;
    auto model = mModel;
    DataBrowserItemID const item = model->RowItem(static_cast<std::size_t>(row));
    ItemData data;
    if (model->GetData(item, column.property.propertyID, data) != noErr)
        return true;
    ThemeButtonValue const value = data.button == kThemeButtonOn ? kThemeButtonOff : kThemeButtonOn;
    ItemData change;
    change.button = value;
    model->SetData(item, column.property.propertyID, change);
    return true;
}

void DataBrowserView::ContextualMenu(CGPoint p, std::ptrdiff_t row)
{
    View* const view = mView;
    auto model = mModel;
    // A right click on an unselected row selects it first, as the menu acts on the selection.
    if (row >= 0) {
        DataBrowserItemID const item = model->RowItem(static_cast<std::size_t>(row));
        if (!model->IsSelected(item))
            model->SetSelection(&item, 1, kDataBrowserItemsAssign);
    }
    DataBrowserCallbacks const callbacks = model->GetCallbacks();
    if (!callbacks.u.getContextualMenuCallback || view->IsDisposed())
        return;
    MenuRef menu = nullptr;
    UInt32 helpType = kCMHelpItemRemoveHelp;
    CFStringRef helpItem = nullptr;
    AEDesc selection {};
    callbacks.u.getContextualMenuCallback(view, &menu, &helpType, &helpItem, &selection);
    if (!menu || view->IsDisposed())
        return;
    CGPoint const local = view->ToWindow(p);
    Point global {};
    if (Window* window = view->GetWindow()) {
        global.h = static_cast<short>(local.x + window->GetStructure().origin.x);
        global.v = static_cast<short>(local.y + window->GetStructure().origin.y);
    }
    UInt32 selectionType = 0;
    MenuID menuID = 0;
    MenuItemIndex menuItem = 0;
    ContextualMenuSelect(menu, global, false, helpType, nullptr, &selection, &selectionType, &menuID, &menuItem);
    if (!view->IsDisposed() && model->GetCallbacks().u.selectContextualMenuCallback)
        model->GetCallbacks().u.selectContextualMenuCallback(view, menu, selectionType, menuID, menuItem);
}

OSStatus DataBrowserView::Key(EventRef event)
{
    if (GetEventKind(event) != kEventRawKeyDown && GetEventKind(event) != kEventRawKeyRepeat)
        return eventNotHandledErr;
    UInt32 const code = Param<UInt32>(event, kEventParamKeyCode, typeUInt32);
    bool const extend = (Param<UInt32>(event, kEventParamKeyModifiers, typeUInt32) & shiftKey) != 0;
    auto const count = static_cast<std::ptrdiff_t>(mModel->RowCount());
    if (count == 0)
        return eventNotHandledErr;
    auto const page = std::max<std::ptrdiff_t>(1, static_cast<std::ptrdiff_t>(RowsRect().size.height / mRowHeight) - 1);
    // The row the keys move from: the last selected one going down, the first going up.
    std::vector<DataBrowserItemID> const selected = mModel->Items(kDataBrowserItemIsSelected);
    std::ptrdiff_t const first = selected.empty() ? -1 : mModel->RowOf(selected.front());
    std::ptrdiff_t const last = selected.empty() ? -1 : mModel->RowOf(selected.back());
    std::ptrdiff_t target = 0;
    switch (code) {
    case kKeyUp:
        target = first < 0 ? count - 1 : std::max<std::ptrdiff_t>(0, first - 1);
        break;
    case kKeyDown:
        target = last < 0 ? 0 : std::min(count - 1, last + 1);
        break;
    case kKeyHome:
        target = 0;
        break;
    case kKeyEnd:
        target = count - 1;
        break;
    case kKeyPageUp:
        target = std::max<std::ptrdiff_t>(0, (first < 0 ? 0 : first) - page);
        break;
    case kKeyPageDown:
        target = std::min(count - 1, (last < 0 ? 0 : last) + page);
        break;
    default:
        return eventNotHandledErr;
    }
    MoveSelection(target, extend);
    return noErr;
}

void DataBrowserView::MoveSelection(std::ptrdiff_t row, bool extend)
{
    View* const view = mView;
    Protector protect(view);
    auto model = mModel;
    DataBrowserItemID const item = model->RowItem(static_cast<std::size_t>(row));
    std::ptrdiff_t const anchor = model->RowOf(model->GetAnchor());
    if (extend && anchor >= 0 && !(mSelectionFlags & kDataBrowserSelectOnlyOne))
        model->SelectRows(static_cast<std::size_t>(anchor), static_cast<std::size_t>(row), false);
    else {
        model->SetAnchor(item);
        model->SetSelection(&item, 1, kDataBrowserItemsAssign);
    }
    if (!view->IsDisposed())
        Reveal(item, kDataBrowserRevealOnly);
}

OSStatus DataBrowserView::Text(EventRef event)
{
    std::u16string const text = IsFocused() ? controls::TypedText(event) : std::u16string();
    if (text.empty() || mModel->RowCount() == 0)
        return eventNotHandledErr;
    EventTime const now = GetCurrentEventTime();
    if (mTypedAt < 0 || now - mTypedAt > kTypeAheadPause)
        mTyped.clear();
    mTypedAt = now;
    // A space alone is no start of a name.
    if (mTyped.empty() && text == u" ")
        return eventNotHandledErr;
    mTyped += text;
    TypeAhead(mTyped);
    return noErr;
}

DataBrowserPropertyID DataBrowserView::TypeAheadProperty() const
{
    auto const showsText = [](Column const& column) {
        return column.property.propertyType == kDataBrowserTextType
            || column.property.propertyType == kDataBrowserIconAndTextType;
    };
    std::vector<Column> const& columns = mModel->GetColumns();
    for (Column const& column : columns)
        if (column.property.propertyID == mModel->GetSortProperty() && showsText(column))
            return column.property.propertyID;
    for (Column const& column : columns)
        if (showsText(column))
            return column.property.propertyID;
    return kDataBrowserItemNoProperty;
}

// The first row, in the order shown, whose text starts with what was typed (any case);
// no match keeps the selection.
void DataBrowserView::TypeAhead(std::u16string const& typed)
{
    DataBrowserPropertyID const property = TypeAheadProperty();
    if (property == kDataBrowserItemNoProperty)
        return;
    auto model = mModel;
    CFStringRef prefix = cf::CreateString(cf::UTF16ToUTF8(typed));
    CFIndex const length = CFStringGetLength(prefix);
    for (std::size_t row = 0; row < model->RowCount(); ++row) {
        ItemData data;
        if (model->GetData(model->RowItem(row), property, data) != noErr || !data.text)
            continue;
        bool const matches = CFStringGetLength(data.text) >= length
            && CFStringCompareWithOptions(data.text, prefix, CFRange { 0, length }, kCFCompareCaseInsensitive)
                == kCFCompareEqualTo;
        if (matches) {
            MoveSelection(static_cast<std::ptrdiff_t>(row), false);
            break;
        }
    }
    CFRelease(prefix);
}

} // namespace tw::toolbox::databrowser
