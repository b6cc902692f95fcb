// Randomized differential tests: thousands of random blocks of supported
// instructions run from the same state through the reference interpreter
// and through translated code; every register word, the pending register
// effects, the timing words and the memory the blocks can reach must agree.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <sstream>

#include "core/cpu_state.h"
#include "core/load_linked.h"
#include "core/machine.h"
#include "core/machine_mode.h"
#include "core/memory.h"
#include "core/tlb.h"
#include "cpu/cpu_core.h"
#include "cpu/recompiler/code_cache.h"
#include "support/cpu_test_support.h"
#include "system/run_loop.h"

using namespace enc;

namespace {

constexpr uint32_t CODE = 0x80001000;
constexpr uint32_t DATA = 0x80100000;         // base registers point here
constexpr uint32_t WINDOW_START = 0x000F0000; // what the stores can reach
constexpr uint32_t WINDOW_SIZE = 0x20000;
// Base registers hold data addresses and are never written by the blocks.
constexpr uint32_t BASES[] = {26, 27, 29};

enum class Mix { Arithmetic, Memory, Branches, Cop0, Fpu, CompleteFpu, Exceptions };

class BlockGenerator {
  public:
    // `complete`: the complete machine's instructions join the mix.
    BlockGenerator(uint32_t seed, Mix mix, bool complete = false)
        : rng_(seed), mix_(mix), complete_(complete) {}

    std::vector<uint32_t> block() {
        std::vector<uint32_t> words;
        const int length = int(pick(12));
        for (int i = 0; i < length; ++i)
            words.push_back(body());
        words.push_back(closing());
        words.push_back(pick(8) == 0 ? closing() : body()); // sometimes a branch in the slot
        words.push_back(body());
        words.push_back(closing());
        words.push_back(body());
        return words;
    }

    uint64_t value() {
        static const uint64_t special[] = {0,
                                           1,
                                           0xFFFFFFFFFFFFFFFFull,
                                           0x7FFFFFFF,
                                           0xFFFFFFFF80000000ull,
                                           0x0000000080000000ull,
                                           0x00000001FFFFFFFFull,
                                           0xFFFFFFFF00000000ull,
                                           2,
                                           0xFFFFFFFFFFFFFFFEull};
        switch (pick(4)) {
        case 0:
            return special[pick(std::size(special))];
        case 1:
            return uint64_t(int64_t(int32_t(rng_()))); // a canonical 32-bit value
        case 2:
            return pick(64);
        default:
            return (uint64_t(rng_()) << 32) | rng_();
        }
    }

    uint32_t pick(uint32_t n) { return uint32_t(rng_() % n); }

    // A floating-point register pair's worth of bits: the values where the
    // x87 and the guest's formats disagree or round, as singles or doubles.
    uint64_t floatingValue() {
        static const uint32_t singles[] = {
            0x00000000, 0x80000000, 0x7F800000, 0xFF800000, // zeros, infinities
            0x7FC00000, 0xFFC00000, 0x7F800001, 0xFFA00000, // quiet and signalling NaNs
            0x7FBFFFFF, 0x7FC12345, 0x00000001, 0x807FFFFF, // NaN payloads, denormals
            0x00800000, 0x3F000000, 0x3FC00000, 0x40200000, // smallest normal, 0.5, 1.5, 2.5
            0xBFC00000, 0x4EFFFFFF, 0x4F000000, 0xCF000000, // -1.5, below 2^31, 2^31, -2^31
            0xCF000001, 0x7F7FFFFF, 0x402CCCCD, 0xC02CCCCD, // below -2^31, max, +-2.7
        };
        static const uint64_t doubles[] = {
            0x0000000000000000, 0x8000000000000000, 0x7FF0000000000000, 0xFFF0000000000000,
            0x7FF8000000000000, 0xFFF8000000000000, 0x7FF0000000000001, 0x7FF4000000000000,
            0x7FFFFFFFFFFFFFFF, 0x0000000000000001, 0x800FFFFFFFFFFFFF, 0x0010000000000000,
            0x41DFFFFFFFC00000, // 2147483647
            0x41DFFFFFFFE00000, // 2147483647.5
            0x41E0000000000000, // 2^31
            0xC1E0000000000000, // -2^31
            0xC1E0000000100000, // -2147483648.5
            0xC1E0000000200000, // -2147483649
            0x3FE0000000000000, 0x3FF8000000000000, 0x4004000000000000, 0xC004000000000000,
            0x400599999999999A, 0x7FEFFFFFFFFFFFFF, 0x3FF0000000000001, 0x36A0000000000000,
        };
        switch (pick(5)) {
        case 0:
            return singles[pick(std::size(singles))] |
                   (uint64_t(singles[pick(std::size(singles))]) << 32);
        case 1:
            return doubles[pick(std::size(doubles))];
        case 2: // an ordinary double of moderate size
            return std::bit_cast<uint64_t>((double(rng_()) - 2147483648.0) /
                                           double(1 + pick(1000)));
        case 3: { // two ordinary singles
            const float a = float(int32_t(rng_())) / float(1 + pick(100000));
            const float b = float(int32_t(rng_())) / 65536.0f;
            return std::bit_cast<uint32_t>(a) | (uint64_t(std::bit_cast<uint32_t>(b)) << 32);
        }
        default:
            return (uint64_t(rng_()) << 32) | rng_();
        }
    }

