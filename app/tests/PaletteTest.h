#pragma once

// Fixture of the palettes' tests: the program's application object as a
// broadcaster of the current document ("dact"), its menu bar with the palettes'
// items, and document stand-ins: each a window with a map view over the world
// pack (clear of the palettes), its objects, tool and selection, and its bindable "zoom" kept in step
// with the map as the document window keeps it.

#include "PreferencesTest.h"
#include "app/IObjectStyles.h"
#include "model/CMapObject.h"
#include "bindings/Source/Bindings/CBindable.h"
#include "docwindow/IPaletteDocument.h"
#include "docwindow/tests/MapViewTest.h"
#include "toolbox/MenuCalls.h"

namespace tw::test {

class PaletteApplication : public QuietApplication, public CMsgBroadcaster, public IObjectStyles {
public:
    void Activate(IPaletteDocument* document) { BroadcastMessage('dact', document); }

    // The defaults of new objects, by kind.
    MapObjectStyle GetObjectStyle(MapObjectType type) override
    {
        auto const found = mStyles.find(type);
        return found == mStyles.end() ? MapObjectStyle() : found->second;
    }
    void SetObjectStyle(MapObjectType type, MapObjectStyle const& style) override { mStyles[type] = style; }

    std::map<MapObjectType, MapObjectStyle> mStyles;
};

class PaletteDocument : public CMsgBroadcaster, public CMsgListener, public CBindable, public IPaletteDocument {
public:
    explicit PaletteDocument(short left)
    {
        Rect const content { 80, left, 80 + 300, left + 400 };
        CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &content, &mWindow);
        ControlRef root = nullptr;
        GetRootControl(mWindow, &root);
        CGRect const frame = CGRectMake(0, 0, 400, 300);
        CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
        init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        HIObjectRef object = nullptr;
        HIObjectCreate(CFSTR("com.tarnwick.hiview.map"), init.GetEvent(), &object);
        HIViewAddSubview(root, reinterpret_cast<HIViewRef>(object));
        CFRelease(object);
        mMap = dynamic_cast<CViewMap*>(CHIObject::GetHIObject(object));
        mMap->SetDocument(this);
        mMap->AddListener(this);
        EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
        InstallEventHandler(GetWindowEventTarget(mWindow), NewEventHandlerUPP(&CommandHandler), 1, &command, this,
            nullptr);
        ShowWindow(mWindow);
    }
    ~PaletteDocument() override
    {
        for (CMapObject* object : mObjects)
            delete object;
        DisposeWindow(mWindow);
    }

    void Show(CCoordinate const& centre, unsigned long level)
    {
        mMap->SetMapZoom(CHIView::kZoomFactor, nullptr, level);
        mMap->SetMapCentre(centre);
    }
    UInt32 GetZoomKey() { return GetBindings()->GetKeyPathValue(kZoomKey).GetUInt32(); }

    // The document window's tool commands and the zoom commands.
    static OSStatus CommandHandler(EventHandlerCallRef, EventRef event, void* data)
    {
        auto* document = static_cast<PaletteDocument*>(data);
        UInt32 const command = CCarbonEvent(event).GetHICommand().commandID;
        document->mCommands.push_back(command);
        if (command == 'zoin' || command == 'zout') {
            document->mMap->SetMapZoom(
                command == 'zoin' ? CHIView::kZoomIn : CHIView::kZoomOut, nullptr, document->mMap->GetMapZoom());
            return noErr;
        }
        return eventNotHandledErr;
    }

    // IPaletteDocument
    std::vector<CMapObject*> const& GetObjects() const override { return mObjects; }
    CViewOverlay* GetOverlayView() const override { return nullptr; }
    TWTool GetTool() const override { return mTool; }
    void SetTool(TWTool tool) override
    {
        mTool = tool;
        BroadcastMessage('dtoc', this);
    }
    CDevice* GetTrackDevice() const override { return nullptr; }
    CMapCrop* GetCrop() const override { return nullptr; }
    void EditObject(CMapObject*) override { }
    void RemoveObject(CMapObject* object) override
    {
        auto const at = std::find(mObjects.begin(), mObjects.end(), object);
        if (at == mObjects.end())
            return;
        BroadcastMessage('dorm', object);
        mObjects.erase(at);
        delete object;
    }
    CViewMap* GetMapView() const override { return mMap; }
    // Objects as the document window adds, selects and changes them.
    template <typename Object> Object* Add(bool selected)
    {
        auto* object = new Object;
        if (selected)
            object->SetAttributes(kMapObjectAttrSelected, 0);
        mObjects.push_back(object);
        return object;
    }
    void Select(CMapObject* object, bool selected)
    {
        object->SetAttributes(selected ? kMapObjectAttrSelected : 0, selected ? 0 : kMapObjectAttrSelected);
        BroadcastMessage('dsec', this);
    }
    void Modified(CMapObject* object) { BroadcastMessage('domo', object); }
    CBindable* GetPaletteBindable() override { return this; }
    CMsgBroadcaster* GetPaletteBroadcaster() override { return this; }
    WindowRef GetPaletteWindow() const override { return mWindow; }

