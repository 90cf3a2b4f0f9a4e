#pragma once

// A program of the given name that stands in for a system tool while the object
// lives: its folder goes first on the PATH; when run it notes each argument on a
// line of its log, prints "ran" and exits with the status set last.

#include <filesystem>
#include <string>
#include <vector>

namespace tw::test {

class ToolStandIn {
public:
    explicit ToolStandIn(std::string const& name);
    ~ToolStandIn();
    ToolStandIn(ToolStandIn const&) = delete;
    ToolStandIn& operator=(ToolStandIn const&) = delete;

    void SetExitStatus(int status);
    // The arguments of every run so far, in order; empty when it never ran.
    std::vector<std::string> Arguments() const;
    void ClearLog();
    std::filesystem::path const& Folder() const { return mFolder; }

private:
    std::filesystem::path mFolder;
    std::string mOldPath;
    bool mHadPath = false;
};

} // namespace tw::test
