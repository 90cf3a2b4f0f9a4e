#include "bindings/Source/Core/CBKeyValueStore.h"

#include "bindings/Source/Core/CBKeyValueObserver.h"

#include <algorithm>
#include <functional>

namespace {

struct Listener {
    CBKeyValueObserver* observer; // weak: checked through the token before each call
    std::shared_ptr<bool> alive;
};

} // namespace

CBKeyValueStore::~CBKeyValueStore()
{
    *mAlive = false;
    RemoveObservers();
}

CBValue CBKeyValueStore::GetKeyValue(CBString const& theKeyName) const
{
    CB_CHECK(theKeyName.IsNotEmpty());
    CB_CHECK(theKeyName != kKeyAnyValue);
    auto const found = mValues.find(theKeyName);
    return found != mValues.end() ? found->second : CBValue();
}

void CBKeyValueStore::SetKeyValue(CBString const& theKeyName, CBValue const& theValue)
{
    CB_CHECK(theKeyName.IsNotEmpty());
    CB_CHECK(theKeyName != kKeyAnyValue);
    mValues[theKeyName] = theValue;
}

CBValue CBKeyValueStore::GetKeyPathValue(CBString const& theKeyPath) const
{
    CBString const& theKeyName = theKeyPath;
    CB_CHECK(theKeyPath.IsNotEmpty());
    CB_CHECK(theKeyName != kKeyAnyValue);
    return GetKeyValue(theKeyPath);
}

void CBKeyValueStore::SetKeyPathValue(CBString const& theKeyPath, CBValue const& theValue, bool force)
{
    CBString const& theKeyName = theKeyPath;
    CB_CHECK(theKeyPath.IsNotEmpty());
    CB_CHECK(theKeyName != kKeyAnyValue);
    // 1. The equality stop ends the echo between bound stores.
    if (!force && GetKeyValue(theKeyPath) == theValue)
        return;
    // 2. An observer may destroy this store during either pass; stop if it did.
    // The key and value are copied: either may live inside what an observer destroys.
    std::shared_ptr<bool> const alive = mAlive;
    CBString const key = theKeyPath;
    CBValue const value = theValue;
    NotifyObservers(key, false);
    if (!*alive)
        return;
    SetKeyValue(key, value);
    if (!*alive)
        return;
    NotifyObservers(key, true);
    if (!*alive)
        return;
    NotifyDependents(key);
}

bool CBKeyValueStore::HasKey(CBString const& theKeyName) const
{
    CB_CHECK(theKeyName.IsNotEmpty());
    if (theKeyName == kKeyAnyValue)
        return true;
    return GetKeyValue(theKeyName).IsValid();
}

bool CBKeyValueStore::IsObserving(CBString const& theKeyPath, CBKeyValueObserver* theObserver) const
{
    CB_CHECK(theKeyPath.IsNotEmpty());
    CB_CHECK(theObserver != NULL);
    auto const found = mKeyStates.find(theKeyPath);
    if (found == mKeyStates.end())
        return false;
    auto const& observers = found->second.observers;
    return std::find(observers.begin(), observers.end(), theObserver) != observers.end();
}

void CBKeyValueStore::ObserveKeyPathValue(CBString const& theKeyPath, CBKeyValueObserver* theObserver)
{
    CB_CHECK(!IsObserving(theKeyPath, theObserver));
    // Registering a null observer would crash the next notification.
    if (theObserver == nullptr)
        return;
    if (IsLogging()) {
        LogString("Observer %s started watching Key '%s' in Store %s", theObserver->GetDebugInfo().GetUTF8(),
            theKeyPath.GetUTF8(), GetDebugInfo().GetUTF8());
    }
    mKeyStates[theKeyPath].observers.push_back(theObserver);
    theObserver->StartedObserving(this, theKeyPath);
}

void CBKeyValueStore::IgnoreKeyPathValue(CBString const& theKeyPath, CBKeyValueObserver* theObserver)
{
    CB_CHECK(IsObserving(theKeyPath, theObserver));
    if (theObserver == nullptr)
        return;
    if (IsLogging()) {
        LogString("Observer %s stopped watching Key '%s' in Store %s", theObserver->GetDebugInfo().GetUTF8(),
            theKeyPath.GetUTF8(), GetDebugInfo().GetUTF8());
    }
    std::erase(mKeyStates[theKeyPath].observers, theObserver);
    theObserver->StoppedObserving(this, theKeyPath);
}

void CBKeyValueStore::RemoveObservers()
{
    for (auto& [key, state] : mKeyStates) {
        while (!state.observers.empty())
            IgnoreKeyPathValue(key, state.observers.front());
    }
}

void CBKeyValueStore::NotifyObservers(CBString const& theKeyPath, bool changed)
{
    bool const tracing = IsLogging();
    if (tracing) {
        AddIndent();
        LogString("%s %s.%s", changed ? "changed " : "changing", GetDebugInfo().GetUTF8(), theKeyPath.GetUTF8());
    }
    // 1. Only keys that ever had an observer are heard, even by observers of "*".
    auto const found = mKeyStates.find(theKeyPath);
    if (found != mKeyStates.end()) {
        // 2. Work on a copy, so that observers may start or stop observing during the pass;
        // the "*" observers are merged in by address, as a list merge does.
        std::vector<CBKeyValueObserver*> observers = found->second.observers;
        auto const any = mKeyStates.find(kKeyAnyValue);
        if (any != mKeyStates.end()) {
            std::vector<CBKeyValueObserver*> merged;
            std::merge(observers.begin(), observers.end(), any->second.observers.begin(), any->second.observers.end(),
                std::back_inserter(merged), std::less<CBKeyValueObserver*>());
            observers.swap(merged);
        }
        std::vector<Listener> listeners;
        listeners.reserve(observers.size());
        for (CBKeyValueObserver* observer : observers)
            listeners.push_back({ observer, observer->mAlive });
        // 3. An observer destroyed by an earlier call is skipped; a store destroyed by one ends the pass.
        std::shared_ptr<bool> const alive = mAlive;
        CBString const key = theKeyPath;
        for (Listener const& listener : listeners) {
            if (!*alive)
                break;
            if (!*listener.alive)
                continue;
            if (changed)
                listener.observer->ValueChanged(this, key);
            else
                listener.observer->ValueChanging(this, key);
        }
    }
    if (tracing)
        RemoveIndent();
}

void CBKeyValueStore::NotifyDependents(CBString const& theKeyName)
{
    CB_CHECK(HasKey(theKeyName));
    auto const found = mKeyStates.find(theKeyName);
    if (found == mKeyStates.end())
        return;
    std::vector<CBString> const dependents = found->second.dependents;
    for (CBString const& dependent : dependents)
        NotifyObservers(dependent, true);
}
