#include "framework/CSoftwareUpdate.h"

#include "foundation/CCFXMLTree.h"
#include "foundation/CClientHTTP.h"
#include "foundation/CFileMap.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CProcessUtilities.h"
#include "foundation/CSystemUtilities.h"
#include "foundation/Status.h"
#include "framework/CCursor.h"
#include "framework/CDisplayManager.h"
#include "framework/CInternetUtilities.h"
#include "framework/COpenGLUtilities.h"
#include "framework/CVersionInfo.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <strings.h>

namespace {

constexpr std::size_t kMaxRendererLength = 31;

// "%.3f" with the trailing zeros dropped, keeping one after the point.
CString FormatThousandths(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string trimmed(text);
    while (!trimmed.empty() && trimmed.back() == '0')
        trimmed.pop_back();
    if (!trimmed.empty() && trimmed.back() == '.')
        trimmed.push_back('0');
    return CString(trimmed.c_str(), kCFStringEncodingUTF8);
}

CString ChildText(CCFXMLTree const& element, char const* name)
{
    CString text = element.GetChildElement(name).GetElementEnclosedText();
    // Feeds written by hand put the values on lines of their own.
    std::string bytes = text.GetUTF8();
    std::size_t const first = bytes.find_first_not_of(" \t\r\n");
    std::size_t const last = bytes.find_last_not_of(" \t\r\n");
    if (first == std::string::npos)
        return CString();
    bytes = bytes.substr(first, last - first + 1);
    return CString(bytes.c_str(), kCFStringEncodingUTF8);
}

OSStatus ParseProducts(CCFXMLTree const& element, UInt32, void* data)
{
    SUProduct product;
    if (!element.GetElementAttribute("code", product.code) || product.code.IsEmpty())
        return noErr; // a product without a code is no product
    product.version = ChildText(element, "version");
    product.download = ChildText(element, "download");
    static_cast<std::vector<SUProduct>*>(data)->push_back(product);
    return noErr;
}

} // namespace

CString CSoftwareUpdate::FormatProcessorSpeed(UInt32 megahertz)
{
    CString text;
    if (megahertz <= 999)
        text.Format("%d", int(megahertz));
    else
        text = FormatThousandths(megahertz * 0.001);
    return text;
}

CString CSoftwareUpdate::FormatMemory(UInt64 bytes)
{
    UInt64 const megabytes = bytes >> 20;
    CString text;
    if (megabytes <= 1023)
        text.Format("%d", int(megabytes));
    else
        text = FormatThousandths(double(megabytes) / 1024);
    return text;
}

// Held to the largest number the field had room for: cards of 4 GB and more would
// otherwise wrap round to small numbers.
CString CSoftwareUpdate::FormatVideoMemory(long bytes)
{
    CString text;
    text.Format("%d", int(std::clamp<long>(bytes >> 20, 0, 0xFFF)));
    return text;
}

CString CSoftwareUpdate::ShortenRenderer(CString const& renderer)
{
    CString text = renderer;
    for (char const* word : { "ATI ", "NVIDIA ", " OpenGL Engine" })
        text.ReplaceAll(word, "");
    return text.GetLength() > kMaxRendererLength ? text.Left(kMaxRendererLength) : text;
}

// The system is named as it is (such as "Linux 6.1.0"): the program runs on no other.
CString CSoftwareUpdate::BuildUserAgent(CString const& name, CString const& version, CDisplayRef const* display)
{
    CString system;
    CSystemUtilities::GetSystemVersion(system);
    CString slashVersion;
    if (version.IsNotEmpty())
        slashVersion.Format("/%s", version.GetUTF8());
    CString displayFacts;
    if (display) {
        CDisplayRef facts(*display);
        CString const videoMemory = FormatVideoMemory(CDisplayManager::GetTotalVRAM(facts));
        CString const renderer = ShortenRenderer(COpenGLUtilities::GetGraphicsCardRenderer(facts));
        displayFacts.Format("; %s; %s", videoMemory.GetUTF8(), renderer.GetUTF8());
    }
    CString agent;
    agent.Format("%s%s (%s; %s; %s%s)", name.GetUTF8(), slashVersion.GetUTF8(), system.GetUTF8(),
        FormatProcessorSpeed(CSystemUtilities::GetCPUSpeed()).GetUTF8(),
        FormatMemory(CSystemUtilities::GetPhysicalMemory()).GetUTF8(), displayFacts.GetUTF8());
    return agent;
}

