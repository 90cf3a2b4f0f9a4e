#pragma once

// What a map document window asks of the sheets it opens through the shell
// for its view location, track recording and transfers: the shell's sheets
// implement these beside their window controllers. Main thread only.

#include "devices/CDeviceTrack.h"
#include "devices/CDeviceTransfer.h"
#include "foundation/CCoordinate.h"

class CMacWindow;
class CViewMap;

class ITrackConfigSheet {
public:
    virtual ~ITrackConfigSheet() = default;
    virtual void SetTrackInfo(TrackInfo const& info) = 0;
    virtual TrackInfo GetTrackInfo() const = 0;
};

class ITransferConfigSheet {
public:
    virtual ~ITransferConfigSheet() = default;
    virtual void SetTransferInfo(TransferInfo const& info) = 0;
    virtual TransferInfo GetTransferInfo() const = 0;
};

// A progress sheet made hidden, shown on the window by the recorder or transfer it reports for.
class IProgressSheet {
public:
    virtual ~IProgressSheet() = default;
    virtual void SetParentWindow(CMacWindow* parent) = 0;
};

class IViewLocationSheet {
public:
    virtual ~IViewLocationSheet() = default;
    // Moves the place shown, and the map, there.
    virtual void ShowLocation(CCoordinate const& coordinate, unsigned long zoom) = 0;
};
