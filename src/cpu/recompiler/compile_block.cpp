#include "cpu/recompiler/compile_block.h"

#include <cstring>

#include "core/cpu_state.h"
#include "core/memory.h"
#include "cpu/block_analysis.h"
#include "cpu/end_check.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"

CompileState compileState;

namespace {

CompileState& cs() {
    return compileState;
}

long roomLeft() {
    return cs().emitLimit - cs().emitPtr;
}

// Room needed before translating one more instruction: its own code, the
// delay slot of a branch it may be (body instructions only), the store of
// pc when the block is cut short, and the block's closing.
long roomNeeded(bool inBody) {
    return long(MAX_INSTRUCTION_CODE) * (inBody ? 2 : 1) + MAX_BLOCK_CLOSE_CODE;
}

} // namespace

void decodeInstruction(CompileState& s, uint32_t word) {
    s.instr = word;
    s.op = word >> 26;
    s.rs = (word >> 21) & 31;
    s.rt = (word >> 16) & 31;
    s.rd = (word >> 11) & 31;
    s.sa = (word >> 6) & 31;
    s.funct = word & 63;
    s.imm16 = uint16_t(word);
    s.target26 = word & 0x03FFFFFF;
    s.bcCode = (word >> 16) & 3;
}

namespace {

// The body of translateStep, inlined into compileBlock's loop.
[[gnu::always_inline]] inline void emitStep(const BlockStep& step) {
    CompileState& s = cs();
    decodeInstruction(s, step.word);
    s.compilePc = step.pc;
    s.stepFlags = step.flags;
    step.info->translate();
    if (step.flags & STEP_REQUESTS_END_CHECK) s.endCheckNeeded = 1;
    if (step.nativeCallAfter != nullptr) {
        x86::callRel32(reinterpret_cast<const void*>(step.nativeCallAfter));
        // Its hardware effects (a task start) are carried out at the end.
        s.endCheckNeeded = 1;
        // It may write any register.
        s.provenBases = 0;
    }
}

} // namespace

void translateStep(const BlockStep& step) {
    emitStep(step);
}

void emitEndCheck() {
    x86::movRegAbs(x86::EAX, &mem_actions[0]);
    x86::testEaxZero();
    x86::jccShort(x86::JE, 5);
    x86::callRel32(reinterpret_cast<const void*>(endCheckRoutine()));
    x86::popRbx();
    x86::ret();
}

void emitBlockExit() {
    if (cs().endCheckNeeded) {
        emitEndCheck();
    } else {
        x86::popRbx();
        x86::ret();
    }
}

bool compileBlock(uint32_t startPc, const uint8_t* source, uint32_t wordsAvailable, uint8_t* record,
                  uint8_t* limit) {
    CompileState& s = cs();
    s.beginBlock();
    if (limit - record < long(BLOCK_HEADER_SIZE)) return false;
    x86::beginEmit(record + BLOCK_HEADER_SIZE, limit);

    x86::pushRbx();
    BlockAnalysis block(startPc, source, wordsAvailable);
    BlockStep step;
    bool cutShort = false;
    while (!block.closed()) {
        if (roomLeft() < roomNeeded(block.nextInBody()) || !block.next(step)) {
            cutShort = true;
            break;
        }
        emitStep(step);
    }
    const uint32_t count = block.count();
    const uint32_t nextPc = startPc + count * 4;
    if (count == 0) return false;
    if (cutShort) x86::movAbsImm(&theCpu.pc, nextPc);
    emitBlockExit();
    if (x86::outOfRoom()) return false;

    const uint32_t header[3] = {startPc, nextPc - 4, count};
    std::memcpy(record, header, sizeof header);
    usedBytes += uint32_t(s.emitPtr - record);
    return true;
}
