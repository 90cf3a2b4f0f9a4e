#pragma once

// The body of the property-list reader's fuzz entry, shared with the test that replays the
// seed corpus. Whatever reads must write, and what is written must read back to the same
// text: a difference is a value the writer cannot carry or the reader changes. Read with its
// root's "Objects" list handed over element by element, the same text gives the same elements
// and the same refusal.

#include "corefoundation/CFNumber.h"
#include "corefoundation/CFPropertyList.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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

// The elements of the root's "Objects" list; listed says whether it has such a list.
inline std::vector<CFTypeRef> ObjectsOf(CFPropertyListRef plist, bool& listed)
{
    std::vector<CFTypeRef> elements;
    listed = false;
    if (!plist || CFGetTypeID(plist) != CFDictionaryGetTypeID())
        return elements;
    auto const list = static_cast<CFTypeRef>(CFDictionaryGetValue(static_cast<CFDictionaryRef>(plist), CFSTR("Objects")));
    if (!list || CFGetTypeID(list) != CFArrayGetTypeID())
        return elements;
    listed = true;
    for (CFIndex i = 0; i < CFArrayGetCount(static_cast<CFArrayRef>(list)); ++i)
        elements.push_back(static_cast<CFTypeRef>(CFArrayGetValueAtIndex(static_cast<CFArrayRef>(list), i)));
    return elements;
}

inline void CheckStreamedReading(uint8_t const* bytes, size_t size, CFPropertyListRef plain, CFStringRef plainError)
{
    std::vector<CFTypeRef> handed;
    bool begun = false;
    tw::cf::StreamedArray streamed { "Objects",
        [&](std::size_t count) {
            begun = true;
            handed.assign(count, nullptr);
        },
        [&](std::size_t index, CFTypeRef element) {
            if (index >= handed.size() || handed[index])
                __builtin_trap(); // each element once, in its place
            handed[index] = CFRetain(element);
        },
        [](std::size_t parts, std::function<void(std::size_t)> const& run) {
            for (std::size_t part = parts; part-- > 0;)
                run(part);
        },
        8 };
    std::string error;
    CFPropertyListRef const plist = tw::cf::CreatePropertyListFromXMLText(
        std::string(reinterpret_cast<char const*>(bytes), size), kCFPropertyListImmutable, &error, std::move(streamed));
    if (!plist != !plain || (!plist && error != tw::cf::ToUTF8(plainError)))
        __builtin_trap(); // the same refusal, for the same reason
    if (plist) {
        bool listed = false;
        bool kept = false;
        std::vector<CFTypeRef> const expected = ObjectsOf(plain, listed);
        bool const emptied = ObjectsOf(plist, kept).empty();
        if (begun != listed || kept != listed || !emptied || handed.size() != expected.size())
            __builtin_trap(); // the list, and only it, handed over and not kept
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (!handed[i] || !CFEqual(handed[i], expected[i]))
                __builtin_trap();
        CFRelease(plist);
    }
    for (CFTypeRef element : handed)
        if (element)
            CFRelease(element);
}

inline int FuzzPropertyListInput(uint8_t const* bytes, size_t size)
{
    CFDataRef data = CFDataCreate(nullptr, bytes, CFIndex(size));
    CFStringRef error = nullptr;
    CFPropertyListRef plist = CFPropertyListCreateFromXMLData(nullptr, data, kCFPropertyListImmutable, &error);
    CFRelease(data);
    CheckStreamedReading(bytes, size, plist, error);
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
