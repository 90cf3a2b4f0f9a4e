#pragma once

// A read-only XML tree: element, text and CDATA nodes with attributes, parsed
// strictly. No DTD or external entity is ever expanded; nesting is bounded.

#include "corefoundation/CFArray.h"
#include "corefoundation/CFNumber.h"
#include "corefoundation/CFURL.h"

#include <vector>

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

// One node of a parsed XML document, which is also the tree below it. A node
// retains its children and releases them when it goes; children know their parent
// only by a back pointer, which that release clears.
class XMLTree final : public Object {
public:
    // Takes over the reference to text.
    XMLTree(CFXMLNodeTypeCode type, String const* text);
    ~XMLTree() override;
    CFTypeID TypeID() const override { return kTWTypeIDTree; }

    void AppendChild(XMLTree* child); // takes over the reference
    // Takes over the references to both containers.
    void SetElementInfo(Dictionary const* attributes, Array const* attributeOrder, bool isEmpty);

    CFXMLNodeTypeCode Type() const { return mType; }
    String const* Text() const { return mText; }
    CFXMLElementInfo const* ElementInfo() const { return mType == kCFXMLNodeTypeElement ? &mInfo : nullptr; }
    std::vector<XMLTree*> const& Children() const { return mChildren; }
    XMLTree const* Parent() const { return mParent; }

private:
    CFXMLNodeTypeCode mType;
    String const* mText; // retains
    CFXMLElementInfo mInfo {}; // retains both containers
    std::vector<XMLTree*> mChildren; // retains
    XMLTree* mParent = nullptr; // borrowed
};

} // namespace tw::cf

using CFXMLTreeRef = tw::cf::XMLTree const*;
using CFXMLNodeRef = tw::cf::XMLTree const*; // a tree node is its own node

inline constexpr CFIndex kCFXMLMaximumDepth = 256;

// Null on malformed text, a DOCTYPE with entity declarations, or nesting deeper than
// kCFXMLMaximumDepth; *errorString (when asked for) says what and where.
CFXMLTreeRef CFXMLTreeCreateFromDataWithError(CFAllocatorRef alloc, CFDataRef xmlData, CFURLRef dataSource,
    CFOptionFlags parseOptions, CFIndex versionOfNodes, CFStringRef* errorString);
CFXMLTreeRef CFXMLTreeCreateFromData(
    CFAllocatorRef alloc, CFDataRef xmlData, CFURLRef dataSource, CFOptionFlags parseOptions, CFIndex versionOfNodes);
CFXMLNodeRef CFXMLTreeGetNode(CFXMLTreeRef tree);
CFIndex CFTreeGetChildCount(CFXMLTreeRef tree);
CFXMLTreeRef CFTreeGetChildAtIndex(CFXMLTreeRef tree, CFIndex index); // borrowed
CFXMLTreeRef CFTreeGetParent(CFXMLTreeRef tree); // borrowed, null at the root
CFXMLNodeTypeCode CFXMLNodeGetTypeCode(CFXMLNodeRef node);
// The element name, the text of a text or CDATA node (entities resolved), or empty.
CFStringRef CFXMLNodeGetString(CFXMLNodeRef node); // borrowed
void const* CFXMLNodeGetInfoPtr(CFXMLNodeRef node); // CFXMLElementInfo const* for elements, else null
