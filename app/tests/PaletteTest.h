#pragma once

// Fixture of the palettes' tests: the map application started with its menu bar
// and the world pack, document windows made as File ▸ New makes them and made
// current as the application does, and helpers that work a palette.

#include "docwindow/CViewMap.h"
#include "docwindow/tests/DocumentTest.h"
#include "model/CMapObject.h"
#include "tests/support/InputDriver.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/MenuCalls.h"

namespace tw::test {

inline CCoordinate const kPaletteGoteborg(57.705, 11.965);
inline CCoordinate const kPaletteEurope(50, 10);
inline CCoordinate const kPaletteOttawa(45.42, -75.69);

class PaletteTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        ClearPalettePreferences();
        StartApp();
    }
    void TearDown() override
    {
        ResetPalettes();
        DocumentTest::TearDown();
        ClearPalettePreferences();
    }
    virtual void ResetPalettes() = 0;

    static void ClearPalettePreferences()
    {
        CPreferences prefs;
        for (char const* key : { "WindowNavigator", "WindowNavigatorVisible", "WindowInspector",
                 "WindowInspectorVisible" })
            prefs.RemovePref(key);
        for (MapObjectType type : { kMapObjectCircle, kMapObjectLine, kMapObjectRectangle })
            for (char const* part : { ".LineStyle", ".LineWidth", ".ColourFill", ".ColourFrame" })
                prefs.RemovePref(CTWApplication::GetStylePref(type) + CString(part));
        prefs.Flush();
    }

    // A new document window, current, its map showing the place at the level.
    CWindowDocument* Current(CCoordinate const& centre = kPaletteGoteborg, unsigned long level = 10)
    {
        CWindowDocument* document = NewDocument();
        Show(document, centre, level);
        mApp->SetCurrentDocument(document);
        return document;
    }
    static void Show(CWindowDocument* document, CCoordinate const& centre, unsigned long level)
    {
        document->GetMapView()->SetMapZoom(CHIView::kZoomFactor, nullptr, level);
        document->GetMapView()->SetMapCentre(centre);
    }
    template <typename Object> static Object* Add(CWindowDocument* document)
    {
        auto* object = new Object;
        document->AddObject(object);
        return object;
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
    // A click at the middle of the control of a window, through the input funnel.
    static void ClickControl(WindowRef window, OSType id)
    {
        ControlID const controlID { id, 0 };
        ControlRef control = nullptr;
        ASSERT_EQ(GetControlByID(window, &controlID, &control), noErr);
        HIRect frame {};
        HIViewGetFrame(control, &frame);
        CGPoint middle { CGRectGetMidX(frame), CGRectGetMidY(frame) };
        HIViewConvertPoint(&middle, HIViewGetSuperview(control), nullptr);
        Rect structure {};
        GetWindowBounds(window, kWindowStructureRgn, &structure);
        InputDriver::Click({ middle.x + structure.left, middle.y + structure.top });
        Run();
    }
};

} // namespace tw::test
