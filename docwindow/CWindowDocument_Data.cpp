#include "docwindow/CDocumentImport.h"
#include "docwindow/CMapPrint.h"
#include "docwindow/CViewExport.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CViewOverlay.h"
#include "docwindow/CWindowDocument.h"
#include "docwindow/IDeviceSheets.h"
#include "foundation/CTextUtilities.h"
#include "framework/CCursor.h"
#include "framework/CFileDialog.h"
#include "framework/CInternetUtilities.h"
#include "framework/CMacWindow.h"
#include "model/CMapTrack.h"
#include "model/CParserURL.h"
#include "services/Scrap.h"
#include "toolbox/HIViewCalls.h"
#include "widgets/CHIViewUtilities.h"

#include "framework/CWindowController.h"

#include <new>
#include <utility>

namespace {

constexpr UInt32 kDataShowTracks = 'stra';

} // namespace

// The shell's sheet of the kind with the interface the document works it through; null (and
// nothing left) when there is no shell, no such sheet or the sheet lacks the interface.
template <typename Interface> Interface* CWindowDocument::MakeDataSheet(DocumentSheet kind, CWindowController*& controller)
{
    controller = sShell ? sShell->MakeSheet(kind, *this, nullptr) : nullptr;
    auto* sheet = dynamic_cast<Interface*>(controller);
    if (!sheet) {
        delete controller;
        controller = nullptr;
    }
    return sheet;
}

// Over the map's scroll view, less its scroll bars, and in front of it.
void CWindowDocument::BuildOverlay()
{
    if (!mMapView || !mMapView->GetSuperView())
        return;
    HIViewRef const scroll = mMapView->GetSuperView();
    CHIView* parent = CHIViewUtilities::GetCHIView(HIViewGetSuperview(scroll), true);
    if (!parent)
        return;
    CGRect frame = CGRectZero;
    HIViewGetFrame(scroll, &frame);
    auto* overlay = new (std::nothrow) CViewOverlay(nullptr, frame);
    if (!overlay)
        return;
    parent->AddSubHIView(overlay); // in front of the scroll view: added last
    mOverlay = overlay;
    mOverlay->SetDocument(this);
    LayoutOverlay();
}

void CWindowDocument::LayoutOverlay()
{
    if (!mOverlay || !mMapView || !mMapView->GetSuperView())
        return;
    HIViewRef const scroll = mMapView->GetSuperView();
    CGRect frame = CGRectZero;
    HIViewGetFrame(mMapView->GetHIViewRef(), &frame);
    HIViewConvertRect(&frame, scroll, HIViewGetSuperview(mOverlay->GetHIViewRef()));
    mOverlay->SetFrame(frame);
}

bool CWindowDocument::CanImport(CFile const& file) const { return CDocumentImport::CanImport(file); }

bool CWindowDocument::CanImport(CString const& text) const { return CDocumentImport::CanImport(text, mMapView); }

void CWindowDocument::ImportData(CFile const& file)
{
    CCursor cursor;
    cursor.SetCursor(kThemeWatchCursor);
    std::vector<CMapObject*> objects;
    bool const working = !mWork.active;
    OSStatus status = ReadImport(file, objects);
    // Stopped by the user: nothing was added, and there is nothing to say.
    if (status == userCanceledErr) {
        cursor.SetCursor(kThemeArrowCursor);
        return;
    }
    if (status == noErr && !objects.empty()) {
        if (AddObjects(objects))
            ShowObjects(objects);
    }
    if (working)
        EndWork();
    cursor.SetCursor(kThemeArrowCursor);
    CString major, minor;
    CDocumentImport::GetReport(status, file.GetDisplayName(), objects.size(), major, minor);
    DisplayAlert(major, minor);
}

// A link that comes with files waits for the files' alert to be dismissed.
void CWindowDocument::ImportData(CString const& text)
{
    if (mSheet != kSheetNone || HasSheet()) {
        mPendingLocation = text;
        return;
    }
    CommandViewLocation(text);
}

