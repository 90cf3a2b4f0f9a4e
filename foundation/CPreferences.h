#pragma once

// Typed access to one application's preference domain, with defaults. Every
// setter writes the value, rewrites it into the preference binding (when the
// bindings library has installed one) and broadcasts "pfdc" with the key.
// Main thread only.

#include "foundation/CDateTime.h"
#include "foundation/CMsgBroadcaster.h"
#include "foundation/CString.h"
#include "foundation/ColourRGBA.h"

class CBPreferenceBinding; // the bindings library's mirror of the preferences

class CPreferences : public CMsgBroadcaster {
public:
    static constexpr UInt32 kMsgPreferenceChanged = 'pfdc'; // parameter: CString const* key

    // The bindings library stands on this one, so it installs the operations its binding
    // needs here: made on first use of GetBinding, told of every change, destroyed with us.
    struct BindingSupport {
        CBPreferenceBinding* (*create)(CFStringRef applicationID);
        void (*valueDidChange)(CBPreferenceBinding* binding, CString const& key);
        void (*destroy)(CBPreferenceBinding* binding);
    };
    static void SetBindingSupport(BindingSupport const* support); // null removes it

    // An empty domain is the running application's own.
    explicit CPreferences(CString const& domain = CString());
    CPreferences(CPreferences const&) = delete;
    CPreferences& operator=(CPreferences const&) = delete;
    ~CPreferences() override;

    bool PrefExists(CString const& key) const;
    // Numbers (non-zero is true) and the texts "true" and "YES" read as Booleans too.
    bool GetBoolean(CString const& key, bool defaultValue) const;
    // Any number (truncated and clamped), a Boolean as 0 or 1, or numeric text.
    SInt32 GetInteger(CString const& key, SInt32 defaultValue) const;
    double GetFloat(CString const& key, double defaultValue) const;
    CString GetString(CString const& key, CString const& defaultValue) const;
    CDateTime GetDate(CString const& key, CDateTime const& defaultValue) const;
    // A retained array, or the default (retained too): the caller releases what it gets.
    CFArrayRef GetArray(CString const& key, CFArrayRef defaultValue) const;
    // The default when the stored text does not hold four numbers.
    ColourRGBA GetColour(CString const& key, ColourRGBA const& defaultValue) const;

    void SetBoolean(CString const& key, bool value);
    void SetInteger(CString const& key, SInt32 value);
    void SetFloat(CString const& key, double value);
    void SetString(CString const& key, CString const& value);
    void SetDate(CString const& key, CDateTime const& value);
    void SetArray(CString const& key, CFArrayRef value);
    void SetColour(CString const& key, ColourRGBA const& value);
    void RemovePref(CString const& key);

    OSStatus Flush(); // writes the domain to disk

    // Null until the bindings library has installed its support.
    CBPreferenceBinding* GetBinding();
    // Rewrites the key into the binding, so every observer hears it, then broadcasts "pfdc".
    void ValueDidChange(CString const& key);

private:
    CFPropertyListRef CopyValue(CString const& key) const; // +1 or null
    void SetValue(CString const& key, CFPropertyListRef value); // then ValueDidChange

    CFStringRef mDomain; // retains
    CBPreferenceBinding* mBinding = nullptr; // owns, through the binding support
    BindingSupport const* mBindingSupport = nullptr; // borrowed: the support that made mBinding
};
