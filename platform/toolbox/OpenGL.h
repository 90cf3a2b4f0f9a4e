#pragma once

// AGL, the OpenGL queries and the Display Manager's display ids, as far as the
// display facts need them, on the OpenGL of the X display (GLX). Tarnwick draws
// with Cairo: contexts here are off-screen only, each with a 1×1 pbuffer, so
// they can be asked about their renderer but never show anything; drawables and
// full screen are refused. The screens are the X display's: the main device is
// its default screen, and a display id is the screen's number plus one. Without
// an X display (or without its GLX) no renderer, pixel format or context is
// found, no context is ever current, and the OpenGL queries answer nothing.

#include "toolbox/WindowCalls.h"

#include <string>

using DisplayIDType = UInt32;
using AGLDevice = GDHandle;
using AGLPixelFormat = struct OpaqueAGLPixelFormat*;
using AGLContext = struct OpaqueAGLContext*;
using AGLRendererInfo = struct OpaqueAGLRendererInfo*;

using GLenum = UInt32;
using GLbitfield = UInt32;
using GLint = SInt32;
using GLfloat = float;
using GLboolean = UInt8;
using GLubyte = UInt8;

// Pixel format attributes, renderer properties and context options.
enum : GLint {
    AGL_NONE = 0,
    AGL_RGBA = 4,
    AGL_DOUBLEBUFFER = 5,
    AGL_RED_SIZE = 8,
    AGL_GREEN_SIZE = 9,
    AGL_BLUE_SIZE = 10,
    AGL_ALPHA_SIZE = 11,
    AGL_DEPTH_SIZE = 12,
    AGL_STENCIL_SIZE = 13,
    AGL_FULLSCREEN = 54,
    AGL_SAMPLE_BUFFERS_ARB = 55,
    AGL_SAMPLES_ARB = 56,
    AGL_RENDERER_ID = 70,
    AGL_NO_RECOVERY = 72,
    AGL_ACCELERATED = 73,
    AGL_VIDEO_MEMORY = 120, // [bytes], at most what a GLint holds
    AGL_VIDEO_MEMORY_MEGABYTES = 0x7A4D, // ours: cards outgrow a GLint of bytes
    AGL_RENDERER_GENERIC_ID = 0x00020200, // the software renderer
};

// The OpenGL names the display facts use.
enum : GLenum {
    GL_VENDOR = 0x1F00,
    GL_RENDERER = 0x1F01,
    GL_VERSION = 0x1F02,
    GL_EXTENSIONS = 0x1F03,
    GL_MAX_LIGHTS = 0x0D31,
    GL_MAX_TEXTURE_SIZE = 0x0D33,
    GL_MAX_TEXTURE_UNITS = 0x84E2,
    GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT = 0x84FF,
    GL_MULTISAMPLE_ARB = 0x809D,
    GL_MULTISAMPLE_FILTER_HINT_NV = 0x8534,
    GL_NICEST = 0x1102,
    GL_REPLACE = 0x1E01,
    GL_TEXTURE = 0x1702,
    GL_SRC_COLOR = 0x0300,
    GL_SRC_ALPHA = 0x0302,
    GL_DEPTH_BUFFER_BIT = 0x00000100,
    GL_STENCIL_BUFFER_BIT = 0x00000400,
    GL_COLOR_BUFFER_BIT = 0x00004000,
};

void aglGetVersion(GLint* major, GLint* minor);
// The renderers of the first device's screen (the main screen without devices), as the
// driver describes them (GLX_MESA_query_renderer); a driver that does not say offers one
// renderer that is not accelerated and has no video memory. Null without OpenGL.
AGLRendererInfo aglQueryRendererInfo(AGLDevice const* devices, GLint count);
AGLRendererInfo aglNextRendererInfo(AGLRendererInfo info);
GLboolean aglDescribeRenderer(AGLRendererInfo info, GLint property, GLint* value);
void aglDestroyRendererInfo(AGLRendererInfo info);
// An off-screen format of the first device's screen (the main screen without devices).
// Whether the renderer is accelerated is not asked: on a machine without a graphics card
// the software renderer is the display's renderer. Full screen is refused.
AGLPixelFormat aglChoosePixelFormat(AGLDevice const* devices, GLint count, GLint const* attributes);
void aglDestroyPixelFormat(AGLPixelFormat format);
AGLContext aglCreateContext(AGLPixelFormat format, AGLContext share);
GLboolean aglDestroyContext(AGLContext context);
// Null releases the current context.
GLboolean aglSetCurrentContext(AGLContext context);
AGLContext aglGetCurrentContext(); // null when no context of ours is current
// Windows draw with Cairo: neither a window nor the full screen can take a context.
GLboolean aglSetDrawable(AGLContext context, CGrafPtr port);
GLboolean aglSetFullScreen(AGLContext context, GLint width, GLint height, GLint frequency, GLint device);
GLboolean aglUpdateContext(AGLContext context);
// No context option exists here: these fail.
GLboolean aglEnable(AGLContext context, GLenum option);
GLboolean aglDisable(AGLContext context, GLenum option);
GLboolean aglSetInteger(AGLContext context, GLenum option, GLint const* value);
GLboolean aglGetInteger(AGLContext context, GLenum option, GLint* value);

// Without a current context: null strings, values left as they are, nothing drawn.
// (Contexts here have no drawable: nothing ever reaches the screen.)
GLubyte const* glGetString(GLenum name);
void glGetIntegerv(GLenum name, GLint* values);
void glGetFloatv(GLenum name, GLfloat* values);
void glClear(GLbitfield mask);
void glEnable(GLenum capability);
void glHint(GLenum target, GLenum mode);

// The main device is display 1 without an X display. An unknown device or id fails, or
// gives the main display when failToMain is set.
OSStatus DMGetDisplayIDByGDevice(GDHandle device, DisplayIDType* outID, Boolean failToMain);
OSStatus DMGetGDeviceByDisplayID(DisplayIDType id, GDHandle* outDevice, Boolean failToMain);
// The real screens, the main one first; null without an X display, or after the last.
GDHandle DMGetFirstScreenDevice(Boolean activeOnly);
GDHandle DMGetNextScreenDevice(GDHandle device, Boolean activeOnly);

namespace tw::toolbox {

// A display controller (PCI class 0x03) as the kernel lists it under its graphics
// devices' folder (/sys/class/drm): ids from the device's own files.
struct DisplayController {
    std::string driver; // the kernel driver's name, empty when none is bound
    UInt32 vendorID = 0;
    UInt32 deviceID = 0;
    UInt32 revisionID = 0;
    UInt32 subsystemID = 0;
};
// The first display controller of the cards in the folder (card0, card1, ...); false when
// none is listed or its ids cannot be read.
bool FindDisplayController(std::string const& drmFolder, DisplayController& controller);
inline constexpr char kDRMFolder[] = "/sys/class/drm";

// Destroys every context and closes the X display: the next call opens the display that
// DISPLAY names then.
void ResetOpenGLForTesting();

} // namespace tw::toolbox
