#pragma once

// The preference domain of one application as a binding: every key is a preference
// key, read from and written to the domain itself, so the binding keeps no values of
// its own. It hears nothing from the domain: the preferences service rewrites a key
// into it whenever it changes one, which is how observers hear outside changes.

#include "bindings/Source/Bindings/CBKeyValueBinding.h"

class CBPreferenceBinding : public CBKeyValueBinding {
public:
    explicit CBPreferenceBinding(CFStringRef applicationID);
    ~CBPreferenceBinding() override;

    CBString GetDebugInfo() const override;
    CBValue GetKeyValue(CBString const& theKeyName) const override;
    void SetKeyValue(CBString const& theKeyName, CBValue const& theValue) override;

    // The preferences service changed the key: its observers hear of it, unless it holds a
    // value no binding can (a list or a dictionary, such as the recent items).
    void PreferenceDidChange(CBString const& theKeyName);

    // Lets every CPreferences make, feed and destroy its binding. Done once at start-up;
    // calling it again changes nothing.
    static void InstallPreferencesSupport();

private:
    CFStringRef mApplicationID; // retains
};
