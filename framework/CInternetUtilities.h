#pragma once

// Opening links in the user's browser and asking whether a host can be reached.

#include "foundation/CString.h"
#include "services/InternetConfig.h"

class CInternetUtilities {
public:
    // Started once with the application's signature and kept for the process; null
    // when starting failed, in which case the next call tries again.
    static ICInstance GetICInstance();
    // paramErr for an empty link, memFullErr without an instance.
    static OSStatus LaunchURL(CString const& url);
    // False whenever the item "ForceNoNetwork" exists, so the program can be tried offline.
    static bool IsHostReachable(CString const& host);

private:
    static ICInstance sInstance; // kept for the life of the process
};
