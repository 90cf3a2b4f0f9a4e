#pragma once

// The body of the shapefile reader's fuzz entry, shared with the GCC test that
// replays the seed corpus. The input holds a .shp, a .shx and a .dbf file:
// two little-endian 32-bit lengths (of the .shp and .shx), then the three files.

#include "mapdata/CDBaseFile.h"
#include "mapdata/CShapeFile.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tw::fuzz {

inline void WriteBytes(std::string const& path, uint8_t const* data, size_t size)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char const*>(data), std::streamsize(size));
}

// Reads everything the readers offer; a fault shows as a crash or a sanitizer report.
inline int FuzzShapeFileInput(uint8_t const* data, size_t size)
{
    if (size < 8)
        return 0;
    uint32_t shpSize, shxSize;
    std::memcpy(&shpSize, data, 4);
    std::memcpy(&shxSize, data + 4, 4);
    size -= 8;
    data += 8;
    if (shpSize > size || shxSize > size - shpSize)
        return 0;
    std::string base = std::string(getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") + "/fuzz-" + std::to_string(getpid());
    WriteBytes(base + ".shp", data, shpSize);
    WriteBytes(base + ".shx", data + shpSize, shxSize);
    WriteBytes(base + ".dbf", data + shpSize + shxSize, size - shpSize - shxSize);

    CShapeFile shapes;
    if (shapes.Open(CFile(CString((base + ".shp").c_str())), CFile(CString((base + ".shx").c_str()))) == noErr) {
        SGShape shape;
        for (UInt32 i = 0; i < shapes.GetShapeCount() && i < 100000; ++i) {
            shapes.GetShapeBounds(i);
            if (shapes.GetShape(i, shape) == noErr)
                for (UInt32 part = 0; part < shape.GetPartCount(); ++part)
                    if (shape.parts[part] > shape.GetPartEnd(part) || shape.GetPartEnd(part) > shape.points.size())
                        __builtin_trap();
        }
    }
    CDBaseFile table;
    if (table.Open(CFile(CString((base + ".dbf").c_str())), kCFStringEncodingInvalidId) == noErr)
        for (UInt32 record = 0; record < table.GetRecordCount() && record < 100000; ++record)
            for (UInt32 field = 0; field < table.GetFieldCount(); ++field) {
                table.GetString(record, field, true);
                table.GetNumber(record, field);
            }
    for (char const* extension : { ".shp", ".shx", ".dbf" })
        unlink((base + extension).c_str());
    return 0;
}

} // namespace tw::fuzz
