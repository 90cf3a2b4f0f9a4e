#pragma once

#include "toolbox/controls/ButtonContent.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/databrowser/DataBrowserModel.h"

#include <map>
#include <memory>
#include <string>

namespace tw::toolbox::databrowser {

// The standard behaviour of a data browser view: the list view's header,
// rows and scroll bars, clicks (selection, sorting, moving and sizing
// columns, check boxes, the contextual menu), keys and the wheel. Only rows
// that show are asked for their values.
class DataBrowserView : public controls::Behaviour {
public:
    static constexpr CGFloat kHeaderHeight = 18; // [px]
    static constexpr UInt16 kDefaultRowHeight = 18; // [px]

    explicit DataBrowserView(View* view);

    DataBrowserModel& Model() { return *mModel; }
    std::shared_ptr<DataBrowserModel> const& ModelRef() const { return mModel; }

    DataBrowserViewStyle GetStyle() const { return mStyle; }
    void SetStyle(DataBrowserViewStyle style);
    DataBrowserTableViewHiliteStyle GetHiliteStyle() const { return mHiliteStyle; }
    void SetHiliteStyle(DataBrowserTableViewHiliteStyle style);
    DataBrowserSelectionFlags GetSelectionFlags() const { return mSelectionFlags; }
    void SetSelectionFlags(DataBrowserSelectionFlags flags) { mSelectionFlags = flags; }
    void GetScrollBars(bool* horizontal, bool* vertical) const;
    void SetScrollBars(bool horizontal, bool vertical);
    OptionBits GetAttributes() const { return mAttributes; }
    void ChangeAttributes(OptionBits set, OptionBits clear);
    UInt16 GetRowHeight() const { return mRowHeight; }
    void SetRowHeight(UInt16 height);

    // Scrolling, in pixels from the first row and the first column's left edge.
    CGFloat GetTop() const { return mTop; }
    CGFloat GetLeft() const { return mLeft; }
    void ScrollTo(CGFloat top);
    void ScrollLeftTo(CGFloat left);
    OSStatus Reveal(DataBrowserItemID item, DataBrowserRevealOptions options);

    // Layout, in view coordinates.
    CGRect HeaderRect() const;
    CGRect RowsRect() const;
    CGRect ScrollBarRect() const; // vertical
    CGRect HorizontalBarRect() const;
    CGRect RowRect(std::size_t row) const;
    // The columns' left edges and widths as drawn: the last one stretches to the right edge.
    std::vector<CGRect> ColumnRects() const;

protected:
    OSStatus Draw(CGContextRef c) override;
    ControlPartCode HitTest(CGPoint p) override;
    OSStatus Track(EventHandlerCallRef callRef, EventRef event) override;
    OSStatus Key(EventRef event) override;
    // Typing the start of a row's text selects that row.
    OSStatus Text(EventRef event) override;
    bool TakesFocus() const override { return true; }
    OSStatus OtherEvent(EventHandlerCallRef callRef, EventRef event) override;
    void BoundsChanged() override
    {
        ScrollTo(mTop);
        ScrollLeftTo(mLeft);
    }

private:
    void DrawHeader(CGContextRef c);
    void DrawRows(CGContextRef c);
    void DrawRowBackground(
        CGContextRef c, std::size_t row, bool selected, bool active, std::vector<CGRect> const& rects);
    void DrawCell(CGContextRef c, Column const& column, DataBrowserItemID item, CGRect cell, bool selected);
    void DrawScrollBar(CGContextRef c);
    CGRect ThumbRect() const;
    CGRect HorizontalThumbRect() const;
    CGFloat MaxTop() const;
    CGFloat MaxLeft() const;
    CGFloat ContentWidth() const;
    std::ptrdiff_t RowAt(CGPoint p) const;
    std::ptrdiff_t ColumnAt(CGFloat x) const;
    void TrackRows(CGPoint p, UInt32 modifiers, UInt32 clicks, EventMouseButton button);
    void TrackHeader(CGPoint p);
    void TrackScrollBar(CGPoint p);
    void TrackHorizontalBar(CGPoint p);
    void ClickRow(std::ptrdiff_t row, UInt32 modifiers);
    bool ClickCheckBox(std::ptrdiff_t row, CGPoint p);
    void ContextualMenu(CGPoint p, std::ptrdiff_t row);
    void MoveSelection(std::ptrdiff_t row, bool extend);
    // The column typing matches: the sorted one when it shows text, else the first that does.
    DataBrowserPropertyID TypeAheadProperty() const;
    void TypeAhead(std::u16string const& typed);
    CGImageRef IconImage(IconRef icon);

    std::shared_ptr<DataBrowserModel> mModel; // owns (shared while it calls out)
    DataBrowserViewStyle mStyle = kDataBrowserListView;
    DataBrowserTableViewHiliteStyle mHiliteStyle = kDataBrowserTableViewFillHilite;
    DataBrowserSelectionFlags mSelectionFlags = kDataBrowserDragSelect | kDataBrowserCmdTogglesSelection;
    bool mHorizontalBar = false;
    bool mVerticalBar = true;
    OptionBits mAttributes = 0;
    UInt16 mRowHeight = kDefaultRowHeight;
    CGFloat mTop = 0; // [px] scrolled off above the rows
    CGFloat mLeft = 0; // [px] scrolled off left of the columns
    DataBrowserItemID mLastClicked = kDataBrowserNoItem;
    std::u16string mTyped; // type-ahead so far
    EventTime mTypedAt = -1;
    std::map<IconRef, std::unique_ptr<controls::ButtonContent>> mIcons; // each retains its icon
};

// The behaviour of a data browser view, or null.
DataBrowserView* FindDataBrowser(ControlRef browser);

} // namespace tw::toolbox::databrowser
