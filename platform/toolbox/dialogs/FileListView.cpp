#include "toolbox/dialogs/FileListView.h"

#include "corefoundation/CFString.h"
#include "quartz/HITheme.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/WindowCalls.h"

#include <algorithm>

namespace tw::toolbox::dialogs {

namespace {

    constexpr OSType kListCreator = 'twfl'; // control property ('twfl', 'list'): the list of the pane
    constexpr EventTime kDoubleClickTime = 0.5; // [s]
    constexpr SInt16 kUpArrowChar = 0x1E;
    constexpr SInt16 kDownArrowChar = 0x1F;

    void DrawIcon(CGContextRef c, CGRect box, bool folder)
    {
        if (folder) {
            CGContextSetRGBFillColor(c, 0.36, 0.62, 0.90, 1);
            CGContextFillRect(c, { { box.origin.x, box.origin.y + 1 }, { 7, 3 } });
            CGContextFillRect(c, { { box.origin.x, box.origin.y + 3 }, { box.size.width, box.size.height - 3 } });
        } else {
            CGContextSetRGBFillColor(c, 1, 1, 1, 1);
            CGContextFillRect(c, CGRectInset(box, 2, 0));
            CGContextSetGrayStrokeColor(c, 0.55, 1);
            CGContextSetLineWidth(c, 1);
            CGContextStrokeRect(c, CGRectInset(box, 2.5, 0.5));
        }
    }

} // namespace

FileListView::FileListView(WindowRef window, Rect const& bounds, bool multiple)
    : mMultiple(multiple)
{
    if (CreateUserPaneControl(window, &bounds, kControlSupportsFocus | kControlGetsFocusOnClick, &mPane) != noErr)
        return;
    FileListView* self = this;
    SetControlProperty(mPane, kListCreator, 'list', sizeof self, &self);
    auto draw = &FileListView::Draw;
    auto hit = &FileListView::HitTest;
    auto track = &FileListView::Track;
    auto key = &FileListView::KeyDown;
    SetControlData(mPane, kControlEntireControl, kControlUserPaneDrawProcTag, sizeof draw, &draw);
    SetControlData(mPane, kControlEntireControl, kControlUserPaneHitTestProcTag, sizeof hit, &hit);
    SetControlData(mPane, kControlEntireControl, kControlUserPaneTrackingProcTag, sizeof track, &track);
    SetControlData(mPane, kControlEntireControl, kControlUserPaneKeyDownProcTag, sizeof key, &key);
}

void FileListView::SetEntries(std::vector<FileEntry> entries)
{
    mEntries = std::move(entries);
    mSelected.assign(mEntries.size(), false);
    mTop = 0;
    mAnchor = -1;
    mLastClickRow = -1;
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
    mAnchor = row;
    ScrollTo(row);
    Changed();
    return true;
}

void FileListView::ClearSelection()
{
    mSelected.assign(mEntries.size(), false);
    Changed();
}

FileListView* FileListView::Of(ControlRef control)
{
    FileListView* list = nullptr;
    GetControlProperty(control, kListCreator, 'list', sizeof list, nullptr, &list);
    return list;
}

int FileListView::VisibleRows() const
{
    HIRect bounds {};
    HIViewGetBounds(mPane, &bounds);
    return std::max(1, static_cast<int>((bounds.size.height - 2) / kRowHeight));
}

void FileListView::Draw(ControlRef control, SInt16)
{
    FileListView* self = Of(control);
    CGContextRef c = nullptr;
    if (!self || QDBeginCGContext(GetWindowPort(GetControlOwner(control)), &c) != noErr)
        return;
    HIRect bounds {};
    HIViewGetBounds(control, &bounds);
    CGContextSetRGBFillColor(c, 1, 1, 1, 1);
    CGContextFillRect(c, bounds);
    CGContextSaveGState(c);
    CGContextClipToRect(c, CGRectInset(bounds, 1, 1));
    HIThemeTextInfo info;
    info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    info.truncationPosition = kHIThemeTextTruncationMiddle;
    info.truncationMaxLines = 1;
    int const last = std::min<int>(static_cast<int>(self->mEntries.size()), self->mTop + self->VisibleRows() + 1);
    for (int row = self->mTop; row < last; ++row) {
        FileEntry const& entry = self->mEntries[row];
        CGRect const rowRect { { bounds.origin.x + 1, bounds.origin.y + 1 + (row - self->mTop) * kRowHeight },
            { bounds.size.width - 2, kRowHeight } };
        bool const selected = self->mSelected[row];
        if (selected) {
            CGContextSetRGBFillColor(c, 0.22, 0.46, 0.84, 1);
            CGContextFillRect(c, rowRect);
        }
        DrawIcon(c, { { rowRect.origin.x + 6, rowRect.origin.y + 4 }, { 14, 12 } }, entry.folder);
        CGRect const textRect { { rowRect.origin.x + 26, rowRect.origin.y }, { rowRect.size.width - 46, kRowHeight } };
        double const grey = selected ? 1.0 : entry.enabled ? 0.0 : 0.6;
        CGContextSetRGBFillColor(c, grey, grey, grey, 1);
        CFStringRef name = tw::cf::CreateString(entry.name);
        HIThemeDrawTextBox(name, &textRect, &info, c, kHIThemeOrientationNormal);
        CFRelease(name);
        if (entry.folder) {
            CGRect const chevron { { rowRect.origin.x + rowRect.size.width - 18, rowRect.origin.y },
                { 12, kRowHeight } };
            HIThemeDrawTextBox(CFSTR("\u25B8"), &chevron, &info, c, kHIThemeOrientationNormal);
        }
    }
    CGContextRestoreGState(c);
    HIThemeFrameDrawInfo frame;
    frame.kind = kHIThemeFrameListBox;
    HIThemeDrawFrame(&bounds, &frame, c, kHIThemeOrientationNormal);
    QDEndCGContext(GetWindowPort(GetControlOwner(control)), &c);
}

ControlPartCode FileListView::HitTest(ControlRef, Point) { return 1; }

ControlPartCode FileListView::Track(ControlRef control, Point start, ControlActionUPP)
{
    FileListView* self = Of(control);
    if (!self)
        return kControlNoPart;
    HIRect bounds {};
    HIViewGetBounds(control, &bounds);
    int const row = self->mTop + static_cast<int>((start.v - bounds.origin.y - 1) / kRowHeight);
    self->Click(row, GetCurrentEventKeyModifiers());
    return 1;
}

void FileListView::Click(int row, UInt32 modifiers)
{
    if (row < 0 || row >= static_cast<int>(mEntries.size()) || !mEntries[row].enabled) {
        ClearSelection();
        return;
    }
    EventTime const now = GetCurrentEventTime();
    bool const doubleClick = row == mLastClickRow && now - mLastClickTime <= kDoubleClickTime;
    mLastClickRow = row;
    mLastClickTime = now;
    if (mMultiple && (modifiers & cmdKey)) {
        mSelected[row] = !mSelected[row];
    } else if (mMultiple && (modifiers & shiftKey) && mAnchor >= 0) {
        mSelected.assign(mEntries.size(), false);
        for (int i = std::min(row, mAnchor); i <= std::max(row, mAnchor); ++i)
            mSelected[i] = mEntries[i].enabled;
    } else {
        mSelected.assign(mEntries.size(), false);
        mSelected[row] = true;
        mAnchor = row;
    }
    Changed();
    if (doubleClick && mOpenEntry) {
        mLastClickRow = -1;
        FileEntry const entry = mEntries[row];
        mOpenEntry(entry); // may replace the entries
    }
}

ControlPartCode FileListView::KeyDown(ControlRef control, SInt16, SInt16 charCode, SInt16)
{
    FileListView* self = Of(control);
    if (!self || (charCode != kUpArrowChar && charCode != kDownArrowChar))
        return kControlNoPart;
    self->MoveSelection(charCode == kUpArrowChar ? -1 : 1);
    return 1;
}

void FileListView::MoveSelection(int delta)
{
    int const count = static_cast<int>(mEntries.size());
    int row = mAnchor;
    do
        row = row < 0 ? (delta > 0 ? 0 : count - 1) : row + delta;
    while (row >= 0 && row < count && !mEntries[row].enabled);
    if (row < 0 || row >= count)
        return;
    mSelected.assign(mEntries.size(), false);
    mSelected[row] = true;
    mAnchor = row;
    ScrollTo(row);
    Changed();
}

void FileListView::ScrollTo(int row)
{
    int const visible = VisibleRows();
    if (row < mTop)
        mTop = row;
    else if (row >= mTop + visible)
        mTop = row - visible + 1;
}

void FileListView::Changed()
{
    if (mPane)
        HIViewSetNeedsDisplay(mPane, true);
    if (mSelectionChanged)
        mSelectionChanged();
}

} // namespace tw::toolbox::dialogs
