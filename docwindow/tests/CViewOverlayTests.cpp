// The overlay over the map: the scale bar's round values and lengths in both unit
// systems, the fading zoom slider of the Command-wheel, and drops of files and links.
#include "docwindow/CMapPrint.h"
#include "docwindow/CViewOverlay.h"
#include "framework/CPrintDialog.h"
#include "docwindow/IOverlayDocument.h"
#include "docwindow/tests/MapViewTest.h"
#include "toolbox/DragCalls.h"
#include "mapdata/CMapUnitText.h"

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

namespace tw::test {
namespace {

    // The document as the overlay sees it: it notes what was imported, in order.
    class OverlayDocument : public TestDocument, public IOverlayDocument {
    public:
        CViewOverlay* GetOverlayView() const override { return mOverlay; }
        CViewMap* GetMapView() const override { return mMap; }
        bool HasSheet() const override { return mSheet; }
        bool CanImport(CFile const& file) const override
        {
            return file.GetFileName().GetStdString().ends_with(".gpx");
        }
        bool CanImport(CString const& text) const override { return text.GetStdString().starts_with("tarnwick:"); }
        void ImportData(CFile const& file) override { mImported.push_back("file " + file.GetFileName().GetStdString()); }
        void ImportData(CString const& text) override { mImported.push_back("link " + text.GetStdString()); }

        CViewOverlay* mOverlay = nullptr;
        CViewMap* mMap = nullptr;
        bool mSheet = false;
        std::vector<std::string> mImported;
    };

    // Metres one pixel spans along a parallel of the ellipsoid at a level.
    double ParallelMetresPerPixel(double latitude, unsigned long level)
    {
        constexpr double a = 6378137, e2 = 0.0066943799901413165;
        double const phi = latitude * M_PI / 180;
        double const circle = 2 * M_PI * a * std::cos(phi) / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
        return circle / (256 * std::pow(2.0, double(level)));
    }

    class OverlayTest : public MapViewTest {
    protected:
        void SetUp() override
        {
            MapViewTest::SetUp();
            mApp->GetPreferences().RemovePref("MapUnits");
            // Over the scroll view, less its bars, as the document window lays it.
            CGRect const frame = CGRectMake(0, 0, 655 - kScrollBar, 415 - kScrollBar);
            CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
            init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
            HIObjectRef object = nullptr;
            ASSERT_EQ(HIObjectCreate(CFSTR("com.tarnwick.hiview.overlay"), init.GetEvent(), &object), noErr);
            HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(object));
            CFRelease(object);
            mOverlay = dynamic_cast<CViewOverlay*>(CHIObject::GetHIObject(object));
            ASSERT_NE(mOverlay, nullptr);
            // As every window of the program has it: drops reach the view under them.
            SetAutomaticControlDragTrackingEnabledForWindow(mWindow, true);
            mDoc.mOverlay = mOverlay;
            mDoc.mMap = mView;
            mView->SetDocument(&mDoc);
            mOverlay->SetDocument(&mDoc);
            ManualClock::RunFor(0.1);
        }

        void TearDown() override
        {
            mView->SetDocument(nullptr);
            for (std::string const& path : mFiles)
                std::filesystem::remove(path);
            MapViewTest::TearDown();
        }

        CString Distance(double metres, MapUnits units) { return CMapUnitText::GetDistanceString(metres, units); }

        CGPoint OverlayInWindow(CGPoint point) const
        {
            HIViewConvertPoint(&point, mOverlay->GetHIViewRef(), nullptr);
            return point;
        }
        // A point of the overlay on the screen.
        CGPoint OverlayOnScreen(CGPoint point) const
        {
            HIViewConvertPoint(&point, mOverlay->GetHIViewRef(), nullptr);
            Rect structure {};
            GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
            return { point.x + structure.left, point.y + structure.top };
        }

        void Drop(std::vector<std::string> const& files, std::string const& text, UInt32 modifiers = 0)
        {
            display::InputEvent input = InputDriver::Make(
                files.empty() ? display::InputKind::DropText : display::InputKind::DropFiles,
                OverlayOnScreen({ 300, 200 }), modifiers);
            input.files = files;
            input.text = text;
            // Keys held for a drop are down before it comes.
            InputDriver::Post(InputDriver::Make(display::InputKind::ModifiersChanged, {}, modifiers));
            InputDriver::Post(input);
            InputDriver::Post(InputDriver::Make(display::InputKind::ModifiersChanged, {}, 0));
            ManualClock::RunFor(0.05);
        }

