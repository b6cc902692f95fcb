// Hand-over of what the sound side does to the machine to the emulation
// thread.
//
// The sound stream thread decides when a buffer has been played; what that
// does to AI_LEN_REG, AI_STATUS_REG and the AI interrupt must not touch the
// registers while a block runs. It posts events instead, from any thread, and
// the run loop applies them between two blocks, in the order they were posted.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

enum class SoundEvent : uint8_t {
    // A played buffer left its slot: AI_LEN_REG reads 0, and the full bit of
    // AI_STATUS_REG clears unless both slots hold data again by then.
    BufferRetired,
    // The AI interrupt, as any MI raise.
    AiInterrupt,
};

// Events waiting beyond this are dropped (with one log line): the emulation
// thread has stopped applying them.
constexpr size_t MAX_PENDING_SOUND_EVENTS = 65536;

// Any thread. A group posted together is applied together, between the same
// two blocks.
void postSoundEvent(SoundEvent event);
void postSoundEvents(std::initializer_list<SoundEvent> events);
// Safe from any thread: the AI interrupt, delivered between two blocks in
// order with the other events.
void raiseAiInterrupt();

namespace sound_event_detail {
// Set while events wait; the run loop's check reads only this.
extern std::atomic<bool> pending;
} // namespace sound_event_detail

// Cheap check for the run loop.
inline bool soundEventsPending() {
    return sound_event_detail::pending.load(std::memory_order_acquire);
}
// Emulation thread, between two blocks (pc holds the next block's address):
// applies every posted event in order. A raised AI interrupt may enter the
// exception handler, which changes pc.
void applyPendingSoundEvents();
// Drops every pending event (at the start and stop of an emulation run).
void discardPendingSoundEvents();

class StateWriter;
class StateReader;
// The events posted and not yet applied, as part of a saved state; reading
// replaces the pending events. Emulation thread.
void writeSoundEventState(StateWriter& out);
bool readSoundEventState(StateReader& in);
