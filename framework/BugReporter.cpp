#include "framework/BugReporter.h"

#include "foundation/CDebugLog.h"
#include "foundation/CFArray.h"
#include "foundation/CFDictionary.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CPreferences.h"
#include "foundation/StCFRef.h"
#include "framework/BugReporterSignals.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr char kFolderName[] = "com.pellmar.bugreporter."; // and the user's id: a folder per user
constexpr char kClientPrefix[] = "client_";
constexpr char kArchiveName[] = "BugReporter.app.tar.gz";
constexpr char kClientName[] = "Client.plist";
constexpr char kReportName[] = "Crash Report.txt";
constexpr char kReporterProgram[] = "BugReporter.app/Contents/MacOS/BugReporter";
constexpr char kExecutablePathWord[] = "@executable_path";

std::string gFolder; // the installed reporter's folder; empty when none

std::string FindProgram(char const* name)
{
    char const* path = std::getenv("PATH");
    std::string const folders = path ? path : "/bin:/usr/bin"; // the search path when none is set
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t const end = std::min(folders.find(':', start), folders.size());
        fs::path const candidate = fs::path(folders.substr(start, end - start)) / name;
        if (candidate.is_absolute() && access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
        start = end + 1;
    }
    return {};
}

// The dictionary of the text, its keys completed and checked: 30 or 40 on failure.
OSStatus ReadConfiguration(CString const& text, CFDictionary& config)
{
    std::string const bytes = text.GetUTF8();
    StCFRef<CFDataRef> data(CFDataCreate(nullptr, reinterpret_cast<UInt8 const*>(bytes.data()), CFIndex(bytes.size())));
    StCFRef<CFPropertyListRef> list(
        CFPropertyListCreateFromXMLData(nullptr, data.Get(), kCFPropertyListImmutable, nullptr));
    if (!list.IsValid() || CFGetTypeID(list.Get()) != CFDictionaryGetTypeID())
        return kBugReporterNoConfiguration;
    config = CFDictionary(static_cast<CFDictionaryRef>(list.Get()));
    CString const executable = config.GetValueString("BRBundleExecutable");
    if (executable.IsNotEmpty()) {
        config.SetValueString("BRProductName", executable);
        config.RemoveValue("BRBundleExecutable");
    }
    for (char const* key : { "BRInfoMajor", "BRInfoMinor", "BRProblemDescription" }) {
        CString value = config.GetValueString(key);
        value.ReplaceAll("BR_APP_NAME", "BR_PRODUCT_NAME");
        if (value.IsNotEmpty())
            config.SetValueString(key, value);
    }
    for (char const* key : { "BRBundleIdentifier", "BRProductName", "BRBundleVersion" })
        if (config.GetValueString(key).IsEmpty())
            return kBugReporterMissingKey;
    if (config.GetValueString("BRSubmitEmail").IsEmpty() && config.GetValueString("BRSubmitWeb").IsEmpty())
        return kBugReporterMissingKey;
    CFArray const info = config.GetValueArray("BRReportInfo");
    for (UInt32 i = 0; i < info.GetCount(); ++i)
        if (info.GetValueString(i) == CString("BRReportCrashLog"))
            return noErr;
    return kBugReporterMissingKey;
}

// The crash log's name and the folder of the executable: the bundle's, or the plain file's.
bool FindExecutable(CString& name, std::string& folder)
{
    std::error_code ec;
    fs::path const executable = fs::read_symlink("/proc/self/exe", ec);
    folder = executable.parent_path().string();
    CFile const bundle = CFileUtilities::GetApplicationFile();
    if (bundle.IsSpecified() && bundle.DirectoryExists())
        name = CFileUtilities::GetBundleInfoPListKeyValue(nullptr, "CFBundleExecutable");
    else
        name = CString(executable.filename().c_str(), kCFStringEncodingUTF8);
    return !ec && name.IsNotEmpty();
}

