// The block driver of the reference interpreter.
//
// A block is first walked by BlockAnalysis, exactly as the recompiler walks
// it, which fixes its extent, its instruction count and every fact decided
// once per block (messages of missing instructions, native replacements of
// JALs, the idle jump, the end check); then the captured instruction words
// are run in order.
#include "cpu/interpreter/interpreter.h"

#include <vector>

#include "core/memory.h"
#include "cpu/block_analysis.h"
#include "cpu/end_check.h"
#include "cpu/interpreter/interpreter_internal.h"

namespace interp {
namespace {

// One instruction of the block being run, as captured while it was compiled.
struct Step {
    InterpretRoutine run;
    uint32_t word;
    uint32_t flags;
    HleHandler nativeCallAfter; // native replacement called after this instruction
};

// Reused from block to block; a very long block's storage is given back.
// Only the CPU thread runs blocks, one machine at a time.
std::vector<Step> steps;
constexpr size_t RETAINED_STEPS = 1u << 16;

// The tail of a block that contains a store which may reach a hardware
// register: carry out the recorded register effects.
void endCheck() {
    if (mem_actions[0] != 0) endCheckRoutine()();
}

struct BlockPlan {
    uint32_t count = 0;
    bool endCheckNeeded = false;
    // The words ran out before the block closed: pc is set to the next word.
    bool truncated = false;
};

// Whether a step before `end` asked for the end check at the block's exit (a
// store, or a native routine that may start a task).
bool endCheckRequestedBefore(uint32_t end) {
    for (uint32_t i = 0; i < end; ++i)
        if ((steps[i].flags & STEP_REQUESTS_END_CHECK) || steps[i].nativeCallAfter != nullptr)
            return true;
    return false;
}

BlockPlan compileBlock(uint32_t startPc, const uint8_t* source, uint32_t wordsAvailable) {
    steps.clear();
    BlockAnalysis block(startPc, source, wordsAvailable);
    BlockStep step;
    while (block.next(step))
        steps.push_back({step.info->interpret, step.word, step.flags, step.nativeCallAfter});
    return {block.count(), block.endCheckNeeded(), block.truncated()};
}

} // namespace
} // namespace interp

uint32_t interpretBlock(uint32_t startPc, const uint8_t* source, uint32_t wordsAvailable) {
    using namespace interp;
    if (wordsAvailable == 0) {
        theCpu.pc = startPc;
        return 0;
    }
    const BlockPlan plan = compileBlock(startPc, source, wordsAvailable);
    theCpu.pc = startPc + (plan.count - 1) * 4;

    BlockRun run;
    const Step* const first = steps.data();
    uint32_t pc = startPc;
    for (const Step* step = first; step != first + plan.count; ++step, pc += 4) {
        step->run(Instruction{pc, step->word, step->flags}, run);
        if (run.leftEarly) {
            if ((step->flags & STEP_END_CHECK_ON_EXIT) ||
                (run.exceptionTaken && endCheckRequestedBefore(uint32_t(step - first))))
                endCheck();
            break;
        }
        if (step->nativeCallAfter != nullptr) step->nativeCallAfter();
    }
    if (!run.leftEarly) {
        if (plan.truncated) theCpu.pc = startPc + plan.count * 4;
        if (plan.endCheckNeeded) endCheck();
    }
    if (steps.capacity() > RETAINED_STEPS) std::vector<Step>().swap(steps);
    return plan.count;
}
