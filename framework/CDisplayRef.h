#pragma once

// A reference to one display that outlives display reconfiguration: it keeps the
// display id and looks the device up again whenever the display clock has moved
// on since it last did. Main thread.

#include "toolbox/OpenGL.h"

class CDisplayRef {
public:
    CDisplayRef() = default;
    // Takes only the other's display id and looks the device up from it.
    CDisplayRef(CDisplayRef const& other);
    CDisplayRef& operator=(CDisplayRef const& other);
    virtual ~CDisplayRef() = default;

    // With a device its display id is asked for, else with an id its device; either failing
    // to the main display.
    void InitialiseSelf(GDHandle device, DisplayIDType displayID);
    GDHandle GetGDHandle();
    DisplayIDType GetDisplayID() const { return mDisplayID; }
    bool IsValid();
    bool IsNotValid() { return !IsValid(); }
    bool operator==(CDisplayRef const& other) const { return mDisplayID == other.mDisplayID; }

    // Advanced when displays are reconfigured; nothing does so today.
    static UInt32 mCurrentClock;

private:
    void Refresh();

    GDHandle mDevice = nullptr; // borrowed from the Display Manager
    DisplayIDType mDisplayID = 0;
    UInt32 mClock = 0;
};
