#include "devices/CUSBTransportGarmin.h"
#include "devices/DeviceTypes.h"

#include <gtest/gtest.h>

namespace {

class NoClient : public IGarminTransport::Client {
public:
    void PacketReceived(CGarminPacket const&) override { ++calls; }
    void PacketSent(OSStatus) override { ++calls; }
    void TransportFailed(OSStatus) override { ++calls; }
    int calls = 0;
};

// No Garmin unit is plugged into the test machines: what can be checked is that asking
// for one that is not there fails cleanly and leaves nothing open.
TEST(USBTransportGarmin, AbsentUnitCannotBeOpened)
{
    CUSBTransportGarmin transport(250, 127, "/dev/bus/usb/250/127");
    NoClient client;
    OSStatus status = transport.Open(&client);
    EXPECT_TRUE(status == fnfErr || status == kDeviceOpenErr) << status;
    EXPECT_FALSE(transport.IsOpen());
    EXPECT_EQ(transport.Write({ CGarminPacket::kTypeUSBProtocol, CGarminPacket::kPidStartSession, {} }),
        kDeviceNotConnectedErr);
    transport.Close();
    EXPECT_EQ(transport.GetPath(), CString("/dev/bus/usb/250/127"));
    EXPECT_EQ(client.calls, 0);
}

} // namespace
