#pragma once

// The synchronise sheet of a document window: the direction (receiver to
// document or back), the receiver, and the kinds to exchange, each offered
// only when the receiver supports it and, for an upload, when the document
// holds some. It yields the transfer's TransferInfo. Main thread.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "app/DeviceSheetSupport.h"
#include "docwindow/IDeviceSheets.h"
#include "devices/CDeviceTransfer.h"
#include "foundation/CMsgListener.h"
#include "framework/CWindowController.h"

class CCheckBox;
class CPopupButton;
class CPushButton;

class CSheetTransferConfig : public CWindowController,
                             public CMsgListener,
                             public CTWWindow,
                             public ITransferConfigSheet {
public:
    static constexpr char const* kNibWindow = "Transfer Config";
    static constexpr long kCopyFromDevice = 1, kCopyToDevice = 2; // "copy"

    // The document's contents are counted once, here.
    explicit CSheetTransferConfig(IDeviceDocument const* document = nullptr);
    ~CSheetTransferConfig() override;

    // What the document holds: kTransferRoutes, kTransferTracks, kTransferWaypoints.
    static UInt32 GetDocumentState(IDeviceDocument const* document);

    void SetTransferInfo(TransferInfo const& info) override;
    TransferInfo GetTransferInfo() const override;
    CDevice* GetSelectedDevice() const;

    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    void DoMessage(UInt32 message, void* parameter) override;

private:
    void RebuildDevices(CDevice const* going = nullptr);
    void DirectionChanged();
    void DeviceChanged();
    void KindChanged();
    void Offer(CCheckBox* box, bool offered);

    DeviceSheetSupport::DeviceMenu mDevices;
    TransferInfo mInfo;
    UInt32 mDocumentState = 0;
    CPopupButton* mDirection = nullptr; // weak: the window's controls
    CPopupButton* mDevicePopup = nullptr;
    CCheckBox* mRoutes = nullptr;
    CCheckBox* mTracks = nullptr;
    CCheckBox* mWaypoints = nullptr;
    CCheckBox* mMaps = nullptr;
    CPushButton* mStart = nullptr;
};
