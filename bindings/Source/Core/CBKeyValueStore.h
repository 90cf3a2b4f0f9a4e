#pragma once

// An observable map from keys to values. Observers register for one key or for "*"
// and hear each change twice, before and after it. Neither the store nor its
// observers own each other; both keep books so that either side can go first.
// Main thread only.

#include "bindings/Source/Core/CBDebugObject.h"
#include "bindings/Source/Core/CBValue.h"
#include "bindings/Source/Core/Forward.h"

#include <map>
#include <memory>
#include <vector>

struct CBKeyState {
    std::vector<CBString> dependents; // told "changed" after the key; nothing adds any yet
    std::vector<CBKeyValueObserver*> observers; // weak, in the order they started observing
};

class CBKeyValueStore : public CBDebugObject {
public:
    CBKeyValueStore() = default;
    CBKeyValueStore(CBKeyValueStore const&) = delete;
    CBKeyValueStore& operator=(CBKeyValueStore const&) = delete;
    ~CBKeyValueStore() override;

    virtual CBValue GetKeyValue(CBString const& theKeyName) const;
    virtual void SetKeyValue(CBString const& theKeyName, CBValue const& theValue);

    CBValue GetKeyPathValue(CBString const& theKeyPath) const;
    // The one way clients change a value: unless forced, an equal value changes nothing.
    void SetKeyPathValue(CBString const& theKeyPath, CBValue const& theValue, bool force);
    bool HasKey(CBString const& theKeyName) const;

    bool IsObserving(CBString const& theKeyPath, CBKeyValueObserver* theObserver) const;
    void ObserveKeyPathValue(CBString const& theKeyPath, CBKeyValueObserver* theObserver);
    void IgnoreKeyPathValue(CBString const& theKeyPath, CBKeyValueObserver* theObserver);
    void RemoveObservers();

    void NotifyObservers(CBString const& theKeyPath, bool changed);
    void NotifyDependents(CBString const& theKeyName);

private:
    std::map<CBString, CBKeyState> mKeyStates;
    std::map<CBString, CBValue> mValues;
    // Cleared on destruction, so that a notification pass running when an observer
    // destroys this store stops instead of touching it.
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};
