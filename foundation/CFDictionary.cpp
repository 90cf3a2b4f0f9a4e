#include "foundation/CFDictionary.h"

#include "foundation/CFArray.h"
#include "foundation/CTextScanner.h"
#include "foundation/CTextUtilities.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

CFMutableDictionaryRef NewDictionary()
{
    return CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
}

// Deep, so that nested containers are never shared with the source.
CFMutableDictionaryRef CopyDictionary(CFDictionaryRef dictionary)
{
    if (!dictionary || CFGetTypeID(dictionary) != CFDictionaryGetTypeID())
        return NewDictionary();
    auto copy
        = static_cast<CFDictionaryRef>(CFPropertyListCreateDeepCopy(nullptr, dictionary, kCFPropertyListImmutable));
    if (!copy)
        return CFDictionaryCreateMutableCopy(nullptr, 0, dictionary); // holds non-plist values: shallow
    CFMutableDictionaryRef mutableCopy = CFDictionaryCreateMutableCopy(nullptr, 0, copy);
    CFRelease(copy);
    return mutableCopy;
}

bool IsType(CFTypeRef value, CFTypeID type) { return value && CFGetTypeID(value) == type; }

// Numbers, Booleans and numeric text all read as numbers: documents written by hand vary.
double NumberOf(CFTypeRef value)
{
    double number = 0;
    if (IsType(value, CFNumberGetTypeID()))
        CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberFloat64Type, &number);
    else if (IsType(value, CFBooleanGetTypeID()))
        number = CFBooleanGetValue(static_cast<CFBooleanRef>(value)) ? 1 : 0;
    else if (IsType(value, CFStringGetTypeID())) {
        std::string text = tw::cf::ToUTF8(static_cast<CFStringRef>(value));
        CTextScanner scanner(text);
        number = scanner.Double().value_or(0);
    }
    return std::isfinite(number) ? number : 0;
}

} // namespace

CFDictionary::CFDictionary()
    : mDictionary(NewDictionary())
{
}

CFDictionary::CFDictionary(CFDictionaryRef dictionary)
    : mDictionary(CopyDictionary(dictionary))
{
}

CFDictionary::CFDictionary(CFDictionaryRef dictionary, Shared)
    : mDictionary(IsType(dictionary, CFDictionaryGetTypeID())
              ? const_cast<CFMutableDictionaryRef>(static_cast<CFDictionaryRef>(CFRetain(dictionary)))
              : NewDictionary())
{
}

CFDictionary::CFDictionary(CFDictionary const& other)
    : mDictionary(CopyDictionary(other.mDictionary))
{
}

CFDictionary::CFDictionary(CFDictionary&& other) noexcept
    : mDictionary(std::exchange(other.mDictionary, NewDictionary()))
{
}

CFDictionary& CFDictionary::operator=(CFDictionary const& other)
{
    if (this != &other) {
        CFMutableDictionaryRef copy = CopyDictionary(other.mDictionary);
        CFRelease(mDictionary);
        mDictionary = copy;
    }
    return *this;
}

CFDictionary& CFDictionary::operator=(CFDictionary&& other) noexcept
{
    std::swap(mDictionary, other.mDictionary);
    return *this;
}

CFDictionary::~CFDictionary() { CFRelease(mDictionary); }

UInt32 CFDictionary::GetCount() const { return UInt32(CFDictionaryGetCount(mDictionary)); }

bool CFDictionary::HasKey(Key key) const { return GetValue(key) != nullptr; }

void CFDictionary::RemoveValue(CString const& key) { CFDictionaryRemoveValue(mDictionary, key.GetCFString()); }

void CFDictionary::Clear() { CFDictionaryRemoveAllValues(mDictionary); }

CFTypeRef CFDictionary::GetValue(Key key) const
{
    if (key.mString)
        return static_cast<CFTypeRef>(CFDictionaryGetValue(mDictionary, key.mString->GetCFString()));
    return static_cast<CFTypeRef>(tw::cf::DictionaryGetValueForText(mDictionary, key.mText ? key.mText : ""));
}

void CFDictionary::SetValue(CString const& key, CFTypeRef value)
{
    if (!value)
        return;
    // The key is copied: a CString's string may be mutable.
    CFStringRef keyCopy = CFStringCreateCopy(nullptr, key.GetCFString());
    CFDictionarySetValue(mDictionary, keyCopy, value);
    CFRelease(keyCopy);
}

void CFDictionary::SetValueAndRelease(CString const& key, CFTypeRef value)
{
    SetValue(key, value);
    if (value)
        CFRelease(value);
}

CString CFDictionary::GetValueString(Key key) const
{
    CFTypeRef value = GetValue(key);
    return IsType(value, CFStringGetTypeID()) ? CString(static_cast<CFStringRef>(value), false) : CString();
}

