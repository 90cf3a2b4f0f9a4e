#include "devices/CUSBTransportGarmin.h"

#include "devices/DeviceTypes.h"
#include "services/ThreadSignalStack.h"

#include <chrono>
#include <libusb.h>

namespace {

constexpr unsigned kWriteTimeout = 2000; // [ms]

OSStatus StatusOf(int error)
{
    switch (error) {
    case LIBUSB_SUCCESS:
        return noErr;
    case LIBUSB_ERROR_NO_DEVICE:
        return kDeviceGoneErr;
    case LIBUSB_ERROR_NOT_FOUND:
        return fnfErr;
    case LIBUSB_ERROR_NO_MEM:
        return memFullErr;
    default:
        return kDeviceOpenErr;
    }
}

OSStatus StatusOfTransfer(libusb_transfer_status status)
{
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED:
        return noErr;
    case LIBUSB_TRANSFER_NO_DEVICE:
        return kDeviceGoneErr;
    case LIBUSB_TRANSFER_TIMED_OUT:
        return kDeviceTimeoutErr;
    default:
        return ioErr;
    }
}

} // namespace

CUSBTransportGarmin::CUSBTransportGarmin(UInt8 bus, UInt8 address, CString const& path)
    : mBus(bus)
    , mAddress(address)
    , mPath(path)
    , mPost(&CUSBTransportGarmin::Deliver, this)
{
}

CUSBTransportGarmin::~CUSBTransportGarmin() { Close(); }

OSStatus CUSBTransportGarmin::Open(Client* client)
{
    if (mHandle)
        return noErr;
    if (libusb_init(&mContext) != LIBUSB_SUCCESS) {
        mContext = nullptr;
        return kDeviceOpenErr;
    }
    OSStatus status = Claim();
    if (status == noErr)
        status = FindEndpoints();
    if (status == noErr) {
        mClient = client;
        status = StartTransfers();
    }
    if (status != noErr) {
        Close();
        if (mContext)
            libusb_exit(mContext);
        mContext = nullptr;
        return status;
    }
    mThread = std::thread(&CUSBTransportGarmin::Run, this);
    return noErr;
}

OSStatus CUSBTransportGarmin::Claim()
{
    libusb_device** list = nullptr;
    ssize_t count = libusb_get_device_list(mContext, &list);
    if (count < 0)
        return StatusOf(int(count));
    int error = LIBUSB_ERROR_NOT_FOUND;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor {};
        if (libusb_get_bus_number(list[i]) != mBus || libusb_get_device_address(list[i]) != mAddress
            || libusb_get_device_descriptor(list[i], &descriptor) != LIBUSB_SUCCESS
            || descriptor.idVendor != kVendorGarmin || descriptor.idProduct != kProductGarminUSB)
            continue;
        error = libusb_open(list[i], &mHandle);
        break;
    }
    libusb_free_device_list(list, 1);
    if (error != LIBUSB_SUCCESS) {
        mHandle = nullptr;
        return StatusOf(error);
    }
    // The kernel's garmin_gps driver turns the unit into a serial port; it must let go, and
    // gets the unit back when we release it.
    if (libusb_set_auto_detach_kernel_driver(mHandle, 1) != LIBUSB_SUCCESS
        && libusb_kernel_driver_active(mHandle, 0) == 1)
        libusb_detach_kernel_driver(mHandle, 0);
    error = libusb_claim_interface(mHandle, 0);
    if (error != LIBUSB_SUCCESS) {
        libusb_close(mHandle);
        mHandle = nullptr;
        return StatusOf(error);
    }
    return noErr;
}

OSStatus CUSBTransportGarmin::FindEndpoints()
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(libusb_get_device(mHandle), &config) != LIBUSB_SUCCESS)
        return kDeviceOpenErr;
    mBulkIn = mBulkOut = mInterruptIn = 0;
    if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0) {
        libusb_interface_descriptor const& interface = config->interface[0].altsetting[0];
        for (int i = 0; i < interface.bNumEndpoints; ++i) {
            libusb_endpoint_descriptor const& endpoint = interface.endpoint[i];
            int const type = endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK;
            bool const in = (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN;
            if (type == LIBUSB_TRANSFER_TYPE_BULK && in)
                mBulkIn = endpoint.bEndpointAddress;
            else if (type == LIBUSB_TRANSFER_TYPE_BULK)
                mBulkOut = endpoint.bEndpointAddress;
            else if (type == LIBUSB_TRANSFER_TYPE_INTERRUPT && in)
                mInterruptIn = endpoint.bEndpointAddress;
        }
    }
    libusb_free_config_descriptor(config);
    return mBulkIn && mBulkOut && mInterruptIn ? noErr : kDeviceOpenErr;
}

