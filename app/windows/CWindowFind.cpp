#include "app/windows/CWindowFind.h"

#include "app/windows/IFindDocument.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CCarbonEvent.h"
#include "framework/CMacWindow.h"
#include "framework/ConstructController.h"
#include "mapdata/CMapManager.h"
#include "mapdata/CMapUnitText.h"
#include "model/CMapObject.h"
#include "model/CMapWaypoint.h"
#include "model/CThreadSearch.h"
#include "widgets/CChasingArrows.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CHISearchField.h"
#include "widgets/CPopupButton.h"
#include "widgets/CPushButton.h"
#include "widgets/CStaticText.h"

#include <iterator>

namespace {

CWindowFind* sFindWindow = nullptr; // owns: lives until the process ends

constexpr char const* kFindPrefUnits = "MapUnits";
constexpr double kFindMetresPerMile = 1609.344;
// The map below can be zoomed while the window is up: these reach it through the window.
constexpr UInt32 kMapZoomCommands[] = { 'zoin', 'zout', 'zfit' };

struct CategoryCommand {
    UInt32 command;
    SearchCategory category;
};
constexpr CategoryCommand kCategoryCommands[] = {
    { 'fall', kSearchCategoryAll },
    { 'fatt', kSearchCategoryAttractions },
    { 'food', kSearchCategoryFood },
    { 'fgov', kSearchCategoryGovernment },
    { 'flod', kSearchCategoryLodging },
    { 'fpla', kSearchCategoryPlaces },
    { 'frec', kSearchCategoryRecreation },
    { 'fser', kSearchCategoryServices },
    { 'fsho', kSearchCategoryShopping },
    { 'ftra', kSearchCategoryTransport },
};

// A radius's command: its number padded with blanks to four characters ("5   ", "1000").
UInt32 RadiusCommand(UInt32 n)
{
    char text[5] = { ' ', ' ', ' ', ' ', 0 };
    std::snprintf(text, sizeof text, "%u", unsigned(n));
    for (char& c : text)
        if (c == 0)
            c = ' ';
    return (UInt32(UInt8(text[0])) << 24) | (UInt32(UInt8(text[1])) << 16) | (UInt32(UInt8(text[2])) << 8)
        | UInt32(UInt8(text[3]));
}

// Kilometres for the metric choices, miles for the imperial ones.
bool UserUnitsAreMetric()
{
    MapUnits const units = CMapUnitText::ResolveStoredUnits(CMapObject::GetMapManager().GetUserUnits());
    return units != kMapUnitsImperial && units != kMapUnitsMiles && units != kMapUnitsFeet;
}

CBPreferenceBinding* FindPreferences()
{
    CApplication* app = CApplication::GetApp();
    return app ? app->GetPreferences().GetBinding() : nullptr;
}

} // namespace

CWindowFind* CWindowFind::GetInstance()
{
    if (!sFindWindow)
        sFindWindow = ConstructController<CWindowFind>(kNibFile, kNibWindow, true);
    return sFindWindow;
}

void CWindowFind::ResetForTesting()
{
    delete sFindWindow;
    sFindWindow = nullptr;
}

CWindowFind::~CWindowFind()
{
    // The worker stops before the query and the results it reads go.
    delete mWorker;
    RemovePreview();
    if (mList)
        mList->SetSource(nullptr);
}

OSStatus CWindowFind::InitialiseSelf()
{
    AddEvent(kEventClassCommand, kEventCommandUpdateStatus);
    mCategory = CPopupButton::Find(this, 'catg', 0);
    mRadius = CPopupButton::Find(this, 'rads', 0);
    mSearchField = CHISearchField::Find(this, 'name', 0);
    mList = CDataBrowser::Find(this, 'rslt', 0);
    mAdd = CPushButton::Find(this, kCommandAddWaypoint, 0);
    mProgress = CChasingArrows::Find(this, 'tpro', 0);
    mTotal = CStaticText::Find(this, 'totl', 0);
    if (!mCategory || !mRadius || !mSearchField || !mList || !mAdd || !mProgress || !mTotal)
        return errUnknownControl;
    mSource.SetWindow(this);
    mList->SetSource(&mSource);
    mAdd->SetEnabled(false);
    mSearchField->AddListener(this);
    UpdateRadius();
    SetKeyboardFocus(GetWindow()->GetWindowRef(), mSearchField->GetHIViewRef(), kControlFocusNextPart);
    CBPreferenceBinding* prefs = FindPreferences();
    if (prefs) {
        GetWindow()->BindBoundsToPrefs(prefs, kPrefWindowBounds);
        prefs->ObserveKeyPathValue(kFindPrefUnits, this);
    }
    mSource.AddListener(this);
    mWorker = new CThreadSearch(this);
    return noErr;
}