        std::string WriteFile(char const* name)
        {
            std::string const path = (std::filesystem::temp_directory_path() / name).string();
            std::ofstream(path) << "<gpx/>";
            mFiles.push_back(path);
            return path;
        }

        OverlayDocument mDoc;
        CViewOverlay* mOverlay = nullptr;
        std::vector<std::string> mFiles;
    };

    TEST(OverlayScale, RoundValuesGiveBarsOfEightyPixelsOrMore)
    {
        // The whole world over 256 pixels: 10,000 km would be under 80 pixels.
        CViewOverlay::Scale scale = CViewOverlay::ChooseScale(20003931.0 / 128, false);
        EXPECT_EQ(scale.metres, 20000000);
        EXPECT_EQ(scale.length, 127);
        scale = CViewOverlay::ChooseScale(0.1, false);
        EXPECT_EQ(scale.metres, 10);
        EXPECT_EQ(scale.length, 100);
        scale = CViewOverlay::ChooseScale(12.4, false);
        EXPECT_EQ(scale.metres, 1000) << "500 m would be 40 pixels";
        EXPECT_EQ(scale.length, 80);
        // Beyond the table the last value is used, however short its bar.
        scale = CViewOverlay::ChooseScale(1e7, false);
        EXPECT_EQ(scale.metres, 50000000);
        EXPECT_EQ(scale.length, 5);
    }

    TEST(OverlayScale, ImperialBarsAreHalvedBelowOneHundredAndSixtyPixels)
    {
        // One mile spans 400 pixels: halved twice, the bar is a quarter mile.
        CViewOverlay::Scale scale = CViewOverlay::ChooseScale(1.0 / 400, true);
        EXPECT_EQ(scale.length, 100);
        EXPECT_EQ(CMapUnitText::GetDistanceString(scale.metres, kMapUnitsImperial), CString("1,320 feet"));
        // Not halved: the label names the whole miles.
        scale = CViewOverlay::ChooseScale(1.0 / 100, true);
        EXPECT_EQ(scale.length, 100);
        EXPECT_EQ(CMapUnitText::GetDistanceString(scale.metres, kMapUnitsImperial), CString("1 mile"));
        // 2 miles over 200 pixels become 1 mile over 100.
        scale = CViewOverlay::ChooseScale(2.0 / 200, true);
        EXPECT_EQ(scale.length, 100);
        EXPECT_EQ(CMapUnitText::GetDistanceString(scale.metres, kMapUnitsImperial), CString("1 mile"));
    }

    TEST(OverlayScale, NothingMeasurableStillGivesAWholeBar)
    {
        for (double perPixel : { 0.0, -3.0, double(NAN), double(INFINITY) }) {
            CViewOverlay::Scale const scale = CViewOverlay::ChooseScale(perPixel, false);
            EXPECT_EQ(scale.length, 100) << perPixel << " reads as one metre a pixel";
            EXPECT_EQ(scale.metres, 100);
        }
        EXPECT_EQ(CViewOverlay::GetMetresPerPixel(nullptr), 0);
    }

    TEST_F(OverlayTest, TheBarFollowsTheMapAtEveryLevelAndLatitude)
    {
        struct Case {
            CCoordinate centre;
            unsigned long level;
            double expectedMetres; // the round value
        };
        Case const cases[] = {
            { CCoordinate(0, 10), 5, 500000 },
            { kGoteborg, 12, 2000 },
            { CCoordinate(60, 10), 8, 50000 },
            { kOttawa, 16, 200 },
        };
        for (Case const& c : cases) {
            Show(c.centre, c.level);
            CCoordinate const centre = mView->GetMapCentre();
            double const perPixel = ParallelMetresPerPixel(centre.GetLatitude(), c.level);
            CGRect const bar = mOverlay->GetScaleBounds();
            EXPECT_EQ(mOverlay->GetScaleText(), Distance(c.expectedMetres, kMapUnitsMetric)) << c.level;
            EXPECT_NEAR(bar.size.width, c.expectedMetres / perPixel, 2) << c.level;
            EXPECT_GE(bar.size.width, CViewOverlay::kScaleMinimum);
            EXPECT_EQ(bar.origin.x, 8);
            EXPECT_EQ(bar.origin.y, mOverlay->GetBounds().size.height - 21);
            EXPECT_EQ(bar.size.height, 13);
        }
    }

