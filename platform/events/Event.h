#pragma once

#include "events/CarbonEvents.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <vector>

namespace tw::events {

// One Carbon event: class, kind, time and typed parameters. Parameters live in
// an inline buffer (a heap buffer only for unusually large ones), so setting
// the usual few costs no allocation. The retain count is atomic because
// workers post events; the parameters are touched by one thread at a time.
class Event {
public:
    Event(EventClass eventClass, EventKind kind, EventTime when, EventAttributes attributes);
    Event(Event const& other);
    Event& operator=(Event const&) = delete;

    void Retain() { mRefs.fetch_add(1, std::memory_order_relaxed); }
    void Release();
    ItemCount RetainCount() const { return mRefs.load(std::memory_order_relaxed); }

    EventClass GetClass() const { return mClass; }
    EventKind GetKind() const { return mKind; }
    EventTime GetTime() const { return mTime; }
    void SetTime(EventTime when) { mTime = when; }
    EventAttributes GetAttributes() const { return mAttributes; }

    OSStatus SetParameter(EventParamName name, EventParamType type, ByteCount size, void const* data);
    OSStatus GetParameter(EventParamName name, EventParamType desiredType, EventParamType* outActualType,
        ByteCount bufferSize, ByteCount* outActualSize, void* outData) const;
    OSStatus RemoveParameter(EventParamName name);

private:
    ~Event() = default;

    // Each parameter is a header followed by its bytes, padded to 8.
    struct Header {
        EventParamName name;
        EventParamType type;
        UInt32 size;
        UInt32 padding;
    };
    static constexpr std::size_t kInlineBytes = 256;
    static constexpr ByteCount kMaxParameterBytes = 1 << 24;

    std::byte* Data() { return mHeap.empty() ? mInline.data() : mHeap.data(); }
    std::byte const* Data() const { return mHeap.empty() ? mInline.data() : mHeap.data(); }
    std::size_t Find(EventParamName name) const;
    static std::size_t RecordSize(std::size_t size);
    bool Reserve(std::size_t bytes);

    std::atomic<ItemCount> mRefs { 1 };
    EventClass mClass;
    EventKind mKind;
    EventTime mTime;
    EventAttributes mAttributes;
    std::size_t mUsed = 0;
    alignas(8) std::array<std::byte, kInlineBytes> mInline {};
    std::vector<std::byte> mHeap;
};

} // namespace tw::events
