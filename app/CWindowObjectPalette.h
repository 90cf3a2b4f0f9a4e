#pragma once

// The inspector palette: one per process, made on first use and hidden rather
// than closed. It follows the current document window and shows one of four
// panels by the document's tool and selection: the coordinate under the mouse,
// the style of a line, rectangle or circle (the selected one's, or the default
// of the drawing tool's kind), the text of a note, or why there is nothing to
// edit. Main thread only.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "foundation/CMsgListener.h"
#include "framework/CWindowController.h"
#include "model/MapObjectTypes.h"
#include "widgets/CPanelController.h"

class CColourPicker;
class CCoordinate;
class CMapObject;
class CPopupButton;
class CSlider;
class CStaticText;
class IPaletteDocument;

class CWindowInspector : public CWindowController,
                         public CPanelController,
                         public CMsgListener,
                         public CBKeyValueObserver,
                         public CTWWindow {
public:
    static constexpr char const* kNibFile = "Tarnwick";
    static constexpr char const* kNibWindow = "Inspector";
    static constexpr char const* kNibPanelEmpty = "Inspector Empty";
    static constexpr char const* kNibPanelLocation = "Inspector Location";
    static constexpr char const* kNibPanelShape = "Inspector Shape";
    static constexpr char const* kNibPanelNote = "Inspector Note";
    static constexpr char const* kPrefBounds = "WindowInspector";
    static constexpr char const* kPrefVisible = "WindowInspectorVisible";
    static constexpr UInt32 kCommandShow = 'insp';
    static constexpr UInt32 kCommandLineStyle = 'fstl';
    static constexpr UInt32 kCommandLineWidth = 'fwid';
    static constexpr UInt32 kMsgCurrentDocument = 'dact';
    static constexpr MapObjectType kTypeNone = 'null'; // no style shown

    // The width and line style pop-ups' items, from 1.
    static constexpr float kLineWidths[] = { 1.0f, 2.0f, 4.0f, 8.0f }; // [px]
    static constexpr char const* kLineWidthImages[] = { "LineWidth1", "LineWidth2", "LineWidth4", "LineWidth8" };
    static constexpr MapLineStyle kLineStyles[] = { kMapLineSolid, kMapLineDotted, kMapLineDashed };
    static constexpr char const* kLineStyleImages[] = { "LineStyleSolid", "LineStyleDot", "LineStyleDash" };

    // The one palette, made on first use; null when it cannot be made (the next call tries again).
    static CWindowInspector* GetInstance();
    // Tests only: the palette goes, so that the next GetInstance makes a fresh one.
    static void ResetForTesting();

    CWindowInspector() = default;
    ~CWindowInspector() override;

    IPaletteDocument* GetDocument() const { return mDocument; }
    CMapObject* GetObject() const { return mObject; }
    UInt32 GetCount() const { return mCount; }
    MapObjectType GetType() const { return mType; }

    void FindControls();
    void SelectPanel(CString const& name);
    void UpdatePanelLocation(CCoordinate const* coordinate);
    void UpdatePanelShape();
    void UpdatePanelNote();
    void ApplyPanelShape(UInt32 changed = 0);
    void ChangedSelection();
    void ChangedTool();
    void ChangedDocument(IPaletteDocument* document);

    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    void DoMessage(UInt32 message, void* parameter) override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

private:
    MapObjectStyle GetShownStyle() const;
    void ListenToDocument(bool listen);

    IPaletteDocument* mDocument = nullptr; // weak: the document says "dact" before it goes
    CMapObject* mObject = nullptr; // weak: dropped when the document removes it
    UInt32 mCount = 0;
    MapObjectType mType = kTypeNone;
    CMapObject* mRemoving = nullptr; // the object whose removal is being told, no longer counted
    // Whether the pop-ups show the style's width and line style (a value they lack shows nothing
    // of it, and is kept until the user picks an item).
    bool mWidthShown = false;
    bool mLineStyleShown = false;
    bool mPanelLoaded = true; // the panel's controls are new: their pop-ups need their images
    // The controls of the panel shown; the others are null. Weak: the window owns them.
    CStaticText* mWhyText = nullptr;
    CStaticText* mNoteText = nullptr;
    CStaticText* mLatitude = nullptr;
    CStaticText* mLongitude = nullptr;
    CSlider* mOpacity = nullptr;
    CPopupButton* mWidth = nullptr;
    CPopupButton* mLineStyle = nullptr;
    CColourPicker* mFill = nullptr;
    CColourPicker* mFrame = nullptr;
};
