#pragma once

// One AGL context for a display, with its window (when it draws into one), the
// extensions it offers and its limits. Contexts are listed while they live; one
// shared context per display is kept for the life of the process. Main thread.

#include "foundation/CString.h"
#include "framework/CDisplayRef.h"
#include "framework/COpenGLState.h"

#include <map>
#include <string>
#include <vector>

class CMacWindow;

class COpenGLContext {
public:
    // Flags of CreateAGLContext.
    enum : UInt32 {
        kFlagDoubleBuffer = 1,
        kFlagAccelerated = 2,
        kFlagFSAA = 4, // full-scene anti-aliasing
        kFlagFullScreen = 8,
        kFlagNoShare = 16,
    };

    explicit COpenGLContext(CDisplayRef const& display);
    COpenGLContext(COpenGLContext const&) = delete;
    COpenGLContext& operator=(COpenGLContext const&) = delete;
    virtual ~COpenGLContext();

    // Null when no pixel format fits (without anti-aliasing, as a last try) or the context
    // cannot be made.
    AGLContext CreateAGLContext(UInt32 red, UInt32 green, UInt32 blue, UInt32 alpha, UInt32 depth, UInt32 stencil,
        UInt32 samples, UInt32 flags, CDisplayRef* display, bool makeCurrent);
    AGLContext GetAGLContext() const { return mContext; }
    CDisplayRef& GetDisplay() { return mDisplay; }
    bool SetDrawable(CGrafPtr port, bool force);
    bool HaveExtension(CString const& name);
    void InitialiseInfo();
    CString GetExtensionString();

    static COpenGLContext* GetSharedContext(CDisplayRef display);
    static bool IsContext(COpenGLContext const* context);
    static void DeleteSharedContexts(); // for tests: they are otherwise kept for the process
    // Extensions that an OpenGL version includes, packed as COpenGLUtilities packs it.
    static bool IsExtensionOfVersion(CString const& name, UInt32 glVersion);

    // Software rendering only, for tests of drivers.
    static bool mForceSoftware;

private:
    std::vector<GLint> BuildAttributes(UInt32 red, UInt32 green, UInt32 blue, UInt32 alpha, UInt32 depth,
        UInt32 stencil, UInt32 samples, UInt32& flags);
    void Attach(bool makeCurrent, UInt32 depth, UInt32 stencil, UInt32 samples);

    static std::vector<COpenGLContext*> mContexts; // weak: each context adds and removes itself
    static std::map<DisplayIDType, COpenGLContext*> mSharedContextMap; // owns, for the process

    AGLContext mContext = nullptr; // owns
    CMacWindow* mWindow = nullptr; // owns; null for scratch and shared contexts
    CDisplayRef mDisplay;
    UInt32 mFlags = 0;
    std::map<std::string, bool> mExtensionCache;
    CString mExtensions;
    bool mExtensionsRead = false;
    UInt32 mGLVersion = 0;
    GLint mMaxLights = 0;
    GLint mMaxTextureUnits = 0;
    GLint mMaxTextureSize = 0;
    GLint mMaxTextureSize2 = 0;
    GLfloat mMaxAnisotropy = 0;
    COpenGLState mState;
};
