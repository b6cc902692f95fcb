// Prints the time of one frame copy of each kind for the common frame sizes.
#include <chrono>
#include <cstdio>

#include "core/machine.h"
#include "core/memory.h"
#include "host/recording_frame_presenter.h"
#include "video/frame_buffer_display.h"

namespace {

double microsecondsPerCall(void (*copy)()) {
    constexpr int calls = 200;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i)
        copy();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    return took.count() / calls;
}

} // namespace

int main() {
    if (!resetMachine()) return 1;
    for (uint32_t bits : {16u, 32u}) {
        RecordingFramePresenter presenter(ScreenFormat{bits, GREEN_MASK_565});
        if (!initFrameBufferDisplay(&presenter)) return 1;
        for (uint32_t format : {FRAME_FORMAT_16, FRAME_FORMAT_32}) {
            for (uint32_t width : {320u, 640u}) {
                setFrameMode(format, width);
                theFrameBufferDisplay.frameSource = theMemory.rdram + 0x100000;
                std::printf("screen %2u bits, guest %x, %3u wide: fast %7.1f us, nice %7.1f us\n",
                            bits, format, width, microsecondsPerCall(copyFrameFast),
                            microsecondsPerCall(copyFrameNice));
            }
        }
        releaseFrameBufferDisplay();
    }
    return 0;
}
