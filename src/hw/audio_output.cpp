#include "hw/audio_output.h"

#include <algorithm>
#include <cstring>

#include "base/log.h"
#include "core/hw_registers.h"
#include "core/memory.h"
#include "hw/buffer_done_event.h"

SoundOutput theSoundOutput;

namespace {

// Asks the stream thread to end and joins it; the lock must not be held.
void stopStreamThread() {
    SoundOutput& out = theSoundOutput;
    std::thread thread;
    {
        std::lock_guard lock(out.mutex);
        out.stopRequested = true;
        if (out.bufferDoneEvent) out.bufferDoneEvent->cancel();
        if (out.waitingEvent) out.waitingEvent->cancel();
        thread = std::move(out.streamThread);
    }
    // The thread needs the lock to see the request, so join without it.
    if (thread.joinable()) thread.join();
}

SoundSlot& otherSlot(const SoundSlot* slot) {
    return slot == &theSoundOutput.slotA ? theSoundOutput.slotB : theSoundOutput.slotA;
}

void clearSlots() {
    for (SoundSlot* slot : {&theSoundOutput.slotA, &theSoundOutput.slotB}) {
        if (slot->buffer) slot->buffer->stop();
        slot->buffer.reset();
        slot->bytes = 0;
    }
    theSoundOutput.playingSlot = nullptr;
}

} // namespace

// At process exit only the thread is ended: the back end may be gone already.
SoundOutput::~SoundOutput() {
    stopStreamThread();
}

bool initSound(void* /*window*/, const char* /*device*/) {
    // Whatever an earlier run left open is released first.
    releaseSound();
    SoundBackend* backend = soundBackend();
    if (!backend) return false;
    std::lock_guard lock(theSoundOutput.mutex);
    if (!backend->open()) return false;
    theSoundOutput.device = backend;
    clearSlots();
    return true;
}

bool openSoundOutput(void* window) {
    const bool ok = initSound(window, nullptr);
    if (!ok) statusMessage("Error Initializing DirectSound! There will be no sound emulation!");
    theSoundOutput.soundEnabled = ok;
    return ok;
}

SoundSlot* createSoundBuffer(uint32_t bytes, uint16_t bitsPerSample, uint32_t rate) {
    SoundOutput& out = theSoundOutput;
    SoundFormat& format = out.secondaryFormat;
    format.channels = 2;
    format.sampleRate = rate;
    format.averageBytesPerSecond = rate * 4;
    format.blockAlign = 4;
    format.bitsPerSample = bitsPerSample;

    // Slot A when it is free, otherwise slot B. With both busy the waiting
    // slot is the one replaced: replacing the playing buffer would lose its
    // end notification and stall the stream for good.
    SoundSlot* slot = &out.slotA;
    if (out.slotA.bytes != 0) {
        slot = &out.slotB;
        if (out.slotB.bytes != 0 && out.playingSlot == &out.slotB) slot = &out.slotA;
    }
    if (slot->buffer) {
        slot->buffer->stop();
        slot->buffer.reset();
        slot->bytes = 0;
    }
    if (!out.device) return nullptr;
    slot->buffer = out.device->createBuffer(format, bytes);
    return slot->buffer ? slot : nullptr;
}

void fillSoundBuffer(SoundBuffer* buffer, uint32_t source, uint32_t bytes) {
    if (!buffer) return;
    std::span<uint8_t> region = buffer->lock(bytes);
    if (region.empty()) return;
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(region.size(), bytes));
    // RDRAM holds each stereo frame as one host-order word with the guest's
    // left sample in its upper half. Swapping the halves puts the left sample
    // first, as the device expects: output byte i is RDRAM byte (source+i)^2.
    const uint8_t* rdram = theMemory.rdram;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = (uint64_t{source} + i) ^ 2;
        region[i] = (rdram && at < RDRAM_SIZE) ? rdram[at] : 0;
    }
    std::fill(region.begin() + count, region.end(), uint8_t{0});
    buffer->unlock(region);
}

void queueAudio() {
    SoundOutput& out = theSoundOutput;
    uint64_t length = uint64_t{AI_LEN_REG} + 1;
    const uint32_t source = AI_DRAM_ADDR_REG & 0x1FFFFFFF;
    if (!out.soundEnabled) {
        AI_LEN_REG = 0;
        return;
    }
    if (AI_DACRATE_REG == 0) {
        logLine("Audio buffer at 0x%08X dropped: AI_DACRATE_REG is 0", source);
        AI_LEN_REG = 0;
        return;
    }
    if (!theMemory.rdram || source >= RDRAM_SIZE) {
        logLine("Audio buffer at 0x%08X dropped: it lies outside RDRAM", source);
        AI_LEN_REG = 0;
        return;
    }
    if (source + length > RDRAM_SIZE) {
        logLine("Audio buffer at 0x%08X of 0x%llX bytes clamped to the end of RDRAM", source,
                static_cast<unsigned long long>(length));
        length = RDRAM_SIZE - source;
    }
    const uint32_t rate = AI_DAC_CLOCK / AI_DACRATE_REG + 1;
    const uint16_t bits = static_cast<uint16_t>(AI_BITRATE_REG + 1);

    bool failed = false;
    {
        std::lock_guard lock(out.mutex);
        SoundSlot* slot = createSoundBuffer(static_cast<uint32_t>(length), bits, rate);
        if (!slot) {
            failed = true;
        } else {
            fillSoundBuffer(slot->buffer.get(), source, static_cast<uint32_t>(length));
            slot->bytes = static_cast<uint32_t>(length);
            if (!otherSlot(slot).buffer) {
                out.playingSlot = slot;
                startStream(true);
                if (!slot->buffer->play()) logLine("Audio buffer at 0x%08X could not play", source);
            }
            if (out.slotA.bytes != 0 && out.slotB.bytes != 0) AI_STATUS_REG |= AI_STATUS_FULL;
        }
    }
    if (failed) {
        out.soundEnabled = false;
        AI_LEN_REG = 0;
        statusMessage("Failed creating sound buffer!");
    }
}

void releaseSound() {
    SoundOutput& out = theSoundOutput;
    out.soundEnabled = false;
    stopStreamThread();

    std::lock_guard lock(out.mutex);
    clearSlots();
    out.bufferDoneEvent.reset();
    out.waitingEvent.reset();
    if (out.device) out.device->close();
    out.device = nullptr;
    out.streamActive = false;
    out.stopRequested = false;
    out.buffersRetired = 0;
    out.streamChanged.notify_all();
}
