// Prints the reference interpreter's speed on three guest kernels: an integer
// ALU loop, a word copy loop and a branch-heavy loop (guest instructions per
// second, blocks driven from pc as the run loop does for cached RDRAM).
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_machine.h"
#include "core/cpu_state.h"
#include "core/machine_mode.h"
#include "core/memory.h"
#include "cpu/interpreter/interpreter.h"
#include "romkit/mips_encode.h"
#include "support/test_machine.h"

using namespace mips;

namespace {

constexpr uint32_t CODE = 0x80001000;
constexpr uint32_t EXIT = 0x80700000;

void place(const std::vector<uint32_t>& words) {
    for (size_t i = 0; i < words.size(); ++i)
        setGuestWord((CODE & 0x7FFFFF) + uint32_t(i) * 4, words[i]);
}

// Runs from CODE until pc reaches EXIT; prints the rate.
void measure(const char* name) {
    theCpu.pc = CODE;
    uint64_t instructions = 0;
    uint64_t blocks = 0;
    const auto start = std::chrono::steady_clock::now();
    while (theCpu.pc != EXIT) {
        const uint32_t physical = theCpu.pc & 0x7FFFFF;
        instructions +=
            interpretBlock(theCpu.pc, theMemory.rdram + physical, (RDRAM_SIZE - physical) / 4);
        ++blocks;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-8s %12llu instructions %10llu blocks %8.3f s %8.2f M instructions/s\n", name,
                static_cast<unsigned long long>(instructions),
                static_cast<unsigned long long>(blocks), seconds,
                seconds > 0 ? double(instructions) / seconds / 1e6 : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    if (!chooseBenchMachine(argc, argv)) return 1;
    resetBareMachine();
    const int16_t loopBack = -8; // from the BNE's delay slot back to the loop head

    // ALU: eight arithmetic instructions and the loop branch per iteration.
    place({lui(t1, 0x0020), ori(t0, r0, 0), addiu(t0, t0, 1), addu(t2, t2, t0), xorr(t3, t3, t2),
           sll(t4, t3, 3), srl(t5, t4, 2), orr(t6, t5, t0), subu(t7, t6, t2), bne(t0, t1, loopBack),
           andr(t8, t7, t3), j(EXIT), nop()});
    measure("alu");

    // Copy: one word loaded and stored per iteration, 16 passes over 64 KiB.
    const uint32_t copyLoop = 4;
    place({lui(t1, 0x0010), ori(t0, r0, 0), lui(s0, 0x8010), lui(s1, 0x8020),
           // loop:
           andi(t2, t0, 0xFFFC), addu(t3, s0, t2), lw(t4, 0, t3), addu(t5, s1, t2), sw(t4, 0, t5),
           addiu(t0, t0, 4), bne(t0, t1, int16_t(copyLoop - 11)), nop(), j(EXIT), nop()});
    measure("copy");

    // Branches: a chain of short blocks.
    place({lui(t1, 0x0010), ori(t0, r0, 0),
           // loop:
           beq(r0, r0, 1), addiu(t0, t0, 1), bgez(t0, 1), nop(), blez(t1, 1), nop(),
           bne(t0, t1, -7), nop(), j(EXIT), nop()});
    measure("branch");
    return 0;
}
