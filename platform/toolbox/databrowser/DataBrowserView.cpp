#include "toolbox/databrowser/DataBrowserView.h"

#include "corefoundation/CFString.h"
#include "quartz/HITheme.h"
#include "quartz/HIViewDrawing.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlTheme.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox::databrowser {

namespace {

    using controls::ControlTheme;

    enum : ControlPartCode { kRowsPart = 1 };

    constexpr CGFloat kCellInset = 4; // [px] text from the cell's edges
    constexpr double kStripe[3] = { 0.93, 0.95, 0.99 };

    void DrawLabel(CGContextRef c, CFStringRef text, CGRect box, UInt16 font, bool white, bool enabled)
    {
        if (!text || box.size.width <= 0)
            return;
        HIThemeTextInfo info {};
        info.fontID = font;
        info.horizontalFlushness = kHIThemeTextHorizontalFlushLeft;
        info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
        info.truncationPosition = kHIThemeTextTruncationEnd;
        info.truncationMaxLines = 1;
        CGContextSaveGState(c);
        CGContextSetGrayFillColor(c, white ? 1.0 : (enabled ? 0.1 : 0.55), 1);
        HIThemeDrawTextBox(text, &box, &info, c, kHIThemeOrientationNormal);
        CGContextRestoreGState(c);
    }

} // namespace

DataBrowserView::DataBrowserView(View* view)
    : Behaviour(view)
    , mModel(std::make_shared<DataBrowserModel>(view))
{
    mView->ChangeFeatures(kHIViewFeatureGetsFocusOnClick, 0);
}

DataBrowserView* FindDataBrowser(ControlRef browser)
{
    return dynamic_cast<DataBrowserView*>(controls::FindBehaviour(browser));
}

void DataBrowserView::SetStyle(DataBrowserViewStyle style)
{
    // Any change of style drops the list's columns.
    if (style != mStyle)
        mModel->RemoveAllColumns();
    mStyle = style;
    mView->Invalidate();
}

void DataBrowserView::SetHiliteStyle(DataBrowserTableViewHiliteStyle style)
{
    mHiliteStyle = style;
    mView->Invalidate();
}

void DataBrowserView::GetScrollBars(bool* horizontal, bool* vertical) const
{
    if (horizontal)
        *horizontal = mHorizontalBar;
    if (vertical)
        *vertical = mVerticalBar;
}

void DataBrowserView::SetScrollBars(bool horizontal, bool vertical)
{
    mHorizontalBar = horizontal;
    mVerticalBar = vertical;
    ScrollTo(mTop);
    ScrollLeftTo(mLeft);
    mView->Invalidate();
}

void DataBrowserView::ChangeAttributes(OptionBits set, OptionBits clear)
{
    mAttributes = (mAttributes | set) & ~clear;
    mView->Invalidate();
}

void DataBrowserView::SetRowHeight(UInt16 height)
{
    mRowHeight = std::max<UInt16>(height, 4);
    ScrollTo(mTop);
    mView->Invalidate();
}

CGRect DataBrowserView::HeaderRect() const
{
    if (mStyle != kDataBrowserListView)
        return CGRectZero;
    CGRect const b = mView->GetBounds();
    CGFloat const bar = mVerticalBar ? kScrollBarWidth : 0;
    return { b.origin, { std::max<CGFloat>(0, b.size.width - bar), kHeaderHeight } };
}

CGRect DataBrowserView::RowsRect() const
{
    CGRect const b = mView->GetBounds();
    CGFloat const top = mStyle == kDataBrowserListView ? kHeaderHeight : 0;
    CGFloat const right = mVerticalBar ? kScrollBarWidth : 0;
    CGFloat const bottom = mHorizontalBar ? kScrollBarWidth : 0;
    return { { b.origin.x, b.origin.y + top },
        { std::max<CGFloat>(0, b.size.width - right), std::max<CGFloat>(0, b.size.height - top - bottom) } };
}

CGRect DataBrowserView::ScrollBarRect() const
{
    if (!mVerticalBar)
        return CGRectZero;
    CGRect const b = mView->GetBounds();
    CGFloat const bottom = mHorizontalBar ? kScrollBarWidth : 0;
    return { { CGRectGetMaxX(b) - kScrollBarWidth, b.origin.y },
        { kScrollBarWidth, std::max<CGFloat>(0, b.size.height - bottom) } };
}

CGRect DataBrowserView::HorizontalBarRect() const
{
    if (!mHorizontalBar)
        return CGRectZero;
    CGRect const b = mView->GetBounds();
    CGFloat const right = mVerticalBar ? kScrollBarWidth : 0;
    return { { b.origin.x, CGRectGetMaxY(b) - kScrollBarWidth },
        { std::max<CGFloat>(0, b.size.width - right), kScrollBarWidth } };
}

