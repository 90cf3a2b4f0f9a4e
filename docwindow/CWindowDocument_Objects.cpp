#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CMacWindow.h"
#include "model/CMapCrop.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "widgets/CHIToolbar.h"
#include "widgets/CHIToolbarItem.h"
#include "widgets/CHISearchField.h"
#include "widgets/CHistoryButton.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr UInt32 kToolbarItemSelected = 128; // the toolbar item's selected attribute
constexpr float kWaypointMargin = 0.01f; // [deg] around a waypoint shown alone

bool IsTemporary(CMapObject const* object) { return (object->GetAttributes() & kMapObjectAttrTemporary) != 0; }



} // namespace

// The selection is the views' business, not the file's: its changes reach them as one
// "dsec" and leave the document unmodified.
void CWindowDocument::SetSelected(CMapObject* object, bool select)
{
    mChangingSelection = true;
    object->SetAttributes(select ? UInt32(kMapObjectAttrSelected) : 0, select ? 0 : UInt32(kMapObjectAttrSelected));
    mChangingSelection = false;
}

bool CWindowDocument::DeselectAll(bool broadcast)
{
    bool changed = false;
    for (CMapObject* object : mObjects) {
        if (object->IsSelected()) {
            SetSelected(object, false);
            changed = true;
        }
    }
    if (changed && broadcast)
        BroadcastMessage(kMsgSelectionChanged, this);
    return changed;
}

// Objects only the program itself shows (the view-location target, a search preview) change no file.
void CWindowDocument::MarkModified(std::vector<CMapObject*> const& objects)
{
    if (!std::all_of(objects.begin(), objects.end(), IsTemporary))
        SetModified(true);
}

bool CWindowDocument::AddObject(CMapObject* object) { return AddObjects({ object }); }

// Linear in the objects there and added: a large import or file is added at once.
bool CWindowDocument::AddObjects(std::vector<CMapObject*> const& objects)
{
    DeselectAll(true);
    std::unordered_set<CMapObject const*> owned;
    if (objects.size() > 1) {
        owned.reserve(mObjects.size() + objects.size());
        owned.insert(mObjects.begin(), mObjects.end());
    }
    std::vector<CMapObject*> added;
    added.reserve(objects.size());
    mObjects.reserve(mObjects.size() + objects.size());
    for (CMapObject* object : objects) {
        bool const known = objects.size() > 1 ? !owned.insert(object).second
                                              : std::find(mObjects.begin(), mObjects.end(), object) != mObjects.end();
        if (!object || known)
            continue; // the document already owns it
        object->AddListener(this);
        mObjects.push_back(object);
        added.push_back(object);
    }
    if (added.empty())
        return true;
    MarkModified(added);
    if (objects.size() == 1)
        BroadcastMessage(kMsgObjectAdded, added.front());
    else
        BroadcastMessage(kMsgObjectsReset, nullptr);
    return true;
}

void CWindowDocument::RemoveObject(CMapObject* object) { RemoveObjects({ object }); }

// The selection is cleared quietly: the one "dsec" at the end tells the views of it.
void CWindowDocument::RemoveObjects(std::vector<CMapObject*> const& objects)
{
    bool const deselected = DeselectAll(false);
    std::vector<CMapObject*> removed;
    for (CMapObject* object : objects) {
        auto const found = std::find(mObjects.begin(), mObjects.end(), object);
        if (found == mObjects.end())
            continue;
        if (objects.size() == 1)
            BroadcastMessage(kMsgObjectRemoved, object);
        // The track being recorded: the recording ends first, without calling back.
        if (object == mTrackInfo.track && mTrackRecorder) {
            delete mTrackRecorder;
            mTrackRecorder = nullptr;
            mTrackInfo.track = nullptr;
            mTrackInfo.device = nullptr;
            if (mTrackInfo.progressSheet && mSheet == kSheetTrackProgress) {
                mTrackInfo.progressSheet = nullptr;
                CloseSheet();
            }
            mTrackInfo.progressSheet = nullptr;
        }
        if (object == mTrackToEdit)
            mTrackToEdit = nullptr;
        removed.push_back(object);
        mObjects.erase(found);
        object->RemoveListener(this);
        MarkModified({ object });
        delete object;
    }
    if (removed.empty()) {
        if (deselected)
            BroadcastMessage(kMsgSelectionChanged, this);
        return;
    }
    if (objects.size() != 1)
        BroadcastMessage(kMsgObjectsReset, nullptr);
    BroadcastMessage(kMsgSelectionChanged, this);
}

// Last first: routes go before the waypoints they listen to, so no route is re-routed on its way out.
void CWindowDocument::DeleteObjects(std::vector<CMapObject*>& objects)
{
    // Last first as well, as they were listened to: each is let go of at once.
    for (auto object = objects.rbegin(); object != objects.rend(); ++object)
        (*object)->RemoveListener(this);
    while (!objects.empty()) {
        delete objects.back();
        objects.pop_back();
    }
}

void CWindowDocument::DeleteObjects()
{
    mTrackToEdit = nullptr;
    std::vector<CMapObject*> objects;
    objects.swap(mObjects);
    DeleteObjects(objects);
}

