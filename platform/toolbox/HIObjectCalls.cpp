#include "toolbox/HIObjectCalls.h"

#include "corefoundation/CFString.h"
#include "toolbox/HIObject.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/controls/ControlBehaviour.h"

namespace {

using tw::toolbox::HIObject;
using tw::toolbox::ObjectClass;

// Constructs one registered level: its handler makes the instance data, then is
// installed with it below the handlers installed on the object so far.
OSStatus ConstructLevel(HIObject* object, ObjectClass const* cls)
{
    EventRef event = nullptr;
    OSStatus status
        = CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectConstruct, GetCurrentEventTime(), 0, &event);
    if (status != noErr)
        return status;
    HIObjectRef ref = object;
    SetEventParameter(event, kEventParamHIObjectInstance, typeHIObjectRef, sizeof ref, &ref);
    status = cls->GetProc()(nullptr, event, cls->GetUserData());
    void* instance = nullptr;
    if (status == noErr)
        GetEventParameter(
            event, kEventParamHIObjectInstance, typeVoidPtr, nullptr, sizeof instance, nullptr, &instance);
    ReleaseEvent(event);
    if (status != noErr)
        return status;
    return object->GetTarget().Install(cls->GetProc(), cls->GetEvents().size(), cls->GetEvents().data(), instance,
        tw::events::Target::Placement::Standard, nullptr);
}

OSStatus Initialise(HIObject* object, EventRef initEvent)
{
    EventRef event = initEvent ? RetainEvent(initEvent) : nullptr;
    if (!event && CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectInitialize, GetCurrentEventTime(), 0, &event))
        return paramErr;
    OSStatus status = SendEventToEventTargetWithOptions(event, &object->GetTarget(), kEventTargetDontPropagate);
    ReleaseEvent(event);
    return status == eventNotHandledErr ? noErr : status;
}

} // namespace

OSStatus HIObjectRegisterSubclass(CFStringRef classID, CFStringRef baseClassID, OptionBits,
    EventHandlerUPP constructProc, ItemCount numEvents, EventTypeSpec const* eventList, void* constructData,
    HIObjectClassRef* outClassRef)
{
    if (outClassRef)
        *outClassRef = nullptr;
    if (!classID || !constructProc || (numEvents > 0 && !eventList))
        return paramErr;
    std::string const id = tw::cf::ToUTF8(classID);
    if (id.empty())
        return paramErr;
    if (ObjectClass::Find(id))
        return hiObjectClassExistsErr;
    ObjectClass* base = nullptr;
    if (baseClassID) {
        base = ObjectClass::Find(tw::cf::ToUTF8(baseClassID));
        if (!base)
            return paramErr;
    }
    ObjectClass* cls = ObjectClass::Add(id, base);
    cls->SetHandler(constructProc, numEvents, eventList, constructData);
    if (outClassRef)
        *outClassRef = cls;
    return noErr;
}

OSStatus HIObjectUnregisterClass(HIObjectClassRef classRef)
{
    if (!classRef || classRef->IsSystem() || !classRef->IsRegistered())
        return paramErr;
    classRef->SetRegistered(false);
    return noErr;
}

OSStatus HIObjectCreate(CFStringRef classID, EventRef initEvent, HIObjectRef* outObject)
{
    if (!outObject)
        return paramErr;
    *outObject = nullptr;
    ObjectClass* cls = classID ? ObjectClass::Find(tw::cf::ToUTF8(classID)) : nullptr;
    if (!cls)
        return paramErr;
    HIObject* object = cls->GetRoot() == ObjectClass::Root::View
        ? new tw::toolbox::View(cls)
        : new HIObject(cls, tw::events::Target::Kind::HIObject);
    // The system class's own behaviour sits below every handler the program installs.
    if (auto* view = tw::toolbox::LiveView(object))
        tw::toolbox::controls::AttachBehaviour(view);
    OSStatus status = noErr;
    for (ObjectClass const* level : cls->Chain()) {
        if (level->IsSystem())
            continue;
        status = ConstructLevel(object, level);
        if (status != noErr)
            break;
    }
    if (status == noErr)
        status = Initialise(object, initEvent);
    if (status != noErr) {
        object->Dispose();
        object->Release();
        return status;
    }
    *outObject = object;
    return noErr;
}

CFStringRef HIObjectCopyClassID(HIObjectRef object)
{
    HIObject* live = HIObject::Live(object);
    return live ? tw::cf::CreateString(live->GetClass()->GetID()) : nullptr;
}

Boolean HIObjectIsOfClass(HIObjectRef object, CFStringRef classID)
{
    HIObject* live = HIObject::Live(object);
    return live && classID && live->GetClass()->IsA(tw::cf::ToUTF8(classID));
}