CGRect DataBrowserView::RowRect(std::size_t row) const
{
    CGRect const rows = RowsRect();
    return { { rows.origin.x, rows.origin.y + CGFloat(row) * mRowHeight - mTop },
        { rows.size.width, CGFloat(mRowHeight) } };
}

std::vector<CGRect> DataBrowserView::ColumnRects() const
{
    std::vector<CGRect> rects;
    CGRect const rows = RowsRect();
    CGFloat x = rows.origin.x - mLeft;
    auto const& columns = mModel->GetColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        CGFloat width = columns[i].width;
        if (i + 1 == columns.size())
            width = std::max(width, CGRectGetMaxX(rows) - x);
        rects.push_back({ { x, rows.origin.y }, { width, rows.size.height } });
        x += width;
    }
    return rects;
}

CGFloat DataBrowserView::MaxTop() const
{
    CGFloat const content = CGFloat(mModel->RowCount()) * mRowHeight;
    return std::max<CGFloat>(0, content - RowsRect().size.height);
}

void DataBrowserView::ScrollTo(CGFloat top)
{
    top = std::clamp<CGFloat>(std::round(top), 0, MaxTop());
    if (top == mTop)
        return;
    mTop = top;
    mView->Invalidate();
}

CGFloat DataBrowserView::ContentWidth() const
{
    CGFloat width = 0;
    for (Column const& column : mModel->GetColumns())
        width += column.width;
    return width;
}

CGFloat DataBrowserView::MaxLeft() const { return std::max<CGFloat>(0, ContentWidth() - RowsRect().size.width); }

void DataBrowserView::ScrollLeftTo(CGFloat left)
{
    left = std::clamp<CGFloat>(std::round(left), 0, MaxLeft());
    if (left == mLeft)
        return;
    mLeft = left;
    mView->Invalidate();
}

OSStatus DataBrowserView::Reveal(DataBrowserItemID item, DataBrowserRevealOptions options)
{
    std::ptrdiff_t const row = mModel->RowOf(item);
    if (row < 0)
        return errDataBrowserItemNotFound;
    CGFloat const y = CGFloat(row) * mRowHeight;
    CGFloat const height = RowsRect().size.height;
    if (options & kDataBrowserRevealAndCenterInView)
        ScrollTo(y - (height - mRowHeight) / 2);
    else if (y < mTop)
        ScrollTo(y);
    else if (y + mRowHeight > mTop + height)
        ScrollTo(y + mRowHeight - height);
    return noErr;
}

std::ptrdiff_t DataBrowserView::RowAt(CGPoint p) const
{
    CGRect const rows = RowsRect();
    if (!CGRectContainsPoint(rows, p))
        return -1;
    auto const row = static_cast<std::ptrdiff_t>(std::floor((p.y - rows.origin.y + mTop) / mRowHeight));
    return row < static_cast<std::ptrdiff_t>(mModel->RowCount()) ? row : -1;
}

