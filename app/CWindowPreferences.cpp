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
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic_flag sMaking = ATOMIC_FLAG_INIT;
CWindowPreferences* sInstance = nullptr; // owns: the window lives until the process ends

// One preference key per control, by control id.
struct ControlPreference {
    OSType control;
    char const* key;
    bool followsReset = false; // usable only while the general reset is on
};

constexpr ControlPreference kGeneral[] = {
    { 'grid', "ShowGrid" },
    { 'unit', "MapUnits" },
    { 'angl', "MapCoordinates" },
    { 'rzom', "ResizeOnZoom" },
    { 'gdoc', "GlobalDocument" },
};

// The resets of one link and command protocol pair each; the device layer reads them.
constexpr ControlPreference kDebug[] = {
    { 'dlog', "DeviceLog" },
    { 'rset', "DeviceReset" },
    { 'r110', "DeviceResetL001A010", true },
    { 'r111', "DeviceResetL001A011", true },
    { 'r210', "DeviceResetL002A010", true },
    { 'r211', "DeviceResetL002A011", true },
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

void BindAll(CMacWindow* window, CBKeyValueBinding* prefs, ControlPreference const* entries, std::size_t count)
{
    for (ControlPreference const& entry : std::span(entries, count)) {
        CBControlBinding* binding = BindingFor(window, entry.control);
        if (!binding)
            continue;
        binding->Bind("value", prefs, entry.key, nullptr, nullptr);
        if (entry.followsReset)
            binding->BindTo("enabled", prefs, kDeviceReset, nullptr);
    }
}

// The format with its "%s" replaced by the text and "%%" by "%": a localised format
// never reaches printf, so a wrong conversion in it cannot read what is not there.
CString FillFormat(std::string const& format, std::string const& text)
{
    std::string filled;
    bool used = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            filled += '%';
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && !used) {
            filled += text;
            used = true;
            ++i;
        } else {
            filled += format[i];
        }
    }
    return CString(filled.c_str(), kCFStringEncodingUTF8);
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
    AddEvent(kEventClassKeyboard, kEventRawKeyDown);
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

OSStatus CWindowPreferences::DoEventRawKeyDown(CCarbonEvent& event)
{
    constexpr UInt32 kKeyTab = 48, kKeyPageUp = 116, kKeyPageDown = 121;
    UInt32 const modifiers = event.GetKeyModifiers();
    if (!(modifiers & cmdKey) || (modifiers & (optionKey | controlKey)))
        return eventNotHandledErr;
    switch (event.GetKeyCode()) {
    case kKeyTab:
        StepPanel(modifiers & shiftKey ? -1 : 1);
        return noErr;
    case kKeyPageDown:
        StepPanel(1);
        return noErr;
    case kKeyPageUp:
        StepPanel(-1);
        return noErr;
    default:
        return eventNotHandledErr;
    }
}

void CWindowPreferences::StepPanel(int step)
{
    struct Panel {
        UInt32 command;
        char const* nib;
    };
    static constexpr Panel kPanels[] = { { CToolbarPreferences::kCommandGeneral, kNibPrefsGeneral },
        { CToolbarPreferences::kCommandUpdate, kNibPrefsUpdate },
        { CToolbarPreferences::kCommandDebug, kNibPrefsDebug } };
    // The panels the toolbar offers (Debug only when asked for); without a toolbar, the first two.
    std::vector<Panel> offered;
    for (Panel const& panel : kPanels) {
        bool shown = !mToolbar && panel.command != CToolbarPreferences::kCommandDebug;
        if (mToolbar)
            for (CHIToolbarItemData const& item : mToolbar->GetItemData())
                shown |= item.mCommand == panel.command;
        if (shown)
            offered.push_back(panel);
    }
    if (offered.empty())
        return;
    int const count = static_cast<int>(offered.size());
    int current = 0;
    for (int i = 0; i < count; ++i)
        if (GetPanel() == CString(offered[static_cast<std::size_t>(i)].nib))
            current = i;
    SetPanel(offered[static_cast<std::size_t>(((current + step) % count + count) % count)].nib);
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
    BindAll(GetWindow(), prefs, kGeneral, std::size(kGeneral));
    GetWindow()->SetControlTitle('gdoc',
        FillFormat(CTextUtilities::GetBundleString("PrefUseGlobalDocument").GetStdString(),
            CTextUtilities::GetBundleString("DocGlobalDocument").GetStdString()));
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

void CWindowPreferences::BindDebug(CBKeyValueBinding* prefs) { BindAll(GetWindow(), prefs, kDebug, std::size(kDebug)); }
