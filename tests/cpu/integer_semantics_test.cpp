// Integer instructions on both CPU cores: arithmetic and logic under the
// 32-bit model, shifts, the multiply/divide unit, and the jumps and branches
// that close blocks, with the boot checksum loop.
#include <gtest/gtest.h>

#include "core/cpu_state.h"
#include "core/machine.h"
#include "cpu/both_cores_fixture.h"

using namespace enc;

namespace {

class IntegerTest : public BothCoresTest {};

const AluCase aluCases[] = {
    // Immediates.
    {"ADDIU wraps into the sign", addiu(t2, t0, 1), 0x7FFFFFFF, 0, 0xFFFFFFFF'80000000},
    {"ADDI never traps", addi(t2, t0, 1), 0x7FFFFFFF, 0, 0xFFFFFFFF'80000000},
    {"ADDIU ignores the high word", addiu(t2, t0, -1), 0x5'00000000, 0, 0xFFFFFFFF'FFFFFFFF},
    {"XORI ignores the high word", xori(t2, t0, 0), 0x1'00000000, 0, 0},
    {"XORI sign-extends", xori(t2, t0, 0x0001), 0x80000000, 0, 0xFFFFFFFF'80000001},
    {"ORI keeps the high word", ori(t2, t0, 0x00F0), 0xABCD0000'0000000F, 0, 0xABCD0000'000000FF},
    {"ORI 0 copies 64 bits", ori(t2, t0, 0), 0xFFFFFFFF'12345678, 0, 0xFFFFFFFF'12345678},
    {"ORI from r0 is a constant", ori(t2, r0, 0x1234), 0, 0, 0x1234},
    {"ORI in place", ori(t0, t0, 0x10), 0xABCD0000'00000001, 0, 0xABCD0000'00000011},
    {"ANDI clears the high word", andi(t2, t0, 0xFF0F), 0xFFFFFFFF'12345678, 0, 0x5608},
    {"ANDI 0", andi(t2, t0, 0), 0xFFFFFFFF'FFFFFFFF, 0, 0},
    {"LUI sign-extends", lui(t2, 0x8001), 0, 0, 0xFFFFFFFF'80010000},
    {"LUI positive", lui(t2, 0x7001), 0, 0, 0x70010000},
    {"SLTI compares 64 bits", slti(t2, t0, 0), 0xFFFFFFFF'00000000, 0, 1},
    {"SLTI high words decide", slti(t2, t0, 5), 0x1'00000000, 0, 0},
    {"SLTI equal high, unsigned low", slti(t2, t0, -1), 0xFFFFFFFF'7FFFFFFF, 0, 1},
    {"SLTIU 0xFFFF is all ones", sltiu(t2, t0, -1), 0xFFFFFFFF'FFFFFFFE, 0, 1},
    {"SLTIU all ones is not below", sltiu(t2, t0, -1), 0xFFFFFFFF'FFFFFFFF, 0, 0},
    {"SLTIU small", sltiu(t2, t0, 3), 0x1'00000000, 0, 0},
    // Registers.
    {"ADDU low words only", addu(t2, t0, t1), 0x1'7FFFFFFF, 0x2'00000001, 0xFFFFFFFF'80000000},
    {"ADDU to all ones", addu(t2, t0, t1), 0x12345678'FFFF0000, 0xF0F0F0F0'0000FFFF, ~0ull},
    {"ADD never traps", add(t2, t0, t1), 0x7FFFFFFF, 1, 0xFFFFFFFF'80000000},
    {"SUBU", subu(t2, t0, t1), 0, 1, 0xFFFFFFFF'FFFFFFFF},
    {"SUBU from r0", subu(t2, r0, t1), 0, 0x80000000, 0xFFFFFFFF'80000000},
    {"SUB", sub(t2, t0, t1), 0x80000000, 1, 0x7FFFFFFF},
    {"AND 64-bit", and_(t2, t0, t1), 0xF0F0F0F0'FFFF0000, 0xFF00FF00'00FFFF00, 0xF000F000'00FF0000},
    {"OR 64-bit", or_(t2, t0, t1), 0x12000000'00000001, 0x00340000'00000010, 0x12340000'00000011},
    {"OR with rs = 0 copies", or_(t2, r0, t1), 0, 0xDEADBEEF'12345678, 0xDEADBEEF'12345678},
    {"OR with rt = 0 copies", or_(t2, t0, r0), 0xDEADBEEF'12345678, 0, 0xDEADBEEF'12345678},
    {"OR of r0 and r0", or_(t2, r0, r0), 5, 6, 0},
    {"XOR low words, sign-extended", xor_(t2, t0, t1), 0x1'80000000, 0x2'00000001,
     0xFFFFFFFF'80000001},
    {"NOR 64-bit", nor(t2, t0, t1), 0x0F0F0F0F'00000000, 0xF0F0F0F0'0000FFFF, 0xFFFF0000},
    {"SLT high words signed", slt(t2, t0, t1), 0xFFFFFFFF'00000000, 0x0'FFFFFFFF, 1},
    {"SLT equal high, unsigned low", slt(t2, t0, t1), 0x80000000, 0x7FFFFFFF, 0},
    {"SLT all ones below 5", slt(t2, t0, t1), ~0ull, 5, 1},
    {"SLTU high words", sltu(t2, t0, t1), 0x1'00000000, 0xFFFFFFFF, 0},
    {"SLTU low words", sltu(t2, t0, t1), 5, 6, 1},
    {"SLTU all ones", sltu(t2, t0, t1), ~0ull, 5, 0},
    // Shifts.
    {"SLL sign-extends", sll(t2, t0, 4), 0x1'08000000, 0, 0xFFFFFFFF'80000000},
    {"SLL drops the high word", sll(t2, t0, 1), 0x80000001'80000001, 0, 2},
    {"SRL is logical, then sign-extended", srl(t2, t0, 0), 0x80000000, 0, 0xFFFFFFFF'80000000},
    {"SRL by 1", srl(t2, t0, 1), 0x80000001'80000001, 0, 0x40000000},
    {"SRA", sra(t2, t0, 4), 0x80000000, 0, 0xFFFFFFFF'F8000000},
    {"SLLV uses rs & 31", sllv(t2, t0, t1), 1, 33, 2},
    {"SRLV", srlv(t2, t0, t1), 0xF0000000, 4, 0x0F000000},
    {"SRAV", srav(t2, t0, t1), 0xF0000000, 36, 0xFFFFFFFF'FF000000},
    {"DSLL", dsll(t2, t0, 4), 0xF0000000, 0, 0xF'00000000},
    {"DSLL by 0", dsll(t2, t0, 0), 0x12345678'9ABCDEF0, 0, 0x12345678'9ABCDEF0},
    {"DSLL in place", dsll(t0, t0, 1), 0x1'80000000, 0, 0x3'00000000},
    {"DSRL", dsrl(t2, t0, 4), 0xF'00000000, 0, 0xF0000000},
    {"DSRL by 31", dsrl(t2, t0, 31), 0x80000000'00000000, 0, 0x1'00000000},
    {"DSLL32", dsll32(t2, t0, 4), 0xFFFFFFFF'10000001, 0, 0x00000010'00000000},
    {"DSRL32", dsrl32(t2, t0, 4), 0x80000000'FFFFFFFF, 0, 0x08000000},
    {"DSRA32", dsra32(t2, t0, 4), 0x80000000'00000000, 0, 0xFFFFFFFF'F8000000},
    {"DSRA32 by 0", dsra32(t2, t0, 0), 0x7FFFFFFF'00000000, 0, 0x7FFFFFFF},
};

TEST_P(IntegerTest, ArithmeticLogicAndShiftsFollowThe32BitModel) {
    expectAluCases(aluCases);
}

TEST_P(IntegerTest, RegisterZeroIsNeverWritten) {
    set(t0, 0x12345678'9ABCDEF0);
    set(t1, 0x80004000);
    run({addu(r0, t0, t0), lui(r0, 0x1234), ori(r0, t0, 1), or_(r0, t0, t0), sll(r0, t0, 4),
         dsll32(r0, t0, 0), mfhi(r0), lw(r0, 0, t1), ld(r0, 0, t1), lwl(r0, 1, t1),
         mfc0(r0, COP0_STATUS), cfc1(r0, 31), jalr(r0, t1), nop()});
    EXPECT_EQ(reg(r0), 0u);
    EXPECT_EQ(theCpu.pc, 0x80004000u);
}

TEST_P(IntegerTest, MultiplyAndDivideNeverFaultTheHost) {
    struct Case {
        const char* name;
        uint32_t word;
        uint64_t a, b, lo, hi;
    };
    const Case cases[] = {
        {"MULT", mult(t0, t1), 0xFFFFFFFE, 3, 0xFFFFFFFF'FFFFFFFA, 0xFFFFFFFF'FFFFFFFF},
        {"MULT low words only", mult(t0, t1), 0x7'00010000, 0x00010000, 0, 1},
        {"MULTU", multu(t0, t1), 0xFFFFFFFF, 2, 0xFFFFFFFF'FFFFFFFE, 1},
        {"MULTU low words only", multu(t0, t1), 0xFFFFFFFE, 0x3'00000003, 0xFFFFFFFF'FFFFFFFA, 2},
        {"DIV", div(t0, t1), uint64_t(-7), 2, 0xFFFFFFFF'FFFFFFFD, 0xFFFFFFFF'FFFFFFFF},
        {"DIV negative divisor", div(t0, t1), 7, 0xFFFFFFFE, 0xFFFFFFFF'FFFFFFFD, 1},
        {"DIV by 0, positive", div(t0, t1), 5, 0, 0xFFFFFFFF'FFFFFFFF, 5},
        {"DIV by 0, negative", div(t0, t1), 0x80000000, 0, 1, 0xFFFFFFFF'80000000},
        {"DIV overflow", div(t0, t1), 0x80000000, 0xFFFFFFFF, 0xFFFFFFFF'80000000, 0},
        {"DIVU", divu(t0, t1), 0x80000000, 2, 0x40000000, 0},
        {"DIVU sign-extends", divu(t0, t1), 0xFFFFFFFF, 1, 0xFFFFFFFF'FFFFFFFF, 0},
        {"DIVU remainder", divu(t0, t1), 0xFFFFFFFF, 0x10, 0x0FFFFFFF, 0xF},
        {"DIVU by 0", divu(t0, t1), 0x80000001, 0, 0xFFFFFFFF'FFFFFFFF, 0xFFFFFFFF'80000001},
        {"DMULTU keeps hi 0", dmultu(t0, t1), 0xFFFFFFFF'FFFFFFFF, 0x10, 0xFFFFFFFF'FFFFFFF0, 0},
        {"DMULTU past 64 bits", dmultu(t0, t1), ~0ull, ~0ull, 1, 0},
        {"DDIVU", ddivu(t0, t1), 0x10'00000007, 0x10, 0x1'00000000, 7},
        {"DDIVU by 0", ddivu(t0, t1), 0x12'34567890, 0, 0xFFFFFFFF'FFFFFFFF, 0x12'34567890},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        set(t0, c.a);
        set(t1, c.b);
        theCpu.lo.set(0x5555);
        theCpu.hi.set(0x5555);
        run({c.word});
        EXPECT_EQ(theCpu.lo.value(), c.lo);
        EXPECT_EQ(theCpu.hi.value(), c.hi);
    }
    // The moves copy whole registers.
    set(t0, 0x11111111'22222222);
    set(t1, 0x33333333'44444444);
    run({mthi(t0), mtlo(t1), mfhi(t2), mflo(t3)});
    EXPECT_EQ(reg(t2), 0x11111111'22222222u);
    EXPECT_EQ(reg(t3), 0x33333333'44444444u);
}

struct BranchCase {
    const char* name;
    uint32_t word;
    uint64_t rs, rt;
    bool taken;
};

TEST_P(IntegerTest, TwoWayBranchesCompareSignedLowWordsAndAlwaysRunTheirSlot) {
    const BranchCase cases[] = {
        {"BEQ equal low, different high", beq(t0, t1, 4), 0x1'00000005, 0x2'00000005, true},
        {"BEQ different low", beq(t0, t1, 4), 5, 6, false},
        {"BNE equal low, different high", bne(t0, t1, 4), 0x1'00000005, 5, false},
        {"BNE different low", bne(t0, t1, 4), 5, 6, true},
        {"BLTZ low 0x80000000, high 0", bltz(t0, 4), 0x00000000'80000000, 0, true},
        {"BLTZ low positive, high negative", bltz(t0, 4), 0xFFFFFFFF'00000001, 0, false},
        {"BGEZ low zero, high negative", bgez(t0, 4), 0xFFFFFFFF'00000000, 0, true},
        {"BGEZ low negative", bgez(t0, 4), 0x80000000, 0, false},
        {"BLEZ low zero", blez(t0, 4), 0x5'00000000, 0, true},
        {"BLEZ positive", blez(t0, 4), 1, 0, false},
        {"BGTZ positive low, negative high", bgtz(t0, 4), 0xFFFFFFFF'00000001, 0, true},
        {"BGTZ zero", bgtz(t0, 4), 0, 0, false},
    };
    for (const BranchCase& c : cases) {
        SCOPED_TRACE(c.name);
        set(t0, c.rs);
        set(t1, c.rt);
        set(t2, 0);
        EXPECT_EQ(run({c.word, addiu(t2, t2, 1), addiu(t2, t2, 2)}), 2u);
        EXPECT_EQ(theCpu.pc, c.taken ? CODE + 4 + 16 : CODE + 8);
        EXPECT_EQ(reg(t2), 1u) << "the delay slot runs either way";
    }
}

TEST_P(IntegerTest, LikelyBranchesRunTheirSlotOnlyWhenTaken) {
    const BranchCase cases[] = {
        {"BEQL", beql(t0, t1, -2), 0x7'00000001, 1, true},
        {"BEQL not taken", beql(t0, t1, -2), 1, 2, false},
        {"BNEL", bnel(t0, t1, -2), 1, 2, true},
        {"BNEL not taken", bnel(t0, t1, -2), 0x3'00000002, 2, false},
        {"BLEZL", blezl(t0, -2), 0x80000000, 0, true},
        {"BLEZL not taken", blezl(t0, -2), 7, 0, false},
        {"BGTZL", bgtzl(t0, -2), 7, 0, true},
        {"BGTZL not taken", bgtzl(t0, -2), 0, 0, false},
        {"BLTZL", bltzl(t0, -2), 0xFFFFFFFF, 0, true},
        {"BLTZL not taken", bltzl(t0, -2), 0, 0, false},
        {"BGEZL", bgezl(t0, -2), 0, 0, true},
        {"BGEZL not taken", bgezl(t0, -2), 0x80000000, 0, false},
    };
    for (const BranchCase& c : cases) {
        SCOPED_TRACE(c.name);
        set(t0, c.rs);
        set(t1, c.rt);
        set(t2, 0);
        // A skipped slot is still counted.
        EXPECT_EQ(run({c.word, addiu(t2, r0, 1)}), 2u);
        EXPECT_EQ(theCpu.pc, c.taken ? CODE + 4 - 8 : CODE + 8);
        EXPECT_EQ(reg(t2), c.taken ? 1u : 0u);
    }
}

TEST_P(IntegerTest, JumpsAndLinks) {
    // J keeps the region of the delay slot's address; JAL links PC + 8,
    // sign-extended, and runs its slot.
    run({j(0x00123450), nop()});
    EXPECT_EQ(theCpu.pc, 0x80123450u);
    run({jal(0x80200000), addiu(s0, r0, 9)});
    EXPECT_EQ(theCpu.pc, 0x80200000u);
    EXPECT_EQ(reg(ra), 0xFFFFFFFF'80002008ull);
    EXPECT_EQ(reg(s0), 9u);
    set(t0, 0x80006000);
    run({jalr(t1, t0), nop()});
    EXPECT_EQ(theCpu.pc, 0x80006000u);
    EXPECT_EQ(reg(t1), 0xFFFFFFFF'80002008ull);
    // JALR stores its link before reading rs: with rd = rs it jumps to the link.
    run({jalr(t0, t0), nop()});
    EXPECT_EQ(theCpu.pc, CODE + 8);
    EXPECT_EQ(reg(t0), 0xFFFFFFFF'80002008ull);
    // JR uses only the low word.
    set(t1, 0x5'80400000);
    run({jr(t1), nop()});
    EXPECT_EQ(theCpu.pc, 0x80400000u);
    // A jump in a delay slot: its own slot joins the block, its target wins.
    EXPECT_EQ(run({j(0x80008000), j(0x80009000), nop()}), 3u);
    EXPECT_EQ(theCpu.pc, 0x80009000u);
    set(t0, 0);
    set(t1, 0);
    EXPECT_EQ(run({beq(r0, r0, 10), j(0x80005000), addiu(t0, r0, 1), addiu(t1, r0, 1)}), 3u);
    EXPECT_EQ(theCpu.pc, 0x80005000u);
    EXPECT_EQ(reg(t0), 1u);
    EXPECT_EQ(reg(t1), 0u);
}

TEST_P(IntegerTest, BgezalLinksTheLowWordAndTestsTheNewLink) {
    // With rs = ra the test sees the link just stored: 0x80002008 is negative.
    set(ra, 0x12345678'00000000);
    run({bgezal(ra, 4), nop()});
    EXPECT_EQ(reg(ra), 0x12345678'80002008ull);
    EXPECT_EQ(theCpu.pc, CODE + 8);
    set(t0, 3);
    run({bgezal(t0, 4), nop()});
    EXPECT_EQ(theCpu.pc, CODE + 4 + 16);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_P(IntegerTest, BgezalAtTheBootChecksumLoopAsksWhetherToGoOn) {
    // At 0x80000248 any taken BGEZAL asks; Yes continues after the loop.
    sink.queueAnswer(MESSAGE_YES);
    runAt(0x80000248, {bgezal(r0, 16), nop()});
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text,
              "Stuck in CRC loop @ PC=0x8000028C!!\nYou wanna run it anyways?");
    EXPECT_EQ(theCpu.pc, 0x80000294u);
    EXPECT_FALSE(isEmulationHalted());
    // At 0x800001C8 only a branch to itself asks; "No" halts.
    runAt(0x800001C8, {bgezal(r0, 4), nop()});
    EXPECT_EQ(sink.messages().size(), 1u);
    sink.queueAnswer(MESSAGE_NO);
    runAt(0x800001C8, {bgezal(r0, -1), nop()});
    EXPECT_EQ(sink.messages().size(), 2u);
    EXPECT_TRUE(isEmulationHalted());
    // A branch that is not taken never asks.
    set(t0, 0x80000000);
    runAt(0x80000198, {bgezal(t0, -1), nop()});
    EXPECT_EQ(sink.messages().size(), 2u);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(BothCores, IntegerTest, bothCores, coreName);
