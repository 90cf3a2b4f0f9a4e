#include "SheetTest.h"
#include "app/CSheetDocumentInfo.h"
#include "app/CSheetNote.h"
#include "app/CSheetTrack.h"
#include "app/CSheetWaypoint.h"
#include "foundation/CTextUtilities.h"
#include "model/CMapNote.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/databrowser/DataBrowserView.h"
#include "widgets/CPopupButton.h"

#include <cmath>
#include <set>

namespace tw::test {
namespace {

    using EditorSheet = SheetTest;

    // The text a list shows in one cell.
    std::string Cell(ControlRef browser, DataBrowserItemID item, DataBrowserPropertyID property)
    {
        toolbox::databrowser::ItemData data;
        if (toolbox::databrowser::FindDataBrowser(browser)->Model().GetData(item, property, data) != noErr)
            return "<none>";
        return cf::ToUTF8(data.text);
    }

    std::vector<DataBrowserItemID> Rows(ControlRef browser)
    {
        return toolbox::databrowser::FindDataBrowser(browser)->Model().Items(kDataBrowserItemAnyState);
    }

    TEST_F(EditorSheet, DocumentInfoShowsTheTextsWritesThemBackOnReturnAndKeepsThemOnEscape)
    {
        CDocumentInfo info;
        info.SetAuthor("Ann Example");
        info.SetDescription("Walks around the lake");
        CDocumentInfo result = info;
        for (UInt32 ending : { UInt32(kKeyReturn), UInt32(kKeyEscape) }) {
            SheetHost<CSheetDocumentInfo> host;
            CSheetDocumentInfo* sheet = host.Open();
            ASSERT_NE(sheet, nullptr);
            sheet->SetContent(info);
            host.OnComplete([&](CSheetDocumentInfo* done, UInt32 command) {
                if (command == 'ok  ')
                    result = done->GetContent();
            });
            WindowRef const window = host.GetSheetWindow();
            EXPECT_EQ(Text(window, 'auth'), "Ann Example");
            EXPECT_EQ(Text(window, 'desc'), "Walks around the lake");
            EXPECT_EQ(Focus(window), Find(window, 'auth'));
            if (ending == kKeyReturn)
                Shot("sheet-document-info.png");
            Retype("Bo Example");
            Key(kKeyTab, '\t');
            EXPECT_EQ(Focus(window), Find(window, 'desc'));
            InputDriver::Key(0, 'a', cmdKey);
            InputDriver::Type("Line one");
            Key(kKeyReturn, '\r'); // the description takes Return as a new line
            InputDriver::Type("line two");
            Run();
            EXPECT_TRUE(host.GetCompleted().empty());
            // Return in the author field presses OK; Escape presses Cancel.
            Key(kKeyTab, '\t');
            Key(ending, ending == kKeyReturn ? '\r' : 0x1B);
            ASSERT_EQ(host.GetCompleted().size(), 1u);
            EXPECT_EQ(host.GetSheet(), nullptr);
        }
        EXPECT_EQ(result.GetAuthor().GetStdString(), "Bo Example");
        EXPECT_EQ(result.GetDescription().GetStdString(), "Line one\nline two");
    }

    TEST_F(EditorSheet, NoteSheetEditsTheNotesTextAndIgnoresOtherObjects)
    {
        CMapNote note;
        note.SetDescription("Parking here");
        {
            SheetHost<CSheetNote> host;
            CSheetNote* sheet = host.Open();
            ASSERT_NE(sheet, nullptr);
            sheet->SetObject(&note);
            host.OnComplete([](CSheetNote* done, UInt32 command) {
                if (command == 'ok  ')
                    done->UpdateObject();
            });
            EXPECT_EQ(Text(host.GetSheetWindow(), 'note'), "Parking here");
            Shot("sheet-note.png");
            Retype("Parking is free");
            Key(kKeyEscape, 0x1B);
        }
        EXPECT_EQ(note.GetDescription().GetStdString(), "Parking here");
        {
            SheetHost<CSheetNote> host;
            CSheetNote* sheet = host.Open();
            sheet->SetObject(&note);
            host.OnComplete([](CSheetNote* done, UInt32 command) {
                if (command == 'ok  ')
                    done->UpdateObject();
            });
            Retype("Parking is free");
            Click(host.GetSheetWindow(), 'ok  ');
        }
        EXPECT_EQ(note.GetDescription().GetStdString(), "Parking is free");
        // A waypoint is no note: the sheet edits nothing.
        CMapWaypoint waypoint;
        waypoint.SetDescription("untouched");
        SheetHost<CSheetNote> host;
        CSheetNote* sheet = host.Open();
        sheet->SetObject(&waypoint);
        sheet->UpdateObject();
        EXPECT_EQ(waypoint.GetDescription().GetStdString(), "untouched");
    }

