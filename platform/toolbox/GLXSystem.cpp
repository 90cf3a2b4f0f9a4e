#include "toolbox/GLXSystem.h"

#include <GL/glx.h>
#include <GL/glxext.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tw::toolbox::glx {

struct Context {
    GLXContext context = nullptr;
    GLXPbuffer pbuffer = 0;
};

namespace {

    struct Connection {
        bool tried = false;
        Display* display = nullptr;
        bool glx = false; // the display offers GLX 1.3 or later (configurations and pbuffers)
        PFNGLXQUERYRENDERERINTEGERMESAPROC queryRenderer = nullptr;
    };

    Connection& TheConnection()
    {
        static Connection connection;
        return connection;
    }

    // Catches the errors the X server reports while it lives, instead of Xlib's default
    // handler ending the process; the previous handler comes back after.
    class ErrorTrap {
    public:
        explicit ErrorTrap(Display* display)
            : mDisplay(display)
        {
            mPrevious = XSetErrorHandler(&Handler);
            XSync(mDisplay, False); // an earlier request's error is not this one's
            sFailed = false;
        }
        ~ErrorTrap()
        {
            XSync(mDisplay, False);
            XSetErrorHandler(mPrevious);
        }
        ErrorTrap(ErrorTrap const&) = delete;
        ErrorTrap& operator=(ErrorTrap const&) = delete;

        bool Failed()
        {
            XSync(mDisplay, False);
            return sFailed;
        }

    private:
        static int Handler(Display*, XErrorEvent*)
        {
            sFailed = true;
            return 0;
        }

        static inline bool sFailed = false;
        Display* mDisplay;
        int (*mPrevious)(Display*, XErrorEvent*) = nullptr;
    };

    Display* TheDisplay()
    {
        Connection& c = TheConnection();
        if (!c.tried) {
            c.tried = true;
            char const* name = std::getenv("DISPLAY");
            if (!name || !*name)
                return nullptr;
            c.display = XOpenDisplay(name);
            if (!c.display)
                return nullptr;
            int major = 0, minor = 0;
            c.glx = glXQueryVersion(c.display, &major, &minor) && (major > 1 || (major == 1 && minor >= 3));
            char const* extensions = c.glx ? glXQueryExtensionsString(c.display, XDefaultScreen(c.display)) : nullptr;
            if (extensions && std::strstr(extensions, "GLX_MESA_query_renderer"))
                c.queryRenderer = reinterpret_cast<PFNGLXQUERYRENDERERINTEGERMESAPROC>(
                    glXGetProcAddressARB(reinterpret_cast<GLubyte const*>("glXQueryRendererIntegerMESA")));
        }
        return c.display;
    }

    Display* GLXDisplay()
    {
        Display* const display = TheDisplay();
        return display && TheConnection().glx ? display : nullptr;
    }

    std::vector<Context*>& LiveContexts()
    {
        static std::vector<Context*> contexts;
        return contexts;
    }

    bool HaveCurrent() { return GLXDisplay() && glXGetCurrentContext(); }

} // namespace

int NumberOfScreens()
{
    Display* const display = TheDisplay();
    return display ? XScreenCount(display) : 0;
}

int MainScreen()
{
    Display* const display = TheDisplay();
    return display ? XDefaultScreen(display) : -1;
}

void* ChooseConfig(int screen, PixelFormat const& format)
{
    Display* const display = GLXDisplay();
    if (!display || screen < 0 || screen >= XScreenCount(display))
        return nullptr;
    std::vector<int> attributes { GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_RED_SIZE,
        format.red, GLX_GREEN_SIZE, format.green, GLX_BLUE_SIZE, format.blue, GLX_ALPHA_SIZE, format.alpha,
        GLX_DEPTH_SIZE, format.depth, GLX_STENCIL_SIZE, format.stencil, GLX_DOUBLEBUFFER,
        format.doubleBuffer ? True : static_cast<int>(GLX_DONT_CARE) };
    if (format.samples > 0)
        attributes.insert(attributes.end(), { GLX_SAMPLE_BUFFERS, 1, GLX_SAMPLES, format.samples });
    attributes.push_back(None);
    ErrorTrap trap(display);
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, screen, attributes.data(), &count);
    void* chosen = nullptr;
    if (configs && count > 0 && !trap.Failed())
        chosen = configs[0];
    if (configs)
        XFree(configs);
    return chosen;
}

