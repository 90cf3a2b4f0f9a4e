#include "corefoundation/CFString.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/KeyCodes.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlsInternal.h"
#include "toolbox/dialogs/FileListView.h"

#include <algorithm>
#include <cmath>

// The file list's clicks, scroll bar, wheel, keys and type-ahead.

namespace tw::toolbox::dialogs {

namespace {

    constexpr SInt32 kWheelRows = 3; // rows a wheel notch scrolls

    template <typename T> T Param(EventRef event, EventParamName name, EventParamType type, T fallback = T {})
    {
        T value = fallback;
        GetEventParameter(event, name, type, nullptr, sizeof value, nullptr, &value);
        return value;
    }

} // namespace

OSStatus FileListView::Handle(EventHandlerCallRef, EventRef event, void* data)
{
    auto* self = static_cast<FileListView*>(data);
    switch (GetEventClass(event)) {
    case kEventClassKeyboard:
        return self->Key(event);
    case kEventClassTextInput:
        return self->Text(event);
    case kEventClassCommand:
        return self->Command(event);
    case kEventClassMouse: {
        // A notch towards the user (positive) scrolls towards the top.
        if (Param<UInt16>(event, kEventParamMouseWheelAxis, typeMouseWheelAxis, kEventMouseWheelAxisY)
            != kEventMouseWheelAxisY)
            return eventNotHandledErr;
        self->ScrollTo(self->mTop - Param<SInt32>(event, kEventParamMouseWheelDelta, typeSInt32) * kWheelRows);
        return noErr;
    }
    default:
        break;
    }
    switch (GetEventKind(event)) {
    case kEventControlDraw: {
        auto const c = Param<CGContextRef>(event, kEventParamCGContextRef, typeCGContextRef);
        if (!c)
            return paramErr;
        self->Draw(c);
        return noErr;
    }
    case kEventControlHitTest: {
        ControlPartCode const part = 1;
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        return noErr;
    }
    case kEventControlTrack:
        return self->Track(event);
    case kEventControlSetFocusPart: {
        ControlPartCode const part
            = self->Focus(Param<ControlPartCode>(event, kEventParamControlPart, typeControlPartCode));
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        HIViewSetNeedsDisplay(self->mPane, true);
        return noErr;
    }
    default:
        return eventNotHandledErr;
    }
}

ControlPartCode FileListView::Focus(ControlPartCode part)
{
    // One part: Tab enters the list and the next Tab leaves it.
    bool const moving = part == kControlFocusNextPart || part == kControlFocusPrevPart;
    if (part == kControlFocusNoPart || (moving && IsFocused()) || !IsControlEnabled(mPane) || !IsControlVisible(mPane))
        return kControlFocusNoPart;
    return 1;
}

OSStatus FileListView::Track(EventRef event)
{
    CGPoint const p = Param<HIPoint>(event, kEventParamMouseLocation, typeHIPoint);
    // The click is the list's own business: no hit, no command.
    ControlPartCode const none = kControlNoPart;
    SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof none, &none);
    if (CGRectContainsPoint(ScrollBarRect(), p))
        TrackScrollBar(p);
    else
        Click(RowAt(p), Param<UInt32>(event, kEventParamKeyModifiers, typeUInt32),
            Param<UInt32>(event, kEventParamClickCount, typeUInt32, 1));
    return noErr;
}

void FileListView::TrackScrollBar(CGPoint p)
{
    CGRect const thumb = ThumbRect();
    if (CGRectIsEmpty(thumb))
        return;
    if (!CGRectContainsPoint(thumb, p)) {
        int const page = std::max(1, VisibleRows() - 1);
        ScrollTo(mTop + (p.y < thumb.origin.y ? -page : page));
        return;
    }
    int const startTop = mTop;
    CGFloat const startY = p.y;
    CGFloat const span = ScrollBarRect().size.height - thumb.size.height;
    std::shared_ptr<bool> const alive = mAlive;
    MouseTrackingResult result = 0;
    UInt32 modifiers = 0;
    while (HIViewTrackMouseLocation(mPane, 0, kEventDurationForever, &p, &modifiers, &result) == noErr && *alive
        && result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
        if (span > 0)
            ScrollTo(startTop + static_cast<int>(std::lround((p.y - startY) * MaxTop() / span)));
    }
}

void FileListView::Click(int row, UInt32 modifiers, UInt32 clicks)
{
    if (row < 0 || !mEntries[row].enabled) {
        ClearSelection();
        return;
    }
    bool const doubleClick = clicks >= 2 && row == mLastClickRow;
    mLastClickRow = row;
    if (mMultiple && (modifiers & cmdKey)) {
        mSelected[row] = !mSelected[row];
        mAnchor = mCursor = row;
        Changed();
    } else {
        MoveTo(row, (modifiers & shiftKey) != 0);
    }
    if (doubleClick && mOpenEntry) {
        mLastClickRow = -1;
        FileEntry const entry = mEntries[row];
        mOpenEntry(entry); // may replace the entries
    }
}

void FileListView::OpenSelected(bool foldersOnly)
{
    std::vector<FileEntry> const selected = SelectedEntries();
    if (selected.empty() || (foldersOnly && (selected.size() != 1 || !selected.front().folder)))
        return;
    if (mOpenEntry)
        mOpenEntry(selected.front()); // may replace the entries
}

