#include "docwindow/CWindowDocument.h"

#include "devices/CDeviceManager.h"
#include "devices/DeviceTypes.h"
#include "docwindow/CToolbarDocument.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CViewRegion.h"
#include "foundation/CSystemUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CMacWindow.h"
#include "model/CMapObject.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/toolbar/ToolbarCalls.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CDataBrowserSource.h"
#include "widgets/CHIScrollView.h"
#include "widgets/CHISearchField.h"
#include "widgets/CHISegmentedView.h"
#include "widgets/CHIViewUtilities.h"
#include "widgets/CHistoryButton.h"
#include "widgets/CSplitterView.h"
#include "widgets/CWindowHeader.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr EventParamName kEventParamDimensions = 'mDim'; // the ideal size, as a QuickDraw point

struct Segment {
    UInt32 command;
    char const* label;
};

// The list selector's segments, from 1.
constexpr Segment kListSegments[] = {
    { 'sway', "DocSegmentWaypoints" },
    { 'srot', "DocSegmentRoutes" },
    { 'stra', "DocSegmentTracks" },
};

HILayoutInfo BoundToAllSides()
{
    HILayoutInfo layout {};
    layout.binding.top.kind = kHILayoutBindMin;
    layout.binding.left.kind = kHILayoutBindMin;
    layout.binding.bottom.kind = kHILayoutBindMax;
    layout.binding.right.kind = kHILayoutBindMax;
    return layout;
}

} // namespace

CWindowDocument::CWindowDocument() = default;

// The palettes let go of the document first; the sheets go before the objects they may point
// at, and the views drop their twins of the objects while the objects still live.
CWindowDocument::~CWindowDocument()
{
    if (CApplication* app = CApplication::GetApp(); app && app->GetCurrentDocument() == this)
        app->SetCurrentDocument(nullptr);
    StopDevices();
    CloseSheet();
    // The sources go with the document, before the window and its list.
    if (mList && GetWindow())
        mList->SetSource(nullptr);
    // The toolbar goes before the window that shows it.
    if (mToolbar && GetWindow() && GetWindow()->GetWindowRef())
        SetWindowToolbar(GetWindow()->GetWindowRef(), nullptr);
    delete mToolbar;
    mToolbar = nullptr;
    std::vector<CMapObject*> objects;
    objects.swap(mObjects);
    BroadcastMessage(kMsgObjectsReset, nullptr);
    DeleteObjects(objects);
}

WindowRef CWindowDocument::GetPaletteWindow() const { return GetWindow() ? GetWindow()->GetWindowRef() : nullptr; }

CString CWindowDocument::GetPropertyString(unsigned long id) const
{
    return id == 'dfex' ? CString("twk") : CDocument::GetPropertyString(id);
}

UInt32 CWindowDocument::GetPropertyInteger(unsigned long id) const
{
    return id == 'dfty' ? UInt32('TWck') : CDocument::GetPropertyInteger(id);
}

OSStatus CWindowDocument::Initialise(CFile const* file)
{
    mLoadReport = LoadReport();
    OSStatus const status = CDocument::Initialise(file);
    if (status == noErr)
        ReportLoad();
    return status;
}

OSStatus CWindowDocument::InitialiseSelf()
{
    // 1. The document's own state.
    AddEvent(kEventClassWindow, kEventWindowGetIdealSize);
    AddEvent(kEventClassKeyboard, kEventRawKeyDown);
    mInfo.SetAuthor(CSystemUtilities::GetUsersName());
    mSheetControllers.fill(nullptr);
    mAlert.SetParent(GetWindow());
    mAlert.SetTextDefault(CStandardAlert::kDefaultButtonText); // an alert the user can always dismiss
    // 2. to 6. The window's views.
    FindViews();
    if (!mMapView || !mList)
        return kIBCarbonRuntimeObjectNotOfRequestedType; // not a map document window
    BuildListSelector();
    BuildHeader();
    BuildToolbar();
    BuildSplitter();
    // 7. and 8. Who hears whom.
    ConnectListeners();
    BuildOverlay();
    MakeListSources();
    mMapView->SetDocument(this);
    if (mRegionView)
        mRegionView->SetDocument(this); // it follows the map by itself
    mToolBox.SetDocument(this);
    UpdateHistoryButtons();
    // 9. and 10. The first view: the whole world, the hand, the waypoints.
    SetInitialView();
    SetTool(kToolHand);
    InvalidateCommandStatus();
    ShowList(1);
    FocusMap();
    return noErr;
}

void CWindowDocument::FindViews()
{
    CMacWindow* window = GetWindow();
    mList = CDataBrowser::Find(window, 'ldat', 0);
    mBack = CHistoryButton::Find(window, 'hbak', 0);
    mForward = CHistoryButton::Find(window, 'hfwd', 0);
    mMapView = CViewMap::Find(window, 'mapv', 0);
    mRegionView = CViewRegion::Find(window, 'regn', 0);
}

void CWindowDocument::BuildListSelector()
{
    CHIView* placeholder = GetWindow()->FindView('lsel', 0);
    if (!placeholder)
        return;
    auto* selector = new CHISegmentedView(placeholder->GetFrame());
    selector->SetSegmentCount(UInt32(std::size(kListSegments)));
    for (UInt32 segment = 1; Segment const& entry : kListSegments) {
        selector->SetSegmentLabel(segment, CTextUtilities::GetBundleString(entry.label));
        selector->SetSegmentCommandID(segment, entry.command);
        ++segment;
    }
    selector->SetSegmentBehaviour(kHISegmentBehaviorRadio);
    selector->SetControlSize(kControlSizeSmall);
    CHIViewUtilities::ReplaceProxyView(placeholder, selector);
    mListSelector = selector;
}

