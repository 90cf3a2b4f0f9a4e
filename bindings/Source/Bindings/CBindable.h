#pragma once

// Mix-in for an application object that owns a binding for its own keys and hears
// every change of them. The owner binds GetBindings() to other bindings; subclasses
// override ValueChanged and may use the ignore-changes flag around their own writes.

#include "bindings/Source/Bindings/CBKeyValueBinding.h"

class CBindable : public CBKeyValueObserver {
public:
    CBindable();

    CBKeyValueBinding* GetBindings() { return &mBindings; }
    void SetIgnoreChanges(bool ignoreChanges) { mIgnoreChanges = ignoreChanges; }

protected:
    // The bindings never consult the flag; it is for the subclass's own use.
    bool IsIgnoringChanges() const { return mIgnoreChanges; }

private:
    bool mIgnoreChanges = false;
    // Destroyed before the observer part, so its registration of this observer ends first.
    CBKeyValueBinding mBindings;
};
