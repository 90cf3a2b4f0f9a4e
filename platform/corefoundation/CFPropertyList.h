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

// An array read element by element: the one under the key in the root dictionary is handed
// over as it is read and stays empty in the result, so that a large list is never held
// whole. begin hears how many elements there are, then take gets each with its index
// (borrowed: released after the call). With runParts, a long list is read in parts that it
// runs together, so take may be called from several threads at once. Elements are handed
// over before the list's own fate is known: a failure after them still gives null.
struct StreamedArray {
    std::string key;
    std::function<void(std::size_t count)> begin;
    std::function<void(std::size_t index, CFTypeRef element)> take;
    // Runs run(0) to run(parts - 1), at once or one after another, and returns when all have;
    // up to mostParts of them.
    std::function<void(std::size_t parts, std::function<void(std::size_t part)> const& run)> runParts;
    std::size_t mostParts = 1;
};

// For lists too large to hold more than once: reading parses the text it takes over where
// it lies (null with the reason in *error), and writing hands the XML to write in pieces
// as it is made (false with the reason in *error, or when write returns false).
// With streamed.take, its array is handed over element by element as it is read.
CFPropertyListRef CreatePropertyListFromXMLText(std::string text, CFOptionFlags mutabilityOption, std::string* error,
    StreamedArray streamed = {});
// An array streamed, where plist holds it, is written with the elements next gives (+1
// each, released once written) until it gives null, instead of its own.
bool WritePropertyListXML(CFPropertyListRef plist, std::function<bool(std::string_view piece)> const& write,
    std::string* error, CFArrayRef streamed = nullptr, std::function<CFTypeRef()> next = {});

} // namespace tw::cf
