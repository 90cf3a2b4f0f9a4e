#include "services/Authorization.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct AuthorizationOpaqueRef {
    bool administrator = false; // the execute right was asked for and pkexec is there
};

namespace {

constexpr int kExitDismissed = 126; // pkexec: the user dismissed the dialog
constexpr int kExitNotAuthorised = 127; // pkexec: not authorised, or it could not ask

bool IsOnPath(char const* program)
{
    char const* path = std::getenv("PATH");
    std::string const folders = path ? path : "/bin:/usr/bin"; // the search path when none is set
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t const end = std::min(folders.find(':', start), folders.size());
        std::string const folder = end > start ? folders.substr(start, end - start) : ".";
        if (access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// The tool's output, read until it closes; then the exit status, or -1.
int RunAndCollect(pid_t pid, int output, std::string& collected)
{
    char buffer[4096];
    for (;;) {
        ssize_t const n = read(output, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        collected.append(buffer, std::size_t(n));
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::FILE* PipeOf(std::string const& collected)
{
    std::FILE* file = std::tmpfile();
    if (file && !collected.empty())
        std::fwrite(collected.data(), 1, collected.size(), file);
    if (file)
        std::rewind(file);
    return file;
}

} // namespace

OSStatus AuthorizationCreate(AuthorizationRights const* rights, AuthorizationEnvironment const* environment,
    AuthorizationFlags flags, AuthorizationRef* outAuthorization)
{
    if (!outAuthorization)
        return errAuthorizationInvalidPointer;
    *outAuthorization = new AuthorizationOpaqueRef;
    if (!rights || rights->count == 0)
        return errAuthorizationSuccess;
    return AuthorizationCopyRights(*outAuthorization, rights, environment, flags, nullptr);
}

OSStatus AuthorizationCopyRights(AuthorizationRef authorization, AuthorizationRights const* rights,
    AuthorizationEnvironment const*, AuthorizationFlags, AuthorizationRights** outRights)
{
    if (!authorization)
        return errAuthorizationInvalidRef;
    if (!rights || (rights->count > 0 && !rights->items))
        return errAuthorizationInvalidSet;
    if (outRights)
        *outRights = nullptr;
    for (UInt32 i = 0; i < rights->count; ++i) {
        AuthorizationItem const& item = rights->items[i];
        if (!item.name || std::strcmp(item.name, kAuthorizationRightExecute) != 0)
            return errAuthorizationDenied;
    }
    if (!IsOnPath(kAuthorizationTool))
        return errAuthorizationDenied;
    authorization->administrator = authorization->administrator || rights->count > 0;
    return errAuthorizationSuccess;
}

OSStatus AuthorizationExecuteWithPrivileges(AuthorizationRef authorization, char const* toolPath, AuthorizationFlags,
    char* const* arguments, std::FILE** communicationsPipe)
{
    if (!authorization)
        return errAuthorizationInvalidRef;
    if (!toolPath || !toolPath[0])
        return errAuthorizationInvalidPointer;
    if (!authorization->administrator)
        return errAuthorizationDenied;
    if (communicationsPipe)
        *communicationsPipe = nullptr;
    std::vector<char*> argv { const_cast<char*>(kAuthorizationTool), const_cast<char*>(toolPath) };
    for (char* const* argument = arguments; argument && *argument; ++argument)
        argv.push_back(*argument);
    argv.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return errAuthorizationInternal;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    pid_t pid = 0;
    int const error = posix_spawnp(&pid, kAuthorizationTool, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (error != 0) {
        close(out[0]);
        return errAuthorizationToolExecuteFailure;
    }
    std::string collected;
    int const exitStatus = RunAndCollect(pid, out[0], collected);
    close(out[0]);
    if (exitStatus == kExitDismissed || exitStatus == kExitNotAuthorised)
        return errAuthorizationCanceled;
    if (exitStatus < 0)
        return errAuthorizationToolExecuteFailure;
    if (communicationsPipe)
        *communicationsPipe = PipeOf(collected);
    return errAuthorizationSuccess;
}

OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags)
{
    if (!authorization)
        return errAuthorizationInvalidRef;
    delete authorization;
    return errAuthorizationSuccess;
}
