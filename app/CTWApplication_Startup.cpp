#include "app/CTWApplication.h"

#include "app/CMapPackRepair.h"
#include "app/CWindowNavigator.h"
#include "app/CWindowObjectPalette.h"
#include "app/windows/AppWindowClasses.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "docwindow/DocWindowClasses.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CFileErrorText.h"
#include "framework/CMacWindow.h"
#include "framework/CSplashScreen.h"
#include "framework/CStandardAlert.h"
#include "model/CParserURL.h"
#include "services/AppleEvents.h"
#include "widgets/ControlClasses.h"

#include <cstring>
#include <filesystem>

namespace {

// Written only when absent, in this order: a stored false or 0 is the user's choice.
void WriteDefault(CPreferences& prefs, char const* key, bool value)
{
    if (!prefs.PrefExists(key))
        prefs.SetBoolean(key, value);
}

void WriteDefault(CPreferences& prefs, char const* key, SInt32 value)
{
    if (!prefs.PrefExists(key))
        prefs.SetInteger(key, value);
}

void SendQueued(AppleEvent& event)
{
    AESend(&event, nullptr, kAENoReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr);
    AEDisposeDesc(&event);
}

bool IsLink(char const* argument) { return std::strstr(argument, "://") && std::strncmp(argument, "file://", 7) != 0; }

bool IsOption(char const* argument) { return argument[0] == '-'; }

// "--" ends the options: every word after it is a file or link, "-" at its start or not.
bool IsEndOfOptions(char const* argument) { return std::strcmp(argument, "--") == 0; }

} // namespace

OSStatus CTWApplication::InstallSupport()
{
    static OSStatus const status = [] {
        CBPreferenceBinding::InstallPreferencesSupport();
        InstallControlWindowSupport();
        return RegisterAppWindowClasses(); // the widget classes first, then the map's and the compass
    }();
    return status;
}

OSStatus CTWApplication::InitialiseBegin()
{
    OSStatus const status = InstallSupport();
    return status != noErr ? status : CApplication::InitialiseBegin();
}

OSStatus CTWApplication::InitialisePreferences()
{
    if (CSplashScreen* splash = GetSplashScreen())
        splash->SetStatusRect(kSplashScreenStatus);
    SetSplashStatus("SplashInitPreferences", true);
    OSStatus const status = CApplication::InitialisePreferences();
    if (status == noErr)
        WriteDefaultPreferences();
    return status;
}

void CTWApplication::WriteDefaultPreferences()
{
    CPreferences& prefs = GetPreferences();
    WriteDefault(prefs, "ShowGrid", false);
    WriteDefault(prefs, "MapUnits", SInt32(1));
    WriteDefault(prefs, "MapCoordinates", SInt32(1));
    WriteDefault(prefs, "GlobalDocument", true);
    WriteDefault(prefs, "ResizeOnZoom", false);
    WriteDefault(prefs, "DeviceLog", false);
    WriteDefault(prefs, "DeviceReset", false);
}

OSStatus CTWApplication::InitialiseSelf()
{
    static EventTypeSpec const kGetURL[] = { { 'GURL', 'GURL' }, { 0, 0 } };
    OSStatus const status = CAppleEventHandler::InstallHandler(kGetURL);
    if (status != noErr)
        return status;
    CFileUtilities::SetNumMaxOpenFiles(kMaxOpenFiles);
    SetSplashStatus("SplashLoadingMaps", true);
    mMapManager.LoadMaps(); // a pack that cannot be read is logged and left out
    // A shared pack that not everyone can read is offered a repair, then the maps load again.
    if (std::vector<CFile> const unreadable = mMapManager.GetUnreadablePacks(); !unreadable.empty())
        if (CMapPackRepair::OfferRepairs(unreadable))
            mMapManager.LoadMaps();
    return noErr;
}

OSStatus CTWApplication::InitialiseFinish()
{
    SetSplashStatus("SplashSoftwareUpdate", true);
    OSStatus const status = CApplication::InitialiseFinish();
    if (status != noErr)
        return status;
    OpenDocument();
    ShowPalettes();
    OfferRecoveredDocuments();
    // Queued last, so that the launch events find the menu bar and the global document ready.
    QueueLaunchEvents(mArgc, mArgv);
    return noErr;
}

