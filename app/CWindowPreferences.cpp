#include "app/CWindowPreferences.h"

#include "app/CToolbarPreferences.h"
#include "app/SULastCheckTransform.h"
#include "bindings/Source/Bindings/CBControlBinding.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "bindings/Source/Transforms/CBFromArrayTransform.h"
#include "bindings/Source/Transforms/CBToArrayTransform.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CCarbonEvent.h"
#include "framework/CMacWindow.h"
#include "framework/ConstructController.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/toolbar/ToolbarCalls.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

std::atomic_flag sMaking = ATOMIC_FLAG_INIT;
CWindowPreferences* sInstance = nullptr; // owns: the window lives until the process ends

// One preference key per control, by control id.
struct ControlPreference {
    OSType control;
    char const* key;
};

constexpr ControlPreference kGeneral[] = {
    { 'grid', "ShowGrid" },
    { 'unit', "MapUnits" },
    { 'angl', "MapCoordinates" },
    { 'rzom', "ResizeOnZoom" },
    { 'gdoc', "GlobalDocument" },
};

constexpr ControlPreference kDebug[] = {
    { 'dlog', "DeviceLog" },
    { 'rset', "DeviceReset" },
    { 'r110', "DeviceResetL001A010" },
    { 'r111', "DeviceResetL001A011" },
    { 'r210', "DeviceResetL002A010" },
    { 'r211', "DeviceResetL002A011" },
};

constexpr char const* kDeviceReset = "DeviceReset";

// A fresh binding on the panel's control with that id; it goes when the control is
// disposed. None for a control the panel lacks, so nothing is left unattached.
CBControlBinding* BindingFor(CMacWindow* window, OSType id)
{
    ControlID const controlID { id, 0 };
    ControlRef control = nullptr;
    if (!window || GetControlByID(window->GetWindowRef(), &controlID, &control) != noErr || !control)
        return nullptr;
    return new CBControlBinding(control);
}

void BindBoth(CMacWindow* window, CBKeyValueBinding* prefs, ControlPreference const& entry)
{
    if (CBControlBinding* binding = BindingFor(window, entry.control))
        binding->Bind("value", prefs, entry.key, nullptr, nullptr);
}

// The popup's position 0 stands for no item: it shows a stored period that the list
// does not hold. Carried back, that position would be the list's first period and
// replace the stored one merely because the panel was shown; it carries back the
// stored value instead, so nothing changes until the user chooses an item.
class ToPeriodTransform : public CBToArrayTransform {
public:
    ToPeriodTransform(std::vector<CBValue> const& periods, CBKeyValueBinding* prefs, CBString const& key)
        : CBToArrayTransform(periods.front(), periods)
        , mPrefs(prefs)
        , mKey(key)
    {
    }

    CBValue Apply(CBValue const& theValue) override
    {
        if (theValue.IsNumber() && theValue.GetUInt32() == 0)
            return mPrefs->GetKeyPathValue(mKey);
        return CBToArrayTransform::Apply(theValue);
    }

private:
    CBKeyValueBinding* mPrefs; // weak: the preference binding holds this transform
    CBString mKey;
};

std::vector<CBValue> UpdatePeriods()
{
    std::vector<CBValue> periods;
    for (double seconds : CWindowPreferences::kUpdatePeriods)
        periods.emplace_back(CFDateCreate(nullptr, seconds), true);
    return periods;
}

} // namespace

CWindowPreferences* CWindowPreferences::GetInstance()
{
    using namespace std::chrono_literals;
    while (sMaking.test_and_set(std::memory_order_acquire))
        std::this_thread::sleep_for(300us);
    if (!sInstance)
        sInstance = ConstructController<CWindowPreferences>(kNibFile, kNibWindow, true);
    CWindowPreferences* const instance = sInstance;
    sMaking.clear(std::memory_order_release);
    return instance;
}

void CWindowPreferences::ResetForTesting()
{
    delete sInstance;
    sInstance = nullptr;
}

