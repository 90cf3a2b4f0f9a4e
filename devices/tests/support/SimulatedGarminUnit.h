#pragma once

// A Garmin unit behind the USB transport's face, answering as a unit does: the
// session, product data and protocol array, waypoint, route and track
// transfers both ways, and live fixes. Its answers are bytes cut into 64-byte
// USB pieces and reassembled by the transport's framer; one piece arrives per
// turn of the loop (a 1 ms timer), so tests can act halfway. It can be told to
// misbehave: stay silent, send a short record or an unknown packet, cut a
// packet short, or be unplugged after some packets.

#include "devices/CGPSPosVelTime.h"
#include "devices/CGPSRoute.h"
#include "devices/CGPSTrack.h"
#include "devices/CGarminPacket.h"
#include "devices/IGarminTransport.h"
#include "foundation/CTimerTask.h"

#include <deque>
#include <limits>
#include <string>
#include <vector>

namespace tw::test {

class SimulatedGarminUnit : public IGarminTransport, public CTimerTask {
public:
    static constexpr std::size_t kPieceSize = 64; // [bytes] of one USB transfer
    static constexpr UInt32 kUnitID = 0x12345678;

    struct Protocol {
        char tag;
        UInt16 number;
    };
    // A unit of today: L001, A010, waypoints D110, routes A201 (D202, D110, D210), tracks A301
    // (D312, D302), live fixes A800 (D800).
    static std::vector<Protocol> ModernProtocols();

    explicit SimulatedGarminUnit(std::string path = "/dev/bus/usb/001/004");
    ~SimulatedGarminUnit() override;

    // What the unit is and holds.
    UInt16 productID = 694;
    SInt16 softwareVersion = 300;
    std::string description = "eTrex Legend HCx Software Version 3.00";
    std::vector<Protocol> protocols = ModernProtocols();
    bool sendsProtocolArray = true;
    std::vector<CGPSWaypoint> waypoints;
    std::vector<CGPSRoute> routes;
    std::vector<CGPSTrack> tracks;

    // Misbehaviour.
    bool silent = false; // answers nothing at all
    std::size_t shortRecordAt = std::numeric_limits<std::size_t>::max(); // record of a download cut to 10 bytes
    std::size_t unknownPacketAt = std::numeric_limits<std::size_t>::max(); // an undocumented packet before it
    bool cutLastPacket = false; // the last packet of a download ends the burst half sent
    std::size_t unplugAfterPackets = std::numeric_limits<std::size_t>::max(); // packets delivered, then gone
    bool failOpen = false;

    // What the host sent, as the unit read it.
    std::vector<CGarminPacket> received;
    std::vector<UInt16> commands; // command ids, in order
    bool IsUnplugged() const { return mUnplugged; }
    std::size_t GetDelivered() const { return mDelivered; }

    // Queues a live fix (sent while the host asked for them).
    void SendFix(double latitude, double longitude, float east, float north, UInt32 weekDays, double timeOfWeek);
    // The host's packets of one kind, decoded from the upload of the last transfer.
    std::vector<CGarminPacket> ReceivedWithID(UInt16 id) const;

    // IGarminTransport
    OSStatus Open(Client* client) override;
    void Close() override;
    bool IsOpen() const override { return mClient != nullptr; }
    OSStatus Write(CGarminPacket const& packet) override;
    CString GetPath() const override;

protected:
    void DoTimer() override;

private:
    struct Piece {
        enum Kind { kBytes, kEndBurst, kSent } kind;
        std::vector<UInt8> bytes;
    };

    void Answer(UInt8 type, UInt16 id, std::vector<UInt8> const& data);
    void Reply(UInt8 type, UInt16 id, std::vector<UInt8> data, bool cut = false);
    void Download(UInt16 command);
    void Queue(Piece piece);
    void Unplug();

    std::string mPath;
    Client* mClient = nullptr; // borrowed
    std::deque<Piece> mOutbox;
    CGarminUSBFramer mFramer;
    bool mPVT = false;
    bool mUnplugged = false;
    std::size_t mDelivered = 0; // packets that reached the host
    std::size_t mRecordIndex = 0; // records of the download under way
};

} // namespace tw::test