  private:
    uint32_t reg() { return pick(32); }
    uint32_t dest() {
        for (;;) {
            const uint32_t r = reg();
            if (r != 26 && r != 27 && r != 29) return r;
        }
    }
    uint32_t base() { return BASES[pick(3)]; }
    int16_t offset(uint32_t align) {
        return int16_t((int32_t(pick(0x4000)) - 0x2000) & ~int32_t(align - 1));
    }

    uint32_t completeArithmetic() {
        const uint32_t d = dest(), s = reg(), t = reg(), sa = pick(32);
        const int16_t si = int16_t(rng_());
        const uint16_t ui = uint16_t(si);
        const uint32_t c0 = pick(32), c1 = pick(32); // COP0 registers, as read in this order
        const uint32_t forms[] = {dadd(d, s, t),   daddu(d, s, t),   dsub(d, s, t),  dsubu(d, s, t),
                                  daddi(d, s, si), daddiu(d, s, si), dsra(d, t, sa), dsllv(d, t, s),
                                  dsrlv(d, t, s),  dsrav(d, t, s),   dmult(s, t),    dmultu(s, t),
                                  ddiv(s, t),      ddivu(s, t),      dmfc0(d, c0),   xor_(d, s, t),
                                  xori(d, s, ui),  sra(d, t, sa),    srav(d, t, s),  mfc0(d, c1)};
        return forms[pick(std::size(forms))];
    }

    uint32_t completeMemory() {
        const uint32_t d = dest(), t = reg(), b = base();
        const uint32_t forms[] = {lwu(d, offset(4), b), ldl(d, offset(1), b), ldr(d, offset(1), b),
                                  sdl(t, offset(1), b), sdr(t, offset(1), b), lwr(d, offset(1), b),
                                  ll(d, offset(4), b),  lld(d, offset(8), b), sc(d, offset(4), b),
                                  scd(d, offset(8), b)}; // SC and SCD write rt
        return forms[pick(std::size(forms))];
    }

    uint32_t arithmetic() {
        if (complete_ && pick(3) == 0) return completeArithmetic();
        const uint32_t d = dest(), s = reg(), t = reg();
        const uint16_t i = uint16_t(pick(8) == 0 ? 0 : rng_());
        const int16_t si = int16_t(i);
        const uint32_t sa = pick(32);
        // Sometimes r0 as a source: the templates' special forms.
        const uint32_t s0 = pick(4) == 0 ? 0 : s, sOr = pick(3) == 0 ? 0 : s,
                       tOr = pick(3) == 0 ? 0 : t;
        const uint32_t forms[] = {
            addi(d, s, si), addiu(d, s, si), slti(d, s, si),   sltiu(d, s, si),  andi(d, s, i),
            ori(d, s0, i),  ori(d, d, i),    xori(d, s, i),    lui(d, i),        add(d, s, t),
            addu(d, s, t),  sub(d, s, t),    subu(d, s, t),    and_(d, s, t),    or_(d, sOr, tOr),
            xor_(d, s, t),  nor(d, s, t),    slt(d, s, t),     sltu(d, s, t),    sll(d, t, sa),
            srl(d, t, sa),  sra(d, t, sa),   sllv(d, t, s),    srlv(d, t, s),    srav(d, t, s),
            dsll(d, t, sa), dsrl(d, t, sa),  dsll32(d, t, sa), dsrl32(d, t, sa), dsra32(d, t, sa),
            mfhi(d),        mflo(d),         mthi(s),          mtlo(s),          mult(s, t),
            multu(s, t),    div(s, t),       divu(s, t),       dmultu(s, t),     ddivu(s, t),
            nop(),          syncOp(),        sll(d, t, 0)};
        return forms[pick(std::size(forms))];
    }

