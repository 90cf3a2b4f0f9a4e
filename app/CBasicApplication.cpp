#include "app/CBasicApplication.h"

#include "app/CBasicDocument.h"
#include "app/CWindowPreferences.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "corefoundation/CoreFoundation.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/BugReporter.h"
#include "framework/CMacWindow.h"
#include "services/AppleEvents.h"
#include "widgets/ControlClasses.h"
#include "widgets/WidgetClasses.h"

#include <cstring>
#include <filesystem>

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
CString BugReporterConfiguration()
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

} // namespace

CBasicApplication::CBasicApplication()
{
    if (IsBugReporterAvailable() == noErr)
        EnableBugReporter(BugReporterConfiguration());
}

// Whatever the preference says by now, an installed reporter goes with the object.
CBasicApplication::~CBasicApplication() { DisableBugReporter(); }

CString CBasicApplication::GetPropertyString(unsigned long id) const
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
        return version.IsNotEmpty() ? version : CApplication::GetPropertyString(id);
    }
    case 'arel':
        return "2006";
    default:
        return CApplication::GetPropertyString(id);
    }
}

CDocument* CBasicApplication::CreateDocument() { return new CBasicDocument(); }

OSStatus CBasicApplication::InstallSupport()
{
    static OSStatus const status = [] {
        CBPreferenceBinding::InstallPreferencesSupport();
        InstallControlWindowSupport();
        return RegisterWidgetClasses();
    }();
    return status;
}

OSStatus CBasicApplication::InitialiseBegin()
{
    OSStatus const status = InstallSupport();
    return status != noErr ? status : CApplication::InitialiseBegin();
}

OSStatus CBasicApplication::InitialiseFinish()
{
    OSStatus const status = CApplication::InitialiseFinish();
    if (status == noErr)
        QueueLaunchEvents(mArgc, mArgv);
    return status;
}

OSStatus CBasicApplication::CommandPrefs()
{
    CWindowPreferences* preferences = CWindowPreferences::GetInstance();
    if (!preferences) {
        Beep(); // the window could not be made from the nib
        return noErr;
    }
    preferences->GetWindow()->Select(true);
    return noErr;
}

void CBasicApplication::SetLaunchArguments(int argc, char** argv)
{
    mArgc = argv ? argc : 0;
    mArgv = argv;
}

namespace {

void SendQueued(AppleEvent& event)
{
    AESend(&event, nullptr, kAENoReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr);
    AEDisposeDesc(&event);
}

bool IsLink(char const* argument) { return std::strstr(argument, "://") && std::strncmp(argument, "file://", 7) != 0; }

bool IsOption(char const* argument) { return argument[0] == '-'; }

} // namespace

void CBasicApplication::QueueLaunchEvents(int argc, char** argv)
{
    AEDescList files {};
    AECreateList(nullptr, 0, false, &files);
    for (int i = 1; i < argc; ++i) {
        if (IsOption(argv[i]))
            continue;
        if (IsLink(argv[i])) {
            AppleEvent getURL {};
            AECreateAppleEvent('GURL', 'GURL', nullptr, kAutoGenerateReturnID, kAnyTransactionID, &getURL);
            AEPutParamPtr(&getURL, keyDirectObject, typeUTF8Text, argv[i], Size(std::strlen(argv[i])));
            SendQueued(getURL);
            continue;
        }
        CFile file(CString(argv[i], kCFStringEncodingUTF8));
        AEDesc desc {};
        // A missing file still goes in: opening it reports what is wrong.
        if (CFileUtilities::GetAEDescFromFile(file, &desc) == noErr) {
            AEPutDesc(&files, 0, &desc);
            AEDisposeDesc(&desc);
        }
    }
    long count = 0;
    AECountItems(&files, &count);
    AppleEvent launch {};
    AECreateAppleEvent(kCoreEventClass, count > 0 ? kAEOpenDocuments : kAEOpenApplication, nullptr,
        kAutoGenerateReturnID, kAnyTransactionID, &launch);
    if (count > 0)
        AEPutParamDesc(&launch, keyDirectObject, &files);
    AEDisposeDesc(&files);
    SendQueued(launch);
}

CBasicApplication::LaunchAction CBasicApplication::ReadOptions(int argc, char** argv)
{
    for (int i = 1; i < argc && argv; ++i) {
        if (!argv[i] || !IsOption(argv[i]))
            continue;
        return std::strcmp(argv[i], "--help") == 0 ? LaunchAction::Help : LaunchAction::Refuse;
    }
    return LaunchAction::Run;
}

CString CBasicApplication::GetUsage()
{
    CString usage = CTextUtilities::GetBundleString("Usage: tarnwick [--help] [file or link]…");
    usage += "\n";
    return usage;
}

std::vector<std::string> CBasicApplication::HandOverWords(int argc, char** argv)
{
    std::vector<std::string> words;
    for (int i = 1; i < argc && argv; ++i) {
        if (!argv[i] || IsOption(argv[i]))
            continue;
        if (IsLink(argv[i]) || std::strncmp(argv[i], "file://", 7) == 0) {
            words.emplace_back(argv[i]);
            continue;
        }
        std::error_code error;
        std::filesystem::path const absolute = std::filesystem::absolute(argv[i], error);
        words.push_back(error ? std::string(argv[i]) : absolute.lexically_normal().string());
    }
    return words;
}

void CBasicApplication::QueueHandedOver(std::vector<std::string> const& words)
{
    if (words.empty()) {
        AppleEvent reopen {};
        AECreateAppleEvent(
            kCoreEventClass, kAEReopenApplication, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &reopen);
        SendQueued(reopen);
        return;
    }
    std::vector<char*> argv { const_cast<char*>("tarnwick") };
    for (std::string const& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    QueueLaunchEvents(static_cast<int>(argv.size()), argv.data());
}
