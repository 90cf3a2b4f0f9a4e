#include "app/CTWApplication.h"

#include "app/CWindowObjectPalette.h"
#include "app/CWindowNavigator.h"
#include "app/CWindowPreferences.h"
#include "app/windows/CWindowDevice.h"
#include "app/windows/CWindowDevices.h"
#include "services/AppleHelp.h"
#include "devices/CDevice.h"
#include "docwindow/CTWWindow.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CTextUtilities.h"
#include "framework/BugReporter.h"
#include "framework/CFileDialog.h"
#include "framework/CInternetUtilities.h"
#include "framework/CMacWindow.h"
#include "framework/CStandardAlert.h"
#include "model/CMapObject.h"
#include "model/CThreadSearch.h"
#include "model/IRoadRouter.h"

namespace {

// The version has one home, the bundle's Info.plist, which the build writes from the project's version.
CString BundleVersion()
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    CFTypeRef value
        = bundle ? CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleShortVersionString")) : nullptr;
    if (!value || CFGetTypeID(value) != CFStringGetTypeID())
        return CString();
    return CString(static_cast<CFStringRef>(value), false);
}

// What the crash reporter is told of the program.
CString BugReporterConfig()
{
    CString text;
    text.Format("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n"
                "<key>BRBundleIdentifier</key><string>com.tarnwick.tarnwick</string>\n"
                "<key>BRBundleExecutable</key><string>Tarnwick</string>\n"
                "<key>BRBundleVersion</key><string>%s</string>\n"
                "<key>BRSubmitWeb</key><string>https://tarnwick.org/cgi-local/bugreporter.cgi</string>\n"
                "<key>BRReportInfo</key><array><string>BRReportCrashLog</string></array>\n"
                "</dict></plist>\n",
        BundleVersion().GetUTF8());
    return text;
}

struct StyleKey {
    MapObjectType type;
    char const* key;
};

// Stored in preferences: never rename.
constexpr StyleKey kStyleKeys[] = {
    { kMapObjectCircle, "StyleCircle" },
    { kMapObjectCrop, "StyleCrop" },
    { kMapObjectLine, "StyleLine" },
    { kMapObjectNote, "StyleNote" },
    { kMapObjectRectangle, "StyleRectangle" },
    { kMapObjectRoute, "StyleRoute" },
    { kMapObjectTrack, "StyleTrack" },
    { kMapObjectWaypoint, "StyleWaypoint" },
};

} // namespace

CTWApplication::CTWApplication()
    : mRouteManager(&mMapManager)
{
    InstallServices();
}

CTWApplication::CTWApplication(CDeviceManager::Setup devices)
    : mDeviceManager(std::move(devices))
    , mRouteManager(&mMapManager)
{
    InstallServices();
}

// The crash reporter unpacks itself into a folder of its own, a tenth of a second of work:
// it is installed once the first frames are up instead of on the way to them.
void CTWApplication::InstallServices()
{
    if (IsBugReporterAvailable() == noErr)
        InstallEventLoopTimer(GetMainEventLoop(), kBugReporterDelay, 0, &CTWApplication::EnableReporter, this,
            &mReporterTimer);
    // The floors below reach these services through their own seams.
    CMapObject::SetDefaultStyleHook(&CTWApplication::DefaultStyleHook);
    CMapObject::SetMapManager(&mMapManager);
    IRoadRouter::SetDefault(&mRouteManager);
    CThreadSearch::SetMapManager(&mMapManager);
    CViewMap::SetMapManager(&mMapManager);
    CViewMap::SetDeviceManager(&mDeviceManager);
    CWindowDocument::SetShell(&mDocumentShell);
    // The receivers' windows: the list shows this manager's devices, and each device makes its own.
    CWindowDevices::SetDeviceManager(&mDeviceManager);
    CDevice::SetWindowFactory(&CWindowDevice::Make);
    sRunning = this;
    CTWWindow::SetRunningApp(this);
}

CTWApplication::~CTWApplication()
{
    if (sRunning == this) {
        sRunning = nullptr;
        CTWWindow::SetRunningApp(nullptr);
    }
    if (mReporterTimer)
        RemoveEventLoopTimer(mReporterTimer);
    else if (IsBugReporterAvailable() == noErr)
        DisableBugReporter();
    if (CWindowDocument::GetShell() == &mDocumentShell)
        CWindowDocument::SetShell(nullptr);
    CDevice::SetWindowFactory(nullptr);
    CWindowDevices::SetDeviceManager(nullptr);
    CViewMap::SetDeviceManager(nullptr);
    CViewMap::SetMapManager(nullptr);
    CThreadSearch::SetMapManager(nullptr);
    IRoadRouter::SetDefault(nullptr);
    CMapObject::SetMapManager(nullptr);
    CMapObject::SetDefaultStyleHook(nullptr);
}

