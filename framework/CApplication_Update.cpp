#include "foundation/CFileUtilities.h"
#include "foundation/StCFRef.h"
#include "framework/CApplication.h"
#include "framework/CInternetUtilities.h"
#include "framework/CSoftwareUpdate.h"

namespace {

void ShowNote(CApplication const& app, unsigned long major, unsigned long minor)
{
    CApplication::DoAlert(
        app.GetPropertyString(major), app.GetPropertyString(minor), 1 /* note */, "•default•", CString(), CString());
}

} // namespace

// A quiet check is due once a period after the last one. A negative period checks at
// every start; a last check in the future (the clock was set back) counts as due.
bool CApplication::IsUpdateCheckDue(CDateTime const& now)
{
    double const period = mPreferences.GetDate(kPrefSoftwareUpdatePeriod, CDateTime(86400.0)).GetTimeInSeconds();
    if (period == 0)
        return false; // never
    // Never checked: the first check comes one period after the first start. The last check
    // is only ever written by a check that worked ("Last checked" shows it).
    CString const& since = mPreferences.PrefExists(kPrefSoftwareUpdateLastCheck) ? kPrefSoftwareUpdateLastCheck
                                                                                   : kPrefFirstLaunchDate;
    if (!mPreferences.PrefExists(since)) {
        mPreferences.SetDate(since, now);
        mPreferences.Flush();
    }
    double const elapsed = (now - mPreferences.GetDate(since, now)).GetTimeInSeconds();
    return elapsed < 0 || elapsed >= period;
}

// True when the user chose to download the update and the browser was given its page.
bool CApplication::OfferUpdate(CSoftwareUpdate const& update, CString const& name, CString const& code)
{
    CString version;
    update.GetUpdateInfo(code, &version, nullptr);
    CString message;
    message.Format(GetPropertyString('sfua').GetUTF8(), name.GetUTF8(), version.GetUTF8());
    SInt16 const answer = DoAlert(message, GetPropertyString('sfui'), 1 /* note */, GetPropertyString('smin'),
        GetPropertyString('supl'), CString());
    return answer == 1 && update.DownloadUpdate(code);
}

OSStatus CApplication::CommandCheckForUpdate(bool showResults)
{
    // 1. The feed, and whether a quiet check is due.
    CString const feed = GetPropertyString('usxm');
    if (feed.IsEmpty())
        return noErr;
    CDateTime const now = CDateTime::GetTimeNow();
    if (!showResults && !IsUpdateCheckDue(now))
        return noErr;
    // 2. A server that cannot be reached is tried again next time; a feed beside the
    // application needs no server, and is read first.
    StCFRef<CFURLRef> url(CFURLCreateWithString(nullptr, feed.GetCFString(), nullptr));
    if (!url.IsValid())
        return memFullErr;
    StCFRef<CFStringRef> host(CFURLCopyHostName(url.Get()));
    bool const local = CFileUtilities::GetFileInAppFolder("version.xml").FileExists();
    if (!local && (!host.IsValid() || !CInternetUtilities::IsHostReachable(CString(host.Get(), false)))) {
        if (showResults)
            ShowNote(*this, 'snea', 'snei');
        return noErr;
    }
    // 3. The feed, asked for as this program and version.
    CString const name = CFileUtilities::GetBundleInfoPListKeyValue(nullptr, "CFBundleExecutable");
    CString const running = CFileUtilities::GetBundleInfoPListKeyValue(nullptr, "CFBundleVersion");
    CString const code = CFileUtilities::GetBundleInfoPListKeyValue(nullptr, "CFBundleSignature");
    CSoftwareUpdate update;
    update.SetUserAgent(CSoftwareUpdate::BuildUserAgent(name, running, nullptr));
    OSStatus const status = update.DownloadVersionInfo(feed);
    // 4. A failed download is tried again next time, asked for or not.
    if (status != noErr) {
        if (showResults)
            ShowNote(*this, 'snea', 'snei');
        return noErr;
    }
    if (update.IsUpdateAvailable(code, running)) {
        if (OfferUpdate(update, name, code))
            return kStatusDownloadingUpdate; // not checked yet: the next start checks again
    } else if (showResults) {
        ShowNote(*this, 'supa', 'supi');
    }
    // 5. Checked.
    mPreferences.SetDate(kPrefSoftwareUpdateLastCheck, now);
    mPreferences.Flush();
    return noErr;
}
