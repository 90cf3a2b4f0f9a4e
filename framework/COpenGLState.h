#pragma once

// The OpenGL state last set through a context, so that setting it again can be
// skipped: a set of words (-1 while unknown) and the texture-combine modes of
// each texture unit.

#include "toolbox/OpenGL.h"

#include <array>

// One texture unit's combine mode, starting as the texture-combine defaults.
struct COpenGLTextureMode {
    GLenum mode = GL_REPLACE;
    GLenum combineColour = GL_REPLACE;
    GLenum combineAlpha = GL_REPLACE;
    std::array<GLenum, 3> sourceColour { GL_TEXTURE, GL_TEXTURE, GL_TEXTURE };
    std::array<GLenum, 3> sourceAlpha { GL_TEXTURE, GL_TEXTURE, GL_TEXTURE };
    std::array<GLenum, 3> operandColour { GL_SRC_COLOR, GL_SRC_COLOR, GL_SRC_COLOR };
    std::array<GLenum, 3> operandAlpha { GL_SRC_ALPHA, GL_SRC_ALPHA, GL_SRC_ALPHA };
    GLfloat scaleColour = 1.0f;
    GLfloat scaleAlpha = 1.0f;
};

struct GLStateTexture {
    static constexpr std::size_t kUnits = 8;
    std::array<COpenGLTextureMode, kUnits> units;
};

struct GLState {
    GLStateTexture texture;
};

class COpenGLState {
public:
    static constexpr std::size_t kWords = 14;

    COpenGLState() { mWords.fill(-1); }

    GLint GetWord(std::size_t index) const { return index < kWords ? mWords[index] : -1; }
    void SetWord(std::size_t index, GLint value)
    {
        if (index < kWords)
            mWords[index] = value;
    }
    GLState& GetState() { return mState; }

private:
    std::array<GLint, kWords> mWords; // -1: not known
    GLState mState;
};
