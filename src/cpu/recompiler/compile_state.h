// The translator's state while one block is compiled. Owned by the CPU thread.
#pragma once

#include <cstdint>

struct CompileState {
    uint8_t* emitPtr = nullptr;   // where the next emitted byte goes
    uint8_t* emitLimit = nullptr; // first byte the emitter may not write
    bool emitOutOfRoom = false;   // sticky: an emit did not fit
    uint32_t compilePc = 0;       // guest address of the instruction being translated
    uint32_t stepFlags = 0;       // BlockStepFlags of the instruction being translated
    uint32_t endCheckNeeded = 0;  // a store translated so far requested the end check

    // The complete machine's alignment checks in the run of loads and stores
    // that ends with the one at provenThroughPc: bit r set when a check
    // proved that gpr[r].lo & provenMask[r] equals provenBits[r], and no
    // access of the run has loaded gpr[r] since. Any other instruction may
    // write any register and ends the run.
    uint32_t provenBases = 0;
    uint32_t provenThroughPc = 0;
    uint8_t provenMask[32] = {};
    uint8_t provenBits[32] = {};

    // The decoded instruction word.
    uint32_t instr = 0;
    uint32_t op = 0;       // bits 31-26
    uint32_t rs = 0;       // bits 25-21; COP0/COP1 sub-opcode, FPU format
    uint32_t rt = 0;       // bits 20-16; REGIMM sub-opcode, FPU ft
    uint32_t rd = 0;       // bits 15-11; COP0 register, FPU fs
    uint32_t sa = 0;       // bits 10-6; shift amount, FPU fd
    uint32_t funct = 0;    // bits 5-0
    uint16_t imm16 = 0;    // bits 15-0
    uint32_t target26 = 0; // bits 25-0
    uint32_t bcCode = 0;   // bits 17-16 (BC0/BC1: 0 F, 1 T, 2 FL, 3 TL)

    // Sign-extended immediate and branch target of the current instruction.
    uint32_t simm() const { return uint32_t(int32_t(int16_t(imm16))); }
    uint32_t branchTarget() const { return compilePc + 4 + (simm() << 2); }

    // Forgets what the previous block's translation knew.
    void beginBlock() {
        endCheckNeeded = 0;
        provenBases = 0;
    }
};

extern CompileState compileState;

// Splits an instruction word into the fields above.
void decodeInstruction(CompileState& state, uint32_t word);