// A parentless dialog: it returns with the files, however the window is placed.
void CWindowDocument::CommandImport()
{
    CFileDialog dialog;
    CStringList types;
    types.Append(CString("com.topografix.gpx,com.groundspeak.loc"));
    types.Append(CString(CFileDialog::kAllFilesUTI));
    CString const importable = CTextUtilities::GetBundleString("DocImportTypes");
    CString const all = CTextUtilities::GetBundleString("DocImportAllFiles");
    void const* titles[] = { importable.GetCFString(), all.GetCFString() };
    CFArrayRef const popup = CFArrayCreate(nullptr, titles, 2, &kCFTypeArrayCallBacks);
    dialog.SetTypePopup(popup);
    CFRelease(popup);
    FileDialogResult result;
    UInt32 const action = dialog.ChooseFile(CTextUtilities::GetBundleString("DocImport"), CString(), &types, result);
    if (action != kNavUserActionOpen)
        return;
    CFileList files = result.files;
    if (files.IsEmpty() && result.file.IsSpecified())
        files.PushBack(result.file);
    for (CFile const& file : files)
        ImportData(file);
}

// The sheet opens where the map is; a link read moves it to the link's place.
void CWindowDocument::CommandViewLocation(CString const& text)
{
    if (!mMapView || mSheet != kSheetNone || HasSheet())
        return;
    OpenSheet(kSheetViewLocation, nullptr);
    CCoordinate coordinate;
    unsigned long zoom = 0;
    if (mSheet != kSheetViewLocation || text.IsEmpty() || CParserURL::ParseURL(text, mMapView, coordinate, zoom) != noErr)
        return;
    if (auto* sheet = dynamic_cast<IViewLocationSheet*>(GetSheetController()))
        sheet->ShowLocation(coordinate, zoom);
}

void CWindowDocument::CommandCopyView()
{
    if (!mMapView)
        return;
    std::string const link = mMapView->GetMapURL().GetStdString();
    ScrapRef scrap = nullptr;
    if (ClearCurrentScrap() != noErr || GetCurrentScrap(&scrap) != noErr)
        return;
    PutScrapFlavor(scrap, kScrapFlavorTypeText, 0, Size(link.size()), link.data());
}

void CWindowDocument::CommandGoogleEarth()
{
    if (mMapView
        && CViewExport::OpenInGlobeViewer(mMapView->GetMapCentre(), mMapView->GetMapZoom(), mObjects)
            == CViewExport::kNothing)
        DisplayAlert(
            CTextUtilities::GetBundleString("DocGlobeFailed"), CTextUtilities::GetBundleString("DocGlobeNoProgram"));
}

void CWindowDocument::CommandGoogleMap()
{
    if (!mMapView)
        return;
    CString const link = CViewExport::MakeWebMapLink(mMapView->Unproject(mMapView->GetVisibleContent()));
    if (!link.IsEmpty() && CInternetUtilities::LaunchURL(link) != noErr)
        DisplayAlert(CTextUtilities::GetBundleString("DocWebMapFailed"), CTextUtilities::GetBundleString("DocWebMapNoProgram"));
}

OSStatus CWindowDocument::PrintSelf(CPrintDialog* dialog, unsigned long)
{
    if (!dialog)
        return paramErr;
    CCarbonEvent draw = dialog->GetPrintDrawEvent();
    return CMapPrint::PrintPage(draw, mMapView, mOverlay, GetDisplayName());
}

void CWindowDocument::CommandSynchronise()
{
    if (mTransfer || mSheet != kSheetNone || HasSheet())
        return;
    mTransferInfo = TransferInfo();
    CWindowController* controller = nullptr;
    auto* sheet = MakeDataSheet<ITransferConfigSheet>(kSheetTransferConfig, controller);
    if (!sheet)
        return;
    sheet->SetTransferInfo(mTransferInfo);
    if (BeginSheet(kSheetTransferConfig, controller, true) != noErr)
        delete controller;
}

