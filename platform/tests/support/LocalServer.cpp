#include "tests/support/LocalServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tw::test {

namespace {

    // "Serving HTTP on 127.0.0.1 port 40123 (http://...) ..."
    int ReadPort(int fd)
    {
        using Clock = std::chrono::steady_clock;
        std::string text;
        auto const deadline = Clock::now() + std::chrono::seconds(10);
        while (text.find('\n') == std::string::npos && Clock::now() < deadline) {
            pollfd p { fd, POLLIN, 0 };
            if (poll(&p, 1, 100) <= 0)
                continue;
            char buffer[256];
            ssize_t const n = read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, std::size_t(n));
        }
        std::size_t const at = text.find(" port ");
        return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + 6);
    }

    constexpr char kRecordingServer[] = R"(import functools, http.server, sys
folder, log = sys.argv[1], sys.argv[2]
class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        with open(log, 'a') as f:
            f.write('%s %s\n' % (self.path, self.headers.get('User-Agent', '')))
        super().do_GET()
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=folder))
print('Serving HTTP on 127.0.0.1 port %d' % server.server_address[1], flush=True)
server.serve_forever()
)";

} // namespace

LocalServer::LocalServer(std::string const& folder, std::string const& requestLog)
{
    int out[2];
    if (pipe(out) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char const* serving[]
        = { "python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", folder.c_str(), nullptr };
    char const* recording[] = { "python3", "-u", "-c", kRecordingServer, folder.c_str(), requestLog.c_str(), nullptr };
    char const** argv = requestLog.empty() ? serving : recording;
    int const error = posix_spawnp(&mPid, "python3", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (error == 0)
        mPort = ReadPort(out[0]);
    else
        mPid = -1;
    close(out[0]);
}

LocalServer::~LocalServer()
{
    if (mPid > 0) {
        kill(mPid, SIGTERM);
        waitpid(mPid, nullptr, 0);
    }
}

std::string LocalServer::Link(std::string const& path) const
{
    return "http://127.0.0.1:" + std::to_string(mPort) + path;
}

int ListenOnFreePort(int& port)
{
    int const fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
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

} // namespace tw::test
