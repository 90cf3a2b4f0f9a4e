#pragma once

// A synchronous HTTP client on libcurl. GetURL runs the transfer on a thread
// of its own and meanwhile runs the current event loop in 0.2 s slices, so
// timers and events go on while it waits. Redirects are followed (at most 5;
// a link asked for with https is never followed to plain http), only http and
// https are spoken, and proxies come from the environment
// (http_proxy, https_proxy, no_proxy). Broadcasts "htst" with the HTTP status
// and "htcm" with the body. Main thread; deleted by its owner, never while
// its GetURL runs.

#include "foundation/CMemBuffer.h"
#include "foundation/CMsgBroadcaster.h"
#include "foundation/CString.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

inline constexpr char kHTTPHeaderUserAgent[] = "User-Agent";

class CClientHTTP : public CMsgBroadcaster {
public:
    static constexpr UInt32 kMsgHTTPStatus = 'htst'; // parameter: SInt32* HTTP status (0 when none came)
    static constexpr UInt32 kMsgHTTPComplete = 'htcm'; // parameter: CMemBuffer* body, after a success

    enum : UInt32 {
        kHTTPImplementationDefault = 0, // the only one
    };
    enum : UInt32 {
        kHTTPHeaderReplace = 0, // replaces any value of that name
        kHTTPHeaderKeep = 1, // leaves a value already set
    };
    static constexpr OSStatus kHTTPStatusErr = -3300; // the server answered with a status other than 2xx
    static constexpr OSStatus kHTTPTimeoutErr = -3301; // no complete answer within the timeout
    static constexpr OSStatus kHTTPConnectErr = -3302; // the host could not be resolved or reached

    static constexpr double kPumpSlice = 0.2; // [s]
    static constexpr UInt32 kMaxBodySize = UInt32(64) << 20; // [bytes] unless the caller sets less

    // Null when the HTTP library cannot be set up. A timeout that is not positive means 60 s.
    static CClientHTTP* Create(CString const& userAgent, double timeout, UInt32 implementation);
    ~CClientHTTP() override = default;

    void SetHeader(CString const& name, CString const& value, UInt32 mode);
    // The largest body the caller takes (at most kMaxBodySize): reading stops there.
    void SetMaxBodySize(UInt32 bytes) { mMaxBodySize = std::min(bytes, kMaxBodySize); }
    // GET into the buffer, which changes only on success. paramErr for a malformed link or
    // another scheme, memFullErr for a body beyond the largest size, kHTTPStatusErr for a
    // redirect from https to plain http.
    virtual OSStatus GetURL(CString const& url, CMemBuffer& buffer);
    SInt32 GetStatusCode() const { return mStatusCode; } // of the last GetURL; 0 when none

protected:
    CClientHTTP(CString const& userAgent, double timeout);

    std::string mCertificates; // a PEM file of the only authorities trusted; empty: the system's

private:
    std::vector<std::pair<std::string, std::string>> mHeaders;
    double mTimeout; // [s]
    UInt32 mMaxBodySize = kMaxBodySize; // [bytes]
    SInt32 mStatusCode = 0;
};
