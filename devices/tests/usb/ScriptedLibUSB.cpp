#include "devices/tests/usb/ScriptedLibUSB.h"

#include "devices/CGarminRecords.h"
#include "devices/tests/support/DeviceTestSupport.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <libusb.h>

// The library's handles, opaque to its users: here one of each.
struct libusb_context {
    int unused;
};
struct libusb_device {
    int unused;
};
struct libusb_device_handle {
    int unused;
};

namespace {

libusb_context gContext {};
libusb_device gDevice {};
libusb_device_handle gHandle {};

} // namespace

namespace tw::test {

namespace {

    bool IsDataAvailable(std::vector<UInt8> const& bytes)
    {
        return bytes.size() >= 6 && bytes[0] == CGarminPacket::kTypeUSBProtocol
            && bytes[4] == CGarminPacket::kPidDataAvailable && bytes[5] == 0;
    }

} // namespace

ScriptedUSBUnit& ScriptedUSBUnit::Get()
{
    static ScriptedUSBUnit unit;
    return unit;
}

void ScriptedUSBUnit::Reset()
{
    std::lock_guard lock(mMutex);
    setup = Setup();
    mRecord = Record();
    mPending.clear();
    mCancelled.clear();
    mInterruptOut.clear();
    mBulkOut.clear();
    mUnplugged = mInterrupted = mWritesHeld = false;
}

ScriptedUSBUnit::Record ScriptedUSBUnit::GetRecord()
{
    std::lock_guard lock(mMutex);
    return mRecord;
}

void ScriptedUSBUnit::Queue(bool interrupt, UInt8 type, UInt16 id, std::vector<UInt8> const& data)
{
    (interrupt ? mInterruptOut : mBulkOut).push_back(UnitPacket(type, id, data));
    mChanged.notify_all();
}

void ScriptedUSBUnit::Burst(std::vector<std::vector<UInt8>> packets)
{
    mInterruptOut.push_back(UnitPacket(CGarminPacket::kTypeUSBProtocol, CGarminPacket::kPidDataAvailable, {}));
    for (auto& packet : packets)
        mBulkOut.push_back(std::move(packet));
    mBulkOut.emplace_back(); // the zero-length packet that ends the burst
    mChanged.notify_all();
}

void ScriptedUSBUnit::Answer(CGarminPacket const& packet)
{
    mRecord.received.push_back(packet);
    if (packet.type == CGarminPacket::kTypeUSBProtocol && packet.id == CGarminPacket::kPidStartSession) {
        std::vector<UInt8> unit;
        Put32(unit, kUnitID);
        Queue(true, CGarminPacket::kTypeUSBProtocol, CGarminPacket::kPidSessionStarted, unit);
        return;
    }
    if (packet.type != CGarminPacket::kTypeApplication)
        return;
    if (packet.id == 254) {
        std::vector<UInt8> product;
        Put16(product, 694);
        Put16(product, 300);
        PutText(product, "eTrex Legend HCx Software Version 3.00");
        std::vector<UInt8> array;
        struct {
            char tag;
            UInt16 number;
        } const protocols[] = { { 'P', 0 }, { 'L', 1 }, { 'A', 10 }, { 'A', 100 }, { 'D', 110 }, { 'A', 800 },
            { 'D', 800 } };
        for (auto const& protocol : protocols) {
            array.push_back(UInt8(protocol.tag));
            Put16(array, protocol.number);
        }
        Burst({ UnitPacket(CGarminPacket::kTypeApplication, 255, product),
            UnitPacket(CGarminPacket::kTypeApplication, 253, array) });
    } else if (packet.id == 10 && packet.data.size() >= 2) {
        UInt16 const command = UInt16(packet.data[0] | (packet.data[1] << 8));
        mRecord.commands.push_back(command);
        if (command == 49)
            mRecord.pvt = true;
        else if (command == 50)
            mRecord.pvt = false;
        else if (command == 7) {
            std::vector<std::vector<UInt8>> packets;
            std::vector<UInt8> count;
            Put16(count, UInt16(setup.waypoints.size()));
            packets.push_back(UnitPacket(CGarminPacket::kTypeApplication, 27, count));
            for (CGPSWaypoint const& waypoint : setup.waypoints) {
                std::vector<UInt8> data;
                CGarminRecords::EncodeWaypoint(110, waypoint, data);
                packets.push_back(UnitPacket(CGarminPacket::kTypeApplication, 35, data));
            }
            std::vector<UInt8> complete;
            Put16(complete, 7);
            packets.push_back(UnitPacket(CGarminPacket::kTypeApplication, 12, complete));
            // Cut into the bursts asked for, every one announced at once.
            std::size_t const bursts = std::max<std::size_t>(1, std::min(setup.downloadBursts, packets.size()));
            std::size_t const each = (packets.size() + bursts - 1) / bursts;
            for (std::size_t first = 0; first < packets.size(); first += each)
                Burst(std::vector<std::vector<UInt8>>(packets.begin() + first,
                    packets.begin() + std::min(packets.size(), first + each)));
        }
    }
}

void ScriptedUSBUnit::SendFix(double latitude, double longitude, float east, float north, UInt16 fixType)
{
    std::lock_guard lock(mMutex);
    if (!mRecord.pvt || mUnplugged)
        return;
    Queue(true, CGarminPacket::kTypeApplication, 51,
        UnitFixRecord({ .altitude = 30.0f,
            .error = 5.0f,
            .horizontalError = 3.0f,
            .verticalError = 4.0f,
            .fixType = fixType,
            .timeOfWeek = 7200.0,
            .latitude = latitude,
            .longitude = longitude,
            .east = east,
            .north = north,
            .up = 0.0f,
            .seaLevel = -40.0f,
            .leapSeconds = 18,
            .weekDays = 12418 }));
}

void ScriptedUSBUnit::Unplug()
{
    std::lock_guard lock(mMutex);
    mUnplugged = true;
    mChanged.notify_all();
}

void ScriptedUSBUnit::SendBursts(std::vector<Reads> bursts)
{
    std::lock_guard lock(mMutex);
    for (Reads& reads : bursts)
        Burst(std::move(reads));
}

void ScriptedUSBUnit::HoldWrites(bool hold)
{
    std::lock_guard lock(mMutex);
    mWritesHeld = hold;
    mChanged.notify_all();
}

int ScriptedUSBUnit::Submit(libusb_transfer* transfer)
{
    std::lock_guard lock(mMutex);
    if (mUnplugged)
        return LIBUSB_ERROR_NO_DEVICE;
    bool const in = transfer->endpoint & LIBUSB_ENDPOINT_IN;
    UInt8 const expected = transfer->type == LIBUSB_TRANSFER_TYPE_INTERRUPT ? kInterruptIn
        : in                                                                 ? kBulkIn
                                                                             : kBulkOut;
    if (transfer->endpoint != expected || (transfer->type == LIBUSB_TRANSFER_TYPE_INTERRUPT && !in))
        mRecord.wrongEndpoint = true;
    if (transfer->type == LIBUSB_TRANSFER_TYPE_BULK && !in && !(transfer->flags & LIBUSB_TRANSFER_ADD_ZERO_PACKET))
        mRecord.zeroPacketFlag = false;
    if (transfer->type == LIBUSB_TRANSFER_TYPE_BULK && in)
        ++mRecord.bulkReads;
    mPending.push_back(transfer);
    mChanged.notify_all();
    return LIBUSB_SUCCESS;
}

int ScriptedUSBUnit::Cancel(libusb_transfer* transfer)
{
    std::lock_guard lock(mMutex);
    auto const found = std::find(mPending.begin(), mPending.end(), transfer);
    if (found == mPending.end())
        return LIBUSB_ERROR_NOT_FOUND;
    mPending.erase(found);
    mCancelled.push_back(transfer);
    mChanged.notify_all();
    return LIBUSB_SUCCESS;
}

void ScriptedUSBUnit::Interrupt()
{
    std::lock_guard lock(mMutex);
    mInterrupted = true;
    mChanged.notify_all();
}

int ScriptedUSBUnit::HandleEvents()
{
    std::unique_lock lock(mMutex);
    for (;;) {
        if (mInterrupted) {
            mInterrupted = false;
            return LIBUSB_SUCCESS;
        }
        auto const pending = [&](auto test) { return std::find_if(mPending.begin(), mPending.end(), test); };
        auto const isWrite = [](libusb_transfer* t) {
            return t->type == LIBUSB_TRANSFER_TYPE_BULK && !(t->endpoint & LIBUSB_ENDPOINT_IN);
        };
        auto const isInterrupt = [](libusb_transfer* t) { return t->type == LIBUSB_TRANSFER_TYPE_INTERRUPT; };
        auto const isRead = [](libusb_transfer* t) {
            return t->type == LIBUSB_TRANSFER_TYPE_BULK && (t->endpoint & LIBUSB_ENDPOINT_IN);
        };
        libusb_transfer* done = nullptr;
        auto take = [&](auto where) {
            done = *where;
            mPending.erase(where);
        };
        auto deliver = [&](std::vector<UInt8> const& bytes) {
            std::size_t const count = std::min(bytes.size(), std::size_t(done->length));
            std::copy_n(bytes.begin(), count, done->buffer);
            done->actual_length = int(count);
            done->status = LIBUSB_TRANSFER_COMPLETED;
        };
        if (!mCancelled.empty()) {
            done = mCancelled.front();
            mCancelled.erase(mCancelled.begin());
            done->status = LIBUSB_TRANSFER_CANCELLED;
            done->actual_length = 0;
        } else if (mUnplugged && !mPending.empty()) {
            take(mPending.begin());
            done->status = LIBUSB_TRANSFER_NO_DEVICE;
            done->actual_length = 0;
        } else if (auto write = pending(isWrite); write != mPending.end() && !mWritesHeld) {
            take(write);
            // One packet to a write, read by hand as the unit reads it; one cut short is not.
            std::vector<UInt8> const bytes(done->buffer, done->buffer + done->length);
            bool const cut = ++mRecord.bulkWrites == setup.shortWrite;
            done->actual_length = done->length - (cut ? 1 : 0);
            done->status = LIBUSB_TRANSFER_COMPLETED;
            if (bytes.size() >= 12 && !cut) {
                UInt32 size = 0;
                std::memcpy(&size, bytes.data() + 8, 4);
                if (12 + std::size_t(size) <= bytes.size())
                    Answer({ bytes[0], UInt16(bytes[4] | (bytes[5] << 8)),
                        std::vector<UInt8>(bytes.begin() + 12, bytes.begin() + 12 + size) });
            }
        } else if (auto interrupt = pending(isInterrupt); interrupt != mPending.end() && !mInterruptOut.empty()) {
            if (IsDataAvailable(mInterruptOut.front()) && pending(isRead) != mPending.end())
                ++mRecord.signalsWhileReading;
            take(interrupt);
            deliver(mInterruptOut.front());
            mInterruptOut.erase(mInterruptOut.begin());
        } else if (auto read = pending(isRead); read != mPending.end() && !mBulkOut.empty()) {
            take(read);
            deliver(mBulkOut.front());
            mRecord.emptyReads += mBulkOut.front().empty();
            mBulkOut.erase(mBulkOut.begin());
        }
        if (done) {
            lock.unlock();
            done->callback(done);
            return LIBUSB_SUCCESS;
        }
        mChanged.wait(lock);
    }
}

} // namespace tw::test

