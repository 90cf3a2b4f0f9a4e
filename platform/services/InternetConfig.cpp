#include "services/InternetConfig.h"
#include "services/ThreadSignalStack.h"

#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace tw::services {

struct InternetConfigInstance {
    OSType signature = 0;
};

namespace {

    std::string OpenCommand()
    {
        char const* command = std::getenv(kICOpenCommandVariable);
        return command && command[0] ? command : "xdg-open";
    }

    // No shell: the link reaches the program as one argument, whatever it holds.
    // The opener fails at once when the desktop has no program for the link, so a
    // short wait tells that apart; one still running has handed the link on.
    bool Spawn(std::string const& command, std::string const& argument)
    {
        std::vector<char*> argv { const_cast<char*>(command.c_str()), const_cast<char*>(argument.c_str()), nullptr };
        pid_t pid = 0;
        if (posix_spawnp(&pid, command.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            return false;
        for (int step = 0; step < 150; ++step) {
            int status = 0;
            pid_t const done = waitpid(pid, &status, WNOHANG);
            if (done == pid)
                return WIFEXITED(status) && WEXITSTATUS(status) == 0;
            if (done < 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // Reaped without making the caller wait.
        std::thread([pid] {
            ThreadSignalStack const signalStack;
            waitpid(pid, nullptr, 0);
        }).detach();
        return true;
    }

} // namespace

bool OpenWithDesktop(std::string const& target) { return Spawn(OpenCommand(), target); }

} // namespace tw::services

OSStatus ICStart(ICInstance* outInstance, OSType signature)
{
    if (!outInstance)
        return paramErr;
    *outInstance = new tw::services::InternetConfigInstance { signature };
    return noErr;
}

OSStatus ICStop(ICInstance instance)
{
    if (!instance)
        return paramErr;
    delete instance;
    return noErr;
}

OSStatus ICLaunchURL(
    ICInstance instance, ConstStringPtr, void const* data, SInt32 length, SInt32* selStart, SInt32* selEnd)
{
    if (!instance || !data || !selStart || !selEnd || length < 0)
        return paramErr;
    SInt32 const start = *selStart, end = *selEnd;
    if (start < 0 || end > length || start >= end)
        return paramErr;
    std::string const url(static_cast<char const*>(data) + start, static_cast<char const*>(data) + end);
    if (url.find('\0') != std::string::npos)
        return paramErr;
    return tw::services::OpenWithDesktop(url) ? noErr : fnfErr;
}
