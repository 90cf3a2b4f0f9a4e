#include "model/CThreadSearch.h"

#include "foundation/CMsgListener.h"
#include "foundation/StMutexLock.h"
#include "model/CPlaceSearch.h"
#include "model/ISearchQuerySource.h"

namespace {
std::atomic<CMapManager*> gMapManager { nullptr };
} // namespace

void CThreadSearch::SetMapManager(CMapManager* mapManager) { gMapManager.store(mapManager); }

CMapManager* CThreadSearch::GetMapManager() { return gMapManager.load(); }

CThreadSearch::CThreadSearch(ISearchQuerySource* window)
    : mWindow(window)
{
    if (auto* listener = dynamic_cast<CMsgListener*>(window))
        AddListener(listener);
}

CThreadSearch::~CThreadSearch()
{
    // The thread ends before the members it reads go.
    EndTask();
}

std::vector<SearchResult>& CThreadSearch::LockResults()
{
    mLock.Lock();
    return mResults;
}

void CThreadSearch::UnlockResults() { mLock.Unlock(); }

void CThreadSearch::DoTask()
{
    {
        StMutexLock lock(mLock);
        mResults.clear();
    }
    CMapManager* mapManager = GetMapManager();
    if (mWindow && mapManager) {
        CPlaceSearch search(*mapManager, mWindow->GetQuery());
        std::vector<SearchResult> ring;
        while (!search.IsFinished() && !ShouldStop()) {
            search.NextRing(ring);
            if (ring.empty() || ShouldStop())
                continue;
            {
                StMutexLock lock(mLock);
                mResults.insert(
                    mResults.end(), std::make_move_iterator(ring.begin()), std::make_move_iterator(ring.end()));
            }
            Announce(kMsgSearchMore);
        }
    }
    if (!ShouldStop())
        Announce(kMsgSearchComplete);
}

void CThreadSearch::Announce(UInt32 message)
{
    mMessage = message;
    UseMainThread();
}

void CThreadSearch::DoMainTask() { BroadcastMessage(mMessage, this); }
