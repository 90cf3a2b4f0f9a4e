// Shows the map view in a window of its own, drawn from the map packs as a document
// window draws it: map-view [--centre LAT,LON] [--level Z] [--maps FOLDER]...
// [--shot FILE.png] [--sheet PREFIX]
// On a desktop the window opens as a document window would hold the map: the wheel and
// the arrow keys scroll, Command-wheel zooms, the tool keys choose a tool (shown in the
// title) and Space holds the hand. --shot draws the view headless and writes the screen; --sheet writes contact
// sheets PREFIX-europe.png, PREFIX-goteborg.png and PREFIX-ottawa.png of the view at
// levels 0 to 17. Without --maps the world pack and the test regions of the source tree
// are read.

#include "corefoundation/CoreFoundation.h"
#include "display/PresenterChoice.h"
#include "display/WindowServer.h"
#include "docwindow/CViewMap.h"
#include "docwindow/DocWindowClasses.h"
#include "foundation/CString.h"
#include "framework/CCarbonEvent.h"
#include "mapdata/CMapManager.h"
#include "model/CMapObject.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CHIViewUtilities.h"

#include <cairo.h>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kMapWidth = 640, kMapHeight = 400; // [px] of the map in a shot
constexpr double kScrollBar = 15; // [px]

struct Place {
    char const* name;
    CCoordinate centre;
};
Place const kPlaces[] = { { "europe", CCoordinate(50, 10) }, { "goteborg", CCoordinate(57.705, 11.965) },
    { "ottawa", CCoordinate(45.42, -75.69) } };
unsigned long const kSheetLevels[] = { 0, 2, 4, 6, 8, 10, 12, 14, 17 };

bool ParsePair(char const* text, char separator, double& a, double& b)
{
    char const* end = text + std::strlen(text);
    auto [middle, error] = std::from_chars(text, end, a);
    if (error != std::errc() || middle == end || *middle != separator)
        return false;
    auto [last, error2] = std::from_chars(middle + 1, end, b);
    return error2 == std::errc() && last == end && std::isfinite(a) && std::isfinite(b);
}

int Usage()
{
    std::fprintf(stderr,
        "usage: map-view [--centre LAT,LON] [--level Z] [--maps FOLDER]... [--shot FILE.png] [--sheet PREFIX]\n");
    return 2;
}

OSStatus CloseHandler(EventHandlerCallRef, EventRef, void*)
{
    QuitApplicationEventLoop();
    return eventNotHandledErr;
}

// What the document window will be to its map: it keeps the tool the window's tool
// commands choose and shows it in the window's title.
class ToolDocument : public CMsgBroadcaster, public IMapDocument {
public:
    explicit ToolDocument(WindowRef window)
        : mWindow(window)
    {
        EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
        InstallEventHandler(
            GetWindowEventTarget(window), NewEventHandlerUPP(&ToolDocument::Command), 1, &command, this, nullptr);
        SetTool(kToolHand);
    }
    std::vector<CMapObject*> const& GetObjects() const override { return mObjects; }
    CViewOverlay* GetOverlayView() const override { return nullptr; }
    TWTool GetTool() const override { return mTool; }
    void SetTool(TWTool tool) override
    {
        static char const* const kNames[]
            = { "circle", "crop", "hand", "line", "note", "rectangle", "route", "ruler", "waypoint", "zoom" };
        mTool = tool;
        std::string const title = std::string("Map view: ") + kNames[tool] + " tool";
        SetWindowTitleWithCFString(mWindow, CString(title.c_str()).GetCFString());
    }
    CDevice* GetTrackDevice() const override { return nullptr; }
    CMapCrop* GetCrop() const override { return nullptr; }
    void EditObject(CMapObject*) override { }
    void RemoveObject(CMapObject*) override { }
    bool AddObject(CMapObject* object) override
    {
        delete object;
        return false;
    }
    void SelectObject(CMapObject*, bool) override { }
    CString GetUniqueObjectName(MapObjectType, CString const& base) const override { return base; }
    CViewMap* GetMapView() const override { return nullptr; }

private:
    static OSStatus Command(EventHandlerCallRef, EventRef event, void* data)
    {
        constexpr UInt32 kCommands[]
            = { 'dtci', 'dtcr', 'dtha', 'dtli', 'dtno', 'dtre', 'drot', 'dtrl', 'dway', 'dtzo' };
        UInt32 const command = CCarbonEvent(event).GetHICommand().commandID;
        for (UInt32 tool = 0; tool < std::size(kCommands); ++tool)
            if (kCommands[tool] == command) {
                static_cast<ToolDocument*>(data)->SetTool(TWTool(tool));
                return noErr;
            }
        return eventNotHandledErr;
    }

