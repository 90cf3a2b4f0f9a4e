#include "app/CSheetViewLocation.h"

#include "app/MapObjectListSupport.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CTextUtilities.h"
#include "framework/CCarbonEvent.h"
#include "model/CMapWaypoint.h"
#include "model/CParserURL.h"
#include "widgets/CEditText.h"
#include "widgets/CPushButton.h"
#include "widgets/CSlider.h"

using namespace MapObjectListSupport;

namespace {

constexpr UInt32 kLocationCommandPaste = 'purl';
constexpr UInt32 kLocationCommandZoom = 'zoom';
constexpr UInt32 kLocationCommandWaypoint = 'addw';

// The field shows the value when its text reads as it, in whatever format it was typed.
bool LocationFieldShows(CEditText const* field, double value, bool latitude)
{
    CCoordinate read;
    CString const text = field->GetTextValue();
    if (!(latitude ? read.SetLatitudeString(text) : read.SetLongitudeString(text)))
        return false;
    return CCoordinate(latitude ? read.GetLatitude() : read.GetLongitude(), 0) == CCoordinate(value, 0);
}

} // namespace

CSheetViewLocation::~CSheetViewLocation()
{
    CWindowDocument* document = mMapView ? mMapView->GetDocument() : nullptr;
    if (document && mTarget)
        document->RemoveObject(mTarget);
}

OSStatus CSheetViewLocation::InitialiseSelf()
{
    mLatitude = CEditText::Find(this, 'elat', 0);
    mLongitude = CEditText::Find(this, 'elon', 0);
    mZoom = CSlider::Find(this, 'zoom', 0);
    mPaste = CPushButton::Find(this, 'purl', 0);
    mAddWaypoint = CPushButton::Find(this, 'addw', 0);
    if (!mLatitude || !mLongitude || !mZoom || !mPaste || !mAddWaypoint)
        return errUnknownControl;
    mLatitude->SetKeyboardFocus(kControlFocusNextPart);
    OSStatus const status = InstallTimer(kFieldCheckInterval, kFieldCheckInterval);
    if (status != noErr)
        return status;
    ObservePreferences(this, { kPrefMapCoordinates });
    return noErr;
}

void CSheetViewLocation::SetMapView(CViewMap* view, CCoordinate const& coordinate, unsigned long zoom)
{
    if (mMapView || !view)
        return;
    mMapView = view;
    mSavedCentre = view->GetMapCentre();
    mSavedZoom = static_cast<UInt32>(view->GetMapZoom());
    if (CWindowDocument const* document = view->GetDocument())
        mSavedModified = document->IsModified();
    CreateTarget(coordinate);
    UpdateTarget(coordinate, zoom, true);
    // The place shown is selected, so that a place typed replaces it.
    ControlEditTextSelectionRec all { 0, 0x7FFF };
    mLatitude->SetCurrentSelection(&all);
}

void CSheetViewLocation::ShowLocation(CCoordinate const& coordinate, unsigned long zoom)
{
    if (mMapView)
        UpdateTarget(coordinate, zoom, true);
}

void CSheetViewLocation::CreateTarget(CCoordinate const& coordinate)
{
    CWindowDocument* document = mMapView->GetDocument();
    if (!document)
        return;
    auto* target = new CMapWaypoint();
    target->SetPosition(coordinate);
    target->SetOptions(kWaypointShowSymbol);
    target->SetSymbol(kWaypointSymbolDefault);
    target->SetAttributes(kTargetAttributes, 0);
    if (!document->AddObject(target)) {
        delete target;
        return;
    }
    mTarget = target;
    // Not shown through the document: that would put this passing place into Back and Forward.
    document->SelectObject(nullptr, false);
}

void CSheetViewLocation::UpdateTarget(CCoordinate const& coordinate, unsigned long zoom, bool rewrite)
{
    if (rewrite || !LocationFieldShows(mLatitude, coordinate.GetLatitude(), true))
        mLatitude->SetTextValue(coordinate.GetLatitudeString());
    if (rewrite || !LocationFieldShows(mLongitude, coordinate.GetLongitude(), false))
        mLongitude->SetTextValue(coordinate.GetLongitudeString());
    mZoom->SetCurrentValue(static_cast<long>(zoom));
    if (mTarget)
        mTarget->SetPosition(coordinate);
    if (mMapView) {
        mMapView->SetMapZoom(CHIView::kZoomFactor, nullptr, zoom);
        mMapView->SetMapCentre(coordinate);
    }
}

