#pragma once

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "framework/CWindowController.h"
#include "widgets/CPanelController.h"

class CBKeyValueBinding;
class CToolbarPreferences;

// The application's preferences window: one window, made on first use and hidden
// rather than closed, whose toolbar switches between the General, Update and
// Debug panels of the nib. Every control of a panel is bound to one preference,
// so a change is stored at once and a change made elsewhere shows at once; the
// bindings are made anew each time a panel is shown. Main thread only.
class CWindowPreferences : public CWindowController, public CPanelController, public CTWWindow {
public:
    static constexpr char const* kNibFile = "Tarnwick";
    static constexpr char const* kNibWindow = "Preferences";
    static constexpr char const* kNibPrefsGeneral = "Prefs General";
    static constexpr char const* kNibPrefsUpdate = "Prefs Update";
    static constexpr char const* kNibPrefsDebug = "Prefs Debug";

    // The quiet update check's periods in popup list order: each a date whose time since
    // the reference date is the period. 0 never checks; a negative period checks at every start.
    static constexpr double kUpdatePeriods[] = { -1, 0, -2, 86400, 604800, 2678400 }; // [s]

    // The one window, made on first use; null when it cannot be made (the next call tries again).
    static CWindowPreferences* GetInstance();
    // Tests only: the window goes, so that the next GetInstance makes a fresh one.
    static void ResetForTesting();

    CWindowPreferences() = default;
    ~CWindowPreferences() override;

    CToolbarPreferences* GetToolbar() const { return mToolbar; }

    SInt32 GetMenuStatus(HICommandExtended const& command) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    // Ctrl+Tab and Ctrl+Page Down show the next panel, with Shift or Page Up the previous one.
    OSStatus DoEventRawKeyDown(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    void PanelChanged(CString const& name) override;

private:
    void BindGeneral(CBKeyValueBinding* prefs);
    void BindUpdate(CBKeyValueBinding* prefs);
    void BindDebug(CBKeyValueBinding* prefs);
    // The panel that many places on in the toolbar's order, round from either end.
    void StepPanel(int step);

    CToolbarPreferences* mToolbar = nullptr; // owns
};
