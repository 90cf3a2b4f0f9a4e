#pragma once

// One map document in its window: it owns the document's map objects and
// its author and description, keeps the current map tool, the history of
// shown regions and the one sheet open over the window, answers the
// document's commands, and holds the views the window is made of (the map,
// the list beside it, the history buttons, the region bar). Views and lists
// follow the objects through the messages it broadcasts. Saved as a
// property list of its objects and view. Main thread only.

#include "docwindow/CTWWindow.h"
#include "bindings/Source/Bindings/CBindable.h"
#include "devices/CDeviceTrack.h"
#include "devices/CDeviceTransfer.h"
#include "devices/IDeviceDocument.h"
#include "docwindow/CToolBox.h"
#include "docwindow/IDocumentShell.h"
#include "docwindow/IMapDocument.h"
#include "docwindow/IOverlayDocument.h"
#include "docwindow/IPaletteDocument.h"
#include "foundation/CCoordinateRect.h"
#include "foundation/CFDictionary.h"
#include "foundation/CMsgBroadcaster.h"
#include "foundation/StCFRef.h"
#include "framework/CDocument.h"
#include "framework/CStandardAlert.h"
#include "model/CDocumentInfo.h"
#include "model/MapObjectTypes.h"

#include <array>
#include <chrono>
#include <memory>
#include <vector>

class CDataBrowser;
class CDataBrowserSource;
class CDeviceManager;
class CHISearchField;
class CHISegmentedView;
class CHistoryButton;
class CHIToolbarItem;
class CToolbarDocument;
class CHIView;
class CMapCrop;
class CMapObject;
class CSplitterView;
class CViewMap;
class CViewRegion;
class CWindowHeader;

