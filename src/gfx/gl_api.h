// The OpenGL functions the renderer uses, reached through one table that is
// filled from the rendering context's own function lookup. Nothing in the
// program links an OpenGL library: the headless surface loads its library at
// run time and a GUI hands in its toolkit's lookup, so the same drawing code
// runs on either without two copies of the gl* symbols in one process.
#pragma once

#include <cstdint>

using GLenum = unsigned int;
using GLbitfield = unsigned int;
using GLint = int;
using GLsizei = int;
using GLubyte = unsigned char;
using GLfloat = float;
using GLdouble = double;

constexpr GLenum GL_MODELVIEW = 0x1700;
constexpr GLenum GL_PROJECTION = 0x1701;
constexpr GLenum GL_TRIANGLES = 0x0004;
constexpr GLenum GL_POLYGON = 0x0009;
constexpr GLenum GL_FLAT = 0x1D00;
constexpr GLenum GL_SMOOTH = 0x1D01;
constexpr GLenum GL_BGRA = 0x80E1;
constexpr GLenum GL_UNSIGNED_BYTE = 0x1401;
constexpr GLenum GL_PACK_ALIGNMENT = 0x0D05;
constexpr GLbitfield GL_COLOR_BUFFER_BIT = 0x4000;

// A lookup of a function by name in the current context's library; null when
// it has no such function.
using GlProcLookup = void* (*)(const char* name, void* user);

struct GlApi {
    void (*Viewport)(GLint, GLint, GLsizei, GLsizei);
    void (*MatrixMode)(GLenum);
    void (*LoadIdentity)();
    void (*LoadMatrixf)(const GLfloat*);
    void (*MultMatrixf)(const GLfloat*);
    void (*PushMatrix)();
    void (*PopMatrix)();
    void (*Ortho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
    void (*Frustum)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
    void (*ShadeModel)(GLenum);
    void (*Begin)(GLenum);
    void (*End)();
    void (*Color3ub)(GLubyte, GLubyte, GLubyte);
    void (*Vertex3f)(GLfloat, GLfloat, GLfloat);
    void (*Vertex2f)(GLfloat, GLfloat);
    void (*Vertex2i)(GLint, GLint);
    void (*ClearColor)(GLfloat, GLfloat, GLfloat, GLfloat);
    void (*Clear)(GLbitfield);
    void (*Flush)();
    void (*Finish)();
    void (*PixelStorei)(GLenum, GLint);
    void (*ReadPixels)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
};

// The table the display-list commands call. Until a context has been loaded
// (and after unloadGlApi) every entry does nothing, as OpenGL calls do on a
// thread without a current context.
extern GlApi theGl;

// Fills theGl through `lookup`. False, with theGl left doing nothing, when a
// function is missing; `missing` then names it.
bool loadGlApi(GlProcLookup lookup, void* user, const char** missing = nullptr);
// Back to the table that does nothing.
void unloadGlApi();
// True while theGl holds a loaded context's functions.
bool glApiLoaded();

// The perspective projection of the output window: multiplies the current
// matrix by a projection with a vertical field of view of `fovyDegrees`, the
// given aspect ratio and near and far planes (the frustum the GL utility
// library's gluPerspective builds).
void glPerspective(GLdouble fovyDegrees, GLdouble aspect, GLdouble zNear, GLdouble zFar);
