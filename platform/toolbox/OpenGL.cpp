#include "toolbox/OpenGL.h"

#include "toolbox/GLXSystem.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace glx = tw::toolbox::glx;

struct OpaqueAGLPixelFormat {
    int screen;
    void* config;
};

struct OpaqueAGLContext {
    glx::Context* context;
};

struct OpaqueAGLRendererInfo {
    int screen;
    int renderer;
    bool described; // the driver answers the renderer query
    OpaqueAGLRendererInfo* next; // owned
};

namespace {

constexpr DisplayIDType kMainDisplayID = 1;
constexpr int kMaxScreens = 16;
constexpr int kMaxRenderers = 8;

// Handles of the screens other than the main one (whose device is the main device).
char gOtherScreens[kMaxScreens];

int ScreenCount() { return std::min(glx::NumberOfScreens(), kMaxScreens); }

GDHandle DeviceOfScreen(int screen)
{
    if (screen < 0 || screen >= ScreenCount())
        return nullptr;
    return screen == glx::MainScreen() ? GetMainDevice() : reinterpret_cast<GDHandle>(&gOtherScreens[screen]);
}

// -1 for a device that is no real screen.
int ScreenOfDevice(GDHandle device)
{
    if (!device || ScreenCount() == 0)
        return -1;
    if (device == GetMainDevice())
        return glx::MainScreen();
    auto const* at = reinterpret_cast<char const*>(device);
    if (at < gOtherScreens || at >= gOtherScreens + ScreenCount())
        return -1;
    return int(at - gOtherScreens);
}

int ScreenOfDevices(AGLDevice const* devices, GLint count)
{
    return devices && count > 0 ? ScreenOfDevice(devices[0]) : glx::MainScreen();
}

std::vector<AGLContext>& LiveContexts()
{
    static std::vector<AGLContext> contexts;
    return contexts;
}

bool IsLive(AGLContext context)
{
    return context && std::find(LiveContexts().begin(), LiveContexts().end(), context) != LiveContexts().end();
}

} // namespace

void aglGetVersion(GLint* major, GLint* minor)
{
    if (major)
        *major = 1;
    if (minor)
        *minor = 0;
}

AGLRendererInfo aglQueryRendererInfo(AGLDevice const* devices, GLint count)
{
    int const screen = ScreenOfDevices(devices, count);
    if (screen < 0 || !glx::ChooseConfig(screen, glx::PixelFormat {}))
        return nullptr;
    AGLRendererInfo first = nullptr;
    AGLRendererInfo* tail = &first;
    unsigned ignored = 0;
    for (int renderer = 0; renderer < kMaxRenderers; ++renderer) {
        bool const described = glx::QueryRenderer(screen, renderer, glx::RendererFact::Accelerated, ignored);
        if (!described && renderer > 0)
            break;
        *tail = new OpaqueAGLRendererInfo { screen, renderer, described, nullptr };
        tail = &(*tail)->next;
        if (!described)
            break;
    }
    return first;
}

AGLRendererInfo aglNextRendererInfo(AGLRendererInfo info) { return info ? info->next : nullptr; }

GLboolean aglDescribeRenderer(AGLRendererInfo info, GLint property, GLint* value)
{
    if (!info || !value)
        return false;
    auto fact = [&](glx::RendererFact which) {
        unsigned answer = 0;
        if (info->described)
            glx::QueryRenderer(info->screen, info->renderer, which, answer);
        return answer;
    };
    switch (property) {
    case AGL_ACCELERATED:
        *value = fact(glx::RendererFact::Accelerated) ? 1 : 0;
        return true;
    case AGL_VIDEO_MEMORY:
        *value = GLint(std::min<long long>(static_cast<long long>(fact(glx::RendererFact::VideoMemoryMegabytes)) << 20,
            INT_MAX));
        return true;
    case AGL_VIDEO_MEMORY_MEGABYTES:
        *value = GLint(std::min<unsigned>(fact(glx::RendererFact::VideoMemoryMegabytes), INT_MAX));
        return true;
    default:
        return false;
    }
}

