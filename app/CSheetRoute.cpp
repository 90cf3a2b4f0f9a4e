#include "app/CSheetRoute.h"

#include "app/CBrowserMapObject.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CTextUtilities.h"
#include "framework/CCarbonEvent.h"
#include "framework/CCommandDialog.h"
#include "model/CMapRoute.h"
#include "model/CMapWaypoint.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CEditText.h"
#include "widgets/CPushButton.h"
#include "widgets/CStaticText.h"

#include <algorithm>

namespace {

constexpr char const* kRouteNibFile = "Tarnwick";
constexpr std::size_t kMaxLegsNamed = 3;

} // namespace

CSheetRoute::~CSheetRoute()
{
    // The list goes with the window, after this sheet's members: it must not keep the source.
    if (mBrowser && mBrowser->GetSource() == &mList)
        mBrowser->SetSource(nullptr);
}

OSStatus CSheetRoute::InitialiseSelf()
{
    mName = CEditText::Find(this, 'name', 0);
    mDescription = CEditText::Find(this, 'desc', 0);
    mRemove = CPushButton::Find(this, 'delw', 0);
    mUp = CPushButton::Find(this, 'up  ', 0);
    mDown = CPushButton::Find(this, 'down', 0);
    mBrowser = CDataBrowser::Find(this, 'wayp', 0);
    mLegs = CStaticText::Find(this, 'legs', 0);
    if (!mName || !mDescription || !mRemove || !mUp || !mDown || !mBrowser || !mLegs
        || !CPushButton::Find(this, 'addw', 0))
        return errUnknownControl;
    mList.AddListener(this);
    mName->SetKeyboardFocus(kControlFocusNextPart);
    UpdateButtons();
    return noErr;
}

void CSheetRoute::SetDocument(CWindowDocument* document) { mDocument = document; }

void CSheetRoute::SetObject(CMapObject* object)
{
    mRoute = dynamic_cast<CMapRoute*>(object);
    if (!mRoute)
        return;
    // The copy is routed again only when it is given back.
    mSegments = mRoute->GetSegments();
    mLegs->SetTextValue(DescribeStraightLegs(mSegments));
    for (RouteSegment& segment : mSegments)
        segment.Reset();
    mName->SetTextValue(mRoute->GetName());
    mDescription->SetTextValue(mRoute->GetDescription());
    Refresh();
}

void CSheetRoute::UpdateObject()
{
    if (!mRoute)
        return;
    mRoute->SetName(mName->GetTextValue());
    mRoute->SetDescription(mDescription->GetTextValue());
    mRoute->SetSegments(mSegments);
    mCreated.clear(); // the route's now
}

void CSheetRoute::CancelEdit()
{
    std::vector<CMapObject*> const created(mCreated.begin(), mCreated.end());
    mCreated.clear();
    if (mDocument && !created.empty())
        mDocument->RemoveObjects(created);
}

OSStatus CSheetRoute::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case kCommandAddExisting:
        return CommandAddExisting();
    case kCommandAddNew:
        return CommandAddNew();
    case kCommandRemove:
        return CommandRemove();
    case kCommandUp:
        return CommandMove(-1);
    case kCommandDown:
        return CommandMove(1);
    default:
        return CWindowController::DoEventCommandProcess(event);
    }
}

void CSheetRoute::DoMessage(UInt32 message, void* parameter)
{
    if (message == CDataBrowserSource::kMsgSelectionChanged && parameter == &mList)
        UpdateButtons();
}

// The picker lists the document's waypoints; what the user chooses there is the document's
// selection, which is taken when the picker is confirmed.
OSStatus CSheetRoute::CommandAddExisting()
{
    if (!mDocument)
        return noErr;
    ControlID focus { 'wayp', 0 };
    CCommandDialog dialog(kRouteNibFile, kPickerWindow, &focus);
    if (dialog.GetCreationStatus() != noErr)
        return dialog.GetCreationStatus();
    CDataBrowser* list = CDataBrowser::Find(dialog.GetWindow(), 'wayp', 0);
    CStaticText* title = CStaticText::Find(dialog.GetWindow(), 'rnam', 0);
    if (!list || !title)
        return errUnknownControl;
    CString prompt;
    prompt.Format(CTextUtilities::GetBundleString("RouteAddWaypoints").GetUTF8(),
        (mRoute ? mRoute->GetName() : mName->GetTextValue()).GetUTF8());
    title->SetTextValue(prompt);
    mDocument->SelectObject(nullptr, false);
    CBrowserWaypoints picker;
    picker.SetDocument(mDocument);
    picker.SetAttributes(CBrowserMapObject::kBrowserOpenConfirm, CBrowserMapObject::kBrowserDefaultAttributes);
    list->SetSource(&picker);
    UInt32 const answer = dialog.DoDialog(true);
    list->SetSource(nullptr);
    std::optional<std::size_t> added;
    if (answer == kHICommandOK) {
        for (CMapObject* object : mDocument->GetObjects())
            if (object->IsType(kMapObjectWaypoint) && object->IsSelected()) {
                if (!added)
                    added = mSegments.size();
                Append(static_cast<CMapWaypoint*>(object));
            }
    }
    mDocument->SelectObject(nullptr, false);
    Refresh(added);
    return noErr;
}

