// Reading a large GPX file in pieces on several threads.
//
// 1. A scout reads the file's start up to its first track point and keeps the
//    start tags open there (gpx, trk, trkseg, as written) and the point's name.
// 2. The file is cut before track points near equal shares of its size.
// 3. Each piece is read by its own reader: the tags of step 1 open it, the
//    matching end tags close it. A piece that does not end inside a track
//    segment under those same tags, or ends inside a comment or CDATA (the end
//    tags are then swallowed and the document left unclosed), fails.
// 4. The pieces are joined in order: the track open at the end of one piece
//    takes the points the next piece continues it with.
// Any failure answers kImportPieceErr, and the caller reads the file in one pass.

#include "foundation/CFileUtilities.h"
#include "foundation/CThreadParts.h"
#include "foundation/Status.h"
#include "model/CParserGPX.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <strings.h>
#include <unistd.h>

namespace {

constexpr std::size_t kScoutBytes = 1024 * 1024; // the first track point must start within this
constexpr std::size_t kSearchBytes = 1024 * 1024; // a cut must be found this close to its share
std::string const kNoPrefix;

std::string_view MarkupName(std::string_view markup)
{
    std::size_t end = markup.find_first_of(" \t\r\n/>", 1);
    return markup.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
}

class CPieceScout : public CXMLStreamReader {
public:
    std::vector<std::string> mMarkup; // the start tags open at the first track point
    std::string mPointName; // its qualified name
    bool mFound = false;

    void Scout(CFile const& file) { ReadFile(file, kScoutBytes); }

protected:
    void StartElement(std::string_view uri, std::string_view localName, char const**) override
    {
        UInt32 depth = GetDepth();
        if (depth <= 3) {
            mMarkup.resize(depth - 1);
            mMarkup.push_back(GetEventMarkup());
            mNames.resize(depth - 1);
            mNames.emplace_back(IsGPX(uri) ? localName : std::string_view());
            return;
        }
        if (depth == 4 && localName == "trkpt" && IsGPX(uri) && mNames[0] == "gpx" && mNames[1] == "trk"
            && mNames[2] == "trkseg") {
            mPointName = MarkupName(GetEventMarkup());
            mFound = true;
            Fail(kImportPieceErr); // only to stop
        }
    }
    void EndElement(std::string_view, std::string_view) override { }

private:
    static bool IsGPX(std::string_view uri)
    {
        return uri.empty() || uri == CParserGPX::kNamespace11 || uri == CParserGPX::kNamespace10;
    }

    std::vector<std::string> mNames;
};

bool IsUTF8(CPieceScout const& scout, int descriptor)
{
    unsigned char start[2] = {};
    if (pread(descriptor, start, 2, 0) != 2 || start[0] == 0 || start[1] == 0 || start[0] == 0xFE || start[0] == 0xFF)
        return false;
    std::string const& encoding = scout.GetDeclaredEncoding();
    return encoding.empty() || strcasecmp(encoding.c_str(), "UTF-8") == 0
        || strcasecmp(encoding.c_str(), "US-ASCII") == 0;
}

// Offsets where pieces start: 0, then before a track point near each share.
std::vector<UInt64> FindCuts(int descriptor, UInt64 size, UInt32 pieces, std::string const& pointName)
{
    std::vector<UInt64> cuts { 0 };
    std::string needle = "<" + pointName;
    std::string window(kSearchBytes, '\0');
    for (UInt32 k = 1; k < pieces; ++k) {
        UInt64 target = std::max(size * k / pieces, cuts.back() + 1);
        ssize_t count = pread(descriptor, window.data(), window.size(), off_t(target));
        if (count <= 0)
            break;
        std::string_view text(window.data(), std::size_t(count));
        for (std::size_t at = text.find(needle); at != std::string_view::npos; at = text.find(needle, at + 1)) {
            std::size_t after = at + needle.size();
            if (after < text.size() && std::strchr(" \t\r\n/>", text[after]) && text[after] != '\0') {
                cuts.push_back(target + at);
                break;
            }
        }
    }
    return cuts;
}

struct PieceJob {
    CGPXReader reader;
    CFile const* file = nullptr;
    UInt64 begin = 0;
    UInt64 end = 0;
    std::string const* prefix = nullptr;
    bool last = false;
    OSStatus status = noErr;

