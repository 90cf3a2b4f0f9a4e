#include "framework/CInternetUtilities.h"

#include "foundation/CFile.h"
#include "foundation/CSystemUtilities.h"
#include "foundation/CTextUtilities.h"
#include "services/Processes.h"
#include "services/SystemConfiguration.h"

#include <cstring>

ICInstance CInternetUtilities::sInstance = nullptr;

namespace {

OSType ApplicationSignature()
{
    ProcessSerialNumber psn;
    ProcessInfoRec info {};
    info.processInfoLength = sizeof info;
    if (GetCurrentProcess(&psn) != noErr || GetProcessInformation(&psn, &info) != noErr)
        return 0;
    return info.processSignature;
}

} // namespace

ICInstance CInternetUtilities::GetICInstance()
{
    if (!sInstance) {
        ICInstance instance = nullptr;
        if (ICStart(&instance, ApplicationSignature()) == noErr)
            sInstance = instance;
    }
    return sInstance;
}

OSStatus CInternetUtilities::LaunchURL(CString const& url)
{
    // Checked first: an empty link needs no Internet Config.
    if (url.IsEmpty())
        return paramErr;
    ICInstance const instance = GetICInstance();
    if (!instance)
        return memFullErr;
    char const* const bytes = url.GetNarrow(CTextUtilities::GetDefaultTextEncoding());
    SInt32 const length = SInt32(std::strlen(bytes));
    SInt32 start = 0, end = length;
    unsigned char const hint[1] = { 0 };
    return ICLaunchURL(instance, hint, bytes, length, &start, &end);
}

bool CInternetUtilities::IsHostReachable(CString const& host)
{
    if (CFile(CString("ForceNoNetwork"), kCFURLHFSPathStyle).Exists())
        return false;
    if (!CSystemUtilities::IsRunningOnX())
        return false;
    // The platform offers the reachability call itself, so no framework lookup is needed.
    SCNetworkConnectionFlags flags = 0;
    if (!SCNetworkCheckReachabilityByName(host.GetNarrow(CTextUtilities::GetDefaultTextEncoding()), &flags))
        return false;
    return (flags & kSCNetworkFlagsReachable) && !(flags & kSCNetworkFlagsConnectionRequired);
}