OSStatus CSheetRoute::CommandAddNew()
{
    if (!mDocument)
        return noErr;
    auto* waypoint = new CMapWaypoint();
    waypoint->SetName(mDocument->GetUniqueObjectName(kMapObjectWaypoint, CString()));
    waypoint->SetSymbol(kWaypointSymbolDot);
    CCoordinate position(0, 0, 0);
    CViewMap* view = mDocument->GetMapView();
    if (!mSegments.empty() && mSegments.back().waypoint && view) {
        CGPoint point = view->Project(mSegments.back().waypoint->GetPosition());
        point.x += kNewWaypointOffset;
        point.y -= kNewWaypointOffset;
        position = view->Unproject(point);
        position.SetAltitude(0);
    }
    waypoint->SetPosition(position);
    if (!mDocument->AddObject(waypoint)) {
        delete waypoint; // refused: the document did not take it
        return noErr;
    }
    mCreated.push_back(waypoint);
    Append(waypoint);
    Refresh(mSegments.size() - 1);
    return noErr;
}

OSStatus CSheetRoute::CommandRemove()
{
    std::optional<std::size_t> const selection = GetSelection();
    if (!selection)
        return noErr;
    CMapWaypoint* waypoint = mSegments[*selection].waypoint;
    mSegments.erase(mSegments.begin() + static_cast<std::ptrdiff_t>(*selection));
    // A waypoint this sheet made goes from the document with its last leg, not before.
    if (IsCreated(waypoint) && !IsUsed(waypoint)) {
        std::erase(mCreated, waypoint);
        if (mDocument)
            mDocument->RemoveObject(waypoint);
    }
    std::optional<std::size_t> next;
    if (!mSegments.empty())
        next = std::min(*selection, mSegments.size() - 1);
    Refresh(next);
    return noErr;
}

OSStatus CSheetRoute::CommandMove(int step)
{
    std::optional<std::size_t> const selection = GetSelection();
    if (!selection)
        return noErr;
    std::size_t const from = *selection;
    if ((step < 0 && from == 0) || (step > 0 && from + 1 >= mSegments.size()))
        return noErr;
    std::size_t const to = step < 0 ? from - 1 : from + 1;
    RouteSegment const moved = mSegments[from];
    mSegments.erase(mSegments.begin() + static_cast<std::ptrdiff_t>(from));
    mSegments.insert(mSegments.begin() + static_cast<std::ptrdiff_t>(to), moved);
    Refresh(to);
    return noErr;
}

// A leg far from any road map is straight as a matter of course; one among roads that no road
// joins is worth a word.
CString CSheetRoute::DescribeStraightLegs(std::vector<RouteSegment> const& legs)
{
    std::string named;
    std::size_t count = 0;
    bool anyRouted = false;
    for (std::size_t i = 0; i + 1 < legs.size(); ++i)
        anyRouted = anyRouted || legs[i].status == kRouteStatusRouted;
    for (std::size_t i = 0; i + 1 < legs.size(); ++i) {
        UInt32 const status = legs[i].status;
        if (status != kRouteStatusNoPath && !(status == kRouteStatusNoRoads && anyRouted))
            continue;
        if (++count > kMaxLegsNamed || !legs[i].waypoint || !legs[i + 1].waypoint)
            continue;
        CString leg;
        leg.Format(CTextUtilities::GetBundleString(status == kRouteStatusNoPath ? "RouteLegNoPath" : "RouteLegNoRoads")
                       .GetUTF8(),
            legs[i].waypoint->GetName().GetUTF8(), legs[i + 1].waypoint->GetName().GetUTF8());
        named += (named.empty() ? "" : "; ") + leg.GetStdString();
    }
    if (count == 0)
        return CString();
    if (count > kMaxLegsNamed) {
        CString more;
        more.Format(CTextUtilities::GetBundleString("RouteLegsMore").GetUTF8(), long(count - kMaxLegsNamed));
        named += more.GetStdString();
    }
    CString text;
    text.Format(CTextUtilities::GetBundleString(count == 1 ? "RouteLegStraight" : "RouteLegsStraight").GetUTF8(),
        named.c_str());
    return text;
}

void CSheetRoute::Append(CMapWaypoint* waypoint) { mSegments.emplace_back(waypoint); }

void CSheetRoute::Refresh(std::optional<std::size_t> select)
{
    mList.SetSegments(&mSegments);
    mBrowser->SetSource(&mList);
    if (select && *select < mSegments.size()) {
        std::vector<DataBrowserItemID> const item { CBrowserRoute::GetItem(*select) };
        mBrowser->SetSelection(&item, kDataBrowserItemsAssign);
        mBrowser->RevealItem(item.front(), kDataBrowserRevealAndCenterInView);
    }
    UpdateButtons();
}

void CSheetRoute::UpdateButtons()
{
    std::optional<std::size_t> const selection = GetSelection();
    mRemove->SetEnabled(selection.has_value());
    mUp->SetEnabled(selection && *selection > 0);
    mDown->SetEnabled(selection && *selection + 1 < mSegments.size());
}

std::optional<std::size_t> CSheetRoute::GetSelection() const
{
    std::vector<DataBrowserItemID> const items
        = mBrowser->FindItems(kDataBrowserItemIsSelected, kDataBrowserNoItem, true);
    if (items.empty() || items.front() == kDataBrowserNoItem
        || CBrowserRoute::GetIndex(items.front()) >= mSegments.size())
        return std::nullopt;
    return CBrowserRoute::GetIndex(items.front());
}

bool CSheetRoute::IsCreated(CMapWaypoint const* waypoint) const
{
    return std::find(mCreated.begin(), mCreated.end(), waypoint) != mCreated.end();
}

bool CSheetRoute::IsUsed(CMapWaypoint const* waypoint) const
{
    return std::find(mSegments.begin(), mSegments.end(), waypoint) != mSegments.end();
}
