#include "bindings/Source/Core/CBKeyValueObserver.h"

#include "bindings/Source/Core/CBKeyValueStore.h"

#include <algorithm>

CBKeyValueObserver::~CBKeyValueObserver()
{
    *mAlive = false;
    StopObserving();
}

void CBKeyValueObserver::StartedObserving(CBKeyValueStore* theStore, CBString const& theKeyPath)
{
    // A null store could never be told to let go again.
    if (!CB_CHECK(theStore != NULL))
        return;
    CB_CHECK(!AmObserving(theStore, theKeyPath));
    mObservedKeys.push_back({ theStore, theKeyPath });
}

void CBKeyValueObserver::StoppedObserving(CBKeyValueStore* theStore, CBString const& theKeyPath)
{
    if (!CB_CHECK(theStore != NULL))
        return;
    CB_CHECK(AmObserving(theStore, theKeyPath));
    std::erase(mObservedKeys, CBObservedKey { theStore, theKeyPath });
}

bool CBKeyValueObserver::AmObserving(CBKeyValueStore* theStore, CBString const& theKeyPath) const
{
    CB_CHECK(theStore != NULL);
    CB_CHECK(theKeyPath.IsNotEmpty());
    return std::find(mObservedKeys.begin(), mObservedKeys.end(), CBObservedKey { theStore, theKeyPath })
        != mObservedKeys.end();
}

void CBKeyValueObserver::StopObserving()
{
    while (!mObservedKeys.empty()) {
        CBObservedKey const theKey = mObservedKeys.front();
        CB_CHECK(AmObserving(theKey.theStore, theKey.theKeyPath));
        theKey.theStore->IgnoreKeyPathValue(theKey.theKeyPath, this);
        // The store answers through StoppedObserving; drop the entry ourselves should it not.
        if (!mObservedKeys.empty() && mObservedKeys.front() == theKey)
            mObservedKeys.erase(mObservedKeys.begin());
    }
}