// A folder of ours: made private, or found as a real folder that this user owns (made private).
bool MakePrivateFolder(fs::path const& folder)
{
    if (mkdir(folder.c_str(), 0700) == 0)
        return true;
    struct stat info;
    if (errno != EEXIST || lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return false;
    return (info.st_mode & 07777) == 0700 || chmod(folder.c_str(), 0700) == 0;
}

// Folders of clients whose process is gone (killed, or ended by a crash the reporter never
// finished) are cleared; one whose process still runs is its own.
void RemoveLeftovers(fs::path const& folder)
{
    std::error_code ec;
    for (auto const& entry : fs::directory_iterator(folder, ec)) {
        std::string const name = entry.path().filename().string();
        if (name.rfind(kClientPrefix, 0) != 0)
            continue;
        char* end = nullptr;
        long const pid = std::strtol(name.c_str() + sizeof kClientPrefix - 1, &end, 10);
        if (pid <= 0 || *end != '_' || pid == getpid() || kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        std::error_code removed;
        fs::remove_all(entry.path(), removed);
    }
}

// A failed installation leaves nothing: the client folder goes, and the shared one above it
// when this left it empty (another process's client keeps it).
void RemoveFolder(std::string const& folder)
{
    std::error_code ec;
    fs::remove_all(folder, ec);
    rmdir(fs::path(folder).parent_path().c_str());
}

// 2. The folder, the packed reporter and its configuration.
OSStatus WriteFolder(std::string const& folder, CFDataRef xml)
{
    fs::path const client(folder);
    if (!MakePrivateFolder(client.parent_path()))
        return kBugReporterCannotWrite;
    if (!MakePrivateFolder(client)) {
        rmdir(client.parent_path().c_str());
        return kBugReporterCannotWrite;
    }
    CFile const archive(CString((client / kArchiveName).c_str(), kCFStringEncodingUTF8));
    CFile const plist(CString((client / kClientName).c_str(), kCFStringEncodingUTF8));
    if (CFileUtilities::WriteData(archive, gBugReporter, std::size_t(gBugReporterEnd - gBugReporter)) != noErr
        || CFileUtilities::WriteData(plist, CFDataGetBytePtr(xml), std::size_t(CFDataGetLength(xml))) != noErr)
        return kBugReporterCannotWrite;
    return noErr;
}

// Resources named by the configuration go with the reporter; the reporter adds them to its own.
void CopyCustomResources(CString const& resources, std::string const& executableFolder, std::string const& folder)
{
    if (resources.IsEmpty())
        return;
    CString path = resources;
    path.ReplaceAll(kExecutablePathWord, CString(executableFolder.c_str(), kCFStringEncodingUTF8));
    std::error_code ec;
    fs::copy(path.GetUTF8(), fs::path(folder) / "Resources", fs::copy_options::recursive, ec);
}

} // namespace

OSStatus IsBugReporterAvailable()
{
    return CPreferences().GetBoolean("BRDisable", false) ? OSStatus(kBugReporterUnavailable) : OSStatus(noErr);
}

OSStatus EnableBugReporter(CString const& configuration)
{
    // 1. A configuration, a reporter that may run and a tar to unpack it with.
    if (configuration.IsEmpty())
        return kBugReporterNoConfiguration;
    if (OSStatus const status = IsBugReporterAvailable())
        return status;
    DisableBugReporter();
    std::string const tar = FindProgram("tar");
    if (tar.empty())
        return kBugReporterUnavailable;
    CFDictionary config;
    if (OSStatus const status = ReadConfiguration(configuration, config))
        return status;
    CString crashLogName;
    std::string executableFolder;
    bool const found = FindExecutable(crashLogName, executableFolder);
    if (config.GetValueString("BRCrashLogName").IsEmpty()) {
        if (!found)
            return kBugReporterUnavailable;
        config.SetValueString("BRCrashLogName", crashLogName);
    }
    StCFRef<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, config.GetCFDictionary()));
    if (!xml.IsValid())
        return kBugReporterCannotEncode;

    // 2. The folder, named after this process and the time, with the reporter and its configuration.
    CFile const temporary = CFileUtilities::FindFolder(kUserDomain, kChewableItemsFolderType, true, CString());
    if (!temporary.IsSpecified())
        return kBugReporterCannotWrite;
    std::string const own = temporary.GetPath() + "/" + kFolderName + std::to_string(getuid());
    std::string const folder
        = own + "/" + kClientPrefix + std::to_string(getpid()) + "_" + std::to_string(std::time(nullptr));
    if (OSStatus const status = WriteFolder(folder, xml.Get())) {
        RemoveFolder(folder);
        return status;
    }
    RemoveLeftovers(own);
    CopyCustomResources(config.GetValueString("BRCustomResourcesPath"), executableFolder, folder);

    // 3. What the handler will do, fixed now.
    CrashPlan plan { folder, tar, folder + "/" + kArchiveName, folder + "/" + kReportName,
        folder + "/" + kReporterProgram, CDebugLog::GetDebugLog()->GetLogFile().GetPath(),
        config.GetValueString("BRProductName").GetUTF8(), config.GetValueString("BRBundleVersion").GetUTF8() };
    if (!InstallCrashHandler(plan)) {
        RemoveFolder(folder);
        return kBugReporterCannotWrite; // a path too long for the handler's storage
    }
    gFolder = folder;
    return kBugReporterInstalled;
}

void DisableBugReporter()
{
    RemoveCrashHandler();
    if (gFolder.empty())
        return;
    RemoveFolder(gFolder);
    gFolder.clear();
}

CString GetBugReporterFolder() { return CString(gFolder.c_str(), kCFStringEncodingUTF8); }