void CWindowDocument::BuildHeader()
{
    CHIView* placeholder = GetWindow()->FindView('whed', 0);
    if (!placeholder)
        return;
    auto* header = new CWindowHeader(GetWindow()->GetWindowRef(), placeholder->GetFrame());
    CHIViewUtilities::ReplaceProxyView(placeholder, header);
    mHeader = header;
}

// The map goes into a scroll view; the list and that scroll view share a splitter that
// covers both and follows the window's size.
void CWindowDocument::BuildSplitter()
{
    if (CHIViewUtilities::EmbedInScrollView(mMapView, 0) != noErr)
        return;
    CHIView* scroll = CHIViewUtilities::GetCHIView(mMapView->GetSuperView(), true);
    CGRect frame = mList->GetFrame();
    frame.size.width += scroll->GetFrame().size.width;
    mSplitter = new CSplitterView(GetWindow(), frame);
    // The splitter lays its two views out itself: their own bindings would fight it.
    for (CHIView* view : { static_cast<CHIView*>(mList), scroll })
        view->SetLayoutInfo(HILayoutInfo {});
    mSplitter->SetViewA(mList);
    mSplitter->SetViewB(scroll);
    mSplitter->SetPrimaryView(scroll);
    mSplitter->SetLayoutInfo(BoundToAllSides());
    mSplitter->SetRatio(kDefaultSplitterRatio);
}

// A window whose toolbar could not be made works without it: the tool keys and menus remain.
void CWindowDocument::BuildToolbar()
{
    mToolbar = new CToolbarDocument;
    if (mToolbar->Install(GetWindow()) != noErr) {
        delete mToolbar;
        mToolbar = nullptr;
        return;
    }
}

CHISearchField* CWindowDocument::GetSearchField() const { return mToolbar ? mToolbar->GetSearch() : nullptr; }

void CWindowDocument::ConnectListeners()
{
    mMapView->AddListener(this);
    if (mToolbar)
        mToolbar->AddListener(this);
    // Receivers coming and going change what the device commands can do.
    if (mTWApp)
        mDevices = CViewMap::GetDeviceManager();
    if (mDevices)
        mDevices->AddListener(this);
}

void CWindowDocument::MakeListSources()
{
    if (!sShell)
        return;
    for (UInt32 segment = kListWaypoints; segment <= kListCount; ++segment)
        mListSources[segment - 1].reset(sShell->MakeListSource(segment, *this));
}

CDataBrowserSource* CWindowDocument::GetListSource(UInt32 segment) const
{
    return segment >= kListWaypoints && segment <= kListCount ? mListSources[segment - 1].get() : nullptr;
}

// Level 1, then out until the whole map fits the screen.
void CWindowDocument::SetInitialView()
{
    mMapView->SetMapZoom(CHIView::kZoomFactor, nullptr, 1);
    mMapView->SetMapZoom(CHIView::kZoomFit, nullptr, 0);
    SyncZoomLevel();
}

void CWindowDocument::SetDocumentInfo(CDocumentInfo const& info)
{
    mInfo = info;
    SetModified(true);
}

void CWindowDocument::SyncZoomLevel()
{
    if (!mMapView)
        return;
    SetIgnoreChanges(true);
    GetBindings()->SetKeyPathValue(kZoomKey, CBValue(UInt32(mMapView->GetMapZoom())), false);
    SetIgnoreChanges(false);
}

void CWindowDocument::ValueChanged(CBKeyValueStore const* theStore, CBString const& theKeyPath)
{
    if (IsIgnoringChanges() || !mMapView || theKeyPath != CBString(kZoomKey))
        return;
    CBValue const value = GetBindings()->GetKeyPathValue(kZoomKey);
    mMapView->SetMapZoom(CHIView::kZoomFactor, nullptr, value.GetUInt32());
}

OSStatus CWindowDocument::DoEventWindowGetIdealSize(CCarbonEvent& event)
{
    if (!mMapView)
        return eventNotHandledErr;
    CGSize const image = mMapView->GetImageSize();
    auto const side = [](double length) {
        return SInt16(std::trunc(std::min(length, kDocumentMaxIdealSize) + 15));
    };
    Point const dimensions { side(image.height), side(image.width) };
    return event.SetParameterQDPoint(kEventParamDimensions, dimensions);
}

void CWindowDocument::DoMessage(UInt32 message, void* parameter)
{
    switch (message) {
    case kMsgMapObjectModified:
        if (mChangingSelection || !parameter)
            break;
        BroadcastMessage(kMsgObjectModified, parameter);
        // Temporary objects are not stored: changing them changes nothing in the file.
        if (!(static_cast<CMapObject*>(parameter)->GetAttributes() & kMapObjectAttrTemporary))
            SetModified(true);
        break;
    case kMsgMapObjectNeedsDisplay:
        BroadcastMessage(kMsgObjectModified, parameter);
        break;
    case CViewMap::kMsgOriginChanged:
        // The global document, saved without asking, keeps the view the user left.
        if (GetSaveMode() == kSaveModeAlways)
            SetModified(true);
        break;
    case CViewMap::kMsgZoomChanged:
        SyncZoomLevel();
        break;
    case CViewMap::kMsgSizeChanged:
        LayoutOverlay();
        break;
    case kMsgDeviceAdded:
    case kMsgDeviceRemoved:
        InvalidateCommandStatus();
        break;
    case CHISearchField::kMsgTextAccepted:
    case CHISearchField::kMsgTextChanged:
        if (CHISearchField* search = GetSearchField(); search && parameter == search)
            SetListFilter(search->GetTextValue());
        break;
    case CToolbarDocument::kMsgItemsChanged:
        ToolbarItemsChanged();
        break;
    default:
        CDocument::DoMessage(message, parameter);
        break;
    }
}