std::ptrdiff_t DataBrowserView::ColumnAt(CGFloat x) const
{
    std::vector<CGRect> const rects = ColumnRects();
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (x >= rects[i].origin.x && x < CGRectGetMaxX(rects[i]))
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

OSStatus DataBrowserView::Draw(CGContextRef c)
{
    CGRect const b = mView->GetBounds();
    CGContextSaveGState(c);
    CGContextClipToRect(c, b);
    CGContextSetGrayFillColor(c, 1, 1);
    CGContextFillRect(c, b);
    DrawRows(c);
    DrawHeader(c);
    DrawScrollBar(c);
    CGContextSetGrayStrokeColor(c, 0.7, 1);
    CGContextSetLineWidth(c, 1);
    CGContextStrokeRect(c, CGRectInset(b, 0.5, 0.5));
    CGContextRestoreGState(c);
    if (IsFocused() && mView->IsActive())
        ControlTheme::DrawFocusRing(c, b, 0);
    return noErr;
}

void DataBrowserView::DrawHeader(CGContextRef c)
{
    CGRect const header = HeaderRect();
    if (CGRectIsEmpty(header))
        return;
    ControlTheme::DrawWindowHeader(c, header);
    CGContextSaveGState(c);
    CGContextClipToRect(c, header);
    auto const& columns = mModel->GetColumns();
    std::vector<CGRect> const rects = ColumnRects();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        CGRect const cell = { { rects[i].origin.x, header.origin.y }, { rects[i].size.width, header.size.height } };
        bool const sorted = columns[i].property.propertyID == mModel->GetSortProperty();
        if (sorted) {
            CGContextSetRGBFillColor(c, 0.82, 0.87, 0.95, 1);
            CGContextFillRect(c, CGRectInset(cell, 0, 1));
        }
        CFStringRef title = tw::cf::CreateString(columns[i].title);
        CGRect text = CGRectInset(cell, kCellInset, 0);
        text.origin.x += columns[i].titleOffset;
        text.size.width -= sorted ? 12 : 0;
        DrawLabel(c, title, text, kThemeSmallSystemFont, false, mView->IsEnabled());
        CFRelease(title);
        if (sorted) {
            // The sort direction: a small triangle pointing up (increasing) or down.
            CGFloat const x = CGRectGetMaxX(cell) - 12, y = CGRectGetMidY(cell);
            bool const up = mModel->GetSortOrder() == kDataBrowserOrderIncreasing;
            CGContextSetGrayFillColor(c, 0.3, 1);
            CGContextBeginPath(c);
            CGContextMoveToPoint(c, x, up ? y + 2 : y - 2);
            CGContextAddLineToPoint(c, x + 7, up ? y + 2 : y - 2);
            CGContextAddLineToPoint(c, x + 3.5, up ? y - 3 : y + 3);
            CGContextClosePath(c);
            CGContextFillPath(c);
        }
        CGContextSetGrayFillColor(c, 0.72, 1);
        CGContextFillRect(c, { { CGRectGetMaxX(cell) - 1, cell.origin.y + 3 }, { 1, cell.size.height - 6 } });
    }
    CGContextRestoreGState(c);
}

void DataBrowserView::DrawRows(CGContextRef c)
{
    CGRect const rows = RowsRect();
    if (CGRectIsEmpty(rows))
        return;
    CGContextSaveGState(c);
    CGContextClipToRect(c, rows);
    // Only the rows that show: stripes continue below the last item.
    auto const first = static_cast<std::size_t>(mTop / mRowHeight);
    auto const last = static_cast<std::size_t>((mTop + rows.size.height) / mRowHeight) + 1;
    bool const active = mView->IsActive() && mView->IsEnabled();
    std::vector<Column> const columns = mModel->GetColumns(); // a copy: callbacks may change the columns
    std::vector<CGRect> const rects = ColumnRects();
    for (std::size_t row = first; row < last; ++row) {
        CGRect const r = RowRect(row);
        DataBrowserItemID const item = mModel->RowItem(row);
        bool const selected = item != kDataBrowserNoItem && mModel->IsSelected(item);
        DrawRowBackground(c, row, selected, active, rects);
        if (item == kDataBrowserNoItem || mStyle != kDataBrowserListView)
            continue;
        for (std::size_t i = 0; i < columns.size() && i < rects.size(); ++i) {
            CGRect const cell = { { rects[i].origin.x, r.origin.y }, { rects[i].size.width, r.size.height } };
            DrawCell(c, columns[i], item, cell, selected && active);
            // A callback may have changed the list: stop drawing a stale one.
            if (mModel->RowItem(row) != item)
                break;
        }
    }
    if (mAttributes & kDataBrowserAttributeListViewDrawColumnDividers) {
        CGContextSetGrayFillColor(c, 0.85, 1);
        for (std::size_t i = 0; i + 1 < rects.size(); ++i)
            CGContextFillRect(c, { { CGRectGetMaxX(rects[i]) - 1, rows.origin.y }, { 1, rows.size.height } });
    }
    CGContextRestoreGState(c);
}

void DataBrowserView::DrawRowBackground(
    CGContextRef c, std::size_t row, bool selected, bool active, std::vector<CGRect> const& rects)
{
    CGRect const r = RowRect(row);
    if (selected) {
        if (active)
            ControlTheme::SetAccentFill(c);
        else
            CGContextSetGrayFillColor(c, 0.82, 1);
        // The minimal highlight marks the first column only.
        bool const whole = mHiliteStyle == kDataBrowserTableViewFillHilite || rects.empty();
        CGContextFillRect(
            c, whole ? r : CGRect { { rects[0].origin.x, r.origin.y }, { rects[0].size.width, r.size.height } });
    } else if ((mAttributes & kDataBrowserAttributeListViewAlternatingRowColors) && row % 2 == 1) {
        CGContextSetRGBFillColor(c, kStripe[0], kStripe[1], kStripe[2], 1);
        CGContextFillRect(c, r);
    }
}

