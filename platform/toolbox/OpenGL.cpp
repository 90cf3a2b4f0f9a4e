#include "toolbox/OpenGL.h"

namespace {

constexpr DisplayIDType kMainDisplayID = 1;

} // namespace

void aglGetVersion(GLint* major, GLint* minor)
{
    if (major)
        *major = 1;
    if (minor)
        *minor = 0;
}

AGLRendererInfo aglQueryRendererInfo(AGLDevice const*, GLint) { return nullptr; }

AGLRendererInfo aglNextRendererInfo(AGLRendererInfo) { return nullptr; }

GLboolean aglDescribeRenderer(AGLRendererInfo, GLint, GLint*) { return false; }

void aglDestroyRendererInfo(AGLRendererInfo) { }

AGLPixelFormat aglChoosePixelFormat(AGLDevice const*, GLint, GLint const*) { return nullptr; }

void aglDestroyPixelFormat(AGLPixelFormat) { }

AGLContext aglCreateContext(AGLPixelFormat, AGLContext) { return nullptr; }

GLboolean aglDestroyContext(AGLContext) { return false; }

GLboolean aglSetCurrentContext(AGLContext context) { return context == nullptr; }

AGLContext aglGetCurrentContext() { return nullptr; }

GLboolean aglSetDrawable(AGLContext, CGrafPtr) { return false; }

GLboolean aglSetFullScreen(AGLContext, GLint, GLint, GLint, GLint) { return false; }

GLboolean aglUpdateContext(AGLContext) { return false; }

GLboolean aglEnable(AGLContext, GLenum) { return false; }

GLboolean aglDisable(AGLContext, GLenum) { return false; }

GLboolean aglSetInteger(AGLContext, GLenum, GLint const*) { return false; }

GLboolean aglGetInteger(AGLContext, GLenum, GLint*) { return false; }

GLubyte const* glGetString(GLenum) { return nullptr; }

void glGetIntegerv(GLenum, GLint*) { }

void glGetFloatv(GLenum, GLfloat*) { }

void glClear(GLbitfield) { }

void glEnable(GLenum) { }

void glHint(GLenum, GLenum) { }

OSStatus DMGetDisplayIDByGDevice(GDHandle device, DisplayIDType* outID, Boolean failToMain)
{
    if (!outID)
        return paramErr;
    if (device != GetMainDevice() && !failToMain)
        return paramErr;
    *outID = kMainDisplayID;
    return noErr;
}

OSStatus DMGetGDeviceByDisplayID(DisplayIDType id, GDHandle* outDevice, Boolean failToMain)
{
    if (!outDevice)
        return paramErr;
    if (id != kMainDisplayID && !failToMain)
        return paramErr;
    *outDevice = GetMainDevice();
    return noErr;
}
