#pragma once

// A read-only view of a parsed XML document or of one element in it. Every
// view keeps the whole document alive. Child elements are found by name with
// case ignored; a missing one is an empty tree, on which every query answers
// empty. Parsing never expands entity declarations and bounds the nesting, so
// hostile text fails quickly with a status.

#include "foundation/CString.h"

class CCFXMLTree {
public:
    // Called for each element; a non-zero status stops the walk and is returned by ProcessTree.
    using ProcessProc = OSStatus (*)(CCFXMLTree const& tree, UInt32 depth, void* data);

    CCFXMLTree() = default;
    CCFXMLTree(CCFXMLTree const& other);
    CCFXMLTree(CCFXMLTree&& other) noexcept;
    CCFXMLTree& operator=(CCFXMLTree const& other);
    CCFXMLTree& operator=(CCFXMLTree&& other) noexcept;
    ~CCFXMLTree();

    // kNothingParseableErr for malformed or hostile text; the tree is then empty.
    OSStatus ParseTree(CString const& text);
    OSStatus ParseTree(void const* bytes, std::size_t length);

    bool IsEmpty() const { return mNode == nullptr; }
    CString GetElementName() const; // empty for the document itself
    CCFXMLTree GetChildElement(CString const& name) const; // the first of that name
    bool GetElementAttribute(CString const& name, CString& value) const;
    CString GetElementEnclosedText() const; // the element's own text and CDATA, in order
    // The child elements (depth 0), and with recursive set their descendants (depth 1 and on).
    OSStatus ProcessTree(ProcessProc callback, bool recursive, void* data) const;

private:
    CCFXMLTree(CFXMLTreeRef root, CFXMLTreeRef node);
    OSStatus Walk(CFXMLTreeRef node, UInt32 depth, ProcessProc callback, bool recursive, void* data) const;
    void Reset();

    CFXMLTreeRef mRoot = nullptr; // retains the document
    CFXMLTreeRef mNode = nullptr; // borrowed from mRoot
};
