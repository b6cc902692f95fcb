#include "hw/sound_events.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "base/log.h"
#include "base/state_stream.h"
#include "core/hw_registers.h"
#include "core/memory.h"
#include "cpu/interrupts.h"
#include "hw/audio_output.h"

namespace sound_event_detail {
std::atomic<bool> pending{false};
} // namespace sound_event_detail

using sound_event_detail::pending;

namespace {

std::mutex queueMutex;
std::vector<SoundEvent> queue; // guarded by queueMutex
bool overflowReported = false; // guarded by queueMutex

void reportOverflow(std::unique_lock<std::mutex>& lock) {
    if (overflowReported) return;
    overflowReported = true;
    lock.unlock();
    logLine("Sound events are no longer being applied; further ones are dropped.");
}

void apply(SoundEvent e) {
    if (!theMemory.hwRegs) return;
    switch (e) {
    case SoundEvent::BufferRetired:
        AI_LEN_REG = 0;
        if (theSoundOutput.slotA.bytes == 0 || theSoundOutput.slotB.bytes == 0)
            AI_STATUS_REG &= ~AI_STATUS_FULL;
        break;
    case SoundEvent::AiInterrupt:
        deliverMiInterrupt(MI_INTR_AI);
        break;
    }
}

} // namespace

void postSoundEvent(SoundEvent event) {
    postSoundEvents({event});
}

void postSoundEvents(std::initializer_list<SoundEvent> events) {
    std::unique_lock lock(queueMutex);
    if (queue.size() + events.size() > MAX_PENDING_SOUND_EVENTS) {
        reportOverflow(lock);
        return;
    }
    queue.insert(queue.end(), events);
    pending.store(true, std::memory_order_release);
}

void raiseAiInterrupt() {
    postSoundEvent(SoundEvent::AiInterrupt);
}

void applyPendingSoundEvents() {
    if (!soundEventsPending()) return;
    std::vector<SoundEvent> batch;
    {
        std::lock_guard lock(queueMutex);
        batch.swap(queue);
        pending.store(false, std::memory_order_relaxed);
    }
    for (SoundEvent e : batch)
        apply(e);
}

void discardPendingSoundEvents() {
    std::lock_guard lock(queueMutex);
    queue.clear();
    overflowReported = false;
    pending.store(false, std::memory_order_relaxed);
}

void writeSoundEventState(StateWriter& out) {
    std::vector<SoundEvent> events;
    {
        std::lock_guard lock(queueMutex);
        events = queue;
    }
    out.beginPart("SNDE");
    out.put(uint32_t(events.size()));
    for (SoundEvent e : events)
        out.put(e);
    out.endPart();
}

bool readSoundEventState(StateReader& in) {
    in.beginPart("SNDE");
    uint32_t count = 0;
    in.getLength(count, MAX_PENDING_SOUND_EVENTS);
    std::vector<SoundEvent> events;
    for (uint32_t i = 0; i < count && in.ok(); ++i) {
        uint8_t e = 0;
        in.get(e);
        if (e > uint8_t(SoundEvent::AiInterrupt)) in.fail("an unknown sound event");
        events.push_back(SoundEvent(e));
    }
    if (!in.endPart()) return false;
    if (!in.applying()) return true;
    std::lock_guard lock(queueMutex);
    queue = std::move(events);
    pending.store(!queue.empty(), std::memory_order_release);
    return true;
}