    uint32_t memory() {
        if (complete_ && pick(3) == 0) return completeMemory();
        // Each form with its alignment and the register it names: a load's
        // destination, a store's source or a floating-point register.
        enum Operand { D, T, F };
        static const struct {
            uint32_t (*op)(uint32_t, int16_t, uint32_t);
            uint32_t align;
            Operand reg;
        } forms[] = {{lb, 1, D},   {lbu, 1, D},  {lh, 2, D},   {lhu, 2, D},    {lw, 4, D},
                     {ld, 8, D},   {lwl, 1, D},  {lwr, 1, D},  {sb, 1, T},     {sh, 2, T},
                     {sw, 4, T},   {sd, 8, T},   {swl, 1, T},  {swr, 1, T},    {lwc1, 4, F},
                     {swc1, 4, F}, {ldc1, 8, F}, {sdc1, 8, F}, {nullptr, 4, D}};
        const uint32_t d = dest(), t = reg(), b = base();
        const uint32_t ft = pick(31);
        const auto& form = forms[pick(19)];
        if (!form.op) return lw(0, offset(4), b);
        return form.op(form.reg == D ? d : form.reg == T ? t : ft, offset(form.align), b);
    }

    // Moves to and from the system-control registers, the TLB instructions.
    uint32_t cop0() {
        static const uint32_t registers[] = {
            COP0_INDEX, COP0_ENTRYLO0, COP0_ENTRYLO1, COP0_PAGEMASK, COP0_ENTRYHI, COP0_STATUS,
            COP0_CAUSE, COP0_EPC,      COP0_ERROREPC, COP0_COUNT,    COP0_COMPARE, COP0_CONTEXT};
        const uint32_t r = registers[pick(std::size(registers))];
        switch (pick(8)) {
        case 0:
        case 1:
            return mfc0(pick(8) ? dest() : 0, r);
        case 2:
        case 3:
            return mtc0(pick(6) ? reg() : 0, r);
        case 4:
            return tlbwi();
        case 5:
            return tlbr();
        case 6:
            return complete_ && pick(2) ? tlbwr() : tlbp();
        default:
            return arithmetic();
        }
    }

    uint32_t fpuRegister() { return pick(6) == 0 ? 31 - pick(2) : pick(32); }

    // The complete machine's FPU: every function of every format, the
    // doubleword moves, and now and then a write of Status (FR).
    uint32_t completeFpuInstruction() {
        static const uint32_t formats[] = {FMT_S, FMT_S, FMT_D, FMT_D, FMT_W, FMT_L};
        const uint32_t fs = pick(32);
        switch (pick(40)) {
        case 0:
            return mtc0(reg(), COP0_STATUS);
        case 1:
        case 2:
            return mfc1(pick(8) ? dest() : 0, fs);
        case 3:
        case 4:
            return mtc1(reg(), fs);
        case 5:
        case 6:
            return 0x44200000u | (dest() << 16) | (fs << 11); // DMFC1
        case 7:
        case 8:
            return 0x44A00000u | (reg() << 16) | (fs << 11); // DMTC1
        case 9:
            return pick(2) ? cfc1(dest(), pick(3) ? 31 : pick(32))
                           : ctc1(reg(), pick(3) ? 31 : pick(32));
        default: {
            const uint32_t funct = pick(3) ? pick(16) : pick(2) ? 0x30 + pick(16) : 0x20 + pick(6);
            return fpu(formats[pick(6)], funct, pick(32), fs, pick(32));
        }
        }
    }

