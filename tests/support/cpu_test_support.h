// Helpers of the CPU tests: instruction encoders beyond romkit's, a machine
// with an empty code cache, guest code placed in RDRAM, and emitted x86-64
// code rendered as text with guest register names.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/recording_ui_sink.h"
#include "romkit/mips_encode.h"

namespace enc {
using namespace mips;

constexpr uint32_t special(uint32_t rd, uint32_t rs, uint32_t rt, uint32_t funct) {
    return rtype(rs, rt, rd, 0, funct);
}
constexpr uint32_t shift(uint32_t funct, uint32_t rd, uint32_t rt, uint32_t sa) {
    return rtype(0, rt, rd, sa, funct);
}
constexpr uint32_t regimm(uint32_t sub, uint32_t rs, int16_t offset) {
    return itype(0x01, rs, sub, uint16_t(offset));
}
constexpr uint32_t imm(uint32_t op, uint32_t rt, uint32_t rs, uint16_t value) {
    return itype(op, rs, rt, value);
}
constexpr uint32_t mem(uint32_t op, uint32_t rt, int16_t offset, uint32_t base) {
    return itype(op, base, rt, uint16_t(offset));
}

constexpr uint32_t subu(uint32_t rd, uint32_t rs, uint32_t rt) {
    return special(rd, rs, rt, 0x23);
}
constexpr uint32_t and_(uint32_t rd, uint32_t rs, uint32_t rt) {
    return special(rd, rs, rt, 0x24);
}
constexpr uint32_t or_(uint32_t rd, uint32_t rs, uint32_t rt) {
    return special(rd, rs, rt, 0x25);
}
constexpr uint32_t xor_(uint32_t rd, uint32_t rs, uint32_t rt) {
    return special(rd, rs, rt, 0x26);
}
constexpr uint32_t nor(uint32_t rd, uint32_t rs, uint32_t rt) {
    return special(rd, rs, rt, 0x27);
}
constexpr uint32_t slt(uint32_t rd, uint32_t rs, uint32_t rt) {
    return special(rd, rs, rt, 0x2A);
}
constexpr uint32_t sltu(uint32_t rd, uint32_t rs, uint32_t rt) {
    return special(rd, rs, rt, 0x2B);
}
constexpr uint32_t mult(uint32_t rs, uint32_t rt) {
    return special(0, rs, rt, 0x18);
}
constexpr uint32_t multu(uint32_t rs, uint32_t rt) {
    return special(0, rs, rt, 0x19);
}
constexpr uint32_t div(uint32_t rs, uint32_t rt) {
    return special(0, rs, rt, 0x1A);
}
constexpr uint32_t divu(uint32_t rs, uint32_t rt) {
    return special(0, rs, rt, 0x1B);
}
constexpr uint32_t dmultu(uint32_t rs, uint32_t rt) {
    return special(0, rs, rt, 0x1D);
}
constexpr uint32_t ddivu(uint32_t rs, uint32_t rt) {
    return special(0, rs, rt, 0x1F);
}
constexpr uint32_t mfhi(uint32_t rd) {
    return special(rd, 0, 0, 0x10);
}
constexpr uint32_t mflo(uint32_t rd) {
    return special(rd, 0, 0, 0x12);
}
constexpr uint32_t mthi(uint32_t rs) {
    return special(0, rs, 0, 0x11);
}
constexpr uint32_t mtlo(uint32_t rs) {
    return special(0, rs, 0, 0x13);
}
constexpr uint32_t jalr(uint32_t rd, uint32_t rs) {
    return special(rd, rs, 0, 0x09);
}
constexpr uint32_t sll(uint32_t rd, uint32_t rt, uint32_t sa) {
    return shift(0x00, rd, rt, sa);
}
constexpr uint32_t srl(uint32_t rd, uint32_t rt, uint32_t sa) {
    return shift(0x02, rd, rt, sa);
}
constexpr uint32_t sra(uint32_t rd, uint32_t rt, uint32_t sa) {
    return shift(0x03, rd, rt, sa);
}
constexpr uint32_t sllv(uint32_t rd, uint32_t rt, uint32_t rs) {
    return special(rd, rs, rt, 0x04);
}
constexpr uint32_t srlv(uint32_t rd, uint32_t rt, uint32_t rs) {
    return special(rd, rs, rt, 0x06);
}
constexpr uint32_t srav(uint32_t rd, uint32_t rt, uint32_t rs) {
    return special(rd, rs, rt, 0x07);
}
constexpr uint32_t dsll(uint32_t rd, uint32_t rt, uint32_t sa) {
    return shift(0x38, rd, rt, sa);
}
constexpr uint32_t dsrl(uint32_t rd, uint32_t rt, uint32_t sa) {
    return shift(0x3A, rd, rt, sa);
}
constexpr uint32_t dsll32(uint32_t rd, uint32_t rt, uint32_t sa) {
    return shift(0x3C, rd, rt, sa);
}
constexpr uint32_t dsrl32(uint32_t rd, uint32_t rt, uint32_t sa) {
    return shift(0x3E, rd, rt, sa);
}
constexpr uint32_t dsra32(uint32_t rd, uint32_t rt, uint32_t sa) {
    return shift(0x3F, rd, rt, sa);
}
constexpr uint32_t brk() {
    return 0x0000000D;
}
constexpr uint32_t syncOp() {
    return 0x0000000F;
}

constexpr uint32_t addi(uint32_t rt, uint32_t rs, int16_t v) {
    return imm(0x08, rt, rs, uint16_t(v));
}
constexpr uint32_t slti(uint32_t rt, uint32_t rs, int16_t v) {
    return imm(0x0A, rt, rs, uint16_t(v));
}
constexpr uint32_t sltiu(uint32_t rt, uint32_t rs, int16_t v) {
    return imm(0x0B, rt, rs, uint16_t(v));
}
constexpr uint32_t andi(uint32_t rt, uint32_t rs, uint16_t v) {
    return imm(0x0C, rt, rs, v);
}
constexpr uint32_t xori(uint32_t rt, uint32_t rs, uint16_t v) {
    return imm(0x0E, rt, rs, v);
}
constexpr uint32_t daddiu(uint32_t rt, uint32_t rs, int16_t v) {
    return imm(0x19, rt, rs, uint16_t(v));
}

constexpr uint32_t blez(uint32_t rs, int16_t o) {
    return itype(0x06, rs, 0, uint16_t(o));
}
constexpr uint32_t bgtz(uint32_t rs, int16_t o) {
    return itype(0x07, rs, 0, uint16_t(o));
}
constexpr uint32_t beql(uint32_t rs, uint32_t rt, int16_t o) {
    return itype(0x14, rs, rt, uint16_t(o));
}
constexpr uint32_t bnel(uint32_t rs, uint32_t rt, int16_t o) {
    return itype(0x15, rs, rt, uint16_t(o));
}
constexpr uint32_t blezl(uint32_t rs, int16_t o) {
    return itype(0x16, rs, 0, uint16_t(o));
}
constexpr uint32_t bgtzl(uint32_t rs, int16_t o) {
    return itype(0x17, rs, 0, uint16_t(o));
}
constexpr uint32_t bltz(uint32_t rs, int16_t o) {
    return regimm(0x00, rs, o);
}
constexpr uint32_t bgez(uint32_t rs, int16_t o) {
    return regimm(0x01, rs, o);
}
constexpr uint32_t bltzl(uint32_t rs, int16_t o) {
    return regimm(0x02, rs, o);
}
constexpr uint32_t bgezl(uint32_t rs, int16_t o) {
    return regimm(0x03, rs, o);
}
constexpr uint32_t bgezal(uint32_t rs, int16_t o) {
    return regimm(0x11, rs, o);
}

constexpr uint32_t lb(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x20, rt, o, b);
}
constexpr uint32_t lh(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x21, rt, o, b);
}
constexpr uint32_t lwl(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x22, rt, o, b);
}
constexpr uint32_t lbu(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x24, rt, o, b);
}
constexpr uint32_t lhu(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x25, rt, o, b);
}
constexpr uint32_t lwr(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x26, rt, o, b);
}
constexpr uint32_t sb(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x28, rt, o, b);
}
constexpr uint32_t sh(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x29, rt, o, b);
}
constexpr uint32_t swl(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x2A, rt, o, b);
}
constexpr uint32_t swr(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x2E, rt, o, b);
}
constexpr uint32_t lwc1(uint32_t ft, int16_t o, uint32_t b) {
    return mem(0x31, ft, o, b);
}
constexpr uint32_t ldc1(uint32_t ft, int16_t o, uint32_t b) {
    return mem(0x35, ft, o, b);
}
constexpr uint32_t ld(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x37, rt, o, b);
}
constexpr uint32_t swc1(uint32_t ft, int16_t o, uint32_t b) {
    return mem(0x39, ft, o, b);
}
constexpr uint32_t sdc1(uint32_t ft, int16_t o, uint32_t b) {
    return mem(0x3D, ft, o, b);
}
constexpr uint32_t sd(uint32_t rt, int16_t o, uint32_t b) {
    return mem(0x3F, rt, o, b);
}
} // namespace enc

// A reset machine with no ROM and an empty code cache; a recording sink
// collects messages.
class CpuTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes guest words into RDRAM at the cached address `at`.
    void place(uint32_t at, const std::vector<uint32_t>& words);
    // Empties the code cache, places the words at `at`, sets pc there and
    // runs one block; returns the
    // block's instruction count (0 when nothing ran).
    uint32_t runAt(uint32_t at, const std::vector<uint32_t>& words);
    // Runs blocks until the emulation halts or `maxBlocks` have run.
    void runUntilHalted(unsigned maxBlocks);

    RecordingUiSink sink;
};

// Translates one instruction word at guest address pc (with the words that
// follow it, for look-aheads) into a private buffer and returns the x86-64
// code as text, one instruction per entry, guest state operands named like
// "[gpr5.lo]", "[pc]", "[count]", call targets by routine name.
std::vector<std::string> translateToText(uint32_t pc, const std::vector<uint32_t>& words,
                                         unsigned* bytes = nullptr);
// The same for a whole compiled block's code.
std::vector<std::string> disassembleCode(const uint8_t* code, size_t size);
// "a; b; c" for readable failure messages.
std::string joinLines(const std::vector<std::string>& lines);
