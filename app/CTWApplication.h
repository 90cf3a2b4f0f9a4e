#pragma once

// The one application object of the process: the program's start-up steps,
// its constant facts, menu commands, preference defaults, the global document,
// map links from outside, the open dialog's filter and the default drawing
// style of each kind of map object. It owns the process-wide services (route
// manager, map manager) and installs them where the lower floors look for
// them. Lives on main's stack; main thread only.

#include "app/CDocumentShell.h"
#include "app/IObjectStyles.h"
#include "bindings/Source/Bindings/CBindable.h"
#include "devices/CDeviceManager.h"
#include "foundation/CFileLock.h"
#include "foundation/CMsgBroadcaster.h"
#include "framework/CApplication.h"
#include "mapdata/CMapManager.h"
#include "model/CRouteManager.h"
#include "model/MapObjectTypes.h"

#include <map>
#include <string>
#include <vector>

class CMacWindow;
class CWindowDocument;
struct MsgNavFilter;

class CTWApplication : public CApplication, public CMsgBroadcaster, public CBindable, public IObjectStyles {
public:
    static constexpr UInt32 kMsgCurrentDocument = 'dact'; // parameter: the CWindowDocument, or null
    static constexpr CGRect kSplashScreenStatus { { 100, 260 }, { 215, 46 } };
    static constexpr char const* kTarnwickHelpBook = "Tarnwick Help";
    static constexpr unsigned long kMaxOpenFiles = 10240;
    static constexpr EventTime kBugReporterDelay = 1.0; // [s] after construction, off the first frame's path
    // Appended to a kind's style key: stored in preferences, never rename.
    static constexpr char const* kStylePrefLineStyle = ".LineStyle";
    static constexpr char const* kStylePrefLineWidth = ".LineWidth";
    static constexpr char const* kStylePrefColourFill = ".ColourFill";
    static constexpr char const* kStylePrefColourFrame = ".ColourFrame";

    // Installs the crash reporter when it may run, and the services where the model finds them.
    // The device registry looks for receivers at once.
    CTWApplication();
    // With the device registry made from the setup (tests: no discovery, simulated units).
    explicit CTWApplication(CDeviceManager::Setup devices);
    ~CTWApplication() override;

    // The running application when it is this class, else null. Inline, so that the
    // windows of the floors below can take it without linking the application.
    static CTWApplication* GetTWApp() { return sRunning; }
    // The members of the running application; the application must exist.
    static CDeviceManager& GetDeviceManager() { return sRunning->mDeviceManager; }
    static CRouteManager& GetRouteManager();
    static CMapManager& GetMapManager();

    CString GetPropertyString(unsigned long id) const override;
    UInt32 GetPropertyInteger(unsigned long id) const override;
    // Also tells the palettes which document window is now current ("dact").
    void SetCurrentDocument(CDocument* document) override;
    CDocument* CreateDocument() override;
    UInt32 GetSaveModeForFile(CFile const& file) const override;

    OSStatus InitialiseBegin() override;
    OSStatus InitialisePreferences() override;
    OSStatus InitialiseSelf() override;
    OSStatus InitialiseFinish() override;

    // A document window's command that comes this far has no document window to go to: disabled.
    SInt32 GetMenuStatus(HICommandExtended const& command) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    // The open dialog's filter ("fdnf"); everything else is ignored.
    void DoMessage(UInt32 message, void* parameter) override;
    OSStatus DoAppleEventGetURL(AEDesc const& event) override;
    OSStatus CommandOpenGeocaching();
    OSStatus CommandOpenOnlineForum();
    // Shows the palette when hidden, hides it when shown ("insp", "navi").
    OSStatus CommandInspector();
    OSStatus CommandNavigator();
    OSStatus CommandOpenAppHelp();
    // At start-up: the inspector and the navigator, when they were open at the last quit.
    void ShowPalettes();
    void PlaceClearOfToolbar(CMacWindow* palette);
    // Shows the list of receivers and brings it to the front.
    static constexpr UInt32 kCommandShowDevices = 'devi';
    OSStatus CommandShowDevices();

    // The default style of new objects of the kind: the stored preferences over the built-in
    // defaults, read once and cached. SetObjectStyle stores a new default.
    MapObjectStyle GetObjectStyle(MapObjectType type) override;
    void SetObjectStyle(MapObjectType type, MapObjectStyle const& style) override;
    // The preference key of a kind's style ("StyleWaypoint"); empty for an unknown kind.
    static CString GetStylePref(MapObjectType type);

    // Shows or hides a file in the open dialog: documents by extension or file type.
    static void FilterDocuments(MsgNavFilter* filter);

    // Opens the global document, or a new untitled one when the preferences say not to keep one.
    OSStatus OpenDocument();
    // The global document's file in the user's Application Support folder (made when missing).
    static CFile GetGlobalDocumentFile(bool create = true);

    // Shows the preferences window and brings it to the front.
    OSStatus CommandPrefs() override;

    // The command line handed to the launch events; kept, not copied.
    void SetLaunchArguments(int argc, char** argv);
    // The command line as launch Apple events: the files as one open-documents event
    // (open-application when there are none), each link as a get-URL event. Words that
    // begin with "-" are options, never files, up to "--", after which every word is one.
    static void QueueLaunchEvents(int argc, char** argv);

    // What the command line's options ask: "--help" the usage, any other option before "--"
    // is refused.
    enum class LaunchAction { Run, Help, Refuse };
    static LaunchAction ReadOptions(int argc, char** argv);
    // The one-line usage, with its newline.
    static CString GetUsage();
    // What a start hands to the running instance: its files made absolute (its folder
    // is not the instance's), its links as they are, no options.
    static std::vector<std::string> HandOverWords(int argc, char** argv);
    // The instance's side: the words as launch events; none is a reopen, as a second
    // launch of a running program is.
    static void QueueHandedOver(std::vector<std::string> const& words);
    // Once per process: the preference bindings, the widget seam of windows and the view classes.
    static OSStatus InstallSupport();

private:
    void WriteDefaultPreferences();
    static void ShowGlobalDocumentProblem(CString const& major, CString const& reason);
    static MapObjectStyle DefaultStyleHook(MapObjectType type);

    void InstallServices();
    static void EnableReporter(EventLoopTimerRef timer, void* data);

    // Built in this order, destroyed in reverse: the route manager only keeps the map
    // manager's address, so it may come first.
    CDeviceManager mDeviceManager;
    CDocumentShell mDocumentShell; // the document windows' sheets and lists
    CRouteManager mRouteManager;
    CMapManager mMapManager;
    std::map<MapObjectType, MapObjectStyle> mStyles; // the defaults read so far
    int mArgc = 0;
    char** mArgv = nullptr; // weak: the process's own arguments
    EventLoopTimerRef mReporterTimer = nullptr; // until the crash reporter is installed
    CFileLock mGlobalLock; // held while this copy of the program owns the global document
    static inline CTWApplication* sRunning = nullptr; // set while one exists
};