void DataBrowserView::DrawCell(CGContextRef c, Column const& column, DataBrowserItemID item, CGRect cell, bool white)
{
    ItemData data;
    if (mModel->GetData(item, column.property.propertyID, data) != noErr)
        return;
    CGContextSaveGState(c);
    CGContextClipToRect(c, cell);
    CGRect text = CGRectInset(cell, kCellInset, 0);
    switch (column.property.propertyType) {
    case kDataBrowserCheckboxType: {
        CGFloat const size = ControlTheme::kCheckBoxSize;
        CGRect const box = { { cell.origin.x + std::floor((cell.size.width - size) / 2),
                                 cell.origin.y + std::floor((cell.size.height - size) / 2) },
            { size, size } };
        ControlTheme::DrawCheckBox(c, box, nullptr, data.button, { mView->IsEnabled(), false, false });
        break;
    }
    case kDataBrowserIconType:
    case kDataBrowserIconAndTextType: {
        CGFloat const size = std::min<CGFloat>(16, cell.size.height - 2);
        CGRect const icon
            = { { text.origin.x, cell.origin.y + std::floor((cell.size.height - size) / 2) }, { size, size } };
        if (CGImageRef image = data.icon ? IconImage(data.icon) : nullptr)
            HIViewDrawCGImage(c, &icon, image);
        if (column.property.propertyType == kDataBrowserIconType)
            break;
        text.origin.x += size + kCellInset;
        text.size.width -= size + kCellInset;
        DrawLabel(c, data.text, text, kThemeViewsFont, white, mView->IsEnabled());
        break;
    }
    default:
        DrawLabel(c, data.text, text, kThemeViewsFont, white, mView->IsEnabled());
        break;
    }
    CGContextRestoreGState(c);
}

CGImageRef DataBrowserView::IconImage(IconRef icon)
{
    auto found = mIcons.find(icon);
    if (found == mIcons.end()) {
        if (mIcons.size() > 64)
            mIcons.clear();
        auto content = std::make_unique<controls::ButtonContent>();
        ControlButtonContentInfo info;
        info.contentType = kControlContentIconRef;
        info.u.iconRef = icon;
        content->Set(info);
        found = mIcons.emplace(icon, std::move(content)).first;
    }
    return found->second->Image();
}

CGRect DataBrowserView::ThumbRect() const
{
    CGRect const track = ScrollBarRect();
    CGFloat const content = CGFloat(mModel->RowCount()) * mRowHeight;
    CGFloat const visible = RowsRect().size.height;
    if (CGRectIsEmpty(track) || content <= visible)
        return CGRectZero;
    CGFloat const length = std::max<CGFloat>(20, track.size.height * visible / content);
    CGFloat const y = track.origin.y + (track.size.height - length) * (mTop / MaxTop());
    return { { track.origin.x, y }, { track.size.width, length } };
}

CGRect DataBrowserView::HorizontalThumbRect() const
{
    CGRect const track = HorizontalBarRect();
    CGFloat const content = ContentWidth();
    CGFloat const visible = RowsRect().size.width;
    if (CGRectIsEmpty(track) || content <= visible)
        return CGRectZero;
    CGFloat const length = std::max<CGFloat>(20, track.size.width * visible / content);
    CGFloat const x = track.origin.x + (track.size.width - length) * (mLeft / MaxLeft());
    return { { x, track.origin.y }, { length, track.size.height } };
}

void DataBrowserView::DrawScrollBar(CGContextRef c)
{
    CGRect const track = ScrollBarRect();
    if (!CGRectIsEmpty(track))
        ControlTheme::DrawScrollBar(c, track, true, ThumbRect(), mView->IsEnabled());
    CGRect const across = HorizontalBarRect();
    if (!CGRectIsEmpty(across))
        ControlTheme::DrawScrollBar(c, across, false, HorizontalThumbRect(), mView->IsEnabled());
    if (!CGRectIsEmpty(track) && !CGRectIsEmpty(across)) {
        CGContextSetGrayFillColor(c, 0.96, 1);
        CGContextFillRect(c, { { track.origin.x, across.origin.y }, { kScrollBarWidth, kScrollBarWidth } });
    }
}

ControlPartCode DataBrowserView::HitTest(CGPoint p)
{
    return CGRectContainsPoint(mView->GetBounds(), p) ? ControlPartCode(kRowsPart) : ControlPartCode(kControlNoPart);
}

} // namespace tw::toolbox::databrowser

namespace tw::toolbox::controls {

Behaviour* MakeDataBrowser(View* view) { return new databrowser::DataBrowserView(view); }

} // namespace tw::toolbox::controls
