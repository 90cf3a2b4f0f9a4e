#include "app/CWindowObjectPalette.h"

#include "app/IObjectStyles.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "docwindow/CViewMap.h"
#include "docwindow/IPaletteDocument.h"
#include "foundation/CCoordinate.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CCarbonEvent.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"
#include "framework/ConstructController.h"
#include "model/CMapObject.h"
#include "widgets/CColourPicker.h"
#include "widgets/CPopupButton.h"
#include "widgets/CSlider.h"
#include "widgets/CStaticText.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

std::atomic_flag sInspectorMaking = ATOMIC_FLAG_INIT;
CWindowInspector* sInspector = nullptr; // owns: the palette lives until the process ends

constexpr char const* kInspectorPrefCoordinates = "MapCoordinates";
constexpr char const* kInspectorPrefUnits = "MapUnits";

// Messages of the document, its map view and the panel's controls.
constexpr UInt32 kInspectorMsgSelection = 'dsec';
constexpr UInt32 kInspectorMsgRemoved = 'dorm';
constexpr UInt32 kInspectorMsgReset = 'dors';
constexpr UInt32 kInspectorMsgModified = 'domo';
constexpr UInt32 kInspectorMsgTool = 'dtoc';

bool IsInspectorShapeType(MapObjectType type)
{
    return type == kMapObjectLine || type == kMapObjectCircle || type == kMapObjectRectangle;
}

IObjectStyles* InspectorStyles() { return dynamic_cast<IObjectStyles*>(CApplication::GetApp()); }

} // namespace

CWindowInspector* CWindowInspector::GetInstance()
{
    using namespace std::chrono_literals;
    while (sInspectorMaking.test_and_set(std::memory_order_acquire))
        std::this_thread::sleep_for(300us);
    if (!sInspector)
        sInspector = ConstructController<CWindowInspector>(kNibFile, kNibWindow, true);
    CWindowInspector* const instance = sInspector;
    sInspectorMaking.clear(std::memory_order_release);
    return instance;
}

void CWindowInspector::ResetForTesting()
{
    delete sInspector;
    sInspector = nullptr;
}

CWindowInspector::~CWindowInspector() { ListenToDocument(false); }

OSStatus CWindowInspector::InitialiseSelf()
{
    mDocument = nullptr;
    mObject = nullptr;
    mCount = 0;
    mType = kTypeNone;
    CMacWindow* window = GetWindow();
    CApplication* app = CApplication::GetApp();
    if (app) {
        if (CBPreferenceBinding* prefs = app->GetPreferences().GetBinding()) {
            window->BindBoundsToPrefs(prefs, kPrefBounds);
            window->BindVisibilityToPrefs(prefs, kPrefVisible);
            prefs->ObserveKeyPathValue(kInspectorPrefCoordinates, this);
        }
        window->BindVisibilityToMenu(kCommandShow);
        if (auto* broadcaster = dynamic_cast<CMsgBroadcaster*>(app))
            broadcaster->AddListener(this);
    }
    SetPanelWindow(window);
    SetPanelNib(kNibFile);
    auto* current = app ? dynamic_cast<IPaletteDocument*>(app->GetCurrentDocument()) : nullptr;
    ChangedDocument(current); // with none, the Empty panel
    return noErr;
}

void CWindowInspector::ListenToDocument(bool listen)
{
    if (!mDocument)
        return;
    CMsgBroadcaster* broadcasters[] = { mDocument->GetPaletteBroadcaster(), mDocument->GetMapView() };
    for (CMsgBroadcaster* broadcaster : broadcasters)
        if (broadcaster)
            listen ? broadcaster->AddListener(this) : broadcaster->RemoveListener(this);
}

void CWindowInspector::ChangedDocument(IPaletteDocument* document)
{
    ListenToDocument(false);
    mDocument = document;
    mObject = nullptr;
    ListenToDocument(true);
    ChangedTool();
}

void CWindowInspector::ChangedTool()
{
    mType = kTypeNone;
    CString panel = kNibPanelEmpty;
    if (mDocument) {
        switch (mDocument->GetTool()) {
        case kToolCircle:
            mType = kMapObjectCircle;
            panel = kNibPanelShape;
            break;
        case kToolLine:
            mType = kMapObjectLine;
            panel = kNibPanelShape;
            break;
        case kToolRectangle:
            mType = kMapObjectRectangle;
            panel = kNibPanelShape;
            break;
        case kToolNote:
            panel = kNibPanelNote;
            break;
        case kToolHand:
        case kToolRoute:
        case kToolRuler:
        case kToolWaypoint:
        case kToolZoom:
            panel = kNibPanelLocation;
            break;
        default:
            break;
        }
    }
    // Everything selected is counted anew below; until then nothing is inspected.
    mObject = nullptr;
    mCount = 0;
    SelectPanel(panel);
    ChangedSelection();
}