Context* CreateContext(int screen, void* config, Context* share)
{
    Display* const display = GLXDisplay();
    if (!display || !config || screen < 0 || screen >= XScreenCount(display))
        return nullptr;
    auto const fbConfig = static_cast<GLXFBConfig>(config);
    GLXContext context = nullptr;
    for (GLXContext const shareWith : { share ? share->context : nullptr, static_cast<GLXContext>(nullptr) }) {
        ErrorTrap trap(display);
        context = glXCreateNewContext(display, fbConfig, GLX_RGBA_TYPE, shareWith, True);
        if (context && trap.Failed()) {
            glXDestroyContext(display, context);
            context = nullptr;
        }
        if (context || !shareWith)
            break;
    }
    if (!context)
        return nullptr;
    int const size[] = { GLX_PBUFFER_WIDTH, 1, GLX_PBUFFER_HEIGHT, 1, None };
    GLXPbuffer pbuffer = 0;
    {
        ErrorTrap trap(display);
        pbuffer = glXCreatePbuffer(display, fbConfig, size);
        if (pbuffer && trap.Failed()) {
            glXDestroyPbuffer(display, pbuffer);
            pbuffer = 0;
        }
    }
    if (!pbuffer) {
        glXDestroyContext(display, context);
        return nullptr;
    }
    auto* made = new Context { context, pbuffer };
    LiveContexts().push_back(made);
    return made;
}

void DestroyContext(Context* context)
{
    std::vector<Context*>& live = LiveContexts();
    auto const found = std::find(live.begin(), live.end(), context);
    if (found == live.end())
        return;
    live.erase(found);
    Display* const display = GLXDisplay();
    ErrorTrap trap(display);
    if (glXGetCurrentContext() == context->context)
        glXMakeContextCurrent(display, None, None, nullptr);
    glXDestroyPbuffer(display, context->pbuffer);
    glXDestroyContext(display, context->context);
    delete context;
}

bool MakeCurrent(Context* context)
{
    Display* const display = GLXDisplay();
    if (!display)
        return !context;
    if (context && std::find(LiveContexts().begin(), LiveContexts().end(), context) == LiveContexts().end())
        return false;
    ErrorTrap trap(display);
    Bool const made = context ? glXMakeContextCurrent(display, context->pbuffer, context->pbuffer, context->context)
                              : glXMakeContextCurrent(display, None, None, nullptr);
    return made && !trap.Failed();
}

Context* CurrentContext()
{
    if (!GLXDisplay())
        return nullptr;
    GLXContext const current = glXGetCurrentContext();
    if (!current)
        return nullptr;
    for (Context* context : LiveContexts())
        if (context->context == current)
            return context;
    return nullptr;
}

bool QueryRenderer(int screen, int renderer, RendererFact fact, unsigned& value)
{
    Display* const display = GLXDisplay();
    auto const query = TheConnection().queryRenderer;
    if (!display || !query || screen < 0 || screen >= XScreenCount(display))
        return false;
    int attribute = 0;
    switch (fact) {
    case RendererFact::Accelerated:
        attribute = GLX_RENDERER_ACCELERATED_MESA;
        break;
    case RendererFact::VideoMemoryMegabytes:
        attribute = GLX_RENDERER_VIDEO_MEMORY_MESA;
        break;
    case RendererFact::VendorID:
        attribute = GLX_RENDERER_VENDOR_ID_MESA;
        break;
    case RendererFact::DeviceID:
        attribute = GLX_RENDERER_DEVICE_ID_MESA;
        break;
    }
    unsigned values[4] = {};
    ErrorTrap trap(display);
    if (!query(display, screen, renderer, attribute, values) || trap.Failed())
        return false;
    value = values[0];
    return true;
}

unsigned char const* GetString(unsigned name) { return HaveCurrent() ? glGetString(name) : nullptr; }

void GetIntegerv(unsigned name, int* values)
{
    if (HaveCurrent() && values)
        glGetIntegerv(name, values);
}

void GetFloatv(unsigned name, float* values)
{
    if (HaveCurrent() && values)
        glGetFloatv(name, values);
}

void Clear(unsigned mask)
{
    if (HaveCurrent())
        glClear(mask);
}

void Enable(unsigned capability)
{
    if (HaveCurrent())
        glEnable(capability);
}

void Hint(unsigned target, unsigned mode)
{
    if (HaveCurrent())
        glHint(target, mode);
}

void ResetForTesting()
{
    Connection& c = TheConnection();
    while (!LiveContexts().empty())
        DestroyContext(LiveContexts().back());
    if (c.display) {
        glXMakeContextCurrent(c.display, None, None, nullptr);
        XCloseDisplay(c.display);
    }
    c = Connection();
}

} // namespace tw::toolbox::glx
