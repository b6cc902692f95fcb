// The shape of a block of guest code, decided once for both CPU cores: where
// the block ends, which stores request the end check, the idle jump, the JALs
// whose callee runs as a native replacement, and the messages of the
// instructions neither core carries out. The recompiler translates and the
// interpreter runs exactly the instructions this walk hands out.
//
// A block ends one instruction after its first branch or jump (its delay
// slot), after an instruction that ends it (ERET, a missing instruction), or
// when the words of its memory block run out. A replaced JAL does not end it:
// the native routine runs after the delay slot and the block goes on at the
// call's return point.
#pragma once

#include <cstdint>
#include <cstring>

#include "cpu/instruction_table.h"
#include "hle/hle_table.h"

// Facts about one instruction of a block, decided while it is compiled.
enum BlockStepFlags : uint32_t {
    // J to itself whose delay slot is the word 0: the guest waits for an
    // interrupt.
    STEP_IDLE_JUMP = 1u << 0,
    // A likely branch after a store that requested the end check: its early
    // exit runs the end check too.
    STEP_END_CHECK_ON_EXIT = 1u << 1,
    // JAL whose callee is replaced by a native routine: the JAL does nothing.
    STEP_CALL_REPLACED = 1u << 2,
    // A store that requests the end check at the block's exit.
    STEP_REQUESTS_END_CHECK = 1u << 3,
    // The delay slot of a branch or jump: an exception it raises is reported
    // at the branch (EPC and Cause BD).
    STEP_DELAY_SLOT = 1u << 4,
};

struct BlockStep {
    const InstructionInfo* info = nullptr;
    uint32_t pc = 0;    // guest address of the instruction
    uint32_t word = 0;  // the instruction word
    uint32_t flags = 0; // BlockStepFlags
    // The native replacement called after this instruction (the delay slot of
    // a replaced JAL), or null.
    HleHandler nativeCallAfter = nullptr;
};

// Walks the block that starts at guest address startPc, whose first
// instruction word is at `source` with `wordsAvailable` words of its memory
// block from there. Each call of next() decides one more instruction and
// shows its compile-time messages; a core that stops early (the recompiler
// out of room) simply stops calling it.
class BlockAnalysis {
  public:
    BlockAnalysis(uint32_t startPc, const uint8_t* source, uint32_t wordsAvailable)
        : table_(instructionTableInForce()), startPc_(startPc), source_(source),
          wordsAvailable_(wordsAvailable) {}

    // The next instruction of the block, or false when the block has ended
    // (or its words ran out: truncated()).
    bool next(BlockStep& step);

    // The block has ended after the last instruction handed out.
    bool closed() const { return closed_; }
    // The next instruction is in the block's body, not a delay slot.
    bool nextInBody() const { return countdown_ == 2; }
    // The words ran out before the block ended: the next block starts at
    // the word after the last one handed out.
    bool truncated() const { return truncated_; }
    // A store handed out so far requested the end check.
    bool endCheckNeeded() const { return endCheckNeeded_; }
    // Instructions handed out so far.
    uint32_t count() const { return count_; }

  private:
    // The instruction's effects on the block (for the few with any); returns
    // its BlockStepFlags. Values, not the step, so that the step stays in
    // registers on the hot path.
    uint32_t applyShape(const InstructionInfo& info, uint32_t pc, uint32_t word);
    // After the last instruction: the block ends, or goes on behind the
    // native call of a replaced JAL, which is returned.
    HleHandler closeOrResume();

    const InstructionInfo* table_; // chosen once: the machine does not change within a run
    uint32_t startPc_;
    const uint8_t* source_;
    uint32_t wordsAvailable_;
    uint32_t count_ = 0;
    // 2 in the body; a branch or jump sets 1 (the next instruction is its
    // delay slot); 0 ends the block after the current instruction.
    int countdown_ = 2;
    bool closed_ = false;
    bool truncated_ = false;
    bool endCheckNeeded_ = false;
    HleHandler pendingNative_ = nullptr; // a replaced JAL waits for its delay slot
};

// Inline: both cores walk every block they run or compile through here.
inline bool BlockAnalysis::next(BlockStep& step) {
    if (closed_) return false;
    const bool inDelaySlot = countdown_ == 1;
    if (inDelaySlot) countdown_ = 0; // this one is a delay slot
    if (count_ == wordsAvailable_) {
        truncated_ = true;
        closed_ = true;
        return false;
    }
    uint32_t word;
    std::memcpy(&word, source_ + size_t(count_) * 4, 4);
    const InstructionInfo& info = table_[instructionIndex(word)];
    const uint32_t pc = startPc_ + count_ * 4;
    const uint32_t flags = (info.shape != 0 ? applyShape(info, pc, word) : 0) |
                           (inDelaySlot ? uint32_t(STEP_DELAY_SLOT) : 0u);
    ++count_;
    step.info = &info;
    step.pc = pc;
    step.word = word;
    step.flags = flags;
    step.nativeCallAfter = countdown_ == 0 ? closeOrResume() : nullptr;
    return true;
}
