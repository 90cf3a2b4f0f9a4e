#pragma once

// Helpers for the property-list, preference and bundle tests: an owning holder, data
// from text, and the one-line canonical form that tests/data/plist/canonical.py prints
// for plistlib's objects, so both sides can be compared as text.

#include "corefoundation/CFPropertyList.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

namespace tw::test {

struct CFReleaser {
    void operator()(tw::cf::Object const* object) const { CFRelease(object); }
};

// Takes over one reference.
template <class Ref> using Owned = std::unique_ptr<std::remove_pointer_t<Ref>, CFReleaser>;

inline Owned<CFDataRef> MakeData(std::string const& bytes)
{
    return Owned<CFDataRef>(CFDataCreate(nullptr, reinterpret_cast<UInt8 const*>(bytes.data()), CFIndex(bytes.size())));
}

inline Owned<CFPropertyListRef> ParsePlist(
    std::string const& xml, std::string* error = nullptr, CFOptionFlags mutability = kCFPropertyListImmutable)
{
    CFStringRef errorString = nullptr;
    CFPropertyListRef plist = CFPropertyListCreateFromXMLData(nullptr, MakeData(xml).get(), mutability, &errorString);
    if (error)
        *error = tw::cf::ToUTF8(errorString);
    CFRelease(errorString);
    return Owned<CFPropertyListRef>(plist);
}

// The text of CFPropertyListCreateXMLData, or "(refused)".
inline std::string ToXML(CFPropertyListRef plist)
{
    Owned<CFDataRef> const data(CFPropertyListCreateXMLData(nullptr, plist));
    return data ? std::string(data->bytes.begin(), data->bytes.end()) : "(refused)";
}

inline std::string CanonicalText(std::u16string const& text)
{
    std::string out = "\"";
    for (char16_t const unit : text) {
        if (unit >= 0x20 && unit <= 0x7E && unit != u'"' && unit != u'\\') {
            out += char(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(unit));
            out += escaped;
        }
    }
    return out + "\"";
}

inline std::string Canonical(CFTypeRef value)
{
    using namespace tw::cf;
    switch (CFGetTypeID(value)) {
    case kTWTypeIDDictionary: {
        std::vector<std::pair<std::string, std::string>> items;
        for (auto const& [key, item] : static_cast<Dictionary const*>(value)->entries)
            items.emplace_back(Canonical(static_cast<CFTypeRef>(key)), Canonical(static_cast<CFTypeRef>(item)));
        std::sort(items.begin(), items.end());
        std::string out = "{";
        for (auto const& [key, item] : items)
            out += (out.size() > 1 ? "," : "") + key + ":" + item;
        return out + "}";
    }
    case kTWTypeIDArray: {
        std::string out = "[";
        for (void const* item : static_cast<Array const*>(value)->values)
            out += (out.size() > 1 ? "," : "") + Canonical(static_cast<CFTypeRef>(item));
        return out + "]";
    }
    case kTWTypeIDString:
        return CanonicalText(static_cast<String const*>(value)->Text());
    case kTWTypeIDBoolean:
        return static_cast<BooleanValue const*>(value)->value ? "true" : "false";
    case kTWTypeIDNumber: {
        auto const* number = static_cast<Number const*>(value);
        if (!number->isFloat)
            return "i" + std::to_string(number->integer);
        unsigned long long bits = 0;
        std::memcpy(&bits, &number->real, sizeof bits);
        char text[24];
        std::snprintf(text, sizeof text, "r%016llx", bits);
        return text;
    }
    case kTWTypeIDDate:
        return "t" + std::to_string(static_cast<long long>(std::floor(static_cast<Date const*>(value)->time)));
    case kTWTypeIDData: {
        std::string out = "x";
        for (UInt8 const byte : static_cast<Data const*>(value)->bytes) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", byte);
            out += hex;
        }
        return out;
    }
    default:
        return "(type " + std::to_string(CFGetTypeID(value)) + ")";
    }
}

} // namespace tw::test