    WindowRef mWindow; // borrowed
    std::vector<CMapObject*> mObjects;
    TWTool mTool = kToolHand;
};

// A window whose content is the map view in a scroll view that follows the window's size.
CViewMap* MakeMapWindow(CGSize content, WindowRef& window)
{
    Rect const bounds { 60, 40, short(60 + content.height), short(40 + content.width) };
    if (CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &bounds, &window) != noErr)
        return nullptr;
    SetWindowTitleWithCFString(window, CFSTR("Map view"));
    ControlRef root = nullptr;
    GetRootControl(window, &root);
    HIRect const frame { {}, content };
    CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
    init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
    HIObjectRef object = nullptr;
    if (HIObjectCreate(CFSTR("com.tarnwick.hiview.map"), init.GetEvent(), &object) != noErr)
        return nullptr;
    HIViewAddSubview(root, reinterpret_cast<HIViewRef>(object));
    CFRelease(object);
    HILayoutInfo layout {};
    layout.binding.top.kind = layout.binding.left.kind = kHILayoutBindMin;
    layout.binding.bottom.kind = layout.binding.right.kind = kHILayoutBindMax;
    HIViewSetLayoutInfo(reinterpret_cast<HIViewRef>(object), &layout);
    auto* view = dynamic_cast<CViewMap*>(CHIObject::GetHIObject(object));
    if (view)
        CHIViewUtilities::EmbedInScrollView(view, kHIScrollViewOptionsVertScroll | kHIScrollViewOptionsHorizScroll);
    return view;
}

// Runs the loop and draws until every tile is in and no name moves; false after a minute.
bool Finish(CViewMap* view, WindowRef window)
{
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int quiet = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        RunCurrentEventLoop(0.01);
        window->Update();
        bool const idle = !view->GetRenderer()->IsRendering() && !window->NeedsUpdate();
        quiet = idle ? quiet + 1 : 0;
        if (quiet >= 30) // past the delayed redraw that follows a scroll
            return true;
    }
    return false;
}

