#pragma once

// A map tool: what the map view hands its input and drawing to while the tool is
// current. Every map tool is the canvas's select/move/resize tool with that
// behaviour off unless it asks for it; it knows its code and its document, and
// turns a finished gesture into a new map object of the document. The tool box
// of the document window owns the tools. Main thread only.

#include "display/CursorCalls.h"
#include "docwindow/TWTool.h"
#include "foundation/CMsgListener.h"
#include "model/MapObjectTypes.h"
#include "widgets/CCanvasToolArrow.h"

class CCarbonEvent;
class CMapObject;
class CViewMap;
class IMapDocument;

class CTool : public CCanvasToolArrow, public CMsgListener {
public:
    static constexpr UInt32 kOptionModifiers = 0x0800 | 0x4000; // left and right Option

    CTool(TWTool code, bool listens);
    ~CTool() override;

    TWTool GetCode() const { return mCode; }
    IMapDocument* GetDocument() const { return mDocument; }
    CViewMap* GetMapView() const;
    // The default style of the type, in which previews draw.
    static MapObjectStyle GetStyle(MapObjectType type);
    // Hands the new object to the document (which owns it from then on, accepted or not);
    // true when the document accepted it.
    bool CreateObject(CCarbonEvent const& event, CMapObject* object, bool returnToHand, bool select);

    virtual void SetDocument(IMapDocument* document);
    // The temporary hand takes over until Space is let go, when this tool comes back: the
    // next deselection keeps what the tool was in the middle of.
    virtual void SuspendForTemporaryTool() { }
    void DoMessage(UInt32 message, void* parameter) override;

    static bool IsOptionHeld(CCarbonEvent const& event);
    // Where the pointer is in the drag: the press point moved by the drag's size.
    static CGPoint GetDragEnd(CGRect const& drag) { return { drag.origin.x + drag.size.width, drag.origin.y + drag.size.height }; }

private:
    TWTool mCode;
    bool mListens;
    IMapDocument* mDocument = nullptr; // weak: the document owns the tool box that owns us
    CViewMap* mListenedView = nullptr; // weak: the map view we listen to, if we do
};
