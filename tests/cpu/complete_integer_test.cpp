// The complete machine's integer instructions on both CPU cores: 64-bit
// arithmetic and shifts, doubleword multiply/divide, branches on whole
// registers, unaligned doubleword accesses, LL/SC, and the design machine
// that still reports a 64-bit instruction as missing.
#include <gtest/gtest.h>

#include "core/cpu_state.h"
#include "core/load_linked.h"
#include "core/machine.h"
#include "core/machine_mode.h"
#include "cpu/both_cores_fixture.h"
#include "support/test_machine.h"

using namespace enc;

namespace {

class CompleteIntegerTest : public BothCoresTest {
  protected:
    void SetUp() override {
        BothCoresTest::SetUp();
        theMachineMode = MachineMode::Complete;
        loadLinkedBit = 0;
    }
};

const AluCase aluCases[] = {
    {"DADDU carries across 32 bits", daddu(t2, t0, t1), 0xFFFFFFFF, 1, 0x1'00000000},
    {"DADD of a negative and a positive", dadd(t2, t0, t1), ~0ull, 2, 1},
    {"DSUBU borrows across 32 bits", dsubu(t2, t0, t1), 0x1'00000000, 1, 0xFFFFFFFF},
    {"DSUB", dsub(t2, t0, t1), 0, 1, ~0ull},
    {"DADDIU sign-extends its immediate", daddiu(t2, t0, -1), 0x1'00000000, 0, 0xFFFFFFFF},
    {"DADDI", daddi(t2, t0, 0x10), 0xFFFFFFFF'FFFFFFF8, 0, 8},
    {"ADDU still sign-extends", addu(t2, t0, t1), 0x7FFFFFFF, 1, 0xFFFFFFFF'80000000},
    {"XOR uses the high words", xor_(t2, t0, t1), 0x1'80000000, 0x2'00000001, 0x3'80000001},
    {"XORI keeps the high word", xori(t2, t0, 0x8001), 0x1'00000000, 0, 0x1'00008001},
    {"SRA takes bits of the high word", sra(t2, t0, 4), 0x5'00000000, 0, 0x50000000},
    {"SRAV sign-extends", srav(t2, t0, t1), 0xFFFFFFFF'80000000, 36, 0xFFFFFFFF'F8000000},
    {"SRL keeps the low word", srl(t2, t0, 4), 0x5'00000000, 0, 0},
    {"DSRA", dsra(t2, t0, 4), 0x80000000'00000000, 0, 0xF8000000'00000000},
    {"DSLLV by 32 and more", dsllv(t2, t0, t1), 0x1'80000001, 33, 0x00000002'00000000},
    {"DSLLV counts modulo 64", dsllv(t2, t0, t1), 3, 64 + 4, 0x30},
    {"DSRLV", dsrlv(t2, t0, t1), 0x80000000'00000000, 63, 1},
    {"DSRAV", dsrav(t2, t0, t1), 0x80000000'00000000, 32, 0xFFFFFFFF'80000000},
    {"DSRA32", dsra32(t2, t0, 0), 0x80000000'00000000, 0, 0xFFFFFFFF'80000000},
};

TEST_P(CompleteIntegerTest, WholeRegisterArithmeticAndShifts) {
    expectAluCases(aluCases);
    // Register 0 stays 0.
    set(t0, 5);
    run({daddu(r0, t0, t0), dsra(r0, t0, 1)});
    EXPECT_EQ(reg(r0), 0u);
    // MFC0 and DMFC0 give sign-extended words.
    cop0(COP0_EPC) = 0x80001234;
    set(t3, 0x12345678'00000000);
    run({mfc0(t3, COP0_EPC), dmfc0(t4, COP0_EPC)});
    EXPECT_EQ(reg(t3), 0xFFFFFFFF'80001234);
    EXPECT_EQ(reg(t4), 0xFFFFFFFF'80001234);
}

TEST_P(CompleteIntegerTest, DoublewordMultiplyAndDivide) {
    struct Case {
        const char* name;
        uint32_t word;
        uint64_t a, b, lo, hi;
    };
    constexpr uint64_t MIN = 0x80000000'00000000;
    const Case cases[] = {
        {"DMULT of the minimum by -1", dmult(t0, t1), MIN, ~0ull, MIN, 0},
        {"DMULT signed", dmult(t0, t1), ~0ull, 2, ~1ull, ~0ull},
        {"DMULTU gives the high doubleword", dmultu(t0, t1), ~0ull, 2, ~1ull, 1},
        {"DMULTU across 32 bits", dmultu(t0, t1), 0x1'00000000, 0x1'00000000, 0, 1},
        {"DDIV", ddiv(t0, t1), uint64_t(-7), 2, uint64_t(-3), uint64_t(-1)},
        {"DDIV of the minimum by -1", ddiv(t0, t1), MIN, ~0ull, MIN, 0},
        {"DDIV by zero, dividend 0 or more", ddiv(t0, t1), 5, 0, ~0ull, 5},
        {"DDIV by zero, negative dividend", ddiv(t0, t1), uint64_t(-5), 0, 1, uint64_t(-5)},
        {"DDIVU by zero", ddivu(t0, t1), 5, 0, ~0ull, 5},
    };
    for (const Case& c : cases) {
        set(t0, c.a);
        set(t1, c.b);
        run({c.word});
        EXPECT_EQ(theCpu.lo.value(), c.lo) << c.name;
        EXPECT_EQ(theCpu.hi.value(), c.hi) << c.name;
    }
}

TEST_P(CompleteIntegerTest, BranchesCompareWholeRegisters) {
    const uint32_t next = CODE + 8, target = CODE + 4 + 16;
    auto branch = [&](uint32_t word) {
        run({word, nop()});
        return theCpu.pc;
    };
    // Low words equal, high words not.
    set(t0, 0x1'00000005);
    set(t1, 0x2'00000005);
    EXPECT_EQ(branch(beq(t0, t1, 4)), next);
    EXPECT_EQ(branch(bne(t0, t1, 4)), target);
    // A low word with its sign bit set in a positive register.
    set(t0, 0x00000000'80000000);
    EXPECT_EQ(branch(bltz(t0, 4)), next);
    EXPECT_EQ(branch(bgtz(t0, 4)), target);
    set(t0, 0xFFFFFFFF'00000000);
    EXPECT_EQ(branch(blez(t0, 4)), target);
    EXPECT_EQ(branch(bgez(t0, 4)), next);
    // Zero, and a positive register whose low word is zero.
    set(t0, 0);
    EXPECT_EQ(branch(bgtz(t0, 4)), next);
    EXPECT_EQ(branch(blez(t0, 4)), target);
    set(t0, 0x1'00000000);
    EXPECT_EQ(branch(bgtz(t0, 4)), target);
    EXPECT_EQ(branch(blez(t0, 4)), next);
    // BLTZAL on r31 tests r31's value before the link; the link is the whole
    // sign-extended address.
    set(ra, ~0ull);
    EXPECT_EQ(branch(bltzal(ra, 4)), target);
    EXPECT_EQ(reg(ra), 0xFFFFFFFF'00000000 | (CODE + 8));
    // A likely link branch not taken links, skips its slot and leaves.
    set(t0, 1);
    set(t5, 0);
    run({bltzall(t0, 4), ori(t5, r0, 1)});
    EXPECT_EQ(theCpu.pc, next);
    EXPECT_EQ(reg(t5), 0u);
    EXPECT_EQ(reg(ra), 0xFFFFFFFF'00000000 | (CODE + 8));
    run({bgezall(t0, 4), ori(t5, r0, 1)});
    EXPECT_EQ(theCpu.pc, target);
    EXPECT_EQ(reg(t5), 1u);
}

// RDRAM 0x10000 holds the bytes 00 11 22 ... FF.
class CompleteMemoryTest : public CompleteIntegerTest {
  protected:
    static constexpr uint32_t DATA = 0x10000;
    void SetUp() override {
        CompleteIntegerTest::SetUp();
        fillData();
        set(t0, 0xFFFFFFFF'80000000 | DATA);
    }
    static void fillData() {
        for (uint32_t i = 0; i < 16; i += 4)
            setGuestWord(DATA + i, 0x00112233u + 0x44444444u * (i / 4));
    }
    static uint64_t guestDoubleword(uint32_t at) {
        return (uint64_t(guestWord(at)) << 32) | guestWord(at + 4);
    }
};

TEST_P(CompleteMemoryTest, UnalignedDoublewordsAtEveryAlignment) {
    for (int16_t n = 0; n < 8; ++n) {
        // LDL at the address, LDR at its last byte: the doubleword from there.
        set(t1, 0);
        run({ldl(t1, n, t0), ldr(t1, int16_t(n + 7), t0)});
        uint64_t expected = 0;
        for (int i = 0; i < 8; ++i)
            expected = (expected << 8) | uint64_t(0x11 * ((n + i) & 15));
        EXPECT_EQ(reg(t1), expected) << "load at +" << n;

        // SDL/SDR of a value at that alignment, back through LDL/LDR.
        set(t2, 0x0102030405060708);
        run({sdl(t2, n, t0), sdr(t2, int16_t(n + 7), t0), ldl(t3, n, t0),
             ldr(t3, int16_t(n + 7), t0)});
        EXPECT_EQ(reg(t3), 0x0102030405060708u) << "store at +" << n;
        // The bytes around it keep their values.
        const uint64_t before = guestDoubleword(DATA), after = guestDoubleword(DATA + 8);
        for (int i = 0; i < 16; ++i) {
            const uint64_t d = i < 8 ? before : after;
            const unsigned byte = unsigned(d >> (8 * (7 - (i & 7)))) & 0xFF;
            if (i < n || i >= n + 8) {
                EXPECT_EQ(byte, 0x11u * unsigned(i)) << n << " byte " << i;
            }
        }
        fillData();
    }
    // LDL alone keeps the low bytes; LDR alone keeps the high ones.
    set(t1, 0xAAAAAAAA'AAAAAAAA);
    run({ldl(t1, 5, t0)});
    EXPECT_EQ(reg(t1), 0x556677AA'AAAAAAAAu);
    set(t1, 0xAAAAAAAA'AAAAAAAA);
    run({ldr(t1, 2, t0)});
    EXPECT_EQ(reg(t1), 0xAAAAAAAA'AA001122u);
}

TEST_P(CompleteMemoryTest, WordLoadsOnWholeRegisters) {
    setGuestWord(DATA + 16, 0x80818283);
    run({lwu(t1, 16, t0), lw(t2, 16, t0)});
    EXPECT_EQ(reg(t1), 0x80818283u);
    EXPECT_EQ(reg(t2), 0xFFFFFFFF'80818283);
    // LWL then LWR of an unaligned negative word: sign-extended, the high
    // word is not cleared by LWR.
    setGuestWord(DATA + 20, 0x84858687);
    run({lwl(t3, 17, t0), lwr(t3, 20, t0)});
    EXPECT_EQ(reg(t3), 0xFFFFFFFF'81828384);
    // LWR of an address ending in 3 loads the whole word, sign-extended.
    set(t4, 0);
    run({lwr(t4, 19, t0)});
    EXPECT_EQ(reg(t4), 0xFFFFFFFF'80818283);
}

TEST_P(CompleteMemoryTest, LoadLinkedAndStoreConditional) {
    // Without LL, SC stores nothing and gives 0.
    set(t1, 0x12345678);
    run({sc(t1, 0, t0)});
    EXPECT_EQ(reg(t1), 0u);
    EXPECT_EQ(guestWord(DATA), 0x00112233u);
    // LL then SC: the store is made and gives 1; LLAddr holds the address.
    set(t1, 0x12345678);
    run({ll(t2, 0, t0), sc(t1, 0, t0)});
    EXPECT_EQ(reg(t2), 0x00112233u);
    EXPECT_EQ(reg(t1), 1u);
    EXPECT_EQ(guestWord(DATA), 0x12345678u);
    EXPECT_EQ(cop0(COP0_LLADDR), DATA >> 4);
    // An ERET between LL and SC makes it fail.
    cop0(COP0_EPC) = CODE + 0x100;
    cop0(COP0_STATUS) = 0x2;
    set(t1, 0x9ABCDEF0);
    run({ll(t2, 0, t0)});
    runAt(CODE, {eret()});
    run({sc(t1, 0, t0)});
    EXPECT_EQ(reg(t1), 0u);
    EXPECT_EQ(guestWord(DATA), 0x12345678u);
    // LLD and SCD on doublewords.
    set(t1, 0x01020304'05060708);
    run({lld(t2, 8, t0), scd(t1, 8, t0)});
    EXPECT_EQ(reg(t2), 0x8899AABB'CCDDEEFFu);
    EXPECT_EQ(reg(t1), 1u);
    EXPECT_EQ(guestDoubleword(DATA + 8), 0x01020304'05060708u);
}

INSTANTIATE_TEST_SUITE_P(BothCores, CompleteIntegerTest, bothCores, coreName);
INSTANTIATE_TEST_SUITE_P(BothCores, CompleteMemoryTest, bothCores, coreName);

// The templates work on word pairs, or on whole registers read into RAX as
// two words (a 64-bit load right after two word stores would stall).
class CompleteTemplateTest : public CompleteMachineTest {};

TEST_F(CompleteTemplateTest, WholeRegisterTemplates) {
    constexpr uint32_t PC = 0x80001000;
    using Lines = std::vector<std::string>;
    const Lines loadT0{"mov eax, dword ptr [gpr8.lo]", "mov edx, dword ptr [gpr8.hi]",
                       "shl rdx, 0x20", "or rax, rdx"};
    EXPECT_EQ(translateToText(PC, {daddu(t2, t0, t1)}),
              (Lines{"mov eax, dword ptr [gpr8.lo]", "mov edx, dword ptr [gpr8.hi]",
                     "add eax, dword ptr [gpr9.lo]", "adc edx, dword ptr [gpr9.hi]",
                     "mov dword ptr [gpr10.lo], eax", "mov dword ptr [gpr10.hi], edx"}));
    EXPECT_EQ(
        translateToText(PC, {sra(t2, t0, 5)}),
        (Lines{"mov eax, dword ptr [gpr8.lo]", "mov edx, dword ptr [gpr8.hi]", "shrd eax, edx, 5",
               "cdq", "mov dword ptr [gpr10.lo], eax", "mov dword ptr [gpr10.hi], edx"}));
    // Into register 0 nothing is stored.
    Lines dsraToZero = loadT0;
    dsraToZero.push_back("sar rax, 3");
    EXPECT_EQ(translateToText(PC, {dsra(r0, t0, 3)}), dsraToZero);
}

// With the setting off, a 64-bit instruction is still missing: reported when
// its block is compiled, and the run halts after the block.
class DesignMachineTest : public BothCoresTest {};

TEST_P(DesignMachineTest, StillReportsDoublewordAdditionAsMissing) {
    theMachineMode = MachineMode::Design;
    set(t0, 1);
    run({daddu(t1, t0, t0)});
    ASSERT_FALSE(sink.messages().empty());
    EXPECT_NE(sink.messages()[0].text.find("DADDU"), std::string::npos) << sink.messages()[0].text;
    EXPECT_NE(emulationHalted.load(), 0u);
    EXPECT_EQ(reg(t1), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothCores, DesignMachineTest, bothCores, coreName);

} // namespace
