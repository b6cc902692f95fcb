// The translator's state while one block is compiled. Owned by the CPU thread.
#pragma once

#include <cstdint>

struct HleFunction;

struct CompileState {
    const uint8_t* sourcePtr = nullptr; // the guest instruction word being translated
    const uint8_t* sourceEnd = nullptr; // end of the memory block the words come from
    uint8_t* emitPtr = nullptr;         // where the next emitted byte goes
    uint8_t* emitLimit = nullptr;       // first byte the emitter may not write
    bool emitOutOfRoom = false;         // sticky: an emit did not fit
    uint32_t compilePc = 0;             // guest address of the instruction being translated
    // 2 in a block's body; a branch or jump sets 1 (the next instruction is its
    // delay slot); 0 ends the block after the current instruction.
    uint32_t countdown = 0;
    uint32_t endCheckNeeded = 0;             // a store may have reached a hardware register
    const HleFunction* pendingHle = nullptr; // JAL to a natively replaced function

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
};

extern CompileState compileState;

// Splits an instruction word into the fields above.
void decodeInstruction(CompileState& state, uint32_t word);
// The guest word `index` words after the one being translated, or false when
// it lies beyond the memory block the block is read from.
bool peekGuestWord(int index, uint32_t& word);