using tw::test::ScriptedUSBUnit;

int libusb_init(libusb_context** ctx)
{
    *ctx = &gContext;
    return LIBUSB_SUCCESS;
}

void libusb_exit(libusb_context*)
{
    ScriptedUSBUnit::Get().Note([](ScriptedUSBUnit::Record& r) { r.exited = true; });
}

ssize_t libusb_get_device_list(libusb_context*, libusb_device*** list)
{
    bool const present = ScriptedUSBUnit::Get().setup.present;
    *list = static_cast<libusb_device**>(std::calloc(2, sizeof(libusb_device*)));
    if (present)
        (*list)[0] = &gDevice;
    return present ? 1 : 0;
}

void libusb_free_device_list(libusb_device** list, int) { std::free(list); }

uint8_t libusb_get_bus_number(libusb_device*) { return ScriptedUSBUnit::kBus; }

uint8_t libusb_get_device_address(libusb_device*) { return ScriptedUSBUnit::kAddress; }

int libusb_get_device_descriptor(libusb_device*, libusb_device_descriptor* descriptor)
{
    *descriptor = {};
    descriptor->idVendor = 0x091E;
    descriptor->idProduct = 0x0003;
    descriptor->bNumConfigurations = 1;
    return LIBUSB_SUCCESS;
}

