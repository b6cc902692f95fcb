// Signal-processor task dispatch: the task record the guest leaves at the end
// of SP DMEM is read and classified; a graphics task's display list is walked
// command by command and drawn, an audio task's list is stepped over; then the
// task is marked done in SP_STATUS_REG.
#pragma once

#include <cstdint>

// Copies the task record out of DMEM and classifies it: 1 asks for
// runDisplayList, 2 for skipAudioList, 0 for nothing.
int readRspTask();
// Walks the graphics task's display list, then completes the task. The first
// graphics task after a reset creates the OpenGL context.
void runDisplayList();
// Steps over the audio task's list without executing it, then completes it.
void skipAudioList();
// Runs the task in DMEM: the effect of the guest releasing the signal
// processor's halt. Runs on the CPU thread between two blocks.
void runRspTask();
