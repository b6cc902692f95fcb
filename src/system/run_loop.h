// The CPU thread's run loop: finds or builds the block for the guest program
// counter, runs it, advances Count and raises the VI and timer interrupts.
#pragma once

#include <cstdint>

// Where the code of a guest address lies: its block map entry and the host
// pointer of its first word, with the words left in its memory block.
struct BlockSource {
    uint32_t mapIndex;
    const uint8_t* source;
    uint32_t wordsAvailable;
};

// Finds the block source of a guest program counter: cached RDRAM, SP DMEM,
// or any address through the valid TLB entries (a later match overrides an
// earlier one). False when nothing maps it.
bool findBlockSource(uint32_t pc, BlockSource& out);

// What Count's advance after a block calls for.
enum class TimerEvent { None, ViInterrupt, CompareInterrupt };
// Adds a block's instruction count to Count and tells which interrupt is due:
// the VI interrupt when Count has reached nextViCount, otherwise the timer
// interrupt when this step moved Count from at most Compare to at least
// Compare (Compare 0 never fires).
TimerEvent advanceCount(uint32_t instructionCount);

// Runs one block at pc with the selected CPU core and does the Count and
// interrupt work after it. Returns false when the loop must stop (the
// emulation is halted); the halt messages are left to cpuThread.
bool runBlock();

// The CPU thread: runs blocks until emulationHalted is set, then shows the
// halt messages. The parameter is ignored; returns 0.
uint32_t cpuThread(void* parameter);
