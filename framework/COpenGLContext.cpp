#include "framework/COpenGLContext.h"

#include "framework/CDisplayManager.h"
#include "framework/CMacWindow.h"
#include "framework/COpenGLUtilities.h"

#include <algorithm>

std::vector<COpenGLContext*> COpenGLContext::mContexts;
std::map<DisplayIDType, COpenGLContext*> COpenGLContext::mSharedContextMap;
bool COpenGLContext::mForceSoftware = false;

namespace {

constexpr GLint kOptionFullScreenSurface = 255; // switched off for full-screen contexts

// Names each OpenGL version brings along, whatever the extension string says.
constexpr char const* kAbove12[]
    = { "GL_APPLE_packed_pixel", "GL_APPLE_packed_pixels", "GL_EXT_bgra", "GL_EXT_rescale_normal", "GL_EXT_texture3D",
          "GL_SGIS_texture_edge_clamp", "GL_SGIS_texture_lod", "GL_EXT_separate_specular_color" };
constexpr char const* kFrom13[] = { "GL_ARB_multisample", "GL_ARB_multitexture", "GL_ARB_texture_border_clamp",
    "GL_ARB_texture_compression", "GL_ARB_texture_cube_map", "GL_ARB_texture_env_add", "GL_ARB_texture_env_combine",
    "GL_ARB_texture_env_dot3", "GL_ARB_transpose_matrix" };
constexpr char const* kFrom14[] = { "GL_ARB_depth_texture", "GL_ARB_point_parameters", "GL_ARB_shadow",
    "GL_ARB_texture_env_crossbar", "GL_ARB_texture_mirrored_repeat", "GL_ARB_vertex_program", "GL_ARB_window_pos",
    "GL_EXT_blend_func_separate", "GL_EXT_multi_draw_arrays", "GL_EXT_secondary_color", "GL_EXT_stencil_two_side",
    "GL_EXT_stencil_wrap", "GL_EXT_texture_lod_bias", "GL_NV_blend_square" };

template <std::size_t N> bool Lists(char const* const (&names)[N], std::string const& name)
{
    return std::find_if(std::begin(names), std::end(names), [&](char const* n) { return name == n; })
        != std::end(names);
}

} // namespace

COpenGLContext::COpenGLContext(CDisplayRef const& display)
    : mDisplay(display)
{
    mContexts.push_back(this);
}

COpenGLContext::~COpenGLContext()
{
    std::erase(mContexts, this);
    COpenGLUtilities::ForgetContext(this);
    if (mContext) {
        if (aglGetCurrentContext() == mContext)
            aglSetCurrentContext(nullptr);
        aglDestroyContext(mContext);
    }
    delete mWindow;
}

void COpenGLContext::DeleteSharedContexts()
{
    for (auto const& [id, shared] : mSharedContextMap)
        delete shared;
    mSharedContextMap.clear();
}

bool COpenGLContext::IsContext(COpenGLContext const* context)
{
    return std::find(mContexts.begin(), mContexts.end(), context) != mContexts.end();
}

std::vector<GLint> COpenGLContext::BuildAttributes(
    UInt32 red, UInt32 green, UInt32 blue, UInt32 alpha, UInt32 depth, UInt32 stencil, UInt32 samples, UInt32& flags)
{
    std::vector<GLint> attributes { AGL_RGBA };
    if (flags & kFlagDoubleBuffer)
        attributes.push_back(AGL_DOUBLEBUFFER);
    CDMModule* const module = CDisplayManager::GetCurrentModule();
    if ((flags & kFlagFullScreen) && module && module->IsFullScreen()) {
        attributes.push_back(AGL_FULLSCREEN);
    } else {
        flags &= ~kFlagFullScreen;
        attributes.insert(attributes.end(),
            { AGL_RED_SIZE, GLint(red), AGL_GREEN_SIZE, GLint(green), AGL_BLUE_SIZE, GLint(blue), AGL_ALPHA_SIZE,
                GLint(alpha) });
    }
    if ((flags & kFlagFSAA) && samples > 0 && COpenGLUtilities::CanDoFSAA(mDisplay, 1))
        attributes.insert(attributes.end(), { AGL_SAMPLE_BUFFERS_ARB, 1, AGL_SAMPLES_ARB, GLint(samples) });
    else
        flags &= ~kFlagFSAA;
    if ((flags & kFlagAccelerated) && !mForceSoftware)
        attributes.insert(attributes.end(), { AGL_ACCELERATED, AGL_NO_RECOVERY });
    else
        attributes.insert(attributes.end(), { AGL_RENDERER_ID, AGL_RENDERER_GENERIC_ID });
    if (depth)
        attributes.insert(attributes.end(), { AGL_DEPTH_SIZE, GLint(depth) });
    if (stencil)
        attributes.insert(attributes.end(), { AGL_STENCIL_SIZE, GLint(stencil) });
    attributes.push_back(AGL_NONE);
    return attributes;
}

