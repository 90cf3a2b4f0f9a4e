#pragma once

// Helpers of the device tests, and of the tests above them that drive receivers: running
// the event loop until something happens, a pseudo-terminal that plays a receiver, the
// walk log and its sidecar, and a listener that records what a broadcaster says.

#include "devices/CGPSPosVelTime.h"
#include "foundation/CMsgListener.h"
#include "platform/Platform.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tw::test {

// Runs the event loop (real clock) until the condition holds or the time is up.
bool RunLoopUntil(std::function<bool()> const& condition, double seconds = 10.0);

// One fix of the walk log as its sidecar gives it.
struct ExpectedFix {
    double seconds; // since 2001-01-01 UTC
    double latitude, longitude, altitude, speed, course, dilution;
};

std::filesystem::path WalkLogPath();
std::string ReadWalkLog();
std::vector<ExpectedFix> ReadWalkSidecar();
// The log's lines grouped by moment (a new RMC or GGA time starts one).
std::vector<std::string> WalkMoments();

// A pseudo-terminal: the test writes as a receiver into the master side; the code under
// test opens the slave path. A writer thread can play lines at a steady pace.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(PseudoTerminal const&) = delete;
    PseudoTerminal& operator=(PseudoTerminal const&) = delete;

    std::string const& GetPath() const { return mPath; }
    int GetMaster() const { return mMaster; }
    // Writes without blocking; what does not fit is dropped, as a receiver's output would be.
    void Write(std::string const& text);
    // The speed the slave side was set to (0 when unknown).
    unsigned GetSpeed() const;
    // Plays `source(i)` for i = 0, 1, ... every `interval` seconds until StopPlaying.
    void Play(std::function<std::string(unsigned index)> source, double interval);
    void StopPlaying();
    // The port vanishes: the master side closes.
    void Close();

private:
    int mMaster = -1;
    int mSlave = -1; // kept open until Close, so writes before the driver opens are kept
    std::string mPath;
    std::thread mWriter;
    std::atomic<bool> mPlaying { false };
};

// Records every message a broadcaster sends.
class MessageLog : public CMsgListener {
public:
    struct Entry {
        UInt32 message;
        void* parameter;
        OSStatus status; // of "dcon", "ddis" and "tfal"
    };
    void DoMessage(UInt32 message, void* parameter) override;
    std::size_t Count(UInt32 message) const;
    std::vector<Entry> entries;
    std::vector<CGPSPosVelTime> fixes;
};

} // namespace tw::test
