#include "CanvasTest.h"
#include "framework/CMacWindow.h"
#include "tests/support/ScreenProbe.h"
#include "tests/support/TestSupport.h"
#include "toolbox/NibCalls.h"
#include "widgets/CBreadCrumbView.h"
#include "widgets/CSplitterView.h"
#include "widgets/ControlClasses.h"

#include <cairo.h>
#include <cstdlib>
#include <filesystem>

// A window made from a nib of the program's own views: a crumb bar of four crumbs
// above a splitter that holds a list pane and a canvas with selected objects. The
// window is compared with a stored picture. TW_UPDATE_PICTURES=1 writes the picture
// anew; every run leaves the window's picture in $TW_SCREENSHOT_DIR or the test home.
namespace tw::test {
namespace {

    char const* const kNib = R"(<nib>
      <window name="Views" class="document" bounds="100 100 480 320" title="Views">
        <view class="com.pellmar.CBreadCrumbView" frame="8 6 464 20" id="regn"/>
        <view class="com.pellmar.CSplitterView" frame="0 32 480 288" id="splt"/>
        <view class="com.apple.HIUserPane" frame="0 0 10 10" id="ldat"/>
        <view class="net.pellmar.CCanvasView" frame="0 0 10 10" id="mapv"/>
      </window>
    </nib>)";

    constexpr int kChannelTolerance = 24; // [levels of 255] for text drawn by another font build
    constexpr double kDifferingShare = 0.01; // of the pixels may differ by more

    class CustomViews : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            display::WindowServer::ResetForTesting();
            InstallControlWindowSupport();
            ASSERT_EQ(toolbox::CreateNibFromText(kNib, &mNib), noErr);
            mViews = new CMacWindow(mNib, CString("Views"));
            ASSERT_NE(mViews->GetWindowRef(), nullptr);
        }
        void TearDown() override
        {
            delete mViews;
            DisposeNibReference(mNib);
            CMacWindow::SetWidgetSupport(nullptr);
            WidgetTest::TearDown();
            display::WindowServer::ResetForTesting();
        }
        IBNibRef mNib = nullptr;
        CMacWindow* mViews = nullptr;
    };

    // The share of pixels whose channels differ by more than the tolerance; 1 when the sizes differ.
    double DifferingShare(cairo_surface_t* a, cairo_surface_t* b)
    {
        int const width = cairo_image_surface_get_width(a), height = cairo_image_surface_get_height(a);
        if (width != cairo_image_surface_get_width(b) || height != cairo_image_surface_get_height(b))
            return 1;
        PixelProbe const pa = ProbeSurface(a), pb = ProbeSurface(b);
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                Pixel const p = pa.At(x, y), q = pb.At(x, y);
                int const d = std::max({ std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b) });
                differing += d > kChannelTolerance ? 1 : 0;
            }
        return double(differing) / (double(width) * height);
    }

    TEST_F(CustomViews, NibViewsOfTheOwnClassIdsBecomeTheirClassesAndLookAsStored)
    {
        auto* crumbs = CBreadCrumbView::Find(mViews, 'regn', 0);
        auto* splitter = dynamic_cast<CSplitterView*>(mViews->FindView('splt', 0));
        auto* canvas = dynamic_cast<CCanvasView*>(mViews->FindView('mapv', 0));
        CHIView* list = mViews->FindView('ldat', 0);
        ASSERT_NE(crumbs, nullptr);
        ASSERT_NE(splitter, nullptr);
        ASSERT_NE(canvas, nullptr);
        ASSERT_NE(list, nullptr);

        crumbs->SetCrumbs({ CString("World"), CString("Europe"), CString("France"), CString("Brittany") });
        splitter->SetViewA(list);
        splitter->SetViewB(canvas);
        splitter->SetRatio(0.3f);
        canvas->SetImageSize({ 1000, 1000 });
        canvas->AddObject(new RectObject(CGRectMake(0, 0, 1000, 1000), { 0.93f, 0.92f, 0.86f, 1 }), nullptr);
        auto* lake = new RectObject(CGRectMake(30, 30, 120, 70), { 0.45f, 0.66f, 0.86f, 1 });
        auto* forest = new RectObject(CGRectMake(110, 80, 90, 110), { 0.42f, 0.68f, 0.42f, 1 });
        auto* town = new RectObject(CGRectMake(230, 40, 60, 50), { 0.85f, 0.45f, 0.35f, 1 });
        auto* field = new RectObject(CGRectMake(180, 200, 110, 50), { 0.92f, 0.80f, 0.40f, 1 });
        for (RectObject* object : { lake, forest, town, field })
            canvas->AddObject(object, nullptr);
        forest->SetSelected(true);
        town->SetSelected(true);
        ShowWindow(mViews->GetWindowRef());
        ManualClock::RunFor(0.5);

        auto* window = toolbox::LiveWindow(mViews->GetWindowRef());
        window->Update();
        cairo_surface_t* picture = window->GetBackingStore();
        cairo_surface_flush(picture);
        char const* dir = std::getenv("TW_SCREENSHOT_DIR");
        std::filesystem::path const shot = (dir ? std::filesystem::path(dir) : TestHome()) / "custom-views.png";
        EXPECT_EQ(cairo_surface_write_to_png(picture, shot.c_str()), CAIRO_STATUS_SUCCESS);

        std::filesystem::path const stored = std::filesystem::path(TW_TEST_DATA_DIR) / "pictures" / "custom-views.png";
        if (std::getenv("TW_UPDATE_PICTURES")) {
            std::filesystem::create_directories(stored.parent_path());
            ASSERT_EQ(cairo_surface_write_to_png(picture, stored.c_str()), CAIRO_STATUS_SUCCESS);
        }
        cairo_surface_t* expected = cairo_image_surface_create_from_png(stored.c_str());
        ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS) << "no stored picture at " << stored;
        EXPECT_LE(DifferingShare(picture, expected), kDifferingShare) << "compare " << shot << " with " << stored;
        cairo_surface_destroy(expected);
    }

} // namespace
} // namespace tw::test