// The toolbar goes before the window that shows it.
CWindowPreferences::~CWindowPreferences()
{
    if (GetWindow() && GetWindow()->GetWindowRef())
        SetWindowToolbar(GetWindow()->GetWindowRef(), nullptr);
    delete mToolbar;
}

OSStatus CWindowPreferences::InitialiseSelf()
{
    // The menu asks the window whether the toolbar commands apply.
    AddEvent(kEventClassCommand, kEventCommandUpdateStatus);
    mToolbar = new CToolbarPreferences;
    mToolbar->Install(GetWindow()); // a window without its toolbar still shows the first panel
    SetPanelWindow(GetWindow());
    SetPanelNib(kNibFile);
    SetPanel(kNibPrefsGeneral);
    return noErr;
}

SInt32 CWindowPreferences::GetMenuStatus(HICommandExtended const& command)
{
    switch (command.commandID) {
    case kCommandToggleToolbar:
    case kHICommandCustomizeToolbar:
        return kMenuStatusDisable; // the toolbar is the only way between the panels
    default:
        return CWindowController::GetMenuStatus(command);
    }
}

OSStatus CWindowPreferences::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case CToolbarPreferences::kCommandGeneral:
        SetPanel(kNibPrefsGeneral);
        return noErr;
    case CToolbarPreferences::kCommandUpdate:
        SetPanel(kNibPrefsUpdate);
        return noErr;
    case CToolbarPreferences::kCommandDebug:
        SetPanel(kNibPrefsDebug);
        return noErr;
    default:
        return CWindowController::DoEventCommandProcess(event);
    }
}

void CWindowPreferences::PanelChanged(CString const& name)
{
    CApplication* app = CApplication::GetApp();
    CBKeyValueBinding* prefs = app ? app->GetPreferences().GetBinding() : nullptr;
    if (!prefs)
        return; // nothing to bind to: the controls show the nib's values
    if (name == CString(kNibPrefsGeneral))
        BindGeneral(prefs);
    else if (name == CString(kNibPrefsUpdate))
        BindUpdate(prefs);
    else if (name == CString(kNibPrefsDebug))
        BindDebug(prefs);
}

void CWindowPreferences::BindGeneral(CBKeyValueBinding* prefs)
{
    for (ControlPreference const& entry : kGeneral)
        BindBoth(GetWindow(), prefs, entry);
    CString title;
    title.Format(CTextUtilities::GetBundleString("PrefUseGlobalDocument").GetUTF8(),
        CTextUtilities::GetBundleString("DocGlobalDocument").GetUTF8());
    GetWindow()->SetControlTitle('gdoc', title);
}

void CWindowPreferences::BindUpdate(CBKeyValueBinding* prefs)
{
    std::vector<CBValue> const periods = UpdatePeriods();
    CBString const periodKey(CApplication::kPrefSoftwareUpdatePeriod.GetUTF8());
    if (CBControlBinding* period = BindingFor(GetWindow(), 'sper'))
        period->Bind("value", prefs, periodKey, new CBFromArrayTransform(0, periods),
            new ToPeriodTransform(periods, prefs, periodKey));
    if (CBControlBinding* last = BindingFor(GetWindow(), SULastCheckTransform::kControlLastCheck))
        last->BindTo("value", prefs, CApplication::kPrefSoftwareUpdateLastCheck.GetUTF8(),
            new SULastCheckTransform(GetWindow()));
}

// The four resets of one link and command protocol pair each are usable only while
// the general reset is on.
void CWindowPreferences::BindDebug(CBKeyValueBinding* prefs)
{
    for (ControlPreference const& entry : kDebug) {
        CBControlBinding* binding = BindingFor(GetWindow(), entry.control);
        if (!binding)
            continue;
        binding->Bind("value", prefs, entry.key, nullptr, nullptr);
        if (entry.control != 'dlog' && entry.control != 'rset')
            binding->BindTo("enabled", prefs, kDeviceReset, nullptr);
    }
}
