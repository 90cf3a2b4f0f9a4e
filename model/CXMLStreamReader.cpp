#include "model/CXMLStreamReader.h"

#include "foundation/CDebugLog.h"
#include "foundation/CFileUtilities.h"
#include "foundation/Status.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <expat.h>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

namespace {

constexpr char kNamespaceSeparator = '\x01';
constexpr std::size_t kSniffBytes = 1024 * 1024; // the root element must start within this

// Closes a file descriptor when the scope ends.
class StFileDescriptor {
public:
    explicit StFileDescriptor(int descriptor)
        : mDescriptor(descriptor)
    {
    }
    StFileDescriptor(StFileDescriptor const&) = delete;
    StFileDescriptor& operator=(StFileDescriptor const&) = delete;
    ~StFileDescriptor()
    {
        if (mDescriptor >= 0)
            close(mDescriptor);
    }
    int Get() const { return mDescriptor; }

private:
    int mDescriptor;
};

// The bytes 0x80 to 0x9F of Windows code page 1252; the rest is ISO Latin-1.
constexpr int kWindows1252High[32] = { 0x20AC, -1, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, -1, 0x017D, -1, -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
    0x0161, 0x203A, 0x0153, -1, 0x017E, 0x0178 };

int OnUnknownEncoding(void*, char const* name, XML_Encoding* info)
{
    if (strcasecmp(name, "windows-1252") != 0 && strcasecmp(name, "cp1252") != 0)
        return XML_STATUS_ERROR;
    for (int i = 0; i < 256; ++i)
        info->map[i] = i >= 0x80 && i < 0xA0 ? kWindows1252High[i - 0x80] : i;
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

bool IsControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// Reads the first element's name and stops.
class CRootReader : public CXMLStreamReader {
public:
    std::string mURI;
    std::string mLocalName;
    bool mFound = false;

protected:
    void StartElement(std::string_view uri, std::string_view localName, char const**) override
    {
        mURI = uri;
        mLocalName = localName;
        mFound = true;
        Fail(kImportNotRecognisedErr); // only to stop: the caller looks at mFound
    }
    void EndElement(std::string_view, std::string_view) override { }
};

} // namespace

CXMLStreamReader::CXMLStreamReader() = default;

CXMLStreamReader::~CXMLStreamReader()
{
    if (mParser)
        XML_ParserFree(mParser);
}

OSStatus CXMLStreamReader::Open()
{
    mParser = XML_ParserCreateNS(nullptr, kNamespaceSeparator);
    if (!mParser)
        return memFullErr;
    XML_SetUserData(mParser, this);
    XML_SetElementHandler(mParser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(mParser, OnText);
    XML_SetCommentHandler(mParser, OnComment);
    XML_SetProcessingInstructionHandler(mParser, OnInstruction);
    XML_SetCdataSectionHandler(mParser, OnOther, OnOther);
    XML_SetStartDoctypeDeclHandler(mParser, OnDoctype);
    XML_SetXmlDeclHandler(mParser, OnDeclaration);
    XML_SetEntityDeclHandler(mParser, OnEntity);
    XML_SetUnknownEncodingHandler(mParser, OnUnknownEncoding, nullptr);
    // External entities and the external subset are never read.
    XML_SetParamEntityParsing(mParser, XML_PARAM_ENTITY_PARSING_NEVER);
    return noErr;
}

OSStatus CXMLStreamReader::ReadFile(CFile const& file)
{
    OSStatus status = ReadFile(file, 0);
    if (status != noErr && status != kImportNotRecognisedErr)
        CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, "Import",
            "%s: reading stopped at line %u, column %u (%d)", file.GetPath().c_str(), unsigned(mErrorLine),
            unsigned(mErrorColumn), int(status));
    return status;
}

OSStatus CXMLStreamReader::ReadFile(CFile const& file, std::size_t maxBytes)
{
    if (mParser)
        return paramErr; // one file per reader
    OSStatus opened = noErr;
    StFileDescriptor descriptor(CFileUtilities::OpenForReading(file, opened));
    if (descriptor.Get() < 0)
        return opened == fnfErr || opened == kNotAFileErr ? opened : ioErr;
    TW_RETURN_IF_ERROR(Open());
    std::size_t total = 0;
    bool first = true;
    for (;;) {
        auto* buffer = static_cast<char*>(XML_GetBuffer(mParser, int(kChunkSize)));
        if (!buffer)
            return Finish(memFullErr);
        ssize_t count = read(descriptor.Get(), buffer, kChunkSize);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return Finish(ioErr);
        }
        if (first && count >= 2) {
            auto const* bytes = reinterpret_cast<unsigned char const*>(buffer);
            // UTF-16, marked or not: stray control bytes cannot be told from text there.
            mByteOriented = !((bytes[0] == 0xFE && bytes[1] == 0xFF) || (bytes[0] == 0xFF && bytes[1] == 0xFE)
                || (bytes[0] == 0 && bytes[1] == '<') || (bytes[0] == '<' && bytes[1] == 0));
        }
        first = false;
        total += std::size_t(count);
        if (OSStatus const stop = NoteRead(std::size_t(count)); stop != noErr)
            return Finish(stop);
        bool final = count == 0 || (maxBytes != 0 && total >= maxBytes);
        OSStatus status = Feed(buffer, std::size_t(count), final);
        if (status != noErr || final)
            return Finish(status);
    }
}