    // The map's level in "zoom", and "zoom" set from outside on the map.
    void DoMessage(UInt32 message, void*) override
    {
        if (message != CViewMap::kMsgZoomChanged)
            return;
        SetIgnoreChanges(true);
        GetBindings()->SetKeyPathValue(kZoomKey, CBValue(UInt32(mMap->GetMapZoom())), false);
        SetIgnoreChanges(false);
    }
    void ValueChanged(CBKeyValueStore const*, CBString const& key) override
    {
        if (IsIgnoringChanges() || key != CBString(kZoomKey))
            return;
        mMap->SetMapZoom(CHIView::kZoomFactor, nullptr, GetZoomKey());
    }

    WindowRef mWindow = nullptr;
    CViewMap* mMap = nullptr;
    std::vector<CMapObject*> mObjects; // owns
    TWTool mTool = kToolHand;
    std::vector<UInt32> mCommands;
};

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display::WindowServer::ResetForTesting();
        CThreadTask::ResetForTesting();
        toolbox::MenuBar::Reset();
        ClearPalettePreferences();
        mApp = std::make_unique<PaletteApplication>();
        ASSERT_EQ(mApp->InitialiseBegin(), noErr);
        ASSERT_EQ(mApp->InitialisePreferences(), noErr);
        ASSERT_EQ(mApp->InitialiseMenuBar(), noErr);
        ASSERT_EQ(RegisterDocWindowClasses(), noErr);
        CViewMap::SetMapManager(&SharedMaps());
        // The palettes' items of the Window menu.
        MenuRef windows = GetMenuRef(131);
        ASSERT_NE(windows, nullptr);
        AppendMenuItemTextWithCFString(windows, CFSTR("Inspector"), 0, 'insp', nullptr);
        AppendMenuItemTextWithCFString(windows, CFSTR("Navigator"), 0, 'navi', nullptr);
    }
    void TearDown() override
    {
        ResetPalettes();
        mDocuments.clear();
        ManualClock::RunFor(0.5);
        mApp.reset();
        for (WindowRef window : std::vector<WindowRef>(toolbox::WindowList::FrontToBack()))
            DisposeWindow(window);
        toolbox::MenuBar::Reset();
        display::WindowServer::ResetForTesting();
        ClearPalettePreferences();
    }
    virtual void ResetPalettes() = 0;

    static void ClearPalettePreferences()
    {
        CPreferences prefs;
        for (char const* key : { "WindowNavigator", "WindowNavigatorVisible", "WindowInspector",
                 "WindowInspectorVisible", "MapCoordinates", "MapUnits" })
            prefs.RemovePref(key);
        prefs.Flush();
    }

    PaletteDocument* NewDocument()
    {
        mDocuments.push_back(std::make_unique<PaletteDocument>(short(300 + 420 * mDocuments.size())));
        return mDocuments.back().get();
    }
    static void Run() { ManualClock::RunFor(0.2); }
    CPreferences& Prefs() { return mApp->GetPreferences(); }
    static CharParameter MenuMark(UInt32 command)
    {
        MenuRef menu = nullptr;
        MenuItemIndex index = 0;
        CharParameter mark = 0;
        if (GetIndMenuItemWithCommandID(nullptr, command, 1, &menu, &index) == noErr)
            GetItemMark(menu, index, &mark);
        return mark;
    }

    ManualClock mClock;
    std::unique_ptr<PaletteApplication> mApp;
    std::vector<std::unique_ptr<PaletteDocument>> mDocuments;
};

} // namespace tw::test
