#include "gfx/egl_offscreen_surface.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "gfx/gl_api.h"

// The EGL entry points, looked up in the library opened at run time.
struct EglOffscreenSurface::Egl {
    decltype(&eglGetProcAddress) getProcAddress = nullptr;
    decltype(&eglQueryString) queryString = nullptr;
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay = nullptr;
    decltype(&eglInitialize) initialize = nullptr;
    decltype(&eglBindAPI) bindApi = nullptr;
    decltype(&eglChooseConfig) chooseConfig = nullptr;
    decltype(&eglCreateContext) createContext = nullptr;
    decltype(&eglDestroyContext) destroyContext = nullptr;
    decltype(&eglCreatePbufferSurface) createPbufferSurface = nullptr;
    decltype(&eglDestroySurface) destroySurface = nullptr;
    decltype(&eglMakeCurrent) makeCurrent = nullptr;
    decltype(&eglReleaseThread) releaseThread = nullptr;
};

namespace {

template <typename F> bool lookUp(void* library, const char* name, F& slot) {
    slot = reinterpret_cast<F>(dlsym(library, name));
    return slot != nullptr;
}

bool hasExtension(const char* list, const char* name) {
    if (!list) return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name))
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == 0)) return true;
    return false;
}

} // namespace

EglOffscreenSurface::EglOffscreenSurface() {
    // Frames are drawn by Mesa's software renderer, so that a run needs no
    // graphics hardware and gives the same pixels on every machine. Set here,
    // before any thread of the run exists; a setting of the user's is kept.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
}

EglOffscreenSurface::~EglOffscreenSurface() {
    destroyContext();
}

bool EglOffscreenSurface::fail(const char* what) {
    failure_ = what;
    destroyContext();
    return false;
}

// libEGL is opened once per process and stays loaded: its driver registers
// exit handlers that must find their code still there.
const EglOffscreenSurface::Egl* EglOffscreenSurface::loadEgl() {
    static const Egl* const loaded = []() -> const Egl* {
        void* library = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static Egl e;
        const bool complete = lookUp(library, "eglGetProcAddress", e.getProcAddress) &&
                              lookUp(library, "eglQueryString", e.queryString) &&
                              lookUp(library, "eglInitialize", e.initialize) &&
                              lookUp(library, "eglBindAPI", e.bindApi) &&
                              lookUp(library, "eglChooseConfig", e.chooseConfig) &&
                              lookUp(library, "eglCreateContext", e.createContext) &&
                              lookUp(library, "eglDestroyContext", e.destroyContext) &&
                              lookUp(library, "eglCreatePbufferSurface", e.createPbufferSurface) &&
                              lookUp(library, "eglDestroySurface", e.destroySurface) &&
                              lookUp(library, "eglMakeCurrent", e.makeCurrent) &&
                              lookUp(library, "eglReleaseThread", e.releaseThread);
        if (!complete) return nullptr;
        e.getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            e.getProcAddress("eglGetPlatformDisplayEXT"));
        return &e;
    }();
    return loaded;
}

bool EglOffscreenSurface::createContext() {
    destroyContext();
    failure_.clear();
    egl_ = loadEgl();
    if (!egl_) return fail("libEGL.so.1 could not be loaded");
    const char* clientExtensions = egl_->queryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!egl_->getPlatformDisplay ||
        !hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless"))
        return fail("EGL has no surfaceless platform");
    display_ =
        egl_->getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display_ == EGL_NO_DISPLAY || !egl_->initialize(display_, &major, &minor)) {
        display_ = nullptr;
        return fail("the surfaceless EGL display could not be initialised");
    }
    if (!egl_->bindApi(EGL_OPENGL_API)) return fail("EGL offers no desktop OpenGL");
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       16,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!egl_->chooseConfig(display_, configAttributes, &config, 1, &configs) || configs < 1)
        return fail("no EGL configuration for an offscreen RGB buffer");
    config_ = config;
    // No version or profile asked for: Mesa then gives a compatibility
    // context, with the fixed-function calls the display lists use.
    const EGLint contextAttributes[] = {EGL_NONE};
    context_ = egl_->createContext(display_, config_, EGL_NO_CONTEXT, contextAttributes);
    if (context_ == EGL_NO_CONTEXT) {
        context_ = nullptr;
        return fail("the OpenGL context could not be created");
    }
    if (!makeSurface(width_, height_)) return fail("the offscreen buffer could not be created");
    return true;
}

bool EglOffscreenSurface::makeSurface(uint32_t width, uint32_t height) {
    const EGLint attributes[] = {EGL_WIDTH, EGLint(width), EGL_HEIGHT, EGLint(height), EGL_NONE};
    EGLSurface surface = egl_->createPbufferSurface(display_, config_, attributes);
    if (surface == EGL_NO_SURFACE) return false;
    if (!egl_->makeCurrent(display_, surface, surface, context_)) {
        egl_->destroySurface(display_, surface);
        return false;
    }
    if (surface_) egl_->destroySurface(display_, surface_);
    surface_ = surface;
    width_ = width;
    height_ = height;
    return true;
}

bool EglOffscreenSurface::resize(uint32_t width, uint32_t height) {
    if (width == 0 || height == 0 || width > 8192 || height > 8192) return false;
    if (!context_ || (width == width_ && height == height_)) return context_ != nullptr;
    return makeSurface(width, height);
}

void* EglOffscreenSurface::procAddress(const char* name) {
    if (!context_) return nullptr;
    return reinterpret_cast<void*>(egl_->getProcAddress(name));
}

void EglOffscreenSurface::releaseCurrent() {
    if (!display_) return;
    egl_->makeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    egl_->releaseThread();
}

void EglOffscreenSurface::destroyContext() {
    if (!display_) return;
    egl_->makeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface_) egl_->destroySurface(display_, surface_);
    if (context_) egl_->destroyContext(display_, context_);
    // The display stays initialised, like the library: terminating it would
    // unload the driver, and the next context would load it again.
    surface_ = context_ = config_ = display_ = nullptr;
}