CCoordinate CSheetViewLocation::ReadFields() const
{
    CCoordinate coordinate = mTarget ? mTarget->GetPosition() : CCoordinate(0, 0, 0);
    coordinate.SetLatitudeString(mLatitude->GetTextValue());
    coordinate.SetLongitudeString(mLongitude->GetTextValue());
    return coordinate;
}

OSStatus CSheetViewLocation::CommandUpdate()
{
    UpdateTarget(ReadFields(), static_cast<unsigned long>(mZoom->GetCurrentValue()), false);
    // Taken here: the slider's command goes no further, where the Window menu would take it
    // as its own Zoom and resize the window.
    return noErr;
}

void CSheetViewLocation::DoTimer()
{
    if (mTarget && mTarget->GetPosition() != ReadFields())
        CommandUpdate();
}

void CSheetViewLocation::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (keyPath == CBString(kPrefMapCoordinates))
        UpdateTarget(ReadFields(), static_cast<unsigned long>(mZoom->GetCurrentValue()), true);
}

bool CSheetViewLocation::ParseClipboard(CCoordinate& coordinate, unsigned long& zoom)
{
    CString const text = CTextUtilities::GetClipboardText().GetLower();
    return CParserURL::ParseURL(text, mMapView, coordinate, zoom) == noErr;
}

OSStatus CSheetViewLocation::CommandPasteURL()
{
    CCoordinate coordinate;
    unsigned long zoom = 0;
    if (!ParseClipboard(coordinate, zoom)) {
        SysBeep(30);
        return noErr;
    }
    UpdateTarget(coordinate, zoom, true);
    return noErr;
}

OSStatus CSheetViewLocation::CommandWaypoint()
{
    CWindowDocument* document = mMapView ? mMapView->GetDocument() : nullptr;
    if (!document || !mTarget)
        return noErr;
    // What was typed a moment ago counts, though the fields are looked at only now and then.
    CommandUpdate();
    auto* waypoint = new CMapWaypoint();
    waypoint->SetName(document->GetUniqueObjectName(kMapObjectWaypoint, CString()));
    waypoint->SetPosition(mTarget->GetPosition());
    if (!document->AddObject(waypoint)) {
        delete waypoint;
        return noErr;
    }
    // Selected when the target has gone, which deselects everything (UpdateMapView).
    mNewWaypoint = waypoint;
    CCarbonEvent::CreateWithHICommandID(kHICommandOK).SendToFocus();
    return noErr;
}

OSStatus CSheetViewLocation::DoEventWindowActivated(CCarbonEvent& event)
{
    CCoordinate coordinate;
    unsigned long zoom = 0;
    mPaste->SetEnabled(ParseClipboard(coordinate, zoom));
    return CWindowController::DoEventWindowActivated(event);
}

OSStatus CSheetViewLocation::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case kLocationCommandPaste:
        return CommandPasteURL();
    case kLocationCommandZoom:
        return CommandUpdate();
    case kLocationCommandWaypoint:
        return CommandWaypoint();
    case kHICommandOK:
        // A place that does not read is never taken: OK waits for a good one.
        if (CEditText* bad = FindBadCoordinateField(mLatitude, mLongitude); bad && !mNewWaypoint) {
            RefuseField(bad);
            return noErr;
        }
        return CWindowController::DoEventCommandProcess(event);
    default:
        return CWindowController::DoEventCommandProcess(event);
    }
}

void CSheetViewLocation::UpdateMapView(bool commit)
{
    RemoveTimer();
    if (commit)
        CommandUpdate();
    else
        UpdateTarget(mSavedCentre, mSavedZoom, true);
    CWindowDocument* document = mMapView ? mMapView->GetDocument() : nullptr;
    if (document && mTarget)
        document->RemoveObject(mTarget);
    mTarget = nullptr;
    // The place chosen is where Back returns from; a cancelled sheet changed nothing at all
    // (the document that keeps its view would otherwise count the round trip as a change).
    if (document && commit)
        document->RecordView();
    else if (document && !mSavedModified)
        document->SetModified(false);
    if (document && mNewWaypoint)
        document->SelectObject(mNewWaypoint, true);
    mNewWaypoint = nullptr;
}
