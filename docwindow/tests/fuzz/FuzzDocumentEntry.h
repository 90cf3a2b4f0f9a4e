#pragma once

// The body of the map document's fuzz entry, shared with the test that replays the seed
// corpus. The input is a document file's property list, read into a document without a
// window as opening a file does. Whatever is read can be saved; every element of the file's
// object list is saved again (objects that could not be read included), numbered 1 to N
// without repeats; and what is saved reads back and saves to the same file.

#include "docwindow/CWindowDocument.h"
#include "foundation/CFArray.h"
#include "model/CMapObject.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tw::fuzz {

inline std::string SavedText(CFDictionary const& properties)
{
    CFDataRef data = CFPropertyListCreateXMLData(nullptr, properties.GetCFDictionary());
    if (!data)
        __builtin_trap();
    std::string text(reinterpret_cast<char const*>(CFDataGetBytePtr(data)), std::size_t(CFDataGetLength(data)));
    CFRelease(data);
    return text;
}

inline CFArrayRef ObjectList(CFDictionary const& properties)
{
    auto const value = static_cast<CFTypeRef>(CFDictionaryGetValue(
        properties.GetCFDictionary(), CString(CWindowDocument::kPropertyObjects).GetCFString()));
    return value && CFGetTypeID(value) == CFArrayGetTypeID() ? static_cast<CFArrayRef>(value) : nullptr;
}

inline int FuzzDocumentInput(uint8_t const* bytes, size_t size)
{
    CFDataRef data = CFDataCreate(nullptr, bytes, CFIndex(size));
    CFPropertyListRef plist = CFPropertyListCreateFromXMLData(nullptr, data, kCFPropertyListImmutable, nullptr);
    CFRelease(data);
    if (!plist)
        return 0;
    if (CFGetTypeID(plist) != CFDictionaryGetTypeID()) {
        CFRelease(plist);
        return 0;
    }
    CFDictionary const file(static_cast<CFDictionaryRef>(plist));
    CFRelease(plist);

    CWindowDocument document;
    document.DecodeProperties(file);
    CFDictionary saved;
    if (document.EncodeProperties(saved) != noErr)
        __builtin_trap(); // what was read can be saved
    CFArrayRef const before = ObjectList(file);
    CFArrayRef const after = ObjectList(saved);
    if (!after || CFArrayGetCount(after) != (before ? CFArrayGetCount(before) : 0))
        __builtin_trap(); // nothing of the file is lost
    std::vector<UInt32> ids;
    for (CFIndex i = 0; i < CFArrayGetCount(after); ++i) {
        auto const element = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(after, i));
        if (CFGetTypeID(element) == CFDictionaryGetTypeID())
            ids.push_back(CFDictionary(static_cast<CFDictionaryRef>(element)).GetValueUInt32(CMapObject::kKeyID));
    }
    std::sort(ids.begin(), ids.end());
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (ids[i] != i + 1)
            __builtin_trap(); // numbered 1 to N, each once

    CWindowDocument reread;
    reread.DecodeProperties(saved);
    CFDictionary again;
    if (reread.EncodeProperties(again) != noErr || SavedText(again) != SavedText(saved))
        __builtin_trap(); // a saved document reads back as it was
    return 0;
}

} // namespace tw::fuzz