void aglDestroyRendererInfo(AGLRendererInfo info)
{
    while (info) {
        AGLRendererInfo const next = info->next;
        delete info;
        info = next;
    }
}

AGLPixelFormat aglChoosePixelFormat(AGLDevice const* devices, GLint count, GLint const* attributes)
{
    int const screen = ScreenOfDevices(devices, count);
    if (screen < 0 || !attributes)
        return nullptr;
    glx::PixelFormat format;
    int sampleBuffers = 0, samples = 0;
    for (GLint const* a = attributes; *a != AGL_NONE; ++a) {
        switch (*a) {
        case AGL_RGBA:
        case AGL_ACCELERATED:
        case AGL_NO_RECOVERY:
            break;
        case AGL_DOUBLEBUFFER:
            format.doubleBuffer = true;
            break;
        case AGL_FULLSCREEN:
            return nullptr;
        case AGL_RENDERER_ID: // the display's renderer answers
            ++a;
            break;
        case AGL_RED_SIZE:
            format.red = std::max<GLint>(*++a, 0);
            break;
        case AGL_GREEN_SIZE:
            format.green = std::max<GLint>(*++a, 0);
            break;
        case AGL_BLUE_SIZE:
            format.blue = std::max<GLint>(*++a, 0);
            break;
        case AGL_ALPHA_SIZE:
            format.alpha = std::max<GLint>(*++a, 0);
            break;
        case AGL_DEPTH_SIZE:
            format.depth = std::max<GLint>(*++a, 0);
            break;
        case AGL_STENCIL_SIZE:
            format.stencil = std::max<GLint>(*++a, 0);
            break;
        case AGL_SAMPLE_BUFFERS_ARB:
            sampleBuffers = *++a;
            break;
        case AGL_SAMPLES_ARB:
            samples = *++a;
            break;
        default:
            return nullptr; // nothing here offers what it asks
        }
    }
    format.samples = sampleBuffers > 0 ? std::max(samples, 1) : 0;
    void* const config = glx::ChooseConfig(screen, format);
    return config ? new OpaqueAGLPixelFormat { screen, config } : nullptr;
}

void aglDestroyPixelFormat(AGLPixelFormat format) { delete format; }

AGLContext aglCreateContext(AGLPixelFormat format, AGLContext share)
{
    if (!format)
        return nullptr;
    glx::Context* const context
        = glx::CreateContext(format->screen, format->config, IsLive(share) ? share->context : nullptr);
    if (!context)
        return nullptr;
    auto* made = new OpaqueAGLContext { context };
    LiveContexts().push_back(made);
    return made;
}

GLboolean aglDestroyContext(AGLContext context)
{
    if (!IsLive(context))
        return false;
    std::erase(LiveContexts(), context);
    glx::DestroyContext(context->context);
    delete context;
    return true;
}

GLboolean aglSetCurrentContext(AGLContext context)
{
    if (context && !IsLive(context))
        return false;
    return glx::MakeCurrent(context ? context->context : nullptr);
}

AGLContext aglGetCurrentContext()
{
    glx::Context* const current = glx::CurrentContext();
    for (AGLContext context : LiveContexts())
        if (current && context->context == current)
            return context;
    return nullptr;
}

GLboolean aglSetDrawable(AGLContext, CGrafPtr) { return false; }

GLboolean aglSetFullScreen(AGLContext, GLint, GLint, GLint, GLint) { return false; }

GLboolean aglUpdateContext(AGLContext context) { return IsLive(context); }

GLboolean aglEnable(AGLContext, GLenum) { return false; }

GLboolean aglDisable(AGLContext, GLenum) { return false; }

GLboolean aglSetInteger(AGLContext, GLenum, GLint const*) { return false; }

GLboolean aglGetInteger(AGLContext, GLenum, GLint*) { return false; }

GLubyte const* glGetString(GLenum name) { return glx::GetString(name); }

void glGetIntegerv(GLenum name, GLint* values) { glx::GetIntegerv(name, values); }

void glGetFloatv(GLenum name, GLfloat* values) { glx::GetFloatv(name, values); }

