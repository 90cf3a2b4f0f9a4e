#pragma once

// Network reachability by host name: a host counts as reachable when its name
// resolves to an address; nothing is sent to it.

#include "corefoundation/MacTypes.h"

using SCNetworkConnectionFlags = UInt32;
enum : SCNetworkConnectionFlags {
    kSCNetworkFlagsTransientConnection = 1 << 0,
    kSCNetworkFlagsReachable = 1 << 1,
    kSCNetworkFlagsConnectionRequired = 1 << 2,
};

// False (flags untouched) for a null or empty name or null flags.
Boolean SCNetworkCheckReachabilityByName(char const* nodename, SCNetworkConnectionFlags* flags);