double CWindowFind::GetRadiusInMetres(UInt32 n) const
{
    return UserUnitsAreMetric() ? n * 1000.0 : n * kFindMetresPerMile;
}

void CWindowFind::UpdateRadius()
{
    // Written as every distance is, in kilometres or miles whatever the size.
    MapUnits const units = UserUnitsAreMetric() ? kMapUnitsKilometres : kMapUnitsMiles;
    for (UInt32 n : kRadii)
        mRadius->SetItemText(true, RadiusCommand(n), CMapUnitText::GetDistanceString(GetRadiusInMetres(n), units));
}

void CWindowFind::FindLocation(IFindDocument* document)
{
    if (mModal)
        return; // one search at a time
    BeginFind(document);
    if (!mDocument)
        return;
    mModal = true;
    SetWindowModalCommands(GetWindow()->GetWindowRef(), kMapZoomCommands, std::size(kMapZoomCommands));
    GetWindow()->RunModalEventLoop();
    mModal = false;
    if (mDocument)
        CommandOK(); // the loop ended some other way: the document is not kept past this call
}

void CWindowFind::FindLocation(CWindowDocument* document)
{
    if (!document)
        return;
    CFindDocument find(*document);
    FindLocation(&find);
}

void CWindowFind::BeginFind(IFindDocument* document)
{
    if (!document)
        return;
    RemovePreview(); // a preview still in another document goes from there
    mDocument = document;
    StartQuery(GetInitialQuery());
    GetWindow()->Select(true);
}

SearchQuery CWindowFind::GetInitialQuery() const
{
    mCategory->SetCurrentValue(1);
    // The radius stays as the user left it: a wider search is asked again and again.
    SInt32 radius = mRadius->GetCurrentValue();
    if (radius < 1 || radius > SInt32(std::size(kRadii)))
        radius = 1;
    mRadius->SetCurrentValue(radius);
    mSearchField->SetTextValue(CString());
    mList->SetFilter(CString());
    SearchQuery query;
    query.category = kSearchCategoryAll;
    query.centre = mDocument ? mDocument->GetMapCentre() : CCoordinate();
    query.radius = GetRadiusInMetres(kRadii[radius - 1]);
    return query;
}

// The list must not ask about results while they are replaced: it lets go of the source,
// then takes it again and fills itself from the new results.
void CWindowFind::AttachResults()
{
    mList->SetSource(&mSource);
    if (mPreview && !GetSelection())
        CreateSelection();
}

void CWindowFind::StartQuery(SearchQuery const& query)
{
    mWorker->StopTask();
    mProgress->SetVisible(true);
    mProgress->SetAnimating(true);
    // The results of the search before would be listed under the new category or radius.
    mList->SetSource(nullptr);
    mResults.clear();
    AttachResults();
    UpdateTotal();
    mQuery = query;
    mWorker->PostMessage(CThreadTask::kMsgRunTask);
}

OSStatus CWindowFind::CommandCategory(SearchCategory category)
{
    SearchQuery query = mQuery;
    query.category = category;
    StartQuery(query);
    return eventNotHandledErr;
}

OSStatus CWindowFind::CommandRadius(UInt32 n)
{
    SearchQuery query = mQuery;
    query.radius = GetRadiusInMetres(n);
    StartQuery(query);
    return eventNotHandledErr;
}

void CWindowFind::SearchUpdated()
{
    mList->SetSource(nullptr);
    std::vector<SearchResult>& results = mWorker->LockResults();
    mResults = results;
    mWorker->UnlockResults();
    AttachResults();
    UpdateTotal();
}

void CWindowFind::SearchComplete()
{
    mProgress->SetAnimating(false);
    mProgress->SetVisible(false);
}

void CWindowFind::UpdateFilter()
{
    // Return in the field with the same text would refill the list and lose the selection.
    CString const filter = mSearchField->GetTextValue();
    if (filter != mList->GetFilter())
        mList->SetFilter(filter);
    if (mPreview && !GetSelection())
        CreateSelection();
    UpdateTotal();
}

void CWindowFind::UpdateTotal()
{
    long const count = long(mList->CountItems(kDataBrowserItemAnyState, kDataBrowserNoItem, true));
    char const* key = count == 0 ? "FindResults0" : count == 1 ? "FindResults1" : "FindResultsN";
    CString text;
    text.Format(CTextUtilities::GetBundleString(key).GetUTF8(), count);
    mTotal->SetTextValue(text);
}

