#pragma once

// OpenGL facts of a display read through a small off-screen scratch context kept
// per display: the renderer's name, the OpenGL version, extensions, the graphics
// card family and its known driver problems, and full-scene anti-aliasing.
// Every query answers its neutral value when no context can be had: an empty
// name, 0, false. Main thread; the statics are not locked.

#include "foundation/CString.h"
#include "framework/CDisplayRef.h"

#include <map>

class COpenGLContext;

// Known driver problems, by number.
using GLDriverBugs = UInt32;
// 0 either kind, 1 multisampling, 2 the Radeon's own.
using FSAAMode = UInt32;

class COpenGLUtilities {
public:
    // Graphics card families.
    enum : UInt32 {
        kCardNVIDIA = 1,
        kCardOther = 2,
        kCardGeForce2 = 0x100001,
        kCardGeForce3 = 0x200001,
        kCardGeForce4 = 0x300001,
        kCardGeForce4MX = 0x400001,
        kCardGeForceFX = 0x500001,
        kCardGeForceFX5200Ultra = 0x600001,
        kCardRadeonGeneric = 258,
        kCardRadeon = 514,
        kCardRadeon7000 = 770,
        kCardRadeon9800 = 1026,
        kCardRadeon9600 = 1282,
        kCardRadeon8500 = 1538,
        kCardRadeon9700 = 1794,
        kCardRadeon9600XT = 2050,
        kCardRadeonX800XT = 2306,
        kCardRadeon9000 = 2562,
        kCardRadeon9200 = 2818,
    };
    static constexpr UInt32 kRadeon9600XTDeviceID = 0x4E50;
    static constexpr GLenum kRadeonFSAAOption = 510;

    static CString GetGraphicsCardRenderer(CDisplayRef display);
    static UInt32 GetGraphicsCardType(CDisplayRef display);
    static UInt32 GetGraphicsCardType(CString const& renderer);
    // As GetGraphicsCardType, with the display controller's device id at hand.
    static UInt32 GetGraphicsCardType(CString const& renderer, UInt32 deviceID);
    static UInt32 GetGLVersion();
    // The digits of a version text in nibbles from bit 8 down ("1.4.1" gives 0x141),
    // up to the first character that is neither digit nor point.
    static UInt32 PackGLVersion(char const* version);
    static bool HaveExtension(CString const& name);
    static bool HasDriverBug(GLDriverBugs bug);
    static bool HasDriverBug(GLDriverBugs bug, UInt32 cardType, UInt32 systemVersion);
    static bool CanDoFSAA(CDisplayRef display, FSAAMode mode);
    static bool EnableRadeonFSAA(UInt32 samples);

    static COpenGLContext* GetScratchContext(CDisplayRef display);
    static COpenGLContext* GetCurrentContext();
    static bool UseScratchContext(CDisplayRef display);
    static bool SetCurrentContext(COpenGLContext* context);
    // A context that goes is no longer tracked as current or to come back.
    static void ForgetContext(COpenGLContext const* context);
    // AGL 1.0 or later: contexts can be tracked.
    static bool HaveAGL();

    // Deletes the scratch and shared contexts and lets the system's OpenGL start afresh,
    // with the display that DISPLAY names then.
    static void ResetForTesting();

private:
    static bool IsScratchContext(COpenGLContext const* context);
    static void RestoreContext();

    static COpenGLContext* mCurrentContext; // weak
    static std::map<DisplayIDType, COpenGLContext*> mGLScratchContextMap; // owns, for the process
    static COpenGLContext* mGLScratchContextOld; // weak: current before a scratch context was
};
