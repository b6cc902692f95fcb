// Helpers of the CPU tests: instruction encoders beyond romkit's, a machine
// with an empty code cache, guest code placed in RDRAM, and emitted x86-64
// code rendered as text with guest register names.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/machine_mode.h"
#include "host/recording_ui_sink.h"
#include "romkit/mips_encode.h"

namespace enc {
using namespace mips;

// Encoders that romkit's set lacks or names differently.
constexpr uint32_t special(uint32_t rd, uint32_t rs, uint32_t rt, uint32_t funct) {
    return rtype(rs, rt, rd, 0, funct);
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
constexpr uint32_t brk() {
    return 0x0000000D;
}
constexpr uint32_t syncOp() {
    return 0x0000000F;
}

// System-control coprocessor.
constexpr uint32_t mfc0(uint32_t rt, uint32_t rd) {
    return 0x40000000u | (rt << 16) | (rd << 11);
}
constexpr uint32_t mtc0(uint32_t rt, uint32_t rd) {
    return 0x40800000u | (rt << 16) | (rd << 11);
}
constexpr uint32_t tlbr() {
    return 0x42000001;
}
constexpr uint32_t tlbwi() {
    return 0x42000002;
}
constexpr uint32_t tlbwr() {
    return 0x42000006;
}
constexpr uint32_t tlbp() {
    return 0x42000008;
}
constexpr uint32_t eret() {
    return 0x42000018;
}

// Floating-point unit. Formats: 16 S, 17 D, 20 W, 21 L.
constexpr uint32_t FMT_S = 16, FMT_D = 17, FMT_W = 20, FMT_L = 21;
constexpr uint32_t mfc1(uint32_t rt, uint32_t fs) {
    return 0x44000000u | (rt << 16) | (fs << 11);
}
constexpr uint32_t cfc1(uint32_t rt, uint32_t fs) {
    return 0x44400000u | (rt << 16) | (fs << 11);
}
constexpr uint32_t mtc1(uint32_t rt, uint32_t fs) {
    return 0x44800000u | (rt << 16) | (fs << 11);
}
constexpr uint32_t ctc1(uint32_t rt, uint32_t fs) {
    return 0x44C00000u | (rt << 16) | (fs << 11);
}
// bcCode: 0 BC1F, 1 BC1T, 2 BC1FL, 3 BC1TL.
constexpr uint32_t bc1(uint32_t bcCode, int16_t offset) {
    return 0x45000000u | (bcCode << 16) | uint16_t(offset);
}
constexpr uint32_t fpu(uint32_t fmt, uint32_t funct, uint32_t fd, uint32_t fs, uint32_t ft = 0) {
    return 0x44000000u | (fmt << 21) | (ft << 16) | (fs << 11) | (fd << 6) | funct;
}
// FPU functions.
constexpr uint32_t F_ADD = 0x00, F_SUB = 0x01, F_MUL = 0x02, F_DIV = 0x03, F_SQRT = 0x04,
                   F_ABS = 0x05, F_MOV = 0x06, F_NEG = 0x07, F_TRUNC_W = 0x0D, F_CVT_S = 0x20,
                   F_CVT_D = 0x21, F_CVT_W = 0x24, F_C_EQ = 0x32, F_C_ULT = 0x35, F_C_LT = 0x3C,
                   F_C_LE = 0x3E;
} // namespace enc

// A machine with a code cache and a recording sink; the recompiler is the CPU
// core and the design machine the machine again after each test.
class CpuTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes guest words into RDRAM at the cached address `at`.
    void place(uint32_t at, const std::vector<uint32_t>& words);
    // Empties the code cache, places the words at `at`, sets pc there and
    // runs one block; returns the block's instruction count (0 when nothing
    // ran).
    uint32_t runAt(uint32_t at, const std::vector<uint32_t>& words);

    RecordingUiSink sink;
};

// The same on the complete machine (TearDown goes back to the design machine).
class CompleteMachineTest : public CpuTest {
  protected:
    void SetUp() override {
        CpuTest::SetUp();
        theMachineMode = MachineMode::Complete;
    }
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
