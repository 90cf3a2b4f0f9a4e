#pragma once

#include "corefoundation/CFBase.h"

#include <pugixml.hpp>
#include <string>

namespace tw::toolbox {

// A nib file: our XML description of windows, panels and menus (NibFormat.md),
// parsed once when the reference is made. Each Create... builds fresh objects.
class Nib : public cf::Object {
public:
    CFTypeID TypeID() const override;

    // noErr, or the status of the first structural error (with its byte offset in outError).
    OSStatus Load(std::string const& text, std::string* outError);

    // The element of that kind ("window" or "panel"; "menu"; "menubar") and name, or an empty node.
    pugi::xml_node FindWindow(std::string const& name) const;
    pugi::xml_node FindMenu(std::string const& name) const;
    pugi::xml_node FindMenuBar(std::string const& name) const;

private:
    pugi::xml_document mDocument;
    pugi::xml_node mRoot;
};

} // namespace tw::toolbox
