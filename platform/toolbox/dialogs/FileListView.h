#pragma once

// The file list of the open, save and choose-folder dialogs: one row per item
// of a folder with its icon (folders also marked with a chevron), a selection
// of one or many rows, a scroll bar and the wheel, keys that move the
// selection and go in and out of folders, type-ahead selection, and
// double-click to open. A user pane holds it; one handler on the pane draws,
// tracks and takes the keys. Lives as long as its dialog, which outlives the pane.

#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/dialogs/FileIcons.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tw::toolbox::dialogs {

struct FileEntry {
    std::string name;
    std::string path;
    bool folder = false;
    bool enabled = true; // shown dimmed and unselectable when false
    FileIcon icon = FileIcon::File;
};

class FileListView {
public:
    static constexpr SInt16 kRowHeight = 20; // [px]
    static constexpr EventTime kTypeAheadPause = 1.0; // [s] of no typing that starts a new search

    FileListView(WindowRef window, Rect const& bounds, bool multiple);
    ~FileListView() { *mAlive = false; }
    FileListView(FileListView const&) = delete;
    FileListView& operator=(FileListView const&) = delete;

    ControlRef GetControl() const { return mPane; }
    void SetEntries(std::vector<FileEntry> entries);
    std::vector<FileEntry> const& Entries() const { return mEntries; }
    std::vector<FileEntry> SelectedEntries() const;
    // Selects the row of this name (adding to the selection when extend); whether it was found.
    bool Select(std::string const& name, bool extend);
    void ClearSelection();
    int GetTop() const { return mTop; } // the first row shown

    // Called when the selection changes; with the entry to open (a double-click, Return
    // on a folder, Right arrow or Command-Down); to go to the enclosing folder (Left
    // arrow or Command-Up); and with "/" or "~" typed to start a path.
    void SetSelectionChanged(std::function<void()> changed) { mSelectionChanged = std::move(changed); }
    void SetOpenEntry(std::function<void(FileEntry const&)> open) { mOpenEntry = std::move(open); }
    void SetGoUp(std::function<void()> up) { mGoUp = std::move(up); }
    void SetStartPath(std::function<void(std::string const&)> start) { mStartPath = std::move(start); }

private:
    static OSStatus Handle(EventHandlerCallRef, EventRef event, void* data);
    void Draw(CGContextRef c);
    void DrawRow(CGContextRef c, int row, CGRect rowRect, bool active);
    OSStatus Track(EventRef event);
    void TrackScrollBar(CGPoint p);
    ControlPartCode Focus(ControlPartCode part);
    OSStatus Key(EventRef event);
    bool MoveKey(UInt32 code, bool extend);
    OSStatus Text(EventRef event);
    OSStatus Command(EventRef event);
    void SelectAllFiles();
    void TypeAhead(std::u16string const& typed);

    CGRect RowsRect() const;
    CGRect ScrollBarRect() const;
    CGRect ThumbRect() const;
    int VisibleRows() const;
    int MaxTop() const;
    void ScrollTo(int top);
    void Reveal(int row);
    int RowAt(CGPoint p) const; // -1 below the last row
    int EnabledRow(int row, int direction) const; // the nearest enabled row from there, -1 when none
    void Click(int row, UInt32 modifiers, UInt32 clicks);
    void MoveTo(int row, bool extend);
    void OpenSelected(bool foldersOnly);
    bool IsFocused() const;
    void Changed();

    ControlRef mPane = nullptr; // weak: owned by the window
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true); // false once gone: a nested loop may end the dialog
    bool mMultiple = false;
    std::vector<FileEntry> mEntries;
    std::vector<bool> mSelected;
    int mTop = 0; // first visible row
    int mAnchor = -1; // where a shift-extended selection starts
    int mCursor = -1; // the row the keys move from
    int mLastClickRow = -1;
    std::u16string mTyped; // the type-ahead so far
    EventTime mTypedAt = 0; // [s]
    std::function<void()> mSelectionChanged;
    std::function<void(FileEntry const&)> mOpenEntry;
    std::function<void()> mGoUp;
    std::function<void(std::string const&)> mStartPath;
};

} // namespace tw::toolbox::dialogs
