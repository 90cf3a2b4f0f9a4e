#pragma once

#include "events/CarbonEvents.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
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
    // Serves later starts as the first instance: a thread sleeps until one knocks on the
    // socket, and the main loop serves it (it posts and waits until served).
    void Listen(Receiver receiver);
    // Takes what waits on the socket now; answers how many starts were served.
    int Serve();

    static constexpr std::size_t kMaxWords = 4096;
    static constexpr std::size_t kMaxBytes = 1 << 20;

private:
    void Watch();
    static OSStatus HandleKnock(EventHandlerCallRef call, EventRef event, void* userData);
    bool HandOver(std::vector<std::string> const& words, int connection);
    bool ServeOne(int connection);

    int mListener = -1; // owns
    std::string mPath; // the socket this instance made, removed when it goes
    Receiver mReceiver;
    EventHandlerRef mHandler = nullptr; // owns
    EventRef mKnock = nullptr; // owns: posted by the watcher, once per knock
    int mStopWatching = -1; // owns: an eventfd that ends the watcher
    std::thread mWatcher;
    std::mutex mMutex; // guards mServed
    std::condition_variable mServedChanged;
    bool mServed = true; // the last knock was served (or the watcher is stopping)
};
