#include "foundation/CMsgBroadcaster.h"

#include "foundation/CMsgListener.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace {

std::atomic<UInt64> sNextSerial { 1 };

// From the end: many broadcasters (a document's objects) are let go of last first, so a
// listener of thousands finds each at once.
void Forget(std::vector<CMsgBroadcaster*>& list, CMsgBroadcaster const* broadcaster)
{
    auto const found = std::find(list.rbegin(), list.rend(), broadcaster);
    if (found != list.rend())
        list.erase(std::next(found).base());
}

} // namespace

CMsgBroadcaster::CMsgBroadcaster(CMsgBroadcaster const&) { }

CMsgBroadcaster::~CMsgBroadcaster()
{
    // Listeners drop their pointers to us on "ebde"; some delete themselves.
    Send(kMsgBroadcasterDied, this);
    for (Pass* pass = mPasses; pass; pass = pass->outer)
        pass->ended = true;
    std::vector<Entry> listeners = std::move(mListeners);
    for (Entry const& entry : listeners)
        Forget(entry.listener->mBroadcasters, this);
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
    Forget(listener->mBroadcasters, this);
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
