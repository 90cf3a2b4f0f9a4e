#include "toolbox/Nib.h"

#include "toolbox/ToolboxErrors.h"
#include "toolbox/ToolboxTypeIDs.h"

#include <cstring>

namespace tw::toolbox {

CFTypeID Nib::TypeID() const { return kTWTypeIDNib; }

OSStatus Nib::Load(std::string const& text, std::string* outError)
{
    pugi::xml_parse_result const result = mDocument.load_buffer(text.data(), text.size(), pugi::parse_default);
    if (!result) {
        if (outError)
            *outError = std::string(result.description()) + " at byte " + std::to_string(result.offset);
        return nibMalformedErr;
    }
    mRoot = mDocument.child("nib");
    if (!mRoot) {
        if (outError)
            *outError = "the root element is not <nib>";
        return nibMalformedErr;
    }
    return noErr;
}

namespace {

    pugi::xml_node FindNamed(pugi::xml_node root, char const* const* kinds, std::string const& name)
    {
        for (pugi::xml_node node : root.children())
            for (char const* const* kind = kinds; *kind; ++kind)
                if (std::strcmp(node.name(), *kind) == 0 && name == node.attribute("name").as_string())
                    return node;
        return {};
    }

} // namespace

pugi::xml_node Nib::FindWindow(std::string const& name) const
{
    static char const* const kinds[] = { "window", "panel", nullptr };
    return FindNamed(mRoot, kinds, name);
}

pugi::xml_node Nib::FindMenu(std::string const& name) const
{
    static char const* const kinds[] = { "menu", nullptr };
    return FindNamed(mRoot, kinds, name);
}

pugi::xml_node Nib::FindMenuBar(std::string const& name) const
{
    static char const* const kinds[] = { "menubar", nullptr };
    return FindNamed(mRoot, kinds, name);
}

} // namespace tw::toolbox
