#include "app/CTWApplication.h"
#include "app/CSingleInstance.h"
#include "app/tests/fuzz/FuzzCommandLineEntry.h"
#include "events/Loop.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tw::test {
namespace {

    class SingleInstance : public ::testing::Test {
    protected:
        void SetUp() override
        {
            mFolder = std::filesystem::path(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp")
                / ("single-instance-" + std::to_string(getpid()));
            std::filesystem::create_directories(mFolder);
            mSocket = CSingleInstance::SocketPath(mFolder.c_str(), ":7");
            ASSERT_FALSE(mSocket.empty());
        }
        void TearDown() override { std::filesystem::remove_all(mFolder); }

        // A child process that is the first instance: it serves starts from its loop
        // and writes each start's words, one per line, to a pipe. Killed at the end.
        pid_t StartFirstInstance(int* words)
        {
            int pipeFds[2];
            EXPECT_EQ(pipe(pipeFds), 0);
            int ready[2];
            EXPECT_EQ(pipe(ready), 0);
            pid_t const child = fork();
            if (child == 0) {
                close(pipeFds[0]);
                close(ready[0]);
                ManualClock clock;
                CSingleInstance instance;
                char const state = instance.ClaimOrHandOver(mSocket, {}) == CSingleInstance::Claim::First ? '1' : '0';
                int const out = pipeFds[1];
                instance.Listen([out](std::vector<std::string> const& received) {
                    std::string text;
                    for (std::string const& word : received)
                        text += word + "|";
                    text += "\n";
                    (void)!write(out, text.data(), text.size());
                });
                (void)!write(ready[1], &state, 1);
                for (;;) { // serves until killed
                    instance.Serve();
                    usleep(10000);
                }
            }
            close(pipeFds[1]);
            close(ready[1]);
            char state = 0;
            EXPECT_EQ(read(ready[0], &state, 1), 1);
            close(ready[0]);
            EXPECT_EQ(state, '1') << "the first process did not become the instance";
            *words = pipeFds[0];
            return child;
        }
        static std::string ReadLine(int fd)
        {
            std::string line;
            char c = 0;
            while (read(fd, &c, 1) == 1 && c != '\n')
                line += c;
            return line;
        }
        static void Stop(pid_t child)
        {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }

        std::filesystem::path mFolder;
        std::string mSocket;
    };

    TEST_F(SingleInstance, ASecondStartHandsItsWordsToTheFirstProcessAndEnds)
    {
        int words = -1;
        pid_t const first = StartFirstInstance(&words);
        CSingleInstance second;
        EXPECT_EQ(second.ClaimOrHandOver(mSocket, { "/home/u/Lake District.twk", "tarnwick://view?47,8,10" }),
            CSingleInstance::Claim::HandedOver);
        EXPECT_EQ(ReadLine(words), "/home/u/Lake District.twk|tarnwick://view?47,8,10|");
        CSingleInstance third;
        EXPECT_EQ(third.ClaimOrHandOver(mSocket, {}), CSingleInstance::Claim::HandedOver);
        EXPECT_EQ(ReadLine(words), "") << "a start with nothing to open still reaches the instance";
        Stop(first);
        close(words);
    }

