#pragma once

// A store whose keys can be bound to keys of other bindings, and an observer of the
// bindings it is bound to: a change on one side is carried to the other, through an
// optional transform. Bind makes a two-way binding, BindTo makes this side follow the
// other. A binding never owns its partners; each side forgets the other when it goes.

#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "bindings/Source/Core/CBKeyValueStore.h"

#include <map>
#include <set>
#include <vector>

struct BindingInfo {
    CBKeyValueBinding* boundTo; // weak: the partner drops this entry before it goes
    CBString boundKey;
    CBValueTransform* transform; // owns one reference, or null
};

class CBKeyValueBinding : public CBKeyValueObserver, public CBKeyValueStore {
public:
    CBKeyValueBinding() = default;
    ~CBKeyValueBinding() override;

    CBString GetDebugInfo() const override;
    void ValueChanged(CBKeyValueStore const* theStore, CBString const& theKeyPath) override;
    virtual bool IsBindable(CBString const& theKey);

    // Both take over the one reference of each transform passed, made or refused.
    OSStatus Bind(CBString const& theKey, CBKeyValueBinding* other, CBString const& otherKey, CBValueTransform* toThis,
        CBValueTransform* toOther);
    OSStatus BindTo(
        CBString const& theKey, CBKeyValueBinding* other, CBString const& otherKey, CBValueTransform* toThis);
    OSStatus Unbind(CBString const& boundKey, CBKeyValueBinding* other);
    void UnbindAll();

private:
    OSStatus CreateBinding(CBString const& bindKey, bool twoWay, CBKeyValueBinding* boundTo, CBString const& boundKey,
        CBValueTransform* toThis, CBValueTransform* toOther);
    void AddBinding(
        CBString const& bindKey, CBKeyValueBinding* boundTo, CBString const& boundKey, CBValueTransform* transform);
    void RemoveBinding(CBString const& bindKey, size_t index);
    bool NeedsObservation(CBKeyValueBinding* boundTo, CBString const& boundKey) const;
    void ForgetBindingsTo(CBKeyValueBinding* partner);

    std::map<CBString, std::vector<BindingInfo>> mBindings;
    // Bindings holding entries bound to this one, once per entry; one-way followers
    // appear only here, and are told to forget this binding when it goes.
    std::multiset<CBKeyValueBinding*> mFollowers; // weak

    static int sUpdateDepth;
};
