#pragma once

// The seam between the Garmin protocol stack and the USB pipes it talks
// through: whole packets out and in. The USB transport (CUSBTransportGarmin)
// frames them on libusb; tests put a simulated unit behind the same face.
// Everything a transport reports reaches its client on the main thread.

#include "devices/CGarminPacket.h"
#include "foundation/CString.h"

class IGarminTransport {
public:
    class Client {
    public:
        virtual ~Client() = default;
        virtual void PacketReceived(CGarminPacket const& packet) = 0;
        // One call per Write, in order, once the packet is out (or could not go out).
        virtual void PacketSent(OSStatus status) = 0;
        // The pipes failed (kDeviceGoneErr when the unit was unplugged); nothing more comes.
        virtual void TransportFailed(OSStatus status) = 0;
    };

    virtual ~IGarminTransport() = default;

    // Claims the unit and starts reading; the client hears of every packet from then on.
    virtual OSStatus Open(Client* client) = 0;
    // Stops reading and lets the unit go; no call reaches the client afterwards.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Queues the packet; kDeviceNotConnectedErr when not open.
    virtual OSStatus Write(CGarminPacket const& packet) = 0;
    // Where the unit is, for people: its device node.
    virtual CString GetPath() const = 0;
};
