#pragma once

// A live track recording: the fixes of one device, taken by the capture rule
// (every fix, every so many seconds, every so many metres), appended to a track
// of the document. It starts from a one-shot main-loop timer, shows its
// progress sheet and ends when the user stops it (FinishTrack with empty
// texts) or the device goes (FinishTrack saying why). Made and deleted by the
// document window; deleting it stops it without calling back. Main thread.

#include "devices/IDeviceDocument.h"
#include "foundation/CCoordinatePVT.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"

class CDevice;
class CDeviceGPS;
class CMapTrack;

// The parameters of a recording, filled by the record-track sheet.
struct TrackInfo {
    ITrackProgress* progressSheet = nullptr; // borrowed: the sheet the recorder reports to
    CDevice* device = nullptr; // borrowed: the device to record from
    CString progressText;
    CMapTrack* track = nullptr; // borrowed: owned by the document
    UInt32 captureMode = 0; // kCaptureEveryFix, kCaptureBySeconds, kCaptureByMetres
    UInt32 captureValue = 5; // [s] or [m]
};

class CDeviceTrack : public CMsgListener, public CTimerTask {
public:
    static constexpr double kStartDelay = 0.001; // [s]

    CDeviceTrack(IDeviceDocument* document, TrackInfo const& info);
    ~CDeviceTrack() override;

    TrackInfo const& GetTrackInfo() const { return mInfo; }
    bool IsRecording() const { return mDriver != nullptr; }
    UInt32 GetSampleCount() const { return mSamples; }

    void BeginTrack();
    // The user stopped the recording: FinishTrack with empty texts.
    void Stop();

    void DoMessage(UInt32 message, void* parameter) override;

protected:
    void DoTimer() override;

private:
    bool ShouldCapture(CCoordinatePVT const& sample) const;
    void Record(CCoordinatePVT const& sample);
    void Detach();
    void End(CString const& major, CString const& minor); // the last call: the document deletes us

    IDeviceDocument* mDocument; // borrowed: owns this recorder
    TrackInfo mInfo;
    CDeviceGPS* mDriver = nullptr; // borrowed: listened to while recording
    CMsgBroadcaster* mDriverBroadcaster = nullptr; // the driver as its "ebde" names it
    bool mHasLast = false;
    CCoordinatePVT mLast; // the last sample recorded
    UInt32 mSamples = 0;
    bool mEnded = false;
};
