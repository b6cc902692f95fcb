// Random guest programs for the differential campaign: a prologue that puts an
// interrupt handler in place and fills the registers, a body of random and
// biased instruction words, and an epilogue that writes the register file to
// RDRAM and waits in an idle loop. One seed always gives the same program.
#pragma once

#include <cstdint>
#include <vector>

namespace campaign {

// Where the program is copied and entered.
constexpr uint32_t PROGRAM_ENTRY = 0x80001000;
// Where the epilogue writes the register file: GPRs 0-31 as doublewords, then
// HI and LO, then FPRs 0-31 as words, then FCR31.
constexpr uint32_t REGISTER_DUMP = 0x80700000;
// The word the interrupt handler counts its entries in.
constexpr uint32_t HANDLER_COUNT = REGISTER_DUMP + 0x400;

struct GeneratedProgram {
    std::vector<uint32_t> words;
    uint32_t bodyStart = 0; // index of the first word of the random body
    uint32_t bodyEnd = 0;   // index of the first word of the epilogue
};

// Which machine the programs are made for. The complete machine's programs
// also use the 64-bit operations, unaligned doubleword accesses, LL/SC, the
// whole FPU with both register modes and the rounding modes, SYSCALL, BREAK,
// traps and overflows (which their handler returns past), and change code
// that has already run, by stores and by PI DMA.
struct GeneratorOptions {
    bool completeMachine = false;
    // When set, body words it refuses become NOPs (the campaign refuses the
    // instructions the cores would report as missing, to run only what works).
    bool (*accept)(uint32_t word) = nullptr;
};

GeneratedProgram generateProgram(uint64_t seed, const GeneratorOptions& options = {});

} // namespace campaign
