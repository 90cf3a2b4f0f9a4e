#include "foundation/CCFXMLTree.h"

#include "foundation/StCFRef.h"
#include "foundation/Status.h"

#include <utility>

namespace {

bool IsElement(CFXMLTreeRef node) { return CFXMLNodeGetTypeCode(CFXMLTreeGetNode(node)) == kCFXMLNodeTypeElement; }

} // namespace

CCFXMLTree::CCFXMLTree(CFXMLTreeRef root, CFXMLTreeRef node)
    : mRoot(root)
    , mNode(node)
{
    if (mRoot)
        CFRetain(mRoot);
}

CCFXMLTree::CCFXMLTree(CCFXMLTree const& other)
    : CCFXMLTree(other.mRoot, other.mNode)
{
}

CCFXMLTree::CCFXMLTree(CCFXMLTree&& other) noexcept
    : mRoot(std::exchange(other.mRoot, nullptr))
    , mNode(std::exchange(other.mNode, nullptr))
{
}

CCFXMLTree& CCFXMLTree::operator=(CCFXMLTree const& other)
{
    if (this != &other) {
        CCFXMLTree copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CCFXMLTree& CCFXMLTree::operator=(CCFXMLTree&& other) noexcept
{
    std::swap(mRoot, other.mRoot);
    std::swap(mNode, other.mNode);
    return *this;
}

CCFXMLTree::~CCFXMLTree() { Reset(); }

void CCFXMLTree::Reset()
{
    if (mRoot)
        CFRelease(mRoot);
    mRoot = mNode = nullptr;
}

OSStatus CCFXMLTree::ParseTree(CString const& text)
{
    std::string bytes = text.GetUTF8();
    return ParseTree(bytes.data(), bytes.size());
}

OSStatus CCFXMLTree::ParseTree(void const* bytes, std::size_t length)
{
    Reset();
    if (!bytes || length == 0)
        return kNothingParseableErr;
    StCFRef<CFDataRef> data(CFDataCreate(nullptr, static_cast<UInt8 const*>(bytes), CFIndex(length)));
    CFStringRef error = nullptr;
    CFXMLTreeRef tree = CFXMLTreeCreateFromDataWithError(nullptr, data, nullptr, 0, 0, &error);
    if (error)
        CFRelease(error);
    if (!tree)
        return kNothingParseableErr;
    mRoot = mNode = tree;
    return noErr;
}

CString CCFXMLTree::GetElementName() const
{
    if (!mNode || !IsElement(mNode))
        return CString();
    return CString(CFXMLNodeGetString(CFXMLTreeGetNode(mNode)), false);
}

CCFXMLTree CCFXMLTree::GetChildElement(CString const& name) const
{
    if (!mNode)
        return CCFXMLTree();
    CFIndex count = CFTreeGetChildCount(mNode);
    for (CFIndex i = 0; i < count; ++i) {
        CFXMLTreeRef child = CFTreeGetChildAtIndex(mNode, i);
        if (!IsElement(child))
            continue;
        CFStringRef childName = CFXMLNodeGetString(CFXMLTreeGetNode(child));
        if (CFStringCompare(childName, name.GetCFString(), kCFCompareCaseInsensitive) == kCFCompareEqualTo)
            return CCFXMLTree(mRoot, child);
    }
    return CCFXMLTree();
}

bool CCFXMLTree::GetElementAttribute(CString const& name, CString& value) const
{
    if (!mNode || !IsElement(mNode))
        return false;
    auto const* info = static_cast<CFXMLElementInfo const*>(CFXMLNodeGetInfoPtr(CFXMLTreeGetNode(mNode)));
    if (!info || !info->attributes)
        return false;
    auto text = static_cast<CFTypeRef>(CFDictionaryGetValue(info->attributes, name.GetCFString()));
    if (!text || CFGetTypeID(text) != CFStringGetTypeID())
        return false;
    value = CString(static_cast<CFStringRef>(text), false);
    return true;
}

CString CCFXMLTree::GetElementEnclosedText() const
{
    CString text;
    if (!mNode)
        return text;
    CFIndex count = CFTreeGetChildCount(mNode);
    for (CFIndex i = 0; i < count; ++i) {
        CFXMLNodeRef node = CFXMLTreeGetNode(CFTreeGetChildAtIndex(mNode, i));
        CFXMLNodeTypeCode type = CFXMLNodeGetTypeCode(node);
        if (type == kCFXMLNodeTypeText || type == kCFXMLNodeTypeCDATASection)
            text += CString(CFXMLNodeGetString(node), false);
    }
    return text;
}

OSStatus CCFXMLTree::ProcessTree(ProcessProc callback, bool recursive, void* data) const
{
    if (!mNode || !callback)
        return mNode ? paramErr : noErr;
    return Walk(mNode, 0, callback, recursive, data);
}

OSStatus CCFXMLTree::Walk(CFXMLTreeRef node, UInt32 depth, ProcessProc callback, bool recursive, void* data) const
{
    CFIndex count = CFTreeGetChildCount(node);
    for (CFIndex i = 0; i < count; ++i) {
        CFXMLTreeRef child = CFTreeGetChildAtIndex(node, i);
        if (!IsElement(child))
            continue;
        TW_RETURN_IF_ERROR(callback(CCFXMLTree(mRoot, child), depth, data));
        if (recursive)
            TW_RETURN_IF_ERROR(Walk(child, depth + 1, callback, recursive, data));
    }
    return noErr;
}