OSStatus CXMLStreamReader::ReadPiece(CFile const& file, UInt64 begin, UInt64 end, std::string const& prefix, bool last)
{
    if (mParser || end < begin)
        return paramErr;
    OSStatus opened = noErr;
    StFileDescriptor descriptor(CFileUtilities::OpenForReading(file, opened));
    if (descriptor.Get() < 0)
        return opened == fnfErr || opened == kNotAFileErr ? opened : ioErr;
    TW_RETURN_IF_ERROR(Open());
    if (!prefix.empty()) {
        mPrefixSize = prefix.size();
        TW_RETURN_IF_ERROR(Finish(FeedText(prefix, false)));
    }
    for (UInt64 offset = begin; offset < end;) {
        std::size_t size = std::size_t(std::min<UInt64>(kChunkSize, end - offset));
        auto* buffer = static_cast<char*>(XML_GetBuffer(mParser, int(size)));
        if (!buffer)
            return Finish(memFullErr);
        ssize_t count = pread(descriptor.Get(), buffer, size, off_t(offset));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return Finish(ioErr); // the file shrank, or cannot be read
        offset += UInt64(count);
        TW_RETURN_IF_ERROR(Finish(NoteRead(std::size_t(count))));
        TW_RETURN_IF_ERROR(Finish(Feed(buffer, std::size_t(count), false)));
    }
    std::string suffix;
    if (!last && !ClosePiece(suffix))
        return Finish(kImportPieceErr);
    return Finish(FeedText(suffix, true));
}

OSStatus CXMLStreamReader::NoteRead(std::size_t bytes)
{
    if (!mMonitor)
        return noErr;
    if (mMonitor->cancelled.load(std::memory_order_relaxed))
        return userCanceledErr;
    mMonitor->bytesRead.fetch_add(bytes, std::memory_order_relaxed);
    return noErr;
}

OSStatus CXMLStreamReader::FeedText(std::string const& text, bool final)
{
    if (text.empty())
        return Feed(nullptr, 0, final);
    auto* buffer = static_cast<char*>(XML_GetBuffer(mParser, int(text.size())));
    if (!buffer)
        return memFullErr;
    std::memcpy(buffer, text.data(), text.size());
    return Feed(buffer, text.size(), final);
}

OSStatus CXMLStreamReader::Feed(char* data, std::size_t size, bool final)
{
    if (mByteOriented)
        FilterControlCharacters(data, size);
    mBytesSinceProgress += size;
    if (XML_ParseBuffer(mParser, int(size), final) == XML_STATUS_ERROR && mStatus == noErr) {
        NoteError();
        switch (XML_GetErrorCode(mParser)) {
        case XML_ERROR_NO_ELEMENTS:
        case XML_ERROR_UNCLOSED_TOKEN:
        case XML_ERROR_PARTIAL_CHAR:
        case XML_ERROR_UNCLOSED_CDATA_SECTION:
            mStatus = mSawRoot ? kImportTruncatedErr : kImportNotRecognisedErr;
            break;
        case XML_ERROR_NO_MEMORY:
            mStatus = memFullErr;
            break;
        default:
            mStatus = kImportMalformedErr;
            break;
        }
    }
    if (mStatus == noErr && mBytesSinceProgress > kMaxTokenBytes) {
        NoteError();
        mStatus = kImportLimitErr;
    }
    if (mStatus == noErr && final)
        EndDocument();
    return mStatus;
}

OSStatus CXMLStreamReader::Finish(OSStatus status)
{
    if (mStatus == noErr)
        mStatus = status;
    return mStatus;
}

OSStatus CXMLStreamReader::ReadRootElement(CFile const& file, std::string& uri, std::string& localName)
{
    CRootReader reader;
    OSStatus status = static_cast<CXMLStreamReader&>(reader).ReadFile(file, kSniffBytes);
    if (!reader.mFound)
        return status == fnfErr || status == ioErr ? status : kImportNotRecognisedErr;
    uri = reader.mURI;
    localName = reader.mLocalName;
    return noErr;
}

void CXMLStreamReader::Fail(OSStatus status)
{
    if (mStatus != noErr || status == noErr)
        return;
    NoteError();
    mStatus = status;
    XML_StopParser(mParser, XML_FALSE);
}

void CXMLStreamReader::NoteError()
{
    mErrorLine = UInt32(XML_GetCurrentLineNumber(mParser));
    mErrorColumn = UInt32(XML_GetCurrentColumnNumber(mParser)) + 1;
}

