#include "gfx/gl_api.h"

#include <cmath>

namespace {

template <typename... Args> void doNothing(Args...) {}

// Pairs each table entry with its function name, for the loader and for the
// table that does nothing.
template <typename F> struct Entry;
template <typename... Args> struct Entry<void (*)(Args...)> {
    static void assignNothing(void (*&slot)(Args...)) { slot = &doNothing<Args...>; }
};

template <typename F> void setNothing(F& slot) {
    Entry<F>::assignNothing(slot);
}

#define ORVEX_GL_FUNCTIONS(X)                                                                      \
    X(Viewport)                                                                                    \
    X(MatrixMode)                                                                                  \
    X(LoadIdentity)                                                                                \
    X(LoadMatrixf)                                                                                 \
    X(MultMatrixf)                                                                                 \
    X(PushMatrix)                                                                                  \
    X(PopMatrix)                                                                                   \
    X(Ortho)                                                                                       \
    X(Frustum)                                                                                     \
    X(ShadeModel)                                                                                  \
    X(Begin)                                                                                       \
    X(End)                                                                                         \
    X(Color3ub)                                                                                    \
    X(Vertex3f)                                                                                    \
    X(Vertex2f)                                                                                    \
    X(Vertex2i)                                                                                    \
    X(ClearColor)                                                                                  \
    X(Clear)                                                                                       \
    X(Flush)                                                                                       \
    X(Finish)                                                                                      \
    X(PixelStorei)                                                                                 \
    X(ReadPixels)

GlApi nothingTable() {
    GlApi table{};
#define ORVEX_SET_NOTHING(name) setNothing(table.name);
    ORVEX_GL_FUNCTIONS(ORVEX_SET_NOTHING)
#undef ORVEX_SET_NOTHING
    return table;
}

bool loaded = false;

} // namespace

GlApi theGl = nothingTable();

bool loadGlApi(GlProcLookup lookup, void* user, const char** missing) {
    GlApi table{};
    bool complete = true;
#define ORVEX_LOAD(name)                                                                           \
    if (complete) {                                                                                \
        void* address = lookup("gl" #name, user);                                                  \
        if (!address) {                                                                            \
            complete = false;                                                                      \
            if (missing) *missing = "gl" #name;                                                    \
        } else {                                                                                   \
            table.name = reinterpret_cast<decltype(table.name)>(address);                          \
        }                                                                                          \
    }
    ORVEX_GL_FUNCTIONS(ORVEX_LOAD)
#undef ORVEX_LOAD
    if (!complete) {
        unloadGlApi();
        return false;
    }
    theGl = table;
    loaded = true;
    return true;
}

void unloadGlApi() {
    theGl = nothingTable();
    loaded = false;
}

bool glApiLoaded() {
    return loaded;
}

void glPerspective(GLdouble fovyDegrees, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const GLdouble top = zNear * std::tan(fovyDegrees * M_PI / 360.0);
    const GLdouble right = top * aspect;
    theGl.Frustum(-right, right, -top, top, zNear, zFar);
}