void CWindowDocument::SelectObject(CMapObject* object, bool select)
{
    if (!object) {
        bool changed = false;
        for (CMapObject* each : mObjects) {
            if (each->IsSelected() != select) {
                SetSelected(each, select);
                changed = true;
            }
        }
        if (changed)
            BroadcastMessage(kMsgSelectionChanged, this);
        return;
    }
    if (object->IsSelected() == select)
        return;
    SetSelected(object, select);
    BroadcastMessage(kMsgSelectionChanged, this);
}

CMapObject* CWindowDocument::FindNamedObject(CString const& name, MapObjectType type) const
{
    for (CMapObject* object : mObjects)
        if (object->IsType(type) && object->GetName().EqualNoCase(name))
            return object;
    return nullptr;
}

CString CWindowDocument::GetUniqueObjectName(MapObjectType type, CString const& base) const
{
    CString const root = base.IsEmpty() ? CTextUtilities::GetBundleString("ObjectUntitled") : base;
    CString candidate = root;
    for (long n = 1; FindNamedObject(candidate, type); ++n)
        candidate.Format("%s %ld", root.GetUTF8(), n);
    return candidate;
}

CMapCrop* CWindowDocument::GetCrop() const
{
    for (CMapObject* object : mObjects)
        if (object->IsType(kMapObjectCrop))
            return static_cast<CMapCrop*>(object);
    return nullptr;
}

CHIToolbarItem* CWindowDocument::GetToolbarItem(TWTool tool) const
{
    if (tool >= kToolCount || tool == kToolCrop || !GetWindow() || !GetWindow()->GetToolbar())
        return nullptr;
    return GetWindow()->GetToolbar()->GetHIToolbarItem(kToolCommands[tool]);
}

void CWindowDocument::SetTool(TWTool tool)
{
    if (CHIToolbarItem* item = GetToolbarItem(mToolBox.GetTool()))
        item->SetAttributes(GetWindow(), 0, kToolbarItemSelected);
    mToolBox.SetTool(tool);
    if (CHIToolbarItem* item = GetToolbarItem(tool))
        item->SetAttributes(GetWindow(), kToolbarItemSelected, 0);
    // The shape tools start with nothing selected, so that a shape is not styled by accident.
    if (tool == kToolCircle || tool == kToolLine || tool == kToolRectangle)
        SelectObject(nullptr, false);
    BroadcastMessage(kMsgToolChanged, this);
}

void CWindowDocument::ToolbarItemsChanged()
{
    if (CHIToolbarItem* item = GetToolbarItem(mToolBox.GetTool()))
        item->SetAttributes(GetWindow(), kToolbarItemSelected, 0);
    InvalidateCommandStatus();
    // A field taken out takes its filter with it; one put back filters by what it shows.
    CHISearchField* search = GetSearchField();
    SetListFilter(search ? search->GetTextValue() : CString());
}

void CWindowDocument::ShowObject(CMapObject* object) { ShowObjects({ object }); }

void CWindowDocument::ShowObjects(std::vector<CMapObject*> const& objects)
{
    CCoordinateRect region;
    for (CMapObject const* object : objects) {
        switch (object ? object->GetType() : 0) {
        case kMapObjectTrack:
            region.Union(static_cast<CMapTrack const*>(object)->GetBounds());
            break;
        case kMapObjectRoute:
            region.Union(static_cast<CMapRoute const*>(object)->GetBounds());
            break;
        case kMapObjectWaypoint: {
            CCoordinate const position = static_cast<CMapWaypoint const*>(object)->GetPosition();
            region.Union(CCoordinateRect(
                CCoordinate(position.GetLatitude() + kWaypointMargin, position.GetLongitude() - kWaypointMargin),
                CCoordinate(position.GetLatitude() - kWaypointMargin, position.GetLongitude() + kWaypointMargin)));
            break;
        }
        default:
            break;
        }
    }
    if (!region.IsEmpty())
        ShowRegion(region, true);
}

void CWindowDocument::ShowRegion(CCoordinateRect const& region, bool record)
{
    if (record)
        RecordRegion(region);
    UpdateHistoryButtons();
    if (!mMapView)
        return;
    CGRect projected = mMapView->Project(region);
    mMapView->SetMapZoom(CHIView::kZoomRect, &projected, 0);
}

void CWindowDocument::RecordRegion(CCoordinateRect const& region)
{
    if (!mHistory.empty())
        mHistory.resize(mHistoryIndex + 1);
    mHistory.push_back(region);
    mHistoryIndex = mHistory.size() - 1;
}

// A pixel inside the edges: the region then fits the same level again when it is shown.
void CWindowDocument::RecordView()
{
    if (!mMapView)
        return;
    RecordRegion(mMapView->Unproject(CGRectInset(mMapView->GetVisibleContent(), 1, 1)));
    UpdateHistoryButtons();
}

void CWindowDocument::UpdateHistoryButtons()
{
    if (mBack)
        mBack->SetEnabled(CanGoBack());
    if (mForward)
        mForward->SetEnabled(CanGoForward());
    InvalidateCommandStatus();
}

// At either end of the history the move does nothing.
void CWindowDocument::GoBack()
{
    if (!CanGoBack())
        return;
    --mHistoryIndex;
    ShowRegion(mHistory[mHistoryIndex], false);
}

void CWindowDocument::GoForward()
{
    if (!CanGoForward())
        return;
    ++mHistoryIndex;
    ShowRegion(mHistory[mHistoryIndex], false);
}
