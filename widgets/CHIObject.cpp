#include "widgets/CHIObject.h"

#include "framework/CCarbonEvent.h"
#include "toolbox/HIViewCalls.h"

namespace {

EventTypeSpec const kSubclassEvents[] = {
    { kEventClassHIObject, kEventHIObjectConstruct },
    { kEventClassHIObject, kEventHIObjectInitialize },
    { kEventClassHIObject, kEventHIObjectDestruct },
    { kEventClassHIObject, 5 }, // print debug information
    { 'HIOP', 'getP' },
    { 'HIOP', 'setP' },
};

} // namespace

CHIObject::CHIObject(HIObjectRef object)
    : mHIObjectRef(object)
{
    sLiveObjects.insert(this);
    if (object)
        mHIObjects[object] = this;
}

// A wrapper made over an existing object holds no reference of its own and releases none.
CHIObject::~CHIObject()
{
    // Handlers go first: releasing the object below sends its end-of-life events.
    RemoveHandler();
    HIObjectRef const object = mHIObjectRef;
    bool const owns = mOwnsReference;
    ForgetHIObjectRef();
    sLiveObjects.erase(this);
    if (object && owns)
        CFRelease(object);
}

std::vector<CHIObject::ClassEntry>& CHIObject::GetObjectInfo()
{
    static std::vector<ClassEntry> objectInfo;
    return objectInfo;
}

OSStatus CHIObject::Register(CFStringRef baseClassID, CFStringRef classID, Creator creator)
{
    OSStatus status = noErr;
    if (baseClassID) {
        mEventHandlerUPP = true;
        status = HIObjectRegisterSubclass(classID, baseClassID, 0, EventHandler,
            sizeof kSubclassEvents / sizeof kSubclassEvents[0], kSubclassEvents, reinterpret_cast<void*>(creator),
            nullptr);
    }
    GetObjectInfo().push_back({ CString(classID, false), creator, 0 });
    return status;
}

CHIObject* CHIObject::GetHIObject(HIObjectRef object)
{
    auto const it = mHIObjects.find(object);
    return it == mHIObjects.end() ? nullptr : it->second;
}

CHIObject* CHIObject::CreateNewHIObjectForRef(HIObjectRef object)
{
    if (!object)
        return nullptr;
    CString classID(HIObjectCopyClassID(object), true);
    if (classID.EqualNoCase(CString(kControlAdapterClassID))) {
        ControlKind kind {};
        if (GetControlKind(reinterpret_cast<ControlRef>(object), &kind) == noErr && kind.signature == 'appl') {
            if (kind.kind == 'datb')
                classID = "com.apple.HIDataBrowser";
            else if (kind.kind == 'popb')
                classID = "com.apple.HIPopupButton";
        }
    }
    for (ClassEntry const& entry : GetObjectInfo()) {
        if (!entry.classID.EqualNoCase(classID))
            continue;
        CHIObject* made = nullptr;
        return entry.creator && entry.creator(object, &made) == noErr ? made : nullptr;
    }
    return nullptr;
}

void CHIObject::SetHIObjectRef(HIObjectRef object)
{
    if (mHIObjectRef) {
        auto const it = mHIObjects.find(mHIObjectRef);
        if (it != mHIObjects.end() && it->second == this)
            mHIObjects.erase(it);
    }
    mHIObjectRef = object;
    if (object)
        mHIObjects[object] = this;
}

void CHIObject::ForgetHIObjectRef()
{
    SetHIObjectRef(nullptr);
    mOwnsReference = false;
}

HIObjectRef CHIObject::GetHIObjectRef(bool retain) const
{
    if (retain && mHIObjectRef)
        CFRetain(mHIObjectRef);
    return mHIObjectRef;
}

EventTargetRef CHIObject::GetEventTarget() const
{
    return mHIObjectRef ? HIObjectGetEventTarget(mHIObjectRef) : nullptr;
}

OSStatus CHIObject::InitialiseObject(CCarbonEvent&) { return noErr; }
void* CHIObject::GetProperty(UInt32) { return nullptr; }
void CHIObject::SetProperty(UInt32, void*) { }

// The construct event binds the instance to the wrapper being made by the program,
// or makes one through the class's creator.
OSStatus CHIObject::Construct(EventRef event, Creator creator)
{
    CHIObject* object = smNewObjectInstance;
    smNewObjectInstance = nullptr;
    OSStatus status = noErr;
    HIObjectRef ref = nullptr;
    GetEventParameter(event, kEventParamHIObjectInstance, typeHIObjectRef, nullptr, sizeof ref, nullptr, &ref);
    if (!object)
        status = creator ? creator(ref, &object) : memFullErr;
    if (object)
        object->mIsCustomClass = true;
    if (status == noErr && object)
        SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof object, &object);
    return object || status != noErr ? status : memFullErr;
}

OSStatus CHIObject::EventHandler(EventHandlerCallRef callRef, EventRef event, void* userData)
{
    UInt32 const eventClass = GetEventClass(event);
    UInt32 const kind = GetEventKind(event);
    if (eventClass == kEventClassHIObject && kind == kEventHIObjectConstruct)
        return Construct(event, reinterpret_cast<Creator>(userData));
    auto* object = static_cast<CHIObject*>(userData);
    // A wrapper the program deleted before its object leaves its class handler behind.
    if (!sLiveObjects.contains(object))
        return eventNotHandledErr;
    CCarbonEvent wrapped(event);
    if (eventClass == kEventClassHIObject && kind == kEventHIObjectInitialize) {
        OSStatus const status = CallNextEventHandler(callRef, event);
        return status == noErr || status == eventNotHandledErr ? object->InitialiseObject(wrapped) : status;
    }
    if (eventClass == kEventClassHIObject && kind == kEventHIObjectDestruct) {
        if (object && object->mHIObjectRef) {
            object->ForgetHIObjectRef();
            delete object;
        }
        return eventNotHandledErr;
    }
    if (eventClass == 'HIOP' && kind == 'getP') {
        UInt32 const type = wrapped.GetParameterUInt32('typP');
        wrapped.SetParameterPointer('datP', object->GetProperty(type));
        return noErr;
    }
    if (eventClass == 'HIOP' && kind == 'setP') {
        object->SetProperty(wrapped.GetParameterUInt32('typP'), wrapped.GetParameterPointer('datP'));
        return noErr;
    }
    return eventNotHandledErr;
}