    TEST_F(OverlayTest, TheWholeWorldIsMeasuredOverHalfItsWidth)
    {
        Show(kEurope, 0); // the 256-pixel world sits in a wider view
        EXPECT_EQ(mOverlay->GetScaleText(), Distance(20000000, kMapUnitsMetric));
        EXPECT_EQ(mOverlay->GetScaleBounds().size.width, 127);
        // At level 1 the view shows more than half the world: still not the short way round.
        Show(CCoordinate(0, 0), 1);
        double const perPixel = CViewOverlay::GetMetresPerPixel(mView);
        EXPECT_NEAR(perPixel, ParallelMetresPerPixel(0, 1), ParallelMetresPerPixel(0, 1) * 0.01);
    }

    TEST_F(OverlayTest, ImperialUnitsFollowThePreference)
    {
        Show(CCoordinate(0, 10), 5);
        EXPECT_EQ(mOverlay->GetScaleText(), Distance(500000, kMapUnitsMetric));
        mApp->GetPreferences().SetInteger("MapUnits", kMapUnitsImperial);
        // 500 miles would be about 164 pixels: halved, the bar stands for 250 miles.
        double const milesPerPixel = ParallelMetresPerPixel(0, 5) / CViewOverlay::kMetresPerMile;
        EXPECT_EQ(mOverlay->GetScaleText(), CString("250 miles"));
        EXPECT_NEAR(mOverlay->GetScaleBounds().size.width, 250 / milesPerPixel, 2);
        mApp->GetPreferences().SetInteger("MapUnits", kMapUnitsMetric);
        EXPECT_EQ(mOverlay->GetScaleText(), Distance(500000, kMapUnitsMetric));
    }

    TEST_F(OverlayTest, TheBarIsRecomputedWhenTheMapMoves)
    {
        Show(CCoordinate(0, 10), 5);
        CString const equator = mOverlay->GetScaleText();
        mView->SetMapCentre(CCoordinate(70, 10)); // parallels shrink to a third
        EXPECT_NE(mOverlay->GetScaleText(), equator);
        EXPECT_EQ(mOverlay->GetScaleText(), Distance(200000, kMapUnitsMetric));
    }

    // A window made taller moves the bar to the new bottom edge without waiting for a zoom.
    TEST_F(OverlayTest, TheBarFollowsTheWindowWhenItIsResized)
    {
        Show(CCoordinate(0, 10), 5);
        CGRect const before = mOverlay->GetScaleBounds();
        CGRect frame = mOverlay->GetFrame();
        frame.size.height += 120;
        mOverlay->SetFrame(frame);
        EXPECT_EQ(mOverlay->GetScaleBounds().origin.y, before.origin.y + 120);
    }

    TEST_F(OverlayTest, TheSliderFadesInAndOutInFourTicks)
    {
        mOverlay->SetZoomVisible(true);
        std::vector<float> alphas;
        for (int tick = 0; tick < 5; ++tick) {
            ManualClock::RunFor(CViewOverlay::kFadeInterval);
            alphas.push_back(mOverlay->GetZoomAlpha());
        }
        EXPECT_EQ(alphas, (std::vector<float> { 0.5f, 0.75f, 1.0f, 1.0f, 1.0f }))
            << "the first step comes at once, the fourth 0.09 s later";
        EXPECT_FALSE(mOverlay->IsInstalled()) << "the timer ends at full opacity";

        mOverlay->SetZoomVisible(false);
        ManualClock::RunFor(0);
        EXPECT_EQ(mOverlay->GetZoomAlpha(), 0.75f);
        ManualClock::RunFor(2 * CViewOverlay::kFadeInterval);
        EXPECT_EQ(mOverlay->GetZoomAlpha(), 0.25f);
        EXPECT_TRUE(mOverlay->IsInstalled());
        ManualClock::RunFor(CViewOverlay::kFadeInterval);
        EXPECT_EQ(mOverlay->GetZoomAlpha(), 0.0f);
        EXPECT_FALSE(mOverlay->IsInstalled());
    }