std::string CXMLStreamReader::GetEventMarkup() const
{
    int offset = 0, size = 0;
    char const* context = XML_GetInputContext(mParser, &offset, &size);
    int count = XML_GetCurrentByteCount(mParser);
    if (!context || count <= 0 || offset < 0 || offset + count > size)
        return std::string();
    return std::string(context + offset, std::size_t(count));
}

bool CXMLStreamReader::IsInPrefix() const
{
    return mPrefixSize != 0 && XML_GetCurrentByteIndex(mParser) < XML_Index(mPrefixSize);
}

void CXMLStreamReader::BeginText()
{
    mText.clear();
    mCapturing = true;
}

void CXMLStreamReader::SplitName(char const* name, std::string_view& uri, std::string_view& localName)
{
    char const* separator = std::strchr(name, kNamespaceSeparator);
    if (!separator) {
        uri = std::string_view();
        localName = name;
        return;
    }
    uri = std::string_view(name, std::size_t(separator - name));
    localName = separator + 1;
}

char const* CXMLStreamReader::FindAttribute(char const** attributes, std::string_view name)
{
    for (char const** attribute = attributes; attribute[0]; attribute += 2)
        if (name == attribute[0])
            return attribute[1];
    return nullptr;
}

// Stray control characters (some writers copy them from their databases) would make the
// file malformed XML; as spaces they keep every offset in place. The word-wide test skips
// runs of ordinary text quickly.
void CXMLStreamReader::FilterControlCharacters(char* data, std::size_t size) const
{
    constexpr UInt64 kOnes = 0x0101010101010101ull;
    constexpr UInt64 kHighs = 0x8080808080808080ull;
    std::size_t i = 0;
    while (i + 8 <= size) {
        UInt64 word;
        std::memcpy(&word, data + i, 8);
        // Some byte below 0x20 (a line end or tab, usually): look at each.
        if (((word - kOnes * 0x20) & ~word & kHighs) != 0) {
            for (std::size_t j = i; j < i + 8; ++j)
                if (IsControl(static_cast<unsigned char>(data[j])))
                    data[j] = ' ';
        }
        i += 8;
    }
    for (; i < size; ++i)
        if (IsControl(static_cast<unsigned char>(data[i])))
            data[i] = ' ';
}

void CXMLStreamReader::OnStart(void* data, char const* name, char const** attributes)
{
    auto* reader = static_cast<CXMLStreamReader*>(data);
    reader->Progress();
    if (reader->mStatus != noErr)
        return;
    if (++reader->mDepth > kMaxDepth) {
        reader->Fail(kImportLimitErr);
        return;
    }
    reader->mSawRoot = true;
    reader->mCapturing = false;
    std::string_view uri, localName;
    SplitName(name, uri, localName);
    reader->StartElement(uri, localName, attributes);
}

void CXMLStreamReader::OnEnd(void* data, char const* name)
{
    auto* reader = static_cast<CXMLStreamReader*>(data);
    reader->Progress();
    if (reader->mStatus != noErr)
        return;
    std::string_view uri, localName;
    SplitName(name, uri, localName);
    reader->EndElement(uri, localName);
    reader->mCapturing = false;
    --reader->mDepth;
}

void CXMLStreamReader::OnText(void* data, char const* text, int length)
{
    auto* reader = static_cast<CXMLStreamReader*>(data);
    reader->Progress();
    if (!reader->mCapturing || reader->mStatus != noErr)
        return;
    if (reader->mText.size() + std::size_t(length) > kMaxTextBytes) {
        reader->Fail(kImportLimitErr);
        return;
    }
    reader->mText.append(text, std::size_t(length));
}

void CXMLStreamReader::OnOther(void* data) { static_cast<CXMLStreamReader*>(data)->Progress(); }

void CXMLStreamReader::OnComment(void* data, char const*) { static_cast<CXMLStreamReader*>(data)->Progress(); }

void CXMLStreamReader::OnInstruction(void* data, char const*, char const*)
{
    static_cast<CXMLStreamReader*>(data)->Progress();
}

void CXMLStreamReader::OnDoctype(void* data, char const*, char const*, char const*, int)
{
    auto* reader = static_cast<CXMLStreamReader*>(data);
    reader->Progress();
    reader->mSawDoctype = true;
}

void CXMLStreamReader::OnDeclaration(void* data, char const*, char const* encoding, int)
{
    auto* reader = static_cast<CXMLStreamReader*>(data);
    reader->Progress();
    if (encoding)
        reader->mEncoding = encoding;
}

// Any entity declaration ends the reading: expansion is how entity bombs grow.
void CXMLStreamReader::OnEntity(
    void* data, char const*, int, char const*, int, char const*, char const*, char const*, char const*)
{
    static_cast<CXMLStreamReader*>(data)->Fail(kImportEntityErr);
}
