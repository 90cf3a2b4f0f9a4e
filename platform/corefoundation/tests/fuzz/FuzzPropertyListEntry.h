#pragma once

// The body of the property-list reader's fuzz entry, shared with the test that replays the
// seed corpus. Whatever reads must write, and what is written must read back to the same
// text: a difference is a value the writer cannot carry or the reader changes.

#include "corefoundation/CFNumber.h"
#include "corefoundation/CFPropertyList.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace tw::fuzz {

inline std::string WrittenPropertyList(CFPropertyListRef plist)
{
    CFDataRef data = CFPropertyListCreateXMLData(nullptr, plist);
    if (!data)
        return std::string();
    std::string text(reinterpret_cast<char const*>(CFDataGetBytePtr(data)), std::size_t(CFDataGetLength(data)));
    CFRelease(data);
    return text;
}

inline int FuzzPropertyListInput(uint8_t const* bytes, size_t size)
{
    CFDataRef data = CFDataCreate(nullptr, bytes, CFIndex(size));
    CFStringRef error = nullptr;
    CFPropertyListRef plist = CFPropertyListCreateFromXMLData(nullptr, data, kCFPropertyListImmutable, &error);
    CFRelease(data);
    if (!plist) {
        if (!error)
            __builtin_trap(); // a refusal always says why
        CFRelease(error);
        return 0;
    }
    std::string const written = WrittenPropertyList(plist);
    CFRelease(plist);
    if (written.empty())
        __builtin_trap();
    CFDataRef again = CFDataCreate(nullptr, reinterpret_cast<UInt8 const*>(written.data()), CFIndex(written.size()));
    CFPropertyListRef reread = CFPropertyListCreateFromXMLData(nullptr, again, kCFPropertyListImmutable, nullptr);
    CFRelease(again);
    if (!reread)
        __builtin_trap(); // we wrote what we cannot read
    bool const same = WrittenPropertyList(reread) == written;
    CFRelease(reread);
    if (!same)
        __builtin_trap();
    return 0;
}

} // namespace tw::fuzz