OSType CFDictionary::GetValueOSType(Key key) const
{
    CFTypeRef value = GetValue(key);
    if (IsType(value, CFStringGetTypeID())) {
        // Codes are 7-bit text nearly always: read from its bytes, with no wide copy made.
        if (std::string const* ascii = static_cast<CFStringRef>(value)->ASCII()) {
            OSType code = 0;
            for (std::size_t i = 0; i < 4; ++i)
                code = (code << 8) | UInt8(i < ascii->size() ? (*ascii)[i] : ' ');
            return code;
        }
        return CTextUtilities::GetOSTypeFromString(CString(static_cast<CFStringRef>(value), false));
    }
    return GetValueUInt32(key);
}

UInt32 CFDictionary::GetValueUInt32(Key key) const
{
    CFTypeRef value = GetValue(key);
    if (IsType(value, CFNumberGetTypeID()) && !CFNumberIsFloatType(static_cast<CFNumberRef>(value))) {
        SInt64 number = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number);
        return UInt32(number); // a negative value keeps its 32-bit pattern
    }
    double number = NumberOf(value);
    return UInt32(std::clamp(std::trunc(number), double(INT32_MIN), double(UINT32_MAX)));
}

Float32 CFDictionary::GetValueFloat32(Key key) const { return Float32(GetValueFloat64(key)); }

Float64 CFDictionary::GetValueFloat64(Key key) const { return NumberOf(GetValue(key)); }

bool CFDictionary::GetValueBoolean(Key key) const { return NumberOf(GetValue(key)) != 0; }

CFArray CFDictionary::GetValueArray(Key key) const
{
    CFTypeRef value = GetValue(key);
    return IsType(value, CFArrayGetTypeID()) ? CFArray(static_cast<CFArrayRef>(value)) : CFArray();
}

CFDictionary CFDictionary::GetValueDictionary(Key key) const
{
    CFTypeRef value = GetValue(key);
    return IsType(value, CFDictionaryGetTypeID()) ? CFDictionary(static_cast<CFDictionaryRef>(value)) : CFDictionary();
}

CGRect CFDictionary::GetValueRect(Key key) const
{
    std::string text = GetValueString(key).GetUTF8();
    CTextScanner scanner(text);
    double values[4];
    for (double& value : values) {
        scanner.Literal('{'); // a "{x, y, w, h}" form reads as well
        auto number = scanner.Double();
        if (!number)
            return CGRectZero;
        value = *number;
        scanner.Literal(',');
        scanner.Literal('}');
    }
    return CGRectMake(values[0], values[1], values[2], values[3]);
}

ColourRGBA CFDictionary::GetValueColour(Key key, ColourRGBA const& defaultColour) const
{
    CFTypeRef value = GetValue(key);
    if (IsType(value, CFStringGetTypeID()))
        if (std::string const* ascii = static_cast<CFStringRef>(value)->ASCII())
            return ColourRGBA::FromText(*ascii).value_or(defaultColour); // read where it lies
    return ColourRGBA::FromString(GetValueString(key)).value_or(defaultColour);
}

void CFDictionary::SetValueString(CString const& key, CString const& value)
{
    SetValueAndRelease(key, CFStringCreateCopy(nullptr, value.GetCFString()));
}

void CFDictionary::SetValueOSType(CString const& key, OSType value)
{
    SetValueString(key, CTextUtilities::GetStringFromOSType(value));
}

void CFDictionary::SetValueUInt32(CString const& key, UInt32 value)
{
    SInt64 number = value; // 64-bit keeps values above 2^31 positive
    SetValueAndRelease(key, CFNumberCreate(nullptr, kCFNumberSInt64Type, &number));
}

void CFDictionary::SetValueFloat32(CString const& key, Float32 value)
{
    SetValueAndRelease(key, CFNumberCreate(nullptr, kCFNumberFloat32Type, &value));
}

void CFDictionary::SetValueFloat64(CString const& key, Float64 value)
{
    SetValueAndRelease(key, CFNumberCreate(nullptr, kCFNumberFloat64Type, &value));
}

void CFDictionary::SetValueBoolean(CString const& key, bool value)
{
    SetValue(key, value ? kCFBooleanTrue : kCFBooleanFalse);
}

void CFDictionary::SetValueArray(CString const& key, CFArray const& value)
{
    CFArray copy(value);
    SetValue(key, copy.GetCFArray());
}

void CFDictionary::SetValueDictionary(CString const& key, CFDictionary const& value)
{
    CFDictionary copy(value);
    SetValue(key, copy.GetCFDictionary());
}

void CFDictionary::SetValueRect(CString const& key, CGRect const& value)
{
    CString text;
    text.Format("%f %f %f %f", value.origin.x, value.origin.y, value.size.width, value.size.height);
    SetValueString(key, text);
}

void CFDictionary::SetValueColour(CString const& key, ColourRGBA const& value)
{
    SetValueString(key, value.GetString());
}
