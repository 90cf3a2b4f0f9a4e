#pragma once

// The driver of a Garmin unit over USB. Connecting starts a USB session, asks
// for the product data and the protocol array, and broadcasts "dcon" once it
// knows what the unit speaks. Transfers of waypoints, routes and tracks run
// both ways through the link and command protocols the unit named; live
// fixes come as "tpvt" after StartPVT. Packets reach the unit through an
// IGarminTransport, which the driver owns. Main thread.

#include "devices/CDeviceGPS.h"
#include "devices/CGarminProtocols.h"
#include "devices/IGarminTransport.h"
#include "foundation/CTimerTask.h"

#include <deque>
#include <memory>

class CDeviceGarmin : public CDeviceGPS, public CTimerTask, public IGarminTransport::Client {
public:
    static constexpr double kSessionTimeout = 1.0; // [s] for each of kSessionTries start-session packets
    static constexpr UInt32 kSessionTries = 3;
    static constexpr double kAnswerTimeout = 5.0; // [s] for the product data and between transfer packets
    static constexpr double kProtocolTimeout = 1.5; // [s] for a protocol array after the product data
    static constexpr std::size_t kWritesInFlight = 4; // packets of an upload handed to the transport at once

    explicit CDeviceGarmin(std::unique_ptr<IGarminTransport> transport);
    ~CDeviceGarmin() override;

    OSStatus Connect() override;
    void Disconnect() override;
    OSStatus StartPVT() override;
    OSStatus StopPVT() override;
    OSStatus TransferWaypoints(std::vector<CGPSWaypoint> const* list) override;
    OSStatus TransferRoutes(std::vector<CGPSRoute> const* list) override;
    OSStatus TransferTracks(std::vector<CGPSTrack> const* list) override;
    void CancelTransfer() override;
    bool IsTransferring() const override { return mTransfer.kind != kTransferNone; }
    UInt32 GetFeatures() const override;

    CGarminProtocols const& GetProtocols() const { return mProtocols; }
    UInt32 GetUnitID() const { return mUnitID; }
    SInt16 GetSoftwareVersion() const { return mSoftwareVersion; }

    // IGarminTransport::Client
    void PacketReceived(CGarminPacket const& packet) override;
    void PacketSent(OSStatus status) override;
    void TransportFailed(OSStatus status) override;

protected:
    void DoTimer() override;

private:
    enum State : UInt32 {
        kStateClosed,
        kStateStartingSession,
        kStateAskingProduct,
        kStateWaitingProtocols,
        kStateReady,
    };
    enum TransferKind : UInt32 {
        kTransferNone,
        kTransferWaypoints,
        kTransferRoutes,
        kTransferTracks,
    };
    struct Transfer {
        TransferKind kind = kTransferNone;
        bool toDevice = false;
        UInt32 expected = 0; // records the unit announced, or packets to send
        UInt32 done = 0; // records received, or packets sent
        UInt32 percent = 0; // last reported
        std::vector<CGPSWaypoint> waypoints;
        std::vector<CGPSRoute> routes;
        std::vector<CGPSTrack> tracks;
        std::deque<CGarminPacket> outgoing; // upload packets not yet handed to the transport
        UInt32 inFlight = 0;
    };

    // Session and product data (CDeviceGarmin.cpp).
    void SessionPacket(CGarminPacket const& packet);
    void ProductPacket(CGarminPacket const& packet);
    void BecomeReady();
    void FailConnect(OSStatus status);
    void Shut(OSStatus status);
    OSStatus Send(UInt8 type, UInt16 id, std::vector<UInt8> data = {});
    OSStatus Write(CGarminPacket const& packet, bool upload);
    OSStatus SendCommand(CGarminProtocols::Command command);

    // Transfers (CDeviceGarmin_Transfer.cpp).
    OSStatus CanTransfer(UInt32 feature) const;
    OSStatus BeginDownload(TransferKind kind, CGarminProtocols::Command command);
    OSStatus BeginUpload(TransferKind kind, std::deque<CGarminPacket>&& packets);
    OSStatus BuildRecordsPacket(UInt32 count, CGarminPacket& packet) const;
    OSStatus BuildWaypointPackets(std::vector<CGPSWaypoint> const& list, std::deque<CGarminPacket>& packets) const;
    OSStatus BuildRoutePackets(std::vector<CGPSRoute> const& list, std::deque<CGarminPacket>& packets) const;
    OSStatus BuildTrackPackets(std::vector<CGPSTrack> const& list, std::deque<CGarminPacket>& packets) const;
    void TransferPacket(CGarminPacket const& packet);
    OSStatus ReadRecord(CGarminPacket const& packet);
    void PumpUpload();
    void CountProgress();
    void FinishTransfer();
    void FailTransfer(OSStatus status, bool abort);
    // Live fixes would stream through a transfer: stopped before it, started again after it.
    void PausePosVelTime();
    void ResumePosVelTime();

    std::unique_ptr<IGarminTransport> mTransport; // owns
    State mState = kStateClosed;
    UInt32 mSessionTries = 0;
    CGarminProtocols mProtocols;
    UInt32 mUnitID = 0;
    SInt16 mSoftwareVersion = 0;
    bool mPosVelTime = false; // asked for live fixes
    bool mPosVelTimePaused = false; // stopped for a transfer, to start again after it
    Transfer mTransfer;
    std::deque<bool> mWrites; // each packet handed to the transport and not yet sent: part of an upload?
};
