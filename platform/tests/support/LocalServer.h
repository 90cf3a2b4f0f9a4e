#pragma once

// Servers for the tests of network code: Python's http.server serving one folder
// on 127.0.0.1 (killed when the object goes), and a listening socket that accepts
// connections and never answers. Given a request log, the server first appends a
// line "<path> <User-Agent header>" for every GET it answers.

#include <string>
#include <sys/types.h>

namespace tw::test {

class LocalServer {
public:
    explicit LocalServer(std::string const& folder, std::string const& requestLog = std::string());
    ~LocalServer();
    LocalServer(LocalServer const&) = delete;
    LocalServer& operator=(LocalServer const&) = delete;

    int Port() const { return mPort; } // 0 when the server did not start
    std::string Link(std::string const& path) const; // "http://127.0.0.1:port" + path

private:
    pid_t mPid = -1;
    int mPort = 0;
};

// A listening socket on a free port of 127.0.0.1; the caller closes it.
int ListenOnFreePort(int& port);

} // namespace tw::test