// Keys move the selection and go in and out of folders; Return opens a folder and
// otherwise reaches the default button. Printable keys wait for their text.
OSStatus FileListView::Key(EventRef event)
{
    if (!IsFocused())
        return eventNotHandledErr;
    auto const code = Param<UInt32>(event, kEventParamKeyCode, typeUInt32);
    auto const modifiers = Param<UInt32>(event, kEventParamKeyModifiers, typeUInt32);
    auto const character = static_cast<unsigned char>(Param<char>(event, kEventParamKeyMacCharCodes, typeChar));
    if (modifiers & cmdKey) {
        if (code == kKeyUp && mGoUp)
            mGoUp();
        else if (code == kKeyDown)
            OpenSelected(false);
        else if ((character | 0x20) == 'a' && mMultiple) // where no menu item took it
            SelectAllFiles();
        else
            return eventNotHandledErr;
        return noErr;
    }
    switch (code) {
    case kKeyLeft:
        if (mGoUp)
            mGoUp();
        return noErr;
    case kKeyRight:
        OpenSelected(true);
        return noErr;
    case kKeyReturn:
    case kKeyEnter:
    case kKeyPadEnter: {
        std::vector<FileEntry> const selected = SelectedEntries();
        if (selected.size() != 1 || !selected.front().folder)
            return eventNotHandledErr;
        OpenSelected(true);
        return noErr;
    }
    default:
        if (MoveKey(code, (modifiers & shiftKey) != 0))
            return noErr;
        return character >= 0x20 && character != 0x7F ? OSStatus { noErr } : OSStatus { eventNotHandledErr };
    }
}

bool FileListView::MoveKey(UInt32 code, bool extend)
{
    int const count = static_cast<int>(mEntries.size());
    int const page = std::max(1, VisibleRows() - 1);
    int const from = mCursor;
    int target = 0;
    int direction = 1;
    switch (code) {
    case kKeyUp:
        target = from < 0 ? count - 1 : from - 1;
        direction = -1;
        break;
    case kKeyDown:
        target = from < 0 ? 0 : from + 1;
        break;
    case kKeyPageUp:
        target = std::max(from, 0) - page;
        direction = -1;
        break;
    case kKeyPageDown:
        target = std::max(from, 0) + page;
        break;
    case kKeyHome:
        target = 0;
        break;
    case kKeyEnd:
        target = count - 1;
        direction = -1;
        break;
    default:
        return false;
    }
    if (count == 0)
        return true;
    target = std::clamp(target, 0, count - 1);
    int const row = EnabledRow(target, direction);
    // Nothing selectable (files in a save dialog): the keys still scroll.
    if (row < 0)
        Reveal(target);
    else
        MoveTo(row, extend);
    return true;
}

// Select All (Command-A) chooses every file the list offers, where several may be chosen.
OSStatus FileListView::Command(EventRef event)
{
    HICommandExtended command {};
    GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
    if (command.commandID != kHICommandSelectAll || !mMultiple || !IsFocused())
        return eventNotHandledErr;
    if (GetEventKind(event) == kEventCommandUpdateStatus) {
        if (command.attributes & kHICommandFromMenu)
            EnableMenuItem(command.source.menu.menuRef, command.source.menu.menuItemIndex);
        return noErr;
    }
    SelectAllFiles();
    return noErr;
}

void FileListView::SelectAllFiles()
{
    for (std::size_t row = 0; row < mEntries.size(); ++row)
        mSelected[row] = mEntries[row].enabled && !mEntries[row].folder;
    Changed();
}

OSStatus FileListView::Text(EventRef event)
{
    if (!IsFocused())
        return eventNotHandledErr;
    std::u16string const text = controls::TypedText(event);
    if (text.empty())
        return noErr;
    EventTime const now = GetCurrentEventTime();
    if (now - mTypedAt > kTypeAheadPause)
        mTyped.clear();
    mTypedAt = now;
    // A path starts with "/" or "~"; a space alone selects nothing.
    if (mTyped.empty() && (text.front() == u'/' || text.front() == u'~')) {
        if (mStartPath)
            mStartPath(cf::UTF16ToUTF8(text));
        return noErr;
    }
    if (mTyped.empty() && text == u" ")
        return noErr;
    mTyped += text;
    TypeAhead(mTyped);
    return noErr;
}

// Selects the first row that starts with what was typed, ignoring case; no match keeps the selection.
void FileListView::TypeAhead(std::u16string const& typed)
{
    CFStringRef prefix = cf::CreateString(cf::UTF16ToUTF8(typed));
    CFIndex const length = CFStringGetLength(prefix);
    for (std::size_t row = 0; row < mEntries.size(); ++row) {
        if (!mEntries[row].enabled)
            continue;
        CFStringRef name = cf::CreateString(mEntries[row].name);
        bool const matches = CFStringGetLength(name) >= length
            && CFStringCompareWithOptions(name, prefix, CFRange { 0, length }, kCFCompareCaseInsensitive)
                == kCFCompareEqualTo;
        CFRelease(name);
        if (matches) {
            MoveTo(static_cast<int>(row), false);
            break;
        }
    }
    CFRelease(prefix);
}

} // namespace tw::toolbox::dialogs