void CTWApplication::EnableReporter(EventLoopTimerRef, void* data)
{
    auto* app = static_cast<CTWApplication*>(data);
    RemoveEventLoopTimer(app->mReporterTimer);
    app->mReporterTimer = nullptr;
    EnableBugReporter(BugReporterConfig());
}

CRouteManager& CTWApplication::GetRouteManager() { return GetTWApp()->mRouteManager; }

CMapManager& CTWApplication::GetMapManager() { return GetTWApp()->mMapManager; }

CString CTWApplication::GetPropertyString(unsigned long id) const
{
    switch (id) {
    case 'anib':
    case 'anam':
    case 'cnam':
        return "Tarnwick";
    case 'apro':
        return "TWCK";
    case 'aver': {
        CString const version = BundleVersion();
        return version.IsNotEmpty() ? version : CString("1.1.1");
    }
    case 'arel':
        return "2006";
    case 'uhlp':
        return CTextUtilities::GetBundleString("URLOnlineHelp");
    case 'esup':
        return "support@tarnwick.org";
    case 'uhom':
        return "https://tarnwick.org/";
    case 'usxm':
        return "https://tarnwick.org/support/version.xml";
    default:
        return CApplication::GetPropertyString(id);
    }
}

UInt32 CTWApplication::GetPropertyInteger(unsigned long id) const
{
    // The global document opens at start-up: no extra untitled one.
    return id == 'ndol' ? 0 : CApplication::GetPropertyInteger(id);
}

void CTWApplication::SetCurrentDocument(CDocument* document)
{
    CApplication::SetCurrentDocument(document);
    BroadcastMessage(kMsgCurrentDocument, dynamic_cast<CWindowDocument*>(document));
}

CDocument* CTWApplication::CreateDocument() { return new CWindowDocument(); }

SInt32 CTWApplication::GetMenuStatus(HICommandExtended const& command)
{
    if (CWindowDocument::IsDocumentCommand(command.commandID))
        return kMenuStatusDisable;
    return CApplication::GetMenuStatus(command);
}

OSStatus CTWApplication::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case 'ogeo':
        return CommandOpenGeocaching();
    case 'rfrm':
        return CommandOpenOnlineForum();
    case 'insp':
        return CommandInspector();
    case 'navi':
        return CommandNavigator();
    case 'ohlp':
        return CommandOpenAppHelp();
    case kCommandShowDevices:
        return CommandShowDevices();
    default:
        return CApplication::DoEventCommandProcess(event);
    }
}

OSStatus CTWApplication::CommandPrefs()
{
    CWindowPreferences* preferences = CWindowPreferences::GetInstance();
    if (!preferences) {
        Beep(); // the window could not be made from the nib
        return noErr;
    }
    preferences->GetWindow()->Select(true);
    return noErr;
}

// A palette shown over the front document's title bar or toolbar would take the clicks
// meant for them: it moves beside the document where the screen has room, else below
// the toolbar.
void CTWApplication::PlaceClearOfToolbar(CMacWindow* palette)
{
    CDocument* document = GetCurrentDocument();
    CMacWindow* front = document ? document->GetWindow() : nullptr;
    if (!palette || !palette->IsVisible() || !front || !front->IsVisible())
        return;
    CRect const frame = front->GetWindowBounds(kWindowStructureRgn);
    CRect const content = front->GetWindowBounds(kWindowContentRgn);
    CRect bounds = palette->GetWindowBounds(kWindowStructureRgn);
    bool const overBand = bounds.left < frame.right && bounds.right > frame.left && bounds.top < content.top
        && bounds.bottom > frame.top;
    if (!overBand)
        return;
    constexpr SInt16 kGap = 8; // [px]
    SInt16 const width = SInt16(bounds.right - bounds.left), height = SInt16(bounds.bottom - bounds.top);
    Rect area {};
    GetAvailableWindowPositioningBounds(GetMainDevice(), &area);
    if (frame.right + kGap + width <= area.right) {
        bounds.left = SInt16(frame.right + kGap);
        bounds.top = std::max<SInt16>(frame.top, area.top);
    } else {
        bounds.top = SInt16(content.top + kGap);
    }
    bounds.right = SInt16(bounds.left + width);
    bounds.bottom = SInt16(bounds.top + height);
    palette->SetWindowBounds(bounds, kWindowStructureRgn, 0);
    palette->KeepOnScreen();
}

// A palette that cannot be made from the nib beeps; the command is handled all the same.
OSStatus CTWApplication::CommandInspector()
{
    if (CWindowInspector* inspector = CWindowInspector::GetInstance()) {
        inspector->GetWindow()->ToggleVisibility(true);
        PlaceClearOfToolbar(inspector->GetWindow());
    } else {
        Beep();
    }
    return noErr;
}

