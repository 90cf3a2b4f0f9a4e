#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "docwindow/IDocumentSheet.h"
#include "framework/CApplication.h"
#include "framework/CMacWindow.h"
#include "model/CMapObject.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CHISearchField.h"
#include "widgets/CHISegmentedView.h"
#include "widgets/CSplitterView.h"

#include <algorithm>
#include <optional>

namespace {

constexpr float kListMinimumRatio = 0.05f; // a list this narrow is as good as hidden

// The list selector's commands, by segment from 1.
constexpr UInt32 kListCommands[] = { 'sway', 'srot', 'stra' };

template <std::size_t N> bool IsOneOf(UInt32 command, UInt32 const (&list)[N])
{
    return std::find(std::begin(list), std::end(list), command) != std::end(list);
}

std::optional<TWTool> ToolOfCommand(UInt32 command)
{
    auto const& commands = CWindowDocument::kToolCommands;
    auto const found = std::find(std::begin(commands), std::end(commands), command);
    if (found == std::end(commands))
        return std::nullopt;
    return TWTool(found - std::begin(commands));
}

} // namespace

bool CWindowDocument::IsDocumentCommand(UInt32 command)
{
    static constexpr UInt32 kOthers[] = { 'zoin', 'zout', 'zfit', 'hbak', 'hfwd', 'doci', 'gvie', 'ddev', 'dimp', 'cvie',
        'gear', 'gmap', 'dsyn', 'dtrk', 'find' };
    return ToolOfCommand(command) || IsOneOf(command, kListCommands) || IsOneOf(command, kOthers);
}

SInt32 CWindowDocument::GetMenuStatus(HICommandExtended const& command)
{
    UInt32 const id = command.commandID;
    auto const enableWhen = [](bool enabled) { return enabled ? kMenuStatusEnable : kMenuStatusDisable; };
    bool const sheet = HasSheet() || mSheet != kSheetNone;
    if (std::optional<TWTool> const tool = ToolOfCommand(id); tool)
        return enableWhen(!sheet);
    switch (id) {
    case 'sway':
    case 'srot':
    case 'stra':
        return enableWhen(!sheet);
    case 'hbak':
        return enableWhen(!sheet && CanGoBack());
    case 'hfwd':
        return enableWhen(!sheet && CanGoForward());
    case 'zoin':
        return enableWhen(mMapView && mMapView->CouldZoomMap(CHIView::kZoomIn));
    case 'zout':
        return enableWhen(mMapView && mMapView->CouldZoomMap(CHIView::kZoomOut));
    case 'zfit':
        return kMenuStatusEnable;
    case 'dimp':
        return enableWhen(!sheet);
    case 'cvie':
    case 'gear':
    case 'gmap':
        return enableWhen(mMapView != nullptr);
    // Their sheets come from the shell.
    case 'dsyn':
        return enableWhen(!sheet && sShell && !IsTransferring() && mDevices && mDevices->IsSyncAvailable());
    case 'dtrk':
        return enableWhen(!sheet && sShell && !IsRecording() && mDevices && mDevices->IsLocationKnown());
    case 'doci':
    case 'gvie':
    case 'find':
        // Without a shell there is no sheet or window to open.
        return enableWhen(!sheet && sShell);
    case 'ddev':
        return enableWhen(mDevices && !mDevices->GetDevices().empty());
    default:
        return CDocument::GetMenuStatus(command);
    }
}

OSStatus CWindowDocument::DoEventCommandProcess(CCarbonEvent& event)
{
    UInt32 const command = event.GetHICommand().commandID;
    if (std::optional<TWTool> const tool = ToolOfCommand(command)) {
        SetTool(*tool);
        return noErr;
    }
    if (auto const segment = std::find(std::begin(kListCommands), std::end(kListCommands), command);
        segment != std::end(kListCommands)) {
        ShowList(UInt32(segment - std::begin(kListCommands)) + 1);
        return noErr;
    }
    switch (command) {
    case 'zoin':
    case 'zout':
    case 'zfit':
        if (!mMapView)
            return eventNotHandledErr;
        mMapView->SetMapZoom(command == 'zoin' ? CHIView::kZoomIn
                : command == 'zout'            ? CHIView::kZoomOut
                                               : CHIView::kZoomFit,
            nullptr, 0);
        return noErr;
    case 'doci':
        EditDocument();
        return noErr;
    case 'gvie':
        // The sheet starts where the map is.
        if (HasSheet() || mSheet != kSheetNone)
            CApplication::Beep();
        else
            OpenSheet(kSheetViewLocation, nullptr);
        return noErr;
    case 'ddev':
        ShowDevices();
        return noErr;
    case 'find':
        // The find window runs modally for this document until the user is done.
        if (HasSheet() || mSheet != kSheetNone || !sShell)
            CApplication::Beep();
        else
            sShell->FindLocation(*this);
        return noErr;
    case 'hbak':
        GoBack();
        return noErr;
    case 'hfwd':
        GoForward();
        return noErr;
    case 'dimp':
        CommandImport();
        return noErr;
    case 'cvie':
        CommandCopyView();
        return noErr;
    case 'gear':
        CommandGoogleEarth();
        return noErr;
    case 'gmap':
        CommandGoogleMap();
        return noErr;
    case 'dsyn':
        CommandSynchronise();
        return noErr;
    case 'dtrk':
        CommandRecordTrack();
        return noErr;
    case kHICommandOK:
    case kHICommandCancel:
        // With no sheet of ours open, a cancel still ends the file and print dialogs.
        if (mSheet == kSheetNone)
            return CDocument::DoEventCommandProcess(event);
        CompleteSheet(command);
        return noErr;
    default:
        return CDocument::DoEventCommandProcess(event);
    }
}

