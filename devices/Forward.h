#pragma once

// Forward declarations of the device layer's classes.

class CDevice;
class CDeviceDescription;
class CDeviceGarmin;
class CDeviceGPS;
class CDeviceInfo;
class CDeviceLog;
class CDeviceManager;
class CDeviceNMEA;
class CDeviceTrack;
class CDeviceTransfer;
class CGarminProtocols;
class CMainThreadPost;
class CNMEAParser;
class CSerialPort;
class CThreadNMEAScan;
class CUdevMonitor;
class CUSBTransportGarmin;
class IDeviceDocument;
class IDeviceMonitor;
class IDeviceWindow;
class IGarminTransport;
class ITrackProgress;
class ITransferProgress;
struct CGarminPacket;
struct CGPSPosVelTime;
struct CGPSRoute;
struct CGPSTrack;
struct CGPSTrackPoint;
struct CGPSWaypoint;
struct DeviceNotice;
struct TrackInfo;
struct TransferInfo;
