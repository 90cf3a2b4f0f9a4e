#include "app/CToolbarPreferences.h"

#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CKeyboardUtilities.h"
#include "toolbox/toolbar/ToolbarCalls.h"

namespace {

struct PanelItem {
    UInt32 command;
    char const* identifier;
    char const* label; // bundle-string key
    char const* image; // bundle resource
};

constexpr PanelItem kItems[] = {
    { CToolbarPreferences::kCommandGeneral, "com.tarnwick.tarnwick.toolbar.preferences.general", "PrefGeneral",
        "PrefGeneral.png" },
    { CToolbarPreferences::kCommandUpdate, "com.tarnwick.tarnwick.toolbar.preferences.update", "PrefUpdate",
        "PrefUpdate.png" },
    { CToolbarPreferences::kCommandDebug, "com.tarnwick.tarnwick.toolbar.preferences.debug", "PrefDebug",
        "PrefDebug.png" },
};

} // namespace

OSStatus CToolbarPreferences::CreateToolbar(HIObjectRef& ref)
{
    ref = nullptr;
    OSStatus const status = HIToolbarCreate(CString(kIdentifier).GetCFString(), kHIToolbarIsConfigurable, &ref);
    if (status != noErr)
        return status;
    // The Debug panel is for finding faults with a receiver: the user asks for it with Option.
    bool const debug = CKeyboardUtilities::IsOptionDown();
    for (PanelItem const& item : kItems) {
        if (item.command == kCommandDebug && !debug)
            continue;
        AddItem(0, CString(item.identifier), CTextUtilities::GetBundleString(item.label), item.command,
            CFileUtilities::GetBundleResource(CString(item.image), CString(), CString()), true);
    }
    return noErr;
}
