#pragma once

// Base of the user's map objects: type code, numeric ID, name, description,
// link, attribute bits and drawing style. Every change broadcasts "mmod" with
// the object to its listeners (its document). Objects are owned by their
// document and live on the main thread; only routes share their legs with a
// worker, under the route's own lock.
//
// Two hooks connect the objects to the application above them: the default
// style of a new object (the application's per-type styles) and the map
// manager whose distances and texts tracks and routes use. Both have built-in
// fallbacks, so objects work before, and without, an application.

#include "foundation/CFDictionary.h"
#include "foundation/CMsgBroadcaster.h"
#include "model/MapObjectTypes.h"

#include <array>
#include <utility>

class CMapManager;

class CMapObject : public CMsgBroadcaster {
public:
    using DefaultStyleHook = MapObjectStyle (*)(MapObjectType type);

    // Keys of the map object dictionary: stored in documents, never rename.
    static constexpr char const* kKeyType = "Type";
    static constexpr char const* kKeyID = "ID";
    static constexpr char const* kKeyName = "Name";
    static constexpr char const* kKeyDescription = "Description";
    static constexpr char const* kKeyURL = "URL";
    static constexpr char const* kKeyLineWidth = "LineWidth";
    static constexpr char const* kKeyLineStyle = "LineStyle";
    static constexpr char const* kKeyColourFill = "ColourFill";
    static constexpr char const* kKeyColourFrame = "ColourFrame";

    CMapObject(CMapObject const&) = delete;
    CMapObject& operator=(CMapObject const&) = delete;
    ~CMapObject() override;

    MapObjectType GetType() const { return mType; }
    bool IsType(MapObjectType type) const { return mType == type; }
    UInt32 GetID() const { return mID; }
    CString GetName() const { return mName; }
    CString GetDescription() const { return mDescription; }
    CString GetURL() const { return mURL; }
    MapObjectStyle GetStyle() const { return mStyle; }
    UInt32 GetAttributes() const { return mAttributes; }
    bool IsSelected() const { return (mAttributes & kMapObjectAttrSelected) != 0; }

    // Each broadcasts "mmod" when the value changed.
    void SetID(UInt32 id);
    void SetName(CString const& name);
    void SetDescription(CString const& description);
    void SetURL(CString const& url);
    void SetStyle(MapObjectStyle const& style);
    // new = (old | set) & ~clear
    void SetAttributes(UInt32 set, UInt32 clear);

    // Writes the object into an empty dictionary; 0 on success.
    virtual OSStatus EncodeProperties(CFDictionary& properties) const;
    // Reads a dictionary of this object's type; paramErr when the type differs or a value
    // the object needs is missing or impossible. A failed read may leave the object half
    // read: callers decode into a fresh object and delete it on failure.
    virtual OSStatus DecodeProperties(CFDictionary const& properties);

    // The dictionary's type code, read in either byte order; 0 when there is none.
    static MapObjectType GetEncodedType(CFDictionary const& properties);
    static bool IsKnownType(MapObjectType type);

    // The style a new object of the type starts with: the installed hook's answer, else the
    // built-in default. The application installs its per-type styles on the main thread.
    static MapObjectStyle GetDefaultStyle(MapObjectType type);
    static void SetDefaultStyleHook(DefaultStyleHook hook);
    // The hook's styles for every type, taken on the main thread for a reader on another
    // thread, which makes them its own with UseDefaultStyles (null: the hook again).
    using DefaultStyles = std::array<std::pair<MapObjectType, MapObjectStyle>, 8>;
    static DefaultStyles TakeDefaultStyles();
    static void UseDefaultStyles(DefaultStyles const* styles);
    // The map manager for distances and unit texts: the installed one (borrowed; the
    // application owns it), else a process-wide fallback without map packs.
    static CMapManager const& GetMapManager();
    static void SetMapManager(CMapManager const* manager);

protected:
    explicit CMapObject(MapObjectType type);

    void BroadcastModified() { BroadcastMessage(kMsgMapObjectModified, this); }
    void BroadcastNeedsDisplay() { BroadcastMessage(kMsgMapObjectNeedsDisplay, this); }

private:
    MapObjectType mType;
    UInt32 mID = 0;
    CString mName;
    CString mDescription;
    CString mURL;
    UInt32 mAttributes = 0;
    MapObjectStyle mStyle;
};
