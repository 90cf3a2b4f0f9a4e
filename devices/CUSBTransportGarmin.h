#pragma once

// The Garmin USB transport on libusb-1.0: claims interface 0 of the unit
// (detaching the kernel's own Garmin serial driver when it holds it), keeps an
// interrupt read waiting, reads the bulk pipe from each "data available" until
// a zero-length packet (and on, when another "data available" came meanwhile),
// and writes packets to the bulk pipe one at a time,
// ending a write that fills whole USB packets with a zero-length one. The
// transfers run on an I/O thread of its own (blocked in libusb while nothing
// moves); what arrives reaches the client on the main thread.

#include "devices/CGarminPacket.h"
#include "devices/CMainThreadPost.h"
#include "devices/IGarminTransport.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct libusb_context;
struct libusb_device_handle;
struct libusb_transfer;

class CUSBTransportGarmin : public IGarminTransport {
public:
    static constexpr UInt16 kVendorGarmin = 0x091E;
    static constexpr UInt16 kProductGarminUSB = 0x0003;
    static constexpr std::size_t kReadBufferSize = 4096 + CGarminPacket::kHeaderSize; // [bytes]
    static constexpr unsigned kCloseWait = 500; // [ms] for packets already written to go out on Close

    // The unit at that bus and address; the path names it for people.
    CUSBTransportGarmin(UInt8 bus, UInt8 address, CString const& path);
    ~CUSBTransportGarmin() override;

    // fnfErr when no Garmin unit is at that address, kDeviceOpenErr when it cannot be claimed
    // (no permission: see the udev rule), kDeviceGoneErr when it went while opening.
    OSStatus Open(Client* client) override;
    void Close() override;
    bool IsOpen() const override { return mHandle != nullptr; }
    OSStatus Write(CGarminPacket const& packet) override;
    CString GetPath() const override { return mPath; }

private:
    struct Event {
        enum Kind { kPacket, kSent, kFailed } kind;
        CGarminPacket packet;
        OSStatus status = noErr;
    };

    OSStatus Claim();
    OSStatus FindEndpoints();
    OSStatus StartTransfers();
    void Run();
    void Post(Event&& event); // I/O thread
    static void Deliver(void* context); // main thread
    void SubmitNextWrite(); // with mMutex held
    void Fail(OSStatus status); // I/O thread
    static void InterruptDone(libusb_transfer* transfer);
    static void BulkInDone(libusb_transfer* transfer);
    static void BulkOutDone(libusb_transfer* transfer);
    void Finished(libusb_transfer* transfer); // a transfer will not be resubmitted
    // The steps both read loops share (I/O thread). Each returns false when it has ended
    // the loop: the read did not complete, or its bytes were not packets.
    bool ReadCompleted(libusb_transfer* transfer);
    bool ReadPackets(CGarminUSBFramer& framer, libusb_transfer* transfer, std::vector<CGarminPacket>& packets);
    void ReadAgain(libusb_transfer* transfer); // unless closing; a refused submission is a lost unit

    UInt8 mBus;
    UInt8 mAddress;
    CString mPath;
    Client* mClient = nullptr; // borrowed
    CMainThreadPost mPost;

    libusb_context* mContext = nullptr; // owns
    libusb_device_handle* mHandle = nullptr; // owns
    UInt8 mBulkIn = 0, mBulkOut = 0, mInterruptIn = 0; // endpoint addresses
    libusb_transfer* mInterrupt = nullptr; // owns
    libusb_transfer* mBulkRead = nullptr; // owns
    libusb_transfer* mBulkWrite = nullptr; // owns
    std::vector<UInt8> mInterruptBuffer, mBulkBuffer, mWriteBuffer;
    CGarminUSBFramer mInterruptFramer, mBulkFramer; // I/O thread only
    std::thread mThread;

    std::mutex mMutex; // guards what follows
    std::condition_variable mWritesDone; // the bulk pipe has nothing left to send
    std::deque<std::vector<UInt8>> mWrites; // encoded packets waiting for the bulk pipe
    std::deque<Event> mEvents; // for the main thread
    bool mWriting = false;
    bool mReadingBulk = false;
    bool mDataWaiting = false; // "data available" came while the bulk pipe was being read
    bool mClosing = false;
    bool mFailed = false;
    int mActive = 0; // submitted transfers
};
