// Encoders of the integer instructions that only the complete machine
// carries out (and that romkit's set lacks).
#pragma once

#include <cstdint>

#include "romkit/mips_encode.h"

namespace enc64 {
using mips::itype;
using mips::regimm;
using mips::rtype;

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

} // namespace enc64