void glClear(GLbitfield mask) { glx::Clear(mask); }

void glEnable(GLenum capability) { glx::Enable(capability); }

void glHint(GLenum target, GLenum mode) { glx::Hint(target, mode); }

OSStatus DMGetDisplayIDByGDevice(GDHandle device, DisplayIDType* outID, Boolean failToMain)
{
    if (!outID)
        return paramErr;
    int screen = ScreenOfDevice(device);
    if (screen < 0 && device != GetMainDevice() && !failToMain)
        return paramErr;
    if (screen < 0)
        screen = std::max(glx::MainScreen(), 0);
    *outID = screen + kMainDisplayID;
    return noErr;
}

OSStatus DMGetGDeviceByDisplayID(DisplayIDType id, GDHandle* outDevice, Boolean failToMain)
{
    if (!outDevice)
        return paramErr;
    GDHandle device = ScreenCount() > 0 ? DeviceOfScreen(int(id) - int(kMainDisplayID))
        : id == kMainDisplayID          ? GetMainDevice()
                                        : nullptr;
    if (!device && !failToMain)
        return paramErr;
    *outDevice = device ? device : GetMainDevice();
    return noErr;
}

GDHandle DMGetFirstScreenDevice(Boolean) { return DeviceOfScreen(glx::MainScreen()); }

GDHandle DMGetNextScreenDevice(GDHandle device, Boolean)
{
    int const screen = ScreenOfDevice(device);
    if (screen < 0)
        return nullptr;
    // The main screen comes first, then the others in order.
    int const main = glx::MainScreen();
    for (int next = screen == main ? 0 : screen + 1; next < ScreenCount(); ++next)
        if (next != main)
            return DeviceOfScreen(next);
    return nullptr;
}

namespace tw::toolbox {

namespace {

    // A number the kernel writes as "0x10de\n"; false for anything else.
    bool ReadHex(std::filesystem::path const& path, UInt32& value)
    {
        std::ifstream in(path);
        std::string text;
        if (!in || !std::getline(in, text) || text.size() < 3 || text.size() > 10 || text.compare(0, 2, "0x") != 0)
            return false;
        char* end = nullptr;
        unsigned long const number = std::strtoul(text.c_str() + 2, &end, 16);
        if (end == text.c_str() + 2 || *end != '\0' || number > 0xFFFFFFFFul)
            return false;
        value = UInt32(number);
        return true;
    }

    // "card0" → 0; -1 for the connectors ("card0-HDMI-A-1") and anything else.
    int CardNumber(std::string const& name)
    {
        if (name.size() < 5 || name.size() > 8 || name.compare(0, 4, "card") != 0)
            return -1;
        if (!std::all_of(name.begin() + 4, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return -1;
        return std::atoi(name.c_str() + 4);
    }

} // namespace

bool FindDisplayController(std::string const& drmFolder, DisplayController& controller)
{
    std::error_code error;
    std::vector<std::pair<int, std::filesystem::path>> cards;
    for (auto const& entry : std::filesystem::directory_iterator(drmFolder, error)) {
        int const number = CardNumber(entry.path().filename().string());
        if (number >= 0)
            cards.emplace_back(number, entry.path() / "device");
    }
    std::sort(cards.begin(), cards.end());
    for (auto const& [number, device] : cards) {
        UInt32 deviceClass = 0;
        DisplayController found;
        if (!ReadHex(device / "class", deviceClass) || (deviceClass >> 16) != 0x03
            || !ReadHex(device / "vendor", found.vendorID) || !ReadHex(device / "device", found.deviceID))
            continue;
        ReadHex(device / "revision", found.revisionID);
        ReadHex(device / "subsystem_device", found.subsystemID);
        std::filesystem::path const driver = std::filesystem::read_symlink(device / "driver", error);
        if (!error)
            found.driver = driver.filename().string();
        controller = found;
        return true;
    }
    return false;
}

void ResetOpenGLForTesting()
{
    while (!LiveContexts().empty())
        aglDestroyContext(LiveContexts().back());
    glx::ResetForTesting();
}

} // namespace tw::toolbox
