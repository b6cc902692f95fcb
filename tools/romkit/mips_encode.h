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

constexpr uint32_t nop() { return 0; }
constexpr uint32_t j(uint32_t target) { return jtype(0x02, target); }
constexpr uint32_t jal(uint32_t target) { return jtype(0x03, target); }
constexpr uint32_t beq(uint32_t rs, uint32_t rt, int16_t offset) {
    return itype(0x04, rs, rt, uint16_t(offset));
}
constexpr uint32_t bne(uint32_t rs, uint32_t rt, int16_t offset) {
    return itype(0x05, rs, rt, uint16_t(offset));
}
constexpr uint32_t addiu(uint32_t rt, uint32_t rs, int16_t imm) {
    return itype(0x09, rs, rt, uint16_t(imm));
}
constexpr uint32_t ori(uint32_t rt, uint32_t rs, uint16_t imm) { return itype(0x0D, rs, rt, imm); }
constexpr uint32_t lui(uint32_t rt, uint16_t imm) { return itype(0x0F, 0, rt, imm); }
constexpr uint32_t lw(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x23, base, rt, uint16_t(offset));
}
constexpr uint32_t sw(uint32_t rt, int16_t offset, uint32_t base) {
    return itype(0x2B, base, rt, uint16_t(offset));
}
constexpr uint32_t jr(uint32_t rs) { return rtype(rs, 0, 0, 0, 0x08); }
constexpr uint32_t addu(uint32_t rd, uint32_t rs, uint32_t rt) { return rtype(rs, rt, rd, 0, 0x21); }
constexpr uint32_t orr(uint32_t rd, uint32_t rs, uint32_t rt) { return rtype(rs, rt, rd, 0, 0x25); }

// Register numbers.
enum Reg : uint32_t {
    r0 = 0, at, v0, v1, a0, a1, a2, a3, t0, t1, t2, t3, t4, t5, t6, t7,
    s0, s1, s2, s3, s4, s5, s6, s7, t8, t9, k0, k1, gp, sp, s8, ra
};

} // namespace mips
