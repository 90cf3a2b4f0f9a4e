// Installs the crash reporter as the program does, then crashes as asked:
//   framework_crash_host segv | abort | overflow | worker-overflow | none
// It first prints the installation status and the reporter's folder; "none"
// removes the reporter again and ends normally.

#include "foundation/CDebugLog.h"
#include "foundation/CThreadTask.h"
#include "framework/BugReporter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

char const kConfiguration[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>BRBundleIdentifier</key><string>com.tarnwick.tarnwick</string>
<key>BRBundleExecutable</key><string>Tarnwick</string>
<key>BRBundleVersion</key><string>1.1.1</string>
<key>BRSubmitWeb</key><string>https://tarnwick.org/cgi-local/bugreporter.cgi</string>
<key>BRReportInfo</key><array><string>BRReportCrashLog</string></array>
</dict></plist>
)";

} // namespace

// Deep enough to run out of stack (the pad keeps each call's frame); a name of the program's
// own, which a report's backtrace shows.
int RunawayRecursion(int depth)
{
    char volatile pad[4096];
    pad[0] = char(depth);
    if (depth < 0)
        return 0;
    return RunawayRecursion(depth + 1) + pad[0];
}

namespace {

// A worker that runs out of stack, as a renderer or a search would on a runaway recursion.
class Runaway : public CThreadTask {
public:
    ~Runaway() override { EndTask(); }

protected:
    void DoTask() override { RunawayRecursion(0); }
};

} // namespace

int main(int argc, char** argv)
{
    char const* mode = argc > 1 ? argv[1] : "none";
    CDebugLog* log = CDebugLog::GetDebugLog();
    log->SetLogFileOutputFolder(kTemporaryFolderType);
    log->SetLogOutputs(CDebugLog::kLogOutputFile);
    log->SetAutoFlush(true);
    for (int line = 1; line <= 60; ++line)
        log->Log(CDebugLog::kPriorityInfo, "host", "line %d of the host's log", line);

    OSStatus const status = EnableBugReporter(kConfiguration);
    std::printf("%d %s\n", int(status), GetBugReporterFolder().GetUTF8());
    std::fflush(stdout);
    if (status != noErr)
        return 2;
    if (std::strcmp(mode, "segv") == 0) {
        // A real fault, on a page nothing may touch.
        void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        *static_cast<int volatile*>(page) = 1;
    } else if (std::strcmp(mode, "abort") == 0) {
        std::abort();
    } else if (std::strcmp(mode, "overflow") == 0) {
        return RunawayRecursion(0);
    } else if (std::strcmp(mode, "worker-overflow") == 0) {
        Runaway worker;
        worker.PostMessage(CThreadTask::kMsgRunTask);
        sleep(30); // the crash ends the process first
        return 3;
    }
    DisableBugReporter();
    return 0;
}
