#include "toolbox/HIObject.h"

#include "toolbox/ObjectClass.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/ToolboxTypeIDs.h"

#include <cstring>
#include <unordered_map>

namespace tw::toolbox {

namespace {

    // The target of a toolbox object: its standard behaviour is the object's.
    class ObjectTarget : public events::Target {
    public:
        ObjectTarget(Kind kind, HIObject* object)
            : Target(kind, object)
            , mObject(object)
        {
        }
        OSStatus StandardHandler(EventHandlerCallRef callRef, EventRef event) override
        {
            return mObject->StandardHandler(callRef, event);
        }

    private:
        HIObject* mObject; // weak: owns this target
    };

    std::unordered_map<void const*, std::uint64_t>& LiveObjects()
    {
        static std::unordered_map<void const*, std::uint64_t> live;
        return live;
    }

    std::uint64_t sNextSerial = 1;

} // namespace

HIObject::HIObject(ObjectClass* cls, events::Target::Kind kind)
    : mClass(cls)
    , mTarget(std::make_unique<ObjectTarget>(kind, this))
    , mSerial(sNextSerial++)
{
    LiveObjects()[this] = mSerial;
}

HIObject::~HIObject() { LiveObjects().erase(this); }

CFTypeID HIObject::TypeID() const { return kTWTypeIDHIObject; }

void HIObject::Dispose()
{
    if (mDisposed || mDisposing)
        return;
    mDisposing = true;
    DisposeContents();
    SendDisposeEvent();
    EventRef destruct = nullptr;
    if (CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectDestruct, GetCurrentEventTime(), 0, &destruct)
        == noErr) {
        HIObjectRef self = this;
        SetEventParameter(destruct, kEventParamDirectObject, typeHIObjectRef, sizeof self, &self);
        SendToAll(destruct);
        ReleaseEvent(destruct);
    }
    mTarget->RemoveAllHandlers();
    mDisposed = true;
    mDisposing = false;
    ReleaseContents();
    mProperties.clear();
}

bool HIObject::LastReferenceGone() const
{
    if (mDisposed || mDisposing)
        return true;
    Retain();
    const_cast<HIObject*>(this)->Dispose();
    Release();
    return false;
}

void HIObject::SendToAll(EventRef event)
{
    SendEventToEventTargetWithOptions(event, mTarget.get(), kEventTargetSendToAllHandlers);
}

OSStatus HIObject::StandardHandler(EventHandlerCallRef, EventRef) { return eventNotHandledErr; }

OSStatus HIObject::SetProperty(OSType creator, OSType tag, ByteCount size, void const* data)
{
    if (mDisposed || (size > 0 && !data))
        return paramErr;
    auto const* bytes = static_cast<std::uint8_t const*>(data);
    mProperties[{ creator, tag }].assign(bytes, bytes + size);
    return noErr;
}

OSStatus HIObject::GetProperty(
    OSType creator, OSType tag, ByteCount bufferSize, ByteCount* actualSize, void* data) const
{
    if (mDisposed)
        return paramErr;
    auto const it = mProperties.find({ creator, tag });
    if (it == mProperties.end())
        return controlPropertyNotFoundErr;
    if (actualSize)
        *actualSize = it->second.size();
    if (data) {
        if (bufferSize < it->second.size())
            return paramErr;
        std::memcpy(data, it->second.data(), it->second.size());
    }
    return noErr;
}

OSStatus HIObject::GetPropertySize(OSType creator, OSType tag, ByteCount* size) const
{
    return GetProperty(creator, tag, 0, size, nullptr);
}

OSStatus HIObject::RemoveProperty(OSType creator, OSType tag)
{
    if (mDisposed)
        return paramErr;
    return mProperties.erase({ creator, tag }) ? OSStatus { noErr } : OSStatus { controlPropertyNotFoundErr };
}

HIObject* HIObject::Live(void const* object)
{
    if (!object || !LiveObjects().contains(object))
        return nullptr;
    auto* live = const_cast<HIObject*>(static_cast<HIObject const*>(object));
    return live->mDisposed ? nullptr : live;
}

HIObject* HIObject::Allocated(void const* object)
{
    return object && LiveObjects().contains(object) ? const_cast<HIObject*>(static_cast<HIObject const*>(object))
                                                    : nullptr;
}

bool HIObject::IsSerialLive(void const* object, std::uint64_t serial)
{
    auto const it = LiveObjects().find(object);
    return it != LiveObjects().end() && it->second == serial && !static_cast<HIObject const*>(object)->mDisposed;
}

std::size_t HIObject::LiveCount() { return LiveObjects().size(); }

} // namespace tw::toolbox

#include "toolbox/Menu.h"
#include "toolbox/Window.h"

CFTypeRef CFRetain(HIObjectRef object) { return CFRetain(static_cast<CFTypeRef>(object)); }
CFTypeRef CFRetain(HIViewRef view) { return CFRetain(static_cast<CFTypeRef>(view)); }
CFTypeRef CFRetain(WindowRef window) { return CFRetain(static_cast<CFTypeRef>(window)); }
CFTypeRef CFRetain(MenuRef menu) { return CFRetain(static_cast<CFTypeRef>(menu)); }
void CFRelease(HIObjectRef object) { CFRelease(static_cast<CFTypeRef>(object)); }
void CFRelease(HIViewRef view) { CFRelease(static_cast<CFTypeRef>(view)); }
void CFRelease(WindowRef window) { CFRelease(static_cast<CFTypeRef>(window)); }
void CFRelease(MenuRef menu) { CFRelease(static_cast<CFTypeRef>(menu)); }
CFIndex CFGetRetainCount(HIObjectRef object) { return CFGetRetainCount(static_cast<CFTypeRef>(object)); }
CFIndex CFGetRetainCount(HIViewRef view) { return CFGetRetainCount(static_cast<CFTypeRef>(view)); }
CFIndex CFGetRetainCount(WindowRef window) { return CFGetRetainCount(static_cast<CFTypeRef>(window)); }