    uint32_t fpuInstruction() {
        if (mix_ == Mix::CompleteFpu) return completeFpuInstruction();
        static const uint32_t formats[] = {FMT_S, FMT_S, FMT_D, FMT_D, FMT_W, FMT_L};
        static const uint32_t functs[] = {F_ADD,   F_SUB,   F_MUL,  F_DIV,     F_SQRT,
                                          F_ABS,   F_MOV,   F_NEG,  F_TRUNC_W, F_CVT_S,
                                          F_CVT_D, F_CVT_W, F_C_EQ, F_C_LT,    F_C_LE};
        const uint32_t fd = fpuRegister(), fs = fpuRegister(), ft = fpuRegister();
        switch (pick(10)) {
        case 0:
            return mfc1(pick(8) ? dest() : 0, fs);
        case 1:
            return mtc1(reg(), fs);
        case 2:
            return pick(2) ? cfc1(pick(8) ? dest() : 0, pick(3) ? 31 : pick(32))
                           : ctc1(reg(), pick(3) ? 31 : pick(32));
        default: {
            uint32_t fmt = formats[pick(std::size(formats))];
            uint32_t funct = functs[pick(std::size(functs))];
            // Rarely a form that reports itself: SQRT.D, CVT from L, C.ULT.
            if (fmt == FMT_D && funct == F_SQRT && pick(4)) fmt = FMT_S;
            if (fmt == FMT_L && (funct == F_CVT_S || funct == F_CVT_D) && pick(4)) fmt = FMT_W;
            if (pick(60) == 0) funct = 0x30 + pick(16);
            return fpu(fmt, funct, fd, fs, ft);
        }
        }
    }

    // The complete machine's exceptions: SYSCALL, BREAK, the traps (often on
    // equal operands) and the doubleword sums that trap on overflow.
    uint32_t exception() {
        const uint32_t d = dest(), s = reg(), t = pick(3) ? reg() : s;
        const uint32_t imm = pick(2) ? uint16_t(rng_()) : uint16_t(int16_t(pick(16)) - 8);
        static const uint32_t trapFuncts[] = {0x30, 0x31, 0x32, 0x33, 0x34, 0x36};
        static const uint32_t trapImmediates[] = {8, 9, 10, 11, 12, 14};
        switch (pick(7)) {
        case 0:
            return pick(2) ? 0x0000000Cu : brk();
        case 1:
        case 2:
            return special(0, s, t, trapFuncts[pick(6)]);
        case 3:
            return (1u << 26) | (s << 21) | (trapImmediates[pick(6)] << 16) | imm;
        case 4:
            return special(d, s, t, 0x2C); // DADD
        case 5:
            return special(d, s, t, 0x2E); // DSUB
        default:
            return (0x18u << 26) | (s << 21) | (d << 16) | imm; // DADDI
        }
    }

    uint32_t body() {
        switch (mix_) {
        case Mix::Exceptions:
            return pick(6) == 0 ? exception() : pick(3) ? arithmetic() : memory();
        case Mix::Cop0:
            return pick(3) ? cop0() : arithmetic();
        case Mix::Fpu:
        case Mix::CompleteFpu:
            return pick(5) ? fpuInstruction() : memory();
        case Mix::Arithmetic:
            return arithmetic();
        case Mix::Memory:
            return pick(3) ? memory() : arithmetic();
        case Mix::Branches:
            return pick(4) ? arithmetic() : memory();
        }
        return nop();
    }

    uint32_t closing() {
        const uint32_t s = reg(), t = pick(4) ? reg() : s;
        const int16_t o = int16_t(int32_t(pick(64)) - 32);
        if (mix_ == Mix::Cop0 && pick(3) == 0) return eret();
        if ((mix_ == Mix::Fpu || mix_ == Mix::CompleteFpu) && pick(2) == 0) return bc1(pick(4), o);
        if (complete_ && pick(6) == 0) {
            const uint32_t linking[] = {bltzal(s, o), bltzall(s, o), bgezall(s, o)};
            return linking[pick(std::size(linking))];
        }
        const uint32_t form = pick(mix_ == Mix::Branches ? 19 : 4);
        if (form == 2 || form == 3) return (form == 2 ? j : jal)(CODE + 4 * pick(64));
        if (form == 16) return jalr(dest(), s);
        // Forms 2, 3 and 16 are made above; form 18 is the idle jump when its
        // slot is empty.
        const uint32_t forms[] = {beq(s, t, o),  bne(s, t, o),  nop(),        nop(),
                                  blez(s, o),    bgtz(s, o),    bltz(s, o),   bgez(s, o),
                                  beql(s, t, o), bnel(s, t, o), blezl(s, o),  bgtzl(s, o),
                                  bltzl(s, o),   bgezl(s, o),   bgezal(s, o), jr(s),
                                  nop(),         beql(s, s, o), j(CODE)};
        return forms[form];
    }

