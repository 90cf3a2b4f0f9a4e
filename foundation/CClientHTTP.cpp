#include "foundation/CClientHTTP.h"
#include "services/ThreadSignalStack.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <strings.h>
#include <thread>

namespace {

constexpr double kDefaultTimeout = 60; // [s]
constexpr long kMaxRedirects = 5;

// What the transfer thread and the waiting main thread share.
struct Transfer {
    CURL* curl = nullptr; // owns
    curl_slist* headers = nullptr; // owns
    CMemBuffer body;
    UInt32 maxBodySize = CClientHTTP::kMaxBodySize; // [bytes]
    bool overflow = false;
    CURLcode result = CURLE_OK;
    long status = 0;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;

    ~Transfer()
    {
        curl_slist_free_all(headers);
        if (curl)
            curl_easy_cleanup(curl);
    }
};

size_t WriteBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    size_t length = size * count;
    if (UInt64(transfer->body.GetBufferSize()) + length > transfer->maxBodySize
        || !transfer->body.AppendData(data, UInt32(length))) {
        transfer->overflow = true;
        return 0; // ends the transfer
    }
    return length;
}

bool IsSecureLink(std::string const& url) { return strncasecmp(url.c_str(), "https://", 8) == 0; }

bool IsWebLink(std::string const& url) { return strncasecmp(url.c_str(), "http://", 7) == 0 || IsSecureLink(url); }

OSStatus StatusOf(Transfer const& transfer)
{
    if (transfer.overflow)
        return memFullErr;
    switch (transfer.result) {
    case CURLE_FILESIZE_EXCEEDED: // the announced length is beyond the largest size
        return memFullErr;
    case CURLE_OK:
        return transfer.status >= 200 && transfer.status < 300 ? OSStatus(noErr)
                                                               : OSStatus(CClientHTTP::kHTTPStatusErr);
    case CURLE_OPERATION_TIMEDOUT:
        return CClientHTTP::kHTTPTimeoutErr;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return CClientHTTP::kHTTPConnectErr;
    case CURLE_UNSUPPORTED_PROTOCOL: // a redirect to a scheme refused
        return transfer.status >= 300 && transfer.status < 400 ? OSStatus(CClientHTTP::kHTTPStatusErr)
                                                               : OSStatus(paramErr);
    case CURLE_URL_MALFORMAT:
        return paramErr;
    default:
        return ioErr;
    }
}

void Configure(Transfer& transfer, std::string const& url, double timeout, std::string const& certificates)
{
    CURL* curl = transfer.curl;
    long milliseconds = long(timeout * 1000);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // A link asked for with https stays private: no redirect hands it to plain http.
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, IsSecureLink(url) ? "https" : "http,https");
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(transfer.maxBodySize));
    if (!certificates.empty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, certificates.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, milliseconds);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, milliseconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L); // timeouts without SIGALRM: we are one thread of many
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, transfer.headers);
}

// Runs the event loop until the transfer ends; each slice lasts 0.2 s of real time,
// also when the loop returns early (a manual clock, a quit).
void PumpUntilDone(Transfer& transfer)
{
    using Clock = std::chrono::steady_clock;
    for (;;) {
        auto sliceEnd = Clock::now() + std::chrono::duration<double>(CClientHTTP::kPumpSlice);
        {
            std::lock_guard lock(transfer.mutex);
            if (transfer.done)
                return;
        }
        RunCurrentEventLoop(CClientHTTP::kPumpSlice);
        std::unique_lock lock(transfer.mutex);
        if (transfer.finished.wait_until(lock, sliceEnd, [&] { return transfer.done; }))
            return;
    }
}

} // namespace

CClientHTTP* CClientHTTP::Create(CString const& userAgent, double timeout, UInt32)
{
    static CURLcode const sInitialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (sInitialised != CURLE_OK)
        return nullptr;
    return new CClientHTTP(userAgent, timeout);
}

CClientHTTP::CClientHTTP(CString const& userAgent, double timeout)
    : mTimeout(std::isfinite(timeout) && timeout > 0 ? timeout : kDefaultTimeout)
{
    if (userAgent.IsNotEmpty())
        SetHeader(kHTTPHeaderUserAgent, userAgent, kHTTPHeaderReplace);
}

void CClientHTTP::SetHeader(CString const& name, CString const& value, UInt32 mode)
{
    std::string key = name.GetUTF8();
    // Line breaks in a header would let a value smuggle in headers of its own.
    std::string text = value.GetUTF8();
    if (key.empty() || key.find_first_of(":\r\n") != std::string::npos
        || text.find_first_of("\r\n") != std::string::npos)
        return;
    for (auto& header : mHeaders) {
        if (strcasecmp(header.first.c_str(), key.c_str()) == 0) {
            if (mode == kHTTPHeaderReplace)
                header.second = text;
            return;
        }
    }
    mHeaders.emplace_back(key, text);
}

OSStatus CClientHTTP::GetURL(CString const& url, CMemBuffer& buffer)
{
    mStatusCode = 0;
    std::string link = url.GetUTF8();
    if (!IsWebLink(link))
        return paramErr;
    auto transfer = std::make_shared<Transfer>();
    transfer->curl = curl_easy_init();
    if (!transfer->curl)
        return memFullErr;
    for (auto const& [name, value] : mHeaders) {
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        transfer->headers = curl_slist_append(transfer->headers, line.c_str());
    }
    transfer->maxBodySize = mMaxBodySize;
    Configure(*transfer, link, mTimeout, mCertificates);
    std::thread worker([transfer] {
        tw::services::ThreadSignalStack const signalStack;
        CURLcode result = curl_easy_perform(transfer->curl);
        long status = 0;
        curl_easy_getinfo(transfer->curl, CURLINFO_RESPONSE_CODE, &status);
        std::lock_guard lock(transfer->mutex);
        transfer->result = result;
        transfer->status = status;
        transfer->done = true;
        transfer->finished.notify_all();
    });
    PumpUntilDone(*transfer);
    worker.join();
    mStatusCode = SInt32(transfer->status);
    OSStatus status = StatusOf(*transfer);
    BroadcastMessage(kMsgHTTPStatus, &mStatusCode);
    if (status == noErr) {
        buffer = std::move(transfer->body);
        BroadcastMessage(kMsgHTTPComplete, &buffer);
    }
    return status;
}
