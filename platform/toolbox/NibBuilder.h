#pragma once

#include "toolbox/MenuTypes.h"
#include "toolbox/WindowTypes.h"

#include <pugixml.hpp>

namespace tw::toolbox {

class Menu;
class View;
class Window;

// Builds toolbox objects from nib elements. Every value is checked: a bad
// number, code or class gives nibMalformedErr (or the creation status) and
// whatever was made so far is disposed.
class NibBuilder {
public:
    static OSStatus BuildWindow(pugi::xml_node node, Window** outWindow);
    static OSStatus BuildMenu(pugi::xml_node node, Menu** outMenu);
    static OSStatus BuildMenuBar(pugi::xml_node node, Menu** outRoot);

private:
    static OSStatus BuildView(pugi::xml_node node, View* parent, Window* window, int depth);
    static OSStatus ApplyViewAttributes(pugi::xml_node node, View* view, Window* window);
    static OSStatus ApplyProperties(pugi::xml_node node, View* view);
    static OSStatus ApplyPopupMenu(pugi::xml_node node, pugi::xml_node items, View* view, int depth);
    static OSStatus BuildItems(pugi::xml_node node, Menu* menu, int depth);
    static OSStatus BuildMenuAt(pugi::xml_node node, Menu** outMenu, int depth);
};

} // namespace tw::toolbox
