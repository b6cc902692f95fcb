#include "cpu/recompiler/compile_block.h"

#include <cstring>

#include "core/cpu_state.h"
#include "core/memory.h"
#include "cpu/end_check.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"
#include "hle/hle_table.h"

CompileState compileState;

namespace {

CompileState& cs() {
    return compileState;
}

uint32_t readWord(const uint8_t* at) {
    uint32_t w;
    std::memcpy(&w, at, 4);
    return w;
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

bool peekGuestWord(int index, uint32_t& word) {
    const uint8_t* at = cs().sourcePtr + 4 * index;
    if (at < cs().sourcePtr || at + 4 > cs().sourceEnd) return false;
    word = readWord(at);
    return true;
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
    s.sourcePtr = source;
    s.sourceEnd = source + 4 * uint64_t(wordsAvailable);
    s.compilePc = startPc;
    s.countdown = 2;
    s.endCheckNeeded = 0;
    s.pendingHle = nullptr;
    if (limit - record < long(BLOCK_HEADER_SIZE)) return false;
    x86::beginEmit(record + BLOCK_HEADER_SIZE, limit);

    x86::pushRbx();
    bool cutShort = false;
    for (;;) {
        const bool inBody = s.countdown == 2;
        if (s.countdown == 1) s.countdown = 0; // the delay slot of a branch
        if (s.sourcePtr + 4 > s.sourceEnd || roomLeft() < roomNeeded(inBody)) {
            cutShort = true;
            break;
        }
        decodeInstruction(s, readWord(s.sourcePtr));
        mainTable[s.op]();
        s.sourcePtr += 4;
        s.compilePc += 4;
        if (s.countdown != 0) continue;
        if (hleEnabled && s.pendingHle) {
            // The replaced function runs natively; translation goes on at
            // its return point, the instruction after the delay slot.
            x86::callRel32(reinterpret_cast<const void*>(s.pendingHle->handler));
            s.pendingHle = nullptr;
            s.countdown = 2;
            continue;
        }
        break;
    }
    const uint32_t count = (s.compilePc - startPc) >> 2;
    if (count == 0) return false;
    if (cutShort) x86::movAbsImm(&theCpu.pc, s.compilePc);
    emitBlockExit();
    if (x86::outOfRoom()) return false;

    const uint32_t header[3] = {startPc, s.compilePc - 4, count};
    std::memcpy(record, header, sizeof header);
    usedBytes += uint32_t(s.emitPtr - record);
    return true;
}
