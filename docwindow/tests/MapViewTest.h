#pragma once

// The fixture of the map view tests: the manual clock, an application object
// with its preferences, the world pack and the test regions loaded once, and a
// shown window whose content holds a map view in a scroll view, as a document
// window holds it. A document stand-in takes the tool commands the window
// receives. Nothing is left behind.

#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "display/WindowServer.h"
#include "docwindow/CToolBox.h"
#include "docwindow/CViewMap.h"
#include "docwindow/DocWindowClasses.h"
#include "foundation/CFile.h"
#include "foundation/CTextUtilities.h"
#include "foundation/CThreadTask.h"
#include "framework/CApplication.h"
#include "framework/CCarbonEvent.h"
#include "mapdata/CMapManager.h"
#include "model/CMapCrop.h"
#include "model/CMapObject.h"
#include "render/CLayerTile.h"
#include "render/CMapStyles.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ManualClock.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/ScreenProbe.h"
#include "toolbox/HIObject.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CHIViewUtilities.h"
#include "widgets/CViewInvalidator.h"

#include <algorithm>
#include <cairo.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tw::test {

inline CCoordinate const kEurope(50, 10);
inline CCoordinate const kGoteborg(57.705, 11.965);
inline CCoordinate const kOttawa(45.42, -75.69);

// The bundle's packs (the world, and the Göteborg and Ottawa regions), loaded once for the process.
inline CMapManager& SharedMaps()
{
    static CMapManager* manager = [] {
        auto* maps = new CMapManager; // lives to the end of the process, as the application's does
        std::filesystem::path const source(TW_SOURCE_DIR);
        std::vector<CFile> const folders { CFile(CString((source / "resources/Resources/Maps").c_str())) };
        maps->LoadMapsFrom(folders);
        return maps;
    }();
    return *manager;
}

// What a document window does for its map view and its tools: it owns the objects added to
// it and broadcasts their arrival, changes and going, keeps their selection, names new ones,
// keeps the tool the window's tool commands choose (making it current through a tool box when
// one is given), and notes what the view asks of it.
class TestDocument : public CMsgBroadcaster, public CMsgListener, public IMapDocument {
public:
    ~TestDocument() override
    {
        std::vector<CMapObject*> const objects = std::move(mObjects);
        for (CMapObject* object : objects)
            delete object;
    }

    std::vector<CMapObject*> const& GetObjects() const override { return mObjects; }
    CViewOverlay* GetOverlayView() const override { return nullptr; }
    TWTool GetTool() const override { return mTool; }
    void SetTool(TWTool tool) override
    {
        mTool = tool;
        mToolsSet.push_back(tool);
        if (mToolBox)
            mToolBox->SetTool(tool);
    }
    CDevice* GetTrackDevice() const override { return nullptr; }
    CMapCrop* GetCrop() const override
    {
        if (mCrop)
            return mCrop;
        for (CMapObject* object : mObjects)
            if (object->IsType(kMapObjectCrop))
                return static_cast<CMapCrop*>(object);
        return nullptr;
    }
    void EditObject(CMapObject* object) override { mEdited.push_back(object); }
    // Objects of the document are deleted after their going is told; others are only noted.
    void RemoveObject(CMapObject* object) override
    {
        mRemoved.push_back(object);
        auto const found = std::find(mObjects.begin(), mObjects.end(), object);
        if (found == mObjects.end())
            return;
        BroadcastMessage('dorm', object);
        mObjects.erase(found);
        delete object;
        BroadcastMessage('dsec', this);
    }
    bool AddObject(CMapObject* object) override
    {
        if (!mAccepts) {
            delete object;
            return false;
        }
        SelectObject(nullptr, false);
        object->AddListener(this);
        mObjects.push_back(object);
        BroadcastMessage('doad', object);
        return true;
    }
    void SelectObject(CMapObject* object, bool select) override
    {
        bool changed = false;
        for (CMapObject* each : mObjects)
            if ((!object || each == object) && each->IsSelected() != select) {
                each->SetAttributes(select ? UInt32(kMapObjectAttrSelected) : 0u, select ? 0u : UInt32(kMapObjectAttrSelected));
                changed = true;
            }
        if (changed)
            BroadcastMessage('dsec', this);
    }
    CString GetUniqueObjectName(MapObjectType type, CString const& base) const override
    {
        CString const root = base.IsEmpty() ? CTextUtilities::GetBundleString("ObjectUntitled") : base;
        CString candidate = root;
        auto taken = [&](CString const& name) {
            return std::any_of(mObjects.begin(), mObjects.end(),
                [&](CMapObject* o) { return o->IsType(type) && o->GetName().EqualNoCase(name); });
        };
        for (long n = 1; taken(candidate); ++n)
            candidate.Format("%s %ld", root.GetUTF8(), n);
        return candidate;
    }
    CViewMap* GetMapView() const override { return mMapView; }
    // The objects' changes go on to the view, as the document's do.
    void DoMessage(UInt32 message, void* parameter) override
    {
        if (message == 'mmod' || message == 'mdir')
            BroadcastMessage('domo', parameter);
    }

