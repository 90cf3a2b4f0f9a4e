#include "bindings/Source/Bindings/CBKeyValueBinding.h"

#include "bindings/Source/Transforms/CBValueTransform.h"

#include <algorithm>
#include <cstdio>

namespace {

// Deep enough for any chain of bindings; transforms that never settle stop here.
constexpr int kMaxUpdateDepth = 32;

void ReleaseTransform(CBValueTransform* transform)
{
    if (transform)
        transform->Release();
}

} // namespace

int CBKeyValueBinding::sUpdateDepth = 0;

CBKeyValueBinding::~CBKeyValueBinding()
{
    UnbindAll();
    // One-way followers hold entries on their side only; they must not keep them.
    std::set<CBKeyValueBinding*> const followers(mFollowers.begin(), mFollowers.end());
    mFollowers.clear();
    for (CBKeyValueBinding* follower : followers)
        follower->ForgetBindingsTo(this);
}

CBString CBKeyValueBinding::GetDebugInfo() const
{
    char text[64];
    std::snprintf(text, sizeof text, "[CBKeyValueBinding 0x%.8lX]",
        reinterpret_cast<unsigned long>(static_cast<CBKeyValueStore const*>(this)));
    return CBString(text);
}

bool CBKeyValueBinding::IsBindable(CBString const& theKey) { return theKey != kKeyAnyValue; }

OSStatus CBKeyValueBinding::Bind(CBString const& theKey, CBKeyValueBinding* other, CBString const& otherKey,
    CBValueTransform* toThis, CBValueTransform* toOther)
{
    if (!IsBindable(theKey) || (other && !other->IsBindable(otherKey))) {
        ReleaseTransform(toThis);
        ReleaseTransform(toOther);
        return paramErr;
    }
    OSStatus const status = CreateBinding(theKey, true, other, otherKey, toThis, toOther);
    if (status != noErr)
        CB_REPORT("Error %ld", static_cast<long>(status));
    return status;
}

OSStatus CBKeyValueBinding::BindTo(
    CBString const& theKey, CBKeyValueBinding* other, CBString const& otherKey, CBValueTransform* toThis)
{
    // Only the followed side is asked, so a binding that is never bindable can still follow.
    if (other && !other->IsBindable(otherKey)) {
        ReleaseTransform(toThis);
        return paramErr;
    }
    OSStatus const status = CreateBinding(theKey, false, other, otherKey, toThis, nullptr);
    if (status != noErr)
        CB_REPORT("Error %ld", static_cast<long>(status));
    return status;
}

OSStatus CBKeyValueBinding::CreateBinding(CBString const& bindKey, bool twoWay, CBKeyValueBinding* boundTo,
    CBString const& boundKey, CBValueTransform* toThis, CBValueTransform* toOther)
{
    // 1. Check the request; an entry bound to nothing would be followed by every later change.
    CB_CHECK(bindKey.IsNotEmpty());
    CB_CHECK(boundKey.IsNotEmpty());
    if (!CB_CHECK(boundTo != NULL)) {
        ReleaseTransform(toThis);
        ReleaseTransform(toOther);
        return paramErr;
    }
    // 2. This side's entry.
    if (IsLogging()) {
        LogString("Binding %s.%s to %s.%s", GetDebugInfo().GetUTF8(), bindKey.GetUTF8(),
            boundTo->GetDebugInfo().GetUTF8(), boundKey.GetUTF8());
    }
    AddBinding(bindKey, boundTo, boundKey, toThis);
    // 3. The other side's entry, for a two-way binding.
    if (twoWay) {
        boundTo->AddBinding(boundKey, this, bindKey, toOther);
        if (!boundTo->AmObserving(this, bindKey))
            ObserveKeyPathValue(bindKey, boundTo);
    } else {
        ReleaseTransform(toOther);
    }
    // 4. Hear the other side.
    if (!AmObserving(boundTo, boundKey))
        boundTo->ObserveKeyPathValue(boundKey, this);
    // 5. Take the other side's value when it has one.
    CBValue value = boundTo->GetKeyPathValue(boundKey);
    if (toThis)
        value = toThis->Apply(value);
    if (value.IsValid())
        SetKeyPathValue(bindKey, value, false);
    return noErr;
}

void CBKeyValueBinding::AddBinding(
    CBString const& bindKey, CBKeyValueBinding* boundTo, CBString const& boundKey, CBValueTransform* transform)
{
    mBindings[bindKey].push_back({ boundTo, boundKey, transform });
    boundTo->mFollowers.insert(this);
}

