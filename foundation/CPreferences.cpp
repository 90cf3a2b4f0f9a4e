#include "foundation/CPreferences.h"

#include "foundation/CTextScanner.h"
#include "foundation/StCFRef.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

CPreferences::BindingSupport const* sBindingSupport = nullptr;

bool IsType(CFTypeRef value, CFTypeID type) { return value && CFGetTypeID(value) == type; }

std::optional<double> NumberOf(CFTypeRef value)
{
    if (IsType(value, CFNumberGetTypeID())) {
        double number = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberFloat64Type, &number);
        return std::isfinite(number) ? std::optional(number) : std::nullopt;
    }
    if (IsType(value, CFBooleanGetTypeID()))
        return CFBooleanGetValue(static_cast<CFBooleanRef>(value)) ? 1.0 : 0.0;
    if (IsType(value, CFStringGetTypeID())) {
        std::string text = tw::cf::ToUTF8(static_cast<CFStringRef>(value));
        CTextScanner scanner(text);
        auto number = scanner.Double();
        if (number && scanner.AtEndIgnoringSpace())
            return number;
    }
    return std::nullopt;
}

} // namespace

void CPreferences::SetBindingSupport(BindingSupport const* support) { sBindingSupport = support; }

CPreferences::CPreferences(CString const& domain)
    : mDomain(domain.IsEmpty() ? kCFPreferencesCurrentApplication : CFStringCreateCopy(nullptr, domain.GetCFString()))
{
    if (domain.IsEmpty())
        CFRetain(mDomain);
}

CPreferences::~CPreferences()
{
    if (mBinding && mBindingSupport)
        mBindingSupport->destroy(mBinding);
    CFRelease(mDomain);
}

CFPropertyListRef CPreferences::CopyValue(CString const& key) const
{
    return CFPreferencesCopyAppValue(key.GetCFString(), mDomain);
}

bool CPreferences::PrefExists(CString const& key) const
{
    StCFRef<CFPropertyListRef> value(CopyValue(key));
    return value.IsValid();
}

bool CPreferences::GetBoolean(CString const& key, bool defaultValue) const
{
    Boolean valid = false;
    Boolean value = CFPreferencesGetAppBooleanValue(key.GetCFString(), mDomain, &valid);
    return valid ? value != 0 : defaultValue;
}

SInt32 CPreferences::GetInteger(CString const& key, SInt32 defaultValue) const
{
    StCFRef<CFPropertyListRef> value(CopyValue(key));
    auto number = NumberOf(value);
    if (!number)
        return defaultValue;
    return SInt32(std::clamp(std::trunc(*number), double(INT32_MIN), double(INT32_MAX)));
}

double CPreferences::GetFloat(CString const& key, double defaultValue) const
{
    StCFRef<CFPropertyListRef> value(CopyValue(key));
    return NumberOf(value).value_or(defaultValue);
}

CString CPreferences::GetString(CString const& key, CString const& defaultValue) const
{
    CFPropertyListRef value = CopyValue(key);
    if (IsType(value, CFStringGetTypeID()))
        return CString(static_cast<CFStringRef>(value), true);
    if (value)
        CFRelease(value);
    return defaultValue;
}

CDateTime CPreferences::GetDate(CString const& key, CDateTime const& defaultValue) const
{
    StCFRef<CFPropertyListRef> value(CopyValue(key));
    if (!IsType(value, CFDateGetTypeID()))
        return defaultValue;
    return CDateTime(CFDateGetAbsoluteTime(static_cast<CFDateRef>(value.Get())));
}

CFArrayRef CPreferences::GetArray(CString const& key, CFArrayRef defaultValue) const
{
    CFPropertyListRef value = CopyValue(key);
    if (IsType(value, CFArrayGetTypeID()))
        return static_cast<CFArrayRef>(value);
    if (value)
        CFRelease(value);
    if (defaultValue)
        CFRetain(defaultValue);
    return defaultValue;
}

ColourRGBA CPreferences::GetColour(CString const& key, ColourRGBA const& defaultValue) const
{
    CString text = GetString(key, CString());
    return ColourRGBA::FromString(text).value_or(defaultValue);
}

void CPreferences::SetValue(CString const& key, CFPropertyListRef value)
{
    CFPreferencesSetAppValue(key.GetCFString(), value, mDomain);
    ValueDidChange(key);
}

void CPreferences::SetBoolean(CString const& key, bool value)
{
    SetValue(key, value ? kCFBooleanTrue : kCFBooleanFalse);
}

void CPreferences::SetInteger(CString const& key, SInt32 value)
{
    StCFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
    SetValue(key, number.Get());
}

void CPreferences::SetFloat(CString const& key, double value)
{
    StCFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberFloat64Type, &value));
    SetValue(key, number.Get());
}

void CPreferences::SetString(CString const& key, CString const& value)
{
    StCFRef<CFStringRef> text(CFStringCreateCopy(nullptr, value.GetCFString()));
    SetValue(key, text.Get());
}

void CPreferences::SetDate(CString const& key, CDateTime const& value)
{
    StCFRef<CFDateRef> date(CFDateCreate(nullptr, value.GetTimeInSeconds()));
    SetValue(key, date.Get());
}

void CPreferences::SetArray(CString const& key, CFArrayRef value)
{
    // A copy: the caller may go on changing a mutable array.
    StCFRef<CFPropertyListRef> copy(
        value ? CFPropertyListCreateDeepCopy(nullptr, value, kCFPropertyListImmutable) : nullptr);
    if (value && !copy.IsValid())
        return; // holds values that are no property-list types: nothing could be stored
    SetValue(key, copy.Get());
}

void CPreferences::SetColour(CString const& key, ColourRGBA const& value) { SetString(key, value.GetString()); }

void CPreferences::RemovePref(CString const& key) { SetValue(key, nullptr); }

OSStatus CPreferences::Flush() { return CFPreferencesAppSynchronize(mDomain) ? noErr : ioErr; }

CBPreferenceBinding* CPreferences::GetBinding()
{
    if (!mBinding && sBindingSupport) {
        mBinding = sBindingSupport->create(mDomain);
        mBindingSupport = sBindingSupport;
    }
    return mBinding;
}

void CPreferences::ValueDidChange(CString const& key)
{
    if (mBinding && mBindingSupport)
        mBindingSupport->valueDidChange(mBinding, key);
    BroadcastMessage(kMsgPreferenceChanged, const_cast<CString*>(&key));
}