    void Run() { status = reader.ReadPiece(*file, begin, end, *prefix, last); }
};

// Reads every piece, all but the first on threads of their own.
bool RunPieces(std::vector<std::unique_ptr<PieceJob>>& jobs)
{
    CThreadParts::Run(jobs.size(), [&jobs](std::size_t k) { jobs[k]->Run(); });
    return std::all_of(jobs.begin(), jobs.end(), [](auto const& job) { return job->status == noErr; });
}

// The track open across pieces: its first part, and the points later pieces continue it with.
class CTrackJoin {
public:
    bool IsOpen() const { return mOpen.has_value(); }
    void Open(CGPXReader::Track&& track) { mOpen = std::move(track); }
    void Continue(std::vector<CCoordinatePVT>&& samples) { mParts.push_back(std::move(samples)); }

    // One allocation of the final size; each part is freed once it is copied.
    void Close(std::vector<CGPXReader::Record>& records)
    {
        std::size_t total = mOpen->samples.size();
        for (auto const& part : mParts)
            total += part.size();
        mOpen->samples.reserve(total);
        for (auto& part : mParts) {
            mOpen->samples.insert(mOpen->samples.end(), part.begin(), part.end());
            std::vector<CCoordinatePVT>().swap(part);
            // The pieces' threads left their memory in arenas of their own; give it back now,
            // or the joined copy would double the peak.
            malloc_trim(0);
        }
        if (!mOpen->samples.empty())
            records.emplace_back(std::move(*mOpen));
        mOpen.reset();
        mParts.clear();
    }

private:
    std::optional<CGPXReader::Track> mOpen;
    std::vector<std::vector<CCoordinatePVT>> mParts;
};

OSStatus JoinPieces(std::vector<std::unique_ptr<PieceJob>>& jobs, std::vector<CGPXReader::Record>& records)
{
    CTrackJoin join;
    std::size_t objects = 0, points = 0;
    for (std::size_t k = 0; k < jobs.size(); ++k) {
        CGPXReader& piece = jobs[k]->reader;
        objects += piece.mObjectCount;
        points += piece.mTrackPoints;
        if (k > 0) {
            if (!join.IsOpen())
                return kImportPieceErr;
            join.Continue(std::move(piece.mHeadSamples));
            if (!piece.mHeadClosed) {
                if (!piece.mRecords.empty() || piece.mTail)
                    return kImportPieceErr;
                jobs[k].reset();
                continue;
            }
            join.Close(records);
            ++objects;
        }
        std::move(piece.mRecords.begin(), piece.mRecords.end(), std::back_inserter(records));
        if (piece.mTail)
            join.Open(std::move(*piece.mTail));
        jobs[k].reset();
    }
    // Past a limit: the reading in one pass says where.
    if (join.IsOpen() || objects > CParserGPX::GetMaxObjects() || points > CParserGPX::GetMaxTrackPoints())
        return kImportPieceErr;
    return noErr;
}

} // namespace

OSStatus CParserGPX::ReadInPieces(CFile const& file, UInt64 minPieceSize, UInt32 maxPieces,
    std::vector<CGPXReader::Record>& records, CReadMonitor* monitor)
{
    SInt64 size = file.GetForkSize();
    if (size <= 0 || maxPieces < 2 || minPieceSize == 0)
        return kImportPieceErr;
    auto pieces = UInt32(std::min<UInt64>(maxPieces, UInt64(size) / minPieceSize));
    if (pieces < 2)
        return kImportPieceErr;
    CPieceScout scout;
    scout.Scout(file);
    OSStatus opened = noErr;
    int descriptor = CFileUtilities::OpenForReading(file, opened);
    if (descriptor < 0)
        return kImportPieceErr;
    bool usable = scout.mFound && !scout.HasDoctype() && IsUTF8(scout, descriptor);
    std::vector<UInt64> cuts;
    if (usable)
        cuts = FindCuts(descriptor, UInt64(size), pieces, scout.mPointName);
    close(descriptor);
    if (cuts.size() < 2)
        return kImportPieceErr;
    cuts.push_back(UInt64(size));

    std::string prefix;
    for (std::string const& markup : scout.mMarkup)
        prefix += markup;
    std::vector<std::unique_ptr<PieceJob>> jobs;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        auto job = std::make_unique<PieceJob>();
        job->reader.SetPiece(scout.mMarkup);
        job->reader.SetMonitor(monitor);
        job->file = &file;
        job->begin = cuts[k];
        job->end = cuts[k + 1];
        job->prefix = k == 0 ? &kNoPrefix : &prefix;
        job->last = k + 2 == cuts.size();
        jobs.push_back(std::move(job));
    }
    if (!RunPieces(jobs))
        return monitor && monitor->cancelled ? userCanceledErr : kImportPieceErr;
    std::vector<CGPXReader::Record> joined;
    TW_RETURN_IF_ERROR(JoinPieces(jobs, joined));
    records = std::move(joined);
    return noErr;
}
