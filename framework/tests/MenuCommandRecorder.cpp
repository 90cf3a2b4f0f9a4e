#include "MenuCommandRecorder.h"

namespace tw::test {

std::vector<MenuCommandCall>& RecordedMenuCommands()
{
    static std::vector<MenuCommandCall> sCalls;
    return sCalls;
}

} // namespace tw::test

void EnableMenuCommand(MenuRef menu, MenuCommand command)
{
    tw::test::RecordedMenuCommands().push_back({ menu, command, true });
}

void DisableMenuCommand(MenuRef menu, MenuCommand command)
{
    tw::test::RecordedMenuCommands().push_back({ menu, command, false });
}
