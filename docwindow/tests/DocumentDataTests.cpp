// Files and links into a document and the view out of it: what can be imported, the
// alert that tells how it went, hostile files that add nothing, the web map link read
// back, and the globe viewer's file handed to the desktop.
#include "docwindow/CDocumentImport.h"
#include "docwindow/CExportKML.h"
#include "docwindow/CViewExport.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapObject.h"
#include "model/CMapWaypoint.h"
#include "model/CParserURL.h"
#include "tests/support/OpenRecorder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace tw::test {
namespace {

    class DocumentData : public ::testing::Test {
    protected:
        void TearDown() override
        {
            for (CMapObject* object : mObjects)
                delete object;
            for (auto const& path : mFiles)
                std::filesystem::remove(path);
            CExportKML::RemoveTemporaryFiles();
        }

        CFile Write(char const* name, std::string const& text)
        {
            std::filesystem::path const path = std::filesystem::temp_directory_path() / name;
            std::ofstream(path, std::ios::binary) << text;
            mFiles.push_back(path);
            return CFile(CString(path.c_str()));
        }

        static CString Bundle(char const* key, char const* name)
        {
            CString text;
            text.Format(CTextUtilities::GetBundleString(key).GetUTF8(), name);
            return text;
        }

        std::vector<CMapObject*> mObjects;
        std::vector<std::filesystem::path> mFiles;
    };

    constexpr char kOneWaypoint[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
  <wpt lat="57.70887" lon="11.97456"><name>Home</name></wpt>
</gpx>
)";

    TEST_F(DocumentData, AFileOfOneWaypointIsReadAndReportedAsOne)
    {
        CFile const file = Write("import-one.gpx", kOneWaypoint);
        EXPECT_TRUE(CDocumentImport::CanImport(file));
        ASSERT_EQ(CDocumentImport::ReadFile(file, mObjects), noErr);
        ASSERT_EQ(mObjects.size(), 1u);
        ASSERT_TRUE(mObjects[0]->IsType(kMapObjectWaypoint));
        EXPECT_NEAR(static_cast<CMapWaypoint*>(mObjects[0])->GetPosition().GetLatitude(), 57.70887, 1e-9);
        CString major, minor("left over");
        CDocumentImport::GetReport(noErr, file.GetDisplayName(), mObjects.size(), major, minor);
        EXPECT_EQ(major, Bundle("DocImport1", file.GetDisplayName().GetUTF8()));
        EXPECT_TRUE(minor.IsEmpty());
        CDocumentImport::GetReport(noErr, CString("a.gpx"), 0, major, minor);
        EXPECT_EQ(major, Bundle("DocImport0", "a.gpx"));
        CDocumentImport::GetReport(noErr, CString("a.gpx"), 7, major, minor);
        CString many;
        many.Format(CTextUtilities::GetBundleString("DocImportN").GetUTF8(), "a.gpx", 7L);
        EXPECT_EQ(major, many);
        EXPECT_NE(major.GetStdString().find('7'), std::string::npos);
    }

    TEST_F(DocumentData, FilesThatCannotBeReadSayWhyInWords)
    {
        CFile const notes = Write("import-notes.txt", "Shopping: milk, eggs\n");
        CFile const empty = Write("import-empty.gpx", "");
        CFile const locked = Write("import-locked.gpx", kOneWaypoint);
        std::filesystem::permissions(locked.GetPath(), std::filesystem::perms::none);
        bool const rootReadsAll = access(locked.GetPath().c_str(), R_OK) == 0;
        EXPECT_FALSE(CDocumentImport::CanImport(notes));
        struct Case {
            CFile file;
            OSStatus status;
            char const* reason;
        };
        for (Case const& item : { Case { notes, CDocumentImport::kNoParser, "DocImportErrorKind" },
                 Case { empty, eofErr, "DocImportErrorEmpty" }, Case { locked, permErr, "DocImportErrorAccess" } }) {
            if (item.status == permErr && rootReadsAll)
                continue;
            std::string const name = item.file.GetFileName().GetStdString();
            OSStatus const status = CDocumentImport::ReadFile(item.file, mObjects);
            EXPECT_EQ(status, item.status) << name;
            EXPECT_TRUE(mObjects.empty()) << name;
            CString major, minor;
            CDocumentImport::GetReport(status, CString(name.c_str()), 0, major, minor);
            EXPECT_EQ(major, Bundle("DocImportFailed", name.c_str()));
            EXPECT_EQ(minor, CTextUtilities::GetBundleString(item.reason)) << name;
            EXPECT_EQ(minor.GetStdString().find("error"), std::string::npos) << name << ": words, not a number";
        }
        std::filesystem::permissions(locked.GetPath(), std::filesystem::perms::owner_all);
    }

