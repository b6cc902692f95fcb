#include "hw/audio_output.h"

#include <algorithm>
#include <cstring>

#include "base/log.h"
#include "base/state_stream.h"
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
        slot->samples.clear();
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
    slot->samples.clear();
    if (!out.device) return nullptr;
    slot->format = format;
    slot->buffer = out.device->createBuffer(format, bytes);
    return slot->buffer ? slot : nullptr;
}

std::vector<uint8_t> guestSoundSamples(uint32_t source, uint32_t bytes) {
    // RDRAM holds each stereo frame as one host-order word with the guest's
    // left sample in its upper half. Swapping the halves puts the left sample
    // first, as the device expects: output byte i is RDRAM byte (source+i)^2.
    std::vector<uint8_t> samples(bytes);
    const uint8_t* rdram = theMemory.rdram;
    for (uint32_t i = 0; i < bytes; ++i) {
        const uint64_t at = (uint64_t{source} + i) ^ 2;
        samples[i] = (rdram && at < RDRAM_SIZE) ? rdram[at] : 0;
    }
    return samples;
}

void copyIntoSoundBuffer(SoundBuffer* buffer, const std::vector<uint8_t>& samples) {
    if (!buffer) return;
    std::span<uint8_t> region = buffer->lock(uint32_t(samples.size()));
    if (region.empty()) return;
    const size_t count = std::min(region.size(), samples.size());
    std::copy_n(samples.begin(), count, region.begin());
    std::fill(region.begin() + count, region.end(), uint8_t{0});
    buffer->unlock(region);
}

void fillSoundBuffer(SoundBuffer* buffer, uint32_t source, uint32_t bytes) {
    copyIntoSoundBuffer(buffer, guestSoundSamples(source, bytes));
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
            slot->samples = guestSoundSamples(source, static_cast<uint32_t>(length));
            copyIntoSoundBuffer(slot->buffer.get(), slot->samples);
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

namespace {

// A guest buffer is at most the RDRAM it lies in.
constexpr uint32_t MAX_SAVED_SAMPLES = RDRAM_SIZE;

struct SavedSlot {
    uint32_t bytes = 0;
    SoundFormat format;
    std::vector<uint8_t> samples;
};

} // namespace

void writeAudioState(StateWriter& out) {
    SoundOutput& sound = theSoundOutput;
    std::lock_guard lock(sound.mutex);
    out.beginPart("AUDI");
    const uint8_t playing = sound.playingSlot == &sound.slotA   ? 1
                            : sound.playingSlot == &sound.slotB ? 2
                                                                : 0;
    out.put(playing);
    out.put(sound.device ? sound.device->timelineEnd() : 0.0);
    for (const SoundSlot* slot : {&sound.slotA, &sound.slotB}) {
        const bool held = slot->bytes != 0 && slot->buffer;
        out.put(uint32_t(held ? slot->bytes.load() : 0));
        if (!held) continue;
        out.putRecord(slot->format);
        out.put(uint32_t(slot->samples.size()));
        out.raw(slot->samples.data(), slot->samples.size());
    }
    out.endPart();
}

bool readAudioState(StateReader& in) {
    uint8_t playing = 0;
    double timeline = 0.0;
    SavedSlot saved[2];
    in.beginPart("AUDI");
    in.get(playing);
    in.get(timeline);
    for (SavedSlot& slot : saved) {
        in.getLength(slot.bytes, MAX_SAVED_SAMPLES);
        if (slot.bytes == 0) continue;
        uint32_t count = 0;
        in.getRecord(slot.format);
        in.getLength(count, MAX_SAVED_SAMPLES);
        if (!in.ok()) break;
        slot.samples.resize(count);
        in.raw(slot.samples.data(), count);
    }
    if (in.ok() && (playing > 2 || (playing != 0 && saved[playing - 1].bytes == 0)))
        in.fail("the playing buffer is not among the saved ones");
    if (!in.endPart()) return false;
    if (!in.applying()) return true;

    SoundOutput& sound = theSoundOutput;
    stopStreamThread();
    std::lock_guard lock(sound.mutex);
    clearSlots();
    sound.bufferDoneEvent.reset();
    sound.waitingEvent.reset();
    sound.stopRequested = false;
    // Without sound in this run the saved buffers are dropped.
    if (!sound.device || !sound.soundEnabled) return true;
    sound.device->setTimelineEnd(timeline);
    SoundSlot* slots[2] = {&sound.slotA, &sound.slotB};
    for (int i = 0; i < 2; ++i) {
        if (saved[i].bytes == 0) continue;
        SoundSlot& slot = *slots[i];
        slot.buffer =
            sound.device->createBuffer(saved[i].format, uint32_t(saved[i].samples.size()));
        if (!slot.buffer) {
            logLine("A saved audio buffer could not be created; sound is off for this run.");
            clearSlots();
            sound.soundEnabled = false;
            return true;
        }
        slot.format = saved[i].format;
        sound.secondaryFormat = saved[i].format;
        slot.samples = std::move(saved[i].samples);
        copyIntoSoundBuffer(slot.buffer.get(), slot.samples);
        slot.bytes = saved[i].bytes;
    }
    if (playing != 0) {
        SoundSlot& slot = *slots[playing - 1];
        sound.playingSlot = &slot;
        startStream(true);
        if (!slot.buffer->resume()) logLine("A saved audio buffer could not play on");
    }
    return true;
}
