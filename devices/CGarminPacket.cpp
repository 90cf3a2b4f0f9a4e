#include "devices/CGarminPacket.h"

#include "devices/CGarminBytes.h"
#include "devices/DeviceTypes.h"

std::vector<UInt8> CGarminPacket::Encode() const
{
    CGarminWriter writer;
    writer.WriteUInt8(type);
    writer.WriteFill(0, 3);
    writer.WriteUInt16(id);
    writer.WriteFill(0, 2);
    writer.WriteUInt32(UInt32(data.size()));
    writer.WriteBytes(data.data(), data.size());
    return writer.TakeBytes();
}

OSStatus CGarminUSBFramer::Feed(UInt8 const* bytes, std::size_t count, std::vector<CGarminPacket>& packets)
{
    if (mFailed)
        return kDeviceProtocolErr;
    mPending.insert(mPending.end(), bytes, bytes + count);
    std::size_t offset = 0;
    while (mPending.size() - offset >= CGarminPacket::kHeaderSize) {
        CGarminReader header(mPending.data() + offset, CGarminPacket::kHeaderSize);
        UInt8 type = header.ReadUInt8();
        header.Skip(3);
        UInt16 id = header.ReadUInt16();
        header.Skip(2);
        UInt32 size = header.ReadUInt32();
        if (size > CGarminPacket::kMaxDataSize) {
            mFailed = true;
            mPending.clear();
            return kDeviceProtocolErr;
        }
        if (mPending.size() - offset - CGarminPacket::kHeaderSize < size)
            break;
        auto const start = mPending.begin() + std::ptrdiff_t(offset + CGarminPacket::kHeaderSize);
        packets.push_back({ type, id, std::vector<UInt8>(start, start + size) });
        offset += CGarminPacket::kHeaderSize + size;
    }
    mPending.erase(mPending.begin(), mPending.begin() + std::ptrdiff_t(offset));
    return noErr;
}

OSStatus CGarminUSBFramer::EndBurst()
{
    if (mFailed)
        return kDeviceProtocolErr;
    if (mPending.empty())
        return noErr;
    mFailed = true;
    mPending.clear();
    return kDeviceProtocolErr;
}

void CGarminUSBFramer::Reset()
{
    mPending.clear();
    mFailed = false;
}
