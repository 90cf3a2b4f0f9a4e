#pragma once

// Writes small polyline or polygon layers (.shp, .shx and a .dbf with a name, a feature
// and a "oneway" column) for tests that need map data they can reason about by hand.

#include "foundation/SGBounds.h"
#include "platform/tests/support/TestSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace tw::test {

struct TestPolyLine {
    std::vector<SGPoint> points; // a polygon's ring closes on its first point
    int feature = 0; // TWFEATURE; 0 leaves the cell blank (the category's feature)
    std::string oneway; // "" for both ways
    std::string name; // the first column, which names the shape on the map
};

namespace shapefile_writer {
inline void PutBE32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (24 - 8 * i));
}
inline void PutLE32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i));
}
inline void PutLE16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = char(value);
    bytes[at + 1] = char(value >> 8);
}
inline void PutDouble(std::string& bytes, std::size_t at, double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    for (int i = 0; i < 8; ++i)
        bytes[at + i] = char(bits >> (8 * i));
}
inline SGBounds BoundsOf(std::vector<SGPoint> const& points)
{
    SGBounds box { points[0].x, points[0].y, points[0].x, points[0].y };
    for (SGPoint const& p : points)
        box = { std::min(box.xmin, p.x), std::min(box.ymin, p.y), std::max(box.xmax, p.x), std::max(box.ymax, p.y) };
    return box;
}
inline void PutHeader(std::string& bytes, SGBounds const& box, std::uint32_t type)
{
    PutBE32(bytes, 0, 9994);
    PutBE32(bytes, 24, std::uint32_t(bytes.size() / 2));
    PutLE32(bytes, 28, 1000);
    PutLE32(bytes, 32, type);
    PutDouble(bytes, 36, box.xmin);
    PutDouble(bytes, 44, box.ymin);
    PutDouble(bytes, 52, box.xmax);
    PutDouble(bytes, 60, box.ymax);
}
} // namespace shapefile_writer

// Writes base.shp, base.shx and base.dbf; every line is one record of one part, of polylines
// (type 3) or polygons (type 5).
inline void WritePolyLineLayer(
    std::filesystem::path const& base, std::vector<TestPolyLine> const& lines, std::uint32_t type = 3)
{
    using namespace shapefile_writer;
    std::string shp(100, '\0'), shx(100, '\0');
    std::vector<SGPoint> all;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<SGPoint> const& points = lines[i].points;
        all.insert(all.end(), points.begin(), points.end());
        std::size_t const contentSize = 4 + 32 + 8 + 4 + 16 * points.size();
        std::size_t const at = shp.size();
        shx.resize(shx.size() + 8);
        PutBE32(shx, shx.size() - 8, std::uint32_t(at / 2));
        PutBE32(shx, shx.size() - 4, std::uint32_t(contentSize / 2));
        shp.resize(at + 8 + contentSize, '\0');
        PutBE32(shp, at, std::uint32_t(i + 1));
        PutBE32(shp, at + 4, std::uint32_t(contentSize / 2));
        std::size_t const content = at + 8;
        PutLE32(shp, content, type);
        SGBounds box = BoundsOf(points);
        PutDouble(shp, content + 4, box.xmin);
        PutDouble(shp, content + 12, box.ymin);
        PutDouble(shp, content + 20, box.xmax);
        PutDouble(shp, content + 28, box.ymax);
        PutLE32(shp, content + 36, 1);
        PutLE32(shp, content + 40, std::uint32_t(points.size()));
        PutLE32(shp, content + 44, 0);
        for (std::size_t p = 0; p < points.size(); ++p) {
            PutDouble(shp, content + 48 + 16 * p, points[p].x);
            PutDouble(shp, content + 56 + 16 * p, points[p].y);
        }
    }
    SGBounds const box = all.empty() ? SGBounds {} : BoundsOf(all);
    PutHeader(shp, box, type);
    PutHeader(shx, box, type);

    // The table: NAME C(40), TWFEATURE N(6) and oneway C(4).
    constexpr std::size_t kNameWidth = 40, kFeatureWidth = 6, kOneWayWidth = 4;
    constexpr std::size_t kRecordLength = 1 + kNameWidth + kFeatureWidth + kOneWayWidth;
    constexpr std::size_t kHeaderLength = 32 + 3 * 32 + 1;
    std::string dbf(kHeaderLength, '\0');
    dbf[0] = 0x03;
    PutLE32(dbf, 4, std::uint32_t(lines.size()));
    PutLE16(dbf, 8, std::uint16_t(kHeaderLength));
    PutLE16(dbf, 10, std::uint16_t(kRecordLength));
    auto field = [&](std::size_t at, char const* name, char type, std::size_t width) {
        std::memcpy(&dbf[at], name, std::strlen(name));
        dbf[at + 11] = type;
        dbf[at + 16] = char(width);
    };
    field(32, "NAME", 'C', kNameWidth);
    field(64, "TWFEATURE", 'N', kFeatureWidth);
    field(96, "oneway", 'C', kOneWayWidth);
    dbf[128] = 0x0D;
    for (TestPolyLine const& line : lines) {
        std::string feature = line.feature != 0 ? std::to_string(line.feature) : "";
        dbf += ' ' + (line.name + std::string(kNameWidth, ' ')).substr(0, kNameWidth)
            + std::string(kFeatureWidth - feature.size(), ' ') + feature
            + (line.oneway + std::string(kOneWayWidth, ' ')).substr(0, kOneWayWidth);
    }
    dbf += '\x1A';
    WriteFile(base.string() + ".shp", shp);
    WriteFile(base.string() + ".shx", shx);
    WriteFile(base.string() + ".dbf", dbf);
}

} // namespace tw::test
