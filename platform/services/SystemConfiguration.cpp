#include "services/SystemConfiguration.h"

#include <netdb.h>
#include <sys/socket.h>

Boolean SCNetworkCheckReachabilityByName(char const* nodename, SCNetworkConnectionFlags* flags)
{
    if (!nodename || !nodename[0] || !flags)
        return false;
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int const result = getaddrinfo(nodename, nullptr, &hints, &found);
    if (found)
        freeaddrinfo(found);
    // A name that does not resolve is a host that cannot be reached now; the check itself succeeded.
    *flags = result == 0 ? SCNetworkConnectionFlags(kSCNetworkFlagsReachable) : SCNetworkConnectionFlags(0);
    return true;
}
