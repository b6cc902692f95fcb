// The block driver of the reference interpreter and its dispatch.
//
// A block is first walked as the recompiler compiles it, which fixes its
// extent, its instruction count and every fact the translation decides once
// (messages of missing instructions, native replacements of JALs, the idle
// jump, the end check); then the captured instruction words are run in order.
#include "cpu/interpreter/interpreter.h"

#include <cstring>
#include <vector>

#include "core/memory.h"
#include "cpu/end_check.h"
#include "cpu/interpreter/interpreter_internal.h"
#include "hle/hle_table.h"

namespace interp {
namespace {

InterpretTables buildTables() {
    InterpretTables t{};
    installFillers(t);
    installBranches(t);
    installArithmetic(t);
    installShifts(t);
    installMultiplyDivide(t);
    installLoadsStores(t);
    installCop0(t);
    installFpu(t);
    return t;
}

const InterpretTables& tables() {
    static const InterpretTables t = buildTables();
    return t;
}

// One instruction of the block being run, as captured while it was compiled.
struct Step {
    const InterpretEntry* entry;
    uint32_t word;
    uint32_t flags;
    HleHandler nativeCallAfter; // native replacement called after this instruction
};

// Reused from block to block; a very long block's storage is given back.
thread_local std::vector<Step> steps;
constexpr size_t RETAINED_STEPS = 1u << 16;

uint32_t wordAt(const uint8_t* source, uint32_t index) {
    uint32_t w;
    std::memcpy(&w, source + size_t(index) * 4, 4);
    return w;
}

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

BlockPlan compileBlock(uint32_t startPc, const uint8_t* source, uint32_t wordsAvailable) {
    BlockPlan plan;
    steps.clear();
    int countdown = 2;
    HleHandler pendingNative = nullptr;
    for (;;) {
        if (plan.count == wordsAvailable) {
            plan.truncated = true;
            break;
        }
        if (countdown == 1) countdown = 0;
        const uint32_t pc = startPc + plan.count * 4;
        const uint32_t word = wordAt(source, plan.count);
        const InterpretEntry& entry = lookupInstruction(word);
        uint32_t flags = 0;
        if (entry.report != nullptr) entry.report(word);
        switch (entry.effect) {
        case BlockEffect::None:
            break;
        case BlockEffect::Branch:
            countdown = 1;
            break;
        case BlockEffect::LikelyBranch:
            countdown = 1;
            if (plan.endCheckNeeded) flags |= INSTRUCTION_END_CHECK_ON_EXIT;
            break;
        case BlockEffect::Jump: {
            countdown = 1;
            const uint32_t target = ((pc + 4) & 0xF0000000u) | ((word & 0x03FFFFFF) << 2);
            const bool slotAvailable = plan.count + 1 < wordsAvailable;
            if (target == pc && slotAvailable && wordAt(source, plan.count + 1) == 0)
                flags |= INSTRUCTION_IDLE_JUMP;
            break;
        }
        case BlockEffect::JumpAndLink: {
            countdown = 1;
            if (hleEnabled && (pc >> 24) == 0x80) {
                const uint32_t target = ((pc + 4) & 0xF0000000u) | ((word & 0x03FFFFFF) << 2);
                const HleFunction* f = hleLookup(pc, target);
                if (f != nullptr && f->handler != nullptr) {
                    pendingNative = f->handler;
                    flags |= INSTRUCTION_CALL_REPLACED;
                }
            }
            break;
        }
        case BlockEffect::Store:
            if (((word >> 21) & 31) != 29) plan.endCheckNeeded = true;
            break;
        case BlockEffect::Missing:
            reportMissingInstruction(pc, word);
            countdown = 0;
            break;
        case BlockEffect::EndsBlock:
            countdown = 0;
            break;
        }
        steps.push_back({&entry, word, flags, nullptr});
        ++plan.count;
        if (countdown != 0) continue;
        if (hleEnabled && pendingNative != nullptr) {
            // The replaced function's return point: the native routine runs
            // after the delay slot, and the block goes on behind it.
            steps.back().nativeCallAfter = pendingNative;
            pendingNative = nullptr;
            countdown = 2;
            continue;
        }
        break;
    }
    return plan;
}

} // namespace

HleLookup hleLookup = findHleFunction;

const InterpretEntry& lookupInstruction(uint32_t word) {
    const InterpretTables& t = tables();
    const uint32_t op = word >> 26;
    const uint32_t rs = (word >> 21) & 31;
    const uint32_t funct = word & 63;
    switch (op) {
    case 0x00:
        return t.special[funct];
    case 0x01:
        return t.regimm[(word >> 16) & 31];
    case 0x10:
        if (rs == 0x08) return t.bc0[(word >> 16) & 3];
        if (rs == 0x10) return t.co[funct];
        return t.cop0[rs];
    case 0x11:
        if (rs == 0x08) return t.bc1[(word >> 16) & 3];
        if (rs == 0x10 || rs == 0x11 || rs == 0x14 || rs == 0x15) return t.fpu[funct];
        return t.cop1[rs];
    default:
        return t.main[op];
    }
}

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
    for (uint32_t i = 0; i < plan.count; ++i) {
        const Step& step = steps[i];
        const Instruction in{startPc + i * 4, step.word, step.flags};
        step.entry->run(in, run);
        if (run.leftEarly) {
            if (step.flags & INSTRUCTION_END_CHECK_ON_EXIT) endCheck();
            break;
        }
        if (step.nativeCallAfter != nullptr) step.nativeCallAfter();
    }
    if (!run.leftEarly) {
        if (plan.truncated) theCpu.pc = startPc + plan.count * 4;
        if (plan.endCheckNeeded) endCheck();
    }
    if (steps.capacity() > RETAINED_STEPS) std::vector<Step>().swap(steps);
    return plan.count;
}
