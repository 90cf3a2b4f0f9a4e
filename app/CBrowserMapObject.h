#pragma once

// The list sources of a document's map objects: every object of one kind, kept
// in step with the document. The list follows the document's object messages,
// shows the document's selection and selects in the document what the user
// selects in the list, hides temporary objects and what the filter text does
// not match (by name or description), and edits, shows or removes objects. The
// three kinds (routes, tracks, waypoints) add their columns, texts and order.
// Items are the objects' addresses. Main thread only.

#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "foundation/CMsgListener.h"
#include "model/MapObjectTypes.h"
#include "widgets/CDataBrowserSource.h"

#include <vector>

class CMapObject;
class CMapRoute;
class CMapTrack;
class CMapWaypoint;
class CWindowDocument;

class CBrowserMapObject : public CDataBrowserSource, public CMsgListener, public CBKeyValueObserver {
public:
    // What the list does for its user.
    enum : UInt32 {
        kBrowserContextMenu = 1, // offers the contextual menu
        kBrowserRemove = 2, // the delete keys remove the chosen objects from the document
        kBrowserOpenEdit = 4, // a double-click edits the object (shows it with Option held)
        kBrowserOpenConfirm = 8, // a double-click sends "ok  " to the focus
        kBrowserDefaultAttributes = kBrowserContextMenu | kBrowserRemove | kBrowserOpenEdit,
    };
    static constexpr char const* kContextMenu = "Context Browser";
    static constexpr UInt32 kCommandShow = 'show';
    static constexpr UInt32 kCommandConfirm = 'ok  ';

    explicit CBrowserMapObject(MapObjectType type);
    ~CBrowserMapObject() override;

    MapObjectType GetType() const { return mType; }
    CWindowDocument* GetDocument() const { return mDocument; }
    // Listens to the document and observes the units and coordinate format. Once only.
    void SetDocument(CWindowDocument* document);
    UInt32 GetAttributes() const { return mAttributes; }
    void SetAttributes(UInt32 set, UInt32 clear) { mAttributes = (mAttributes | set) & ~clear; }

    static CMapObject* GetObject(DataBrowserItemID item) { return reinterpret_cast<CMapObject*>(item); }
    static DataBrowserItemID GetItem(CMapObject const* object) { return reinterpret_cast<DataBrowserItemID>(object); }
    static std::vector<CMapObject*> GetObjects(std::vector<DataBrowserItemID> const& items);
    // Listed: not temporary, and the filter is empty or found in the name or the description.
    static bool FilterItem(CString const& filter, CMapObject const* object);

    // The document's messages, each for the browser the list is attached to.
    void ObjectAdded(CDataBrowser* browser, CMapObject* object);
    void ObjectModified(CDataBrowser* browser, CMapObject* object);
    void ObjectRemoved(CDataBrowser* browser, CMapObject* object);
    void ObjectsReset(CDataBrowser* browser);
    void ChangedSelection(CDataBrowser* browser);

    void PopulateBrowser() override;
    MenuRef GetContextualMenu(UInt32& helpType, AEDesc& selection) override;
    void HandleContextualMenu(UInt32 selectionType, MenuRef menu, SInt16 menuID, UInt16 menuItem) override;
    void ItemSelected(DataBrowserItemID item) override;
    void ItemDeselected(DataBrowserItemID item) override;
    void ItemOpened(DataBrowserItemID item) override;
    bool OpensItems() const override { return (mAttributes & (kBrowserOpenEdit | kBrowserOpenConfirm)) != 0; }
    void BrowserSelection() override;
    void RemoveSelection() override;
    void DoMessage(UInt32 message, void* parameter) override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

protected:
    // Whether the object is of the listed kind and passes the browser's filter.
    bool IsListed(CDataBrowser* browser, CMapObject const* object) const;

private:
    MapObjectType mType;
    CWindowDocument* mDocument = nullptr; // weak: the document owns this list
    UInt32 mAttributes = kBrowserDefaultAttributes;
    bool mSelectionSync = true; // off while the list's selection is set from the document's
    // The user's change of the list's selection, until the list has told all of it.
    std::vector<CMapObject*> mPendingSelect; // weak: listed objects
    std::vector<CMapObject*> mPendingDeselect;
};

class CBrowserRoutes : public CBrowserMapObject {
public:
    CBrowserRoutes();
    static CMapRoute* GetRoute(DataBrowserItemID item);
    std::vector<DBHeader> GetListHeaders() override;
    OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property) override;
    long CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property) override;
};

class CBrowserTracks : public CBrowserMapObject {
public:
    CBrowserTracks();
    static CMapTrack* GetTrack(DataBrowserItemID item);
    std::vector<DBHeader> GetListHeaders() override;
    OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property) override;
    // Time and distance compare as shown, character by character.
    long CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property) override;
};

class CBrowserWaypoints : public CBrowserMapObject {
public:
    CBrowserWaypoints();
    static CMapWaypoint* GetWaypoint(DataBrowserItemID item);
    std::vector<DBHeader> GetListHeaders() override;
    OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property) override;
    // Latitude and longitude compare as numbers.
    long CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property) override;
};
