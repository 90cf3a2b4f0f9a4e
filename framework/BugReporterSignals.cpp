#include "framework/BugReporterSignals.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// What the handler may use: fixed storage filled at installation. A signal handler
// may run on any thread at any moment, so it only writes, forks, execs and exits.
constexpr std::size_t kPathSize = 2048;
constexpr std::size_t kLogTailSize = 8192; // [bytes] of the debug log's end
constexpr int kLogTailLines = 40;
constexpr int kMaxFrames = 64;

struct FatalSignal {
    int number;
    char const* name;
};

constexpr FatalSignal kFatalSignals[] = {
    { SIGABRT, "SIGABRT" },
    { SIGBUS, "SIGBUS" },
#ifdef SIGEMT
    { SIGEMT, "SIGEMT" },
#endif
    { SIGFPE, "SIGFPE" },
    { SIGILL, "SIGILL" },
    { SIGSEGV, "SIGSEGV" },
    { SIGSYS, "SIGSYS" },
    { SIGTRAP, "SIGTRAP" },
    { SIGXCPU, "SIGXCPU" },
    { SIGXFSZ, "SIGXFSZ" },
};
constexpr std::size_t kSignalCount = sizeof kFatalSignals / sizeof *kFatalSignals;

struct Plan {
    char folder[kPathSize];
    char tar[kPathSize];
    char archive[kPathSize];
    char report[kPathSize];
    char reporter[kPathSize];
    char log[kPathSize];
    char product[256];
    char version[256];
    char buildID[128]; // the executable's, in hex; empty when it has none
    char* tarArgv[8];
    char* reporterArgv[3];
    struct sigaction previous[kSignalCount];
    stack_t previousStack;
    void* stackMemory;
    bool installed;
};

Plan gPlan;
std::atomic<pid_t> gReportingThread { 0 };
char gTail[kLogTailSize];
void* gFrames[kMaxFrames];
char gTarName[] = "tar";
char gExtract[] = "-x";
char gGzip[] = "-z";
char gFile[] = "-f";
char gInto[] = "-C";

bool Copy(char (&to)[kPathSize], std::string const& from)
{
    if (from.size() >= kPathSize || from.find('\0') != std::string::npos)
        return false;
    std::memcpy(to, from.c_str(), from.size() + 1);
    return true;
}

void CopyText(char* to, std::size_t size, std::string const& from)
{
    std::size_t const length = std::min(from.size(), size - 1);
    std::memcpy(to, from.data(), length);
    to[length] = 0;
}

void Write(int fd, char const* text, std::size_t length)
{
    while (length > 0) {
        ssize_t const n = write(fd, text, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text += n;
        length -= std::size_t(n);
    }
}

void Write(int fd, char const* text) { Write(fd, text, strlen(text)); }

void WriteNumber(int fd, long value)
{
    char digits[24];
    std::size_t at = sizeof digits;
    bool const negative = value < 0;
    unsigned long rest = negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[--at] = char('0' + rest % 10);
        rest /= 10;
    } while (rest > 0);
    if (negative)
        digits[--at] = '-';
    Write(fd, digits + at, sizeof digits - at);
}

char const* NameOf(int signal)
{
    for (FatalSignal const& fatal : kFatalSignals)
        if (fatal.number == signal)
            return fatal.name;
    return "unknown";
}

// The last lines of the debug log, from a buffer read off its end.
void WriteLogTail(int fd)
{
    int const log = gPlan.log[0] ? open(gPlan.log, O_RDONLY | O_CLOEXEC) : -1;
    if (log < 0) {
        Write(fd, "(no debug log)\n");
        return;
    }
    off_t const size = lseek(log, 0, SEEK_END);
    off_t const start = size > off_t(kLogTailSize) ? size - off_t(kLogTailSize) : 0;
    ssize_t const length = start >= 0 && lseek(log, start, SEEK_SET) == start ? read(log, gTail, kLogTailSize) : -1;
    close(log);
    if (length <= 0) {
        Write(fd, "(the debug log is empty)\n");
        return;
    }
    // Back from the end (past its own line break) to the break before the first line wanted.
    ssize_t at = gTail[length - 1] == '\n' ? length - 2 : length - 1;
    for (int lines = 0; at >= 0; --at)
        if (gTail[at] == '\n' && ++lines == kLogTailLines)
            break;
    ssize_t from = at + 1;
    if (at < 0 && start > 0) // the buffer starts inside a line: leave that part out
        while (from < length && gTail[from++] != '\n') { }
    Write(fd, gTail + from, std::size_t(length - from));
}