class CWindowDocument : public CDocument,
                        public CMsgBroadcaster,
                        public CTWWindow,
                        public CBindable,
                        public IPaletteDocument,
                        public IOverlayDocument,
                        public IDeviceDocument {
public:
    // The sheet open over the window; each ends with "ok  " or "not!" sent to the document.
    enum DocumentSheet : UInt32 {
        kSheetNone = 0,
        kSheetAlert = 1,
        kSheetDocumentInfo = 2,
        kSheetNote = 3,
        kSheetRoute = 4,
        kSheetTrack = 5,
        kSheetWaypoint = 6,
        kSheetViewLocation = 7,
        kSheetTrackConfig = 8,
        kSheetTrackProgress = 9,
        kSheetTransferConfig = 10,
        kSheetTransferProgress = 11,
        kSheetWorkProgress = 12, // an import or save that takes a while
        kSheetCount = 13,
    };

    // What the document broadcasts.
    enum : UInt32 {
        kMsgObjectAdded = 'doad', // one object added; parameter: the object
        kMsgObjectsReset = 'dors', // several added or removed, or loaded; no parameter
        kMsgObjectModified = 'domo', // parameter: the object
        kMsgObjectRemoved = 'dorm', // parameter: the object, still alive
        kMsgSelectionChanged = 'dsec', // parameter: the document
        kMsgToolChanged = 'dtoc', // parameter: the document
    };

    // Keys of the document file: stored in documents, never rename.
    static constexpr char const* kPropertyFormat = "Format";
    static constexpr char const* kPropertyObjects = "Objects";
    static constexpr char const* kPropertyViewCentre = "ViewCentre";
    static constexpr char const* kPropertyViewZoom = "ViewZoom";
    static constexpr char const* kPropertySplitterRatio = "SplitterRatio";
    static constexpr UInt32 kDocumentFormat = 1;
    static constexpr float kDefaultSplitterRatio = 0.3f;
    static constexpr double kDocumentMaxIdealSize = 16000; // [px]
    static constexpr char const* kZoomKey = "zoom"; // the bindable map level
    static constexpr UInt32 kToolCount = 10;
    // The command of each tool, by tool code.
    static constexpr UInt32 kToolCommands[kToolCount]
        = { 'dtci', 'dtcr', 'dtha', 'dtli', 'dtno', 'dtre', 'drot', 'dtrl', 'dway', 'dtzo' };

    // The segments of the list selector, and the list each shows.
    enum : UInt32 {
        kListWaypoints = 1,
        kListRoutes = 2,
        kListTracks = 3,
        kListCount = 3,
    };

    CWindowDocument();
    ~CWindowDocument() override;

    // The commands only a document window answers (its tools, map, history, lists, sheets).
    static bool IsDocumentCommand(UInt32 command);

    // The shell that makes the editor sheets, list sources and palettes of every document
    // window made after it is installed; null removes it. Not owned.
    static void SetShell(IDocumentShell* shell) { sShell = shell; }
    static IDocumentShell* GetShell() { return sShell; }

    // Objects, in document order; the document owns them.
    std::vector<CMapObject*> const& GetObjects() const override { return mObjects; }
    // Takes ownership of each object; always true.
    bool AddObject(CMapObject* object) override;
    bool AddObjects(std::vector<CMapObject*> const& objects);
    // Removes and deletes the objects that are in the document; others are ignored.
    void RemoveObject(CMapObject* object) override;
    void RemoveObjects(std::vector<CMapObject*> const& objects);
    // Deletes every object without a message.
    void DeleteObjects();
    // Selects or deselects the object, or every object when null.
    void SelectObject(CMapObject* object, bool select) override;
    // The first object of the type whose name is the text, ignoring case; null when none.
    CMapObject* FindNamedObject(CString const& name, MapObjectType type) const;
    // The base text (or "Untitled" when empty), numbered when an object of the type has that name.
    CString GetUniqueObjectName(MapObjectType type, CString const& base) const override;
    CMapCrop* GetCrop() const override;

    CDocumentInfo const& GetDocumentInfo() const { return mInfo; }
    // The author and description the user wrote; marks the document modified.
    void SetDocumentInfo(CDocumentInfo const& info);
    CViewMap* GetMapView() const override { return mMapView; }
    // What the palettes that follow the current document ask of it.
    CBindable* GetPaletteBindable() override { return this; }
    CMsgBroadcaster* GetPaletteBroadcaster() override { return this; }
    WindowRef GetPaletteWindow() const override;
    CDataBrowser* GetList() const { return mList; }
    CSplitterView* GetSplitter() const { return mSplitter; }
    CHISegmentedView* GetListSelector() const { return mListSelector; }
    // The toolbar's search field now, or null without one: the user may replace or remove it.
    CHISearchField* GetSearchField() const;
    // The source the shell made for the segment; null when it made none.
    CDataBrowserSource* GetListSource(UInt32 segment) const;
    // The segment the list shows (1 to 3).
    UInt32 GetListSegment() const { return mListSegment; }

    TWTool GetTool() const override { return mToolBox.GetTool(); }
    CToolBox& GetToolBox() { return mToolBox; }
    void SetTool(TWTool tool) override;
    CViewOverlay* GetOverlayView() const override { return mOverlay; }
    // The device recording a track into the document, or null.
    CDevice* GetTrackDevice() const override { return mTrackRecorder ? mTrackInfo.device : nullptr; }
    // The toolbar item that selects the tool; null for the crop tool, an unknown code, or no such item.
    CHIToolbarItem* GetToolbarItem(TWTool tool) const;

    void ShowObject(CMapObject* object);
    // Shows the region holding the tracks, routes and waypoints of the list, and records it.
    void ShowObjects(std::vector<CMapObject*> const& objects);
    void ShowRegion(CCoordinateRect const& region, bool record);
    // Records the view the map shows now as a place Back and Forward return to.
    void RecordView();
    bool CanGoBack() const { return mHistoryIndex > 0; }
    bool CanGoForward() const { return mHistoryIndex + 1 < mHistory.size(); }

    // Opens the object's editor sheet (the inspector for shapes), or beeps while a sheet is open.
    void EditObject(CMapObject* object) override;
    // Opens the sheet of the document's author and description, or beeps while a sheet is open.
    void EditDocument();
    DocumentSheet GetSheet() const { return mSheet; }
    bool HasSheet() const override;
    // Records the sheet; with a controller and show, shows its window as a sheet on this one.
    OSStatus BeginSheet(DocumentSheet kind, CWindowController* controller, bool show);
    // Ends the open sheet after "ok  " (accept) or "not!" (cancel): a controller that is an
    // IDocumentSheet is told which first, then the sheet ends and its controller is deleted.
    // Nothing when none is open.
    void CompleteSheet(UInt32 command);
    // The controller of the open sheet; null when none is open or it has none (the alert).
    CWindowController* GetSheetController() const { return mSheetControllers[mSheet]; }
    // A sheet on the window, or a modal alert when another sheet is open.
    void DisplayAlert(CString const& major, CString const& minor);

    // Getting data in and out: files and links, the view outside, printing, receivers.
    bool CanImport(CFile const& file) const override;
    bool CanImport(CString const& text) const override;
    void ImportData(CFile const& file) override;
    // Offers the place in the view location sheet, once the sheet open now has closed.
    void ImportData(CString const& text) override;
    void CommandImport();
    void CommandViewLocation(CString const& text);
    void CommandCopyView();
    void CommandGoogleEarth();
    void CommandGoogleMap();
    OSStatus PrintSelf(CPrintDialog* dialog, unsigned long page) override;
    void CommandSynchronise();
    void CommandRecordTrack();
    void BeginTransfer();
    void BeginTrack();
    void FinishTransfer(CString const& major, CString const& minor) override;
    void FinishTrack(CString const& major, CString const& minor) override;
    TrackInfo const& GetTrackInfo() const { return mTrackInfo; }
    TransferInfo const& GetTransferInfo() const { return mTransferInfo; }
    bool IsRecording() const { return mTrackRecorder != nullptr; }
    bool IsTransferring() const { return mTransfer != nullptr; }

    // An import or save that runs longer than the delay shows its progress on a sheet with
    // Cancel, and from then on the window's events are taken between slices of the work.
    static constexpr EventTime kWorkDelay = 0.5; // [s]
    // Tests set it; a negative delay restores kWorkDelay.
    static void SetWorkDelay(EventTime delay) { sWorkDelay = delay < 0 ? kWorkDelay : delay; }
    bool IsBusy() const override { return mWork.active; }

    // Copies the map's level into the bindable "zoom", which bound controls follow.
    void SyncZoomLevel();

    OSStatus Initialise(CFile const* file) override;
    SInt32 GetMenuStatus(HICommandExtended const& command) override;
    OSStatus DoEventWindowGetIdealSize(CCarbonEvent& event) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus DoEventRawKeyDown(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    CString GetPropertyString(unsigned long id) const override;
    UInt32 GetPropertyInteger(unsigned long id) const override;
    void DoMessage(UInt32 message, void* parameter) override;
    OSStatus EncodeProperties(CFDictionary& properties) override;
    OSStatus DecodeProperties(CFDictionary const& properties) override;
    bool ConfirmSave() override;
    bool NeedsSaveQuestion() const override { return mNewerFormat != 0 || CDocument::NeedsSaveQuestion(); }
    OSStatus LoadSelf() override;
    OSStatus SaveSelf() override;
    void ValueChanged(CBKeyValueStore const* theStore, CBString const& theKeyPath) override;

private:
    // What the last load could not read, told to the user once the window is up.
    struct LoadReport {
        UInt32 unknownObjects = 0; // of a kind this version does not know
        UInt32 damagedObjects = 0; // that could not be read
        bool unknownFormat = false; // "Format" missing or not ours
        UInt32 format = 0; // as the file gave it
        bool noObjects = false; // "Objects" missing or not a list
    };

    // Deselects everything; true when anything was selected. Broadcasts "dsec" once when asked.
    bool DeselectAll(bool broadcast);
    void SetSelected(CMapObject* object, bool select);
    // Marks the document modified unless every object is temporary.
    void MarkModified(std::vector<CMapObject*> const& objects);
    void RecordRegion(CCoordinateRect const& region);
    void GoBack();
    void GoForward();
    void UpdateHistoryButtons();
    void ShowList(UInt32 segment);
    void SetListFilter(CString const& filter);
    void ReportLoad();
    void DeleteObjects(std::vector<CMapObject*>& objects);
    void CloseSheet();
    // Asks the shell for the sheet of the kind and shows it.
    void OpenSheet(DocumentSheet kind, CMapObject* object);
    void ShowDevices();
    // The views Tab goes round, in order: the map, the list selector, the list, the search field.
    std::vector<HIViewRef> GetFocusCycle() const;
    void FocusMap();

    // The window's pieces, assembled by InitialiseSelf.
    void FindViews();
    void BuildListSelector();
    void BuildHeader();
    void BuildSplitter();
    void BuildToolbar();
    void ConnectListeners();
    // The user changed the toolbar's items: new items take the tool, the commands' states and the filter.
    void ToolbarItemsChanged();
    void MakeListSources();
    void SetInitialView();

    // The overlay over the map's scroll view, and keeping it there.
    void BuildOverlay();
    void LayoutOverlay();
    // What a sheet of the receivers hands back before it closes, and what follows once it did.
    void SheetCompleting(UInt32 command);
    void SheetCompleted(DocumentSheet kind, UInt32 command);
    template <typename Interface> Interface* MakeDataSheet(DocumentSheet kind, CWindowController*& controller);
    template <typename Interface> Interface* BeginProgressSheet(DocumentSheet kind);
    // A recorder or transfer that called back goes once its call has returned.
    void Bury(CTimerTask* finished);
    void StopDevices();

    // Long work: begun with the sheet's text, told how far it got between slices (false once
    // the user cancelled), and ended, which closes the sheet.
    void BeginWork(CString const& text);
    bool StepWork(UInt64 done, UInt64 total);
    void EndWork();
    void ShowWork();
    void TakeWaitingEvents();
    // The file's objects read on a thread of their own while the window waits with the work's
    // progress; userCanceledErr (and nothing read, the work ended) when the user stopped it.
    // Otherwise the work goes on, for the caller to add the objects and end it.
    OSStatus ReadImport(CFile const& file, std::vector<CMapObject*>& objects);

    OSStatus EncodeObjects(CFDictionary& properties);
    struct ObjectCursor {
        std::size_t index = 0; // into the objects, then on into the unread ones
        UInt32 stored = 0; // the objects numbered
    };
    UInt32 NumberObjects();
    // The next object to store, encoded: +1; null at the end or on failure (status says).
    CFTypeRef EncodeNextObject(ObjectCursor& cursor, OSStatus& status);
    OSStatus EncodeSettings(CFDictionary& properties);
    // The objects of the file's list, each made from its element as the list is read.
    class ReadObjects;
    void DecodeObjects(CFDictionary const& properties);
    void KeepUnreadKeys(CFDictionary const& properties);
    static CMapObject* MakeObject(MapObjectType type);

    CDocumentInfo mInfo;
    std::vector<CMapObject*> mObjects; // owns
    CToolBox mToolBox; // the map tools; makes the current one the map view's
    CToolbarDocument* mToolbar = nullptr; // owns; null when it could not be made
    std::vector<CCoordinateRect> mHistory;
    std::size_t mHistoryIndex = 0; // the entry shown; 0 when the history is empty
    CWindowHeader* mHeader = nullptr; // weak: the views belong to the window
    CSplitterView* mSplitter = nullptr; // weak
    CHISegmentedView* mListSelector = nullptr; // weak
    CDataBrowser* mList = nullptr; // weak
    CHistoryButton* mBack = nullptr; // weak
    CHistoryButton* mForward = nullptr; // weak
    CViewMap* mMapView = nullptr; // weak
    CViewRegion* mRegionView = nullptr; // weak
    bool mChangingSelection = false;
    DocumentSheet mSheet = kSheetNone;
    CStandardAlert mAlert;
    std::array<CWindowController*, kSheetCount> mSheetControllers {}; // owns, by sheet kind
    LoadReport mLoadReport;
    ReadObjects* mStreamedObjects = nullptr; // weak: the objects read with the file, while it loads
    CViewOverlay* mOverlay = nullptr; // weak: the window's view
    CString mPendingLocation; // a dropped link, offered once the open sheet has closed
    TrackInfo mTrackInfo;
    CMapTrack* mTrackToEdit = nullptr; // weak: a recorded track whose editor waits for the alert to go
    TransferInfo mTransferInfo;
    CDeviceTrack* mTrackRecorder = nullptr; // owns
    CDeviceTransfer* mTransfer = nullptr; // owns
    std::vector<std::unique_ptr<CTimerTask>> mFinished; // recorders and transfers whose last call returned
    EventLoopTimerRef mBurial = nullptr; // owns: deletes mFinished on the next turn of the loop
    // Objects of the file that could not be read, written back unchanged so that nothing is lost.
    std::vector<StCFRef<CFTypeRef>> mUnreadObjects;
    // Keys of the file this version does not know (a newer version's), written back unchanged.
    std::vector<std::pair<CString, StCFRef<CFTypeRef>>> mUnreadKeys;
    UInt32 mNewerFormat = 0; // the format of a newer version the file was in, until it is saved in ours
    std::array<std::unique_ptr<CDataBrowserSource>, kListCount> mListSources; // by segment from 1
    UInt32 mListSegment = kListWaypoints;
    CDeviceManager* mDevices = nullptr; // weak: the application's, which outlives its windows
    struct Work {
        bool active = false;
        bool cancelled = false;
        bool canShow = true; // false once the sheet could not be shown
        EventTime start = 0;
        std::chrono::steady_clock::time_point nextSlice {};
        CString text;
        ITransferProgress* sheet = nullptr; // weak: the open sheet's controller
    };
    Work mWork;
    static inline EventTime sWorkDelay = kWorkDelay;

    static inline IDocumentShell* sShell = nullptr;
};
