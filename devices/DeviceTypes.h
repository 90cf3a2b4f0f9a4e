#pragma once

// Values shared by the device layer and its callers: status codes, feature
// and transfer-kind bits, and the messages a GPS driver broadcasts with their
// parameter records.

#include "foundation/Status.h"

#include <vector>

class CDeviceGPS;
struct CGPSPosVelTime;
struct CGPSRoute;
struct CGPSTrack;
struct CGPSWaypoint;

// Failures of the device layer.
inline constexpr OSStatus kDeviceTimeoutErr = -3400; // the receiver did not answer in time
inline constexpr OSStatus kDeviceProtocolErr = -3401; // a packet or sentence broke the protocol
inline constexpr OSStatus kDeviceBusyErr = -3402; // another transfer is under way
inline constexpr OSStatus kDeviceNotConnectedErr = -3403;
inline constexpr OSStatus kDeviceGoneErr = -3404; // unplugged, or its port vanished
inline constexpr OSStatus kDeviceUnsupportedErr = -3405; // the receiver does not offer this
inline constexpr OSStatus kDeviceOpenErr = -3406; // the port or USB device cannot be opened

// Feature bits of a device (CDevice::GetFeatures). Tested by the transfer sheet: never renumber.
enum : UInt32 {
    kDeviceFeatureRoutes = 0x001,
    kDeviceFeatureTracks = 0x002,
    kDeviceFeatureWaypoints = 0x004,
    kDeviceFeatureMapUpload = 0x400,
    kDeviceFeatureTransfers
    = kDeviceFeatureRoutes | kDeviceFeatureTracks | kDeviceFeatureWaypoints | kDeviceFeatureMapUpload,
};

// Kinds of a transfer (TransferInfo::kinds).
enum : UInt32 {
    kTransferRoutes = 0x1,
    kTransferTracks = 0x2,
    kTransferWaypoints = 0x4,
    kTransferMaps = 0x8,
};

// Capture modes of a live track recording (TrackInfo::captureMode). Never renumber.
enum : UInt32 {
    kCaptureEveryFix = 0,
    kCaptureBySeconds = 1,
    kCaptureByMetres = 2,
};

// Messages of a GPS driver (CDeviceGPS) and the parameter each carries.
enum : UInt32 {
    kMsgGPSConnected = 'dcon', // MsgGPSConnection*: the connection attempt ended (status 0: connected)
    kMsgGPSDisconnected = 'ddis', // MsgGPSConnection*: the connection ended
    kMsgGPSPosVelTime = 'tpvt', // CGPSPosVelTime const*: a position fix
    kMsgGPSWaypoints = 'tway', // MsgGPSTransferedWaypoints*
    kMsgGPSRoutes = 'trot', // MsgGPSTransferedRoutes*
    kMsgGPSTracks = 'ttra', // MsgGPSTransferedTracks*
    kMsgGPSProgress = 'tpro', // MsgGPSProgress*
    kMsgGPSFailed = 'tfal', // MsgGPSFailure*
    kMsgGPSMapSent = 'tmap', // no parameter
};

// Messages of the device manager; the parameter is the CDevice*.
enum : UInt32 {
    kMsgDeviceAdded = 'dvad',
    kMsgDeviceRemoved = 'dvrm',
};

struct MsgGPSConnection {
    CDeviceGPS* driver; // borrowed
    OSStatus status;
};

// A finished transfer: what came from the receiver, or what was sent to it.
struct MsgGPSTransferedWaypoints {
    CDeviceGPS* driver; // borrowed
    bool toDevice;
    std::vector<CGPSWaypoint> const* waypoints; // borrowed for the broadcast
};

struct MsgGPSTransferedRoutes {
    CDeviceGPS* driver; // borrowed
    bool toDevice;
    std::vector<CGPSRoute> const* routes; // borrowed for the broadcast
};

struct MsgGPSTransferedTracks {
    CDeviceGPS* driver; // borrowed
    bool toDevice;
    std::vector<CGPSTrack> const* tracks; // borrowed for the broadcast
};

struct MsgGPSProgress {
    CDeviceGPS* driver; // borrowed
    UInt32 percent; // of the transfer under way, 0 to 100
};

struct MsgGPSFailure {
    CDeviceGPS* driver; // borrowed
    OSStatus status;
};
