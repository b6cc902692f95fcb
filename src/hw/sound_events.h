// Hand-over of the sound side's register updates to the emulation thread.
//
// The sound back end's thread decides when the next audio buffer starts; what
// that does to AI_LEN_REG, AI_STATUS_REG and the AI interrupt must not touch
// the registers while a block runs. It posts events instead, from any thread,
// and the run loop applies them between two blocks, in the order they were
// posted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

enum class SoundEventKind : uint8_t {
    SetAiLen,          // AI_LEN_REG = value
    SetAiStatusBits,   // AI_STATUS_REG |= value
    ClearAiStatusBits, // AI_STATUS_REG &= ~value
    RaiseAiInterrupt,  // the AI interrupt, as any MI raise
    RetireAudioBuffer, // a played buffer left its slot: AI_LEN_REG = 0, full bit as the slots say
};

struct SoundEvent {
    SoundEventKind kind;
    uint32_t value;
};

// Events waiting beyond this are dropped (with one log line): the emulation
// thread has stopped applying them.
constexpr size_t MAX_PENDING_SOUND_EVENTS = 65536;

// Any thread. A group posted together is applied together, between the same
// two blocks.
void postSoundEvent(SoundEvent event);
void postSoundEvents(std::initializer_list<SoundEvent> events);
inline void postSoundEventSetAiLen(uint32_t length) {
    postSoundEvent({SoundEventKind::SetAiLen, length});
}
inline void postSoundEventSetAiStatusBits(uint32_t bits) {
    postSoundEvent({SoundEventKind::SetAiStatusBits, bits});
}
inline void postSoundEventClearAiStatusBits(uint32_t bits) {
    postSoundEvent({SoundEventKind::ClearAiStatusBits, bits});
}

// Safe from any thread: the AI interrupt is handed to the emulation thread,
// which delivers it between two blocks in order with the other events.
void raiseAiInterrupt();

// Cheap check for the run loop.
bool soundEventsPending();
// Emulation thread, between two blocks (pc holds the next block's address):
// applies every posted event in order. A raised AI interrupt may enter the
// exception handler, which changes pc.
void applyPendingSoundEvents();
// Drops every pending event (at the start and stop of an emulation run).
void discardPendingSoundEvents();