int libusb_open(libusb_device*, libusb_device_handle** handle)
{
    *handle = &gHandle;
    return LIBUSB_SUCCESS;
}

void libusb_close(libusb_device_handle*)
{
    ScriptedUSBUnit::Get().Note([](ScriptedUSBUnit::Record& r) { r.closed = true; });
}

libusb_device* libusb_get_device(libusb_device_handle*) { return &gDevice; }

int libusb_set_auto_detach_kernel_driver(libusb_device_handle*, int)
{
    return ScriptedUSBUnit::Get().setup.autoDetach ? LIBUSB_SUCCESS : LIBUSB_ERROR_NOT_SUPPORTED;
}

int libusb_kernel_driver_active(libusb_device_handle*, int interface)
{
    return interface == 0 && ScriptedUSBUnit::Get().setup.kernelDriver ? 1 : 0;
}

int libusb_detach_kernel_driver(libusb_device_handle*, int interface)
{
    ScriptedUSBUnit& unit = ScriptedUSBUnit::Get();
    if (interface != 0 || !unit.setup.kernelDriver)
        return LIBUSB_ERROR_NOT_FOUND;
    unit.setup.kernelDriver = false;
    unit.Note([](ScriptedUSBUnit::Record& r) { r.detached = true; });
    return LIBUSB_SUCCESS;
}

