#pragma once

// Stands in for the toolbox's menu command enabling in these tests: records
// each call instead of changing a menu.

#include "toolbox/HIToolboxTypes.h"

#include <vector>

namespace tw::test {

struct MenuCommandCall {
    MenuRef menu;
    MenuCommand command;
    bool enabled;
    bool operator==(MenuCommandCall const&) const = default;
};

std::vector<MenuCommandCall>& RecordedMenuCommands();

} // namespace tw::test
