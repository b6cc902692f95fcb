// Guest instructions per second of processor time of the two CPU cores on
// three kernels (an integer ALU loop, a LW/SW copy loop, a branch-heavy loop),
// their ratio, and the recompiler's compile throughput. Prints figures; asserts nothing.
#include <cstdio>
#include <ctime>
#include <vector>

#include "bench_machine.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/machine_mode.h"
#include "core/memory.h"
#include "cpu/cpu_core.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/compile_block.h"
#include "romkit/mips_encode.h"
#include "system/run_loop.h"

using namespace mips;

namespace {

constexpr uint32_t CODE = 0x80001000;

// Nonzero: each kernel runs exactly this many blocks and the compile
// throughput this many compiles, so that an instruction-counting profiler
// sees the same work in every run.
uint64_t fixedBlocks = 0;

// The process's processor time: on a shared machine the figures do not count
// the time other programs held the processor.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void place(uint32_t at, const std::vector<uint32_t>& words) {
    for (size_t i = 0; i < words.size(); ++i)
        blockWord(theMemory.rdram, (at & 0x7FFFFF) + uint32_t(4 * i)) = words[i];
}

std::vector<uint32_t> aluKernel() {
    // t0 counts up to t7 (never reached: the loop runs forever).
    return {addu(t1, t1, t0), xorr(t2, t2, t1),   sll(t3, t1, 3),   subu(t4, t3, t2),
            orr(t5, t4, t1),  andi(t6, t5, 0xFF), slt(s0, t6, t5),  sra(s1, t5, 2),
            addu(s2, s1, s0), addiu(t0, t0, 1),   bne(t0, t7, -11), xorr(s3, s3, s2)};
}

std::vector<uint32_t> copyKernel() {
    // Copies 512 doublewords from 0x80100000 to 0x80200000, then starts over.
    return {lui(a0, 0x8010),
            lui(a1, 0x8020),
            addiu(t0, r0, 512), // outer
            lw(t1, 0, a0),
            lw(t2, 4, a0),
            sw(t1, 0, a1),
            sw(t2, 4, a1),
            addiu(a0, a0, 8),
            addiu(a1, a1, 8),
            addiu(t0, t0, -1),
            bgtz(t0, -8),
            nop(),
            j(CODE),
            nop()};
}

std::vector<uint32_t> branchKernel() {
    // Short blocks: every second instruction is a branch or jump.
    return {bne(t0, r0, 1),  addiu(t1, t1, 1), beq(t1, t1, 1), addiu(t2, t2, 1),
            bltz(t1, 1),     addiu(t3, t3, 1), bgez(t3, 1),    addiu(t0, t0, 1),
            beql(t0, t2, 1), addiu(t4, t4, 1), j(CODE),        addiu(t5, t5, 1)};
}

// Runs the kernel for about `seconds` and returns guest instructions per second.
double measure(const std::vector<uint32_t>& kernel, CpuCore core, double seconds) {
    resetMachine();
    initCodeCache();
    selectedCpuCore = core;
    place(CODE, kernel);
    theCpu.pc = CODE;
    theCpu.gpr[t7].set(0x7FFFFFFF);
    uint64_t instructions = 0;
    const double start = cpuSeconds();
    double elapsed = 0;
    const int round = fixedBlocks ? int(fixedBlocks) : 100000;
    while (elapsed < seconds) {
        for (int i = 0; i < round; ++i) {
            const uint32_t before = theCpu.cop0[COP0_COUNT];
            if (!runBlock()) {
                std::printf("  (kernel halted)\n");
                return 0;
            }
            instructions += uint32_t(theCpu.cop0[COP0_COUNT] - before);
        }
        elapsed = cpuSeconds() - start;
        if (fixedBlocks) break;
    }
    selectedCpuCore = CpuCore::Recompiler;
    return double(instructions) / elapsed;
}

double compileThroughput(double seconds) {
    resetMachine();
    initCodeCache();
    // One long block of ALU instructions closed by a jump.
    std::vector<uint32_t> block;
    const std::vector<uint32_t> alu = aluKernel();
    for (int i = 0; i < 2000; ++i)
        block.push_back(alu[i % 10]);
    block.push_back(j(CODE));
    block.push_back(nop());
    place(CODE, block);
    uint64_t translated = 0;
    const double start = cpuSeconds();
    const int round = fixedBlocks ? int(fixedBlocks / 1000 + 1) : 50;
    while (cpuSeconds() - start < seconds) {
        for (int i = 0; i < round; ++i) {
            usedBytes = 0;
            compileBlock(CODE, theMemory.rdram + (CODE & 0x7FFFFF), 0x10000, codeCache,
                         codeCache + CODE_CACHE_SIZE);
            translated += block.size();
        }
        if (fixedBlocks) break;
    }
    return double(translated) / (cpuSeconds() - start);
}

} // namespace

// --blocks N: a fixed amount of work instead of a second per figure.
int main(int argc, char** argv) {
    if (!chooseBenchMachine(argc, argv, &fixedBlocks)) return 1;
    struct Kernel {
        const char* name;
        std::vector<uint32_t> words;
    } kernels[] = {{"integer ALU loop", aluKernel()},
                   {"LW/SW copy loop", copyKernel()},
                   {"branch-heavy loop", branchKernel()}};
    std::printf("%-20s %18s %18s %8s\n", "kernel", "recompiler ips", "interpreter ips", "ratio");
    for (const Kernel& k : kernels) {
        const double recompiled = measure(k.words, CpuCore::Recompiler, 1.0);
        const double interpreted = measure(k.words, CpuCore::Interpreter, 1.0);
        std::printf("%-20s %18.0f %18.0f %7.2fx\n", k.name, recompiled, interpreted,
                    interpreted > 0 ? recompiled / interpreted : 0.0);
    }
    std::printf("compile throughput: %.0f guest instructions translated per second\n",
                compileThroughput(1.0));
    freeCodeCache();
    return 0;
}
