#include "tests/support/OpenRecorder.h"

#include "services/InternetConfig.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace tw::test {

OpenRecorder::OpenRecorder()
{
    mFolder = TestHome() / ("open-recorder-" + std::to_string(getpid()));
    std::filesystem::create_directories(mFolder);
    mRecorder = mFolder / "record.sh";
    mLog = mFolder / "opened.txt";
    std::filesystem::remove(mLog);
    WriteFile(mRecorder, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + mLog.string() + "'\n");
    std::filesystem::permissions(mRecorder, std::filesystem::perms::owner_all);
    setenv(kICOpenCommandVariable, mRecorder.c_str(), 1);
}

OpenRecorder::~OpenRecorder()
{
    unsetenv(kICOpenCommandVariable);
    std::error_code ignored;
    std::filesystem::remove_all(mFolder, ignored);
}

std::string OpenRecorder::WaitForLog(double seconds) const
{
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!std::filesystem::exists(mLog) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the line, not just the file
    return std::filesystem::exists(mLog) ? ReadFile(mLog) : "";
}

void OpenRecorder::ClearLog()
{
    std::error_code ignored;
    std::filesystem::remove(mLog, ignored);
}

} // namespace tw::test
