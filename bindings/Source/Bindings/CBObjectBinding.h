#pragma once

// What the bindings that mirror one toolbox object share: an event handler on the
// object, installed when it is bound and removed when it is not; writes to a key that
// go through to the object, except while the object's own change is read back into
// the key; and that reading back.

#include "bindings/Source/Bindings/CBKeyValueBinding.h"
#include "events/CarbonEvents.h"

#include <span>

class CBObjectBinding : public CBKeyValueBinding {
public:
    void SetKeyValue(CBString const& theKeyName, CBValue const& theValue) override;
    // Reads the key from the object into the binding, without writing it back.
    void SyncValue(CBString const& theKey);

protected:
    virtual bool IsBound() const = 0;
    // As IsBound, but an object missing where one must be is reported.
    virtual bool CheckBound() const = 0;
    virtual void ApplyValue(CBString const& theKey, CBValue const& theValue) = 0;
    virtual CBValue ReadValue(CBString const& theKey) const = 0; // invalid: not read
    // Removes the handler of the object bound so far; writes go through again.
    void ReleaseObject();
    // Installs the handler, called with the binding as its data, on the newly bound object,
    // and reads every key from it.
    void WatchObject(EventTargetRef target, EventHandlerUPP upp, std::span<EventTypeSpec const> events, void* binding,
        std::span<char const* const> keys);

    bool mWriteThrough = true;

private:
    EventHandlerRef mHandler = nullptr;
};
