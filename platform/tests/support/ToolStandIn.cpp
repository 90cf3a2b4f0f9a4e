#include "tests/support/ToolStandIn.h"

#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace tw::test {

ToolStandIn::ToolStandIn(std::string const& name)
{
    static int sCount = 0;
    mFolder = TestHome() / ("stand-in-" + std::to_string(getpid()) + "-" + std::to_string(++sCount));
    std::filesystem::create_directories(mFolder);
    std::filesystem::path const tool = mFolder / name;
    WriteFile(tool,
        "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$(dirname \"$0\")/log\"; done\n"
        "echo ran\nexit \"$(cat \"$(dirname \"$0\")/status\")\"\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    SetExitStatus(0);
    char const* path = std::getenv("PATH");
    mHadPath = path != nullptr;
    mOldPath = path ? path : "";
    std::string const newPath = mFolder.string() + (mHadPath ? ":" + mOldPath : "");
    setenv("PATH", newPath.c_str(), 1);
}

ToolStandIn::~ToolStandIn()
{
    if (mHadPath)
        setenv("PATH", mOldPath.c_str(), 1);
    else
        unsetenv("PATH");
    std::error_code ignored;
    std::filesystem::remove_all(mFolder, ignored);
}

void ToolStandIn::SetExitStatus(int status) { WriteFile(mFolder / "status", std::to_string(status) + "\n"); }

std::vector<std::string> ToolStandIn::Arguments() const
{
    std::vector<std::string> lines;
    if (!std::filesystem::exists(mFolder / "log"))
        return lines;
    std::istringstream text(ReadFile(mFolder / "log"));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

void ToolStandIn::ClearLog() { std::filesystem::remove(mFolder / "log"); }

} // namespace tw::test
