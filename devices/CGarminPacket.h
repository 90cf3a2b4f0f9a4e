#pragma once

// One packet of the Garmin USB packet layer: a 12-byte little-endian header
// (packet type, 3 reserved bytes, packet id, 2 reserved bytes, data size)
// followed by the data. Type 0 packets belong to the USB protocol layer (start
// a session, data available), type 20 packets carry the application protocols.

#include "platform/Platform.h"

#include <cstddef>
#include <vector>

struct CGarminPacket {
    static constexpr std::size_t kHeaderSize = 12; // [bytes]
    static constexpr std::size_t kMaxDataSize = 64 * 1024; // [bytes]; larger sizes are refused as damaged

    enum : UInt8 {
        kTypeUSBProtocol = 0,
        kTypeApplication = 20,
    };
    // Packet ids of the USB protocol layer (type 0). Fixed by the receivers: never renumber.
    enum : UInt16 {
        kPidDataAvailable = 2,
        kPidStartSession = 5,
        kPidSessionStarted = 6,
    };

    UInt8 type = kTypeApplication;
    UInt16 id = 0;
    std::vector<UInt8> data;

    std::vector<UInt8> Encode() const;
    bool operator==(CGarminPacket const& other) const = default;
};

// Reassembles packets from the pieces a USB pipe delivers: a packet may span
// several transfers, and one transfer may hold the end of one packet and the
// start of the next. The end of a burst (a zero-length transfer) must not cut a
// packet short. After an error the framer stays failed until Reset.
class CGarminUSBFramer {
public:
    // Appends the complete packets found to `packets`; kDeviceProtocolErr for a header whose
    // size is beyond kMaxDataSize.
    OSStatus Feed(UInt8 const* bytes, std::size_t count, std::vector<CGarminPacket>& packets);
    // A zero-length transfer ended the burst: kDeviceProtocolErr when a packet was left half read.
    OSStatus EndBurst();
    bool IsIdle() const { return mPending.empty(); }
    void Reset();

private:
    std::vector<UInt8> mPending;
    bool mFailed = false;
};
