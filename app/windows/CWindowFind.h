#pragma once

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "app/windows/CBrowserFind.h"
#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "foundation/CMsgListener.h"
#include "framework/CWindowController.h"
#include "model/ISearchQuerySource.h"
#include "model/SearchResult.h"

#include <vector>

class CChasingArrows;
class CDataBrowser;
class CHISearchField;
class CMapWaypoint;
class CPopupButton;
class CPushButton;
class CStaticText;
class CThreadSearch;
class CWindowDocument;
class IFindDocument;

// The find window: places around the centre of a document's map, by category and
// radius, streamed in by the search worker nearest first and filtered by name or kind.
// The selected place shows on the map as a temporary waypoint; "Add" makes it a real one.
// One window, run modally by FindLocation; closing it dismisses it. Main thread only,
// but for GetQuery, which the worker calls while it runs.
class CWindowFind : public CWindowController, public CMsgListener, public CTWWindow, public CBKeyValueObserver,
                    public ISearchQuerySource {
public:
    static constexpr char const* kNibFile = "Tarnwick";
    static constexpr char const* kNibWindow = "Find";
    static constexpr char const* kPrefWindowBounds = "WindowFind";
    static constexpr UInt32 kCommandAddWaypoint = 'addw';
    static constexpr UInt32 kRadii[] = { 5, 10, 50, 100, 500, 1000 }; // in the user's units

    // The one window, made on first use; null when it cannot be made.
    static CWindowFind* GetInstance();
    // Tests only: the window goes, so that the next GetInstance makes a fresh one.
    static void ResetForTesting();

    CWindowFind() = default;
    ~CWindowFind() override;

    // Searches around the document's map centre and returns once the window is dismissed.
    void FindLocation(IFindDocument* document);
    void FindLocation(CWindowDocument* document);
    // The first half of FindLocation: the window searches and shows, without its modal loop.
    void BeginFind(IFindDocument* document);

    SearchQuery GetQuery() const override { return mQuery; }
    std::vector<SearchResult> const& GetResults() const { return mResults; }
    SearchResult const* GetSelection() const;
    IFindDocument* GetDocument() const { return mDocument; }
    CMapWaypoint* GetPreview() const { return mPreview; }
    CThreadSearch* GetWorker() const { return mWorker; }

    double GetRadiusInMetres(UInt32 n) const;
    SearchQuery GetInitialQuery() const;
    void StartQuery(SearchQuery const& query);
    CMapWaypoint* CreateWaypoint(SearchResult const* result) const;
    void UpdateRadius();
    void UpdateTotal();
    void UpdateFilter();
    void CreateSelection();
    void SearchUpdated();
    void SearchComplete();
    OSStatus CommandCategory(SearchCategory category);
    OSStatus CommandRadius(UInt32 n);
    OSStatus CommandWaypoint();
    OSStatus CommandOK();

    SInt32 GetMenuStatus(HICommandExtended const& command) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    OSStatus CommandClose() override;
    void DoMessage(UInt32 message, void* parameter) override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

private:
    void AttachResults();
    void RemovePreview();

    IFindDocument* mDocument = nullptr; // weak: set only between FindLocation and dismissing
    CMapWaypoint* mPreview = nullptr; // owned by the document while it is there
    CThreadSearch* mWorker = nullptr; // owns
    SearchQuery mQuery;
    CPopupButton* mCategory = nullptr; // the views below are the window's
    CPopupButton* mRadius = nullptr;
    CHISearchField* mSearchField = nullptr;
    CDataBrowser* mList = nullptr;
    CPushButton* mAdd = nullptr;
    CChasingArrows* mProgress = nullptr;
    CStaticText* mTotal = nullptr;
    CBrowserFind mSource;
    std::vector<SearchResult> mResults;
    bool mModal = false; // the modal loop runs
};
