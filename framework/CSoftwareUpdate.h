#pragma once

// The version feed: fetched over HTTP (or read from a "version.xml" beside the
// application), parsed, and asked which version of a product is the latest and
// where it is downloaded. The feed is a "pellmar" element holding one element
// per product, with a "code" attribute and "version" and "download" children.
// Main thread; the fetch runs the event loop while it waits.

#include "foundation/CFile.h"
#include "foundation/CString.h"

#include <vector>

class CDisplayRef;

struct SUProduct {
    CString code; // the product's four-character creator code as text
    CString version;
    CString download; // the download page
};

class CSoftwareUpdate {
public:
    static constexpr double kTimeout = 5; // [s] for the whole fetch
    // A feed is a few lines; anything this large is no feed of ours.
    static constexpr std::size_t kMaxFeedSize = 1 << 20; // [bytes]

    CSoftwareUpdate() = default;
    virtual ~CSoftwareUpdate() = default;

    // "Name/version (system; processor; memory)", and with a display also its video
    // memory and renderer.
    static CString BuildUserAgent(CString const& name, CString const& version, CDisplayRef const* display);
    // The user agent's numbers: up to 999 MHz as such, above in GHz; up to 1023 MB as
    // such, above in GB; GHz and GB with at most three decimals and at least one.
    static CString FormatProcessorSpeed(UInt32 megahertz);
    static CString FormatMemory(UInt64 bytes);
    // Megabytes, at most 4095.
    static CString FormatVideoMemory(long bytes);
    // The renderer's name without the makers' words, at most 31 characters.
    static CString ShortenRenderer(CString const& renderer);

    void SetUserAgent(CString const& userAgent) { mUserAgent = userAgent; }
    OSStatus DownloadVersionInfo(CString const& url);
    OSStatus GetVersionInfo(CString const& url);
    OSStatus GetVersionInfo(CFile& file);
    // kNothingParseableErr for malformed or hostile text and for a document without the
    // feed's root element; the products change only on success.
    OSStatus ParseXML(std::size_t size, void const* bytes);

    std::vector<SUProduct> const& GetProducts() const { return mProducts; }
    bool FindProduct(CString const& code, SUProduct& product) const;
    CString GetProductVersion(CString const& code) const;
    bool GetUpdateInfo(CString const& code, CString* version, CString* download) const;
    bool IsUpdateAvailable(CString const& code, CString const& runningVersion) const;
    // Opens the product's download page in the browser; only web links are opened.
    bool DownloadUpdate(CString const& code) const;

private:
    std::vector<SUProduct> mProducts;
    CString mUserAgent;
};