    TEST_F(DocumentData, HostileFilesAddNothingAndTellTheError)
    {
        std::string const cut = std::string(kOneWaypoint).substr(0, std::string(kOneWaypoint).find("<name>") + 8);
        std::string const entities = R"(<?xml version="1.0"?><!DOCTYPE gpx [<!ENTITY a "aaaaaaaaaa">
<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">]>
<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"><wpt lat="1" lon="2"><name>&c;</name></wpt></gpx>)";
        std::string const badNumbers = R"(<?xml version="1.0"?><gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="1" lon="2"><name>fine</name></wpt><wpt lat="nan" lon="1e999"><name>bad</name></wpt></gpx>)";
        for (auto const& [name, text] : { std::pair { "import-cut.gpx", cut }, std::pair { "import-bomb.gpx", entities },
                 std::pair { "import-numbers.gpx", badNumbers } }) {
            CFile const file = Write(name, text);
            OSStatus const status = CDocumentImport::ReadFile(file, mObjects);
            EXPECT_NE(status, noErr) << name;
            EXPECT_TRUE(mObjects.empty()) << name << ": nothing of a file that failed";
            CString major, minor;
            CDocumentImport::GetReport(status, CString(name), 0, major, minor);
            EXPECT_EQ(major, Bundle("DocImportFailed", name));
            // A file cut inside its first tag says nothing of its kind: no parser, no number.
            if (status == CDocumentImport::kNoParser)
                EXPECT_EQ(minor, CTextUtilities::GetBundleString("DocImportErrorKind")) << name;
            else
                EXPECT_NE(minor.GetStdString().find(std::to_string(status)), std::string::npos) << name;
        }
    }

    TEST_F(DocumentData, LinksCanBeImportedWhenTheyNameAPlace)
    {
        EXPECT_TRUE(CDocumentImport::CanImport(CString("tarnwick://view?lat=57.7&lon=11.9&zoom=12"), nullptr));
        EXPECT_TRUE(CDocumentImport::CanImport(CString("https://maps.google.com/?ll=57.7,11.9&z=12"), nullptr));
        EXPECT_FALSE(CDocumentImport::CanImport(CString("Meet at noon"), nullptr));
        EXPECT_FALSE(CDocumentImport::CanImport(CString("tarnwick://view?lat=nan&lon=11.9&zoom=12"), nullptr));
    }

    TEST_F(DocumentData, TheWebMapLinkReadsBackAsTheSameView)
    {
        CCoordinateRect const rect(CCoordinate(58.0, 11.0), CCoordinate(57.0, 13.0));
        CString const link = CViewExport::MakeWebMapLink(rect);
        ASSERT_FALSE(link.IsEmpty());
        EXPECT_NE(link.GetStdString().find("spn=1.000000,2.000000"), std::string::npos) << link.GetStdString();
        CCoordinate centre;
        unsigned long zoom = 0;
        ASSERT_EQ(CParserURL::ParseURL(link, nullptr, centre, zoom), noErr);
        EXPECT_NEAR(centre.GetLatitude(), rect.GetCentre().GetLatitude(), 1e-6);
        EXPECT_NEAR(centre.GetLongitude(), 12.0, 1e-6);
        EXPECT_FALSE(CViewExport::IsWebMapFormat(CString("%f %f %s %f")));
        EXPECT_FALSE(CViewExport::IsWebMapFormat(CString("%f %f %f")));
    }

    TEST_F(DocumentData, TheGlobeViewFileGoesToTheDesktopAndIsRemovedAtTheEnd)
    {
        OpenRecorder recorder;
        unsetenv("TW_GLOBE_VIEWER");
        auto* home = new CMapWaypoint;
        home->SetName("Home");
        home->SetPosition(CCoordinate(57.70887, 11.97456));
        mObjects.push_back(home);
        EXPECT_EQ(CViewExport::OpenInGlobeViewer(CCoordinate(57.7, 11.97), 1, mObjects), CViewExport::kDesktopHandler);
        std::string const log = recorder.WaitForLog();
        ASSERT_NE(log.find(".kml"), std::string::npos) << log;
        std::string path = log.substr(0, log.find('\n'));
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        std::ifstream in(path);
        std::string const text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("<range>24500000</range>"), std::string::npos) << text;
        EXPECT_NE(text.find("<name>Home</name>"), std::string::npos);
        CCoordinate centre;
        unsigned long zoom = 0;
        EXPECT_EQ(CParserURL::ParseURL(CString(text.c_str()), nullptr, centre, zoom), noErr);
        EXPECT_EQ(zoom, 1u);
        CExportKML::RemoveTemporaryFiles();
        EXPECT_FALSE(std::filesystem::exists(path));
    }

} // namespace
} // namespace tw::test
