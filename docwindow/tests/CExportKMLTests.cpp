// The view and the objects of a document as KML: read back by GDAL, and by our own link
// reader, with names that would break the markup and formats that would break printf.
#include "docwindow/CExportKML.h"
#include "foundation/CFileUtilities.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "model/CParserURL.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>

namespace {

// What a command printed, or nullopt when it could not run.
std::optional<std::string> KMLToolOutput(std::string const& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string out;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), n);
    return pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

bool KMLHasTool(char const* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

class ExportKML : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* home = Waypoint("Home & <Garden>", 57.70887, 11.97456);
        home->SetDescription("Front door \"blue\"");
        auto* work = Waypoint("Work", 57.689, 11.979);
        Waypoint("Summit", 61.6362, 8.3126);
        auto* route = new CMapRoute;
        route->SetName("To work");
        route->AddWaypoint(-1, home, false);
        route->AddWaypoint(-1, work, false);
        mObjects.emplace_back(route);
        auto* track = new CMapTrack;
        track->SetName("Morning");
        for (int i = 0; i < 5; ++i)
            track->AddSample(CCoordinatePVT(CCoordinate(57.7 + i * 0.001, 11.9, 20 + i), CDateTime(7e8 + i)));
        mObjects.emplace_back(track);
        auto* temporary = Waypoint("Target", 10, 10);
        temporary->SetAttributes(kMapObjectAttrTemporary, 0);
    }

    CMapWaypoint* Waypoint(char const* name, double latitude, double longitude)
    {
        auto* waypoint = new CMapWaypoint;
        waypoint->SetName(name);
        waypoint->SetPosition(CCoordinate(latitude, longitude));
        mObjects.emplace_back(waypoint);
        return waypoint;
    }

    std::vector<CMapObject*> Objects() const
    {
        std::vector<CMapObject*> objects;
        for (auto const& object : mObjects)
            objects.push_back(object.get());
        return objects;
    }

    std::vector<std::unique_ptr<CMapObject>> mObjects;
};

TEST_F(ExportKML, TheRangeHalvesWithEachLevel)
{
    EXPECT_EQ(CExportKML::GetRange(0), 49000000u);
    EXPECT_EQ(CExportKML::GetRange(1), 24500000u);
    EXPECT_EQ(CExportKML::GetRange(17), 373u);
    EXPECT_EQ(CExportKML::GetRange(40), 0u) << "no shift past the width of the number";
}

TEST_F(ExportKML, GDALReadsALayerPerKind)
{
    if (!KMLHasTool("ogrinfo"))
        GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    CString const text = CExportKML::MakeDocument(
        CString(CExportKML::kDocumentFallback), CCoordinate(57.7, 11.97), 12, Objects());
    CFile file;
    ASSERT_TRUE(CExportKML::WriteTemporaryFile(text, file));
    std::string const path = file.GetPath();
    EXPECT_TRUE(path.ends_with(".kml"));

    auto const summary = KMLToolOutput("ogrinfo -ro -q '" + path + "' 2>&1");
    ASSERT_TRUE(summary) << "ogrinfo could not read the file";
    EXPECT_NE(summary->find("Waypoints"), std::string::npos) << *summary;
    EXPECT_NE(summary->find("Routes"), std::string::npos);
    EXPECT_NE(summary->find("Tracks"), std::string::npos);

    auto const waypoints = KMLToolOutput("ogrinfo -ro -al -so '" + path + "' Waypoints 2>&1");
    ASSERT_TRUE(waypoints);
    EXPECT_NE(waypoints->find("Feature Count: 3"), std::string::npos) << "the temporary one is left out\n" << *waypoints;
    auto const routes = KMLToolOutput("ogrinfo -ro -al -so '" + path + "' Routes 2>&1");
    ASSERT_TRUE(routes);
    EXPECT_NE(routes->find("Feature Count: 1"), std::string::npos) << *routes;

    auto const features = KMLToolOutput("ogrinfo -ro -al '" + path + "' 2>&1");
    ASSERT_TRUE(features);
    EXPECT_NE(features->find("Home & <Garden>"), std::string::npos) << "names survive the markup";
    EXPECT_NE(features->find("POINT Z (11.97456 57.70887 0)"), std::string::npos) << *features;
    EXPECT_NE(features->find("LINESTRING Z (11.97456 57.70887 0,11.979 57.689 0)"), std::string::npos);
    EXPECT_NE(features->find("LINESTRING Z (11.9 57.7 20,11.9 57.701 21,11.9 57.702 22,11.9 57.703 23,11.9 57.704 24)"),
        std::string::npos);

    CExportKML::RemoveTemporaryFiles();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ExportKML, OurLinkReaderFindsTheViewAgain)
{
    for (unsigned long level : { 0ul, 1ul, 9ul, 17ul }) {
        CString const text = CExportKML::MakeDocument(
            CString(CExportKML::kDocumentFallback), CCoordinate(-33.86, 151.21), level, Objects());
        CCoordinate centre;
        unsigned long zoom = 99;
        ASSERT_EQ(CParserURL::ParseURL(text, nullptr, centre, zoom), noErr) << level;
        EXPECT_NEAR(centre.GetLatitude(), -33.86, 1e-6);
        EXPECT_NEAR(centre.GetLongitude(), 151.21, 1e-6);
        EXPECT_EQ(zoom, level);
    }
}

TEST_F(ExportKML, FormatsThatWouldReadTheWrongArgumentsAreNotUsed)
{
    EXPECT_TRUE(CExportKML::IsDocumentFormat(CString(CExportKML::kDocumentFallback)));
    EXPECT_TRUE(CExportKML::IsDocumentFormat(CString("%f %lf %lu %s 100%%")));
    EXPECT_FALSE(CExportKML::IsDocumentFormat(CString("%s %f %lu %s")));
    EXPECT_FALSE(CExportKML::IsDocumentFormat(CString("%f %f %lu %s %s")));
    EXPECT_FALSE(CExportKML::IsDocumentFormat(CString("%2$f %f")));
    EXPECT_FALSE(CExportKML::IsDocumentFormat(CString("%n")));
    CString const text = CExportKML::MakeDocument(CString("%s %s %s %n"), CCoordinate(1, 2), 3, {});
    EXPECT_NE(text.GetStdString().find("<range>6125000</range>"), std::string::npos) << "the built-in format stood in";
}

} // namespace

// The files go when the program ends, however the exit unwinds: written in a fresh process
// (the list made there first), which then exits normally.
TEST(ExportKMLExit, FilesAreRemovedWhenTheProcessExits)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    char const* const kFolderVariable = "TW_KML_EXIT_FOLDER";
    char const* given = std::getenv(kFolderVariable);
    std::filesystem::path const folder
        = given ? std::filesystem::path(given) : std::filesystem::temp_directory_path() / "kml-exit";
    if (!given) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        setenv(kFolderVariable, folder.c_str(), 1);
    }
    EXPECT_EXIT(
        {
            setenv("TMPDIR", folder.c_str(), 1);
            CFile file;
            bool const written = CExportKML::WriteTemporaryFile(CString("<kml/>"), file)
                && std::filesystem::exists(file.GetPath());
            std::exit(written ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
    unsetenv(kFolderVariable);
    std::vector<std::string> left;
    for (auto const& entry : std::filesystem::directory_iterator(folder))
        left.push_back(entry.path().filename().string());
    EXPECT_TRUE(left.empty()) << "left behind: " << left.front();
    std::filesystem::remove_all(folder);
}
