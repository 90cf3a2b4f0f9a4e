#include "foundation/CClientHTTP.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"
#include "tests/support/LocalServer.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
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

namespace {

// Answers one GET with a body that never ends, until the client hangs up; returns the bytes sent.
std::size_t StreamEndlessly(int listener)
{
    int connection = accept(listener, nullptr, nullptr);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = read(connection, buffer, sizeof buffer);
        if (n <= 0)
            break;
        request.append(buffer, std::size_t(n));
    }
    std::string const head = "HTTP/1.0 200 OK\r\n\r\n";
    send(connection, head.data(), head.size(), MSG_NOSIGNAL);
    std::string const chunk(64 << 10, 'x');
    std::size_t sent = 0;
    while (sent < (std::size_t(128) << 20)) {
        ssize_t n = send(connection, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += std::size_t(n);
    }
    close(connection);
    return sent;
}

// An https server on 127.0.0.1 with a certificate of its own: /to-http redirects to the
// plain link given, /to-https to its own /feed, /quit ends it.
class SecureServer {
public:
    SecureServer(tw::test::TempFolder const& folder, std::string const& plainLink)
    {
        mCertificate = (folder / "cert.pem").string();
        std::string const key = (folder / "key.pem").string();
        if (tw::test::RunCommand("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -addext "
                                 "subjectAltName=IP:127.0.0.1 -keyout '"
                + key + "' -out '" + mCertificate + "' 2>/dev/null")
            != 0)
            return;
        tw::test::WriteFile(folder / "server.py", R"(import socket, ssl, sys
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(sys.argv[1], sys.argv[2])
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
port = listener.getsockname()[1]
print(port, flush=True)
while True:
    connection, _ = listener.accept()
    try:
        secure = context.wrap_socket(connection, server_side=True)
        request = b""
        while b"\r\n\r\n" not in request:
            more = secure.recv(4096)
            if not more:
                break
            request += more
        path = request.split(b" ")[1].decode() if b" " in request else ""
        if path == "/to-http":
            head, body = "302 Found\r\nLocation: " + sys.argv[3], ""
        elif path == "/to-https":
            head, body = "302 Found\r\nLocation: https://127.0.0.1:%d/feed" % port, ""
        else:
            head, body = "200 OK", "secure"
        secure.sendall(("HTTP/1.1 %s\r\nContent-Length: %d\r\nConnection: close\r\n\r\n%s" % (head, len(body), body)).encode())
        secure.close()
    except (ssl.SSLError, OSError):
        connection.close()
    if path == "/quit":
        break
)");
        mPipe = popen(("python3 '" + (folder / "server.py").string() + "' '" + mCertificate + "' '" + key + "' '"
                          + plainLink + "'")
                          .c_str(),
            "r");
        if (mPipe && std::fscanf(mPipe, "%d", &mPort) != 1)
            mPort = 0;
    }
    ~SecureServer()
    {
        if (mPort > 0)
            TrustingQuit();
        if (mPipe)
            pclose(mPipe);
    }
    int Port() const { return mPort; }
    std::string const& Certificate() const { return mCertificate; }
    CString Link(char const* path) const
    {
        CString link;
        link.Format("https://127.0.0.1:%d%s", mPort, path);
        return link;
    }

private:
    void TrustingQuit();

    std::string mCertificate;
    FILE* mPipe = nullptr;
    int mPort = 0;
};

// The client trusting only the test server's certificate.
class TrustingClient : public CClientHTTP {
public:
    explicit TrustingClient(std::string const& certificates)
        : CClientHTTP(CString(), 5)
    {
        mCertificates = certificates;
    }
};

void SecureServer::TrustingQuit()
{
    TrustingClient client(mCertificate);
    CMemBuffer ignored;
    client.GetURL(Link("/quit"), ignored);
}

} // namespace

TEST(CClientHTTP, StopsReadingAtTheLargestBodyTheCallerTakes)
{
    std::unique_ptr<CClientHTTP> client(CClientHTTP::Create("", 10, 0));
    client->SetMaxBodySize(1 << 20);
    int port = 0;
    int listener = ListenOnFreePort(port);
    std::size_t sent = 0;
    std::thread server([&] { sent = StreamEndlessly(listener); });
    CMemBuffer body;
    body.AppendData("old", 3);
    EXPECT_EQ(client->GetURL(Link(port, "/endless"), body), memFullErr);
    server.join();
    close(listener);
    EXPECT_EQ(Text(body), "old");
    // What the sockets buffered on the way is all the server got rid of; 64 MiB is the
    // client's own ceiling.
    EXPECT_LT(sent, std::size_t(16) << 20);

    // A length announced beyond the limit is refused; one at the limit is taken.
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "big", std::string((1 << 20) + 1, 'b'));
    tw::test::WriteFile(folder / "fits", std::string(1 << 20, 'f'));
    LocalServer files(folder.Path().string());
    ASSERT_GT(files.Port(), 0);
    EXPECT_EQ(client->GetURL(Link(files.Port(), "/big"), body), memFullErr);
    EXPECT_EQ(client->GetURL(Link(files.Port(), "/fits"), body), noErr);
    EXPECT_EQ(body.GetBufferSize(), UInt32(1) << 20);
}

TEST(CClientHTTP, AnHttpsLinkIsNeverRedirectedToPlainHttp)
{
    tw::test::TempFolder folder;
    int plainPort = 0;
    int plain = ListenOnFreePort(plainPort); // would see the connection of a followed redirect
    std::string const plainLink = "http://127.0.0.1:" + std::to_string(plainPort) + "/feed";
    SecureServer server(folder, plainLink);
    if (server.Port() <= 0) {
        close(plain);
        GTEST_SKIP() << "openssl or python3 could not start an https server";
    }
    std::unique_ptr<CClientHTTP> init(CClientHTTP::Create("", 5, 0)); // sets up the library
    TrustingClient client(server.Certificate());
    CMemBuffer body;
    ASSERT_EQ(client.GetURL(server.Link("/to-https"), body), noErr) << "https to https is followed";
    EXPECT_EQ(Text(body), "secure");

    EXPECT_EQ(client.GetURL(server.Link("/to-http"), body), CClientHTTP::kHTTPStatusErr);
    EXPECT_EQ(client.GetStatusCode(), 302);
    EXPECT_EQ(Text(body), "secure") << "a failure leaves the buffer alone";
    pollfd waiting { plain, POLLIN, 0 };
    EXPECT_EQ(poll(&waiting, 1, 100), 0) << "nothing connected to the plain http server";
    close(plain);
}
