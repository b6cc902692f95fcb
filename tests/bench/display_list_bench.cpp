// Prints how fast display lists are walked and drawn on the headless OpenGL
// context: a list of 100000 small triangles in groups of ten, each group under
// a matrix of its own (pushed, multiplied, popped), ending in a full sync.
#include <chrono>
#include <cstdio>

#include "core/machine.h"
#include "gfx/egl_offscreen_surface.h"
#include "rsp/display_list_state.h"
#include "rsp/rsp_task.h"
#include "support/gl_task_support.h"
#include "video/gl_context.h"

namespace {

constexpr uint32_t LIST = 0x100000;

class NullSurface : public GlSurface {
  public:
    bool createContext() override { return true; }
    void destroyContext() override {}
};

double secondsPerList(uint32_t size) {
    constexpr int RUNS = 3;
    const auto start = std::chrono::steady_clock::now();
    for (int run = 0; run < RUNS; ++run) {
        writeTaskRecord(TASK_TYPE_GRAPHICS, LIST, size);
        runRspTask();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / RUNS;
}

void print(const char* what, uint32_t commands, uint32_t triangles, double seconds) {
    std::printf("%-30s %u commands, %u triangles: %8.1f ms per list, %6.2f M commands/s, "
                "%6.2f M triangles/s\n",
                what, commands, triangles, seconds * 1e3, commands / seconds / 1e6,
                triangles / seconds / 1e6);
}

} // namespace

int main() {
    if (!resetMachine()) return 1;
    resetDisplayLists();
    EglOffscreenSurface surface;
    outputGlSurface = &surface;

    constexpr uint32_t TRIANGLES = 100000, PER_GROUP = 10;
    constexpr uint32_t MATRICES = 0x10000, VERTICES = 0x20000;
    const double scale[16] = {0.01, 0, 0, 0, 0, 0.01, 0, 0, 0, 0, 0.01, 0, 0, 0, 0, 1};
    writeMatrix(MATRICES, scale);
    for (uint32_t m = 1; m <= 16; ++m) {
        const double c = 0.9, s = 0.1 * m;
        const double moved[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, m * 4.0 - 32, m * 3.0 - 24,
                                  0, 1};
        writeMatrix(MATRICES + 0x40 * m, moved);
    }
    writeVertices(VERTICES, {{-5, -5, 0}, {5, -5, 0}, {0, 5, 0}});

    ListWriter list(LIST);
    list(0x01030040, MATRICES)(0x04000030, VERTICES);
    uint32_t commands = 2;
    for (uint32_t group = 0; group < TRIANGLES / PER_GROUP; ++group) {
        list(0x01040040, MATRICES + 0x40 * (1 + group % 16));
        for (uint32_t t = 0; t < PER_GROUP; ++t)
            list(0xBF000000, 0x00000A14);
        list(0xBD000000);
        commands += PER_GROUP + 2;
    }
    list(FULL_SYNC)(END_DL);
    commands += 2;

    writeTaskRecord(TASK_TYPE_GRAPHICS, LIST, list.end() - LIST);
    runRspTask(); // creates the context
    if (!theGlContext.renderContext) {
        std::printf("no OpenGL context: %s\n", surface.failure().c_str());
        return 1;
    }
    const double drawn = secondsPerList(list.end() - LIST);
    print("drawn on the headless context", commands, TRIANGLES, drawn);
    destroyGlContext();

    // The same walk with a surface that draws nothing: the walker's own cost.
    NullSurface nothing;
    outputGlSurface = &nothing;
    theDisplayList.glContextPending = true;
    print("walked without drawing", commands, TRIANGLES, secondsPerList(list.end() - LIST));
    destroyGlContext();
    outputGlSurface = nullptr;
    return 0;
}