OSStatus CSoftwareUpdate::DownloadVersionInfo(CString const& url)
{
    CFile local = CFileUtilities::GetFileInAppFolder("version.xml");
    if (local.FileExists())
        return GetVersionInfo(local);
    return GetVersionInfo(url);
}

OSStatus CSoftwareUpdate::GetVersionInfo(CString const& url)
{
    std::unique_ptr<CClientHTTP> client(
        CClientHTTP::Create(CString(), kTimeout, CClientHTTP::kHTTPImplementationDefault));
    if (!client)
        return memFullErr;
    if (mUserAgent.IsEmpty())
        mUserAgent
            = BuildUserAgent(CProcessUtilities::GetProcessName(), CProcessUtilities::GetProcessVersion(), nullptr);
    client->SetHeader(kHTTPHeaderUserAgent, mUserAgent, CClientHTTP::kHTTPHeaderReplace);
    client->SetMaxBodySize(kMaxFeedSize);
    CCursor cursor;
    cursor.SetCursor(kThemeWatchCursor);
    CMemBuffer body;
    OSStatus status = client->GetURL(url, body);
    if (status == noErr)
        status = ParseXML(body.GetBufferSize(), body.GetBufferData());
    cursor.SetCursor(kThemeArrowCursor);
    return status;
}

OSStatus CSoftwareUpdate::GetVersionInfo(CFile& file)
{
    CFileMap map;
    TW_RETURN_IF_ERROR(map.Open(file, CFileMap::kMapRead));
    if (map.GetFileSize() > kMaxFeedSize)
        return memFullErr;
    void const* bytes = map.Map(0, 0, CFileMap::kMapRead);
    if (!bytes)
        return memFullErr;
    return ParseXML(std::size_t(map.GetMappedSize()), bytes);
}

OSStatus CSoftwareUpdate::ParseXML(std::size_t size, void const* bytes)
{
    if (size > kMaxFeedSize)
        return memFullErr;
    CCFXMLTree tree;
    TW_RETURN_IF_ERROR(tree.ParseTree(bytes, size));
    // Another document (an error page, a login page) is no feed, not a feed without products.
    CCFXMLTree const root = tree.GetChildElement("pellmar");
    if (root.IsEmpty())
        return kNothingParseableErr;
    std::vector<SUProduct> products;
    TW_RETURN_IF_ERROR(root.ProcessTree(ParseProducts, false, &products));
    mProducts = std::move(products);
    return noErr;
}

bool CSoftwareUpdate::FindProduct(CString const& code, SUProduct& product) const
{
    for (SUProduct const& candidate : mProducts) {
        if (candidate.code.Compare(code) == 0) {
            product = candidate;
            return true;
        }
    }
    return false;
}

CString CSoftwareUpdate::GetProductVersion(CString const& code) const
{
    SUProduct product;
    return FindProduct(code, product) ? product.version : CString();
}

bool CSoftwareUpdate::GetUpdateInfo(CString const& code, CString* version, CString* download) const
{
    if (version)
        version->Empty();
    if (download)
        download->Empty();
    SUProduct product;
    if (!FindProduct(code, product))
        return false;
    if (version)
        *version = product.version;
    if (download)
        *download = product.download;
    return true;
}

bool CSoftwareUpdate::IsUpdateAvailable(CString const& code, CString const& runningVersion) const
{
    return CVersionInfo(GetProductVersion(code)).IsNewerThan(CVersionInfo(runningVersion));
}

bool CSoftwareUpdate::DownloadUpdate(CString const& code) const
{
    SUProduct product;
    if (!FindProduct(code, product))
        return false;
    // The link comes from the network: only a web page is handed to the browser.
    std::string const link = product.download.GetUTF8();
    if (strncasecmp(link.c_str(), "http://", 7) != 0 && strncasecmp(link.c_str(), "https://", 8) != 0)
        return false;
    return CInternetUtilities::LaunchURL(product.download) == noErr;
}
