#include "foundation/CProcessUtilities.h"

#include "foundation/CFileUtilities.h"
#include "services/InternetConfig.h"
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
    if (creator != CProcessUtilities::kCreatorGlobeViewer)
        return "";
    char const* command = std::getenv(CProcessUtilities::kGlobeViewerVariable);
    return command && command[0] ? command : "";
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
    // The desktop's handler gives up at once when it has no program for the file.
    if (creator == 0)
        return tw::services::OpenWithDesktop(file.GetPath()) ? noErr : kLSApplicationNotFoundErr;
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