// The palettes open at the last quit reopen where they were.
void CTWApplication::ShowPalettes()
{
    if (GetPreferences().GetBoolean(CWindowInspector::kPrefVisible, false) && CWindowInspector::GetInstance()) {
        CWindowInspector::GetInstance()->GetWindow()->SetVisible(true);
        PlaceClearOfToolbar(CWindowInspector::GetInstance()->GetWindow());
    }
    if (GetPreferences().GetBoolean(CWindowNavigator::kPrefVisible, false) && CWindowNavigator::GetInstance()) {
        CWindowNavigator::GetInstance()->GetWindow()->SetVisible(true);
        PlaceClearOfToolbar(CWindowNavigator::GetInstance()->GetWindow());
    }
}

CFile CTWApplication::GetGlobalDocumentFile(bool create)
{
    CFile const folder = CFileUtilities::FindFolder(kUserDomain, kApplicationSupportFolderType, create, "Tarnwick");
    if (!folder.DirectoryExists())
        return CFile();
    CFile file = folder.GetChild(CTextUtilities::GetBundleString("DocGlobalDocument") + CString(".twk"));
    if (file.FileExists())
        CFileUtilities::ResolveAlias(file);
    return file;
}

// The global document is a file, not a window: a Save As of it makes an ordinary document,
// and opening the file again, from any menu, makes the global document again. Only the copy of
// the program that holds its lock saves it on its own.
UInt32 CTWApplication::GetSaveModeForFile(CFile const& file) const
{
    CFile const global = GetGlobalDocumentFile(false);
    bool const same = global.IsSpecified() && (file.IsSameFile(global) || file.GetPath() == global.GetPath());
    return same && mGlobalLock.IsHeld() ? CDocument::kSaveModeAlways : CDocument::kSaveModeAsk;
}

// When the global document cannot be had, the user hears why and works in an untitled
// document; whatever the file holds is left as it is.
void CTWApplication::ShowGlobalDocumentProblem(CString const& major, CString const& reason)
{
    CString minor = reason;
    if (minor.IsNotEmpty())
        minor += " ";
    minor += CTextUtilities::GetBundleString("DocGlobalUntitled");
    DoAlert(major, minor, 2 /* caution */, "•default•", CString(), CString());
}

OSStatus CTWApplication::OpenDocument()
{
    // Written at the first start; a value of another type counts as that default.
    if (!GetPreferences().GetBoolean("GlobalDocument", true))
        return CommandCreate(nullptr, nullptr);
    CString const name = CTextUtilities::GetBundleString("DocGlobalDocument");
    CString const headline = CFileErrorText::GetHeadline(CFileErrorText::kOpen, name);
    CFile const file = GetGlobalDocumentFile();
    if (!file.IsSpecified()) {
        ShowGlobalDocumentProblem(headline, CTextUtilities::GetBundleString("DocGlobalNoFolder"));
        return CommandCreate(nullptr, nullptr);
    }
    if (!mGlobalLock.Acquire(file)) {
        CString major;
        major.Format(CTextUtilities::GetBundleString("DocGlobalInUse").GetUTF8(), name.GetUTF8());
        ShowGlobalDocumentProblem(major, CTextUtilities::GetBundleString("DocGlobalInUseDetail"));
        return CommandCreate(nullptr, nullptr);
    }
    CDocument* document = nullptr;
    OSStatus status = noErr;
    if (file.Exists()) {
        status = CommandCreate(&file, &document);
        // A damaged file is reported and left as it is: nothing overwrites it.
        if (status != noErr) {
            ShowGlobalDocumentProblem(headline,
                CFileErrorText::GetReason(CFileErrorText::kOpen, file, status) + CString(" ")
                    + CTextUtilities::GetBundleString("DocGlobalKept"));
            mGlobalLock.Release();
            CommandCreate(nullptr, nullptr);
            return status;
        }
    } else {
        status = CommandCreate(nullptr, &document);
        if (status == noErr && document) {
            document->SetFile(file);
            CCarbonEvent save = CCarbonEvent::CreateWithHICommandID('save');
            document->DispatchEvent(save, nullptr);
            CFile written = file;
            written.SetExtensionVisible(false);
            document->SetFile(written);
            if (document->GetWindow())
                document->GetWindow()->SetTitle(document->GetWindowTitle());
        }
    }
    if (document)
        document->SetSaveMode(CDocument::kSaveModeAlways);
    return status;
}