    void MakeTrack(CMapTrack& track, bool timed)
    {
        track.SetName("Morning run");
        std::vector<CCoordinatePVT> samples;
        for (int i = 0; i < 5; ++i) {
            CCoordinate const position(57.7 + i * 0.001, 11.97);
            samples.emplace_back(position, timed ? CDateTime(800000000.0 + i * 60) : CDateTime());
        }
        track.SetSamples(samples);
    }

    TEST_F(EditorSheet, TrackSheetShowsStatisticsAndPointsAndWritesOnlyTheName)
    {
        CMapTrack track;
        MakeTrack(track, true);
        ASSERT_TRUE(track.IsVelocityKnown());
        SheetHost<CSheetTrack> host;
        CSheetTrack* sheet = host.Open();
        ASSERT_NE(sheet, nullptr);
        sheet->SetObject(&track);
        host.OnComplete([](CSheetTrack* done, UInt32 command) {
            if (command == 'ok  ')
                done->UpdateObject();
        });
        WindowRef const window = host.GetSheetWindow();
        EXPECT_EQ(Text(window, 'name'), "Morning run");
        EXPECT_EQ(Text(window, 'time'), track.GetTime().GetStdString());
        EXPECT_EQ(Text(window, 'dist'), track.GetDistance().GetStdString());
        EXPECT_EQ(Text(window, 'samp'), "5");
        CMapManager const& manager = CMapObject::GetMapManager();
        EXPECT_EQ(
            Text(window, 'vavg'), manager.GetVelocityString(track.GetVelocityAvg(), kMapUnitsUser).GetStdString());
        EXPECT_EQ(
            Text(window, 'vmax'), manager.GetVelocityString(track.GetVelocityMax(), kMapUnitsUser).GetStdString());

        // One row per sample, in sample order, with the sample's own texts.
        ControlRef const list = Find(window, 'trak');
        std::vector<DataBrowserItemID> const rows = Rows(list);
        ASSERT_EQ(rows.size(), 5u);
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i], reinterpret_cast<DataBrowserItemID>(&track.GetSamples()[i]));
        CCoordinatePVT const& third = track.GetSamples()[2];
        EXPECT_EQ(Cell(list, rows[2], 'plat'), third.GetLatitudeString().GetStdString());
        EXPECT_EQ(
            Cell(list, rows[2], 'time'), manager.GetTimeString(third.GetTime(), kDateFormatDateTime).GetStdString());
        double speed = 0;
        third.GetVelocity(&speed);
        std::string const metric = Cell(list, rows[2], 'vel ');
        EXPECT_EQ(metric, manager.GetVelocityString(speed, kMapUnitsMetric).GetStdString());
        EXPECT_EQ(Cell(list, rows[2], 'name'), "<none>");
        Shot("sheet-track.png");
        // The list follows the units at once; only the name is written back.
        ProbeWindow(window);
        ASSERT_FALSE(window->NeedsUpdate());
        Prefs().SetInteger("MapUnits", kMapUnitsImperial);
        EXPECT_TRUE(window->NeedsUpdate());
        EXPECT_EQ(Cell(list, rows[2], 'vel '), manager.GetVelocityString(speed, kMapUnitsImperial).GetStdString());
        EXPECT_NE(Cell(list, rows[2], 'vel '), metric);
        Retype("Evening run");
        Key(kKeyReturn, '\r');
        EXPECT_EQ(track.GetName().GetStdString(), "Evening run");
        EXPECT_EQ(track.GetSamples().size(), 5u);
    }

    TEST_F(EditorSheet, TrackWithoutTimesShowsUnknownSpeedsEverywhere)
    {
        CMapTrack track;
        MakeTrack(track, false);
        ASSERT_FALSE(track.IsVelocityKnown());
        SheetHost<CSheetTrack> host;
        CSheetTrack* sheet = host.Open();
        sheet->SetObject(&track);
        WindowRef const window = host.GetSheetWindow();
        std::string const unknown = CTextUtilities::GetBundleString("UnknownVelocity").GetStdString();
        EXPECT_NE(unknown, "UnknownVelocity");
        for (OSType id : { 'vmin', 'vmax', 'vavg' })
            EXPECT_EQ(Text(window, id), unknown);
        ControlRef const list = Find(window, 'trak');
        std::vector<DataBrowserItemID> const rows = Rows(list);
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(Cell(list, rows[0], 'vel '), unknown);
        EXPECT_EQ(Cell(list, rows[0], 'time'), CTextUtilities::GetBundleString("UnknownTime").GetStdString());
    }

    TEST_F(EditorSheet, ATrackWhoseTimeIsUnknownShowsNoPointsTime)
    {
        // Timed points but one without a time: the track's time is unknown, and so is every point's.
        CMapTrack track;
        MakeTrack(track, true);
        std::vector<CCoordinatePVT> samples = track.GetSamples();
        samples.back() = CCoordinatePVT(samples.back(), CDateTime());
        track.SetSamples(samples);
        ASSERT_FALSE(track.IsTimeKnown());
        SheetHost<CSheetTrack> host;
        host.Open()->SetObject(&track);
        ControlRef const list = Find(host.GetSheetWindow(), 'trak');
        std::vector<DataBrowserItemID> const rows = Rows(list);
        ASSERT_EQ(rows.size(), 5u);
        std::string const unknown = CTextUtilities::GetBundleString("UnknownTime").GetStdString();
        for (DataBrowserItemID row : rows)
            EXPECT_EQ(Cell(list, row, 'time'), unknown);
    }

    // --- The waypoint sheet -------------------------------------------------------------------

    class WaypointSheet : public SheetTest {
    protected:
        void SetUp() override
        {
            SheetTest::SetUp();
            mWaypoint.SetName("Cairn");
            mWaypoint.SetDescription("On the ridge");
            mWaypoint.SetPosition(CCoordinate(57.5, -4.25, 120));
            mWaypoint.SetSymbol('summ');
            mWaypoint.SetOptions(kWaypointShowComment);
        }
        CSheetWaypoint* Open(SheetHost<CSheetWaypoint>& host)
        {
            CSheetWaypoint* sheet = host.Open();
            EXPECT_NE(sheet, nullptr);
            if (!sheet)
                return nullptr;
            sheet->SetObject(&mWaypoint);
            host.OnComplete([](CSheetWaypoint* done, UInt32 command) {
                if (command == 'ok  ')
                    done->UpdateObject();
            });
            return sheet;
        }
        void Expect(char const* name, double latitude, double longitude, GPSWaypointSymbol symbol)
        {
            EXPECT_EQ(mWaypoint.GetName().GetStdString(), name);
            EXPECT_DOUBLE_EQ(mWaypoint.GetPosition().GetLatitude(), latitude);
            EXPECT_DOUBLE_EQ(mWaypoint.GetPosition().GetLongitude(), longitude);
            EXPECT_EQ(mWaypoint.GetSymbol(), symbol);
        }
        CMapWaypoint mWaypoint;
    };

    TEST_F(WaypointSheet, TheSymbolMenuHasSevenSectionsOfPicturedSymbols)
    {
        SheetHost<CSheetWaypoint> host;
        ASSERT_NE(Open(host), nullptr);
        auto* popup = CPopupButton::Find(host.GetSheet(), 'symb', 0);
        ASSERT_NE(popup, nullptr);
        toolbox::Menu* menu = toolbox::LiveMenu(popup->GetMenu());
        ASSERT_EQ(menu->Count(), 73u);
        EXPECT_EQ(popup->GetMaximumValue(), 73);
        std::vector<std::string> headers;
        std::set<GPSWaypointSymbol> codes;
        for (MenuItemIndex i = 1; i <= 73; ++i) {
            toolbox::MenuItem const* item = menu->Item(i);
            CSheetWaypoint::SymbolRow const& row = CSheetWaypoint::kSymbolTable[i - 1];
            std::string const text = cf::ToUTF8(item->text);
            EXPECT_NE(text, row.key) << "no text in the bundle for " << row.key;
            if (row.code == CSheetWaypoint::kSymbolHeader) {
                headers.push_back(text);
                EXPECT_TRUE(item->IsSectionHeader());
                EXPECT_EQ(item->icon, nullptr);
                EXPECT_EQ(item->indent, 0u);
                continue;
            }
            EXPECT_FALSE(item->IsSectionHeader()) << text;
            EXPECT_TRUE(codes.insert(row.code).second) << "a symbol twice: " << text;
            // The picture is the map's own 16-pixel image of that symbol, and is in the bundle.
            EXPECT_EQ(toolbox::Theme::MenuItemImage(*item), mManager->GetSymbolImage(row.code, kSymbolSizeSmall));
            EXPECT_NE(item->icon, nullptr) << text;
            EXPECT_EQ(item->indent, 1u);
            EXPECT_TRUE(std::filesystem::exists(
                std::filesystem::path(TW_BUNDLE_DIR) / "Contents/Resources/Symbols/16" / row.image))
                << row.image;
            EXPECT_TRUE(CMapWaypoint::IsKnownSymbol(row.code)) << text;
        }
        EXPECT_EQ(headers,
            (std::vector<std::string> {
                "Markers", "Navigation Aids", "Marine", "Transport", "Outdoors", "Places", "Worship" }));
        EXPECT_EQ(codes.size(), 66u);
        EXPECT_EQ(CSheetWaypoint::kSymbolTable[73].code, 0u);
        // The current symbol is chosen; unknown codes and the header code choose "wayp".
        EXPECT_EQ(popup->GetCurrentValue(), 53); // Summit
        EXPECT_EQ(CSheetWaypoint::GetSymbolMenuItem('summ'), 53u);
        EXPECT_EQ(CSheetWaypoint::GetSymbolMenuItem('syna'), 73u);
        EXPECT_EQ(CSheetWaypoint::GetSymbolMenuItem('zzzz'), 2u);
        EXPECT_EQ(CSheetWaypoint::GetSymbolMenuItem(CSheetWaypoint::kSymbolHeader), 2u);
        Shot("sheet-waypoint.png");
        // Opened from the keyboard, the menu shows the current symbol, its section and pictures.
        WindowRef const window = host.GetSheetWindow();
        SetKeyboardFocus(window, Find(window, 'symb'), kControlFocusNextPart);
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), 0.05, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                ASSERT_EQ(toolbox::MenuBar::Open().size(), 1u);
                EXPECT_EQ(toolbox::MenuBar::Open()[0].highlighted, 53);
                Shot("sheet-waypoint-symbols.png");
                InputDriver::Key(kKeyEscape, 0x1B);
            },
            nullptr, &timer);
        Key(kKeySpace, ' ');
        Run(0.5);
        EXPECT_TRUE(toolbox::MenuBar::Open().empty());
        EXPECT_EQ(popup->GetCurrentValue(), 53);
    }

    TEST_F(WaypointSheet, ShowsTheWaypointAndWritesEveryValueBackOnOK)
    {
        SheetHost<CSheetWaypoint> host;
        ASSERT_NE(Open(host), nullptr);
        WindowRef const window = host.GetSheetWindow();
        EXPECT_EQ(Text(window, 'name'), "Cairn");
        EXPECT_EQ(Text(window, 'desc'), "On the ridge");
        EXPECT_EQ(Text(window, 'plat'), mWaypoint.GetPosition().GetLatitudeString().GetStdString());
        EXPECT_EQ(Text(window, 'plon'), mWaypoint.GetPosition().GetLongitudeString().GetStdString());
        EXPECT_EQ(GetControl32BitValue(Find(window, 'optn')), 3);
        // By the keyboard: name, description, latitude, longitude, then the two popups.
        Retype("Summit cairn");
        Key(kKeyTab, '\t');
        Key(kKeyTab, '\t');
        EXPECT_EQ(Focus(window), Find(window, 'plat'));
        Retype("57 30.6 N");
        Key(kKeyTab, '\t');
        Retype("4.5 W");
        Key(kKeyTab, '\t');
        EXPECT_EQ(Focus(window), Find(window, 'symb'));
        Choose(window, 'symb', 73); // Synagogue, at the foot of the menu
        Choose(window, 'optn', 1);
        Key(kKeyTab, '\t');
        Key(kKeyTab, '\t');
        Key(kKeyReturn, '\r');
        ASSERT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'ok  ' }));
        Expect("Summit cairn", 57.51, -4.5, 'syna');
        EXPECT_EQ(mWaypoint.GetOptions(), kWaypointShowSymbol);
        EXPECT_DOUBLE_EQ(mWaypoint.GetPosition().GetAltitude(), 120);
    }

    TEST_F(WaypointSheet, CancelChangesNothing)
    {
        SheetHost<CSheetWaypoint> host;
        ASSERT_NE(Open(host), nullptr);
        Retype("Other");
        Key(kKeyTab, '\t');
        Key(kKeyTab, '\t');
        Retype("10");
        Choose(host.GetSheetWindow(), 'symb', 5);
        Key(kKeyEscape, 0x1B);
        ASSERT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'not!' }));
        Expect("Cairn", 57.5, -4.25, 'summ');
        EXPECT_EQ(mWaypoint.GetOptions(), kWaypointShowComment);
    }

    TEST_F(WaypointSheet, BadCoordinateTextIsRefusedWithTheFieldKeptAndNothingStored)
    {
        SheetHost<CSheetWaypoint> host;
        ASSERT_NE(Open(host), nullptr);
        WindowRef const window = host.GetSheetWindow();
        Retype("Renamed");
        int beeps = 0;
        for (auto const& [field, text] : std::vector<std::pair<OSType, std::string>> { { 'plat', "north" },
                 { 'plat', "NaN" }, { 'plat', "1e400" }, { 'plat', "95" }, { 'plat', "" }, { 'plon', "181 E" },
                 { 'plon', "inf" }, { 'plon', "1e400" }, { 'plon', "12°x" } }) {
            SCOPED_TRACE(text);
            SetKeyboardFocus(window, Find(window, field), kControlFocusNextPart);
            Retype(text);
            SetKeyboardFocus(window, Find(window, 'name'), kControlFocusNextPart);
            Key(kKeyReturn, '\r');
            EXPECT_TRUE(host.GetCompleted().empty()) << "OK was taken";
            EXPECT_EQ(toolbox::Beeper::Count(), UInt32(++beeps));
            EXPECT_EQ(Focus(window), Find(window, field)) << "the bad field is not chosen again";
            EXPECT_EQ(Text(window, field), text);
            Expect("Cairn", 57.5, -4.25, 'summ');
            // Put the field right again for the next case.
            Retype(field == 'plat' ? "57.5" : "-4.25");
        }
        // Good text goes through.
        SetKeyboardFocus(window, Find(window, 'plat'), kControlFocusNextPart);
        Retype("-33.8568");
        Key(kKeyReturn, '\r');
        EXPECT_EQ(host.GetCompleted(), (std::vector<UInt32> { 'ok  ' }));
        Expect("Renamed", -33.8568, -4.25, 'summ');
    }

    TEST_F(WaypointSheet, TheCoordinateFormatChangesTheFieldsAtOnceKeepingWhatWasTyped)
    {
        SheetHost<CSheetWaypoint> host;
        ASSERT_NE(Open(host), nullptr);
        WindowRef const window = host.GetSheetWindow();
        SetKeyboardFocus(window, Find(window, 'plat'), kControlFocusNextPart);
        Retype("57.75");
        Prefs().SetInteger("MapCoordinates", kMapCoordinatesDegreesMinutes);
        Run();
        CCoordinate typed(57.75, -4.25);
        EXPECT_EQ(Text(window, 'plat'), typed.GetLatitudeString().GetStdString());
        EXPECT_EQ(Text(window, 'plon'), typed.GetLongitudeString().GetStdString());
        EXPECT_NE(Text(window, 'plat'), "57.75");
        EXPECT_NE(Text(window, 'plat').find("45"), std::string::npos); // 57° 45' N
        // Text that does not read shows the waypoint's own value in the new format.
        Retype("rubbish");
        Prefs().SetInteger("MapCoordinates", kMapCoordinatesDegreesMinutesSeconds);
        Run();
        EXPECT_EQ(Text(window, 'plat'), mWaypoint.GetPosition().GetLatitudeString().GetStdString());
        EXPECT_DOUBLE_EQ(mWaypoint.GetPosition().GetLatitude(), 57.5); // nothing stored before OK
    }

    TEST_F(WaypointSheet, UnknownSymbolIsSavedAsTheWaypointSymbolButAnUnknownOptionIsKept)
    {
        mWaypoint.SetSymbol('zzzz');
        mWaypoint.SetOptions('oddd');
        SheetHost<CSheetWaypoint> host;
        ASSERT_NE(Open(host), nullptr);
        WindowRef const window = host.GetSheetWindow();
        EXPECT_EQ(GetControl32BitValue(Find(window, 'symb')), 2);
        EXPECT_EQ(GetControl32BitValue(Find(window, 'optn')), 2);
        Key(kKeyReturn, '\r');
        EXPECT_EQ(mWaypoint.GetSymbol(), kWaypointSymbolDefault);
        EXPECT_EQ(mWaypoint.GetOptions(), UInt32('oddd'));
    }

} // namespace
} // namespace tw::test
