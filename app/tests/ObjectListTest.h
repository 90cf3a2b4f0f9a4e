#pragma once

// Fixture of the object list tests: a map document window with waypoints,
// routes and tracks, and a list window whose data browser shows one of the lists.

#include "SheetTest.h"
#include "app/CBrowserMapObject.h"
#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "toolbox/databrowser/DataBrowserView.h"
#include "widgets/CDataBrowser.h"

namespace tw::test {

// Counts one message of a broadcaster.
class MessageCounter : public CMsgListener {
public:
    MessageCounter(CMsgBroadcaster& broadcaster, UInt32 message)
        : mMessage(message)
    {
        broadcaster.AddListener(this);
    }
    void DoMessage(UInt32 message, void*) override { count += message == mMessage; }
    int count = 0;

private:
    UInt32 mMessage;
};

class ObjectListTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        CViewMap::SetMapManager(mManager.get());
        ASSERT_EQ(mApp->InitialiseMenuBar(), noErr);
        mDocument = std::make_unique<CWindowDocument>();
        ASSERT_EQ(mDocument->Initialise(nullptr), noErr);
        ASSERT_NE(mDocument->GetMapView(), nullptr);
        mWindow = std::make_unique<CMacWindow>(CString("Tarnwick"), CString("Route Waypoints"));
        mWindow->SetVisible(true);
        mWindow->Select(true);
        mBrowser = CDataBrowser::Find(mWindow.get(), 'wayp', 0);
        ASSERT_NE(mBrowser, nullptr);
    }
    void TearDown() override
    {
        if (mBrowser)
            mBrowser->SetSource(nullptr);
        mWindow.reset();
        mDocument.reset();
        CViewMap::SetMapManager(nullptr);
        SheetTest::TearDown();
    }

    CMapWaypoint* AddWaypoint(char const* name, double latitude, double longitude, char const* description = "")
    {
        auto* waypoint = new CMapWaypoint();
        waypoint->SetName(name);
        waypoint->SetDescription(description);
        waypoint->SetPosition(CCoordinate(latitude, longitude));
        mDocument->AddObject(waypoint);
        return waypoint;
    }
    CMapRoute* AddRoute(char const* name)
    {
        auto* route = new CMapRoute();
        route->SetName(name);
        mDocument->AddObject(route);
        return route;
    }
    // A track of the given length along a meridian, one sample a minute.
    CMapTrack* AddTrack(char const* name, double metres)
    {
        auto* track = new CMapTrack();
        track->SetName(name);
        double const degrees = metres / 111200.0;
        track->SetSamples({ CCoordinatePVT(CCoordinate(10, 20), CDateTime(8e8)),
            CCoordinatePVT(CCoordinate(10 + degrees, 20), CDateTime(8e8 + 60)) });
        mDocument->AddObject(track);
        return track;
    }

    void Attach(CBrowserMapObject& list)
    {
        list.SetDocument(mDocument.get());
        mBrowser->SetSource(&list);
    }

    toolbox::databrowser::DataBrowserView* View() const
    {
        return toolbox::databrowser::FindDataBrowser(mBrowser->GetControlRef());
    }
    std::vector<DataBrowserItemID> Rows() const { return View()->Model().Items(kDataBrowserItemAnyState); }
    std::vector<DataBrowserItemID> SelectedRows() const { return View()->Model().Items(kDataBrowserItemIsSelected); }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (DataBrowserItemID item : Rows())
            names.push_back(CBrowserMapObject::GetObject(item)->GetName().GetStdString());
        return names;
    }
    std::string Cell(DataBrowserItemID item, DataBrowserPropertyID property) const
    {
        toolbox::databrowser::ItemData data;
        if (View()->Model().GetData(item, property, data) != noErr)
            return "<none>";
        return cf::ToUTF8(data.text);
    }
    // The map shows the place in its middle, zoomed in, as after showing an object there.
    bool MapCentredOn(CCoordinate const& at) const
    {
        CViewMap* view = mDocument->GetMapView();
        CGPoint const centre = view->Project(view->GetMapCentre());
        CGPoint const place = view->Project(at);
        return view->GetMapZoom() >= 10 && std::abs(centre.x - place.x) <= 2 && std::abs(centre.y - place.y) <= 2;
    }
    // The name field of the editor sheet open on the document window; empty without one.
    std::string EditedName() const
    {
        CWindowController* sheet = mDocument->GetSheetController();
        return sheet && sheet->GetWindow() ? Text(sheet->GetWindow()->GetWindowRef(), 'name') : std::string();
    }
    static DataBrowserItemID Item(CMapObject const* object) { return CBrowserMapObject::GetItem(object); }

    // Where a row or a column's header is on the screen.
    CGPoint RowPoint(std::size_t row) const
    {
        CGRect const rect = View()->RowRect(row);
        return Global(mBrowser->GetControlRef(), { rect.origin.x + 30, CGRectGetMidY(rect) });
    }
    CGPoint HeaderPoint(DataBrowserPropertyID property) const
    {
        std::vector<toolbox::databrowser::Column> const& columns = View()->Model().GetColumns();
        std::vector<CGRect> const rects = View()->ColumnRects();
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].property.propertyID == property)
                return Global(mBrowser->GetControlRef(),
                    { CGRectGetMidX(rects[i]), toolbox::databrowser::DataBrowserView::kHeaderHeight / 2 });
        ADD_FAILURE() << "no such column";
        return {};
    }
    void ClickHeader(DataBrowserPropertyID property)
    {
        InputDriver::Click(HeaderPoint(property));
        Run(1.0); // no double click after it
    }

    std::unique_ptr<CWindowDocument> mDocument;
    std::unique_ptr<CMacWindow> mWindow;
    CDataBrowser* mBrowser = nullptr;
};

} // namespace tw::test
