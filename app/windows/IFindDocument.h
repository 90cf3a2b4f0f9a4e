#pragma once

// What the find window needs of the document it searches around: the map's centre and
// zoom limits, the window its zoom commands go on to, and adding, showing and removing
// the waypoints it makes. The document window implements it; tests stand in for it.
// Main thread only.

#include "foundation/CCoordinate.h"
#include "widgets/CHIView.h"

class CMapObject;

class IFindDocument {
public:
    virtual ~IFindDocument() = default;

    virtual CCoordinate GetMapCentre() = 0;
    virtual bool CouldZoomMap(CHIView::ZoomType type) const = 0;
    // The document's window, which hears the zoom commands the find window passes on.
    virtual WindowRef GetDocumentWindowRef() const = 0;
    // Takes the object over; false when it could not be added (the caller keeps it then).
    virtual bool AddObject(CMapObject* object) = 0;
    // Removes and deletes the object.
    virtual void RemoveObject(CMapObject* object) = 0;
    virtual void ShowObject(CMapObject* object) = 0;
    // Null with false clears the selection.
    virtual void SelectObject(CMapObject* object, bool select) = 0;
};

class CWindowDocument;

// The document window as the find window sees it.
class CFindDocument : public IFindDocument {
public:
    explicit CFindDocument(CWindowDocument& document)
        : mDocument(document)
    {
    }

    CCoordinate GetMapCentre() override;
    bool CouldZoomMap(CHIView::ZoomType type) const override;
    WindowRef GetDocumentWindowRef() const override;
    bool AddObject(CMapObject* object) override;
    void RemoveObject(CMapObject* object) override;
    void ShowObject(CMapObject* object) override;
    void SelectObject(CMapObject* object, bool select) override;

private:
    CWindowDocument& mDocument;
};
