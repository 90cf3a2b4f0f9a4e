#pragma once

// The body of the import parsers' fuzz entries, shared with the GCC test that replays
// their seed corpora. The input is a file's bytes. The GPX entry also reads the file in
// tiny pieces and traps when that reading succeeds with other objects than one pass.

#include "foundation/CDebugLog.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CParserGPX.h"
#include "model/CParserLoc.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tw::fuzz {

inline std::string WriteInput(uint8_t const* data, size_t size, char const* extension)
{
    std::string path = std::string(getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") + "/fuzz-import-"
        + std::to_string(getpid()) + extension;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char const*>(data), std::streamsize(size));
    return path;
}

inline void DeleteObjects(std::vector<CMapObject*>& objects)
{
    while (!objects.empty()) {
        delete objects.back();
        objects.pop_back();
    }
}

// Points in all tracks, and waypoints, of a list of records or objects.
inline std::pair<size_t, size_t> CountRecords(std::vector<CGPXReader::Record> const& records)
{
    size_t points = 0, others = 0;
    for (auto const& record : records) {
        if (auto const* track = std::get_if<CGPXReader::Track>(&record))
            points += track->samples.size();
        else if (auto const* route = std::get_if<CGPXReader::Route>(&record))
            others += route->points.size() + 1;
        else
            ++others;
    }
    return { points, others };
}

inline std::pair<size_t, size_t> CountObjects(std::vector<CMapObject*> const& objects)
{
    size_t points = 0, others = 0;
    for (CMapObject* object : objects) {
        if (auto* track = dynamic_cast<CMapTrack*>(object))
            points += track->GetSamples().size();
        else
            ++others;
    }
    return { points, others };
}

inline int FuzzImportInput(uint8_t const* data, size_t size, bool loc)
{
    CDebugLog::GetDebugLog()->SetLogOutputs(0);
    std::string path = WriteInput(data, size, loc ? ".loc" : ".gpx");
    CFile file { CString(path.c_str()) };
    std::vector<CMapObject*> objects;
    OSStatus status = noErr;
    if (loc) {
        status = CParserLoc().ParseFile(file, objects);
    } else {
        status = CParserGPX().ParseFile(file, objects);
        std::vector<CGPXReader::Record> records;
        if (CParserGPX::ReadInPieces(file, 16, 8, records) == noErr
            && (status != noErr || CountRecords(records) != CountObjects(objects)))
            __builtin_trap();
    }
    if (status != noErr && !objects.empty())
        __builtin_trap(); // a failed parse hands over nothing
    for (CMapObject* object : objects)
        if (auto* track = dynamic_cast<CMapTrack*>(object))
            (void)track->GetVelocityAvg();
    DeleteObjects(objects);
    unlink(path.c_str());
    return 0;
}

} // namespace tw::fuzz
