#pragma once

// Streams an XML file through expat into the handlers of a subclass, in
// fixed-size chunks, so memory stays proportional to what the subclass keeps,
// never to the file. Hostile input is refused with a status: entity
// declarations (and so entity expansion), nesting past a depth, text past a
// length, and single tokens (a tag, a comment) that grow past a size without
// ending. Byte-oriented files may hold stray control characters, which are
// read as spaces. The first error wins; its line and column are kept. One
// reader reads one file on one thread.

#include "foundation/CFile.h"

#include <atomic>
#include <string>
#include <string_view>

struct XML_ParserStruct;

// Status codes of the import readers.
enum : OSStatus {
    kImportNotRecognisedErr = -206, // empty, no root element, or a root of another format
    kImportMalformedErr = -2120, // not well-formed XML (syntax, nesting, bad bytes)
    kImportTruncatedErr = -2121, // the file ends inside the document
    kImportEntityErr = -2122, // entity declarations are refused
    kImportValueErr = -2123, // a required value is missing or impossible (coordinates)
    kImportLimitErr = -2124, // a length or depth past its bound
    kImportPieceErr = -2125, // a piece of a file read in parallel does not join its neighbours
    kImportObjectCountErr = -2126, // more objects than one file may bring
    kImportTrackPointCountErr = -2127, // more track points than one file may bring
    kImportRoutePointCountErr = -2128, // a route of more points than one route may have
};

// Shared between readers on other threads and the thread that waits for them: how much of
// the file they have read, and whether they are to stop (they then fail with userCanceledErr).
// Objects made from what was read follow the reading: made of toMake, toMake known once read.
struct CReadMonitor {
    std::atomic<UInt64> bytesRead { 0 };
    std::atomic<UInt64> made { 0 };
    std::atomic<UInt64> toMake { 0 };
    std::atomic<bool> cancelled { false };
};

class CXMLStreamReader {
public:
    static constexpr std::size_t kChunkSize = 256 * 1024; // [bytes] read at a time
    static constexpr UInt32 kMaxDepth = 256;
    static constexpr std::size_t kMaxTokenBytes = 8 * 1024 * 1024; // a tag or comment without end
    static constexpr std::size_t kMaxTextBytes = 1024 * 1024; // text of one element read as text

    CXMLStreamReader();
    CXMLStreamReader(CXMLStreamReader const&) = delete;
    CXMLStreamReader& operator=(CXMLStreamReader const&) = delete;
    virtual ~CXMLStreamReader();

    // Reads the whole file; noErr only when it was read to its end without any error.
    OSStatus ReadFile(CFile const& file);
    // Reads the bytes [begin, end) of a UTF-8 file after the prefix markup. The last piece
    // ends the document; any other is closed with the markup ClosePiece gives.
    OSStatus ReadPiece(CFile const& file, UInt64 begin, UInt64 end, std::string const& prefix, bool last);
    // The namespace and local name of the file's root element; kImportNotRecognisedErr
    // when none can be found in the file's first part.
    static OSStatus ReadRootElement(CFile const& file, std::string& uri, std::string& localName);

    UInt32 GetErrorLine() const { return mErrorLine; } // 1-based; 0 without an error
    UInt32 GetErrorColumn() const { return mErrorColumn; }
    bool HasRoot() const { return mSawRoot; } // an element was read
    // From the XML declaration; empty when it names none.
    std::string const& GetDeclaredEncoding() const { return mEncoding; }
    bool HasDoctype() const { return mSawDoctype; }
    // Told of each chunk read, and asked whether to go on (borrowed; null: none).
    void SetMonitor(CReadMonitor* monitor) { mMonitor = monitor; }

protected:
    // Element names come split into namespace URI (empty for none) and local name; the
    // attributes are expat's name/value pairs, names in "uri\x01local" form when qualified.
    virtual void StartElement(std::string_view uri, std::string_view localName, char const** attributes) = 0;
    virtual void EndElement(std::string_view uri, std::string_view localName) = 0;
    // The file ended; a subclass may still refuse what it read.
    virtual void EndDocument() { }
    // Before an inner piece ends: the end tags that close what is open, or false when the
    // piece is not in the state its neighbour assumes.
    virtual bool ClosePiece(std::string& suffix) { return false; }

    // Stops the reading with the status (the first one wins).
    void Fail(OSStatus status);
    bool HasFailed() const { return mStatus != noErr; }
    // Collects the text of the element being started, its children's included, until the
    // next BeginText; GetText gives it.
    void BeginText();
    std::string const& GetText() const { return mText; }
    UInt32 GetDepth() const { return mDepth; } // of the element whose handler runs
    // The markup of the event being handled, as written (a start tag with its attributes).
    std::string GetEventMarkup() const;
    // The event comes from a piece's prefix, not from the file.
    bool IsInPrefix() const;

    // Splits "uri\x01local" into its parts.
    static void SplitName(char const* name, std::string_view& uri, std::string_view& localName);
    // The value of an unqualified attribute, null when absent.
    static char const* FindAttribute(char const** attributes, std::string_view name);

    // maxBytes: stop after about that many bytes (0: read to the end). Logs nothing.
    OSStatus ReadFile(CFile const& file, std::size_t maxBytes);

private:
    OSStatus Open();
    // Parses size bytes just written into the parser's buffer (XML_GetBuffer).
    OSStatus Feed(char* data, std::size_t size, bool final);
    OSStatus FeedText(std::string const& text, bool final);
    OSStatus Finish(OSStatus status);
    void NoteError();
    void Progress() { mBytesSinceProgress = 0; }
    // userCanceledErr once the monitor says stop.
    OSStatus NoteRead(std::size_t bytes);
    void FilterControlCharacters(char* data, std::size_t size) const;

    static void OnStart(void* reader, char const* name, char const** attributes);
    static void OnEnd(void* reader, char const* name);
    static void OnText(void* reader, char const* text, int length);
    static void OnOther(void* reader);
    static void OnComment(void* reader, char const* text);
    static void OnInstruction(void* reader, char const* target, char const* data);
    static void OnDoctype(void* reader, char const* name, char const* system, char const* publicID, int internal);
    static void OnDeclaration(void* reader, char const* version, char const* encoding, int standalone);
    static void OnEntity(void* reader, char const* name, int parameter, char const* value, int length, char const* base,
        char const* system, char const* publicID, char const* notation);

    XML_ParserStruct* mParser = nullptr; // owns
    CReadMonitor* mMonitor = nullptr; // borrowed
    OSStatus mStatus = noErr;
    UInt32 mErrorLine = 0;
    UInt32 mErrorColumn = 0;
    UInt32 mDepth = 0;
    bool mSawRoot = false;
    bool mSawDoctype = false;
    std::string mEncoding;
    std::size_t mPrefixSize = 0; // [bytes] of a piece's prefix
    bool mCapturing = false;
    bool mByteOriented = true; // decided by the first bytes: not UTF-16
    std::size_t mBytesSinceProgress = 0;
    std::string mText;
};
