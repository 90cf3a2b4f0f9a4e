#pragma once

// Hears changes of the store keys it observes. It keeps a book of every
// {store, key} it observes so that its destructor can end each registration.
// Main thread only.

#include "bindings/Source/Core/CBDebugObject.h"
#include "bindings/Source/Core/Forward.h"

#include <memory>
#include <vector>

struct CBObservedKey {
    CBKeyValueStore* theStore; // weak: the store removes this entry before it goes
    CBString theKeyPath;

    bool operator==(CBObservedKey const& other) const
    {
        return theStore == other.theStore && theKeyPath == other.theKeyPath;
    }
};

class CBKeyValueObserver : public CBDebugObject {
public:
    CBKeyValueObserver() = default;
    CBKeyValueObserver(CBKeyValueObserver const&) = delete;
    CBKeyValueObserver& operator=(CBKeyValueObserver const&) = delete;
    ~CBKeyValueObserver() override;

    virtual void ValueChanging(CBKeyValueStore const* theStore, CBString const& theKeyPath) { }
    virtual void ValueChanged(CBKeyValueStore const* theStore, CBString const& theKeyPath) { }

    // Bookkeeping, called only by the store.
    void StartedObserving(CBKeyValueStore* theStore, CBString const& theKeyPath);
    void StoppedObserving(CBKeyValueStore* theStore, CBString const& theKeyPath);

    bool AmObserving(CBKeyValueStore* theStore, CBString const& theKeyPath) const;
    void StopObserving();

private:
    friend class CBKeyValueStore;

    std::vector<CBObservedKey> mObservedKeys;
    // Cleared on destruction; a notification pass checks it before each call.
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};