void CWindowDocument::CommandRecordTrack()
{
    if (mTrackRecorder || mSheet != kSheetNone || HasSheet())
        return;
    mTrackInfo = TrackInfo();
    mTrackInfo.captureMode = kCaptureEveryFix;
    mTrackInfo.captureValue = 5;
    CWindowController* controller = nullptr;
    auto* sheet = MakeDataSheet<ITrackConfigSheet>(kSheetTrackConfig, controller);
    if (!sheet)
        return;
    sheet->SetTrackInfo(mTrackInfo);
    if (BeginSheet(kSheetTrackConfig, controller, true) != noErr)
        delete controller;
}

// The configuration is read while the sheet still lives; a progress sheet closing on its own
// command lets go of its recorder or transfer first.
void CWindowDocument::SheetCompleting(UInt32 command)
{
    CWindowController* controller = mSheet < kSheetCount ? mSheetControllers[mSheet] : nullptr;
    switch (mSheet) {
    case kSheetTrackConfig:
        if (command == kHICommandOK && controller) {
            TrackInfo const chosen = dynamic_cast<ITrackConfigSheet&>(*controller).GetTrackInfo();
            mTrackInfo.device = chosen.device;
            mTrackInfo.progressText = chosen.progressText;
            mTrackInfo.track = chosen.track;
            mTrackInfo.captureMode = chosen.captureMode;
            mTrackInfo.captureValue = chosen.captureValue;
        }
        break;
    case kSheetTransferConfig:
        if (command == kHICommandOK && controller)
            mTransferInfo = dynamic_cast<ITransferConfigSheet&>(*controller).GetTransferInfo();
        break;
    case kSheetTrackProgress:
        mTrackInfo.progressSheet = nullptr;
        break;
    case kSheetTransferProgress:
        mTransferInfo.progressSheet = nullptr;
        break;
    case kSheetWorkProgress:
        mWork.sheet = nullptr;
        if (command == kHICommandCancel)
            mWork.cancelled = true;
        break;
    default:
        break;
    }
}

void CWindowDocument::SheetCompleted(DocumentSheet kind, UInt32 command)
{
    switch (kind) {
    case kSheetTrackConfig:
        if (command == kHICommandOK)
            BeginTrack();
        break;
    case kSheetTransferConfig:
        if (command == kHICommandOK)
            BeginTransfer();
        break;
    case kSheetTrackProgress:
        // Stopped by the user: the recorder says so through FinishTrack.
        if (command == kHICommandCancel && mTrackRecorder)
            mTrackRecorder->Stop();
        break;
    case kSheetTransferProgress:
        if (command == kHICommandCancel && mTransfer)
            mTransfer->Cancel();
        break;
    case kSheetAlert:
        if (CMapTrack* track = std::exchange(mTrackToEdit, nullptr))
            EditObject(track);
        break;
    default:
        break;
    }
    if (mSheet == kSheetNone && !HasSheet() && !mPendingLocation.IsEmpty()) {
        CString const text = mPendingLocation;
        mPendingLocation = CString();
        CommandViewLocation(text);
    }
}

// The shell's progress sheet of the kind, begun on the window but not shown (its user shows
// it); null, and nothing left, when there is none or it cannot be begun.
template <typename Interface> Interface* CWindowDocument::BeginProgressSheet(DocumentSheet kind)
{
    CWindowController* controller = nullptr;
    auto* progress = MakeDataSheet<Interface>(kind, controller);
    auto* parented = dynamic_cast<IProgressSheet*>(controller);
    if (!progress || !parented) {
        delete controller;
        return nullptr;
    }
    parented->SetParentWindow(GetWindow());
    if (BeginSheet(kind, controller, false) != noErr) {
        delete controller;
        return nullptr;
    }
    return progress;
}
template ITransferProgress* CWindowDocument::BeginProgressSheet<ITransferProgress>(DocumentSheet kind);