void WriteReport(int signal)
{
    int const fd = open(gPlan.report, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    Write(fd, gPlan.product);
    Write(fd, " crashed on signal ");
    WriteNumber(fd, signal);
    Write(fd, " (");
    Write(fd, NameOf(signal));
    Write(fd, ").\nVersion: ");
    Write(fd, gPlan.version);
    if (gPlan.buildID[0]) {
        Write(fd, "\nBuild ID: ");
        Write(fd, gPlan.buildID);
    }
    Write(fd, "\nProcess: ");
    WriteNumber(fd, getpid());
    Write(fd, "\n\nBacktrace:\n");
    int const frames = backtrace(gFrames, kMaxFrames);
    backtrace_symbols_fd(gFrames, frames, fd);
    Write(fd, "\nLast lines of the debug log:\n");
    WriteLogTail(fd);
    close(fd);
}

// The executable's build id (the linker's note), so that a report's addresses can be matched
// with the symbols of the very build that crashed.
int ReadBuildID(dl_phdr_info* info, std::size_t, void* data)
{
    auto* out = static_cast<char*>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        ElfW(Phdr) const& header = info->dlpi_phdr[i];
        if (header.p_type != PT_NOTE)
            continue;
        auto const* at = reinterpret_cast<unsigned char const*>(info->dlpi_addr + header.p_vaddr);
        auto const* end = at + header.p_memsz;
        while (at + sizeof(ElfW(Nhdr)) <= end) {
            auto const* note = reinterpret_cast<ElfW(Nhdr) const*>(at);
            unsigned char const* name = at + sizeof(ElfW(Nhdr));
            unsigned char const* desc = name + ((note->n_namesz + 3) & ~3u);
            if (desc + note->n_descsz > end)
                break;
            if (note->n_type == NT_GNU_BUILD_ID && note->n_namesz == 4 && std::memcmp(name, "GNU", 4) == 0) {
                static char const kDigits[] = "0123456789abcdef";
                std::size_t const count = std::min<std::size_t>(note->n_descsz, 63);
                for (std::size_t k = 0; k < count; ++k) {
                    out[2 * k] = kDigits[desc[k] >> 4];
                    out[2 * k + 1] = kDigits[desc[k] & 15];
                }
                out[2 * count] = 0;
                return 1;
            }
            at = desc + ((note->n_descsz + 3) & ~3u);
        }
    }
    return 1; // the first object is the executable: no other is looked at
}

// A process of its own, apart from the dying one: unpacks the reporter and becomes it.
void StartReporter()
{
    pid_t const child = _Fork();
    if (child != 0)
        return;
    setsid();
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    pid_t const unpack = _Fork();
    if (unpack == 0) {
        execve(gPlan.tar, gPlan.tarArgv, environ);
        _exit(127);
    }
    int status = 0;
    while (unpack > 0 && waitpid(unpack, &status, 0) < 0 && errno == EINTR) { }
    if (unpack > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        execve(gPlan.reporter, gPlan.reporterArgv, environ);
    _exit(127);
}

void OnFatalSignal(int signal, siginfo_t*, void*)
{
    pid_t const self = gettid();
    pid_t expected = 0;
    if (!gReportingThread.compare_exchange_strong(expected, self)) {
        if (expected == self)
            _exit(1); // a fault while reporting
        for (;;)
            pause(); // another thread reports and ends the process
    }
    WriteReport(signal);
    StartReporter();
    _exit(1);
}

} // namespace

bool InstallCrashHandler(CrashPlan const& plan)
{
    RemoveCrashHandler();
    Plan prepared {};
    if (!Copy(prepared.folder, plan.folder) || !Copy(prepared.tar, plan.tar) || !Copy(prepared.archive, plan.archive)
        || !Copy(prepared.report, plan.report) || !Copy(prepared.reporter, plan.reporter)
        || !Copy(prepared.log, plan.log))
        return false;
    gPlan = prepared;
    CopyText(gPlan.product, sizeof gPlan.product, plan.product);
    CopyText(gPlan.version, sizeof gPlan.version, plan.version);
    dl_iterate_phdr(ReadBuildID, gPlan.buildID);
    char* const tarArgv[] = { gTarName, gExtract, gGzip, gFile, gPlan.archive, gInto, gPlan.folder, nullptr };
    std::copy(std::begin(tarArgv), std::end(tarArgv), gPlan.tarArgv);
    gPlan.reporterArgv[0] = gPlan.reporter;
    gPlan.reporterArgv[1] = gPlan.report;
    gPlan.reporterArgv[2] = nullptr;
    backtrace(gFrames, 1); // loads the unwinder now, not inside the handler
    gReportingThread = 0;

    // A fault from running out of stack needs a stack of its own to be reported on.
    std::size_t const stackSize = std::max<std::size_t>(SIGSTKSZ, 64 * 1024);
    gPlan.stackMemory = std::malloc(stackSize);
    stack_t const stack { gPlan.stackMemory, 0, stackSize };
    if (!gPlan.stackMemory || sigaltstack(&stack, &gPlan.previousStack) != 0) {
        std::free(gPlan.stackMemory);
        gPlan.stackMemory = nullptr;
    }
    struct sigaction action { };
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kSignalCount; ++i)
        sigaction(kFatalSignals[i].number, &action, &gPlan.previous[i]);
    gPlan.installed = true;
    return true;
}

void RemoveCrashHandler()
{
    if (!gPlan.installed)
        return;
    for (std::size_t i = 0; i < kSignalCount; ++i)
        sigaction(kFatalSignals[i].number, &gPlan.previous[i], nullptr);
    if (gPlan.stackMemory) {
        stack_t current {};
        if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == gPlan.stackMemory)
            sigaltstack(&gPlan.previousStack, nullptr);
        std::free(gPlan.stackMemory);
    }
    gPlan = Plan {};
}
