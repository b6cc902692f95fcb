// The guest CPU register file. One global record at a fixed address: translated
// code embeds the addresses of its fields, so its layout is pinned below.
#pragma once

#include <cstddef>
#include <cstdint>

// A 64-bit guest register kept as two host words, low word first.
struct GuestWord64 {
    uint32_t lo;
    uint32_t hi;

    uint64_t value() const { return (uint64_t(hi) << 32) | lo; }
    void set(uint64_t v) {
        lo = uint32_t(v);
        hi = uint32_t(v >> 32);
    }
};

struct CpuState {
    GuestWord64 gpr[32];
    GuestWord64 hi;
    GuestWord64 lo;
    uint32_t pc;
    uint32_t cop0[32];
    uint32_t fpr[32];
    uint32_t fcr0;
    uint32_t fcr31;
    // The odd FPU registers of the complete machine when Status.FR gives 32
    // registers of 64 bits: register 2k + 1 is fprOdd[2k] (low word) and
    // fprOdd[2k + 1]. An even register n is fpr[n] and fpr[n + 1], the place
    // of the double of the 16 even/odd pairs.
    uint32_t fprOdd[32];
};

static_assert(sizeof(GuestWord64) == 8);
static_assert(offsetof(CpuState, gpr) == 0);
static_assert(offsetof(CpuState, hi) == 256);
static_assert(offsetof(CpuState, lo) == 264);
static_assert(offsetof(CpuState, pc) == 272);
static_assert(offsetof(CpuState, cop0) == 276);
static_assert(offsetof(CpuState, fpr) == 404);
static_assert(offsetof(CpuState, fcr0) == 532);
static_assert(offsetof(CpuState, fcr31) == 536);
static_assert(offsetof(CpuState, fprOdd) == 540);

extern CpuState theCpu;

class StateWriter;
class StateReader;
// The register file's part of a saved state: the record whole, so that fields
// added to it come along.
void writeCpuState(StateWriter& out);
bool readCpuState(StateReader& in);

// COP0 register numbers.
enum Cop0Register : unsigned {
    COP0_INDEX = 0,
    COP0_RANDOM = 1,
    COP0_ENTRYLO0 = 2,
    COP0_ENTRYLO1 = 3,
    COP0_CONTEXT = 4,
    COP0_PAGEMASK = 5,
    COP0_WIRED = 6,
    COP0_BADVADDR = 8,
    COP0_COUNT = 9,
    COP0_ENTRYHI = 10,
    COP0_COMPARE = 11,
    COP0_STATUS = 12,
    COP0_CAUSE = 13,
    COP0_EPC = 14,
    COP0_PREVID = 15,
    COP0_CONFIG = 16,
    COP0_LLADDR = 17,
    COP0_WATCHLO = 18,
    COP0_WATCHHI = 19,
    COP0_XCONTEXT = 20,
    COP0_PERR = 26,
    COP0_CACHEERR = 27,
    COP0_TAGLO = 28,
    COP0_TAGHI = 29,
    COP0_ERROREPC = 30,
};

// Names of the general registers in numeric order.
extern const char* const gprNames[32];
// Names of the COP0 registers in numeric order.
extern const char* const cop0Names[32];
