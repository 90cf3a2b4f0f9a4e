#include "events/Event.h"

#include "events/Clock.h"

#include <cstring>
#include <new>

namespace tw::events {

Event::Event(EventClass eventClass, EventKind kind, EventTime when, EventAttributes attributes)
    : mClass(eventClass)
    , mKind(kind)
    , mTime(when)
    , mAttributes(attributes)
{
}

Event::Event(Event const& other)
    : mClass(other.mClass)
    , mKind(other.mKind)
    , mTime(other.mTime)
    , mAttributes(other.mAttributes)
    , mUsed(other.mUsed)
    , mInline(other.mInline)
    , mHeap(other.mHeap)
{
}

void Event::Release()
{
    if (mRefs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete this;
}

std::size_t Event::RecordSize(std::size_t size) { return sizeof(Header) + ((size + 7) & ~std::size_t(7)); }

std::size_t Event::Find(EventParamName name) const
{
    std::byte const* data = Data();
    for (std::size_t at = 0; at < mUsed;) {
        Header header;
        std::memcpy(&header, data + at, sizeof header);
        if (header.name == name)
            return at;
        at += RecordSize(header.size);
    }
    return mUsed;
}

bool Event::Reserve(std::size_t bytes)
{
    std::size_t const capacity = mHeap.empty() ? mInline.size() : mHeap.size();
    if (bytes <= capacity)
        return true;
    std::vector<std::byte> grown(std::max(bytes, capacity * 2));
    std::memcpy(grown.data(), Data(), mUsed);
    mHeap = std::move(grown);
    return true;
}

OSStatus Event::SetParameter(EventParamName name, EventParamType type, ByteCount size, void const* data)
{
    if ((size > 0 && !data) || size > kMaxParameterBytes || type == typeWildCard)
        return paramErr;
    RemoveParameter(name);
    Reserve(mUsed + RecordSize(size));
    Header const header { name, type, UInt32(size), 0 };
    std::byte* at = Data() + mUsed;
    std::memcpy(at, &header, sizeof header);
    if (size > 0)
        std::memcpy(at + sizeof header, data, size);
    mUsed += RecordSize(size);
    return noErr;
}

OSStatus Event::GetParameter(EventParamName name, EventParamType desiredType, EventParamType* outActualType,
    ByteCount bufferSize, ByteCount* outActualSize, void* outData) const
{
    std::size_t const at = Find(name);
    if (at == mUsed)
        return eventParameterNotFoundErr;
    Header header;
    std::memcpy(&header, Data() + at, sizeof header);
    // No coercion: the value is there, but not in the type asked for.
    if (desiredType != typeWildCard && desiredType != header.type)
        return errAECoercionFail;
    if (outActualType)
        *outActualType = header.type;
    if (outActualSize)
        *outActualSize = header.size;
    if (!outData)
        return noErr;
    if (bufferSize < header.size)
        return paramErr;
    std::memcpy(outData, Data() + at + sizeof header, header.size);
    return noErr;
}

OSStatus Event::RemoveParameter(EventParamName name)
{
    std::size_t const at = Find(name);
    if (at == mUsed)
        return eventParameterNotFoundErr;
    Header header;
    std::memcpy(&header, Data() + at, sizeof header);
    std::size_t const record = RecordSize(header.size);
    std::byte* data = Data();
    std::memmove(data + at, data + at + record, mUsed - at - record);
    mUsed -= record;
    return noErr;
}

} // namespace tw::events

using tw::events::Event;

OSStatus CreateEvent(
    CFAllocatorRef, EventClass eventClass, EventKind kind, EventTime when, EventAttributes flags, EventRef* outEvent)
{
    if (!outEvent)
        return paramErr;
    *outEvent = nullptr;
    if (when == 0)
        when = GetCurrentEventTime();
    *outEvent = new (std::nothrow) Event(eventClass, kind, when, flags);
    return *outEvent ? noErr : memFullErr;
}

EventRef CopyEvent(EventRef event) { return event ? new (std::nothrow) Event(*event) : nullptr; }

EventRef RetainEvent(EventRef event)
{
    if (event)
        event->Retain();
    return event;
}

void ReleaseEvent(EventRef event)
{
    if (event)
        event->Release();
}

ItemCount GetEventRetainCount(EventRef event) { return event ? event->RetainCount() : 0; }
EventClass GetEventClass(EventRef event) { return event ? event->GetClass() : 0; }
EventKind GetEventKind(EventRef event) { return event ? event->GetKind() : 0; }
EventTime GetEventTime(EventRef event) { return event ? event->GetTime() : 0; }

OSStatus SetEventTime(EventRef event, EventTime when)
{
    if (!event)
        return paramErr;
    event->SetTime(when);
    return noErr;
}

OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, ByteCount size, void const* data)
{
    return event ? event->SetParameter(name, type, size, data) : paramErr;
}

OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
    EventParamType* outActualType, ByteCount bufferSize, ByteCount* outActualSize, void* outData)
{
    if (!event)
        return paramErr;
    return event->GetParameter(name, desiredType, outActualType, bufferSize, outActualSize, outData);
}

OSStatus RemoveEventParameter(EventRef event, EventParamName name)
{
    return event ? event->RemoveParameter(name) : paramErr;
}
