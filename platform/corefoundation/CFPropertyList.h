#pragma once

// XML property lists: every plist type, read strictly. Reading gives integers
// as SInt64 numbers and reals as Float64 numbers.

#include "corefoundation/CFArray.h"
#include "corefoundation/CFNumber.h"

#include <functional>
#include <string>
#include <string_view>

enum CFPropertyListMutabilityOptions : CFOptionFlags {
    kCFPropertyListImmutable = 0,
    kCFPropertyListMutableContainers = 1,
    kCFPropertyListMutableContainersAndLeaves = 2,
};

enum CFPropertyListFormat : CFIndex {
    kCFPropertyListOpenStepFormat = 1,
    kCFPropertyListXMLFormat_v1_0 = 100,
    kCFPropertyListBinaryFormat_v1_0 = 200,
};

// Null on any error, with a description (including the line) in *errorString when asked for.
// Never returns a partial object.
CFPropertyListRef CFPropertyListCreateFromXMLData(
    CFAllocatorRef alloc, CFDataRef xmlData, CFOptionFlags mutabilityOption, CFStringRef* errorString);
// Null when the object (or something inside it) is not a property-list type.
CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef alloc, CFPropertyListRef plist);
CFPropertyListRef CFPropertyListCreateDeepCopy(
    CFAllocatorRef alloc, CFPropertyListRef plist, CFOptionFlags mutabilityOption);
Boolean CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format);

namespace tw::cf {

// For lists too large to hold more than once: reading parses the text it takes over where
// it lies (null with the reason in *error), and writing hands the XML to write in pieces
// as it is made (false with the reason in *error, or when write returns false).
CFPropertyListRef CreatePropertyListFromXMLText(std::string text, CFOptionFlags mutabilityOption, std::string* error);
// An array streamed, where plist holds it, is written with the elements next gives (+1
// each, released once written) until it gives null, instead of its own.
bool WritePropertyListXML(CFPropertyListRef plist, std::function<bool(std::string_view piece)> const& write,
    std::string* error, CFArrayRef streamed = nullptr, std::function<CFTypeRef()> next = {});

} // namespace tw::cf
