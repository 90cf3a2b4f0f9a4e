#include "foundation/CMemBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

bool IsPowerOfTwo(UInt32 value) { return value != 0 && (value & (value - 1)) == 0; }

} // namespace

CMemBuffer::CMemBuffer(UInt32 size, UInt32 alignment)
    : mAlignment(IsPowerOfTwo(alignment) ? alignment : kDefaultAlignment)
{
    if (size > 0)
        SetBufferSize(size, true);
}

CMemBuffer::CMemBuffer(CMemBuffer const& other)
    : mAlignment(other.mAlignment)
{
    AppendData(other.mData, other.mSize);
}

CMemBuffer::CMemBuffer(CMemBuffer&& other) noexcept
    : mData(std::exchange(other.mData, nullptr))
    , mSize(std::exchange(other.mSize, 0))
    , mCapacity(std::exchange(other.mCapacity, 0))
    , mAlignment(other.mAlignment)
{
}

CMemBuffer& CMemBuffer::operator=(CMemBuffer const& other)
{
    if (this != &other) {
        CMemBuffer copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CMemBuffer& CMemBuffer::operator=(CMemBuffer&& other) noexcept
{
    if (this != &other) {
        Free();
        mData = std::exchange(other.mData, nullptr);
        mSize = std::exchange(other.mSize, 0);
        mCapacity = std::exchange(other.mCapacity, 0);
        mAlignment = other.mAlignment;
    }
    return *this;
}

CMemBuffer::~CMemBuffer() { Free(); }

void CMemBuffer::Free()
{
    if (mData)
        ::operator delete[](mData, std::align_val_t(mAlignment));
    mData = nullptr;
    mSize = mCapacity = 0;
}

void* CMemBuffer::GetBufferData(UInt32 offset) const
{
    if (!mData || offset > mSize)
        return nullptr;
    return mData + offset;
}

bool CMemBuffer::Reserve(UInt32 capacity)
{
    if (capacity <= mCapacity)
        return true;
    // Doubling keeps a run of appends linear.
    UInt64 grown = std::max<UInt64>(capacity, UInt64(mCapacity) * 2);
    UInt32 newCapacity = UInt32(std::min<UInt64>(grown, kMaxBufferSize));
    auto* data = static_cast<UInt8*>(::operator new[](newCapacity, std::align_val_t(mAlignment), std::nothrow));
    if (!data)
        return false;
    if (mSize > 0)
        std::memcpy(data, mData, mSize);
    UInt32 size = mSize;
    Free();
    mData = data;
    mSize = size;
    mCapacity = newCapacity;
    return true;
}

bool CMemBuffer::SetBufferSize(UInt32 size, bool zero)
{
    if (size > kMaxBufferSize || !Reserve(size))
        return false;
    if (zero && size > mSize)
        std::memset(mData + mSize, 0, size - mSize);
    mSize = size;
    return true;
}

bool CMemBuffer::AppendData(void const* data, UInt32 length)
{
    if (length == 0)
        return true;
    if (!data || UInt64(mSize) + length > kMaxBufferSize)
        return false;
    UInt32 offset = mSize;
    if (!SetBufferSize(mSize + length, false))
        return false;
    std::memcpy(mData + offset, data, length);
    return true;
}
