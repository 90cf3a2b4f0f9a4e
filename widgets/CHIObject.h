#pragma once

#include "foundation/CString.h"
#include "framework/CCarbonEventHandler.h"
#include "toolbox/HIObjectCalls.h"

#include <map>
#include <set>

// The wrapper object bound to one toolbox HIObject: the registry of class ids
// and their creators, the map from HIObject references to wrappers, and the
// class handler that makes, initialises and destroys wrappers of registered
// subclasses. Main thread only; the registry and class table are unlocked statics.
class CHIObject : public CCarbonEventHandler {
public:
    // Makes the wrapper of an existing object; noErr or the status of failure.
    using Creator = OSStatus (*)(HIObjectRef object, CHIObject** outObject);

    explicit CHIObject(HIObjectRef object);
    ~CHIObject() override;

    // Maps the class id to its creator; with a base class, also registers the
    // toolbox subclass whose instances get their wrapper from the creator.
    static OSStatus Register(CFStringRef baseClassID, CFStringRef classID, Creator creator);
    // A wrapper made by the creator of the object's class (ids compared without case), or null.
    static CHIObject* CreateNewHIObjectForRef(HIObjectRef object);
    static CHIObject* GetHIObject(HIObjectRef object);
    // The wrapper that the next construct event of a registered class binds to.
    static void SetNewObjectInstance(CHIObject* object) { smNewObjectInstance = object; }
    // Test only: forgets the registry entries and registrations' bookkeeping.
    static std::size_t GetRegistrySize() { return mHIObjects.size(); }

    void SetHIObjectRef(HIObjectRef object);
    // retain: the caller gets its own reference.
    HIObjectRef GetHIObjectRef(bool retain = false) const;
    bool GetIsCustomClass() const { return mIsCustomClass; }
    EventTargetRef GetEventTarget() const;

    virtual OSStatus InitialiseObject(CCarbonEvent& event);
    virtual void* GetProperty(UInt32 type);
    virtual void SetProperty(UInt32 type, void* data);

    static constexpr char const* kControlAdapterClassID = "com.apple.hitoolbox.view.cdefadapter";

protected:
    // Clears the reference without releasing it (the toolbox object is going).
    void ForgetHIObjectRef();

    HIObjectRef mHIObjectRef = nullptr; // see the destructor: released only when owned
    bool mIsCustomClass = false;
    bool mOwnsReference = false;

private:
    static OSStatus EventHandler(EventHandlerCallRef callRef, EventRef event, void* userData);
    static OSStatus Construct(EventRef event, Creator creator);
    struct ClassEntry {
        CString classID;
        Creator creator;
        UInt32 reserved;
    };
    static std::vector<ClassEntry>& GetObjectInfo();

    static inline std::map<HIObjectRef, CHIObject*> mHIObjects; // weak: entries removed by their objects
    static inline std::set<CHIObject const*> sLiveObjects; // every wrapper alive: class handlers check theirs
    static inline CHIObject* smNewObjectInstance = nullptr; // weak: consumed by the next construct
    static inline bool mEventHandlerUPP = false;
};