OSStatus CUSBTransportGarmin::StartTransfers()
{
    mInterrupt = libusb_alloc_transfer(0);
    mBulkRead = libusb_alloc_transfer(0);
    mBulkWrite = libusb_alloc_transfer(0);
    if (!mInterrupt || !mBulkRead || !mBulkWrite)
        return memFullErr;
    mInterruptBuffer.assign(kReadBufferSize, 0);
    mBulkBuffer.assign(kReadBufferSize, 0);
    mInterruptFramer.Reset();
    mBulkFramer.Reset();
    std::lock_guard lock(mMutex);
    mClosing = mFailed = mWriting = mReadingBulk = mDataWaiting = false;
    mWrites.clear();
    mEvents.clear();
    libusb_fill_interrupt_transfer(mInterrupt, mHandle, mInterruptIn, mInterruptBuffer.data(),
        int(mInterruptBuffer.size()), &CUSBTransportGarmin::InterruptDone, this, 0);
    libusb_fill_bulk_transfer(mBulkRead, mHandle, mBulkIn, mBulkBuffer.data(), int(mBulkBuffer.size()),
        &CUSBTransportGarmin::BulkInDone, this, 0);
    int error = libusb_submit_transfer(mInterrupt);
    if (error != LIBUSB_SUCCESS)
        return StatusOf(error);
    mActive = 1;
    return noErr;
}

void CUSBTransportGarmin::Close()
{
    if (mThread.joinable()) {
        {
            // The last packets (live fixes stopped) must reach the unit before it is let go.
            std::unique_lock lock(mMutex);
            mWritesDone.wait_for(lock, std::chrono::milliseconds(kCloseWait),
                [this] { return mFailed || (!mWriting && mWrites.empty()); });
            mClosing = true;
        }
        for (libusb_transfer* transfer : { mInterrupt, mBulkRead, mBulkWrite })
            libusb_cancel_transfer(transfer);
        libusb_interrupt_event_handler(mContext);
        mThread.join();
    }
    mClient = nullptr;
    for (libusb_transfer** transfer : { &mInterrupt, &mBulkRead, &mBulkWrite }) {
        if (*transfer)
            libusb_free_transfer(*transfer);
        *transfer = nullptr;
    }
    if (mHandle) {
        libusb_release_interface(mHandle, 0);
        libusb_close(mHandle);
        mHandle = nullptr;
        libusb_exit(mContext);
        mContext = nullptr;
    }
    std::lock_guard lock(mMutex);
    mWrites.clear();
    mEvents.clear();
    mActive = 0;
}

OSStatus CUSBTransportGarmin::Write(CGarminPacket const& packet)
{
    if (!mHandle)
        return kDeviceNotConnectedErr;
    std::lock_guard lock(mMutex);
    if (mFailed)
        return kDeviceGoneErr;
    mWrites.push_back(packet.Encode());
    SubmitNextWrite();
    return noErr;
}

void CUSBTransportGarmin::SubmitNextWrite()
{
    if (mWriting || mWrites.empty() || mClosing)
        return;
    mWriteBuffer = std::move(mWrites.front());
    mWrites.pop_front();
    libusb_fill_bulk_transfer(mBulkWrite, mHandle, mBulkOut, mWriteBuffer.data(), int(mWriteBuffer.size()),
        &CUSBTransportGarmin::BulkOutDone, this, kWriteTimeout);
    // A write that fills whole USB packets would otherwise look unfinished to the unit.
    mBulkWrite->flags = LIBUSB_TRANSFER_ADD_ZERO_PACKET;
    int error = libusb_submit_transfer(mBulkWrite);
    if (error != LIBUSB_SUCCESS) {
        mEvents.push_back({ Event::kSent, {}, StatusOf(error) });
        mPost.Signal();
        return;
    }
    mWriting = true;
    ++mActive;
}

void CUSBTransportGarmin::Run()
{
    tw::services::ThreadSignalStack const signalStack;
    for (;;) {
        {
            std::lock_guard lock(mMutex);
            if (mClosing && mActive == 0)
                return;
        }
        libusb_handle_events(mContext);
    }
}

void CUSBTransportGarmin::Post(Event&& event)
{
    {
        std::lock_guard lock(mMutex);
        if (mClosing)
            return;
        mEvents.push_back(std::move(event));
    }
    mPost.Signal();
}

void CUSBTransportGarmin::Fail(OSStatus status)
{
    {
        std::lock_guard lock(mMutex);
        if (mFailed)
            return;
        mFailed = true;
        mWritesDone.notify_all();
    }
    Post({ Event::kFailed, {}, status });
}

void CUSBTransportGarmin::Finished(libusb_transfer* transfer)
{
    std::lock_guard lock(mMutex);
    --mActive;
    if (transfer == mBulkRead)
        mReadingBulk = false;
    else if (transfer == mBulkWrite)
        mWriting = false;
    mWritesDone.notify_all();
}

