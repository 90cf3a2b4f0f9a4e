#include "app/CMapPackRepair.h"

#include "corefoundation/CFBundle.h"
#include "foundation/CDebugLog.h"
#include "foundation/CTextUtilities.h"
#include "framework/CStandardAlert.h"
#include "framework/StSecurityAuthentication.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
constexpr char kRepairTool[] = "tarnwick-repair-pack"; // beside the application's executable
constexpr char kRepairDone[] = "repaired";

CString FormatBundleString(char const* key, CString const& argument)
{
    CString text;
    text.Format(CTextUtilities::GetBundleString(key).GetUTF8(), argument.GetUTF8());
    return text;
}
} // namespace

std::string CMapPackRepair::GetToolPath()
{
    CFBundleRef const bundle = CFBundleGetMainBundle();
    CFURLRef const url = bundle ? CFBundleCopyBundleURL(bundle) : nullptr;
    char path[PATH_MAX];
    bool const found = url && CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path);
    if (url)
        CFRelease(url);
    return found ? std::string(path) + "/Contents/MacOS/" + kRepairTool : std::string();
}

OSStatus CMapPackRepair::Repair(CFile const& pack)
{
    // The helper walks the pack as administrator without following links: a name that is
    // checked and then changed by another program (find, then chmod) could be swapped for a
    // link in between by anyone who can write in the pack.
    std::string const tool = GetToolPath();
    if (tool.empty() || access(tool.c_str(), X_OK) != 0) {
        CDebugLog::GetDebugLog()->Log(
            CDebugLog::kPriorityWarning, "MapData", "The repair helper %s is missing", tool.c_str());
        return fnfErr;
    }
    StSecurityAuthentication guard(tool.c_str());
    if (!guard.IsAuthorized())
        return errAuthorizationCanceled;
    std::string path = pack.GetPath();
    char* arguments[] = { path.data(), nullptr };
    std::FILE* output = nullptr;
    OSStatus status = guard.GetNetwork()->AuthorizationExecuteWithPrivileges(
        guard.GetToolPath(), kAuthorizationFlagDefaults, arguments, &output);
    guard.CleanUp();
    if (status != noErr)
        return status;
    // Only the helper's word that every entry was changed counts as a repair.
    char line[64] = {};
    bool const done = output && std::fgets(line, sizeof line, output)
        && std::strncmp(line, kRepairDone, sizeof kRepairDone - 1) == 0;
    if (output)
        std::fclose(output);
    return done ? OSStatus(noErr) : OSStatus(ioErr);
}

bool CMapPackRepair::OfferRepairs(std::vector<CFile> const& packs)
{
    bool repaired = false;
    for (CFile const& pack : packs) {
        CStandardAlert ask;
        ask.SetType(kAlertCautionAlert);
        ask.SetTextMajor(FormatBundleString("MapPackUnreadable", pack.GetFileName()));
        ask.SetTextMinor(FormatBundleString("MapPackUnreadableInfo", pack.GetParent().GetFullPath()));
        ask.SetTextDefault(CTextUtilities::GetBundleString("MapPackRepair"));
        ask.SetTextCancel(CStandardAlert::kDefaultButtonText);
        if (ask.DoDialog() != kAlertStdAlertOKButton)
            continue;
        OSStatus const status = Repair(pack);
        if (status == noErr) {
            repaired = true;
        } else if (status != errAuthorizationCanceled) {
            CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, "MapData", "Repairing %s failed (%d)",
                pack.GetPath().c_str(), int(status));
            CStandardAlert failed;
            failed.SetType(kAlertStopAlert);
            failed.SetTextMajor(FormatBundleString("MapPackRepairFailed", pack.GetFileName()));
            failed.SetTextDefault(CStandardAlert::kDefaultButtonText);
            failed.DoDialog();
        }
    }
    return repaired;
}
