#include "foundation/CFPropertyList.h"
#include "foundation/CPreferences.h"
#include "framework/BugReporter.h"
#include "tests/support/OpenRecorder.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tw::test {
namespace {

    namespace fs = std::filesystem;

    std::string Configuration(
        std::string const& extra = "", std::string const& info = "<array><string>BRReportCrashLog</string></array>")
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>BRBundleIdentifier</key><string>com.tarnwick.tarnwick</string>"
               "<key>BRBundleExecutable</key><string>Tarnwick</string>"
               "<key>BRBundleVersion</key><string>1.1.1</string>"
               "<key>BRSubmitWeb</key><string>https://tarnwick.org/cgi-local/bugreporter.cgi</string>"
               "<key>BRReportInfo</key>"
            + info + extra + "</dict></plist>\n";
    }

    bool WaitFor(std::function<bool()> const& done, double seconds)
    {
        auto const deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!done() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return done();
    }

    class CrashReporter : public ::testing::Test {
    protected:
        void TearDown() override
        {
            DisableBugReporter();
            CPreferences prefs;
            prefs.RemovePref("BRDisable");
            prefs.Flush();
        }
    };

    TEST_F(CrashReporter, InstallingWritesTheReporterAndItsCompletedConfigurationAndRemovingTakesThemAway)
    {
        struct sigaction before { };
        sigaction(SIGSEGV, nullptr, &before);
        TempFolder resources;
        WriteFile(resources / "Extra.txt", "extra");
        std::string const extra = "<key>BRInfoMajor</key><string>BR_APP_NAME quit.</string>"
                                  "<key>BRCustomResourcesPath</key><string>"
            + resources.Path().string() + "</string>";
        ASSERT_EQ(EnableBugReporter(CString(Configuration(extra).c_str())), kBugReporterInstalled);
        fs::path const folder = GetBugReporterFolder().GetUTF8();
        EXPECT_EQ(folder.parent_path().filename(), "com.pellmar.bugreporter." + std::to_string(getuid()))
            << "a folder of this user's own";
        EXPECT_EQ(fs::status(folder.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
        EXPECT_EQ(folder.filename().string().rfind("client_" + std::to_string(getpid()) + "_", 0), 0u)
            << "two processes started in the same second get folders of their own";
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);

        std::string listing;
        ASSERT_EQ(RunCommand("tar tzf '" + (folder / "BugReporter.app.tar.gz").string() + "'", &listing), 0);
        EXPECT_NE(listing.find("BugReporter.app/Contents/MacOS/BugReporter"), std::string::npos) << listing;
        EXPECT_NE(listing.find("BugReporter.app/Contents/Resources/"), std::string::npos) << listing;
        EXPECT_EQ(ReadFile(folder / "Resources/Extra.txt"), "extra");

        CFPropertyList client;
        ASSERT_EQ(client.Load(CFile(CString((folder / "Client.plist").c_str()))), noErr);
        CFDictionary const values(client.GetDictionary());
        EXPECT_EQ(values.GetValueString("BRProductName"), CString("Tarnwick"));
        EXPECT_FALSE(values.HasKey("BRBundleExecutable"));
        EXPECT_EQ(values.GetValueString("BRInfoMajor"), CString("BR_PRODUCT_NAME quit."));
        EXPECT_EQ(values.GetValueString("BRCrashLogName"), CString("Tarnwick")) << "the bundle's executable";
        EXPECT_EQ(values.GetValueString("BRBundleVersion"), CString("1.1.1"));

        struct sigaction installed { };
        sigaction(SIGSEGV, nullptr, &installed);
        EXPECT_NE(installed.sa_sigaction, before.sa_sigaction);
        EXPECT_TRUE(installed.sa_flags & SA_ONSTACK);
        DisableBugReporter();
        EXPECT_FALSE(fs::exists(folder));
        EXPECT_TRUE(GetBugReporterFolder().IsEmpty());
        struct sigaction after { };
        sigaction(SIGSEGV, nullptr, &after);
        EXPECT_EQ(after.sa_sigaction, before.sa_sigaction) << "the handler found at installation is back";
    }

    // The folder is the user's: whatever another user left under the old shared name does not
    // stop it, folders of clients that no longer run are cleared, and a live client's stays.
    // Signals that a user or another program sends on purpose are not crashes.
    TEST_F(CrashReporter, EachUserHasAFolderOfTheirOwnClearedOfClientsThatNoLongerRun)
    {
        TempFolder temporary;
        std::string const saved = std::getenv("TMPDIR");
        setenv("TMPDIR", temporary.Path().c_str(), 1);
        WriteFile(temporary.Path() / "com.pellmar.bugreporter", "another user's");
        fs::path const own = temporary.Path() / ("com.pellmar.bugreporter." + std::to_string(getuid()));
        fs::create_directories(own);
        pid_t const ended = fork();
        if (ended == 0)
            _exit(0);
        waitpid(ended, nullptr, 0);
        fs::path const gone = own / ("client_" + std::to_string(ended) + "_1700000000");
        fs::path const live = own / ("client_" + std::to_string(getppid()) + "_1700000000");
        fs::create_directories(gone / "BugReporter.app");
        fs::create_directories(live);
        struct sigaction before { };
        sigaction(SIGUSR1, nullptr, &before);

        EXPECT_EQ(EnableBugReporter(CString(Configuration().c_str())), kBugReporterInstalled);
        setenv("TMPDIR", saved.c_str(), 1);
        EXPECT_EQ(fs::path(GetBugReporterFolder().GetUTF8()).parent_path(), own);
        EXPECT_FALSE(fs::exists(gone)) << "a killed client's folder stays";
        EXPECT_TRUE(fs::exists(live));
        for (int const signal : { SIGUSR1, SIGUSR2 }) {
            struct sigaction installed { };
            sigaction(signal, nullptr, &installed);
            EXPECT_EQ(installed.sa_handler, before.sa_handler) << signal;
        }
        DisableBugReporter();
        EXPECT_TRUE(fs::exists(live)) << "another client's folder is its own";
    }

    TEST_F(CrashReporter, AnUnfitConfigurationOrADisabledReporterInstallsNothing)
    {
        struct sigaction before { };
        sigaction(SIGSEGV, nullptr, &before);
        struct Case {
            std::string configuration;
            OSStatus status;
        };
        std::string const noCrashLog = Configuration("", "<array><string>BRReportSystemInfo</string></array>");
        std::string noSubmit = Configuration();
        noSubmit.replace(noSubmit.find("BRSubmitWeb"), 11, "BRSubmitNone");
        std::string noVersion = Configuration();
        std::string const version = "<string>1.1.1</string>";
        noVersion.replace(noVersion.find(version), version.size(), "<string></string>");
        for (Case const& c : std::initializer_list<Case> {
                 { "", kBugReporterNoConfiguration },
                 { "<plist><dict><key>BRBundle", kBugReporterNoConfiguration },
                 { "<plist version=\"1.0\"><array/></plist>", kBugReporterNoConfiguration },
                 { noCrashLog, kBugReporterMissingKey },
                 { noSubmit, kBugReporterMissingKey },
                 { noVersion, kBugReporterMissingKey },
             }) {
            EXPECT_EQ(EnableBugReporter(CString(c.configuration.c_str())), c.status) << c.configuration;
            EXPECT_TRUE(GetBugReporterFolder().IsEmpty());
        }
        // A folder too deep for the handler's fixed storage is refused, and nothing is left.
        TempFolder deep;
        fs::path tooDeep = deep.Path();
        while (tooDeep.string().size() < 2100)
            tooDeep /= std::string(200, 'd');
        fs::create_directories(tooDeep);
        std::string const temporary = std::getenv("TMPDIR");
        setenv("TMPDIR", tooDeep.c_str(), 1);
        EXPECT_EQ(EnableBugReporter(CString(Configuration().c_str())), kBugReporterCannotWrite);
        setenv("TMPDIR", temporary.c_str(), 1);
        EXPECT_TRUE(GetBugReporterFolder().IsEmpty());
        EXPECT_TRUE(fs::is_empty(tooDeep)) << "no empty folder left behind";

        CPreferences prefs;
        prefs.SetBoolean("BRDisable", true);
        prefs.Flush();
        EXPECT_EQ(IsBugReporterAvailable(), OSStatus(kBugReporterUnavailable));
        EXPECT_EQ(EnableBugReporter(CString(Configuration().c_str())), kBugReporterUnavailable);
        EXPECT_TRUE(GetBugReporterFolder().IsEmpty()) << "nothing is written";
        struct sigaction after { };
        sigaction(SIGSEGV, nullptr, &after);
        EXPECT_EQ(after.sa_sigaction, before.sa_sigaction) << "no handler was installed";
    }

    // Runs the crash host in its own temporary and data folders, whose names a shell would
    // trip over, and waits for it; the first line it printed is returned.
    struct HostRun {
        int status = 0;
        std::string printed;
    };

    HostRun RunHost(char const* mode, fs::path const& home, fs::path const& temporary, fs::path const& data,
        std::string const& sanitizer = "")
    {
        std::vector<std::string> variables { "TMPDIR=" + temporary.string(), "XDG_DATA_HOME=" + data.string() };
        char const* asan = std::getenv("ASAN_OPTIONS");
        if (!sanitizer.empty())
            variables.push_back("ASAN_OPTIONS=" + (asan ? std::string(asan) + ":" : std::string()) + sanitizer);
        for (char** variable = environ; *variable; ++variable)
            if (std::strncmp(*variable, "TMPDIR=", 7) != 0 && std::strncmp(*variable, "XDG_DATA_HOME=", 14) != 0
                && (sanitizer.empty() || std::strncmp(*variable, "ASAN_OPTIONS=", 13) != 0))
                variables.push_back(*variable);
        std::vector<char*> envp;
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addchdir_np(&actions, home.c_str());
        char const* argv[] = { TW_CRASH_HOST, mode, nullptr };
        pid_t pid = 0;
        HostRun run;
        int const error = posix_spawn(&pid, TW_CRASH_HOST, &actions, nullptr, const_cast<char**>(argv), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        EXPECT_EQ(error, 0) << TW_CRASH_HOST;
        char buffer[4096];
        for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
            run.printed.append(buffer, std::size_t(n));
        close(out[0]);
        if (error == 0)
            waitpid(pid, &run.status, 0);
        return run;
    }

    class CrashHost : public ::testing::Test {
    protected:
        void SetUp() override
        {
            mTemporary = mHome / "temporary 'single' \"double\" $(touch shell-ran)";
            mData = mHome / "data with space 'and' \"quotes\"";
            fs::create_directories(mTemporary);
            fs::create_directories(mData);
        }

        // The report the reporter saved and showed, after the host crashed in the given way.
        std::string Crash(char const* mode, int signal, std::string const& sanitizer = "")
        {
            mRecorder.ClearLog();
            HostRun const run = RunHost(mode, mHome.Path(), mTemporary, mData, sanitizer);
            EXPECT_EQ(run.printed.rfind("0 ", 0), 0u) << run.printed;
            EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1)
                << "the handler ends the process: status " << run.status << " for signal " << signal;
            mFolder = run.printed.size() > 2 ? run.printed.substr(2, run.printed.find('\n') - 2) : "";
            std::string const shown = mRecorder.WaitForLog(30);
            EXPECT_FALSE(shown.empty()) << "the reporter did not show a report";
            fs::path const saved = shown.substr(0, shown.find('\n'));
            EXPECT_EQ(saved.parent_path(), mData / "Tarnwick" / "Crash Reports");
            EXPECT_TRUE(WaitFor([&] { return !mFolder.empty() && !fs::exists(mFolder); }, 30))
                << "the reporter removes the folder it ran from";
            EXPECT_TRUE(WaitFor([&] { return !fs::exists(fs::path(mFolder).parent_path()); }, 30))
                << "and the user's folder around it, empty";
            EXPECT_FALSE(fs::exists(mHome / "shell-ran")) << "a shell read a path";
            return fs::exists(saved) ? ReadFile(saved) : std::string();
        }

        TempFolder mHome;
        OpenRecorder mRecorder;
        fs::path mTemporary;
        fs::path mData;
        std::string mFolder;
    };

    TEST_F(CrashHost, ASegmentationFaultLeavesAReportWithTheSignalABacktraceAndTheLogsEnd)
    {
        std::string const report = Crash("segv", SIGSEGV);
        EXPECT_NE(report.find("Tarnwick crashed on signal 11 (SIGSEGV)."), std::string::npos) << report;
        EXPECT_NE(report.find("Version: 1.1.1"), std::string::npos) << report;
        std::size_t const backtrace = report.find("Backtrace:\n");
        ASSERT_NE(backtrace, std::string::npos) << report;
        EXPECT_NE(report.find("framework_crash_host", backtrace), std::string::npos) << "frames of the host";
        EXPECT_NE(report.find("line 60 of the host's log"), std::string::npos) << report;
        EXPECT_EQ(report.find("line 20 of the host's log"), std::string::npos) << "only the last lines";
        EXPECT_NE(report.find("Program: framework_crash_host"), std::string::npos) << "a plain program's own name";
    }

    TEST_F(CrashHost, AnAbortAndAStackOverflowAreReportedToo)
    {
        EXPECT_NE(Crash("abort", SIGABRT).find("crashed on signal 6 (SIGABRT)."), std::string::npos);
        EXPECT_NE(Crash("overflow", SIGSEGV).find("crashed on signal 11 (SIGSEGV)."), std::string::npos)
            << "reported on a stack of its own";
    }

    // A worker's own stack overflows: reported as on the main thread. The sanitizer's stacks for
    // every thread are turned off, so that the program's own are the ones tried.
    TEST_F(CrashHost, AStackOverflowOnAWorkerIsReportedWithFunctionNamesAndTheBuildID)
    {
        std::string const report = Crash("worker-overflow", SIGSEGV, "use_sigaltstack=0");
        EXPECT_NE(report.find("crashed on signal 11 (SIGSEGV)."), std::string::npos) << report;
        std::size_t const backtrace = report.find("Backtrace:\n");
        ASSERT_NE(backtrace, std::string::npos) << report;
        EXPECT_NE(report.find("(_Z16RunawayRecursioni+0x", backtrace), std::string::npos)
            << "the functions by name\n" << report;
        std::string notes;
        ASSERT_EQ(RunCommand(std::string("readelf -n '") + TW_CRASH_HOST + "'", &notes), 0);
        std::size_t const id = notes.find("Build ID: ");
        ASSERT_NE(id, std::string::npos) << notes;
        std::string const buildID = notes.substr(id, notes.find('\n', id) - id);
        EXPECT_NE(report.find(buildID + "\n"), std::string::npos) << buildID << "\n" << report;
    }

    TEST_F(CrashHost, AnOrderlyEndRemovesTheReporterAndReportsNothing)
    {
        HostRun const run = RunHost("none", mHome.Path(), mTemporary, mData);
        EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
        ASSERT_EQ(run.printed.rfind("0 ", 0), 0u) << run.printed;
        fs::path const folder = run.printed.substr(2, run.printed.find('\n') - 2);
        EXPECT_EQ(folder.parent_path().parent_path(), mTemporary);
        EXPECT_FALSE(fs::exists(folder));
        EXPECT_TRUE(mRecorder.WaitForLog(0.2).empty());
    }

} // namespace
} // namespace tw::test