    // The window's command handler: tool commands become tools, as the document's do.
    static OSStatus CommandHandler(EventHandlerCallRef, EventRef event, void* data)
    {
        auto* document = static_cast<TestDocument*>(data);
        UInt32 const command = CCarbonEvent(event).GetHICommand().commandID;
        document->mCommands.push_back(command);
        constexpr UInt32 kCommands[]
            = { 'dtci', 'dtcr', 'dtha', 'dtli', 'dtno', 'dtre', 'drot', 'dtrl', 'dway', 'dtzo' };
        for (UInt32 tool = 0; tool < std::size(kCommands); ++tool)
            if (kCommands[tool] == command) {
                document->SetTool(TWTool(tool));
                return noErr;
            }
        return eventNotHandledErr;
    }

    std::vector<CMapObject*> mObjects; // owns
    TWTool mTool = kToolHand;
    std::vector<TWTool> mToolsSet;
    std::vector<UInt32> mCommands;
    std::vector<CMapObject*> mEdited;
    std::vector<CMapObject*> mRemoved;
    CMapCrop* mCrop = nullptr; // borrowed; when null, the crop area among the objects
    CViewMap* mMapView = nullptr; // borrowed
    CToolBox* mToolBox = nullptr; // borrowed
    bool mAccepts = true;
};

// Notes the messages of a broadcaster.
class MapMessageLog : public CMsgListener {
public:
    void DoMessage(UInt32 message, void* parameter) override
    {
        mMessages.push_back(message);
        if (message == CViewMap::kMsgMouseMoved && parameter)
            mMouse = *static_cast<CCoordinate const*>(parameter);
    }
    int Count(UInt32 message) const { return int(std::count(mMessages.begin(), mMessages.end(), message)); }

    std::vector<UInt32> mMessages;
    CCoordinate mMouse;
};

