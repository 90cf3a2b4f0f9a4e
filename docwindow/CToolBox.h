#pragma once

// The ten map tools of one document window, one of each, and which of them is
// the map view's current tool. The document window owns it. Main thread only.

#include "docwindow/CToolCircle.h"
#include "docwindow/CToolCrop.h"
#include "docwindow/CToolHand.h"
#include "docwindow/CToolLine.h"
#include "docwindow/CToolNote.h"
#include "docwindow/CToolRectangle.h"
#include "docwindow/CToolRoute.h"
#include "docwindow/CToolRuler.h"
#include "docwindow/CToolWaypoint.h"
#include "docwindow/CToolZoom.h"

class IMapDocument;

class CToolBox {
public:
    CToolBox() = default;
    CToolBox(CToolBox const&) = delete;
    CToolBox& operator=(CToolBox const&) = delete;
    virtual ~CToolBox();

    void SetDocument(IMapDocument* document);
    // Makes the tool current on the document's map view; a code of no tool leaves the view
    // without one (the code is kept all the same).
    void SetTool(TWTool tool);
    TWTool GetTool() const { return mTool; }
    // The tool of that code, or null.
    CTool* FindTool(TWTool tool);

private:
    IMapDocument* mDocument = nullptr; // weak: the document owns us
    TWTool mTool = kToolHand;
    // In code order; destroyed in reverse.
    CToolCircle mCircle;
    CToolCrop mCrop;
    CToolHand mHand;
    CToolLine mLine;
    CToolNote mNote;
    CToolRectangle mRectangle;
    CToolRoute mRoute;
    CToolRuler mRuler;
    CToolWaypoint mWaypoint;
    CToolZoom mZoom;
};
