// What holds the CPU thread back at a vertical interrupt: a pause asked for by
// the front end, and the speed limiter. Both are carried out by the CPU thread
// itself, after the interrupt's observer and limits, so the machine is never
// touched from another thread.
#pragma once

class SpeedLimiter;

// The limiter of the run (null: none). Set it only while no CPU thread runs.
void installSpeedLimiter(SpeedLimiter* limiter);

// Any thread: asks the CPU thread to pause at its next vertical interrupt, or
// to go on. A stop of the run ends a pause.
void requestPause(bool paused);
bool isPauseRequested();
// True while the CPU thread waits in a pause.
bool isCpuPaused();
// Wakes a paused CPU thread to see that the run is stopping.
void wakePausedCpu();
// Forgets a pause request; for the start of a run.
void resetPause();

// CPU thread, after a vertical interrupt: waits while a pause is requested
// (until it is lifted or the emulation halts), then paces the interrupt.
void paceAfterVerticalInterrupt();