// Only the hand tool inspects the selection; a drawing tool keeps its kind's default.
void CWindowInspector::ChangedSelection()
{
    mObject = nullptr;
    mCount = 0;
    if (!mDocument || mDocument->GetTool() != kToolHand)
        return;
    for (CMapObject* object : mDocument->GetObjects()) {
        if (object == mRemoving || !object->IsSelected())
            continue;
        if (++mCount == 1) {
            mObject = object;
            mType = object->GetType();
        }
    }
    CString panel = kNibPanelEmpty;
    if (mCount == 0)
        panel = kNibPanelLocation;
    else if (mCount == 1 && IsInspectorShapeType(mObject->GetType()))
        panel = kNibPanelShape;
    else if (mCount == 1 && mObject->GetType() == kMapObjectNote)
        panel = kNibPanelNote;
    SelectPanel(panel);
}

// The same panel again keeps its controls and only shows the new contents.
void CWindowInspector::SelectPanel(CString const& name)
{
    mPanelLoaded = name != GetPanel();
    if (mPanelLoaded)
        SetPanel(name);
    FindControls();
    if (name == CString(kNibPanelShape))
        UpdatePanelShape();
    else if (name == CString(kNibPanelNote))
        UpdatePanelNote();
}

void CWindowInspector::FindControls()
{
    CMacWindow* window = GetWindow();
    mWhyText = CStaticText::Find(window, 'twhy', 0);
    mNoteText = CStaticText::Find(window, 'note', 0);
    mLatitude = CStaticText::Find(window, 'lati', 0);
    mLongitude = CStaticText::Find(window, 'long', 0);
    mOpacity = CSlider::Find(window, 'alpa', 0);
    mWidth = CPopupButton::Find(window, 'fwid', 0);
    mLineStyle = CPopupButton::Find(window, 'fstl', 0);
    mFill = dynamic_cast<CColourPicker*>(window->FindView('fill', 0));
    mFrame = dynamic_cast<CColourPicker*>(window->FindView('fram', 0));
    if (mWidth && mPanelLoaded)
        for (UInt32 item = 1; item <= std::size(kLineWidthImages); ++item)
            mWidth->SetItemImage(false, item, CFileUtilities::GetBundleResource(kLineWidthImages[item - 1], "png", ""),
                CGSizeZero);
    if (mLineStyle && mPanelLoaded)
        for (UInt32 item = 1; item <= std::size(kLineStyleImages); ++item)
            mLineStyle->SetItemImage(false, item,
                CFileUtilities::GetBundleResource(kLineStyleImages[item - 1], "png", ""), CGSizeZero);
    if (mWhyText)
        mWhyText->SetTextValue(CTextUtilities::GetBundleString(mCount < 2 ? "InspectorNoOptions" : "InspectorMultiple"));
    if (mFill) {
        mFill->SetVisible(mType != kMapObjectLine);
        if (CHIView* label = window->FindView('lfil', 0)) // its label goes with it
            label->SetVisible(mType != kMapObjectLine);
    }
    // Listening twice to the same control is listening once.
    for (CMsgBroadcaster* control : { static_cast<CMsgBroadcaster*>(mFill), static_cast<CMsgBroadcaster*>(mFrame),
             static_cast<CMsgBroadcaster*>(mOpacity) })
        if (control && !control->HasListener(this))
            control->AddListener(this);
}

MapObjectStyle CWindowInspector::GetShownStyle() const
{
    if (mObject)
        return mObject->GetStyle();
    IObjectStyles* styles = InspectorStyles();
    return styles ? styles->GetObjectStyle(mType) : CMapObject::GetDefaultStyle(mType);
}

void CWindowInspector::UpdatePanelShape()
{
    MapObjectStyle const style = GetShownStyle();
    if (mOpacity)
        mOpacity->SetCurrentValue(std::lround(style.fill.alpha * 100));
    if (mFill)
        mFill->SetColour(style.fill);
    if (mFrame)
        mFrame->SetColour(style.frame);
    mLineStyleShown = false;
    for (std::size_t i = 0; i < std::size(kLineStyles); ++i)
        if (style.lineStyle == kLineStyles[i]) {
            if (mLineStyle)
                mLineStyle->SetCurrentValue(long(i + 1));
            mLineStyleShown = true;
        }
    mWidthShown = false;
    for (std::size_t i = 0; i < std::size(kLineWidths); ++i)
        if (long(style.lineWidth) == long(kLineWidths[i])) {
            if (mWidth)
                mWidth->SetCurrentValue(long(i + 1));
            mWidthShown = true;
        }
}

