// The stream thread: retires played buffers, starts the waiting one and hands
// what that does to the AI registers and the AI interrupt over to the CPU
// thread (hw/sound_events.h).
#include <mutex>

#include "base/log.h"
#include "hw/audio_output.h"
#include "hw/buffer_done_event.h"
#include "hw/sound_events.h"

namespace {

// Starts a stream thread unless one still serves the buffers. A thread that
// has committed to end touches no shared state any more, so it is joined
// here, with the lock held, before its successor starts.
void launchStreamThread() {
    SoundOutput& out = theSoundOutput;
    if (out.streamActive || out.stopRequested) return;
    if (out.streamThread.joinable()) out.streamThread.join();
    out.streamActive = true;
    out.streamThread = std::thread([] { soundStreamThread(); });
}

// Ends the thread's service; caller holds the lock and returns right after.
uint32_t endStream() {
    theSoundOutput.streamActive = false;
    theSoundOutput.waitingEvent.reset();
    theSoundOutput.streamChanged.notify_all();
    return 1;
}

// Steps taken when the playing buffer has ended; caller holds the lock.
void retirePlayingBuffer() {
    SoundOutput& out = theSoundOutput;
    SoundSlot* finished = out.playingSlot;
    out.playingSlot = nullptr;
    out.bufferDoneEvent.reset();
    if (finished) {
        if (finished->buffer) finished->buffer->stop();
        finished->buffer.reset();
        finished->bytes = 0;
        finished->samples.clear();
    }
    postSoundEvent(SoundEvent::BufferRetired);

    SoundSlot& next = finished == &out.slotA ? out.slotB : out.slotA;
    if (next.buffer) {
        out.playingSlot = &next;
        startStream(false);
        if (!next.buffer->play()) logLine("Audio buffer could not play");
    }
    postSoundEvent(SoundEvent::AiInterrupt);
    ++out.buffersRetired;
    out.streamChanged.notify_all();
}

} // namespace

int startStream(bool startThread) {
    SoundOutput& out = theSoundOutput;
    auto event = std::make_shared<BufferDoneEvent>();
    out.bufferDoneEvent = event;
    if (startThread) launchStreamThread();
    int result = -1;
    if (out.playingSlot && out.playingSlot->buffer) {
        result = out.playingSlot->buffer->setEndNotification([event] { event->signal(); });
    }
    if (result != 0) {
        logLine("Audio buffer end notification could not be set (%d)", result);
        out.bufferDoneEvent.reset();
    }
    return result;
}

uint32_t soundStreamThread() {
    SoundOutput& out = theSoundOutput;
    std::unique_lock lock(out.mutex);
    for (;;) {
        // Without an event there is nothing to wait for: the thread ends, and
        // the next buffer queued into two free slots starts a new one.
        if (out.stopRequested || !out.bufferDoneEvent) return endStream();
        std::shared_ptr<BufferDoneEvent> event = out.bufferDoneEvent;
        out.waitingEvent = event;
        lock.unlock();
        const bool signalled = event->wait();
        lock.lock();
        out.waitingEvent.reset();
        if (!signalled || out.stopRequested) return endStream();
        // A signal of an event that has since been replaced is stale.
        if (event == out.bufferDoneEvent) retirePlayingBuffer();
    }
}

uint64_t soundBuffersRetired() {
    std::lock_guard lock(theSoundOutput.mutex);
    return theSoundOutput.buffersRetired;
}

bool isSoundStreamRunning() {
    std::lock_guard lock(theSoundOutput.mutex);
    return theSoundOutput.streamActive;
}

bool waitForSoundBuffersRetired(uint64_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(theSoundOutput.mutex);
    return theSoundOutput.streamChanged.wait_for(
        lock, timeout, [count] { return theSoundOutput.buffersRetired >= count; });
}

bool waitForSoundStreamEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(theSoundOutput.mutex);
    return theSoundOutput.streamChanged.wait_for(lock, timeout,
                                                 [] { return !theSoundOutput.streamActive; });
}
