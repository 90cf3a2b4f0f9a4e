#pragma once

#include "events/Target.h"
#include "toolbox/HIToolboxTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace tw::toolbox {

class ObjectClass;

// Base of every toolbox object (views, windows, menus, toolbar items): its
// class, its event target, (creator, tag) properties and its life. Born with
// one reference. Disposing runs the dispose and destruct events once and
// drops everything the object holds; an object still referenced then stays
// allocated but dead, and the public calls answer paramErr for it.
class HIObject : public cf::Object {
public:
    HIObject(ObjectClass* cls, events::Target::Kind kind);
    ~HIObject() override;
    CFTypeID TypeID() const override;

    ObjectClass* GetClass() const { return mClass; }
    events::Target& GetTarget() { return *mTarget; }
    std::uint64_t GetSerial() const { return mSerial; }
    bool IsDisposed() const { return mDisposed; }

    // Sends the object's end-of-life events to every handler and lets go of
    // what it holds. Safe to call more than once, and from a handler.
    void Dispose();

    // What the object does with an event none of its handlers took.
    virtual OSStatus StandardHandler(EventHandlerCallRef callRef, EventRef event);

    OSStatus SetProperty(OSType creator, OSType tag, ByteCount size, void const* data);
    OSStatus GetProperty(OSType creator, OSType tag, ByteCount bufferSize, ByteCount* actualSize, void* data) const;
    OSStatus GetPropertySize(OSType creator, OSType tag, ByteCount* size) const;
    OSStatus RemoveProperty(OSType creator, OSType tag);

    // A pointer that names a live, undisposed object of this process, or null.
    static HIObject* Live(void const* object);
    static bool IsSerialLive(void const* object, std::uint64_t serial);
    // Allocated, disposed or not.
    static HIObject* Allocated(void const* object);
    static std::size_t LiveCount();

protected:
    // An object whose last reference goes without a dispose is disposed first,
    // with a reference held, so that its handlers hear of it on a whole object.
    bool LastReferenceGone() const override;

    // Runs before the object's own dispose events: views dispose their sub views here.
    virtual void DisposeContents() { }
    // The kind's own dispose event, sent to every handler before the destruct event.
    virtual void SendDisposeEvent() { }
    // Releases what the object holds once its handlers have heard of the dispose.
    virtual void ReleaseContents() { }

    // Sends the event to every handler of the object, without propagating.
    void SendToAll(EventRef event);

private:
    ObjectClass* mClass; // borrowed: class records live for the process
    std::unique_ptr<events::Target> mTarget; // owns
    std::uint64_t mSerial;
    bool mDisposed = false;
    bool mDisposing = false;
    std::map<std::pair<OSType, OSType>, std::vector<std::uint8_t>> mProperties;
};

// A reference that reads null once its object is disposed or freed: for the
// focus, default buttons, tracking views and the like.
template <typename T> class WeakRef {
public:
    WeakRef() = default;
    WeakRef(T* object) { Reset(object); }
    void Reset(T* object = nullptr)
    {
        mObject = object;
        mSerial = object ? object->GetSerial() : 0;
    }
    T* Get() const { return mObject && HIObject::IsSerialLive(mObject, mSerial) ? mObject : nullptr; }
    explicit operator bool() const { return Get() != nullptr; }

private:
    T* mObject = nullptr; // weak
    std::uint64_t mSerial = 0;
};

// Keeps an object allocated across a call that may dispose or release it.
class Protector {
public:
    explicit Protector(HIObject* object)
        : mObject(object)
    {
        if (mObject)
            mObject->Retain();
    }
    ~Protector()
    {
        if (mObject)
            mObject->Release();
    }
    Protector(Protector const&) = delete;
    Protector& operator=(Protector const&) = delete;

private:
    HIObject* mObject; // retains
};

} // namespace tw::toolbox
