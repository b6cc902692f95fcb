// Integer arithmetic, logic, shifts and the multiply/divide unit of the
// reference interpreter, with the 32-bit model's quirks.
#include "cpu/interpreter_fixture.h"

using namespace mips;

namespace {

struct AluCase {
    const char* name;
    uint32_t word; // reads t0 (and t1), writes t2
    uint64_t a;
    uint64_t b;
    uint64_t expected;
};

} // namespace

TEST_F(InterpreterTest, ImmediateArithmeticFollowsThe32BitModel) {
    const AluCase cases[] = {
        {"ADDIU wraps into the sign", addiu(t2, t0, 1), 0x7FFFFFFF, 0, 0xFFFFFFFF'80000000},
        {"ADDI never traps", addi(t2, t0, 1), 0x7FFFFFFF, 0, 0xFFFFFFFF'80000000},
        {"ADDIU ignores the high word", addiu(t2, t0, -1), 0x5'00000000, 0, 0xFFFFFFFF'FFFFFFFF},
        {"XORI ignores the high word", xori(t2, t0, 0), 0x1'00000000, 0, 0},
        {"XORI sign-extends", xori(t2, t0, 0x0001), 0x80000000, 0, 0xFFFFFFFF'80000001},
        {"ORI keeps the high word", ori(t2, t0, 0x00F0), 0xABCD0000'0000000F, 0,
         0xABCD0000'000000FF},
        {"ANDI clears the high word", andi(t2, t0, 0xFFFF), 0xFFFFFFFF'FFFF1234, 0, 0x1234},
        {"LUI sign-extends", lui(t2, 0x8001), 0, 0, 0xFFFFFFFF'80010000},
        {"SLTI compares 64 bits", slti(t2, t0, 0), 0xFFFFFFFF'00000000, 0, 1},
        {"SLTI high words decide", slti(t2, t0, 5), 0x1'00000000, 0, 0},
        {"SLTI equal high, unsigned low", slti(t2, t0, -1), 0xFFFFFFFF'7FFFFFFF, 0, 1},
        {"SLTIU 0xFFFF is all ones", sltiu(t2, t0, -1), 0xFFFFFFFF'FFFFFFFE, 0, 1},
        {"SLTIU all ones is not below", sltiu(t2, t0, -1), 0xFFFFFFFF'FFFFFFFF, 0, 0},
        {"SLTIU small", sltiu(t2, t0, 3), 0x1'00000000, 0, 0},
    };
    for (const AluCase& c : cases) {
        SCOPED_TRACE(c.name);
        setReg(t0, c.a);
        setReg(t2, 0x5555555555555555ull);
        run({c.word});
        EXPECT_EQ(reg(t2), c.expected);
    }
}

TEST_F(InterpreterTest, RegisterArithmeticAndLogic) {
    const AluCase cases[] = {
        {"ADDU low words only", addu(t2, t0, t1), 0x1'7FFFFFFF, 0x2'00000001, 0xFFFFFFFF'80000000},
        {"ADD never traps", add(t2, t0, t1), 0x7FFFFFFF, 1, 0xFFFFFFFF'80000000},
        {"SUBU", subu(t2, t0, t1), 0, 1, 0xFFFFFFFF'FFFFFFFF},
        {"SUB", sub(t2, t0, t1), 0x80000000, 1, 0x7FFFFFFF},
        {"AND 64-bit", andr(t2, t0, t1), 0xF0F0F0F0'FFFF0000, 0xFF00FF00'00FFFF00,
         0xF000F000'00FF0000},
        {"OR 64-bit", orr(t2, t0, t1), 0x12000000'00000001, 0x00340000'00000010,
         0x12340000'00000011},
        {"OR with rs = 0 copies", orr(t2, r0, t1), 0, 0xDEADBEEF'12345678, 0xDEADBEEF'12345678},
        {"XOR low words, sign-extended", xorr(t2, t0, t1), 0x1'80000000, 0x2'00000001,
         0xFFFFFFFF'80000001},
        {"NOR 64-bit", nor(t2, t0, t1), 0x0F0F0F0F'00000000, 0xF0F0F0F0'0000FFFF, 0xFFFF0000},
        {"SLT high words signed", slt(t2, t0, t1), 0xFFFFFFFF'00000000, 0x0'FFFFFFFF, 1},
        {"SLT equal high, unsigned low", slt(t2, t0, t1), 0x80000000, 0x7FFFFFFF, 0},
        {"SLTU high words", sltu(t2, t0, t1), 0x1'00000000, 0xFFFFFFFF, 0},
        {"SLTU low words", sltu(t2, t0, t1), 5, 6, 1},
    };
    for (const AluCase& c : cases) {
        SCOPED_TRACE(c.name);
        setReg(t0, c.a);
        setReg(t1, c.b);
        run({c.word});
        EXPECT_EQ(reg(t2), c.expected);
    }
}

TEST_F(InterpreterTest, RegisterZeroIsNeverWritten) {
    setReg(t0, 0x12345678'9ABCDEF0);
    run({addu(r0, t0, t0), lui(r0, 0x1234), ori(r0, t0, 1), orr(r0, t0, t0), sll(r0, t0, 4),
         dsll32(r0, t0, 0), mfhi(r0), jalr(r0, t0), nop()});
    EXPECT_EQ(reg(r0), 0u);
}

TEST_F(InterpreterTest, Shifts) {
    const AluCase cases[] = {
        {"SLL sign-extends", sll(t2, t0, 4), 0x1'08000000, 0, 0xFFFFFFFF'80000000},
        {"SRL is logical, then sign-extended", srl(t2, t0, 0), 0x80000000, 0, 0xFFFFFFFF'80000000},
        {"SRL by 1", srl(t2, t0, 1), 0x80000000, 0, 0x40000000},
        {"SRA", sra(t2, t0, 4), 0x80000000, 0, 0xFFFFFFFF'F8000000},
        {"SLLV uses rs & 31", sllv(t2, t0, t1), 1, 33, 2},
        {"SRLV", srlv(t2, t0, t1), 0xF0000000, 4, 0x0F000000},
        {"SRAV", srav(t2, t0, t1), 0xF0000000, 36, 0xFFFFFFFF'FF000000},
        {"DSLL", dsll(t2, t0, 4), 0xF0000000, 0, 0xF'00000000},
        {"DSLL by 0", dsll(t2, t0, 0), 0x12345678'9ABCDEF0, 0, 0x12345678'9ABCDEF0},
        {"DSRL", dsrl(t2, t0, 4), 0xF'00000000, 0, 0xF0000000},
        {"DSRL by 31", dsrl(t2, t0, 31), 0x80000000'00000000, 0, 0x1'00000000},
        {"DSLL32", dsll32(t2, t0, 4), 0xFFFFFFFF'10000001, 0, 0x00000010'00000000},
        {"DSRL32", dsrl32(t2, t0, 4), 0x80000000'FFFFFFFF, 0, 0x08000000},
        {"DSRA32", dsra32(t2, t0, 4), 0x80000000'00000000, 0, 0xFFFFFFFF'F8000000},
        {"DSRA32 by 0", dsra32(t2, t0, 0), 0x7FFFFFFF'00000000, 0, 0x7FFFFFFF},
    };
    for (const AluCase& c : cases) {
        SCOPED_TRACE(c.name);
        setReg(t0, c.a);
        setReg(t1, c.b);
        run({c.word});
        EXPECT_EQ(reg(t2), c.expected);
    }
    // The source may be the destination.
    setReg(t0, 0x00000001'80000000);
    run({dsll(t0, t0, 1)});
    EXPECT_EQ(reg(t0), 0x3'00000000u);
}

TEST_F(InterpreterTest, MultiplyAndDivide) {
    struct Case {
        const char* name;
        uint32_t word;
        uint64_t a, b, lo, hi;
    };
    const Case cases[] = {
        {"MULT", mult(t0, t1), 0xFFFFFFFE, 3, 0xFFFFFFFF'FFFFFFFA, 0xFFFFFFFF'FFFFFFFF},
        {"MULT low words only", mult(t0, t1), 0x7'00010000, 0x00010000, 0, 1},
        {"MULTU", multu(t0, t1), 0xFFFFFFFF, 2, 0xFFFFFFFF'FFFFFFFE, 1},
        {"DIV", div(t0, t1), uint64_t(-7), 2, 0xFFFFFFFF'FFFFFFFD, 0xFFFFFFFF'FFFFFFFF},
        {"DIV by 0, positive", div(t0, t1), 5, 0, 0xFFFFFFFF'FFFFFFFF, 5},
        {"DIV by 0, negative", div(t0, t1), 0x80000000, 0, 1, 0xFFFFFFFF'80000000},
        {"DIV overflow", div(t0, t1), 0x80000000, 0xFFFFFFFF, 0xFFFFFFFF'80000000, 0},
        {"DIVU", divu(t0, t1), 0x80000000, 2, 0x40000000, 0},
        {"DIVU sign-extends", divu(t0, t1), 0xFFFFFFFF, 1, 0xFFFFFFFF'FFFFFFFF, 0},
        {"DIVU by 0", divu(t0, t1), 0x80000001, 0, 0xFFFFFFFF'FFFFFFFF, 0xFFFFFFFF'80000001},
        {"DMULTU keeps hi 0", dmultu(t0, t1), 0xFFFFFFFF'FFFFFFFF, 0x10, 0xFFFFFFFF'FFFFFFF0, 0},
        {"DDIVU", ddivu(t0, t1), 0x10'00000007, 0x10, 0x1'00000000, 7},
        {"DDIVU by 0", ddivu(t0, t1), 0x12'34567890, 0, 0xFFFFFFFF'FFFFFFFF, 0x12'34567890},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setReg(t0, c.a);
        setReg(t1, c.b);
        theCpu.lo.set(0x5555);
        theCpu.hi.set(0x5555);
        run({c.word});
        EXPECT_EQ(theCpu.lo.value(), c.lo);
        EXPECT_EQ(theCpu.hi.value(), c.hi);
    }
    // The moves copy whole registers.
    setReg(t0, 0x11111111'22222222);
    setReg(t1, 0x33333333'44444444);
    run({mthi(t0), mtlo(t1), mfhi(t2), mflo(t3)});
    EXPECT_EQ(reg(t2), 0x11111111'22222222u);
    EXPECT_EQ(reg(t3), 0x33333333'44444444u);
}
