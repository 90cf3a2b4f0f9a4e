#pragma once

// A transfer between a document and a receiver: one action per chosen kind
// (waypoints, then routes, then tracks), one after another, starting from a
// one-shot main-loop timer. Its progress sheet counts 100 per action. A
// download passes no list to the driver; when the last action is done the
// records become map objects: a received waypoint updates the document's
// waypoint of the same name, other records are added as new objects. Nothing
// reaches the document unless every action succeeded. Made and deleted by the
// document window; deleting it cancels it without calling back. Main thread.

#include "devices/CGPSRoute.h"
#include "devices/CGPSTrack.h"
#include "devices/DeviceTypes.h"
#include "devices/IDeviceDocument.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"

class CDevice;
class CDeviceGPS;
class CMapObject;
class CMapRoute;
class CMapTrack;
class CMapWaypoint;

// The parameters of a transfer, filled by the transfer sheet.
struct TransferInfo {
    ITransferProgress* progressSheet = nullptr; // borrowed: the sheet the transfer reports to
    CDevice* device = nullptr; // borrowed: the device to exchange with
    CString progressText;
    CString successText;
    bool toDevice = false; // true: from the document to the device
    UInt32 kinds = 7; // kTransferRoutes, kTransferTracks, kTransferWaypoints
};

class CDeviceTransfer : public CMsgListener, public CTimerTask {
public:
    static constexpr double kStartDelay = 0.001; // [s]

    CDeviceTransfer(IDeviceDocument* document, TransferInfo const& info);
    ~CDeviceTransfer() override;

    TransferInfo const& GetTransferInfo() const { return mInfo; }
    // An upload sends copies taken when it begins, and a download touches the document only
    // when it ends: the document may remove objects while a transfer runs.

    void BeginTransfer();
    // The user cancelled: the receiver is told to stop and the document keeps what it had.
    void Cancel();

    void DoMessage(UInt32 message, void* parameter) override;

    // Map objects as records (CDeviceTransfer_Objects.cpp). An altitude of 0 counts as
    // unknown: documents do not tell sea level from no altitude.
    static CGPSWaypoint MakeWaypoint(CMapWaypoint const& waypoint);
    static CGPSRoute MakeRoute(CMapRoute const& route);
    static CGPSTrack MakeTrack(CMapTrack const& track);

protected:
    void DoTimer() override;

private:
    enum Action : UInt32 {
        kActionWaypoints,
        kActionRoutes,
        kActionTracks,
    };

    void CollectUploads();
    void StartAction();
    void ActionDone();
    struct Received; // the objects a download makes, before the document takes them
    void Apply(); // the received records into the document
    CMapWaypoint* FindWaypoint(CString const& name, Received& received) const;
    CMapWaypoint* ApplyWaypoint(CGPSWaypoint const& record, Received& received) const;
    void Detach();
    void Fail(OSStatus status);
    void End(CString const& major, CString const& minor); // the last call: the document deletes us

    IDeviceDocument* mDocument; // borrowed: owns this transfer
    TransferInfo mInfo;
    CDeviceGPS* mDriver = nullptr; // borrowed: listened to while transferring
    CMsgBroadcaster* mDriverBroadcaster = nullptr; // the driver as its "ebde" names it
    std::vector<Action> mActions;
    std::size_t mCurrent = 0; // index into mActions
    std::vector<CGPSWaypoint> mWaypoints; // sent, or received
    std::vector<CGPSRoute> mRoutes;
    std::vector<CGPSTrack> mTracks;
    bool mEnded = false;
};
