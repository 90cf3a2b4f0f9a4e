#pragma once

// Base of the GPS drivers: one receiver behind one port, spoken to on the main
// thread. A driver connects on request and broadcasts what happens: "dcon"
// when a connection attempt ends (its status says how), "ddis" when the
// connection ends, "tpvt" for each fix, and for transfers "tway", "trot",
// "ttra" when done, "tpro" on the way and "tfal" on failure. The device
// manager owns every driver; deleting one sends "ebde" to its listeners.

#include "devices/CDeviceLog.h"
#include "devices/CGPSPosVelTime.h"
#include "devices/CGPSRoute.h"
#include "devices/CGPSTrack.h"
#include "devices/DeviceTypes.h"
#include "foundation/CMsgBroadcaster.h"

class CDeviceGPS : public CMsgBroadcaster {
public:
    enum Kind : UInt32 {
        kKindNMEA = 1, // NMEA 0183 on a serial port
        kKindGarmin = 2, // Garmin over USB
    };
    // Told once when the port or unit has gone for good (the driver is then of no more use).
    using GoneHandler = void (*)(CDeviceGPS* driver, void* context);

    ~CDeviceGPS() override;

    // Begins connecting (noErr when under way or already connected); "dcon" tells the outcome.
    virtual OSStatus Connect() = 0;
    // Ends the connection; "ddis" when there was one.
    virtual void Disconnect() = 0;
    bool IsConnected() const { return mConnected; }

    // Live fixes: drivers that must ask for them do so here.
    virtual OSStatus StartPVT() { return noErr; }
    virtual OSStatus StopPVT() { return noErr; }

    // One transfer at a time. A null list asks the receiver for its records; a list sends them.
    virtual OSStatus TransferWaypoints(std::vector<CGPSWaypoint> const* list);
    virtual OSStatus TransferRoutes(std::vector<CGPSRoute> const* list);
    virtual OSStatus TransferTracks(std::vector<CGPSTrack> const* list);
    // Stops the transfer under way without its completion message.
    virtual void CancelTransfer() { }
    virtual bool IsTransferring() const { return false; }

    virtual UInt32 GetFeatures() const { return 0; }
    Kind GetKind() const { return mKind; }
    CString GetPath() const { return mPath; }
    // The receiver's product number (Garmin units), or the USB ids of a serial adapter (vendor
    // in the high half); 0 when unknown.
    UInt32 GetProductID() const { return mProductID; }
    // What the receiver calls itself; empty until it said so.
    CString GetProductName() const { return mProductName; }
    CDeviceLog& GetLog() { return mLog; }

    void SetGoneHandler(GoneHandler handler, void* context);
    bool IsGone() const { return mGone; }

protected:
    CDeviceGPS(Kind kind, CString const& path);

    void SetProductID(UInt32 productID) { mProductID = productID; }
    void SetProductName(CString const& name) { mProductName = name; }
    // "dcon": connected (noErr) or the attempt failed.
    void ReportConnect(OSStatus status);
    // "ddis" when connected.
    void ReportDisconnect(OSStatus status);
    void ReportFix(CGPSPosVelTime const& fix);
    void ReportProgress(UInt32 percent);
    void ReportFailure(OSStatus status);
    // The port or unit is gone: disconnects, then tells the manager once.
    void ReportGone();

private:
    Kind mKind;
    CString mPath;
    UInt32 mProductID = 0;
    CString mProductName;
    bool mConnected = false;
    bool mGone = false;
    bool mWarnedOpen = false;
    GoneHandler mGoneHandler = nullptr;
    void* mGoneContext = nullptr; // borrowed
    CDeviceLog mLog;
};
