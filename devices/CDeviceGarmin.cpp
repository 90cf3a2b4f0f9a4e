#include "devices/CDeviceGarmin.h"

#include "devices/CGarminBytes.h"
#include "foundation/CPreferences.h"

CDeviceGarmin::CDeviceGarmin(std::unique_ptr<IGarminTransport> transport)
    : CDeviceGPS(kKindGarmin, transport ? transport->GetPath() : CString())
    , mTransport(std::move(transport))
{
}

CDeviceGarmin::~CDeviceGarmin()
{
    RemoveTimer();
    // A unit let go of would otherwise go on streaming fixes to nobody.
    StopPVT();
    if (mTransport)
        mTransport->Close();
}

UInt32 CDeviceGarmin::GetFeatures() const { return mState == kStateReady ? mProtocols.GetFeatures() : 0; }

OSStatus CDeviceGarmin::Connect()
{
    if (mState != kStateClosed || IsGone())
        return noErr;
    if (!mTransport)
        return kDeviceOpenErr;
    GetLog().Refresh();
    OSStatus status = mTransport->Open(this);
    if (status != noErr) {
        FailConnect(status);
        return status;
    }
    mProtocols = CGarminProtocols();
    mWrites.clear();
    mSessionTries = 1;
    mState = kStateStartingSession;
    InstallTimer(kSessionTimeout, 0);
    status = Send(CGarminPacket::kTypeUSBProtocol, CGarminPacket::kPidStartSession);
    if (status != noErr)
        FailConnect(status);
    return status;
}

void CDeviceGarmin::Disconnect()
{
    if (mState == kStateClosed)
        return;
    StopPVT();
    if (IsTransferring())
        FailTransfer(kDeviceNotConnectedErr, false);
    Shut(noErr);
}

// Closes the pipes; "ddis" when the unit was connected.
void CDeviceGarmin::Shut(OSStatus status)
{
    RemoveTimer();
    mState = kStateClosed;
    mPosVelTime = mPosVelTimePaused = false;
    mTransfer = Transfer();
    mWrites.clear();
    if (mTransport)
        mTransport->Close();
    ReportDisconnect(status);
}

void CDeviceGarmin::FailConnect(OSStatus status)
{
    bool const wasOpen = mState != kStateClosed;
    RemoveTimer();
    mState = kStateClosed;
    if (wasOpen && mTransport)
        mTransport->Close();
    ReportConnect(status);
    if (status == kDeviceGoneErr || status == fnfErr)
        ReportGone();
}

OSStatus CDeviceGarmin::Write(CGarminPacket const& packet, bool upload)
{
    GetLog().LogBytes(">", packet.id, packet.data.data(), packet.data.size());
    OSStatus status = mTransport->Write(packet);
    if (status == noErr)
        mWrites.push_back(upload);
    return status;
}

OSStatus CDeviceGarmin::Send(UInt8 type, UInt16 id, std::vector<UInt8> data)
{
    return Write({ type, id, std::move(data) }, false);
}

OSStatus CDeviceGarmin::SendCommand(CGarminProtocols::Command command)
{
    UInt16 const packetID = mProtocols.GetPacketID(CGarminProtocols::kPacketCommandData);
    UInt16 const commandID = mProtocols.GetCommandID(command);
    if (packetID == CGarminProtocols::kNone || commandID == CGarminProtocols::kNone)
        return kDeviceUnsupportedErr;
    return Send(CGarminPacket::kTypeApplication, packetID, { UInt8(commandID), UInt8(commandID >> 8) });
}

void CDeviceGarmin::PacketReceived(CGarminPacket const& packet)
{
    GetLog().LogBytes("<", packet.id, packet.data.data(), packet.data.size());
    switch (mState) {
    case kStateClosed:
        break;
    case kStateStartingSession:
        SessionPacket(packet);
        break;
    case kStateAskingProduct:
    case kStateWaitingProtocols:
        ProductPacket(packet);
        break;
    case kStateReady:
        TransferPacket(packet);
        break;
    }
}

void CDeviceGarmin::SessionPacket(CGarminPacket const& packet)
{
    if (packet.type != CGarminPacket::kTypeUSBProtocol || packet.id != CGarminPacket::kPidSessionStarted)
        return;
    CGarminReader reader(packet.data.data(), packet.data.size());
    mUnitID = reader.ReadUInt32();
    if (!reader.IsGood()) {
        FailConnect(kDeviceProtocolErr);
        return;
    }
    mState = kStateAskingProduct;
    InstallTimer(kAnswerTimeout, 0);
    Send(CGarminPacket::kTypeApplication, CGarminProtocols::kPidProductRequest);
}

