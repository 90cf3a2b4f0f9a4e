#pragma once

#include "events/CarbonEvents.h"

#include <functional>
#include <string>
#include <vector>

// One running Tarnwick per user and display. The first start listens on a socket
// in $XDG_RUNTIME_DIR named after the display; a later start finds it, hands it its
// command line (files made absolute, links as they are) and ends, and the first
// one turns the words into its launch Apple events. A socket left by a killed
// instance answers no one: it is found stale and replaced. Main thread only.
class CSingleInstance {
public:
    enum class Claim {
        First, // this process is the instance: it listens
        HandedOver, // another instance took the command line
        Alone, // no runtime folder or display, or the socket cannot be had: run without
    };

    // Words received from a later start, in order; the default queues the launch Apple events.
    using Receiver = std::function<void(std::vector<std::string> const& words)>;

    CSingleInstance();
    ~CSingleInstance();
    CSingleInstance(CSingleInstance const&) = delete;
    CSingleInstance& operator=(CSingleInstance const&) = delete;

    // The socket's path for a runtime folder and a display; empty when either is missing.
    static std::string SocketPath(char const* runtimeFolder, char const* display);

    // Becomes the instance for this socket, or hands the words (the command line
    // without the program) to the one there.
    Claim ClaimOrHandOver(std::string const& socketPath, std::vector<std::string> const& words);
    // Serves later starts from a timer of the event loop (as the first instance).
    void Listen(Receiver receiver);
    // Takes what waits on the socket now; answers how many starts were served.
    int Serve();

    static constexpr EventTimerInterval kPollInterval = 0.1; // [s]
    static constexpr std::size_t kMaxWords = 4096;
    static constexpr std::size_t kMaxBytes = 1 << 20;

private:
    static void PollTimer(EventLoopTimerRef timer, void* userData);
    bool HandOver(std::vector<std::string> const& words, int connection);
    bool ServeOne(int connection);

    int mListener = -1; // owns
    std::string mPath; // the socket this instance made, removed when it goes
    Receiver mReceiver;
    EventLoopTimerRef mTimer = nullptr; // owns
};