    TEST_F(OverlayTest, TheCommandWheelShowsTheSliderAtTheLevelItChooses)
    {
        Show(kEurope, 5);
        CGPoint const middle = CGPointMake(CGRectGetMidX(mView->GetVisibleContent()),
            CGRectGetMidY(mView->GetVisibleContent()));
        auto wheel = [&](double lines, UInt32 modifiers) {
            display::InputEvent input = InputDriver::Make(display::InputKind::Wheel, Screen(middle), modifiers);
            input.wheelY = lines;
            InputDriver::Post(input);
            ManualClock::RunFor(0.05);
        };
        wheel(1, cmdKey);
        EXPECT_TRUE(mOverlay->IsZoomVisible());
        EXPECT_EQ(mOverlay->GetZoomLevel(), 5u);
        wheel(3, cmdKey);
        EXPECT_EQ(mOverlay->GetZoomLevel(), 8u);
        ManualClock::RunFor(0.2);
        EXPECT_EQ(mOverlay->GetZoomAlpha(), 1.0f);
        InputDriver::Post(InputDriver::Make(display::InputKind::ModifiersChanged, {}, 0));
        ManualClock::RunFor(0.2);
        EXPECT_FALSE(mOverlay->IsZoomVisible());
        EXPECT_EQ(mOverlay->GetZoomAlpha(), 0.0f);
        EXPECT_EQ(mView->GetMapZoom(), 8u);
    }

    TEST_F(OverlayTest, SliderShapesGrowWithTheLevelAcrossTheBar)
    {
        CGRect const bounds = CGRectMake(0, 0, 640, 400);
        CGRect const first = CViewOverlay::GetZoomShape(bounds, CViewOverlay::kZoomBoundsTick, 0);
        CGRect const last = CViewOverlay::GetZoomShape(bounds, CViewOverlay::kZoomBoundsTick, 17);
        // The bezel is centred, 30 pixels over the bottom; the bar is centred in it.
        EXPECT_DOUBLE_EQ(first.origin.x, (640 - 350) / 2.0 - 3);
        EXPECT_DOUBLE_EQ(last.origin.x, (640 + 350) / 2.0 - 3);
        EXPECT_DOUBLE_EQ(first.size.height, 26);
        EXPECT_DOUBLE_EQ(last.size.height, 26 + 1.5 * 17);
        EXPECT_DOUBLE_EQ(CGRectGetMidY(first), CGRectGetMidY(last)) << "ticks grow about the bar";
        EXPECT_DOUBLE_EQ(CGRectGetMidY(first), 400 - 30 - 40);
    }

    TEST_F(OverlayTest, TheBarAndTheSliderAreDrawnOverTheMap)
    {
        Show(CCoordinate(0, 10), 5);
        ASSERT_TRUE(Settle());
        CGRect const bar = mOverlay->GetScaleBounds();
        PixelProbe probe = ProbeWindow(mWindow);
        CGPoint const top = OverlayInWindow(CGPointMake(CGRectGetMidX(bar) - 20, bar.origin.y));
        Pixel const stroke = probe.At(int(top.x), int(top.y));
        EXPECT_LT(stroke.r + stroke.g + stroke.b, 100) << "the bar's top edge is dark";

        mOverlay->SetZoomVisible(true);
        ManualClock::RunFor(0.2);
        ASSERT_TRUE(Settle());
        probe = ProbeWindow(mWindow);
        CGRect const bounds = mOverlay->GetBounds();
        CGRect const thumb = CViewOverlay::GetZoomShape(bounds, CViewOverlay::kZoomBoundsThumb, 0);
        CGPoint const middle = OverlayInWindow(CGPointMake(CGRectGetMidX(thumb), CGRectGetMidY(thumb)));
        Pixel const grey = probe.At(int(middle.x), int(middle.y));
        EXPECT_NEAR(grey.r, 102, 6) << "the thumb's grey";
        EXPECT_NEAR(grey.g, 102, 6);
        char const* folder = std::getenv("TW_SCREENSHOT_DIR");
        std::string const shot
            = ((folder ? std::filesystem::path(folder) : std::filesystem::temp_directory_path()) / "overlay-slider.png")
                  .string();
        EXPECT_EQ(cairo_surface_write_to_png(mWindow->GetBackingStore(), shot.c_str()), CAIRO_STATUS_SUCCESS);
    }