void CDeviceGarmin::ProductPacket(CGarminPacket const& packet)
{
    if (packet.type != CGarminPacket::kTypeApplication)
        return;
    if (packet.id == CGarminProtocols::kPidProductData && mState == kStateAskingProduct) {
        CGarminProductData product;
        if (product.Decode(packet.data.data(), packet.data.size()) != noErr) {
            FailConnect(kDeviceProtocolErr);
            return;
        }
        SetProductID(product.productID);
        SetProductName(product.description);
        mSoftwareVersion = product.softwareVersion;
        // Units made before the protocol array existed send none: wait a little, then go on.
        mState = kStateWaitingProtocols;
        InstallTimer(kProtocolTimeout, 0);
    } else if (packet.id == CGarminProtocols::kPidProtocolArray && mState == kStateWaitingProtocols) {
        if (mProtocols.ParseProtocolArray(packet.data.data(), packet.data.size()) != noErr) {
            FailConnect(kDeviceProtocolErr);
            return;
        }
        BecomeReady();
    }
}

void CDeviceGarmin::BecomeReady()
{
    RemoveTimer();
    mState = kStateReady;
    // A unit left halfway through an earlier transfer may need the abort that the
    // preferences ask for its link and command protocols.
    CPreferences preferences;
    if (preferences.GetBoolean("DeviceReset", false)) {
        CString key;
        key.Format("DeviceResetL%03uA%03u", unsigned(mProtocols.GetLink()), unsigned(mProtocols.GetCommand()));
        if (preferences.GetBoolean(key, false))
            SendCommand(CGarminProtocols::kCommandAbort);
    }
    GetLog().LogEvent(
        "product %u version %d: %s", unsigned(GetProductID()), int(mSoftwareVersion), GetProductName().GetUTF8());
    ReportConnect(noErr);
}

OSStatus CDeviceGarmin::StartPVT()
{
    if (mState != kStateReady)
        return kDeviceNotConnectedErr;
    if (!mProtocols.HasPosVelTime())
        return kDeviceUnsupportedErr;
    TW_RETURN_IF_ERROR(SendCommand(CGarminProtocols::kCommandStartPVT));
    mPosVelTime = true;
    return noErr;
}

OSStatus CDeviceGarmin::StopPVT()
{
    if (mState != kStateReady || !mPosVelTime)
        return noErr;
    mPosVelTime = false;
    if (mPosVelTimePaused) {
        mPosVelTimePaused = false; // already stopped for the transfer
        return noErr;
    }
    return SendCommand(CGarminProtocols::kCommandStopPVT);
}

void CDeviceGarmin::PausePosVelTime()
{
    if (!mPosVelTime || mPosVelTimePaused)
        return;
    if (SendCommand(CGarminProtocols::kCommandStopPVT) == noErr)
        mPosVelTimePaused = true;
}

void CDeviceGarmin::ResumePosVelTime()
{
    if (!mPosVelTimePaused)
        return;
    mPosVelTimePaused = false;
    if (mState == kStateReady && mPosVelTime)
        SendCommand(CGarminProtocols::kCommandStartPVT);
}

void CDeviceGarmin::PacketSent(OSStatus status)
{
    if (status != noErr) {
        TransportFailed(status);
        return;
    }
    if (mWrites.empty())
        return;
    bool const upload = mWrites.front();
    mWrites.pop_front();
    if (upload && mTransfer.toDevice && mTransfer.inFlight > 0) {
        --mTransfer.inFlight;
        ++mTransfer.done;
        InstallTimer(kAnswerTimeout, 0);
        CountProgress();
        PumpUpload();
    }
}

void CDeviceGarmin::TransportFailed(OSStatus status)
{
    if (mState == kStateClosed)
        return;
    if (mState != kStateReady) {
        FailConnect(status);
        return;
    }
    mPosVelTimePaused = false; // the pipes are gone: nothing to start again
    if (IsTransferring())
        FailTransfer(status, false);
    Shut(status);
    if (status == kDeviceGoneErr)
        ReportGone();
}

void CDeviceGarmin::DoTimer()
{
    RemoveTimer();
    switch (mState) {
    case kStateStartingSession:
        if (mSessionTries < kSessionTries) {
            ++mSessionTries;
            InstallTimer(kSessionTimeout, 0);
            Send(CGarminPacket::kTypeUSBProtocol, CGarminPacket::kPidStartSession);
        } else {
            FailConnect(kDeviceTimeoutErr);
        }
        break;
    case kStateAskingProduct:
        FailConnect(kDeviceTimeoutErr);
        break;
    case kStateWaitingProtocols:
        BecomeReady();
        break;
    case kStateReady:
        if (IsTransferring())
            FailTransfer(kDeviceTimeoutErr, true);
        break;
    case kStateClosed:
        break;
    }
}
