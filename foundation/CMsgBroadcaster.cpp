#include "foundation/CMsgBroadcaster.h"

#include "foundation/CMsgListener.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<UInt64> sNextSerial { 1 };

} // namespace

CMsgBroadcaster::CMsgBroadcaster(CMsgBroadcaster const&) { }

CMsgBroadcaster::~CMsgBroadcaster()
{
    // Listeners drop their pointers to us on "ebde"; some delete themselves.
    Send(kMsgBroadcasterDied, this);
    for (Pass* pass = mPasses; pass; pass = pass->outer)
        pass->ended = true;
    std::vector<Entry> listeners = std::move(mListeners);
    for (Entry const& entry : listeners) {
        auto& list = entry.listener->mBroadcasters;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void CMsgBroadcaster::AddListener(CMsgListener* listener)
{
    if (!listener || HasListener(listener))
        return;
    mListeners.push_back({ listener, sNextSerial++ });
    listener->mBroadcasters.push_back(this);
}

void CMsgBroadcaster::RemoveListener(CMsgListener* listener)
{
    if (listener)
        Detach(listener);
}

void CMsgBroadcaster::Detach(CMsgListener* listener)
{
    mListeners.erase(std::remove_if(mListeners.begin(), mListeners.end(),
                         [listener](Entry const& entry) { return entry.listener == listener; }),
        mListeners.end());
    auto& list = listener->mBroadcasters;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool CMsgBroadcaster::HasListener(CMsgListener const* listener) const
{
    return std::any_of(
        mListeners.begin(), mListeners.end(), [listener](Entry const& entry) { return entry.listener == listener; });
}

bool CMsgBroadcaster::IsAttached(Entry const& entry) const
{
    return std::any_of(mListeners.begin(), mListeners.end(), [&entry](Entry const& attached) {
        return attached.listener == entry.listener && attached.serial == entry.serial;
    });
}

void CMsgBroadcaster::BroadcastMessage(UInt32 message, void* parameter) const
{
    if (mBroadcasting)
        Send(message, parameter);
}

void CMsgBroadcaster::Send(UInt32 message, void* parameter) const
{
    // Call from a snapshot, re-checking each entry: the list may change under every call.
    std::vector<Entry> snapshot = mListeners;
    Pass pass;
    pass.outer = mPasses;
    mPasses = &pass;
    for (Entry const& entry : snapshot) {
        if (!IsAttached(entry) || !entry.listener->IsListening())
            continue;
        entry.listener->DoMessage(message, parameter);
        if (pass.ended)
            return; // this broadcaster is gone: touch nothing of it
    }
    mPasses = pass.outer;
}
