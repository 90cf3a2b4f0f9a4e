#include "foundation/CProcessUtilities.h"

#include "foundation/CFileUtilities.h"
#include "services/ThreadSignalStack.h"

#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

std::string CommandFor(OSType creator)
{
    char const* variable = creator == CProcessUtilities::kCreatorGlobeViewer ? CProcessUtilities::kGlobeViewerVariable
        : creator == 0                                                       ? CProcessUtilities::kOpenCommandVariable
                                                                             : nullptr;
    if (!variable)
        return "";
    char const* command = std::getenv(variable);
    if (command && command[0])
        return command;
    return creator == 0 ? "xdg-open" : "";
}

// No shell: the path goes to the program as one argument, whatever characters it holds.
bool Spawn(std::string const& command, std::string const& path)
{
    std::vector<char*> argv { const_cast<char*>(command.c_str()), const_cast<char*>(path.c_str()), nullptr };
    pid_t pid = 0;
    if (posix_spawnp(&pid, command.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    // Reap the child without making the caller wait for it.
    std::thread([pid] {
        tw::services::ThreadSignalStack const signalStack;
        waitpid(pid, nullptr, 0);
    }).detach();
    return true;
}

} // namespace

OSStatus CProcessUtilities::GetProcessInfo(ProcessInfoRec& info)
{
    static Str255 sName;
    static FSRef sAppRef;
    ProcessSerialNumber psn;
    GetCurrentProcess(&psn);
    info.processInfoLength = sizeof(ProcessInfoRec);
    info.processName = sName;
    info.processAppRef = &sAppRef;
    return GetProcessInformation(&psn, &info);
}

CString CProcessUtilities::GetProcessName()
{
    ProcessInfoRec info {};
    if (GetProcessInfo(info) != noErr)
        return CString();
    return CString(reinterpret_cast<char const*>(info.processName + 1), info.processName[0], kCFStringEncodingUTF8);
}

CString CProcessUtilities::GetProcessVersion()
{
    return CFileUtilities::GetBundleInfoPListKeyValue(nullptr, CString("CFBundleVersion"));
}

OSStatus CProcessUtilities::OpenDocWithApp(OSType creator, CFile const& file)
{
    if (!file.Exists())
        return fnfErr;
    std::string command = CommandFor(creator);
    if (command.empty() || !Spawn(command, file.GetPath()))
        return kLSApplicationNotFoundErr;
    return noErr;
}

OSStatus CProcessUtilities::SetFrontProcess(OSType creator, OSType)
{
    if (creator != 0)
        return procNotFound;
    ProcessSerialNumber psn;
    GetCurrentProcess(&psn);
    return ::SetFrontProcess(&psn);
}
