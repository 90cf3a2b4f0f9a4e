#include "display/SessionEnd.h"

#include "events/CarbonEvents.h"
#include "events/Queue.h"
#include "services/ThreadSignalStack.h"

#include <X11/Xlib.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace tw::display {

namespace {

    SessionEndHandler sHandler = nullptr;
    bool sEnded = false;
    bool sGone = false; // the display went away: nothing runs after the handler
    volatile std::sig_atomic_t sHungUp = 0;

    int sWakePipe[2] = { -1, -1 }; // the hang-up handler writes, a thread wakes the loop

    void OnHangUp(int)
    {
        sHungUp = 1;
        int const saved = errno;
        char const byte = 1;
        if (sWakePipe[1] >= 0)
            (void)!write(sWakePipe[1], &byte, 1);
        errno = saved;
    }

    // The loop may be asleep in a wait that a signal does not end: a thread of its own
    // hears the handler and wakes it, so that the hang-up is dealt with at once.
    void StartHangUpWaker()
    {
        if (sWakePipe[0] >= 0 || pipe2(sWakePipe, O_CLOEXEC) != 0)
            return;
        std::thread([] {
            tw::services::ThreadSignalStack const signalStack;
            char byte = 0;
            for (;;) {
                ssize_t const n = read(sWakePipe[0], &byte, 1);
                if (n == 1)
                    GetMainEventQueue()->Wake();
                else if (n < 0 && errno == EINTR)
                    continue;
                else
                    return;
            }
        }).detach();
    }

    // Xlib ends the process when this returns; the connection is gone, so nothing may use it.
    int OnDisplayLost(::Display*)
    {
        // Run again after a hang-up: what waited for its work to end is kept now, as it is.
        sGone = true;
        sEnded = false;
        EndSession();
        _exit(1);
    }

} // namespace

void SetSessionEndHandler(SessionEndHandler handler) { sHandler = handler; }

void WatchForSessionEnd()
{
    StartHangUpWaker();
    struct sigaction action { };
    action.sa_handler = OnHangUp;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &action, nullptr);
    XSetIOErrorHandler(OnDisplayLost);
}

bool EndSessionIfHungUp()
{
    if (!sHungUp)
        return false;
    sHungUp = 0;
    EndSession();
    return true;
}

void EndSession()
{
    if (sEnded)
        return;
    sEnded = true;
    if (sHandler)
        sHandler();
}

bool HasSessionEnded() { return sEnded; }

bool IsSessionGone() { return sGone; }

void ResetSessionEndForTesting()
{
    sEnded = false;
    sGone = false;
    sHungUp = 0;
}

} // namespace tw::display
