#pragma once

// The record-track sheet of a document window: the receiver to record from
// (those that know where they are, offered within a second of their first
// fix) and the capture rule, every fix or every so many seconds or metres
// (yards in imperial units). It yields the recording's TrackInfo. Main thread.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "app/DeviceSheetSupport.h"
#include "docwindow/IDeviceSheets.h"
#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "devices/CDeviceTrack.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"
#include "framework/CWindowController.h"

class CEditText;
class CPopupButton;
class CPushButton;
class CRadioGroup;

class CSheetTrackConfig : public CWindowController,
                          public CMsgListener,
                          public CTimerTask,
                          public CBKeyValueObserver,
                          public CTWWindow,
                          public ITrackConfigSheet {
public:
    static constexpr char const* kNibWindow = "Track Config";
    static constexpr double kRefreshInterval = 1.0; // [s]
    static constexpr double kMetresPerYard = 0.9144;

    CSheetTrackConfig() = default;
    ~CSheetTrackConfig() override;

    void SetTrackInfo(TrackInfo const& info) override;
    TrackInfo GetTrackInfo() const override;
    CDevice* GetSelectedDevice() const;

    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    void DoMessage(UInt32 message, void* parameter) override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

protected:
    void DoTimer() override;

private:
    void RebuildDevices(CDevice const* going = nullptr);
    void CaptureChanged();
    void UpdateUnitText();

    DeviceSheetSupport::DeviceMenu mDevices;
    TrackInfo mInfo;
    CPopupButton* mDevicePopup = nullptr; // weak: the window's controls
    CRadioGroup* mCapture = nullptr;
    CPopupButton* mUnit = nullptr;
    CEditText* mValue = nullptr;
    CPushButton* mStart = nullptr;
};
