#pragma once

// The search worker of a find window. Each run (message 2) reads the window's query,
// searches the map packs' places ring by ring outward and, on the main thread,
// broadcasts "srmo" after each ring that added places and "scom" when it is done;
// the results grow under the worker's lock. Made and deleted on the main thread;
// deleting it ends the worker.

#include "foundation/CMsgBroadcaster.h"
#include "foundation/CMutex.h"
#include "foundation/CThreadTask.h"
#include "model/SearchResult.h"

#include <atomic>
#include <vector>

class CMapManager;
class ISearchQuerySource;

class CThreadSearch : public CThreadTask, public CMsgBroadcaster {
public:
    static constexpr UInt32 kMsgSearchMore = 'srmo'; // more results; parameter: the worker
    static constexpr UInt32 kMsgSearchComplete = 'scom'; // the search is done; parameter: the worker

    // The window supplies the query; when it is also a CMsgListener it is made a listener of
    // the worker's broadcasts.
    explicit CThreadSearch(ISearchQuerySource* window);
    ~CThreadSearch() override;

    // The results so far, nearest first, under the worker's lock until UnlockResults.
    std::vector<SearchResult>& LockResults();
    void UnlockResults();

    // The map manager every search reads (the application object's), set before a worker runs.
    static void SetMapManager(CMapManager* mapManager);
    static CMapManager* GetMapManager();

protected:
    void DoTask() override;
    void DoMainTask() override;

private:
    void Announce(UInt32 message); // from the worker, broadcast on the main thread

    ISearchQuerySource* mWindow; // weak: the window owns the worker
    CMutex mLock; // guards mResults
    std::vector<SearchResult> mResults;
    std::atomic<UInt32> mMessage { 0 }; // what DoMainTask broadcasts
};
