#pragma once

// Helpers of the device tests, and of the tests above them that drive receivers: running
// the event loop until something happens, a pseudo-terminal that plays a receiver, the
// walk log and its sidecar, and a listener that records what a broadcaster says.

#include "devices/CGPSPosVelTime.h"
#include "devices/IDeviceMonitor.h"
#include "devices/IGarminTransport.h"
#include "foundation/CMsgListener.h"
#include "platform/Platform.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tw::test {

// Runs the event loop (real clock) until the condition holds or the time is up.
bool RunLoopUntil(std::function<bool()> const& condition, double seconds = 10.0);

// A sentence with a good checksum and no position (satellites in view): a receiver that is
// there but has no fix yet.
std::string SatelliteSentence();
// "$", the body, "*", its checksum and CR LF.
std::string Sentence(std::string const& body);

// Little-endian values as a Garmin unit writes them.
void Put16(std::vector<UInt8>& bytes, UInt16 value);
void Put32(std::vector<UInt8>& bytes, UInt32 value);
void PutFloat(std::vector<UInt8>& bytes, float value);
void PutDouble(std::vector<UInt8>& bytes, double value);
void PutText(std::vector<UInt8>& bytes, std::string const& text); // with its terminating zero

// A packet as a unit puts it on a USB pipe, written by hand rather than by the code under
// test: type, three bytes of nothing, id, two of nothing, the size, the data.
std::vector<UInt8> UnitPacket(UInt8 type, UInt16 id, std::vector<UInt8> const& data);

// A position record (D800) as a unit sends it.
struct UnitFix {
    float altitude; // [m] above the ellipsoid
    float error, horizontalError, verticalError; // [m]
    UInt16 fixType;
    double timeOfWeek; // [s]
    double latitude, longitude; // [°]
    float east, north, up; // [m/s]
    float seaLevel; // [m] mean sea level above the ellipsoid
    UInt16 leapSeconds;
    UInt32 weekDays; // days to the start of the week
};
std::vector<UInt8> UnitFixRecord(UnitFix const& fix);

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

// Discovery as a test drives it: the devices present at the start, then plugging and pulling.
class FakeDeviceMonitor : public IDeviceMonitor {
public:
    OSStatus Start(Callback callback, void* context) override;
    void Stop() override { mCallback = nullptr; }
    void Plug(DeviceNotice const& notice);
    void Pull(CString const& key);
    std::vector<DeviceNotice> present;

private:
    Callback mCallback = nullptr;
    void* mContext = nullptr; // borrowed
};

// A Garmin unit on USB as discovery reports it.
DeviceNotice GarminNotice(char const* key, UInt8 address);

class SimulatedGarminUnit;

// The simulated units behind the Garmin drivers a device manager makes with MakeSimulatedUnit
// (its transport maker), newest last; each is owned by its driver. The settings apply to the
// units made next.
struct SimulatedUnits {
    static std::vector<SimulatedGarminUnit*> units;
    static UInt16 nextProductID;
    static bool nextSilent;
    static void Reset();
    static std::unique_ptr<IGarminTransport> MakeSimulatedUnit(DeviceNotice const& notice);
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
