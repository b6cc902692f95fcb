// Audio output: guest audio buffers handed to the sound back end.
//
// The guest points AI_DRAM_ADDR_REG at samples in RDRAM and stores their
// length to AI_LEN_REG. Each such buffer becomes a back-end buffer of its own
// in one of two slots: one plays, the other waits. The stream thread waits for
// the playing buffer to end, retires it, starts the waiting one and raises the
// AI interrupt so the guest can queue the next buffer. AI_STATUS_REG bit 31
// (full) is set while both slots hold data.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/sound_backend.h"

constexpr uint32_t AI_STATUS_FULL = 0x80000000u;
// The clock the DAC rate divides.
constexpr uint32_t AI_DAC_CLOCK = 48681812;

struct SoundSlot {
    // Length of the samples held; 0 when the slot is free. Read without the
    // lock when the full bit is brought up to date, hence atomic.
    std::atomic<uint32_t> bytes{0};
    std::unique_ptr<SoundBuffer> buffer;
    // The buffer's format and samples as handed to the back end, kept for a
    // saved state (which must not depend on what a back end lets be read).
    SoundFormat format;
    std::vector<uint8_t> samples;
};

class BufferDoneEvent;

struct SoundOutput {
    SoundOutput() = default;
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;
    // Stops the stream thread if releaseSound was never called.
    ~SoundOutput();

    // Set while sound set-up succeeded for this emulation run. Cleared for
    // the rest of the run when a buffer cannot be created.
    std::atomic<bool> soundEnabled{false};
    SoundSlot slotA;
    SoundSlot slotB;
    SoundSlot* playingSlot = nullptr;
    // The back end opened by initSound; null when none is open.
    SoundBackend* device = nullptr;
    // Format of the last created buffer.
    SoundFormat secondaryFormat;
    std::thread streamThread;

    // Guards every field above except soundEnabled and the slots' lengths,
    // and the stream-thread state below. Shared by the CPU thread and the
    // stream thread.
    std::mutex mutex;
    // Signalled by the playing buffer's end notification; none when idle.
    std::shared_ptr<BufferDoneEvent> bufferDoneEvent;
    // The event the stream thread is blocked on, so that a stop can wake it.
    std::shared_ptr<BufferDoneEvent> waitingEvent;
    // True from the start of a stream thread until it has committed to end.
    bool streamActive = false;
    bool stopRequested = false;
    uint64_t buffersRetired = 0;
    std::condition_variable streamChanged;
};

extern SoundOutput theSoundOutput;

// Opens the installed sound back end (`window` and `device` are accepted for
// the front ends' sake; the back end picks its device). On success both slots
// are cleared. False when there is no back end or it cannot open.
bool initSound(void* window, const char* device);
// The emulation start's part: initSound, and on failure the status message
// "Error Initializing DirectSound! There will be no sound emulation!".
// Sets soundEnabled to the outcome and returns it.
bool openSoundOutput(void* window);

// The effect of a store to AI_LEN_REG: queue the guest buffer at
// AI_DRAM_ADDR_REG for playing. CPU thread.
void queueAudio();

// A buffer of `bytes` bytes in the free slot (slot A first); when both slots
// are busy the waiting one is replaced. Null when it cannot be created.
SoundSlot* createSoundBuffer(uint32_t bytes, uint16_t bitsPerSample, uint32_t rate);
// Copies `bytes` bytes of guest samples from RDRAM offset `source` into the
// buffer as 16-bit little-endian stereo frames in the guest's channel order.
// Bytes past the end of RDRAM are written as silence.
void fillSoundBuffer(SoundBuffer* buffer, uint32_t source, uint32_t bytes);
// The samples fillSoundBuffer writes, and their copy into a buffer (the rest
// of the buffer is cleared).
std::vector<uint8_t> guestSoundSamples(uint32_t source, uint32_t bytes);
void copyIntoSoundBuffer(SoundBuffer* buffer, const std::vector<uint8_t>& samples);
// Creates bufferDoneEvent and asks the playing buffer to signal it at its end;
// with `startThread` also makes sure a stream thread runs. Returns the back
// end's result (0 on success); on failure no event remains. Caller holds
// theSoundOutput.mutex.
int startStream(bool startThread);
// The stream thread. Returns 1 when no buffer is left to wait for, or when
// asked to stop.
uint32_t soundStreamThread();
// Stops the stream thread (by request, then joins it), stops and releases
// both buffers, forgets them and closes the back end. Safe to call at any
// time, also when nothing was opened.
void releaseSound();

class StateWriter;
class StateReader;
// The audio output's part of a saved state: both slots (length, format,
// samples), which of them plays and where the back end's timeline ends.
// Reading stops the stream thread and puts the saved buffers in place of the
// current ones, the playing one resumed. Emulation thread, between blocks.
void writeAudioState(StateWriter& out);
bool readAudioState(StateReader& in);

// Buffers the stream thread has retired since the last releaseSound.
uint64_t soundBuffersRetired();
// True while a stream thread serves the buffers.
bool isSoundStreamRunning();
// Waits until at least `count` buffers have been retired; false on timeout.
bool waitForSoundBuffersRetired(uint64_t count, std::chrono::milliseconds timeout);
// Waits until no stream thread runs; false on timeout.
bool waitForSoundStreamEnd(std::chrono::milliseconds timeout);