AGLContext COpenGLContext::CreateAGLContext(UInt32 red, UInt32 green, UInt32 blue, UInt32 alpha, UInt32 depth,
    UInt32 stencil, UInt32 samples, UInt32 flags, CDisplayRef* display, bool makeCurrent)
{
    // 1. The display, and the context to share objects with.
    if (display)
        mDisplay = *display;
    COpenGLContext* const shared = (flags & kFlagNoShare) ? nullptr : GetSharedContext(mDisplay);
    // 2. and 3. A pixel format, without anti-aliasing when none offers it.
    AGLPixelFormat format = nullptr;
    for (;;) {
        std::vector<GLint> const attributes = BuildAttributes(red, green, blue, alpha, depth, stencil, samples, flags);
        AGLDevice const device = mDisplay.GetGDHandle();
        bool const oneDevice = (flags & kFlagAccelerated) && device;
        format = aglChoosePixelFormat(oneDevice ? &device : nullptr, oneDevice ? 1 : 0, attributes.data());
        if (format || !(flags & kFlagFSAA))
            break;
        flags &= ~kFlagFSAA;
    }
    if (!format)
        return nullptr;
    // 4. The context, sharing only within one display.
    bool const sameDisplay = shared && shared->mDisplay == mDisplay;
    mContext = aglCreateContext(format, sameDisplay ? shared->mContext : nullptr);
    aglDestroyPixelFormat(format);
    if (!mContext)
        return nullptr;
    // 5. and 6.
    mFlags = flags;
    Attach(makeCurrent, depth, stencil, samples);
    InitialiseInfo();
    return mContext;
}

// Puts the new context on its screen or window, clears it, and sets up anti-aliasing.
void COpenGLContext::Attach(bool makeCurrent, UInt32 depth, UInt32 stencil, UInt32 samples)
{
    bool drawable = false;
    if (mFlags & kFlagFullScreen) {
        aglDisable(mContext, kOptionFullScreenSurface);
        if (makeCurrent)
            COpenGLUtilities::SetCurrentContext(this);
        aglUpdateContext(mContext);
        drawable = aglSetFullScreen(mContext, 0, 0, 0, 0);
    } else {
        if (mWindow)
            drawable = aglSetDrawable(mContext, mWindow->GetWindowRef());
        if (makeCurrent)
            COpenGLUtilities::SetCurrentContext(this);
    }
    bool const current = aglGetCurrentContext() == mContext;
    if (current && drawable)
        glClear(GL_COLOR_BUFFER_BIT | (depth ? GLbitfield(GL_DEPTH_BUFFER_BIT) : 0)
            | (stencil ? GLbitfield(GL_STENCIL_BUFFER_BIT) : 0));
    if (!makeCurrent || samples == 0)
        return;
    if (mFlags & kFlagFSAA) {
        glEnable(GL_MULTISAMPLE_ARB);
        if (HaveExtension("GL_NV_multisample_filter_hint"))
            glHint(GL_MULTISAMPLE_FILTER_HINT_NV, GL_NICEST);
    } else if (COpenGLUtilities::CanDoFSAA(mDisplay, 2)) {
        COpenGLUtilities::EnableRadeonFSAA(samples);
    }
}

void COpenGLContext::InitialiseInfo()
{
    glGetIntegerv(GL_MAX_LIGHTS, &mMaxLights);
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &mMaxTextureUnits);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mMaxTextureSize);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mMaxTextureSize2);
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &mMaxAnisotropy);
    mGLVersion = COpenGLUtilities::PackGLVersion(reinterpret_cast<char const*>(glGetString(GL_VERSION)));
}

bool COpenGLContext::SetDrawable(CGrafPtr port, bool force)
{
    if (!mContext || ((mFlags & kFlagFullScreen) && !force))
        return true;
    AGLContext const previous = aglGetCurrentContext();
    aglSetCurrentContext(mContext);
    bool const set = aglSetDrawable(mContext, port);
    aglSetCurrentContext(previous);
    return set;
}

CString COpenGLContext::GetExtensionString()
{
    if (!mExtensionsRead) {
        GLubyte const* text = glGetString(GL_EXTENSIONS);
        mExtensions = CString(text ? reinterpret_cast<char const*>(text) : "", kCFStringEncodingUTF8);
        mExtensionsRead = true;
    }
    return mExtensions;
}

bool COpenGLContext::IsExtensionOfVersion(CString const& name, UInt32 glVersion)
{
    std::string const text = name.GetUTF8();
    return (glVersion > 0x120 && Lists(kAbove12, text)) || (glVersion >= 0x130 && Lists(kFrom13, text))
        || (glVersion >= 0x140 && Lists(kFrom14, text));
}

bool COpenGLContext::HaveExtension(CString const& name)
{
    std::string const key = name.GetUTF8();
    auto const cached = mExtensionCache.find(key);
    if (cached != mExtensionCache.end())
        return cached->second;
    bool have = false;
    if (key == "ATI_texture_env_combine3" && COpenGLUtilities::HasDriverBug(0))
        have = false;
    else
        have = GetExtensionString().Contains(name, true) || IsExtensionOfVersion(name, mGLVersion);
    mExtensionCache[key] = have;
    return have;
}

COpenGLContext* COpenGLContext::GetSharedContext(CDisplayRef display)
{
    if (display.IsNotValid())
        display = CDisplayManager::GetScreenDevice();
    if (display.IsNotValid())
        return nullptr;
    auto const found = mSharedContextMap.find(display.GetDisplayID());
    if (found != mSharedContextMap.end())
        return found->second;
    auto* context = new COpenGLContext(display);
    if (!context->CreateAGLContext(8, 8, 8, 8, 0, 0, 0, kFlagAccelerated | kFlagNoShare, nullptr, true)) {
        delete context;
        return nullptr;
    }
    mSharedContextMap[display.GetDisplayID()] = context;
    return context;
}