    TEST_F(SingleInstance, ASocketLeftByAKilledInstanceIsReplaced)
    {
        int words = -1;
        pid_t const first = StartFirstInstance(&words);
        Stop(first); // killed: its socket stays behind, answering no one
        close(words);
        ASSERT_TRUE(std::filesystem::exists(mSocket));
        {
            CSingleInstance next;
            EXPECT_EQ(next.ClaimOrHandOver(mSocket, { "/tmp/a.twk" }), CSingleInstance::Claim::First);
            // And it serves the start after it.
            pid_t const later = fork();
            if (later == 0) {
                CSingleInstance start;
                _exit(start.ClaimOrHandOver(mSocket, { "/tmp/b.twk" }) == CSingleInstance::Claim::HandedOver ? 0 : 1);
            }
            std::vector<std::string> received;
            next.Listen([&](std::vector<std::string> const& got) { received = got; });
            for (int i = 0; i < 500 && received.empty(); ++i) {
                next.Serve();
                usleep(10000);
            }
            int status = -1;
            waitpid(later, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            EXPECT_EQ(received, std::vector<std::string> { "/tmp/b.twk" });
        }
        EXPECT_FALSE(std::filesystem::exists(mSocket)) << "the instance left its socket behind";
    }

    // The instance's loop sleeps with nothing scheduled: a start's knock wakes it and is served.
    TEST_F(SingleInstance, ALaterStartWakesTheSleepingLoopThatHasNoTimer)
    {
        RealClock clock;
        CSingleInstance instance;
        ASSERT_EQ(instance.ClaimOrHandOver(mSocket, {}), CSingleInstance::Claim::First);
        std::vector<std::string> received;
        instance.Listen([&](std::vector<std::string> const& got) {
            received = got;
            QuitEventLoop(GetMainEventLoop());
        });
        EXPECT_EQ(GetMainEventLoop()->CountScheduledTimers(), 0u) << "nothing polls the socket";
        std::atomic<bool> handedOver = false;
        std::thread later([&] {
            CSingleInstance start;
            handedOver = start.ClaimOrHandOver(mSocket, { "/tmp/d.twk" }) == CSingleInstance::Claim::HandedOver;
        });
        EXPECT_EQ(RunCurrentEventLoop(30), eventLoopQuitErr);
        later.join();
        EXPECT_TRUE(handedOver);
        EXPECT_EQ(received, std::vector<std::string> { "/tmp/d.twk" });
    }

    // A program that sends its words a byte at a time, slowly, is cut off: the loop that serves
    // starts is not held by it, and a start that knocks after it is served while it still sends.
    TEST_F(SingleInstance, AStartThatSendsSlowlyIsDroppedAndTheNextIsServedMeanwhile)
    {
        RealClock clock;
        CSingleInstance instance;
        ASSERT_EQ(instance.ClaimOrHandOver(mSocket, {}), CSingleInstance::Claim::First);
        std::atomic<bool> slowSending = true;
        std::vector<std::vector<std::string>> received;
        bool slowSendingWhenServed = false;
        instance.Listen([&](std::vector<std::string> const& got) {
            received.push_back(got);
            slowSendingWhenServed = slowSending;
            QuitEventLoop(GetMainEventLoop());
        });
        int const slow = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, mSocket.c_str());
        ASSERT_EQ(connect(slow, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        // A whole, well-formed start, one byte every 150 ms: about five seconds in all.
        std::thread trickle([&] {
            std::string const words("tarnwick-launch 1\n1\n/tmp/slow.twk\0", 34);
            for (char const c : words) {
                (void)!send(slow, &c, 1, MSG_NOSIGNAL);
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
            }
            slowSending = false;
        });
        std::atomic<bool> handedOver = false;
        std::thread quick([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            CSingleInstance start;
            handedOver = start.ClaimOrHandOver(mSocket, { "/tmp/quick.twk" }) == CSingleInstance::Claim::HandedOver;
        });
        EXPECT_EQ(RunCurrentEventLoop(30), eventLoopQuitErr);
        quick.join();
        trickle.join();
        close(slow);
        EXPECT_TRUE(handedOver);
        EXPECT_EQ(received, std::vector<std::vector<std::string>> { { "/tmp/quick.twk" } });
        EXPECT_TRUE(slowSendingWhenServed) << "the loop was held until the slow start had sent everything";
    }

    TEST_F(SingleInstance, SomethingElseAtThePathOrNoRuntimeFolderRunsAlone)
    {
        EXPECT_EQ(CSingleInstance::SocketPath(nullptr, ":0"), "");
        EXPECT_EQ(CSingleInstance::SocketPath("/run/user/1000", ""), "");
        EXPECT_EQ(
            CSingleInstance::SocketPath("/run/user/1000", "host/unix:0"), "/run/user/1000/tarnwick-host_unix_0.socket");
        EXPECT_EQ(CSingleInstance::SocketPath(std::string(200, 'x').c_str(), ":0"), "") << "too long for a socket";
        // A file of the same name is not a stale socket: it is left alone, and so is the program.
        {
            std::FILE* file = std::fopen(mSocket.c_str(), "w");
            ASSERT_NE(file, nullptr);
            std::fclose(file);
        }
        CSingleInstance instance;
        EXPECT_EQ(instance.ClaimOrHandOver(mSocket, {}), CSingleInstance::Claim::Alone);
        EXPECT_TRUE(std::filesystem::is_regular_file(mSocket));
    }

    TEST_F(SingleInstance, AMalformedOrOversizedHandOverQueuesNothingAndTheInstanceGoesOn)
    {
        CSingleInstance instance;
        ASSERT_EQ(instance.ClaimOrHandOver(mSocket, {}), CSingleInstance::Claim::First);
        int calls = 0;
        instance.Listen([&](std::vector<std::string> const&) { ++calls; });
        auto send = [&](std::string const& bytes) {
            int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            std::strcpy(address.sun_path, mSocket.c_str());
            EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            (void)!write(fd, bytes.data(), bytes.size());
            shutdown(fd, SHUT_WR);
            instance.Serve();
            close(fd);
        };
        send("hello\n");
        send(std::string("tarnwick-launch 1\n3\nonly one\0", 29));
        send("tarnwick-launch 1\n99999999\n");
        send("tarnwick-launch 1\n-1\n");
        EXPECT_EQ(calls, 0);
        send(std::string("tarnwick-launch 1\n1\n/tmp/c.twk\0", 31));
        EXPECT_EQ(calls, 1) << "a good start after bad ones is served";
    }

    TEST(LaunchWords, OptionsAreNeverFilesAndFilesBecomeAbsolute)
    {
        char program[] = "tarnwick", help[] = "--help", file[] = "maps/walk.twk", link[] = "http://x.org/?a",
             bogus[] = "-v", dash[] = "-";
        char* withHelp[] = { program, file, help, nullptr };
        EXPECT_EQ(CTWApplication::ReadOptions(3, withHelp), CTWApplication::LaunchAction::Help);
        char* withBogus[] = { program, bogus, help, nullptr };
        EXPECT_EQ(CTWApplication::ReadOptions(3, withBogus), CTWApplication::LaunchAction::Refuse)
            << "the first option decides";
        char* withDash[] = { program, dash, nullptr };
        EXPECT_EQ(CTWApplication::ReadOptions(2, withDash), CTWApplication::LaunchAction::Refuse);
        char* plain[] = { program, file, link, nullptr };
        EXPECT_EQ(CTWApplication::ReadOptions(3, plain), CTWApplication::LaunchAction::Run);
        EXPECT_EQ(CTWApplication::GetUsage().GetStdString(), "Usage: tarnwick [--help] [--] [file or link]…\n");

        char* mixed[] = { program, file, bogus, link, nullptr };
        std::vector<std::string> const words = CTWApplication::HandOverWords(4, mixed);
        ASSERT_EQ(words.size(), 2u);
        EXPECT_EQ(words[0], (std::filesystem::current_path() / "maps/walk.twk").string());
        EXPECT_EQ(words[1], "http://x.org/?a");
    }

    TEST(LaunchWords, AfterTwoDashesEveryWordIsAFileOrLink)
    {
        char program[] = "tarnwick", ends[] = "--", dashed[] = "-walk.twk", help[] = "--help", file[] = "a.twk";
        char* afterEnd[] = { program, ends, dashed, help, ends, nullptr };
        EXPECT_EQ(CTWApplication::ReadOptions(5, afterEnd), CTWApplication::LaunchAction::Run);
        std::filesystem::path const here = std::filesystem::current_path();
        EXPECT_EQ(CTWApplication::HandOverWords(5, afterEnd),
            (std::vector<std::string> {
                (here / "-walk.twk").string(), (here / "--help").string(), (here / "--").string() }));
        char* beforeEnd[] = { program, help, ends, file, nullptr };
        EXPECT_EQ(CTWApplication::ReadOptions(4, beforeEnd), CTWApplication::LaunchAction::Help);
        char* onlyEnd[] = { program, ends, nullptr };
        EXPECT_EQ(CTWApplication::ReadOptions(2, onlyEnd), CTWApplication::LaunchAction::Run);
        EXPECT_TRUE(CTWApplication::HandOverWords(2, onlyEnd).empty());
    }

} // namespace
} // namespace tw::test

TEST(FuzzCommandLine, SeedCorpusReplaysCleanly)
{
    tw::test::ManualClock clock;
    auto corpus = std::filesystem::path(TW_SOURCE_DIR) / "app/tests/fuzz/corpus-command";
    EXPECT_GE(tw::test::ReplayCorpus(corpus, &tw::fuzz::FuzzCommandLineInput), 12);
}
