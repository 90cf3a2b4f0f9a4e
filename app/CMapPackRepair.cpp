#include "app/CMapPackRepair.h"

#include "foundation/CDebugLog.h"
#include "foundation/CTextUtilities.h"
#include "framework/CStandardAlert.h"
#include "framework/StSecurityAuthentication.h"

#include <string>

namespace {
constexpr char kFindTool[] = "/usr/bin/find";
constexpr char kChmodTool[] = "/bin/chmod";

CString FormatBundleString(char const* key, CString const& argument)
{
    CString text;
    text.Format(CTextUtilities::GetBundleString(key).GetUTF8(), argument.GetUTF8());
    return text;
}
} // namespace

OSStatus CMapPackRepair::Repair(CFile const& pack)
{
    StSecurityAuthentication guard(kFindTool);
    if (!guard.IsAuthorized())
        return errAuthorizationCanceled;
    // Plain files and folders only: a link in the pack must not carry the change elsewhere.
    std::string path = pack.GetPath();
    std::string chmod = kChmodTool;
    std::vector<std::string> words { path, "(", "-type", "f", "-o", "-type", "d", ")", "-exec", chmod, "a+rX", "{}",
        "+" };
    std::vector<char*> arguments;
    for (std::string& word : words)
        arguments.push_back(word.data());
    arguments.push_back(nullptr);
    OSStatus const status = guard.GetNetwork()->AuthorizationExecuteWithPrivileges(
        guard.GetToolPath(), kAuthorizationFlagDefaults, arguments.data(), nullptr);
    guard.CleanUp();
    return status;
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
