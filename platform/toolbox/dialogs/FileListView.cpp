#include "toolbox/dialogs/FileListView.h"

#include "corefoundation/CFString.h"
#include "quartz/HITheme.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlTheme.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox::dialogs {

namespace {

    using controls::ControlTheme;

    constexpr CGFloat kIconLeft = 6; // [px] from the row's left edge
    constexpr CGFloat kTextLeft = 28; // [px]
    constexpr CGFloat kChevronWidth = 18; // [px]

    constexpr EventTypeSpec kEvents[] = {
        { kEventClassControl, kEventControlDraw },
        { kEventClassControl, kEventControlHitTest },
        { kEventClassControl, kEventControlTrack },
        { kEventClassControl, kEventControlSetFocusPart },
        { kEventClassKeyboard, kEventRawKeyDown },
        { kEventClassKeyboard, kEventRawKeyRepeat },
        { kEventClassTextInput, kEventTextInputUnicodeForKeyEvent },
        { kEventClassMouse, kEventMouseWheelMoved },
        { kEventClassCommand, kEventCommandProcess },
        { kEventClassCommand, kEventCommandUpdateStatus },
    };

} // namespace

FileListView::FileListView(WindowRef window, Rect const& bounds, bool multiple)
    : mMultiple(multiple)
{
    if (CreateUserPaneControl(window, &bounds, kControlSupportsFocus | kControlGetsFocusOnClick, &mPane) != noErr) {
        mPane = nullptr;
        return;
    }
    InstallEventHandler(
        GetControlEventTarget(mPane), &FileListView::Handle, std::size(kEvents), kEvents, this, nullptr);
}

void FileListView::SetEntries(std::vector<FileEntry> entries)
{
    mEntries = std::move(entries);
    mSelected.assign(mEntries.size(), false);
    mTop = 0;
    mAnchor = -1;
    mCursor = -1;
    mLastClickRow = -1;
    mTyped.clear();
    Changed();
}

std::vector<FileEntry> FileListView::SelectedEntries() const
{
    std::vector<FileEntry> selected;
    for (std::size_t i = 0; i < mEntries.size(); ++i)
        if (mSelected[i])
            selected.push_back(mEntries[i]);
    return selected;
}

bool FileListView::Select(std::string const& name, bool extend)
{
    auto it = std::find_if(mEntries.begin(), mEntries.end(), [&](FileEntry const& e) { return e.name == name; });
    if (it == mEntries.end() || !it->enabled)
        return false;
    int const row = static_cast<int>(it - mEntries.begin());
    if (!extend || !mMultiple)
        mSelected.assign(mEntries.size(), false);
    mSelected[row] = true;
    mAnchor = mCursor = row;
    Reveal(row);
    Changed();
    return true;
}

void FileListView::ClearSelection()
{
    mSelected.assign(mEntries.size(), false);
    mAnchor = mCursor = -1;
    Changed();
}

void FileListView::MoveTo(int row, bool extend)
{
    if (extend && mMultiple && mAnchor >= 0) {
        mSelected.assign(mEntries.size(), false);
        for (int i = std::min(row, mAnchor); i <= std::max(row, mAnchor); ++i)
            mSelected[i] = mEntries[i].enabled;
    } else {
        mSelected.assign(mEntries.size(), false);
        mSelected[row] = true;
        mAnchor = row;
    }
    mCursor = row;
    Reveal(row);
    Changed();
}

int FileListView::EnabledRow(int row, int direction) const
{
    int const count = static_cast<int>(mEntries.size());
    for (int step : { direction, -direction })
        for (int i = row; i >= 0 && i < count; i += step)
            if (mEntries[i].enabled)
                return i;
    return -1;
}

CGRect FileListView::RowsRect() const
{
    HIRect bounds {};
    HIViewGetBounds(mPane, &bounds);
    CGRect inner = CGRectInset(bounds, 1, 1);
    inner.size.width = std::max<CGFloat>(0, inner.size.width - kScrollBarWidth);
    return inner;
}

CGRect FileListView::ScrollBarRect() const
{
    CGRect const rows = RowsRect();
    return { { CGRectGetMaxX(rows), rows.origin.y }, { kScrollBarWidth, rows.size.height } };
}

int FileListView::VisibleRows() const { return std::max(1, static_cast<int>(RowsRect().size.height / kRowHeight)); }

int FileListView::MaxTop() const { return std::max(0, static_cast<int>(mEntries.size()) - VisibleRows()); }

