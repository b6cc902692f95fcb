// A machine on which single blocks of guest code run through the CPU core
// chosen by the test's parameter, for tests that must hold on both cores.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <span>
#include <string>
#include <vector>

#include "core/cpu_state.h"
#include "cpu/cpu_core.h"
#include "support/cpu_test_support.h"

// One instruction reading t0 and t1 and writing rd (register forms) or rt
// (immediate forms), and what it must write there.
struct AluCase {
    const char* name;
    uint32_t word;
    uint64_t a, b, expected;
};

class BothCoresTest : public CpuTest, public ::testing::WithParamInterface<CpuCore> {
  protected:
    static constexpr uint32_t CODE = 0x80002000;
    static constexpr uint32_t EXIT = 0x80300000;

    void SetUp() override {
        CpuTest::SetUp();
        selectedCpuCore = GetParam();
    }

    // Runs the words as one block that ends with a jump to EXIT.
    uint32_t run(std::vector<uint32_t> words) {
        words.push_back(enc::j(EXIT));
        words.push_back(enc::nop());
        return runAt(CODE, words);
    }

    // Runs each case as a block of its own.
    void expectAluCases(std::span<const AluCase> cases) {
        for (const AluCase& c : cases) {
            SCOPED_TRACE(c.name);
            set(enc::t0, c.a);
            set(enc::t1, c.b);
            set(enc::t2, 0x5555555555555555ull);
            run({c.word});
            EXPECT_EQ(reg(c.word >> 26 ? (c.word >> 16) & 31 : (c.word >> 11) & 31), c.expected);
        }
    }

    static uint64_t reg(unsigned n) { return theCpu.gpr[n].value(); }
    static void set(unsigned n, uint64_t v) { theCpu.gpr[n].set(v); }
    static uint32_t& cop0(unsigned n) { return theCpu.cop0[n]; }
    static void setSingle(unsigned n, float f) { theCpu.fpr[n] = std::bit_cast<uint32_t>(f); }
    static float single(unsigned n) { return std::bit_cast<float>(theCpu.fpr[n]); }
    static void setDouble(unsigned n, double d) {
        const uint64_t bits = std::bit_cast<uint64_t>(d);
        theCpu.fpr[n] = uint32_t(bits);
        theCpu.fpr[n + 1] = uint32_t(bits >> 32);
    }
    static double getDouble(unsigned n) {
        return std::bit_cast<double>(theCpu.fpr[n] | (uint64_t(theCpu.fpr[n + 1]) << 32));
    }
    bool flag() const { return (theCpu.fcr31 & 0x00800000) != 0; }
};

inline const auto bothCores = ::testing::Values(CpuCore::Recompiler, CpuCore::Interpreter);
inline std::string coreName(const ::testing::TestParamInfo<CpuCore>& info) {
    return info.param == CpuCore::Recompiler ? "Recompiler" : "Interpreter";
}
