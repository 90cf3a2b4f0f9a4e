#include "bindings/Source/Bindings/CBObjectBinding.h"

#include "bindings/Source/Bindings/CBObjectBindingSupport.h"

using namespace tw::bindings;

void CBObjectBinding::SetKeyValue(CBString const& theKeyName, CBValue const& theValue)
{
    if (IsBound() && mWriteThrough)
        ApplyValue(theKeyName, theValue);
    CBKeyValueBinding::SetKeyValue(theKeyName, theValue);
}

void CBObjectBinding::SyncValue(CBString const& theKey)
{
    if (!CheckBound())
        return;
    CBValue const value = ReadValue(theKey);
    if (!value.IsValid())
        return;
    StWriteThroughOff const reading(mWriteThrough);
    SetKeyPathValue(theKey, value, false);
}

void CBObjectBinding::ReleaseObject()
{
    if (mHandler)
        CB_REPORT_STATUS(RemoveEventHandler(mHandler));
    mHandler = nullptr;
    mWriteThrough = true;
}

void CBObjectBinding::WatchObject(EventTargetRef target, EventHandlerUPP upp, std::span<EventTypeSpec const> events,
    void* binding, std::span<char const* const> keys)
{
    CB_REPORT_STATUS(InstallEventHandler(target, upp, ItemCount(events.size()), events.data(), binding, &mHandler));
    StWriteThroughOff const reading(mWriteThrough);
    for (char const* key : keys)
        SyncValue(key);
}
