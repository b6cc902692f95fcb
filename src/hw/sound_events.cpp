#include "hw/sound_events.h"
#include "hw/audio_output.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "base/log.h"
#include "core/hw_registers.h"
#include "cpu/interrupts.h"

namespace {

std::mutex queueMutex;
std::vector<SoundEvent> queue; // guarded by queueMutex
bool overflowReported = false; // guarded by queueMutex
std::atomic<bool> pending{false};

void reportOverflow(std::unique_lock<std::mutex>& lock) {
    if (overflowReported) return;
    overflowReported = true;
    lock.unlock();
    logLine("Sound events are no longer being applied; further ones are dropped.");
}

void apply(const SoundEvent& e) {
    switch (e.kind) {
    case SoundEventKind::SetAiLen:
        AI_LEN_REG = e.value;
        break;
    case SoundEventKind::SetAiStatusBits:
        AI_STATUS_REG |= e.value;
        break;
    case SoundEventKind::ClearAiStatusBits:
        AI_STATUS_REG &= ~e.value;
        break;
    case SoundEventKind::RaiseAiInterrupt:
        deliverMiInterrupt(MI_INTR_AI);
        break;
    case SoundEventKind::RetireAudioBuffer:
        applySoundSideEffect(SoundSideEffect::bufferRetired);
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
    postSoundEvent({SoundEventKind::RaiseAiInterrupt, 0});
}

bool soundEventsPending() {
    return pending.load(std::memory_order_acquire);
}

void applyPendingSoundEvents() {
    if (!soundEventsPending()) return;
    std::vector<SoundEvent> batch;
    {
        std::lock_guard lock(queueMutex);
        batch.swap(queue);
        pending.store(false, std::memory_order_relaxed);
    }
    for (const SoundEvent& e : batch)
        apply(e);
}

void discardPendingSoundEvents() {
    std::lock_guard lock(queueMutex);
    queue.clear();
    overflowReported = false;
    pending.store(false, std::memory_order_relaxed);
}