void CUSBTransportGarmin::InterruptDone(libusb_transfer* transfer)
{
    auto* self = static_cast<CUSBTransportGarmin*>(transfer->user_data);
    if (!self->ReadCompleted(transfer))
        return;
    std::vector<CGarminPacket> packets;
    if (!self->ReadPackets(self->mInterruptFramer, transfer, packets))
        return;
    for (CGarminPacket& packet : packets) {
        if (packet.type == CGarminPacket::kTypeUSBProtocol && packet.id == CGarminPacket::kPidDataAvailable) {
            // The unit has packets waiting on the bulk pipe: read it until it sends an empty one.
            std::lock_guard lock(self->mMutex);
            if (self->mReadingBulk)
                self->mDataWaiting = true; // the read under way may end before these packets
            else if (!self->mClosing && libusb_submit_transfer(self->mBulkRead) == LIBUSB_SUCCESS) {
                self->mReadingBulk = true;
                ++self->mActive;
            }
        } else {
            self->Post({ Event::kPacket, std::move(packet) });
        }
    }
    self->ReadAgain(transfer);
}

void CUSBTransportGarmin::BulkInDone(libusb_transfer* transfer)
{
    auto* self = static_cast<CUSBTransportGarmin*>(transfer->user_data);
    if (!self->ReadCompleted(transfer))
        return;
    if (transfer->actual_length == 0) {
        if (self->mBulkFramer.EndBurst() != noErr) {
            self->Fail(kDeviceProtocolErr);
            self->Finished(transfer);
            return;
        }
        // The unit said meanwhile that more is waiting: read on.
        std::unique_lock lock(self->mMutex);
        if (!self->mDataWaiting || self->mClosing) {
            lock.unlock();
            self->Finished(transfer);
            return;
        }
        self->mDataWaiting = false;
        if (libusb_submit_transfer(transfer) != LIBUSB_SUCCESS) {
            lock.unlock();
            self->Fail(kDeviceGoneErr);
            self->Finished(transfer);
        }
        return;
    }
    std::vector<CGarminPacket> packets;
    if (!self->ReadPackets(self->mBulkFramer, transfer, packets))
        return;
    for (CGarminPacket& packet : packets)
        self->Post({ Event::kPacket, std::move(packet) });
    self->ReadAgain(transfer);
}

bool CUSBTransportGarmin::ReadCompleted(libusb_transfer* transfer)
{
    if (transfer->status == LIBUSB_TRANSFER_COMPLETED)
        return true;
    if (transfer->status != LIBUSB_TRANSFER_CANCELLED)
        Fail(StatusOfTransfer(transfer->status));
    Finished(transfer);
    return false;
}

bool CUSBTransportGarmin::ReadPackets(
    CGarminUSBFramer& framer, libusb_transfer* transfer, std::vector<CGarminPacket>& packets)
{
    if (framer.Feed(transfer->buffer, std::size_t(transfer->actual_length), packets) == noErr)
        return true;
    Fail(kDeviceProtocolErr);
    Finished(transfer);
    return false;
}

void CUSBTransportGarmin::ReadAgain(libusb_transfer* transfer)
{
    std::unique_lock lock(mMutex);
    if (mClosing || libusb_submit_transfer(transfer) != LIBUSB_SUCCESS) {
        bool const closing = mClosing;
        lock.unlock();
        if (!closing)
            Fail(kDeviceGoneErr);
        Finished(transfer);
    }
}

void CUSBTransportGarmin::BulkOutDone(libusb_transfer* transfer)
{
    auto* self = static_cast<CUSBTransportGarmin*>(transfer->user_data);
    if (transfer->status == LIBUSB_TRANSFER_CANCELLED) {
        self->Finished(transfer);
        return;
    }
    OSStatus status = StatusOfTransfer(transfer->status);
    if (status == noErr && transfer->actual_length != transfer->length)
        status = ioErr;
    self->Post({ Event::kSent, {}, status });
    std::lock_guard lock(self->mMutex);
    --self->mActive;
    self->mWriting = false;
    if (status == noErr)
        self->SubmitNextWrite();
    else
        self->mWrites.clear(); // the rest cannot follow a packet that did not go
    self->mWritesDone.notify_all();
}

void CUSBTransportGarmin::Deliver(void* context)
{
    auto* self = static_cast<CUSBTransportGarmin*>(context);
    std::deque<Event> events;
    {
        std::lock_guard lock(self->mMutex);
        events.swap(self->mEvents);
    }
    // The client may close the transport while it hears of one event: the rest are dropped.
    for (Event const& event : events) {
        if (!self->mClient)
            return;
        switch (event.kind) {
        case Event::kPacket:
            self->mClient->PacketReceived(event.packet);
            break;
        case Event::kSent:
            self->mClient->PacketSent(event.status);
            break;
        case Event::kFailed:
            self->mClient->TransportFailed(event.status);
            break;
        }
    }
}