void CWindowDocument::ShowList(UInt32 segment)
{
    if (CHISearchField* search = GetSearchField())
        search->SetTextValue(CString());
    if (mListSelector)
        mListSelector->SetCurrentValue(long(segment));
    SetListFilter(CString());
    mListSegment = segment;
    if (mList && mList->GetSource() != GetListSource(segment))
        mList->SetSource(GetListSource(segment));
    if (!mSplitter)
        return;
    // Hidden by a double click (ratio 0: the width it had comes back) or dragged shut, which
    // leaves a sliver of a ratio that shows nothing.
    if (mSplitter->GetRatio() <= kListMinimumRatio) {
        if (mSplitter->GetRatio() == 0)
            mSplitter->TogglePrimary();
        if (mSplitter->GetRatio() <= kListMinimumRatio)
            mSplitter->SetRatio(kDefaultSplitterRatio);
    }
}

void CWindowDocument::SetListFilter(CString const& filter)
{
    if (mList && mList->GetFilter() != filter)
        mList->SetFilter(filter);
}

bool CWindowDocument::HasSheet() const { return GetWindow() && GetWindow()->HasSheet(); }

void CWindowDocument::EditObject(CMapObject* object)
{
    if (HasSheet() || mSheet != kSheetNone) {
        CApplication::Beep();
        return;
    }
    switch (object ? object->GetType() : 0) {
    case kMapObjectCircle:
    case kMapObjectLine:
    case kMapObjectRectangle:
        if (sShell)
            sShell->ShowInspector(*this);
        break;
    case kMapObjectNote:
        OpenSheet(kSheetNote, object);
        break;
    case kMapObjectRoute:
        OpenSheet(kSheetRoute, object);
        break;
    case kMapObjectTrack:
        OpenSheet(kSheetTrack, object);
        break;
    case kMapObjectWaypoint:
        OpenSheet(kSheetWaypoint, object);
        break;
    default:
        break;
    }
}

void CWindowDocument::EditDocument()
{
    if (HasSheet() || mSheet != kSheetNone) {
        CApplication::Beep();
        return;
    }
    OpenSheet(kSheetDocumentInfo, nullptr);
}

void CWindowDocument::OpenSheet(DocumentSheet kind, CMapObject* object)
{
    CWindowController* controller = sShell ? sShell->MakeSheet(kind, *this, object) : nullptr;
    if (!controller)
        return;
    if (BeginSheet(kind, controller, true) != noErr) {
        delete controller;
        return;
    }
    InvalidateCommandStatus();
}

// Two or more receivers: the devices window lists them; one: its own window.
void CWindowDocument::ShowDevices()
{
    std::size_t const count = mDevices ? mDevices->GetDevices().size() : 0;
    if (count == 0) {
        CApplication::Beep();
        return;
    }
    if (count > 1) {
        CCarbonEvent::CreateWithHICommandID('devi').SendToFocus();
        return;
    }
    if (sShell)
        sShell->ShowDeviceWindow(mDevices->GetDevices().front());
}

OSStatus CWindowDocument::BeginSheet(DocumentSheet kind, CWindowController* controller, bool show)
{
    if (kind >= kSheetCount)
        return paramErr;
    // A second sheet never opens over the first.
    if (mSheet != kSheetNone || HasSheet())
        return paramErr;
    mSheet = kind;
    mSheetControllers[kind] = kind > kSheetAlert ? controller : nullptr;
    if (!controller || !show || !controller->GetWindow())
        return noErr;
    OSStatus const status = GetWindow()->BeginSheet(controller->GetWindow());
    if (status != noErr) {
        mSheetControllers[kind] = nullptr;
        mSheet = kSheetNone;
    }
    return status;
}

void CWindowDocument::CompleteSheet(UInt32 command)
{
    if (mSheet == kSheetNone)
        return;
    // The sheet hands its result back before it closes: accepted it writes its content,
    // cancelled it undoes what it began.
    DocumentSheet const kind = mSheet;
    SheetCompleting(command);
    if (auto* sheet = dynamic_cast<IDocumentSheet*>(mSheetControllers[mSheet])) {
        if (command == kHICommandCancel)
            sheet->CancelSheet();
        else
            sheet->AcceptSheet();
    }
    CloseSheet();
    InvalidateCommandStatus();
    SheetCompleted(kind, command);
}

void CWindowDocument::CloseSheet()
{
    if (CMacWindow* window = GetWindow(); window && mSheet > kSheetAlert)
        window->EndSheet();
    std::array<CWindowController*, kSheetCount> controllers {};
    controllers.swap(mSheetControllers);
    mSheet = kSheetNone;
    for (CWindowController* controller : controllers)
        delete controller;
}

void CWindowDocument::DisplayAlert(CString const& major, CString const& minor)
{
    mAlert.SetTextMajor(major);
    mAlert.SetTextMinor(minor);
    if (mSheet != kSheetNone || HasSheet()) {
        mAlert.SetParent(static_cast<WindowRef>(nullptr));
        mAlert.DoDialog();
        mAlert.SetParent(GetWindow());
        return;
    }
    mSheet = kSheetAlert;
    InvalidateCommandStatus();
    mAlert.DoDialog();
    // A sheet that could not be shown runs as a modal alert, so the window is not left blocked.
    if (!HasSheet()) {
        mSheet = kSheetNone;
        mAlert.SetParent(static_cast<WindowRef>(nullptr));
        mAlert.DoDialog();
        mAlert.SetParent(GetWindow());
        InvalidateCommandStatus();
    }
}
