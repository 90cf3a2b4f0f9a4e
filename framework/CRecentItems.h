#pragma once

#include "foundation/CFileList.h"
#include "framework/CCarbonEventHandler.h"
#include "toolbox/HIToolboxTypes.h"

// The recently used document files, newest first, shown in the menu that holds
// the "clear" command and kept in the preferences as alias data, so that moved
// files are still found.
class CRecentItems : public CCarbonEventHandler {
public:
    static constexpr UInt32 kMaxItems = 6;
    static constexpr UInt32 kCommandOpen = 'OpRI';
    static constexpr UInt32 kCommandClear = 'ClRI';
    static CString const kRecentItemsPrefKey;

    CRecentItems() = default;

    OSStatus LoadFromAppMenuBar();
    void PopulateFromPrefs();
    OSStatus AddNewFile(CFile const& file);
    void RemoveFile(CFile const& file);
    void RebuildMenu();
    OSStatus WriteToPrefs();

    CFileList const& GetFiles() const { return mFiles; }
    MenuRef GetMenu() const { return mMenu; }

    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;

private:
    OSStatus OpenItem(MenuRef menu, MenuItemIndex index);

    MenuRef mMenu = nullptr; // weak: the menu bar holds it
    CFileList mFiles;
};