int libusb_claim_interface(libusb_device_handle*, int interface)
{
    ScriptedUSBUnit& unit = ScriptedUSBUnit::Get();
    // The kernel's driver holds the interface unless it was detached (or libusb detaches it).
    if (interface != 0 || unit.setup.claimFails || (unit.setup.kernelDriver && !unit.setup.autoDetach))
        return LIBUSB_ERROR_BUSY;
    unit.Claimed();
    return LIBUSB_SUCCESS;
}

int libusb_release_interface(libusb_device_handle*, int)
{
    ScriptedUSBUnit::Get().Note([](ScriptedUSBUnit::Record& r) { r.released = true; });
    return LIBUSB_SUCCESS;
}

int libusb_get_active_config_descriptor(libusb_device*, libusb_config_descriptor** config)
{
    std::vector<UInt8> const& addresses = ScriptedUSBUnit::Get().setup.endpoints;
    auto* endpoints = static_cast<libusb_endpoint_descriptor*>(
        std::calloc(std::max<std::size_t>(1, addresses.size()), sizeof(libusb_endpoint_descriptor)));
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        endpoints[i].bEndpointAddress = addresses[i];
        endpoints[i].bmAttributes = addresses[i] == ScriptedUSBUnit::kInterruptIn ? LIBUSB_TRANSFER_TYPE_INTERRUPT
            : addresses[i] == 0x04                                               ? LIBUSB_TRANSFER_TYPE_ISOCHRONOUS
                                                                                 : LIBUSB_TRANSFER_TYPE_BULK;
        endpoints[i].wMaxPacketSize = 64;
    }
    auto* setting = static_cast<libusb_interface_descriptor*>(std::calloc(1, sizeof(libusb_interface_descriptor)));
    setting->bNumEndpoints = UInt8(addresses.size());
    setting->endpoint = endpoints;
    auto* interface = static_cast<libusb_interface*>(std::calloc(1, sizeof(libusb_interface)));
    interface->altsetting = setting;
    interface->num_altsetting = 1;
    auto* made = static_cast<libusb_config_descriptor*>(std::calloc(1, sizeof(libusb_config_descriptor)));
    made->bNumInterfaces = 1;
    made->interface = interface;
    *config = made;
    return LIBUSB_SUCCESS;
}

void libusb_free_config_descriptor(libusb_config_descriptor* config)
{
    if (!config)
        return;
    std::free(const_cast<libusb_endpoint_descriptor*>(config->interface->altsetting->endpoint));
    std::free(const_cast<libusb_interface_descriptor*>(config->interface->altsetting));
    std::free(const_cast<libusb_interface*>(config->interface));
    std::free(config);
}

libusb_transfer* libusb_alloc_transfer(int)
{
    return static_cast<libusb_transfer*>(std::calloc(1, sizeof(libusb_transfer)));
}

void libusb_free_transfer(libusb_transfer* transfer) { std::free(transfer); }

int libusb_submit_transfer(libusb_transfer* transfer) { return ScriptedUSBUnit::Get().Submit(transfer); }

int libusb_cancel_transfer(libusb_transfer* transfer) { return ScriptedUSBUnit::Get().Cancel(transfer); }

int libusb_handle_events(libusb_context*) { return ScriptedUSBUnit::Get().HandleEvents(); }

void libusb_interrupt_event_handler(libusb_context*) { ScriptedUSBUnit::Get().Interrupt(); }
