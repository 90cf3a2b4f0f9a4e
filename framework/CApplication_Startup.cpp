#include "display/SessionEnd.h"
#include "foundation/CDebugLog.h"
#include "foundation/CFileUtilities.h"
#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CMenuUtilities.h"
#include "framework/CSplashScreen.h"
#include "corefoundation/CFPreferences.h"
#include "quartz/CGDataProvider.h"
#include "quartz/CGImage.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/NibCalls.h"

OSStatus CApplication::Run()
{
    using Step = OSStatus (CApplication::*)();
    static Step const kSteps[] = { &CApplication::InitialiseBegin, &CApplication::InitialisePreferences,
        &CApplication::InitialiseMenuBar, &CApplication::InitialiseSelf, &CApplication::InitialiseFinish };
    OSStatus status = noErr;
    for (Step step : kSteps) {
        status = (this->*step)();
        if (status != noErr)
            break;
    }
    mAppMode = kModeRunning;
    if (status == noErr)
        RunEventLoop();
    mAppMode = kModeShutdown;
    return Shutdown();
}

OSStatus CApplication::InitialiseBegin()
{
    CDebugLog* log = CDebugLog::GetDebugLog();
    UInt32 outputs = GetPropertyInteger('dbgl');
    if (GetPrefBoolean(kPrefUserDebugLog, false))
        log->SetLogFileOutputFolder(kDesktopFolderType);
    else
        outputs = 0;
    log->SetLogOutputs(outputs);
    log->SetAutoFlush(true);

    static EventTypeSpec const kCarbonEvents[] = {
        { 'cmds' /* command */, 1 /* process */ },
        { 'cmds', 2 /* update status */ },
        { 'appl' /* application */, 1 /* activated */ },
        { 'appl', 2 /* deactivated */ },
        { 'eppc' /* Apple event */, 1 },
        { 0, 0 },
    };
    static EventTypeSpec const kAppleEvents[] = {
        { 'aevt', 'oapp' },
        { 'aevt', 'odoc' },
        { 'aevt', 'pdoc' },
        { 'aevt', 'quit' },
        { 'aevt', 'rapp' },
        { 0, 0 },
    };
    OSStatus status = CCarbonEventHandler::InstallHandler(kCarbonEvents);
    status |= CAppleEventHandler::InstallHandler(kAppleEvents);
    tw::display::SetSessionEndHandler(&CApplication::EndSession);

    CString splash = GetPropertyString('spla');
    if (splash.IsNotEmpty())
        StartSplashScreen(CFileUtilities::GetBundleResource(splash, CString(), CString()));
    // A missing help book is logged, never a reason not to start.
    if (GetPropertyInteger('rhol') != 0)
        RegisterHelpBook();
    return status;
}

OSStatus CApplication::RegisterHelpBook()
{
    CFile help = CFileUtilities::GetBundleResource("Help", CString(), CString());
    if (help.DirectoryExists())
        return noErr;
    CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityInfo, "app", "no help book in the application bundle");
    return fnfErr;
}

OSStatus CApplication::InitialisePreferences()
{
    // From here on every change reaches the disk soon after it is made.
    tw::cf::SetPreferencesChangeHook(&PreferencesChanged, this);
    if (!mPreferences.PrefExists(kPrefSoftwareUpdatePeriod))
        mPreferences.SetDate(kPrefSoftwareUpdatePeriod, CDateTime(86400.0)); // one day
    if (!mPreferences.PrefExists(kPrefFirstLaunchDate)) {
        mPreferences.SetDate(kPrefFirstLaunchDate, CDateTime::GetTimeNow());
        mPreferences.SetInteger(kPrefRunCount, 0);
    }
    return noErr;
}

OSStatus CApplication::InitialiseMenuBar()
{
    CString nibName = GetPropertyString('anib');
    CString menuBar = GetPropertyString('anmb');
    if (nibName.IsEmpty() || menuBar.IsEmpty())
        return noErr;
    IBNibRef nib = nullptr;
    OSStatus status = CreateNibReference(nibName.GetCFString(), &nib);
    if (status != noErr)
        return status;
    SetMenuBarFromNib(nib, menuBar.GetCFString()); // a missing menu bar is no reason to stop
    mRecentItems.LoadFromAppMenuBar();

    MenuRef help = nullptr;
    if (CreateMenuFromNib(nib, CFSTR("Help"), &help) == noErr && help) {
        MenuRef systemHelp = nullptr;
        MenuItemIndex first = 0;
        if (HMGetHelpMenu(&systemHelp, &first) == noErr && systemHelp)
            CopyMenuItems(help, 1, CountMenuItems(help), systemHelp, first - 1);
        ReleaseMenu(help);
    }
    DisposeNibReference(nib);
    return noErr;
}

OSStatus CApplication::InitialiseSelf() { return noErr; }

OSStatus CApplication::InitialiseFinish()
{
    OSStatus status = CommandCheckForUpdate(false);
    if (status != noErr)
        return status;
    if (mSplashScreen) {
        CSplashScreen* splash = mSplashScreen;
        mSplashScreen = nullptr;
        splash->Close(0.05); // deletes itself
    }
    return noErr;
}

OSStatus CApplication::RunEventLoop()
{
    RunApplicationEventLoop();
    return noErr;
}

OSStatus CApplication::Shutdown()
{
    // The session ended while work ran (an import, a save): what it left is kept now.
    if (tw::display::HasSessionEnded())
        EndSession();
    SetPropertyInteger('rcnt', GetPropertyInteger('rcnt') + 1);
    // The clipboard holds its data itself: no promised flavours wait for delivery.
    return noErr;
}

void CApplication::StartSplashScreen(CFile const& file)
{
    if (!file.FileExists())
        return;
    CGImageRef image = nullptr;
    if (CFURLRef url = file.CopyURL()) {
        if (CGDataProviderRef provider = CGDataProviderCreateWithURL(url)) {
            image = CGImageCreateWithPNGDataProvider(provider, nullptr, false, kCGRenderingIntentDefault);
            CGDataProviderRelease(provider);
        }
        CFRelease(url);
    }
    if (!image)
        return;
    delete mSplashScreen;
    mSplashScreen = new CSplashScreen();
    mSplashScreen->SetBackground(image);
    CGImageRelease(image);
    mSplashScreen->Open(0.25);
}
