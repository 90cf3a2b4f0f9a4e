#pragma once

// A read-only XML tree: element, text and CDATA nodes with attributes, parsed
// strictly. No DTD or external entity is ever expanded; nesting is bounded.

#include "corefoundation/CFArray.h"
#include "corefoundation/CFNumber.h"

enum CFXMLNodeTypeCode : CFIndex {
    kCFXMLNodeTypeDocument = 1,
    kCFXMLNodeTypeElement = 2,
    kCFXMLNodeTypeAttribute = 3,
    kCFXMLNodeTypeProcessingInstruction = 4,
    kCFXMLNodeTypeComment = 5,
    kCFXMLNodeTypeText = 6,
    kCFXMLNodeTypeCDATASection = 7,
};

struct CFXMLElementInfo {
    CFDictionaryRef attributes; // name -> value, entities resolved
    CFArrayRef attributeOrder; // names in document order
    Boolean isEmpty;
};

namespace tw::cf {
class XMLTree;
}

using CFXMLTreeRef = tw::cf::XMLTree const*;
using CFXMLNodeRef = tw::cf::XMLTree const*; // a tree node is its own node

inline constexpr CFIndex kCFXMLMaximumDepth = 256;

// Null on malformed text, a DOCTYPE with entity declarations, or nesting deeper than
// kCFXMLMaximumDepth; *errorString (when asked for) says what and where.
CFXMLTreeRef CFXMLTreeCreateFromDataWithError(CFAllocatorRef alloc, CFDataRef xmlData, CFURLRef dataSource,
    CFOptionFlags parseOptions, CFIndex versionOfNodes, CFStringRef* errorString);
CFXMLTreeRef CFXMLTreeCreateFromData(CFAllocatorRef alloc, CFDataRef xmlData, CFURLRef dataSource,
    CFOptionFlags parseOptions, CFIndex versionOfNodes);
CFXMLNodeRef CFXMLTreeGetNode(CFXMLTreeRef tree);
CFIndex CFTreeGetChildCount(CFXMLTreeRef tree);
CFXMLTreeRef CFTreeGetChildAtIndex(CFXMLTreeRef tree, CFIndex index); // borrowed
CFXMLTreeRef CFTreeGetParent(CFXMLTreeRef tree); // borrowed, null at the root
CFXMLNodeTypeCode CFXMLNodeGetTypeCode(CFXMLNodeRef node);
// The element name, the text of a text or CDATA node (entities resolved), or empty.
CFStringRef CFXMLNodeGetString(CFXMLNodeRef node); // borrowed
void const* CFXMLNodeGetInfoPtr(CFXMLNodeRef node); // CFXMLElementInfo const* for elements, else null