// The map's part of the screen, copied onto the sheet at the cell with a caption.
void CopyCell(cairo_t* sheet, CViewMap* view, double x, double y, std::string const& caption)
{
    tw::display::WindowServer::Get().Compose();
    CGPoint topLeft {};
    HIViewConvertPoint(&topLeft, view->GetHIViewRef(), nullptr);
    Rect structure {};
    GetWindowBounds(view->GetWindowRef(), kWindowStructureRgn, &structure);
    cairo_save(sheet);
    cairo_rectangle(sheet, x, y, kMapWidth, kMapHeight);
    cairo_clip(sheet);
    cairo_set_source_surface(sheet, tw::display::WindowServer::Get().GetScreen(), x - structure.left - topLeft.x,
        y - structure.top - topLeft.y);
    cairo_paint(sheet);
    cairo_restore(sheet);
    cairo_set_source_rgba(sheet, 0, 0, 0, 0.7);
    cairo_rectangle(sheet, x, y, 150, 22);
    cairo_fill(sheet);
    cairo_set_source_rgb(sheet, 1, 1, 1);
    cairo_select_font_face(sheet, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(sheet, 13);
    cairo_move_to(sheet, x + 6, y + 16);
    cairo_show_text(sheet, caption.c_str());
}

int WriteSheets(CViewMap* view, WindowRef window, std::string const& prefix)
{
    for (Place const& place : kPlaces) {
        cairo_surface_t* surface
            = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(3 * kMapWidth + 8), int(3 * kMapHeight + 8));
        cairo_t* sheet = cairo_create(surface);
        cairo_set_source_rgb(sheet, 0.3, 0.3, 0.3);
        cairo_paint(sheet);
        for (std::size_t i = 0; i < std::size(kSheetLevels); ++i) {
            view->SetMapZoom(CHIView::kZoomFactor, nullptr, kSheetLevels[i]);
            view->SetMapCentre(place.centre);
            if (!Finish(view, window))
                std::fprintf(stderr, "map-view: %s level %lu did not finish\n", place.name, kSheetLevels[i]);
            CopyCell(sheet, view, double(i % 3) * (kMapWidth + 4), double(i / 3) * (kMapHeight + 4),
                std::string(place.name) + ", level " + std::to_string(kSheetLevels[i]));
        }
        cairo_destroy(sheet);
        std::string const path = prefix + "-" + place.name + ".png";
        cairo_status_t const status = cairo_surface_write_to_png(surface, path.c_str());
        cairo_surface_destroy(surface);
        if (status != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "map-view: %s could not be written\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    double latitude = 57.705, longitude = 11.965;
    unsigned long level = 12;
    std::string shot, sheet;
    std::vector<CFile> folders;
    for (int i = 1; i < argc; ++i) {
        std::string const option = argv[i];
        bool const hasValue = i + 1 < argc;
        if (option == "--centre" && hasValue) {
            if (!ParsePair(argv[++i], ',', latitude, longitude) || std::abs(latitude) > 90 || std::abs(longitude) > 180)
                return Usage();
        } else if (option == "--level" && hasValue) {
            char const* text = argv[++i];
            auto [end, error] = std::from_chars(text, text + std::strlen(text), level);
            if (error != std::errc() || *end || level > CViewMap::kZoomMaximum)
                return Usage();
        } else if (option == "--maps" && hasValue)
            folders.emplace_back(CString(argv[++i]));
        else if (option == "--shot" && hasValue)
            shot = argv[++i];
        else if (option == "--sheet" && hasValue)
            sheet = argv[++i];
        else
            return Usage();
    }
    if (folders.empty())
        folders.emplace_back(CString(TW_SOURCE_DIR "/resources/Resources/Maps"));
    tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
    bool const headless = !shot.empty() || !sheet.empty();
    if (headless)
        setenv("TW_HEADLESS", "1", 1);
    std::string error;
    if (tw::display::ChoosePresenter(&error) == tw::display::PresenterKind::Headless && !headless) {
        std::fprintf(stderr, "map-view: no display to open the window on%s%s; use --shot or --sheet\n",
            error.empty() ? "" : ": ", error.c_str());
        return 1;
    }
    CMapManager manager;
    if (OSStatus status = manager.LoadMapsFrom(folders); status != noErr) {
        std::fprintf(stderr, "map-view: the maps could not be loaded (%d)\n", int(status));
        return 1;
    }
    CViewMap::SetMapManager(&manager);
    if (RegisterDocWindowClasses() != noErr) {
        std::fprintf(stderr, "map-view: the view classes could not be registered\n");
        return 1;
    }
    CGSize const content
        = headless ? CGSizeMake(kMapWidth + kScrollBar, kMapHeight + kScrollBar) : CGSizeMake(1000, 680);
    WindowRef window = nullptr;
    CViewMap* view = MakeMapWindow(content, window);
    if (!view) {
        std::fprintf(stderr, "map-view: the window could not be made\n");
        return 1;
    }
    ShowWindow(window);
    int result = 0;
    if (!sheet.empty()) {
        result = WriteSheets(view, window, sheet);
    } else {
        view->SetMapZoom(CHIView::kZoomFactor, nullptr, level);
        view->SetMapCentre(CCoordinate(latitude, longitude));
        if (!shot.empty()) {
            if (!Finish(view, window))
                std::fprintf(stderr, "map-view: the view did not finish\n");
            result = tw::display::WindowServer::Get().WritePNG(shot) == noErr ? 0 : 1;
        } else {
            ToolDocument document(window);
            view->SetDocument(&document);
            EventTypeSpec const closed { kEventClassWindow, kEventWindowClosed };
            InstallEventHandler(
                GetWindowEventTarget(window), NewEventHandlerUPP(CloseHandler), 1, &closed, nullptr, nullptr);
            RunApplicationEventLoop();
            window = nullptr; // closed by its close box
        }
    }
    if (window)
        DisposeWindow(window);
    return result;
}
