#include "devices/CMainThreadPost.h"

namespace {

constexpr EventClass kEventClassDevice = 'Tdev';
constexpr EventKind kEventDeviceSignal = 1;
constexpr EventParamName kParamSerial = 'Tser';
std::atomic<UInt64> sNextSerial { 1 };

} // namespace

CMainThreadPost::CMainThreadPost(Callback callback, void* context)
    : mCallback(callback)
    , mContext(context)
    , mSerial(sNextSerial++)
{
    static EventTypeSpec const kTypes[] = { { kEventClassDevice, kEventDeviceSignal } };
    InstallEventHandler(GetApplicationEventTarget(), HandleEvent, 1, kTypes, this, &mHandler);
}

CMainThreadPost::~CMainThreadPost()
{
    if (mHandler)
        RemoveEventHandler(mHandler);
}

void CMainThreadPost::Signal()
{
    if (mPending.exchange(true))
        return;
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassDevice, kEventDeviceSignal, 0, 0, &event) != noErr)
        return;
    EventTargetRef target = GetApplicationEventTarget();
    SetEventParameter(event, kParamSerial, typeUInt64, sizeof mSerial, &mSerial);
    SetEventParameter(event, kEventParamPostTarget, typeEventTargetRef, sizeof target, &target);
    if (PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard) != noErr)
        mPending = false;
    ReleaseEvent(event);
}

OSStatus CMainThreadPost::HandleEvent(EventHandlerCallRef, EventRef event, void* userData)
{
    auto* post = static_cast<CMainThreadPost*>(userData);
    UInt64 serial = 0;
    GetEventParameter(event, kParamSerial, typeUInt64, nullptr, sizeof serial, nullptr, &serial);
    if (serial != post->mSerial)
        return eventNotHandledErr;
    // Cleared first: a signal raised while the callback runs posts again.
    post->mPending = false;
    post->mCallback(post->mContext);
    return noErr;
}
