#include "corefoundation/CFXMLTree.h"

#include "corefoundation/PropertyListValues.h"
#include "corefoundation/XMLDocument.h"

#include <unordered_set>

namespace tw::cf {

XMLTree::XMLTree(CFXMLNodeTypeCode type, String const* text)
    : mType(type)
    , mText(text)
{
}

XMLTree::~XMLTree()
{
    for (XMLTree* child : mChildren) {
        child->mParent = nullptr;
        child->Release();
    }
    CFRelease(mInfo.attributes);
    CFRelease(mInfo.attributeOrder);
    CFRelease(mText);
}

void XMLTree::AppendChild(XMLTree* child)
{
    child->mParent = this;
    mChildren.push_back(child);
}

void XMLTree::SetElementInfo(Dictionary const* attributes, Array const* attributeOrder, bool isEmpty)
{
    CFRelease(mInfo.attributes);
    CFRelease(mInfo.attributeOrder);
    mInfo = { attributes, attributeOrder, isEmpty };
}

} // namespace tw::cf

namespace {

using namespace tw::cf;

// Turns a strictly parsed document into XMLTree nodes; comments and processing
// instructions are left out.
class TreeBuilder {
public:
    XMLTree* Build(CFDataRef data); // +1, or null
    std::string const& Error() const { return mXML.Error(); }

private:
    XMLTree* BuildElement(pugi::xml_node element, CFIndex depth);
    bool AddAttributes(pugi::xml_node element, XMLTree& tree);
    bool AddChildren(pugi::xml_node element, XMLTree& tree, CFIndex depth);

    XMLDocument mXML;
};

XMLTree* TreeBuilder::Build(CFDataRef data)
{
    if (!mXML.Load(data->bytes.data(), data->bytes.size(), pugi::parse_ws_pcdata_single))
        return nullptr;
    XMLTree* const root = BuildElement(mXML.Root(), 1);
    if (!root)
        return nullptr;
    auto* document = new XMLTree(kCFXMLNodeTypeDocument, new String(u""));
    document->AppendChild(root);
    return document;
}

XMLTree* TreeBuilder::BuildElement(pugi::xml_node element, CFIndex depth)
{
    if (depth > kCFXMLMaximumDepth) {
        mXML.Fail(element, "elements nested deeper than " + std::to_string(kCFXMLMaximumDepth) + " levels");
        return nullptr;
    }
    auto* tree = new XMLTree(kCFXMLNodeTypeElement, CreateString(element.name()));
    if (!AddAttributes(element, *tree) || !AddChildren(element, *tree, depth)) {
        tree->Release();
        return nullptr;
    }
    return tree;
}

bool TreeBuilder::AddAttributes(pugi::xml_node element, XMLTree& tree)
{
    std::vector<void const*> names, values;
    ReleaseList const releaseNames(names), releaseValues(values);
    std::unordered_set<std::string> seen;
    std::string value;
    for (pugi::xml_attribute attribute : element.attributes()) {
        if (!seen.insert(attribute.name()).second)
            return mXML.Fail(element, "the attribute " + std::string(attribute.name()) + " appears twice");
        if (!mXML.Decode(attribute.value(), element, value))
            return false;
        names.push_back(CreateString(attribute.name()));
        values.push_back(CreateString(value));
    }
    for (void const* name : names)
        CFRetain(static_cast<CFTypeRef>(name));
    std::vector<void const*> orderedNames = names;
    CFTypeRef const order = AdoptIntoArray(orderedNames, false);
    CFTypeRef const attributes = AdoptIntoDictionary(names, values, false);
    tree.SetElementInfo(
        static_cast<Dictionary const*>(attributes), static_cast<Array const*>(order), mXML.IsEmptyTag(element));
    return true;
}

bool TreeBuilder::AddChildren(pugi::xml_node element, XMLTree& tree, CFIndex depth)
{
    std::string text;
    for (pugi::xml_node child : element.children()) {
        switch (child.type()) {
        case pugi::node_element: {
            XMLTree* const subtree = BuildElement(child, depth + 1);
            if (!subtree)
                return false;
            tree.AppendChild(subtree);
            break;
        }
        case pugi::node_pcdata:
            if (!mXML.Decode(child.value(), child, text))
                return false;
            tree.AppendChild(new XMLTree(kCFXMLNodeTypeText, CreateString(text)));
            break;
        case pugi::node_cdata:
            tree.AppendChild(new XMLTree(kCFXMLNodeTypeCDATASection, CreateString(child.value())));
            break;
        default:
            break;
        }
    }
    return true;
}

} // namespace

CFXMLTreeRef CFXMLTreeCreateFromDataWithError(CFAllocatorRef alloc, CFDataRef xmlData, CFURLRef dataSource,
    CFOptionFlags parseOptions, CFIndex versionOfNodes, CFStringRef* errorString)
{
    if (errorString)
        *errorString = nullptr;
    if (!xmlData) {
        if (errorString)
            *errorString = CreateString("No data");
        return nullptr;
    }
    TreeBuilder builder;
    XMLTree* const tree = builder.Build(xmlData);
    if (!tree && errorString)
        *errorString = CreateString(builder.Error());
    return tree;
}

CFXMLTreeRef CFXMLTreeCreateFromData(
    CFAllocatorRef alloc, CFDataRef xmlData, CFURLRef dataSource, CFOptionFlags parseOptions, CFIndex versionOfNodes)
{
    return CFXMLTreeCreateFromDataWithError(alloc, xmlData, dataSource, parseOptions, versionOfNodes, nullptr);
}

CFXMLNodeRef CFXMLTreeGetNode(CFXMLTreeRef tree) { return tree; }

CFIndex CFTreeGetChildCount(CFXMLTreeRef tree) { return tree ? CFIndex(tree->Children().size()) : 0; }

CFXMLTreeRef CFTreeGetChildAtIndex(CFXMLTreeRef tree, CFIndex index)
{
    if (!tree || index < 0 || index >= CFIndex(tree->Children().size()))
        return nullptr;
    return tree->Children()[std::size_t(index)];
}

CFXMLTreeRef CFTreeGetParent(CFXMLTreeRef tree) { return tree ? tree->Parent() : nullptr; }

CFXMLNodeTypeCode CFXMLNodeGetTypeCode(CFXMLNodeRef node) { return node ? node->Type() : CFXMLNodeTypeCode(0); }

CFStringRef CFXMLNodeGetString(CFXMLNodeRef node) { return node ? node->Text() : nullptr; }

void const* CFXMLNodeGetInfoPtr(CFXMLNodeRef node) { return node ? node->ElementInfo() : nullptr; }
