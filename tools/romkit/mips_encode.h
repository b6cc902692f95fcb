// Encoders for the MIPS R4300i instruction words that tools and tests build
// by hand (boot code, short test sequences).
#pragma once

#include <cstdint>

namespace mips {

constexpr uint32_t itype(uint32_t op, uint32_t rs, uint32_t rt, uint32_t imm) {
    return (op << 26) | ((rs & 31) << 21) | ((rt & 31) << 16) | (imm & 0xFFFF);
}
constexpr uint32_t rtype(uint32_t rs, uint32_t rt, uint32_t rd, uint32_t sa, uint32_t funct) {
    return ((rs & 31) << 21) | ((rt & 31) << 16) | ((rd & 31) << 11) | ((sa & 31) << 6) |
           (funct & 63);
}
constexpr uint32_t jtype(uint32_t op, uint32_t target) {
    return (op << 26) | ((target >> 2) & 0x03FFFFFF);
}

constexpr uint32_t nop() {
    return 0;
}
constexpr uint32_t j(uint32_t target) {
    return jtype(0x02, target);
}
constexpr uint32_t jal(uint32_t target) {
    return jtype(0x03, target);
}
constexpr uint32_t beq(uint32_t rs, uint32_t rt, int16_t offset) {
    return itype(0x04, rs, rt, uint16_t(offset));
}
constexpr uint32_t bne(uint32_t rs, uint32_t rt, int16_t offset) {
    return itype(0x05, rs, rt, uint16_t(offset));
}
constexpr uint32_t addiu(uint32_t rt, uint32_t rs, int16_t imm) {
    return itype(0x09, rs, rt, uint16_t(imm));
}
constexpr uint32_t ori(uint32_t rt, uint32_t rs, uint16_t imm) {
    return itype(0x0D, rs, rt, imm);
}
constexpr uint32_t lui(uint32_t rt, uint16_t imm) {
    return itype(0x0F, 0, rt, imm);
}
constexpr uint32_t lw(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x23, base, rt, uint16_t(offset));
}
constexpr uint32_t sw(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x2B, base, rt, uint16_t(offset));
}
constexpr uint32_t jr(uint32_t rs) {
    return rtype(rs, 0, 0, 0, 0x08);
}
constexpr uint32_t addu(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x21);
}
constexpr uint32_t orr(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x25);
}

// Further forms used by the CPU tests (branches, arithmetic, shifts,
// multiply/divide, loads and stores).
constexpr uint32_t regimm(uint32_t rs, uint32_t sub, int16_t offset) {
    return itype(0x01, rs, sub, uint16_t(offset));
}
constexpr uint32_t blez(uint32_t rs, int16_t offset) {
    return itype(0x06, rs, 0, uint16_t(offset));
}
constexpr uint32_t bgtz(uint32_t rs, int16_t offset) {
    return itype(0x07, rs, 0, uint16_t(offset));
}
constexpr uint32_t bltz(uint32_t rs, int16_t offset) {
    return regimm(rs, 0x00, offset);
}
constexpr uint32_t bgez(uint32_t rs, int16_t offset) {
    return regimm(rs, 0x01, offset);
}
constexpr uint32_t bltzl(uint32_t rs, int16_t offset) {
    return regimm(rs, 0x02, offset);
}
constexpr uint32_t bgezl(uint32_t rs, int16_t offset) {
    return regimm(rs, 0x03, offset);
}
constexpr uint32_t bgezal(uint32_t rs, int16_t offset) {
    return regimm(rs, 0x11, offset);
}
constexpr uint32_t beql(uint32_t rs, uint32_t rt, int16_t offset) {
    return itype(0x14, rs, rt, uint16_t(offset));
}
constexpr uint32_t bnel(uint32_t rs, uint32_t rt, int16_t offset) {
    return itype(0x15, rs, rt, uint16_t(offset));
}
constexpr uint32_t blezl(uint32_t rs, int16_t offset) {
    return itype(0x16, rs, 0, uint16_t(offset));
}
constexpr uint32_t bgtzl(uint32_t rs, int16_t offset) {
    return itype(0x17, rs, 0, uint16_t(offset));
}
constexpr uint32_t jalr(uint32_t rd, uint32_t rs) {
    return rtype(rs, 0, rd, 0, 0x09);
}