    TEST_F(OverlayTest, DropsImportFilesThenOpenLinks)
    {
        std::string const gpx = WriteFile("overlay-drop.gpx");
        Drop({ gpx }, "tarnwick://view?lat=1&lon=2&zoom=3");
        EXPECT_EQ(mDoc.mImported,
            (std::vector<std::string> { "file overlay-drop.gpx", "link tarnwick://view?lat=1&lon=2&zoom=3" }));
        EXPECT_FALSE(mOverlay->IsDropHighlighted()) << "the highlight goes with the drop";
    }

    TEST_F(OverlayTest, DropsAreRefusedWhileASheetIsOpenOrNothingCanBeImported)
    {
        std::string const gpx = WriteFile("overlay-sheet.gpx");
        mDoc.mSheet = true;
        Drop({ gpx }, "");
        EXPECT_TRUE(mDoc.mImported.empty()) << "a sheet is open";
        mDoc.mSheet = false;
        std::string const text = WriteFile("overlay-notes.txt");
        Drop({ text }, "");
        EXPECT_TRUE(mDoc.mImported.empty()) << "nothing in it can be imported";
        // Command and Option take it anyway; what is in it is still offered.
        Drop({ text }, "", cmdKey | optionKey);
        EXPECT_EQ(mDoc.mImported, (std::vector<std::string> { "file overlay-notes.txt" }));
    }

    TEST_F(OverlayTest, ClicksPassThroughToTheMap)
    {
        Show(kEurope, 5);
        HIViewRef hit = nullptr;
        CGPoint point = CGPointMake(300, 200);
        HIViewConvertPoint(&point, mOverlay->GetHIViewRef(), mContent);
        HIViewGetSubviewHit(mContent, &point, true, &hit);
        EXPECT_NE(hit, mOverlay->GetHIViewRef());
    }

    // What a command printed; nullopt when it failed or could not run.
    std::optional<std::string> PrintToolOutput(std::string const& command)
    {
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return std::nullopt;
        std::string out;
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        return pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
    }

