#pragma once

// The file list of the open, save and choose-folder dialogs: one row per item
// of a folder (folders first marked with a chevron), a selection of one or many
// rows, arrow keys, and double-click to open. A user pane draws and tracks it.

#include "toolbox/controls/ControlDefinitions.h"

#include <functional>
#include <string>
#include <vector>

namespace tw::toolbox::dialogs {

struct FileEntry {
    std::string name;
    std::string path;
    bool folder = false;
    bool enabled = true; // shown dimmed and unselectable when false
};

class FileListView {
public:
    static constexpr SInt16 kRowHeight = 20; // [px]

    FileListView(WindowRef window, Rect const& bounds, bool multiple);
    FileListView(FileListView const&) = delete;
    FileListView& operator=(FileListView const&) = delete;

    void SetEntries(std::vector<FileEntry> entries);
    std::vector<FileEntry> const& Entries() const { return mEntries; }
    std::vector<FileEntry> SelectedEntries() const;
    // Selects the rows of these names (adding to the selection when extend); whether any was found.
    bool Select(std::string const& name, bool extend);
    void ClearSelection();

    // Called when the selection changes, and with the row's entry on a double-click.
    void SetSelectionChanged(std::function<void()> changed) { mSelectionChanged = std::move(changed); }
    void SetOpenEntry(std::function<void(FileEntry const&)> open) { mOpenEntry = std::move(open); }

private:
    static FileListView* Of(ControlRef control);
    static void Draw(ControlRef control, SInt16);
    static ControlPartCode HitTest(ControlRef control, Point where);
    static ControlPartCode Track(ControlRef control, Point start, ControlActionUPP);
    static ControlPartCode KeyDown(ControlRef control, SInt16 keyCode, SInt16 charCode, SInt16 modifiers);

    void Click(int row, UInt32 modifiers);
    void MoveSelection(int delta);
    void ScrollTo(int row);
    int VisibleRows() const;
    void Changed();

    ControlRef mPane = nullptr; // weak: owned by the window
    bool mMultiple = false;
    std::vector<FileEntry> mEntries;
    std::vector<bool> mSelected;
    int mTop = 0; // first visible row
    int mAnchor = -1;
    int mLastClickRow = -1;
    EventTime mLastClickTime = 0; // [s]
    std::function<void()> mSelectionChanged;
    std::function<void(FileEntry const&)> mOpenEntry;
};

} // namespace tw::toolbox::dialogs