void CWindowDocument::BeginTransfer()
{
    auto* progress = BeginProgressSheet<ITransferProgress>(kSheetTransferProgress);
    if (!progress)
        return;
    mTransferInfo.progressSheet = progress;
    mTransferInfo.progressText = CTextUtilities::GetBundleString("DocTransferProgress");
    mTransferInfo.successText = CTextUtilities::GetBundleString("DocTransferSuccess");
    mTransfer = new CDeviceTransfer(this, mTransferInfo);
}

void CWindowDocument::BeginTrack()
{
    auto* progress = BeginProgressSheet<ITrackProgress>(kSheetTrackProgress);
    if (!progress)
        return;
    mTrackInfo.progressSheet = progress;
    mTrackInfo.progressText = CTextUtilities::GetBundleString("DocTrackProgress");
    auto* track = new CMapTrack;
    track->SetName(GetUniqueObjectName(kMapObjectTrack, CString()));
    if (!AddObject(track)) {
        delete track;
        mTrackInfo.progressSheet = nullptr;
        CompleteSheet(kHICommandCancel);
        return;
    }
    mTrackInfo.track = track;
    mTrackRecorder = new CDeviceTrack(this, mTrackInfo);
}

void CWindowDocument::FinishTransfer(CString const& major, CString const& minor)
{
    if (mTransferInfo.progressSheet && mSheet == kSheetTransferProgress) {
        mTransferInfo.progressSheet = nullptr;
        CompleteSheet(kHICommandOK);
    }
    if (!major.IsEmpty())
        DisplayAlert(major, minor);
    mTransferInfo.progressSheet = nullptr;
    mTransferInfo.device = nullptr;
    CDeviceTransfer* finished = mTransfer;
    mTransfer = nullptr;
    Bury(finished);
}

void CWindowDocument::FinishTrack(CString const& major, CString const& minor)
{
    if (mTrackInfo.progressSheet && mSheet == kSheetTrackProgress) {
        mTrackInfo.progressSheet = nullptr;
        CompleteSheet(kHICommandOK);
    }
    if (!major.IsEmpty())
        DisplayAlert(major, minor);
    CMapTrack* track = mTrackInfo.track;
    mTrackInfo.progressSheet = nullptr;
    mTrackInfo.device = nullptr;
    mTrackInfo.track = nullptr;
    CDeviceTrack* finished = mTrackRecorder;
    mTrackRecorder = nullptr;
    Bury(finished);
    if (track && !track->GetSamples().empty()) {
        if (CMacWindow* window = GetWindow()) {
            CCarbonEvent command = CCarbonEvent::CreateWithHICommandID(kDataShowTracks);
            SendEventToEventTarget(command.GetEvent(), window->GetEventTarget());
        }
        ShowObject(track);
        // The alert saying why the recording stopped is up: the editor opens once it goes.
        if (mSheet == kSheetAlert)
            mTrackToEdit = track;
        else
            EditObject(track);
    }
}

void CWindowDocument::Bury(CTimerTask* finished)
{
    if (!finished)
        return;
    mFinished.emplace_back(finished);
    if (!mBurial)
        InstallEventLoopTimer(
            GetMainEventLoop(), 0, 0,
            [](EventLoopTimerRef timer, void* data) {
                auto* self = static_cast<CWindowDocument*>(data);
                RemoveEventLoopTimer(timer);
                self->mBurial = nullptr;
                std::vector<std::unique_ptr<CTimerTask>> gone;
                gone.swap(self->mFinished);
            },
            this, &mBurial);
}

// Before the document goes: a recording or transfer stops without calling back.
void CWindowDocument::StopDevices()
{
    delete mTrackRecorder;
    mTrackRecorder = nullptr;
    delete mTransfer;
    mTransfer = nullptr;
    mTrackInfo.progressSheet = nullptr;
    mTransferInfo.progressSheet = nullptr;
    if (mBurial) {
        RemoveEventLoopTimer(mBurial);
        mBurial = nullptr;
    }
    mFinished.clear();
}
