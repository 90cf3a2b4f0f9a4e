#pragma once

// XML property lists: every plist type, read strictly. Reading gives integers
// as SInt64 numbers and reals as Float64 numbers.

#include "corefoundation/CFArray.h"
#include "corefoundation/CFNumber.h"

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
