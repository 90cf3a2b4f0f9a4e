#include "foundation/CClientHTTP.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"
#include "tests/support/LocalServer.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

using tw::test::ListenOnFreePort;
using tw::test::LocalServer;

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