OSStatus CTWApplication::DoAppleEventGetURL(AEDesc const& event)
{
    // Links of any length a reader takes; a fixed buffer would cut a long one to a wrong place.
    DescType type = 0;
    Size size = 0;
    if (AEGetParamPtr(&event, keyDirectObject, typeChar, &type, nullptr, 0, &size) != noErr || size <= 0)
        return noErr;
    if (size > Size(CParserURL::kMaxLinkLength)) {
        DoAlert("The link could not be followed.", "It is longer than any map link can be.", 2 /* caution */,
            CStandardAlert::kDefaultButtonText, CString(), CString());
        return paramErr;
    }
    std::string bytes(std::size_t(size), '\0');
    if (AEGetParamPtr(&event, keyDirectObject, typeChar, &type, bytes.data(), size, &size) != noErr)
        return noErr;
    bytes.resize(std::strlen(bytes.c_str())); // text ends at a NUL, as it did
    CString const link(bytes.c_str(), kCFStringEncodingUTF8);
    auto* document = dynamic_cast<CWindowDocument*>(GetCurrentDocument());
    if (!document) {
        CDocument* created = CreateDocument();
        document = dynamic_cast<CWindowDocument*>(created);
        if (!document) {
            delete created;
            return memFullErr;
        }
        if (OSStatus const status = document->Initialise(nullptr); status != noErr) {
            delete document;
            return status;
        }
    }
    document->GetWindow()->SetMinimised(false);
    if (CViewMap* map = document->GetMapView())
        map->SetMapURL(link);
    return noErr;
}

void CTWApplication::SetLaunchArguments(int argc, char** argv)
{
    mArgc = argv ? argc : 0;
    mArgv = argv;
}

void CTWApplication::QueueLaunchEvents(int argc, char** argv)
{
    AEDescList files {};
    AECreateList(nullptr, 0, false, &files);
    bool operands = false;
    for (int i = 1; i < argc; ++i) {
        if (!operands && IsOption(argv[i])) {
            operands = IsEndOfOptions(argv[i]);
            continue;
        }
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

CTWApplication::LaunchAction CTWApplication::ReadOptions(int argc, char** argv)
{
    for (int i = 1; i < argc && argv; ++i) {
        if (!argv[i] || !IsOption(argv[i]))
            continue;
        if (IsEndOfOptions(argv[i]))
            break;
        return std::strcmp(argv[i], "--help") == 0 ? LaunchAction::Help : LaunchAction::Refuse;
    }
    return LaunchAction::Run;
}

CString CTWApplication::GetUsage()
{
    CString usage = CTextUtilities::GetBundleString("Usage: tarnwick [--help] [--] [file or link]…");
    usage += "\n";
    return usage;
}

std::vector<std::string> CTWApplication::HandOverWords(int argc, char** argv)
{
    std::vector<std::string> words;
    bool operands = false;
    for (int i = 1; i < argc && argv; ++i) {
        if (!argv[i])
            continue;
        if (!operands && IsOption(argv[i])) {
            operands = IsEndOfOptions(argv[i]);
            continue;
        }
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

void CTWApplication::QueueHandedOver(std::vector<std::string> const& words)
{
    if (words.empty()) {
        AppleEvent reopen {};
        AECreateAppleEvent(
            kCoreEventClass, kAEReopenApplication, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &reopen);
        SendQueued(reopen);
        return;
    }
    // The words are files and links only, whatever they begin with.
    std::vector<char*> argv { const_cast<char*>("tarnwick"), const_cast<char*>("--") };
    for (std::string const& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    QueueLaunchEvents(static_cast<int>(argv.size()), argv.data());
}
