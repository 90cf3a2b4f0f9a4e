#include "framework/CRecentItems.h"

#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "foundation/StCFRef.h"
#include "framework/CApplication.h"
#include "framework/CMenuUtilities.h"
#include "services/MacMemory.h"
#include "toolbox/MenuCalls.h"

CString const CRecentItems::kRecentItemsPrefKey("RecentItems");

OSStatus CRecentItems::LoadFromAppMenuBar()
{
    MenuRef root = AcquireRootMenu();
    MenuRef menu = nullptr;
    MenuItemIndex index = 0;
    if (root && CMenuUtilities::FindMenuItemForCommand(root, kCommandClear, &menu, &index)) {
        mMenu = menu;
        PopulateFromPrefs();
    }
    if (root)
        ReleaseMenu(root);
    static EventTypeSpec const kEvents[] = { { 'cmds' /* command */, 1 /* process */ }, { 0, 0 } };
    return InstallHandler(kEvents);
}

void CRecentItems::PopulateFromPrefs()
{
    mFiles.clear();
    CApplication* app = CApplication::GetApp();
    CFArrayRef stored = app ? app->GetPreferences().GetArray(kRecentItemsPrefKey, nullptr) : nullptr;
    CFIndex count = stored ? CFArrayGetCount(stored) : 0;
    for (CFIndex i = 0; i < count && mFiles.size() < kMaxItems; ++i) {
        auto data = static_cast<CFDataRef>(CFArrayGetValueAtIndex(stored, i));
        if (!data || CFGetTypeID(data) != CFDataGetTypeID())
            continue;
        Handle alias = nullptr;
        if (PtrToHand(CFDataGetBytePtr(data), &alias, CFDataGetLength(data)) != noErr)
            continue;
        CFile file = CFileUtilities::ResolveAliasHandle(reinterpret_cast<AliasHandle>(alias));
        DisposeHandle(alias);
        if (file.IsSpecified() && file.Exists() && !mFiles.Contains(file))
            mFiles.PushBack(file);
    }
    if (stored)
        CFRelease(stored);
    RebuildMenu();
}

OSStatus CRecentItems::AddNewFile(CFile const& file)
{
    if (!file.IsSpecified())
        return paramErr;
    if (mFiles.Contains(file))
        mFiles.Remove(file);
    else
        while (mFiles.size() >= kMaxItems)
            mFiles.pop_back();
    mFiles.PushFront(file);
    RebuildMenu();
    return WriteToPrefs();
}

void CRecentItems::RemoveFile(CFile const& file)
{
    mFiles.Remove(file);
    RebuildMenu();
    WriteToPrefs();
}

void CRecentItems::RebuildMenu()
{
    if (!mMenu)
        return;
    UInt16 count = CountMenuItems(mMenu);
    if (count > 2)
        DeleteMenuItems(mMenu, 1, count - 2);
    if (mFiles.empty()) {
        CString none = CTextUtilities::GetBundleString("<None>");
        InsertMenuItemTextWithCFString(mMenu, none.GetCFString(), 0, 0, 0);
        DisableMenuItem(mMenu, 1);
        return;
    }
    // Inserting each at the top, oldest first, leaves the newest at the top.
    for (std::size_t i = mFiles.size(); i-- > 0;) {
        CString name = mFiles[i].GetDisplayName();
        InsertMenuItemTextWithCFString(mMenu, name.GetCFString(), 0, 0, kCommandOpen);
        SetMenuItemRefCon(mMenu, 1, URefCon(mFiles.size() - 1 - i));
    }
}

OSStatus CRecentItems::WriteToPrefs()
{
    CApplication* app = CApplication::GetApp();
    if (!app)
        return paramErr;
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    for (CFile const& file : mFiles) {
        AliasHandle alias = file.CreateAlias(nullptr);
        if (!alias)
            continue;
        Handle bytes = reinterpret_cast<Handle>(alias);
        CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<UInt8 const*>(*bytes), GetHandleSize(bytes));
        DisposeHandle(bytes);
        if (data) {
            CFArrayAppendValue(array, data);
            CFRelease(data);
        }
    }
    app->GetPreferences().SetArray(kRecentItemsPrefKey, array);
    CFRelease(array);
    return app->GetPreferences().Flush();
}

OSStatus CRecentItems::DoEventCommandProcess(CCarbonEvent& event)
{
    HICommandExtended command = event.GetHICommand();
    switch (command.commandID) {
    case kCommandClear:
        mFiles.clear();
        WriteToPrefs();
        RebuildMenu();
        return noErr;
    case kCommandOpen:
        if (command.attributes & kHICommandFromMenu)
            return OpenItem(command.source.menu.menuRef, command.source.menu.menuItemIndex);
        return noErr;
    default:
        return eventNotHandledErr;
    }
}

// A file that has gone, or fails to open, is reported and leaves the list.
OSStatus CRecentItems::OpenItem(MenuRef menu, MenuItemIndex index)
{
    URefCon refCon = 0;
    if (!menu || GetMenuItemRefCon(menu, index, &refCon) != noErr || refCon >= mFiles.size())
        return noErr;
    CFile file = mFiles[mFiles.size() - 1 - refCon];
    CApplication* app = CApplication::GetApp();
    if (!app)
        return noErr;
    OSStatus status = file.Exists() ? app->OpenFile(file) : OSStatus(fnfErr);
    if (status != noErr) {
        RemoveFile(file);
        app->ShowOpenError(file, status);
    }
    return noErr;
}
