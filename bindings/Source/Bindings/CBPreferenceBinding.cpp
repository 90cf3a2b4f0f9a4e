#include "bindings/Source/Bindings/CBPreferenceBinding.h"

#include "bindings/Source/Bindings/CBPreferenceRecord.h"
#include "corefoundation/CFPreferences.h"
#include "foundation/CPreferences.h"

#include <cstdio>
#include <string>

namespace {

std::string UTF8Of(CFStringRef text) { return text ? tw::cf::ToUTF8(text) : std::string(); }

CFStringRef CreateKey(CBString const& theKey)
{
    return CFStringCreateWithCString(nullptr, theKey.GetUTF8(), kCFStringEncodingUTF8);
}

template <typename T> CFNumberRef CreateNumber(CFNumberType type, T value)
{
    return CFNumberCreate(nullptr, type, &value);
}

// A property-list object for the value (+1), or null for a type preferences cannot hold.
CFPropertyListRef CreatePropertyList(CBValue const& theValue)
{
    switch (theValue.GetType()) {
    case CBValue::kTypeBoolean:
        return CFRetain(theValue.GetBoolean() ? kCFBooleanTrue : kCFBooleanFalse);
    case CBValue::kTypeUInt32:
    case CBValue::kTypeSInt32:
        return CreateNumber(kCFNumberSInt32Type, theValue.GetSInt32());
    case CBValue::kTypeUInt64:
    case CBValue::kTypeSInt64:
        return CreateNumber(kCFNumberSInt64Type, theValue.GetSInt64());
    case CBValue::kTypeDouble:
        return CreateNumber(kCFNumberFloat64Type, theValue.GetDouble());
    case CBValue::kTypeDate:
        return theValue.GetDate() ? CFRetain(theValue.GetDate()) : nullptr;
    case CBValue::kTypeString:
        return theValue.GetString() ? CFRetain(theValue.GetString()) : nullptr;
    case CBValue::kTypePoint:
    case CBValue::kTypeSize:
    case CBValue::kTypeRect:
        return tw::bindings::CreateGeometryRecord(theValue);
    case CBValue::kTypeInvalid:
    case CBValue::kTypePointer:
        break;
    }
    return nullptr;
}

// A control writes what it holds, a check box its 0 or 1: a stored Boolean stays a Boolean,
// a stored number a number, and a stored real a real. Returns the object to store (+1).
CFPropertyListRef KeepStoredType(CFPropertyListRef stored, CFPropertyListRef object)
{
    if (!stored || !object)
        return CFRetain(object);
    CFTypeID const was = CFGetTypeID(stored);
    CFTypeID const is = CFGetTypeID(object);
    if (was == CFBooleanGetTypeID() && is == CFNumberGetTypeID()) {
        double number = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(object), kCFNumberFloat64Type, &number);
        return CFRetain(number != 0 ? kCFBooleanTrue : kCFBooleanFalse);
    }
    if (was == CFNumberGetTypeID() && is == CFBooleanGetTypeID())
        return CreateNumber(kCFNumberSInt32Type, SInt32(CFBooleanGetValue(static_cast<CFBooleanRef>(object)) ? 1 : 0));
    if (was == CFNumberGetTypeID() && is == CFNumberGetTypeID()
        && CFNumberIsFloatType(static_cast<CFNumberRef>(stored))
        && !CFNumberIsFloatType(static_cast<CFNumberRef>(object))) {
        double number = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(object), kCFNumberFloat64Type, &number);
        return CreateNumber(kCFNumberFloat64Type, number);
    }
    return CFRetain(object);
}

CBValue ValueOfNumber(CFNumberRef number)
{
    CBValue value;
    CFNumberType const type = CFNumberGetType(number);
    switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberSInt16Type:
    case kCFNumberSInt32Type:
    case kCFNumberCFIndexType: {
        SInt64 integer = 0;
        CFNumberGetValue(number, kCFNumberSInt64Type, &integer);
        // Only what fits: a 64-bit index read as 32 bits would come back wrong.
        if (integer >= INT32_MIN && integer <= INT32_MAX)
            value.SetSInt32(SInt32(integer));
        else
            value.SetSInt64(integer);
        break;
    }
    case kCFNumberSInt64Type: {
        SInt64 integer = 0;
        CFNumberGetValue(number, kCFNumberSInt64Type, &integer);
        value.SetSInt64(integer);
        break;
    }
    case kCFNumberFloat32Type:
    case kCFNumberFloat64Type: {
        double real = 0;
        CFNumberGetValue(number, kCFNumberFloat64Type, &real);
        value.SetDouble(real);
        break;
    }
    default:
        CB_REPORT("Unknown CFNumber type: %d", static_cast<int>(type));
        break;
    }
    return value;
}

