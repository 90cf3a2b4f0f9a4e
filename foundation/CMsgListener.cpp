#include "foundation/CMsgListener.h"

#include "foundation/CMsgBroadcaster.h"

#include <algorithm>

CMsgListener::CMsgListener(CMsgListener const&) { }

CMsgListener::~CMsgListener()
{
    // Detaching edits mBroadcasters: work from a copy.
    std::vector<CMsgBroadcaster*> broadcasters = mBroadcasters;
    for (CMsgBroadcaster* broadcaster : broadcasters)
        broadcaster->Detach(this);
}

bool CMsgListener::IsListeningTo(CMsgBroadcaster const* broadcaster) const
{
    return std::find(mBroadcasters.begin(), mBroadcasters.end(), broadcaster) != mBroadcasters.end();
}
