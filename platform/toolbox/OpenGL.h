#pragma once

// AGL, the OpenGL queries and the Display Manager's display ids, as far as the
// display facts need them. Tarnwick draws with Cairo and brings no OpenGL
// renderer: AGL finds no renderer, so no pixel format or context can be made,
// no context is ever current, and the OpenGL queries answer nothing. Callers
// take their own "no renderer" paths. Display ids name the one screen.

#include "toolbox/WindowCalls.h"

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
    AGL_VIDEO_MEMORY = 120,
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
// Null: there is no renderer to describe.
AGLRendererInfo aglQueryRendererInfo(AGLDevice const* devices, GLint count);
AGLRendererInfo aglNextRendererInfo(AGLRendererInfo info);
GLboolean aglDescribeRenderer(AGLRendererInfo info, GLint property, GLint* value);
void aglDestroyRendererInfo(AGLRendererInfo info);
// Null: no renderer offers a pixel format.
AGLPixelFormat aglChoosePixelFormat(AGLDevice const* devices, GLint count, GLint const* attributes);
void aglDestroyPixelFormat(AGLPixelFormat format);
AGLContext aglCreateContext(AGLPixelFormat format, AGLContext share);
GLboolean aglDestroyContext(AGLContext context);
// Only "no context" can be made current.
GLboolean aglSetCurrentContext(AGLContext context);
AGLContext aglGetCurrentContext();
GLboolean aglSetDrawable(AGLContext context, CGrafPtr port);
GLboolean aglSetFullScreen(AGLContext context, GLint width, GLint height, GLint frequency, GLint device);
GLboolean aglUpdateContext(AGLContext context);
GLboolean aglEnable(AGLContext context, GLenum option);
GLboolean aglDisable(AGLContext context, GLenum option);
GLboolean aglSetInteger(AGLContext context, GLenum option, GLint const* value);
GLboolean aglGetInteger(AGLContext context, GLenum option, GLint* value);

// Without a current context: null strings, values left as they are, nothing drawn.
GLubyte const* glGetString(GLenum name);
void glGetIntegerv(GLenum name, GLint* values);
void glGetFloatv(GLenum name, GLfloat* values);
void glClear(GLbitfield mask);
void glEnable(GLenum capability);
void glHint(GLenum target, GLenum mode);

// The one screen is display 1. An unknown device or id fails, or gives the main
// display when failToMain is set.
OSStatus DMGetDisplayIDByGDevice(GDHandle device, DisplayIDType* outID, Boolean failToMain);
OSStatus DMGetGDeviceByDisplayID(DisplayIDType id, GDHandle* outDevice, Boolean failToMain);