CBValue ValueOfPropertyList(CFPropertyListRef object)
{
    CBValue value;
    CFTypeID const type = CFGetTypeID(object);
    if (type == CFBooleanGetTypeID())
        value.SetBoolean(CFBooleanGetValue(static_cast<CFBooleanRef>(object)));
    else if (type == CFNumberGetTypeID())
        value = ValueOfNumber(static_cast<CFNumberRef>(object));
    else if (type == CFDateGetTypeID())
        value.SetDate(static_cast<CFDateRef>(object), false);
    else if (type == CFStringGetTypeID())
        value.SetString(static_cast<CFStringRef>(object), false);
    else if (type == CFDataGetTypeID())
        value = tw::bindings::ReadGeometryRecord(static_cast<CFDataRef>(object));
    else
        CB_REPORT("Unsupported value type: %ld", static_cast<long>(type));
    return value;
}

CBPreferenceBinding* CreateBinding(CFStringRef applicationID) { return new CBPreferenceBinding(applicationID); }

void ValueDidChange(CBPreferenceBinding* binding, CString const& key) { binding->PreferenceDidChange(CBString(key.GetUTF8())); }

void DestroyBinding(CBPreferenceBinding* binding) { delete binding; }

CPreferences::BindingSupport const sSupport { CreateBinding, ValueDidChange, DestroyBinding };

// Any program that links this binding gets the support without asking.
struct SupportInstaller {
    SupportInstaller() { CBPreferenceBinding::InstallPreferencesSupport(); }
} const sInstaller;

} // namespace

CBPreferenceBinding::CBPreferenceBinding(CFStringRef applicationID)
    : mApplicationID(applicationID ? CFStringCreateCopy(nullptr, applicationID) : nullptr)
{
    CB_CHECK(applicationID != NULL);
}

CBPreferenceBinding::~CBPreferenceBinding()
{
    if (mApplicationID) {
        CFPreferencesAppSynchronize(mApplicationID);
        CFRelease(mApplicationID);
    }
}

void CBPreferenceBinding::InstallPreferencesSupport() { CPreferences::SetBindingSupport(&sSupport); }

CBString CBPreferenceBinding::GetDebugInfo() const
{
    std::string const name = UTF8Of(mApplicationID);
    char text[512];
    std::snprintf(text, sizeof text, "[Preferences %.*s]", static_cast<int>(name.size()), name.c_str());
    return CBString(text);
}

void CBPreferenceBinding::PreferenceDidChange(CBString const& theKeyName)
{
    if (mApplicationID) {
        CFStringRef const key = CreateKey(theKeyName);
        CFPropertyListRef const object = CFPreferencesCopyAppValue(key, mApplicationID);
        CFRelease(key);
        if (object) {
            CFTypeID const type = CFGetTypeID(object);
            CFRelease(object);
            if (type == CFArrayGetTypeID() || type == CFDictionaryGetTypeID())
                return;
        }
    }
    SetKeyPathValue(theKeyName, GetKeyPathValue(theKeyName), true);
}

CBValue CBPreferenceBinding::GetKeyValue(CBString const& theKeyName) const
{
    if (!mApplicationID)
        return CBValue();
    CFStringRef const key = CreateKey(theKeyName);
    CFPropertyListRef const object = CFPreferencesCopyAppValue(key, mApplicationID);
    CFRelease(key);
    if (!object)
        return CBValue();
    CBValue value = ValueOfPropertyList(object);
    CFRelease(object);
    return value;
}

void CBPreferenceBinding::SetKeyValue(CBString const& theKeyName, CBValue const& theValue)
{
    CFPropertyListRef const object = CreatePropertyList(theValue);
    if (!object) {
        // An invalid value must not remove a stored preference.
        CB_REPORT("Unsupported value type: %d", static_cast<int>(theValue.GetType()));
        return;
    }
    if (mApplicationID) {
        CFStringRef const key = CreateKey(theKeyName);
        CFPropertyListRef const stored = CFPreferencesCopyAppValue(key, mApplicationID);
        CFPropertyListRef const typed = KeepStoredType(stored, object);
        CFPreferencesSetAppValue(key, typed, mApplicationID);
        CFRelease(typed);
        if (stored)
            CFRelease(stored);
        CFRelease(key);
    }
    CFRelease(object);
}