// A width or line style the pop-ups do not hold stays as it is unless the user picks one.
void CWindowInspector::ApplyPanelShape(UInt32 changed)
{
    if (mType == kTypeNone || !IsInspectorShapeType(mType))
        return;
    MapObjectStyle style = GetShownStyle();
    if (mLineStyle && (mLineStyleShown || changed == kCommandLineStyle)) {
        long const item = mLineStyle->GetCurrentValue();
        if (item >= 1 && std::size_t(item) <= std::size(kLineStyles)) {
            style.lineStyle = kLineStyles[item - 1];
            mLineStyleShown = true;
        }
    }
    if (mWidth && (mWidthShown || changed == kCommandLineWidth)) {
        long const item = mWidth->GetCurrentValue();
        if (item >= 1 && std::size_t(item) <= std::size(kLineWidths)) {
            style.lineWidth = kLineWidths[item - 1];
            mWidthShown = true;
        }
    }
    if (mFill)
        style.fill = mFill->GetColour();
    if (mFrame) {
        ColourRGBA const& frame = mFrame->GetColour();
        style.frame = { frame.red, frame.green, frame.blue, style.frame.alpha };
    }
    if (mOpacity) {
        float const alpha = float(mOpacity->GetCurrentValue()) * 0.01f;
        style.fill.alpha = alpha;
        style.frame.alpha = alpha;
    }
    if (mObject)
        mObject->SetStyle(style);
    else if (IObjectStyles* styles = InspectorStyles())
        styles->SetObjectStyle(mType, style);
}

void CWindowInspector::UpdatePanelNote()
{
    if (!mNoteText)
        return;
    CString const text = mObject ? mObject->GetDescription() : CString();
    mNoteText->SetTextValue(text.IsEmpty() ? CTextUtilities::GetBundleString("InspectorNoText") : text);
}

void CWindowInspector::UpdatePanelLocation(CCoordinate const* coordinate)
{
    if (!coordinate || GetPanel() != CString(kNibPanelLocation))
        return;
    if (mLatitude)
        mLatitude->SetTextValue(coordinate->GetLatitudeString());
    if (mLongitude)
        mLongitude->SetTextValue(coordinate->GetLongitudeString());
}

void CWindowInspector::DoMessage(UInt32 message, void* parameter)
{
    switch (message) {
    case kInspectorMsgSelection:
    case kInspectorMsgReset: // the inspected object may be gone with the others
        ChangedSelection();
        break;
    case kInspectorMsgRemoved: {
        // Still listed while its removal is told: it is counted no more.
        auto* removed = static_cast<CMapObject*>(parameter);
        if (removed && (removed == mObject || removed->IsSelected())) {
            mRemoving = removed;
            ChangedSelection();
            mRemoving = nullptr;
        }
        break;
    }
    case kInspectorMsgModified:
        if (parameter && parameter == mObject && GetPanel() == CString(kNibPanelNote))
            UpdatePanelNote();
        break;
    case CViewMap::kMsgMouseMoved:
        UpdatePanelLocation(static_cast<CCoordinate const*>(parameter));
        break;
    case kInspectorMsgTool:
        ChangedTool();
        break;
    case kMsgCurrentDocument:
        ChangedDocument(IPaletteDocument::FromMessage(parameter));
        break;
    case CColourPicker::kMsgColourChanged:
        ApplyPanelShape();
        break;
    case CSlider::kMsgValueChanged:
    case CSlider::kMsgTrackingComplete:
        ApplyPanelShape();
        UpdatePanelShape();
        break;
    default:
        break;
    }
}

// The pop-ups' own handling goes on after the style is applied.
OSStatus CWindowInspector::DoEventCommandProcess(CCarbonEvent& event)
{
    UInt32 const command = event.GetHICommand().commandID;
    if (command == kCommandLineStyle || command == kCommandLineWidth) {
        ApplyPanelShape(command);
        return eventNotHandledErr;
    }
    return CWindowController::DoEventCommandProcess(event);
}

void CWindowInspector::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (keyPath == CBString(kInspectorPrefCoordinates) || keyPath == CBString(kInspectorPrefUnits))
        ChangedTool();
}
