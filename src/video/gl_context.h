// The OpenGL context of the output window. It is created on the first graphics
// task of a run, on the thread that runs the task, and destroyed at the stop.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "host/gl_surface.h"

struct GlContext {
    // The surface the context was created for; null before.
    GlSurface* window = nullptr;
    // True while the surface holds a rendering context of ours.
    std::atomic<bool> renderContext{false};
    // The viewport size, as last set (from any thread).
    std::atomic<uint16_t> width{0};
    std::atomic<uint16_t> height{0};
    // A size set by setGlViewport that the context's thread has yet to apply.
    std::atomic<bool> viewportPending{false};
    // The thread the context is current on.
    std::atomic<std::thread::id> owner{};
    // The last frame swapped, 32-bit X8R8G8B8 pixels, rows top to bottom;
    // kept after the context is destroyed (for screenshots).
    std::vector<uint32_t> frame;
    uint32_t frameWidth = 0;
    uint32_t frameHeight = 0;
    // Frames swapped since the context was created.
    std::atomic<uint64_t> framesSwapped{0};
};

extern GlContext theGlContext;

// The output window's surface, published by the emulation start for the first
// graphics task; null when the run has none.
extern GlSurface* outputGlSurface;

// Creates the rendering context on `window` and makes it current on the
// calling thread. Without a surface, or when it cannot give a context, a
// message box tells so and the run goes on without OpenGL output.
void createGlContext(GlSurface* window);
// Releases the rendering context, if any, and forgets the surface.
void destroyGlContext();
// Ends a frame: reads it back, keeps it, hands it to the output window's
// frame presenter and tells the surface.
void swapGlBuffers();
// Records the viewport size. On the context's thread the viewport and the
// perspective projection are set at once; from any other thread they are set
// by that thread before its next display-list command (applyPendingGlViewport).
void setGlViewport(uint16_t width, uint16_t height);
// On the context's thread: sets a viewport recorded from another thread.
void applyPendingGlViewport();
// The thread the context is current on is about to end: the context is let go.
void releaseGlContextFromThread();
