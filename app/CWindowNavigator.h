#pragma once

// The navigator palette: one per process, made on first use and hidden rather
// than closed. It shows the world with the current document's view marked, two
// buttons that zoom that document's map and a slider bound both ways to the
// document's "zoom". It follows the current document as the application
// announces it ("dact"). Main thread only.

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "foundation/CMsgListener.h"
#include "framework/CWindowController.h"

class CBControlBinding;
class CViewNavigator;
class IPaletteDocument;

class CWindowNavigator : public CWindowController, public CMsgListener, public CTWWindow {
public:
    static constexpr char const* kNibFile = "Tarnwick";
    static constexpr char const* kNibWindow = "Navigator";
    static constexpr char const* kPrefBounds = "WindowNavigator";
    static constexpr char const* kPrefVisible = "WindowNavigatorVisible";
    static constexpr UInt32 kCommandShow = 'navi';
    static constexpr UInt32 kCommandZoomIn = 'zoin';
    static constexpr UInt32 kCommandZoomOut = 'zout';
    static constexpr UInt32 kMsgCurrentDocument = 'dact';

    // The one palette, made on first use; null when it cannot be made (the next call tries again).
    static CWindowNavigator* GetInstance();
    // Tests only: the palette goes, so that the next GetInstance makes a fresh one.
    static void ResetForTesting();

    CWindowNavigator() = default;
    ~CWindowNavigator() override;

    CViewNavigator* GetNavigatorView() const { return mNavigator; }
    IPaletteDocument* GetDocument() const { return mDocument; }
    // Attaches the palette to the document, or to none with null.
    void DocumentChanged(IPaletteDocument* document);

    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;
    void DoMessage(UInt32 message, void* parameter) override;

private:
    CViewNavigator* mNavigator = nullptr; // weak: the window's view tree owns it
    IPaletteDocument* mDocument = nullptr; // weak: the document says "dact" before it goes
    CBControlBinding* mZoomBinding = nullptr; // owns, unless the slider went first and took it
};
