#include "foundation/CClientHTTP.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"
#include "tests/support/TestSupport.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Python's http.server on 127.0.0.1 at a port it chooses, serving one folder; killed at the end.
class LocalServer {
public:
    explicit LocalServer(std::string const& folder)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char const* argv[] = { "python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory",
            folder.c_str(), nullptr };
        int error = posix_spawnp(&mPid, "python3", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (error == 0)
            mPort = ReadPort(out[0]);
        close(out[0]);
    }
    ~LocalServer()
    {
        if (mPid > 0) {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
        }
    }
    int Port() const { return mPort; }

private:
    // "Serving HTTP on 127.0.0.1 port 40123 (http://...) ..."
    static int ReadPort(int fd)
    {
        std::string text;
        auto deadline = Clock::now() + std::chrono::seconds(10);
        while (text.find('\n') == std::string::npos && Clock::now() < deadline) {
            pollfd p { fd, POLLIN, 0 };
            if (poll(&p, 1, 100) <= 0)
                continue;
            char buffer[256];
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, std::size_t(n));
        }
        std::size_t at = text.find(" port ");
        return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + 6);
    }

    pid_t mPid = -1;
    int mPort = 0;
};

// A listening socket on a free port of 127.0.0.1.
int ListenOnFreePort(int& port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd, 4);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

CString Link(int port, char const* path)
{
    CString link;
    link.Format("http://127.0.0.1:%d%s", port, path);
    return link;
}

std::string Text(CMemBuffer const& buffer)
{
    return std::string(static_cast<char const*>(buffer.GetBufferData()), buffer.GetBufferSize());
}

class Heard : public CMsgListener {
public:
    void DoMessage(UInt32 message, void* parameter) override
    {
        if (message == CClientHTTP::kMsgHTTPStatus)
            mStatus = *static_cast<SInt32*>(parameter);
        if (message == CClientHTTP::kMsgHTTPComplete)
            mBody = Text(*static_cast<CMemBuffer*>(parameter));
    }
    SInt32 mStatus = -1;
    std::string mBody;
};

class Ticker : public CTimerTask {
public:
    int mTicks = 0;

protected:
    void DoTimer() override { ++mTicks; }
};

} // namespace

TEST(CClientHTTP, FetchesFromALocalServerAndReportsA404)
{
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "version.xml", "<pellmar><p code=\"TWik\"/></pellmar>\n");
    LocalServer server(folder.Path().string());
    ASSERT_GT(server.Port(), 0) << "python3 -m http.server did not start";

    std::unique_ptr<CClientHTTP> client(
        CClientHTTP::Create("Tarnwick/0.1", 5, CClientHTTP::kHTTPImplementationDefault));
    ASSERT_TRUE(client);
    Heard heard;
    client->AddListener(&heard);
    CMemBuffer body;
    ASSERT_EQ(client->GetURL(Link(server.Port(), "/version.xml"), body), noErr);
    EXPECT_EQ(Text(body), "<pellmar><p code=\"TWik\"/></pellmar>\n");
    EXPECT_EQ(client->GetStatusCode(), 200);
    EXPECT_EQ(heard.mStatus, 200);
    EXPECT_EQ(heard.mBody, Text(body));

    EXPECT_EQ(client->GetURL(Link(server.Port(), "/missing.xml"), body), CClientHTTP::kHTTPStatusErr);
    EXPECT_EQ(client->GetStatusCode(), 404);
    EXPECT_EQ(heard.mStatus, 404);
    EXPECT_EQ(Text(body), "<pellmar><p code=\"TWik\"/></pellmar>\n"); // a failure leaves the buffer alone
}

TEST(CClientHTTP, RefusedConnectionAndForeignSchemesFail)
{
    int port = 0;
    close(ListenOnFreePort(port)); // nothing listens there now
    std::unique_ptr<CClientHTTP> client(CClientHTTP::Create("", 5, 0));
    CMemBuffer body;
    EXPECT_EQ(client->GetURL(Link(port, "/"), body), CClientHTTP::kHTTPConnectErr);
    EXPECT_EQ(client->GetURL("file:///etc/passwd", body), paramErr);
    EXPECT_EQ(client->GetURL("", body), paramErr);
    EXPECT_EQ(body.GetBufferSize(), 0u);
}

TEST(CClientHTTP, TimesOutOnAServerThatNeverAnswersWhileTheLoopRuns)
{
    int port = 0;
    int listener = ListenOnFreePort(port); // the kernel accepts; nobody ever replies
    std::unique_ptr<CClientHTTP> client(CClientHTTP::Create("", 1, 0));
    Ticker ticker;
    ticker.InstallTimer(0.1, 0.1);
    CMemBuffer body;
    auto start = Clock::now();
    EXPECT_EQ(client->GetURL(Link(port, "/slow"), body), CClientHTTP::kHTTPTimeoutErr);
    auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
    EXPECT_LT(elapsed, std::chrono::seconds(4));
    EXPECT_GE(ticker.mTicks, 3); // timers kept firing during the wait
    close(listener);
}

TEST(CClientHTTP, SendsItsHeadersAndRefusesInjectedLines)
{
    int port = 0;
    int listener = ListenOnFreePort(port);
    std::string request;
    std::thread server([&] {
        int connection = accept(listener, nullptr, nullptr);
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            ssize_t n = read(connection, buffer, sizeof buffer);
            if (n <= 0)
                break;
            request.append(buffer, std::size_t(n));
        }
        std::string reply = "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok";
        write(connection, reply.data(), reply.size());
        close(connection);
    });
    std::unique_ptr<CClientHTTP> client(CClientHTTP::Create("First/1.0", 5, 0));
    client->SetHeader(kHTTPHeaderUserAgent, "Second/2.0", CClientHTTP::kHTTPHeaderKeep);
    client->SetHeader("X-Note", "a\r\nX-Evil: 1", CClientHTTP::kHTTPHeaderReplace);
    client->SetHeader("X-Kind", "test", CClientHTTP::kHTTPHeaderReplace);
    CMemBuffer body;
    EXPECT_EQ(client->GetURL(Link(port, "/feed"), body), noErr);
    server.join();
    close(listener);
    EXPECT_EQ(Text(body), "ok");
    EXPECT_NE(request.find("GET /feed HTTP/1.1\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("User-Agent: First/1.0\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("X-Kind: test\r\n"), std::string::npos) << request;
    EXPECT_EQ(request.find("X-Evil"), std::string::npos) << request;
}
