#include "cpu/recompiler/native_routines.h"

#include "base/log.h"
#include "base/ui_sink.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/machine_mode.h"
#include "core/memory_map.h"
#include "cpu/cpu_core.h"
#include "cpu/recompiler/code_pages.h"

namespace {

uint32_t readWord(uint32_t vaddr) {
    return *reinterpret_cast<uint32_t*>(memRead(vaddr));
}

void setLowSignExtended(uint32_t rt, uint32_t value) {
    if (rt == 0) return;
    theCpu.gpr[rt].lo = value;
    theCpu.gpr[rt].hi = (value & 0x80000000) ? 0xFFFFFFFF : 0;
}

void writeIfChanged(uint32_t vaddr, uint32_t oldWord, uint32_t newWord) {
    if (newWord == oldWord) return;
    uint8_t* target = completeMachine() ? memWriteTracked(vaddr) : memWrite(vaddr);
    *reinterpret_cast<uint32_t*>(target) = newWord;
}

} // namespace

extern "C" {

void loadWordLeft(uint32_t rt, uint32_t vaddr) {
    rt &= 31;
    const uint32_t w = readWord(vaddr & ~3u);
    const uint32_t old = theCpu.gpr[rt].lo;
    uint32_t value;
    switch (vaddr & 3) {
    case 0:
        value = w;
        break;
    case 1:
        value = (w << 8) | (old & 0xFF);
        break;
    case 2:
        value = (w << 16) | (old & 0xFFFF);
        break;
    default:
        value = (w << 24) | (old & 0xFFFFFF);
        break;
    }
    setLowSignExtended(rt, value);
}

void loadWordRight(uint32_t rt, uint32_t vaddr) {
    rt &= 31;
    const uint32_t w = readWord(vaddr & ~3u);
    const uint32_t old = theCpu.gpr[rt].lo;
    if (rt == 0) return;
    switch (vaddr & 3) {
    case 0:
        theCpu.gpr[rt].set((old & 0xFFFFFF00) | (w >> 24));
        break;
    case 1:
        theCpu.gpr[rt].set((old & 0xFFFF0000) | (w >> 16));
        break;
    case 2:
        theCpu.gpr[rt].set((old & 0xFF000000) | (w >> 8));
        break;
    default:
        setLowSignExtended(rt, w);
        break;
    }
}

void storeWordLeft(uint32_t rt, uint32_t vaddr) {
    const uint32_t aligned = vaddr & ~3u;
    const uint32_t w = readWord(aligned);
    const uint32_t r = theCpu.gpr[rt & 31].lo;
    uint32_t n;
    switch (vaddr & 3) {
    case 0:
        n = r;
        break;
    case 1:
        n = (w & 0xFF000000) | (r >> 8);
        break;
    case 2:
        n = (w & 0xFFFF0000) | (r >> 16);
        break;
    default:
        n = (w & 0xFFFFFF00) | (r >> 24);
        break;
    }
    writeIfChanged(aligned, w, n);
}

void storeWordRight(uint32_t rt, uint32_t vaddr) {
    const uint32_t aligned = vaddr & ~3u;
    const uint32_t w = readWord(aligned);
    const uint32_t r = theCpu.gpr[rt & 31].lo;
    uint32_t n;
    switch (vaddr & 3) {
    case 0:
        n = (r << 24) | (w & 0xFFFFFF);
        break;
    case 1:
        n = (r << 16) | (w & 0xFFFF);
        break;
    case 2:
        n = (r << 8) | (w & 0xFF);
        break;
    default:
        n = r;
        break;
    }
    writeIfChanged(aligned, w, n);
}

void multiplyDoublewordUnsigned(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi) {
    const uint64_t a = (uint64_t(rsHi) << 32) | rsLo;
    const uint64_t b = (uint64_t(rtHi) << 32) | rtLo;
    theCpu.lo.set(a * b);
    theCpu.hi.set(0);
}

void divideDoublewordUnsigned(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi) {
    const uint64_t a = (uint64_t(rsHi) << 32) | rsLo;
    const uint64_t b = (uint64_t(rtHi) << 32) | rtLo;
    if (b == 0) {
        // As the R4300 gives it: quotient all ones, remainder the dividend.
        theCpu.lo.set(~uint64_t(0));
        theCpu.hi.set(a);
        return;
    }
    theCpu.lo.set(a / b);
    theCpu.hi.set(a % b);
}

void stuckInCrcLoop() {
    const int answer =
        showMessage(4, "Stuck in CRC loop @ PC=0x%08X!!\nYou wanna run it anyways?", theCpu.pc);
    if (answer == MESSAGE_YES) {
        theCpu.pc += 8;
    } else {
        logLine("User doesn't want to run ROM when CRC check failed..");
        haltEmulation();
    }
}

void skipIdleTime() {
    idleLoopSkips.store(idleLoopSkips.load(std::memory_order_relaxed) + 1,
                        std::memory_order_relaxed);
    uint32_t& count = theCpu.cop0[COP0_COUNT];
    const uint32_t compare = theCpu.cop0[COP0_COMPARE];
    uint32_t target = nextViCount - 1;
    if (compare != 0 && compare - count < target - count) target = compare;
    if (int32_t(target - count) > 0) count = target;
}

} // extern "C"

Division32 divideSigned32(uint32_t dividend, uint32_t divisor) {
    const int32_t a = int32_t(dividend);
    const int32_t b = int32_t(divisor);
    if (b == 0) return {a >= 0 ? 0xFFFFFFFFu : 1u, dividend};
    if (a == INT32_MIN && b == -1) return {0x80000000u, 0};
    return {uint32_t(a / b), uint32_t(a % b)};
}

Division32 divideUnsigned32(uint32_t dividend, uint32_t divisor) {
    if (divisor == 0) return {0xFFFFFFFFu, dividend};
    return {dividend / divisor, dividend % divisor};
}