constexpr uint32_t addi(uint32_t rt, uint32_t rs, int16_t imm) {
    return itype(0x08, rs, rt, uint16_t(imm));
}
constexpr uint32_t slti(uint32_t rt, uint32_t rs, int16_t imm) {
    return itype(0x0A, rs, rt, uint16_t(imm));
}
constexpr uint32_t sltiu(uint32_t rt, uint32_t rs, int16_t imm) {
    return itype(0x0B, rs, rt, uint16_t(imm));
}
constexpr uint32_t andi(uint32_t rt, uint32_t rs, uint16_t imm) {
    return itype(0x0C, rs, rt, imm);
}
constexpr uint32_t xori(uint32_t rt, uint32_t rs, uint16_t imm) {
    return itype(0x0E, rs, rt, imm);
}
constexpr uint32_t daddiu(uint32_t rt, uint32_t rs, int16_t imm) {
    return itype(0x19, rs, rt, uint16_t(imm));
}
constexpr uint32_t add(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x20);
}
constexpr uint32_t sub(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x22);
}
constexpr uint32_t subu(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x23);
}
constexpr uint32_t andr(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x24);
}
constexpr uint32_t xorr(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x26);
}
constexpr uint32_t nor(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x27);
}
constexpr uint32_t slt(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x2A);
}
constexpr uint32_t sltu(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x2B);
}

constexpr uint32_t sll(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x00);
}
constexpr uint32_t srl(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x02);
}
constexpr uint32_t sra(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x03);
}
constexpr uint32_t sllv(uint32_t rd, uint32_t rt, uint32_t rs) {
    return rtype(rs, rt, rd, 0, 0x04);
}
constexpr uint32_t srlv(uint32_t rd, uint32_t rt, uint32_t rs) {
    return rtype(rs, rt, rd, 0, 0x06);
}
constexpr uint32_t srav(uint32_t rd, uint32_t rt, uint32_t rs) {
    return rtype(rs, rt, rd, 0, 0x07);
}
constexpr uint32_t dsll(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x38);
}
constexpr uint32_t dsrl(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x3A);
}
constexpr uint32_t dsll32(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x3C);
}
constexpr uint32_t dsrl32(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x3E);
}
constexpr uint32_t dsra32(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x3F);
}

constexpr uint32_t mfhi(uint32_t rd) {
    return rtype(0, 0, rd, 0, 0x10);
}
constexpr uint32_t mthi(uint32_t rs) {
    return rtype(rs, 0, 0, 0, 0x11);
}
constexpr uint32_t mflo(uint32_t rd) {
    return rtype(0, 0, rd, 0, 0x12);
}
constexpr uint32_t mtlo(uint32_t rs) {
    return rtype(rs, 0, 0, 0, 0x13);
}
constexpr uint32_t mult(uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, 0, 0, 0x18);
}
constexpr uint32_t multu(uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, 0, 0, 0x19);
}
constexpr uint32_t div(uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, 0, 0, 0x1A);
}
constexpr uint32_t divu(uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, 0, 0, 0x1B);
}
constexpr uint32_t dmultu(uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, 0, 0, 0x1D);
}
constexpr uint32_t ddivu(uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, 0, 0, 0x1F);
}
constexpr uint32_t syscall() {
    return 0x0C;
}
constexpr uint32_t sync() {
    return 0x0F;
}

