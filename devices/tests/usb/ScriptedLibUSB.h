#pragma once

// A stand-in for libusb-1.0, linked into the USB tests in place of the library:
// one Garmin unit on the bus, with its configuration (interface 0 and its three
// endpoints, in whatever order the test gives them), a kernel driver that may
// hold the interface, and its pipes. The transport under test makes its
// ordinary libusb calls; transfers complete inside libusb_handle_events, on the
// transport's I/O thread, one at a time: cancelled ones first, then the
// interrupt pipe, then the bulk pipes. So a "data available" that the unit sends
// while a bulk read is under way reaches the host before that burst ends, as a
// quick unit does. The unit answers as a Garmin unit of today: the session, the
// product data and protocol array, waypoint downloads (in as many bursts as the
// test asks), uploads, and live fixes while asked. Thread-safe.

#include "devices/CGPSWaypoint.h"
#include "devices/CGarminPacket.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

struct libusb_transfer;

namespace tw::test {

class ScriptedUSBUnit {
public:
    static constexpr UInt8 kBus = 3;
    static constexpr UInt8 kAddress = 9;
    static constexpr UInt8 kInterruptIn = 0x83;
    static constexpr UInt8 kBulkIn = 0x81;
    static constexpr UInt8 kBulkOut = 0x02;
    static constexpr UInt32 kUnitID = 0x0BADCAFE;

    // The one unit; Reset puts it back on the bus as new.
    static ScriptedUSBUnit& Get();
    void Reset();

    // Set before the transport opens.
    struct Setup {
        bool present = true;
        bool kernelDriver = true; // garmin_gps holds interface 0
        bool autoDetach = false; // libusb cannot detach by itself: the transport must
        bool claimFails = false;
        std::vector<UInt8> endpoints { kBulkOut, kInterruptIn, kBulkIn, 0x04 /* isochronous, unused */ };
        std::size_t downloadBursts = 1; // a download comes in this many bursts, all announced at once
        std::vector<CGPSWaypoint> waypoints;
        std::size_t shortWrite = 0; // this bulk write (counted from 1) takes one byte less than it had
    };
    Setup setup;

    // Unit side, while the transport is open.
    // Only while live fixes are on; fix type 3 is 3D, 1 none.
    void SendFix(double latitude, double longitude, float east, float north, UInt16 fixType = 3);
    void Unplug(); // every transfer ends with "no device" and none can start
    // Announces a burst on the interrupt pipe and gives each entry to one bulk read, then the
    // empty read that ends the burst. Several bursts are all announced before the first is read.
    using Reads = std::vector<std::vector<UInt8>>;
    void SendBurst(Reads reads) { SendBursts({ std::move(reads) }); }
    void SendBursts(std::vector<Reads> bursts);
    // While held, bulk writes wait unfinished.
    void HoldWrites(bool hold);

    // What happened, for the test to read (copies, under the lock).
    struct Record {
        bool detached = false; // the kernel driver was detached by hand
        bool claimed = false;
        bool released = false;
        bool closed = false;
        bool exited = false;
        bool wrongEndpoint = false; // a transfer went to an endpoint of the wrong kind
        bool zeroPacketFlag = true; // every bulk write asked for a closing zero-length packet
        bool pvt = false;
        std::vector<CGarminPacket> received; // from the host, in order
        std::vector<UInt16> commands;
        std::size_t signalsWhileReading = 0; // "data available" sent while a burst was being read
        std::size_t bulkReads = 0; // submitted
        std::size_t bulkWrites = 0; // completed
        std::size_t emptyReads = 0; // the empty reads that ended bursts, given out
    };
    Record GetRecord();

    // libusb's side (the stand-in functions).
    int Submit(libusb_transfer* transfer);
    int Cancel(libusb_transfer* transfer);
    int HandleEvents();
    void Interrupt();
    void Claimed() { Note([](Record& r) { r.claimed = true; }); }
    template <typename F> void Note(F f)
    {
        std::lock_guard lock(mMutex);
        f(mRecord);
    }

private:
    ScriptedUSBUnit() = default;
    void Answer(CGarminPacket const& packet); // with mMutex held
    void Queue(bool interrupt, UInt8 type, UInt16 id, std::vector<UInt8> const& data); // with mMutex held
    void Burst(std::vector<std::vector<UInt8>> packets); // with mMutex held

    std::mutex mMutex;
    std::condition_variable mChanged;
    Record mRecord;
    std::vector<libusb_transfer*> mPending; // submitted, not yet completed
    std::vector<libusb_transfer*> mCancelled;
    std::vector<std::vector<UInt8>> mInterruptOut; // what the unit sends, oldest first
    std::vector<std::vector<UInt8>> mBulkOut; // bursts, each ended by an empty entry
    std::vector<UInt8> mHostBytes; // a packet from the host, as it arrives
    bool mUnplugged = false;
    bool mInterrupted = false;
    bool mWritesHeld = false;
};

} // namespace tw::test