class MapViewTest : public ::testing::Test {
protected:
    static constexpr double kScrollBar = 15; // [px]

    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        CThreadTask::ResetForTesting();
        CBPreferenceBinding::InstallPreferencesSupport();
        mApp = std::make_unique<CApplication>();
        for (char const* key : { "ShowGrid", "ResizeOnZoom" })
            mApp->GetPreferences().RemovePref(key);
        ASSERT_EQ(RegisterDocWindowClasses(), noErr);
        CViewMap::SetMapManager(&SharedMaps());
        mLiveAtStart = toolbox::HIObject::LiveCount();
        Rect const content { 60, 40, 60 + 415, 40 + 655 }; // a 640 x 400 map beside the scroll bars
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &content, &mWindow), noErr);
        GetRootControl(mWindow, &mContent);
        mView = MakeView(CGRectMake(0, 0, 655, 415));
        ASSERT_NE(mView, nullptr);
        EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
        InstallEventHandler(GetWindowEventTarget(mWindow), NewEventHandlerUPP(&TestDocument::CommandHandler), 1,
            &command, &mDocument, nullptr);
        ShowWindow(mWindow);
        ManualClock::RunFor(0.1);
    }

    void TearDown() override
    {
        if (mWindow)
            DisposeWindow(mWindow);
        ManualClock::RunFor(1);
        EXPECT_EQ(CViewInvalidator::GetLiveCount(), 0u);
        EXPECT_EQ(toolbox::HIObject::LiveCount(), mLiveAtStart) << "toolbox objects leaked";
        EXPECT_EQ(CHIObject::GetRegistrySize(), 0u) << "wrappers outlived their views";
        mApp.reset();
        display::WindowServer::ResetForTesting();
    }

    // A map view in a scroll view with both bars, framed in the window's content.
    CViewMap* MakeView(CGRect frame)
    {
        CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
        init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        HIObjectRef object = nullptr;
        if (HIObjectCreate(CFSTR("com.tarnwick.hiview.map"), init.GetEvent(), &object) != noErr)
            return nullptr;
        HIViewAddSubview(mContent, reinterpret_cast<HIViewRef>(object));
        CFRelease(object);
        auto* view = dynamic_cast<CViewMap*>(CHIObject::GetHIObject(object));
        if (view)
            CHIViewUtilities::EmbedInScrollView(view, kHIScrollViewOptionsVertScroll | kHIScrollViewOptionsHorizScroll);
        return view;
    }

    // Runs the loop and draws until every tile is in, no name moves and no redraw is due,
    // or false after the seconds given (of real time: the workers run on it).
    bool Settle(double seconds = 60)
    {
        auto const deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        int quiet = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            ManualClock::RunFor(0.03);
            mWindow->Update();
            bool const idle = !mView->GetRenderer()->IsRendering() && !mWindow->NeedsUpdate()
                && CViewInvalidator::GetLiveCount() == 0;
            if (idle && ++quiet >= 3)
                return true;
            if (!idle) {
                quiet = 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
        return false;
    }

    void Show(CCoordinate const& centre, unsigned long level)
    {
        mView->SetMapZoom(CHIView::kZoomFactor, nullptr, level);
        mView->SetMapCentre(centre);
    }

    // The map's pixels as the window holds them, with the probe's origin at the view's top-left.
    PixelProbe ProbeMap() { return ProbeWindow(mWindow); }
    CGPoint ViewInWindow(CGPoint point) const
    {
        HIViewConvertPoint(&point, mView->GetHIViewRef(), nullptr);
        return point;
    }
    // Where an image point of the map is on the screen.
    CGPoint Screen(CGPoint image) const
    {
        CGPoint const origin = mView->GetImageOrigin();
        CGRect const content = mView->GetZoomContent(); // a small image sits in the middle
        CGPoint p = ViewInWindow({ content.origin.x + image.x - origin.x, content.origin.y + image.y - origin.y });
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        return { p.x + structure.left, p.y + structure.top };
    }

    // The visible map (or the part of it given, in view points) as the screen shows it against
    // its reference picture, within a tolerance (text and antialiasing may move a little).
    // TW_UPDATE_PICTURES=1 writes the reference anew, to be looked at before committing.
    void ExpectPicture(std::string const& name, CGRect const* part = nullptr)
    {
        // The pictures are of what the map draws, without the ring that shows its keyboard focus.
        ClearKeyboardFocus(mWindow);
        ManualClock::RunFor(0.01);
        display::WindowServer::Get().Compose();
        cairo_surface_t* screen = display::WindowServer::Get().GetScreen();
        Rect structure {};
        GetWindowBounds(mWindow, kWindowStructureRgn, &structure);
        CGPoint const topLeft = ViewInWindow(part ? part->origin : CGPointZero);
        CGSize const size = part ? part->size : mView->GetVisibleContent().size;
        std::filesystem::path const reference = std::filesystem::path(TW_TEST_DATA_DIR) / "pictures" / (name + ".png");
        if (std::getenv("TW_UPDATE_PICTURES")) {
            cairo_surface_t* got = cairo_surface_create_for_rectangle(
                screen, structure.left + topLeft.x, structure.top + topLeft.y, size.width, size.height);
            cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(size.width), int(size.height));
            cairo_t* cr = cairo_create(copy);
            cairo_set_source_surface(cr, got, 0, 0);
            cairo_paint(cr);
            cairo_destroy(cr);
            EXPECT_EQ(cairo_surface_write_to_png(copy, reference.c_str()), CAIRO_STATUS_SUCCESS);
            cairo_surface_destroy(copy);
            cairo_surface_destroy(got);
            GTEST_SKIP() << "wrote " << reference;
        }
        cairo_surface_t* expected = cairo_image_surface_create_from_png(reference.c_str());
        ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS) << reference;
        PixelProbe const want = ProbeSurface(expected);
        PixelProbe const all = ProbeSurface(screen);
        ASSERT_EQ(want.Width(), int(size.width));
        ASSERT_EQ(want.Height(), int(size.height));
        int differ = 0;
        for (int y = 0; y < want.Height(); ++y)
            for (int x = 0; x < want.Width(); ++x) {
                Pixel const a = all.At(structure.left + int(topLeft.x) + x, structure.top + int(topLeft.y) + y);
                Pixel const b = want.At(x, y);
                differ += std::abs(a.r - b.r) > 16 || std::abs(a.g - b.g) > 16 || std::abs(a.b - b.b) > 16;
            }
        EXPECT_LT(differ, want.Width() * want.Height() / 100) << name;
        cairo_surface_destroy(expected);
    }

    ManualClock mClock;
    std::unique_ptr<CApplication> mApp;
    TestDocument mDocument;
    WindowRef mWindow = nullptr;
    ControlRef mContent = nullptr;
    CViewMap* mView = nullptr;
    std::size_t mLiveAtStart = 0;
};

} // namespace tw::test
