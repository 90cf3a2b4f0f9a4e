#include "display/SessionEnd.h"

#include <X11/Xlib.h>
#include <csignal>
#include <unistd.h>

namespace tw::display {

namespace {

    SessionEndHandler sHandler = nullptr;
    bool sEnded = false;
    volatile std::sig_atomic_t sHungUp = 0;

    void OnHangUp(int) { sHungUp = 1; }

    // Xlib ends the process when this returns; the connection is gone, so nothing may use it.
    int OnDisplayLost(::Display*)
    {
        EndSession();
        _exit(1);
    }

} // namespace

void SetSessionEndHandler(SessionEndHandler handler) { sHandler = handler; }

void WatchForSessionEnd()
{
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

void ResetSessionEndForTesting()
{
    sEnded = false;
    sHungUp = 0;
}

} // namespace tw::display