constexpr uint32_t lb(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x20, base, rt, uint16_t(offset));
}
constexpr uint32_t lh(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x21, base, rt, uint16_t(offset));
}
constexpr uint32_t lwl(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x22, base, rt, uint16_t(offset));
}
constexpr uint32_t lbu(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x24, base, rt, uint16_t(offset));
}
constexpr uint32_t lhu(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x25, base, rt, uint16_t(offset));
}
constexpr uint32_t lwr(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x26, base, rt, uint16_t(offset));
}
constexpr uint32_t sb(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x28, base, rt, uint16_t(offset));
}
constexpr uint32_t sh(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x29, base, rt, uint16_t(offset));
}
constexpr uint32_t swl(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x2A, base, rt, uint16_t(offset));
}
constexpr uint32_t swr(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x2E, base, rt, uint16_t(offset));
}
constexpr uint32_t lwc1(uint32_t ft, int16_t offset, uint32_t base) {
    return itype(0x31, base, ft, uint16_t(offset));
}
constexpr uint32_t ldc1(uint32_t ft, int16_t offset, uint32_t base) {
    return itype(0x35, base, ft, uint16_t(offset));
}
constexpr uint32_t ld(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x37, base, rt, uint16_t(offset));
}
constexpr uint32_t swc1(uint32_t ft, int16_t offset, uint32_t base) {
    return itype(0x39, base, ft, uint16_t(offset));
}
constexpr uint32_t sdc1(uint32_t ft, int16_t offset, uint32_t base) {
    return itype(0x3D, base, ft, uint16_t(offset));
}
constexpr uint32_t sd(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x3F, base, rt, uint16_t(offset));
}

// Register numbers.
// clang-format off
enum Reg : uint32_t {
    r0 = 0, at, v0, v1, a0, a1, a2, a3, t0, t1, t2, t3, t4, t5, t6, t7,
    s0, s1, s2, s3, s4, s5, s6, s7, t8, t9, k0, k1, gp, sp, s8, ra
};
// clang-format on

// The doubleword arithmetic, loads and stores, linked forms and COP0 moves
// that only the complete machine carries out.
constexpr uint32_t daddi(uint32_t rt, uint32_t rs, int16_t imm) {
    return itype(0x18, rs, rt, uint16_t(imm));
}
constexpr uint32_t dadd(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x2C);
}
constexpr uint32_t daddu(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x2D);
}
constexpr uint32_t dsub(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x2E);
}
constexpr uint32_t dsubu(uint32_t rd, uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, rd, 0, 0x2F);
}
constexpr uint32_t dsra(uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, 0x3B);
}
constexpr uint32_t dsllv(uint32_t rd, uint32_t rt, uint32_t rs) {
    return rtype(rs, rt, rd, 0, 0x14);
}
constexpr uint32_t dsrlv(uint32_t rd, uint32_t rt, uint32_t rs) {
    return rtype(rs, rt, rd, 0, 0x16);
}
constexpr uint32_t dsrav(uint32_t rd, uint32_t rt, uint32_t rs) {
    return rtype(rs, rt, rd, 0, 0x17);
}
constexpr uint32_t dmult(uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, 0, 0, 0x1C);
}
constexpr uint32_t ddiv(uint32_t rs, uint32_t rt) {
    return rtype(rs, rt, 0, 0, 0x1E);
}
constexpr uint32_t lwu(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x27, base, rt, uint16_t(offset));
}
constexpr uint32_t ldl(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x1A, base, rt, uint16_t(offset));
}
constexpr uint32_t ldr(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x1B, base, rt, uint16_t(offset));
}
constexpr uint32_t sdl(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x2C, base, rt, uint16_t(offset));
}
constexpr uint32_t sdr(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x2D, base, rt, uint16_t(offset));
}
constexpr uint32_t ll(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x30, base, rt, uint16_t(offset));
}
constexpr uint32_t lld(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x34, base, rt, uint16_t(offset));
}
constexpr uint32_t sc(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x38, base, rt, uint16_t(offset));
}
constexpr uint32_t scd(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x3C, base, rt, uint16_t(offset));
}
constexpr uint32_t bltzal(uint32_t rs, int16_t offset) {
    return regimm(rs, 0x10, offset);
}
constexpr uint32_t bltzall(uint32_t rs, int16_t offset) {
    return regimm(rs, 0x12, offset);
}
constexpr uint32_t bgezall(uint32_t rs, int16_t offset) {
    return regimm(rs, 0x13, offset);
}
constexpr uint32_t dmfc0(uint32_t rt, uint32_t rd) {
    return 0x40200000u | (rt << 16) | (rd << 11);
}
constexpr uint32_t dmtc0(uint32_t rt, uint32_t rd) {
    return 0x40A00000u | (rt << 16) | (rd << 11);
}

} // namespace mips
