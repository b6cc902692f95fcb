#include "cpu/recompiler/native_doubleword.h"

#include <cstring>

#include "core/cpu_state.h"
#include "core/load_linked.h"
#include "core/memory_map.h"
#include "cpu/recompiler/code_pages.h"

namespace {

uint64_t join(uint32_t lo, uint32_t hi) {
    return (uint64_t(hi) << 32) | lo;
}

void setGpr(uint32_t rt, uint64_t value) {
    if ((rt & 31) != 0) theCpu.gpr[rt & 31].set(value);
}

uint32_t word(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
void putWord(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}

// A guest doubleword: the word at the address is its high half. The memory
// map serves 8 bytes from one host block for any address it is given.
uint64_t readDoubleword(uint32_t vaddr) {
    const uint8_t* p = memRead(vaddr);
    return join(word(p + 4), word(p));
}

void writeDoubleword(uint32_t vaddr, uint64_t value) {
    uint8_t* p = memWriteTracked(vaddr);
    putWord(p, uint32_t(value >> 32));
    putWord(p + 4, uint32_t(value));
}

void writeDoublewordIfChanged(uint32_t vaddr, uint64_t oldValue, uint64_t newValue) {
    if (newValue != oldValue) writeDoubleword(vaddr, newValue);
}

// The low `bits` bits of a doubleword (a multiple of 8 below 64).
uint64_t lowMask(unsigned bits) {
    return bits == 0 ? 0 : ~uint64_t(0) >> (64 - bits);
}

} // namespace

extern "C" {

void multiplyDoublewordSigned(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi) {
    const __int128 product = __int128(int64_t(join(rsLo, rsHi))) * int64_t(join(rtLo, rtHi));
    theCpu.lo.set(uint64_t(product));
    theCpu.hi.set(uint64_t(product >> 64));
}

void multiplyDoublewordUnsignedWhole(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi) {
    const unsigned __int128 product =
        static_cast<unsigned __int128>(join(rsLo, rsHi)) * join(rtLo, rtHi);
    theCpu.lo.set(uint64_t(product));
    theCpu.hi.set(uint64_t(product >> 64));
}

void divideDoublewordSigned(uint32_t rsLo, uint32_t rsHi, uint32_t rtLo, uint32_t rtHi) {
    const int64_t a = int64_t(join(rsLo, rsHi));
    const int64_t b = int64_t(join(rtLo, rtHi));
    if (b == 0) {
        // As the VR4300 gives it: quotient -1 for a dividend of 0 or more,
        // else 1; the remainder is the dividend.
        theCpu.lo.set(a >= 0 ? ~uint64_t(0) : 1);
        theCpu.hi.set(uint64_t(a));
        return;
    }
    if (a == INT64_MIN && b == -1) {
        theCpu.lo.set(uint64_t(a));
        theCpu.hi.set(0);
        return;
    }
    theCpu.lo.set(uint64_t(a / b));
    theCpu.hi.set(uint64_t(a % b));
}

void loadWordRightWide(uint32_t rt, uint32_t vaddr) {
    rt &= 31;
    const uint32_t w = word(memRead(vaddr & ~3u));
    if (rt == 0) return;
    const unsigned n = vaddr & 3;
    if (n == 3) {
        setGpr(rt, uint64_t(int64_t(int32_t(w))));
        return;
    }
    const unsigned shift = 8 * (3 - n);
    const uint32_t keep = ~(0xFFFFFFFFu >> shift);
    theCpu.gpr[rt].lo = (theCpu.gpr[rt].lo & keep) | (w >> shift);
}

void loadDoublewordLeft(uint32_t rt, uint32_t vaddr) {
    const uint64_t d = readDoubleword(vaddr & ~7u);
    const unsigned bits = 8 * (vaddr & 7);
    setGpr(rt, (d << bits) | (theCpu.gpr[rt & 31].value() & lowMask(bits)));
}

void loadDoublewordRight(uint32_t rt, uint32_t vaddr) {
    const uint64_t d = readDoubleword(vaddr & ~7u);
    const unsigned bits = 8 * (7 - (vaddr & 7));
    setGpr(rt, (d >> bits) | (theCpu.gpr[rt & 31].value() & ~(~uint64_t(0) >> bits)));
}

void storeDoublewordLeft(uint32_t rt, uint32_t vaddr) {
    const uint32_t aligned = vaddr & ~7u;
    const uint64_t d = readDoubleword(aligned);
    const unsigned bits = 8 * (vaddr & 7);
    const uint64_t r = theCpu.gpr[rt & 31].value();
    writeDoublewordIfChanged(aligned, d, (d & ~(~uint64_t(0) >> bits)) | (r >> bits));
}

void storeDoublewordRight(uint32_t rt, uint32_t vaddr) {
    const uint32_t aligned = vaddr & ~7u;
    const uint64_t d = readDoubleword(aligned);
    const unsigned bits = 8 * (7 - (vaddr & 7));
    const uint64_t r = theCpu.gpr[rt & 31].value();
    writeDoublewordIfChanged(aligned, d, (r << bits) | (d & lowMask(bits)));
}

void loadLinkedWord(uint32_t rt, uint32_t vaddr) {
    const uint32_t w = word(memRead(vaddr));
    setGpr(rt, uint64_t(int64_t(int32_t(w))));
    loadLinkedBit = 1;
    theCpu.cop0[COP0_LLADDR] = translateAddress(vaddr) >> 4;
}

void loadLinkedDoubleword(uint32_t rt, uint32_t vaddr) {
    setGpr(rt, readDoubleword(vaddr));
    loadLinkedBit = 1;
    theCpu.cop0[COP0_LLADDR] = translateAddress(vaddr) >> 4;
}

void storeConditionalWord(uint32_t rt, uint32_t vaddr) {
    rt &= 31;
    if (loadLinkedBit) {
        uint8_t* p = memWriteTracked(vaddr);
        putWord(p, theCpu.gpr[rt].lo);
    }
    setGpr(rt, loadLinkedBit ? 1 : 0);
}

void storeConditionalDoubleword(uint32_t rt, uint32_t vaddr) {
    rt &= 31;
    if (loadLinkedBit) writeDoubleword(vaddr, theCpu.gpr[rt].value());
    setGpr(rt, loadLinkedBit ? 1 : 0);
}

} // extern "C"
