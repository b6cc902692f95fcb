// The hand-over of save-state requests to the CPU thread. Other threads (the
// window's keys, the runner's options) ask; the CPU thread saves or loads
// between two blocks, after the sound events of the block were applied, and
// reports the outcome as a status message.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "system/run_control.h"

namespace state_request_detail {
extern std::atomic<bool> posted;
extern std::atomic<uint64_t> saveAtVi;
} // namespace state_request_detail

// Any thread: a save or load of `path`, carried out at the next safe point.
// `label` names the target in the status message ("slot 3"); "" names the
// file. A request not yet carried out is replaced by a newer one.
void requestStateSave(const std::string& path, const std::string& label);
void requestStateLoad(const std::string& path, const std::string& label);
// Before the CPU thread starts: a save to `path` right after the vertical
// interrupt numbered `atVi` (0 removes it).
void scheduleStateSave(uint64_t atVi, const std::string& path);
// Drops every request (run start and stop); the tally below stays.
void clearStateRequests();

// Saves and loads carried out, and refused or failed, since the last
// resetStateRequestTally (at the start of a run).
struct StateRequestTally {
    uint64_t saved = 0;
    uint64_t loaded = 0;
    uint64_t failed = 0;
};
StateRequestTally stateRequestTally();
void resetStateRequestTally();

// The run loop's cheap check, and the work; CPU thread.
inline bool stateRequestsPending() {
    using namespace state_request_detail;
    if (posted.load(std::memory_order_acquire)) return true;
    const uint64_t at = saveAtVi.load(std::memory_order_relaxed);
    return at != 0 && runCounters.viInterrupts.load(std::memory_order_relaxed) >= at;
}
void serviceStateRequests();