    std::mt19937 rng_;
    Mix mix_;
    bool complete_;
};

struct Snapshot {
    CpuState cpu;
    uint32_t actions[2];
    uint32_t nextVi;
    uint32_t halted;
    uint32_t linked;
    std::vector<uint8_t> window;
    TlbEntry entries[TLB_ENTRIES];

    static Snapshot take() {
        Snapshot s;
        s.cpu = theCpu;
        std::memcpy(s.entries, tlb, sizeof tlb);
        std::memcpy(s.actions, mem_actions, sizeof s.actions);
        s.nextVi = nextViCount;
        s.halted = emulationHalted.load();
        s.linked = loadLinkedBit;
        s.window.assign(theMemory.rdram + WINDOW_START,
                        theMemory.rdram + WINDOW_START + WINDOW_SIZE);
        return s;
    }
    void restore() const {
        theCpu = cpu;
        std::memcpy(tlb, entries, sizeof tlb);
        std::memcpy(mem_actions, actions, sizeof actions);
        nextViCount = nextVi;
        emulationHalted = halted;
        loadLinkedBit = linked;
        std::memcpy(theMemory.rdram + WINDOW_START, window.data(), WINDOW_SIZE);
    }
};

std::string describeDifference(const Snapshot& a, const Snapshot& b) {
    std::ostringstream out;
    out << std::hex;
    const auto* wa = reinterpret_cast<const uint32_t*>(&a.cpu);
    const auto* wb = reinterpret_cast<const uint32_t*>(&b.cpu);
    for (size_t i = 0; i < sizeof(CpuState) / 4; ++i)
        if (wa[i] != wb[i])
            out << " CpuState word " << std::dec << i << std::hex << ": interpreter " << wa[i]
                << " recompiler " << wb[i] << ";";
    if (std::memcmp(a.actions, b.actions, sizeof a.actions)) out << " mem_actions;";
    if (a.nextVi != b.nextVi) out << " nextViCount;";
    if (a.halted != b.halted) out << " halt flag;";
    if (a.linked != b.linked) out << " LLbit;";
    if (std::memcmp(a.entries, b.entries, sizeof a.entries)) out << " TLB;";
    for (size_t i = 0; i < a.window.size(); i += 4)
        if (std::memcmp(&a.window[i], &b.window[i], 4)) {
            out << " RDRAM at " << (WINDOW_START + i) << ";";
            break;
        }
    return out.str();
}

constexpr uint32_t FCR31_CONDITION_BIT = 0x00800000;

// System-control registers and TLB entries with the bits that matter to
// TLBWI, TLBR and ERET; Status never asks for the bootstrap vectors unless
// the block writes it.
void randomizeCop0(BlockGenerator& gen) {
    for (uint32_t& r : theCpu.cop0)
        r = uint32_t(gen.value());
    theCpu.cop0[COP0_INDEX] = gen.pick(4) ? gen.pick(32) : gen.pick(2) ? 32 + gen.pick(64) : ~0u;
    theCpu.cop0[COP0_STATUS] &= ~0x00400000u;
    for (TlbEntry& e : tlb) {
        e = TlbEntry{};
        if (gen.pick(4) == 0) continue;
        e.ll = uint32_t(gen.value()) & ~1u;
        e.lh = uint32_t(gen.value()) & ~1u;
        e.hl = uint32_t(gen.value()) & 0xFFFFF0FF;
        e.hh = uint32_t(gen.value()) & 0x01FFE000;
    }
}

// The blocks run on one thread, so ThreadSanitizer has nothing to find in
// them; under it a tenth of them keeps the suite within CI's time.
constexpr int blockCount(int blocks) {
#if defined(__SANITIZE_THREAD__)
    return blocks / 10;
#else
    return blocks;
#endif
}

// A campaign: its seed, its mix and whether the complete machine's
// instructions join it.
struct Campaign {
    const char* name;
    uint32_t seed;
    Mix mix;
    int blocks;
    bool complete;
};
const Campaign campaigns[] = {
    {"Arithmetic", 0x5EED0001, Mix::Arithmetic, 3000, false},
    {"Memory", 0x5EED0002, Mix::Memory, 3000, false},
    {"Branch", 0x5EED0003, Mix::Branches, 3000, false},
    {"Cop0", 0x5EED0004, Mix::Cop0, 3000, false},
    {"Fpu", 0x5EED0005, Mix::Fpu, 4000, false},
    {"CompleteArithmetic", 0x5EED0101, Mix::Arithmetic, 3000, true},
    {"CompleteMemory", 0x5EED0102, Mix::Memory, 3000, true},
    {"CompleteBranch", 0x5EED0103, Mix::Branches, 3000, true},
    {"CompleteCop0", 0x5EED0104, Mix::Cop0, 2000, true},
    {"CompleteMachineFpu", 0x5EED0007, Mix::CompleteFpu, 4000, true},
    {"ExceptionsOfTheCompleteMachine", 0x5EED0006, Mix::Exceptions, 3000, true},
};
void PrintTo(const Campaign& c, std::ostream* out) {
    *out << c.name;
}

class DifferentialTest : public CpuTest, public ::testing::WithParamInterface<Campaign> {
  protected:
    void runBlocks(uint32_t seed, Mix mix, int blocks, bool complete) {
        theMachineMode = complete ? MachineMode::Complete : MachineMode::Design;
        BlockGenerator gen(seed, mix, complete);
        for (int n = 0; n < blocks; ++n) {
            const std::vector<uint32_t> words = gen.block();
            place(CODE, words);
            for (uint32_t r = 1; r < 32; ++r)
                theCpu.gpr[r].set(gen.value());
            for (uint32_t b : BASES)
                theCpu.gpr[b].set(uint64_t(int64_t(int32_t(DATA + 8 * gen.pick(256)))));
            theCpu.hi.set(gen.value());
            theCpu.lo.set(gen.value());
            for (uint32_t i = 0; i < 32; i += 2) {
                const uint64_t pair = gen.floatingValue();
                theCpu.fpr[i] = uint32_t(pair);
                theCpu.fpr[i + 1] = uint32_t(pair >> 32);
            }
            theCpu.fcr0 = uint32_t(gen.value());
            theCpu.fcr31 = gen.pick(2) ? FCR31_CONDITION_BIT : 0;
            if (mix == Mix::CompleteFpu) {
                theCpu.fcr31 |= gen.pick(4); // the rounding mode
                for (uint32_t i = 0; i < 32; i += 2) {
                    const uint64_t pair = gen.floatingValue();
                    theCpu.fprOdd[i] = uint32_t(pair);
                    theCpu.fprOdd[i + 1] = uint32_t(pair >> 32);
                }
            }
            randomizeCop0(gen);
            theCpu.cop0[COP0_COUNT] = gen.pick(1000);
            theCpu.cop0[COP0_COMPARE] = gen.pick(3) ? gen.pick(1000) : 0;
            nextViCount = gen.pick(2) ? 500 + gen.pick(1000) : VI_INTERRUPT_INTERVAL;
            mem_actions[0] = gen.pick(4) == 0 ? 1 : 0;
            loadLinkedBit = complete ? gen.pick(2) : 0;
            emulationHalted = 0;
            theCpu.pc = CODE;
            const Snapshot before = Snapshot::take();

            selectedCpuCore = CpuCore::Interpreter;
            runBlock();
            const Snapshot interpreted = Snapshot::take();

            before.restore();
            selectedCpuCore = CpuCore::Recompiler;
            flushCodeCache();
            runBlock();
            const Snapshot translated = Snapshot::take();

            const std::string diff = describeDifference(interpreted, translated);
            if (!diff.empty()) {
                std::ostringstream code;
                code << std::hex;
                for (uint32_t w : words)
                    code << " " << w;
                FAIL() << "seed " << seed << ", block " << n << ":" << diff
                       << "\n code:" << code.str();
            }
        }
    }
};

} // namespace

TEST_P(DifferentialTest, BlocksAgree) {
    const Campaign& c = GetParam();
    runBlocks(c.seed, c.mix, blockCount(c.blocks), c.complete);
}

INSTANTIATE_TEST_SUITE_P(Random, DifferentialTest, ::testing::ValuesIn(campaigns),
                         [](const auto& info) { return std::string(info.param.name); });