CGRect FileListView::ThumbRect() const
{
    CGRect const track = ScrollBarRect();
    int const maxTop = MaxTop();
    if (maxTop == 0)
        return CGRectZero;
    CGFloat const length
        = std::max<CGFloat>(20, track.size.height * VisibleRows() / static_cast<CGFloat>(mEntries.size()));
    CGFloat const y = track.origin.y + (track.size.height - length) * mTop / maxTop;
    return { { track.origin.x, std::round(y) }, { track.size.width, std::round(length) } };
}

void FileListView::ScrollTo(int top)
{
    top = std::clamp(top, 0, MaxTop());
    if (top == mTop)
        return;
    mTop = top;
    HIViewSetNeedsDisplay(mPane, true);
}

void FileListView::Reveal(int row)
{
    int const visible = VisibleRows();
    if (row < mTop)
        ScrollTo(row);
    else if (row >= mTop + visible)
        ScrollTo(row - visible + 1);
}

int FileListView::RowAt(CGPoint p) const
{
    CGRect const rows = RowsRect();
    if (p.y < rows.origin.y)
        return -1;
    int const row = mTop + static_cast<int>((p.y - rows.origin.y) / kRowHeight);
    return row < static_cast<int>(mEntries.size()) ? row : -1;
}

bool FileListView::IsFocused() const
{
    ControlRef focus = nullptr;
    return GetKeyboardFocus(GetControlOwner(mPane), &focus) == noErr && focus == mPane;
}

void FileListView::Changed()
{
    if (mPane)
        HIViewSetNeedsDisplay(mPane, true);
    if (mSelectionChanged)
        mSelectionChanged();
}

void FileListView::Draw(CGContextRef c)
{
    HIRect bounds {};
    HIViewGetBounds(mPane, &bounds);
    bool const enabled = IsControlEnabled(mPane);
    // The selection shows in the accent colour while the list has the keyboard.
    bool const active = IsFocused() && IsControlActive(mPane);
    CGContextSaveGState(c);
    CGContextSetGrayFillColor(c, 1, 1);
    CGContextFillRect(c, bounds);
    CGRect const rows = RowsRect();
    CGContextClipToRect(c, rows);
    int const last = std::min<int>(static_cast<int>(mEntries.size()), mTop + VisibleRows() + 1);
    for (int row = mTop; row < last; ++row) {
        CGRect const rowRect { { rows.origin.x, rows.origin.y + (row - mTop) * kRowHeight },
            { rows.size.width, kRowHeight } };
        DrawRow(c, row, rowRect, active);
    }
    CGContextRestoreGState(c);
    ControlTheme::DrawScrollBar(c, ScrollBarRect(), true, ThumbRect(), enabled);
    HIThemeFrameDrawInfo frame;
    frame.kind = kHIThemeFrameListBox;
    HIThemeDrawFrame(&bounds, &frame, c, kHIThemeOrientationNormal);
    if (IsFocused() && IsControlActive(mPane))
        ControlTheme::DrawFocusRing(c, bounds, 0);
}

void FileListView::DrawRow(CGContextRef c, int row, CGRect rowRect, bool active)
{
    FileEntry const& entry = mEntries[row];
    bool const selected = mSelected[row];
    if (selected) {
        if (active)
            ControlTheme::SetAccentFill(c);
        else
            CGContextSetGrayFillColor(c, 0.82, 1);
        CGContextFillRect(c, rowRect);
    }
    CGFloat const iconTop = rowRect.origin.y + std::floor((kRowHeight - kFileIconSize) / 2);
    CGContextSaveGState(c);
    if (!entry.enabled)
        CGContextSetAlpha(c, 0.5);
    DrawFileIcon(c, { { rowRect.origin.x + kIconLeft, iconTop }, { kFileIconSize, kFileIconSize } }, entry.icon);
    CGContextRestoreGState(c);
    HIThemeTextInfo info;
    info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    info.truncationPosition = kHIThemeTextTruncationMiddle;
    info.truncationMaxLines = 1;
    double const grey = selected && active ? 1.0 : entry.enabled ? 0.0 : 0.6;
    CGContextSetRGBFillColor(c, grey, grey, grey, 1);
    CGRect const textRect { { rowRect.origin.x + kTextLeft, rowRect.origin.y },
        { rowRect.size.width - kTextLeft - kChevronWidth - 4, kRowHeight } };
    CFStringRef name = tw::cf::CreateString(entry.name);
    HIThemeDrawTextBox(name, &textRect, &info, c, kHIThemeOrientationNormal);
    CFRelease(name);
    if (entry.folder) {
        CGRect const chevron { { CGRectGetMaxX(rowRect) - kChevronWidth, rowRect.origin.y },
            { kChevronWidth - 6, kRowHeight } };
        HIThemeDrawTextBox(CFSTR("\u25B8"), &chevron, &info, c, kHIThemeOrientationNormal);
    }
}

} // namespace tw::toolbox::dialogs
