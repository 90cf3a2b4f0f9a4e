#pragma once

// The real OpenGL of the X display behind the AGL calls: the display's screens,
// pixel formats, off-screen contexts (each with a 1×1 pbuffer, so no window ever
// appears), the Mesa renderer query, and the few GL calls the display facts make.
// The display named by DISPLAY is opened on first use and kept for the process;
// without one (or when its GLX fails) every call answers "none" at once. Errors
// the X server reports for these calls are caught, never fatal. Main thread.

namespace tw::toolbox::glx {

struct Context;

struct PixelFormat {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
    int depth = 0;
    int stencil = 0;
    int samples = 0; // 0: no sample buffers
    bool doubleBuffer = false;
};

// Screens of the display, 0 without one.
int NumberOfScreens();
int MainScreen(); // -1 without a display

// The best configuration of the screen for an off-screen context; null when none fits.
void* ChooseConfig(int screen, PixelFormat const& format);
// Null when the context cannot be made. A share context that does not fit is left out.
Context* CreateContext(int screen, void* config, Context* share);
void DestroyContext(Context* context);
// Null releases the current context.
bool MakeCurrent(Context* context);
Context* CurrentContext(); // null when none of ours is current

// GLX_MESA_query_renderer: false when the driver does not offer it or has no such renderer.
enum class RendererFact { Accelerated, VideoMemoryMegabytes, VendorID, DeviceID };
bool QueryRenderer(int screen, int renderer, RendererFact fact, unsigned& value);

// The GL calls, made only while a context is current.
unsigned char const* GetString(unsigned name);
void GetIntegerv(unsigned name, int* values);
void GetFloatv(unsigned name, float* values);
void Clear(unsigned mask);
void Enable(unsigned capability);
void Hint(unsigned target, unsigned mode);

// Closes the display, so the next call opens the one DISPLAY names then. Every context
// must be gone.
void ResetForTesting();

} // namespace tw::toolbox::glx
