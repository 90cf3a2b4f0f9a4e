#pragma once

// HIObject: classes, subclassing and creation by class id.

#include "corefoundation/CFString.h"
#include "toolbox/HIToolboxTypes.h"

namespace tw::toolbox {
class ObjectClass;
}
using HIObjectClassRef = tw::toolbox::ObjectClass*;

enum : EventParamName { kEventParamInitialBounds = 'boun' };

// The handler receives construct ('hioi' in: the new object; out, type 'void': the
// instance data every later call gets as its user data), initialise and destruct.
OSStatus HIObjectRegisterSubclass(CFStringRef classID, CFStringRef baseClassID, OptionBits options,
    EventHandlerUPP constructProc, ItemCount numEvents, EventTypeSpec const* eventList, void* constructData,
    HIObjectClassRef* outClassRef);
OSStatus HIObjectUnregisterClass(HIObjectClassRef classRef);
// Creates an object of the class; the initialise event (may be null) carries the parameters.
OSStatus HIObjectCreate(CFStringRef classID, EventRef initEvent, HIObjectRef* outObject);
CFStringRef HIObjectCopyClassID(HIObjectRef object);
Boolean HIObjectIsOfClass(HIObjectRef object, CFStringRef classID);
