#pragma once

#include "toolbox/HIToolboxTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace tw::toolbox {

// One HIObject class: a system class the toolbox implements, or a subclass the
// program registered with its class handler. Records live as long as the
// process (class refs handed out stay valid); the registry is main-thread only.
class ObjectClass {
public:
    // What the root system class makes: a view, or a plain object (toolbar items).
    enum class Root { View, Object };

    ObjectClass(std::string id, ObjectClass* base, Root root);

    std::string const& GetID() const { return mID; }
    ObjectClass* GetBase() const { return mBase; }
    Root GetRoot() const { return mRoot; }
    bool IsSystem() const { return mProc == nullptr; }
    bool IsA(std::string_view id) const;
    // The part a click anywhere in a view of this class hits when no handler answers.
    ControlPartCode GetDefaultHitPart() const;
    void SetDefaultHitPart(ControlPartCode part) { mDefaultHitPart = part; }

    EventHandlerUPP GetProc() const { return mProc; }
    void* GetUserData() const { return mUserData; }
    std::vector<EventTypeSpec> const& GetEvents() const { return mEvents; }
    void SetHandler(EventHandlerUPP proc, ItemCount count, EventTypeSpec const* events, void* userData);
    bool IsRegistered() const { return mRegistered; }
    void SetRegistered(bool registered) { mRegistered = registered; }

    // Levels from the root system class down to this one.
    std::vector<ObjectClass const*> Chain() const;

    // The class of that id (exact match, as class ids are compared), or null.
    static ObjectClass* Find(std::string_view id);
    static ObjectClass* Add(std::string id, ObjectClass* base);

private:
    std::string mID;
    ObjectClass* mBase; // borrowed: records are never freed
    Root mRoot;
    ControlPartCode mDefaultHitPart = -1; // -1: inherit
    EventHandlerUPP mProc = nullptr;
    void* mUserData = nullptr; // borrowed
    std::vector<EventTypeSpec> mEvents;
    bool mRegistered = true;
};

} // namespace tw::toolbox