OSStatus CTWApplication::CommandNavigator()
{
    if (CWindowNavigator* navigator = CWindowNavigator::GetInstance()) {
        navigator->GetWindow()->ToggleVisibility(true);
        PlaceClearOfToolbar(navigator->GetWindow());
    } else {
        Beep();
    }
    return noErr;
}

// The help book in the bundle needs no network; without it the online help is the answer,
// and with no program to show either the user is told.
OSStatus CTWApplication::CommandOpenAppHelp()
{
    CString const book(kTarnwickHelpBook);
    if (AHGotoPage(book.GetCFString(), nullptr, nullptr) != noErr
        && CInternetUtilities::LaunchURL(GetPropertyString('uhlp')) != noErr)
        DoAlert(CTextUtilities::GetBundleString("AppHelpFailed"), CTextUtilities::GetBundleString("AppHelpNoProgram"),
            2 /* caution */, CStandardAlert::kDefaultButtonText, CString(), CString());
    return noErr;
}

OSStatus CTWApplication::CommandShowDevices()
{
    CWindowDevices* devices = CWindowDevices::GetInstance();
    if (!devices) {
        Beep(); // the window could not be made from the nib
        return noErr;
    }
    devices->GetWindow()->Select(true);
    return noErr;
}

OSStatus CTWApplication::CommandOpenGeocaching()
{
    return CInternetUtilities::LaunchURL(CTextUtilities::GetBundleString("URLGeocaching"));
}

OSStatus CTWApplication::CommandOpenOnlineForum()
{
    return CInternetUtilities::LaunchURL(CTextUtilities::GetBundleString("URLOnlineForum"));
}

void CTWApplication::DoMessage(UInt32 message, void* parameter)
{
    if (message == CFileDialog::kMsgNavFilter && parameter)
        FilterDocuments(static_cast<MsgNavFilter*>(parameter));
}

// Folders and items that do not exist are left as the dialog proposed them.
void CTWApplication::FilterDocuments(MsgNavFilter* filter)
{
    if (!filter->file.FileExists())
        return;
    filter->accept = filter->file.GetExtension().GetLower() == CString("twk") || filter->file.GetFileType() == 'TWck';
}

CString CTWApplication::GetStylePref(MapObjectType type)
{
    for (StyleKey const& entry : kStyleKeys)
        if (entry.type == type)
            return entry.key;
    return CString();
}

MapObjectStyle CTWApplication::GetObjectStyle(MapObjectType type)
{
    if (auto const cached = mStyles.find(type); cached != mStyles.end())
        return cached->second;
    CPreferences& prefs = GetPreferences();
    CString const base = GetStylePref(type);
    auto const key = [&base](char const* suffix) { return base + CString(suffix); };
    MapObjectStyle style; // the built-in defaults for what is not stored
    if (prefs.PrefExists(key(kStylePrefLineStyle)))
        style.lineStyle = MapLineStyle(prefs.GetInteger(key(kStylePrefLineStyle), SInt32(style.lineStyle)));
    if (prefs.PrefExists(key(kStylePrefLineWidth)))
        style.lineWidth = float(prefs.GetFloat(key(kStylePrefLineWidth), style.lineWidth));
    // A stored colour that cannot be read is opaque black.
    ColourRGBA const black { 0, 0, 0, 1 };
    if (prefs.PrefExists(key(kStylePrefColourFill)))
        style.fill = prefs.GetColour(key(kStylePrefColourFill), black);
    if (prefs.PrefExists(key(kStylePrefColourFrame)))
        style.frame = prefs.GetColour(key(kStylePrefColourFrame), black);
    mStyles[type] = style;
    return style;
}

void CTWApplication::SetObjectStyle(MapObjectType type, MapObjectStyle const& style)
{
    CPreferences& prefs = GetPreferences();
    CString const base = GetStylePref(type);
    prefs.SetInteger(base + CString(kStylePrefLineStyle), SInt32(style.lineStyle));
    prefs.SetFloat(base + CString(kStylePrefLineWidth), style.lineWidth);
    prefs.SetColour(base + CString(kStylePrefColourFrame), style.frame);
    prefs.SetColour(base + CString(kStylePrefColourFill), style.fill);
    mStyles[type] = style;
}

// New objects made while no application of ours runs (tests, tools) keep the model's own defaults.
MapObjectStyle CTWApplication::DefaultStyleHook(MapObjectType type)
{
    CTWApplication* app = GetTWApp();
    return app ? app->GetObjectStyle(type) : MapObjectStyle();
}