void CBKeyValueBinding::ValueChanged(CBKeyValueStore const* theStore, CBString const& theKeyPath)
{
    // 1. Only the first entry bound to this key of that binding is updated.
    auto const* other = dynamic_cast<CBKeyValueBinding const*>(theStore);
    if (other == nullptr)
        return;
    BindingInfo const* match = nullptr;
    CBString const* thisKey = nullptr;
    for (auto const& [key, infos] : mBindings) {
        auto const found = std::find_if(infos.begin(), infos.end(),
            [&](BindingInfo const& info) { return info.boundTo == other && info.boundKey == theKeyPath; });
        if (found != infos.end()) {
            match = &*found;
            thisKey = &key;
            break;
        }
    }
    if (!match)
        return;
    // 2. Transforms that never agree would bounce the value back and forth without end.
    if (!CB_CHECK(sUpdateDepth < kMaxUpdateDepth))
        return;
    // 3. Carry the value over; the copies stay valid whatever the update does to this binding.
    CBString const key = *thisKey;
    CBValue value = theStore->GetKeyPathValue(theKeyPath);
    if (match->transform)
        value = match->transform->Apply(value);
    bool const tracing = IsLogging();
    if (tracing) {
        AddIndent();
        LogString("Updating %s.%s", GetDebugInfo().GetUTF8(), key.GetUTF8());
    }
    sUpdateDepth++;
    SetKeyPathValue(key, value, false);
    sUpdateDepth--;
    if (tracing)
        RemoveIndent();
}

OSStatus CBKeyValueBinding::Unbind(CBString const& boundKey, CBKeyValueBinding* other)
{
    CB_CHECK(boundKey.IsNotEmpty());
    auto const found = mBindings.find(boundKey);
    if (found == mBindings.end())
        return paramErr;
    CBString const key = boundKey; // the caller's key may live in an entry removed below
    if (other) {
        auto const& infos = found->second;
        auto const entry
            = std::find_if(infos.begin(), infos.end(), [&](BindingInfo const& info) { return info.boundTo == other; });
        if (entry != infos.end())
            RemoveBinding(key, static_cast<size_t>(entry - infos.begin()));
        return noErr;
    }
    // Front first, looking the list up again each time: removing one binding
    // re-enters this list through the partner.
    for (auto list = mBindings.find(key); list != mBindings.end() && !list->second.empty(); list = mBindings.find(key))
        RemoveBinding(key, 0);
    mBindings.erase(key);
    return noErr;
}

void CBKeyValueBinding::UnbindAll()
{
    while (!mBindings.empty()) {
        CBString const key = mBindings.begin()->first;
        OSStatus const status = Unbind(key, nullptr);
        if (status != noErr)
            CB_REPORT("Error %ld", static_cast<long>(status));
    }
}

void CBKeyValueBinding::RemoveBinding(CBString const& bindKey, size_t index)
{
    std::vector<BindingInfo>& infos = mBindings[bindKey];
    BindingInfo const info = infos[index];
    CBKeyValueBinding* const boundTo = info.boundTo;
    CB_CHECK(boundTo != NULL);
    bool const tracing = IsLogging();
    if (tracing) {
        AddIndent();
        LogString("Unbinding %s.%s from %s.%s", GetDebugInfo().GetUTF8(), bindKey.GetUTF8(),
            boundTo ? boundTo->GetDebugInfo().GetUTF8() : "NULL", info.boundKey.GetUTF8());
    }
    // 1. Drop the entry and its transform.
    ReleaseTransform(info.transform);
    infos.erase(infos.begin() + static_cast<std::ptrdiff_t>(index));
    if (boundTo) {
        auto const follower = boundTo->mFollowers.find(this);
        if (follower != boundTo->mFollowers.end())
            boundTo->mFollowers.erase(follower);
        // 2. Stop hearing the other key unless another entry still follows it.
        if (!NeedsObservation(boundTo, info.boundKey) && AmObserving(boundTo, info.boundKey))
            boundTo->IgnoreKeyPathValue(info.boundKey, this);
        // 3. The reverse entry of a two-way binding; a one-way partner has none.
        boundTo->Unbind(info.boundKey, this);
    }
    if (tracing)
        RemoveIndent();
}

bool CBKeyValueBinding::NeedsObservation(CBKeyValueBinding* boundTo, CBString const& boundKey) const
{
    for (auto const& [key, infos] : mBindings) {
        for (BindingInfo const& info : infos) {
            if (info.boundTo == boundTo && info.boundKey == boundKey)
                return true;
        }
    }
    return false;
}

// Called by a partner that is going away: every entry bound to it is dropped.
void CBKeyValueBinding::ForgetBindingsTo(CBKeyValueBinding* partner)
{
    for (auto list = mBindings.begin(); list != mBindings.end();) {
        std::vector<BindingInfo>& infos = list->second;
        size_t const before = infos.size();
        for (BindingInfo const& info : infos) {
            if (info.boundTo != partner)
                continue;
            ReleaseTransform(info.transform);
            if (AmObserving(partner, info.boundKey))
                partner->IgnoreKeyPathValue(info.boundKey, this);
        }
        std::erase_if(infos, [&](BindingInfo const& info) { return info.boundTo == partner; });
        if (infos.empty() && before != 0)
            list = mBindings.erase(list);
        else
            ++list;
    }
}
