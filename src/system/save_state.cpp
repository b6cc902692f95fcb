#include "system/save_state.h"

#include <cstring>

#include "base/state_stream.h"
#include "core/machine.h"
#include "core/rom_file.h"
#include "cpu/recompiler/code_cache.h"
#include "hw/audio_output.h"
#include "hw/register_effects.h"
#include "hw/sound_events.h"
#include "rsp/display_list_state.h"
#include "system/run_control.h"
#include "video/frame_buffer_display.h"

namespace {

// Every part in its order; writing and reading follow the same list.
bool readAllParts(StateReader& in) {
    readMachineState(in);
    readLatchState(in);
    readDisplayListState(in);
    readFrameDisplayState(in);
    readAudioState(in);
    readSoundEventState(in);
    readRunCounterState(in);
    if (in.ok() && !in.atEnd()) in.fail("bytes follow the last part");
    return in.ok();
}

} // namespace

RomIdentity loadedRomIdentity() {
    return {romHeaderWord(theRom.header, 0x10), romHeaderWord(theRom.header, 0x14), theRom.romSize};
}

uint64_t savedViInterrupts(std::span<const uint8_t> payload) {
    // The parts are walked by their lengths up to the run counters.
    size_t at = 0;
    while (payload.size() - at >= 8) {
        uint32_t length = 0;
        std::memcpy(&length, payload.data() + at + 4, sizeof length);
        const bool counters = std::memcmp(payload.data() + at, "RUN ", 4) == 0;
        at += 8;
        if (length > payload.size() - at) return 0;
        if (counters && length >= 16) {
            uint64_t viInterrupts = 0;
            std::memcpy(&viInterrupts, payload.data() + at + 8, sizeof viInterrupts);
            return viInterrupts;
        }
        at += length;
    }
    return 0;
}

std::vector<uint8_t> captureMachineState() {
    StateWriter out;
    writeMachineState(out);
    writeLatchState(out);
    writeDisplayListState(out);
    writeFrameDisplayState(out);
    writeAudioState(out);
    writeSoundEventState(out);
    writeRunCounterState(out);
    return out.take();
}

bool applyMachineState(std::span<const uint8_t> payload, std::string& problem) {
    StateReader check(payload, false);
    if (!readAllParts(check)) {
        problem = "the state does not fit this version of the machine (" + check.problem() + ")";
        return false;
    }
    StateReader apply(payload, true);
    readAllParts(apply);
    // Code translated from the memory before the load is not this state's.
    discardTranslatedCode();
    return true;
}