    // The map fills the page between the bands on paper of either orientation: the part of the
    // map printed grows about the middle of the visible part to the page's proportions.
    // The map of the fixture printed on one page of the dialog's session into a PDF file.
    void PrintToFile(CPrintDialog& dialog, std::filesystem::path const& pdf, CViewMap* map, CViewOverlay* overlay)
    {
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<UInt8 const*>(pdf.c_str()), CFIndex(pdf.string().size()), false);
        ASSERT_EQ(PMSessionSetDestination(dialog.GetPrintSession(), dialog.GetPrintSettings(), kPMDestinationFile,
                      nullptr, url),
            noErr);
        CFRelease(url);
        PMPrintSession const session = dialog.GetPrintSession();
        ASSERT_EQ(PMSessionBeginCGDocument(session, dialog.GetPrintSettings(), dialog.GetPageFormat()), noErr);
        ASSERT_EQ(PMSessionBeginPage(session, dialog.GetPageFormat(), nullptr), noErr);
        CCarbonEvent draw = dialog.GetPrintDrawEvent();
        EXPECT_EQ(CMapPrint::PrintPage(draw, map, overlay, CString("Trip")), noErr);
        ASSERT_EQ(PMSessionEndPage(session), noErr);
        ASSERT_EQ(PMSessionEndDocument(session), noErr);
    }

    TEST(MapPrintLayout, TheMapFillsThePageBetweenTheBands)
    {
        for (CGRect const page : { CGRectMake(0, 0, 540, 720), CGRectMake(0, 0, 720, 540) }) {
            for (CGSize const visible : { CGSizeMake(800, 400), CGSizeMake(100, 1000), CGSizeMake(512, 512) }) {
                CGRect const m = CMapPrint::GetMapRect(page, visible);
                EXPECT_DOUBLE_EQ(m.origin.x, 0);
                EXPECT_DOUBLE_EQ(m.size.width, page.size.width) << "the whole printable width";
                EXPECT_DOUBLE_EQ(m.origin.y, CMapPrint::kBand);
                EXPECT_DOUBLE_EQ(m.size.height, page.size.height - 2 * CMapPrint::kBand);
                CGRect const shown = CGRectMake(1000, 2000, visible.width, visible.height);
                CGRect const printed = CMapPrint::GetPrintedContent(m, shown);
                EXPECT_LE(CGRectGetMinX(printed), CGRectGetMinX(shown) + 1e-9) << "all that shows is printed";
                EXPECT_LE(CGRectGetMinY(printed), CGRectGetMinY(shown) + 1e-9);
                EXPECT_GE(CGRectGetMaxX(printed), CGRectGetMaxX(shown) - 1e-9);
                EXPECT_GE(CGRectGetMaxY(printed), CGRectGetMaxY(shown) - 1e-9);
                EXPECT_NEAR(printed.size.width / printed.size.height, m.size.width / m.size.height, 1e-9)
                    << "undistorted";
                EXPECT_TRUE(printed.size.width == shown.size.width || printed.size.height == shown.size.height)
                    << "no wider than it must be";
                EXPECT_DOUBLE_EQ(CGRectGetMidX(printed), CGRectGetMidX(shown));
                EXPECT_DOUBLE_EQ(CGRectGetMidY(printed), CGRectGetMidY(shown));
            }
        }
        EXPECT_EQ(CMapPrint::GetMapRect(CGRectMake(0, 0, 540, 720), CGSizeMake(0, 0)).size.width, 0) << "nothing to scale";
    }

    TEST_F(OverlayTest, APrintedMapIsOnePageWithItsHeaderAndFooter)
    {
        if (std::system("command -v pdfinfo >/dev/null && command -v pdftoppm >/dev/null && command -v pdftotext >/dev/null") != 0)
            GTEST_SKIP() << "poppler-utils is not installed";
        Show(kGoteborg, 10);
        ASSERT_TRUE(Settle());
        std::filesystem::path const folder = std::filesystem::temp_directory_path();
        std::filesystem::path const pdf = folder / "overlay-print.pdf";
        CPrintDialog dialog;
        ASSERT_EQ(dialog.CreateSession(), noErr);
        PrintToFile(dialog, pdf, mView, mOverlay);
        CCarbonEvent empty(kEventClassControl, kEventControlDraw);
        EXPECT_EQ(CMapPrint::PrintPage(empty, mView, mOverlay, CString("Trip")), paramErr) << "no context";

        CGRect const paper = dialog.GetPrintPaperRect();
        auto const info = PrintToolOutput("pdfinfo '" + pdf.string() + "'");
        ASSERT_TRUE(info);
        EXPECT_NE(info->find("Pages:           1"), std::string::npos) << *info;
        char size[64];
        std::snprintf(size, sizeof size, "Page size:       %g x %g pts", paper.size.width, paper.size.height);
        EXPECT_NE(info->find(size), std::string::npos) << *info;
        auto const text = PrintToolOutput("pdftotext -layout '" + pdf.string() + "' -");
        ASSERT_TRUE(text);
        EXPECT_NE(text->find("Tarnwick - Trip"), std::string::npos) << *text;
        EXPECT_NE(text->find(mView->GetMapURL().GetStdString()), std::string::npos) << "the footer is the view's link";

        // The page as a picture: the map inside the frame, blank bands, kept within a tolerance.
        std::string const png = (folder / "overlay-print").string();
        ASSERT_TRUE(PrintToolOutput("pdftoppm -r 72 -png -singlefile '" + pdf.string() + "' '" + png + "'"));
        cairo_surface_t* page = cairo_image_surface_create_from_png((png + ".png").c_str());
        ASSERT_EQ(cairo_surface_status(page), CAIRO_STATUS_SUCCESS);
        PixelProbe const got = ProbeSurface(page);
        CGRect const printable = dialog.GetPrintPageRect();
        CGRect const m = CMapPrint::GetMapRect(CGRectMake(0, 0, printable.size.width, printable.size.height),
            mView->GetVisibleContent().size);
        int const left = int(printable.origin.x - paper.origin.x + m.origin.x);
        int const top = int(printable.origin.y - paper.origin.y + m.origin.y);
        Pixel const middle = got.At(left + int(m.size.width / 2), top + int(m.size.height / 2));
        EXPECT_FALSE(middle.r > 250 && middle.g > 250 && middle.b > 250) << "the map is printed in the frame";
        Pixel const frame = got.At(left + int(m.size.width / 2), top);
        EXPECT_LT(frame.r + frame.g + frame.b, 3 * 200) << "the hairline frame";
        Pixel const band = got.At(left + int(m.size.width / 2), top - 3);
        EXPECT_GT(band.r + band.g + band.b, 3 * 250) << "the header band is blank under its text";

        std::filesystem::path const reference = std::filesystem::path(TW_TEST_DATA_DIR) / "pictures" / "print-page.png";
        char const* shots = std::getenv("TW_SCREENSHOT_DIR");
        if (shots)
            cairo_surface_write_to_png(page, (std::filesystem::path(shots) / "print-page.png").c_str());
        if (std::getenv("TW_UPDATE_PICTURES")) {
            EXPECT_EQ(cairo_surface_write_to_png(page, reference.c_str()), CAIRO_STATUS_SUCCESS);
        } else {
            cairo_surface_t* expected = cairo_image_surface_create_from_png(reference.c_str());
            ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS) << reference;
            PixelProbe const want = ProbeSurface(expected);
            ASSERT_EQ(want.Width(), got.Width());
            ASSERT_EQ(want.Height(), got.Height());
            // The header's right half holds the time of printing: left out.
            int differ = 0;
            for (int y = 0; y < want.Height(); ++y)
                for (int x = 0; x < want.Width(); ++x) {
                    if (y < top && x > want.Width() / 2)
                        continue;
                    Pixel const a = got.At(x, y), b = want.At(x, y);
                    differ += std::abs(a.r - b.r) > 16 || std::abs(a.g - b.g) > 16 || std::abs(a.b - b.b) > 16;
                }
            EXPECT_LT(differ, want.Width() * want.Height() / 100);
            cairo_surface_destroy(expected);
        }
        cairo_surface_destroy(page);
        std::filesystem::remove(pdf);
        std::filesystem::remove(png + ".png");
    }

    // On landscape paper the map reaches both sides of the printable area, not a square in
    // its middle.
    TEST_F(OverlayTest, ALandscapePageIsFilledByTheMap)
    {
        if (std::system("command -v pdftoppm >/dev/null") != 0)
            GTEST_SKIP() << "poppler-utils is not installed";
        // A window narrower than it is high, as a map beside a wide list leaves it.
        HIViewRef const scroll = HIViewGetSuperview(mView->GetHIViewRef());
        HIRect frame {};
        HIViewGetFrame(scroll, &frame);
        frame.size.width = 260;
        HIViewSetFrame(scroll, &frame);
        Show(kGoteborg, 10);
        ASSERT_TRUE(Settle());
        ASSERT_LT(mView->GetVisibleContent().size.width, mView->GetVisibleContent().size.height);
        std::filesystem::path const pdf = std::filesystem::temp_directory_path() / "overlay-landscape.pdf";
        CPrintDialog dialog;
        ASSERT_EQ(dialog.CreateSession(), noErr);
        ASSERT_EQ(PMSetOrientation(dialog.GetPageFormat(), kPMLandscape, false), noErr);
        PrintToFile(dialog, pdf, mView, mOverlay);

        std::string const png = (std::filesystem::temp_directory_path() / "overlay-landscape").string();
        ASSERT_TRUE(PrintToolOutput("pdftoppm -r 72 -png -singlefile '" + pdf.string() + "' '" + png + "'"));
        cairo_surface_t* page = cairo_image_surface_create_from_png((png + ".png").c_str());
        ASSERT_EQ(cairo_surface_status(page), CAIRO_STATUS_SUCCESS);
        PixelProbe const got = ProbeSurface(page);
        CGRect const paper = dialog.GetPrintPaperRect();
        CGRect const printable = dialog.GetPrintPageRect();
        ASSERT_GT(paper.size.width, paper.size.height) << "landscape paper";
        auto const isPaper = [](Pixel p) { return p.r > 250 && p.g > 250 && p.b > 250; };
        int const middle = int(printable.origin.y - paper.origin.y + printable.size.height / 2);
        int const left = int(printable.origin.x - paper.origin.x);
        int const right = int(left + printable.size.width);
        EXPECT_FALSE(isPaper(got.At(left + 12, middle))) << "the map reaches the left of the printable area";
        EXPECT_FALSE(isPaper(got.At(right - 12, middle))) << "and its right";
        if (char const* shots = std::getenv("TW_SCREENSHOT_DIR"))
            cairo_surface_write_to_png(page, (std::filesystem::path(shots) / "print-landscape.png").c_str());
        cairo_surface_destroy(page);
        std::filesystem::remove(pdf);
        std::filesystem::remove(png + ".png");
    }

} // namespace
} // namespace tw::test
