#pragma once

// Stands in for the desktop's "open" command while it lives: every link or file
// the program (or a program it starts) opens is written as a line to a log
// instead of reaching a browser or a viewer.

#include <filesystem>
#include <string>

namespace tw::test {

class OpenRecorder {
public:
    OpenRecorder();
    ~OpenRecorder();
    OpenRecorder(OpenRecorder const&) = delete;
    OpenRecorder& operator=(OpenRecorder const&) = delete;

    // The lines logged so far, after waiting up to the given time for the first one:
    // the command runs in a process of its own.
    std::string WaitForLog(double seconds = 2) const;
    void ClearLog();
    std::filesystem::path const& Command() const { return mRecorder; }

private:
    std::filesystem::path mFolder;
    std::filesystem::path mRecorder;
    std::filesystem::path mLog;
};

} // namespace tw::test
