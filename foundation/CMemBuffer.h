#pragma once

// A growable byte buffer whose start is aligned (16 bytes unless asked
// otherwise), for packets, files, HTTP bodies and images. Growing keeps the
// bytes; sizes are bounded so that a length read from outside cannot ask for
// an absurd block.

#include "platform/Platform.h"

class CMemBuffer {
public:
    static constexpr UInt32 kDefaultAlignment = 16;
    static constexpr UInt32 kMaxBufferSize = UInt32(1) << 30; // [bytes]

    // An alignment of 0 (or one that is not a power of two) means the default.
    explicit CMemBuffer(UInt32 size = 0, UInt32 alignment = 0);
    CMemBuffer(CMemBuffer const& other);
    CMemBuffer(CMemBuffer&& other) noexcept;
    CMemBuffer& operator=(CMemBuffer const& other);
    CMemBuffer& operator=(CMemBuffer&& other) noexcept;
    ~CMemBuffer();

    // Null when the offset lies beyond the end or nothing was ever allocated.
    void* GetBufferData(UInt32 offset = 0) const;
    UInt32 GetBufferSize() const { return mSize; }
    UInt32 GetAlignment() const { return mAlignment; }

    // Keeps the first bytes; new bytes are zeroed when zero is set. False, with the buffer
    // unchanged, when memory is short or the size is beyond kMaxBufferSize.
    bool SetBufferSize(UInt32 size, bool zero);
    bool AppendData(void const* data, UInt32 length);

private:
    bool Reserve(UInt32 capacity);
    void Free();

    UInt8* mData = nullptr; // owns
    UInt32 mSize = 0;
    UInt32 mCapacity = 0;
    UInt32 mAlignment = kDefaultAlignment;
};
