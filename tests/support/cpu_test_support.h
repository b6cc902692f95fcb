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