SearchResult const* CWindowFind::GetSelection() const
{
    if (!mList)
        return nullptr;
    std::vector<DataBrowserItemID> const selected
        = mList->FindItems(kDataBrowserItemIsSelected, kDataBrowserNoItem, true);
    return selected.empty() ? nullptr : mSource.GetResult(selected.front());
}

CMapWaypoint* CWindowFind::CreateWaypoint(SearchResult const* result) const
{
    if (!result)
        return nullptr;
    CMapManager const& maps = CMapObject::GetMapManager();
    auto* waypoint = new CMapWaypoint();
    waypoint->SetPosition(result->position);
    waypoint->SetName(result->name);
    waypoint->SetDescription(maps.GetFeatureName(result->feature));
    waypoint->SetSymbol(maps.GetFeatureSymbol(result->feature));
    return waypoint;
}

void CWindowFind::RemovePreview()
{
    if (mPreview && mDocument)
        mDocument->RemoveObject(mPreview);
    mPreview = nullptr;
}

void CWindowFind::CreateSelection()
{
    RemovePreview();
    CMapWaypoint* waypoint = mDocument ? CreateWaypoint(GetSelection()) : nullptr;
    if (waypoint) {
        waypoint->SetAttributes(kMapObjectAttrTemporary | kMapObjectAttrHalo | kMapObjectAttrLarge, 0);
        if (mDocument->AddObject(waypoint)) {
            mPreview = waypoint;
            mDocument->ShowObject(waypoint);
            mDocument->SelectObject(nullptr, false);
        } else {
            delete waypoint;
        }
    }
    mAdd->SetEnabled(mPreview != nullptr);
}

OSStatus CWindowFind::CommandWaypoint()
{
    CMapWaypoint* waypoint = mDocument ? CreateWaypoint(GetSelection()) : nullptr;
    if (waypoint && !mDocument->AddObject(waypoint))
        delete waypoint;
    return CommandOK();
}

OSStatus CWindowFind::CommandOK()
{
    mWorker->StopTask();
    RemovePreview();
    mDocument = nullptr;
    mList->SetSource(nullptr);
    mResults.clear();
    AttachResults();
    UpdateTotal();
    mAdd->SetEnabled(false);
    GetWindow()->SetVisible(false);
    if (mModal)
        GetWindow()->QuitModalEventLoop();
    return noErr;
}

// The close box dismisses the window as its buttons do; it never stays modal while hidden.
OSStatus CWindowFind::CommandClose() { return CommandOK(); }

SInt32 CWindowFind::GetMenuStatus(HICommandExtended const& command)
{
    switch (command.commandID) {
    case 'zoin':
        return mDocument && mDocument->CouldZoomMap(CHIView::kZoomIn) ? kMenuStatusEnable : kMenuStatusDisable;
    case 'zout':
        return mDocument && mDocument->CouldZoomMap(CHIView::kZoomOut) ? kMenuStatusEnable : kMenuStatusDisable;
    case 'zfit':
        return kMenuStatusEnable;
    default:
        return CWindowController::GetMenuStatus(command);
    }
}

OSStatus CWindowFind::DoEventCommandProcess(CCarbonEvent& event)
{
    UInt32 const command = event.GetHICommand().commandID;
    switch (command) {
    case kCommandAddWaypoint:
        return CommandWaypoint();
    case kHICommandOK:
        return CommandOK();
    case 'zfit':
    case 'zoin':
    case 'zout':
        if (WindowRef window = mDocument ? mDocument->GetDocumentWindowRef() : nullptr)
            return event.SendToWindow(window);
        return eventNotHandledErr;
    default:
        break;
    }
    for (CategoryCommand const& entry : kCategoryCommands)
        if (entry.command == command)
            return CommandCategory(entry.category);
    for (UInt32 n : kRadii)
        if (RadiusCommand(n) == command)
            return CommandRadius(n);
    return CWindowController::DoEventCommandProcess(event);
}

void CWindowFind::DoMessage(UInt32 message, void* parameter)
{
    switch (message) {
    case CThreadSearch::kMsgSearchMore:
        if (parameter == mWorker)
            SearchUpdated();
        break;
    case CThreadSearch::kMsgSearchComplete:
        if (parameter == mWorker)
            SearchComplete();
        break;
    case CHISearchField::kMsgTextAccepted:
    case CHISearchField::kMsgTextChanged:
        UpdateFilter();
        break;
    case CDataBrowserSource::kMsgSelectionChanged:
        CreateSelection();
        break;
    default:
        break;
    }
}

void CWindowFind::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (keyPath == CBString(kFindPrefUnits))
        UpdateRadius();
}
