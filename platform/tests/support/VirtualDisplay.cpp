#include "tests/support/VirtualDisplay.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tw::test {

VirtualDisplay::VirtualDisplay()
{
    for (int attempt = 0; attempt < 3 && mName.empty(); ++attempt)
        Start();
}

VirtualDisplay::~VirtualDisplay() { Stop(); }

void VirtualDisplay::Start()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    mPid = fork();
    if (mPid == 0) {
        close(fds[0]);
        prctl(PR_SET_PDEATHSIG, SIGTERM); // no server outlives a crashed test
        int const null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        std::string const fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
            static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (mPid > 0 && number.size() < 8) {
        ssize_t const n = read(fds[0], &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (!number.empty() && c == '\n')
        mName = ":" + number;
    else
        Stop();
}

void VirtualDisplay::Stop()
{
    if (mPid > 0) {
        kill(mPid, SIGTERM);
        waitpid(mPid, nullptr, 0);
    }
    mPid = -1;
}

} // namespace tw::test
