#include "support/cpu_test_support.h"

#include <capstone/capstone.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <regex>

#include "base/ui_sink.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/machine_mode.h"
#include "core/memory.h"
#include "core/memory_map.h"
#include "core/tlb.h"
#include "cpu/block_analysis.h"
#include "cpu/cpu_core.h"
#include "cpu/fpu_control.h"
#include "cpu/guest_exceptions.h"
#include "cpu/recompiler/code_cache.h"
#include "cpu/recompiler/code_pages.h"
#include "cpu/recompiler/compile_block.h"
#include "cpu/recompiler/compile_state.h"
#include "cpu/recompiler/complete_fpu_translators.h"
#include "cpu/recompiler/native_routines.h"
#include "cpu/recompiler/translators.h"
#include "cpu/x64/emitter.h"
#include "hw/mem_actions.h"
#include "support/test_machine.h"
#include "system/run_loop.h"

void CpuTest::SetUp() {
    installUiSink(&sink);
    resetBareMachine();
    ASSERT_TRUE(initCodeCache());
}

void CpuTest::TearDown() {
    freeCodeCache();
    installUiSink(nullptr);
    selectedCpuCore = CpuCore::Recompiler;
    theMachineMode = MachineMode::Design;
}

void CpuTest::place(uint32_t at, const std::vector<uint32_t>& words) {
    for (size_t i = 0; i < words.size(); ++i)
        setGuestWord((at & 0x7FFFFF) + uint32_t(4 * i), words[i]);
}

uint32_t CpuTest::runAt(uint32_t at, const std::vector<uint32_t>& words) {
    // Translated blocks are never invalidated by stores: start afresh.
    flushCodeCache();
    place(at, words);
    theCpu.pc = at;
    const uint32_t before = theCpu.cop0[COP0_COUNT];
    runBlock();
    return theCpu.cop0[COP0_COUNT] - before;
}

namespace {

std::map<uintptr_t, std::string> addressNames() {
    std::map<uintptr_t, std::string> names;
    auto add = [&](const void* p, const std::string& n) {
        names[reinterpret_cast<uintptr_t>(p)] = n;
    };
    for (int i = 0; i < 32; ++i) {
        add(&theCpu.gpr[i].lo, "gpr" + std::to_string(i) + ".lo");
        add(&theCpu.gpr[i].hi, "gpr" + std::to_string(i) + ".hi");
        add(&theCpu.fpr[i], "fpr" + std::to_string(i));
        add(&theCpu.fprOdd[i], "fprOdd" + std::to_string(i));
    }
    add(&theCpu.hi.lo, "hi.lo");
    add(&theCpu.hi.hi, "hi.hi");
    add(&theCpu.lo.lo, "lo.lo");
    add(&theCpu.lo.hi, "lo.hi");
    add(&theCpu.pc, "pc");
    for (int i = 0; i < 32; ++i)
        add(&theCpu.cop0[i], std::string("cop0.") + cop0Names[i]);
    add(&theCpu.cop0[COP0_COUNT], "count");
    add(&theCpu.cop0[COP0_COMPARE], "compare");
    add(&theCpu.fcr0, "fcr0");
    add(&theCpu.fcr31, "fcr31");
    add(&fpuMxcsrImages[0], "mxcsrNearest");
    add(&fpuMxcsrImages[1], "mxcsrZero");
    add(&fpuMxcsrImages[2], "mxcsrUp");
    add(&fpuMxcsrImages[3], "mxcsrDown");
    add(reinterpret_cast<const void*>(&fpuSettleSingle), "fpuSettleSingle");
    add(reinterpret_cast<const void*>(&fpuSettleDouble), "fpuSettleDouble");
    add(reinterpret_cast<const void*>(&fpuSettleInteger), "fpuSettleInteger");
    add(reinterpret_cast<const void*>(&fpuSettleCompare), "fpuSettleCompare");
    add(reinterpret_cast<const void*>(&fpuUnimplemented), "fpuUnimplemented");
    add(&tlb, "tlb");
    add(reinterpret_cast<const void*>(&tlbWriteIndexed), "tlbWriteIndexed");
    add(&nextViCount, "nextViCount");
    add(&mem_actions[0], "mem_actions");
    add(reinterpret_cast<const void*>(&memRead), "memRead");
    add(reinterpret_cast<const void*>(&memWrite), "memWrite");
    add(reinterpret_cast<const void*>(&processMemActions), "processMemActions");
    add(reinterpret_cast<const void*>(&loadWordLeft), "loadWordLeft");
    add(reinterpret_cast<const void*>(&loadWordRight), "loadWordRight");
    add(reinterpret_cast<const void*>(&storeWordLeft), "storeWordLeft");
    add(reinterpret_cast<const void*>(&storeWordRight), "storeWordRight");
    add(reinterpret_cast<const void*>(&multiplyDoublewordUnsigned), "multiplyDoublewordUnsigned");
    add(reinterpret_cast<const void*>(&divideDoublewordUnsigned), "divideDoublewordUnsigned");
    add(reinterpret_cast<const void*>(&divideWordSigned), "divideWordSigned");
    add(reinterpret_cast<const void*>(&divideWordUnsigned), "divideWordUnsigned");
    add(reinterpret_cast<const void*>(&stuckInCrcLoop), "stuckInCrcLoop");
    add(reinterpret_cast<const void*>(&skipIdleTime), "skipIdleTime");
    add(reinterpret_cast<const void*>(&memWriteTracked), "memWriteTracked");
    add(reinterpret_cast<const void*>(&enterGuestException), "enterGuestException");
    add(reinterpret_cast<const void*>(&enterAddressError), "enterAddressError");
    add(reinterpret_cast<const void*>(&trapWhen), "trapWhen");
    return names;
}

std::string nameOf(uintptr_t address) {
    static const std::map<uintptr_t, std::string> names = addressNames();
    auto it = names.find(address);
    if (it != names.end()) return it->second;
    char text[32];
    std::snprintf(text, sizeof text, "0x%" PRIxPTR, address);
    return text;
}

} // namespace

std::vector<std::string> disassembleCode(const uint8_t* code, size_t size) {
    std::vector<std::string> lines;
    csh handle;
    if (cs_open(CS_ARCH_X86, CS_MODE_64, &handle) != CS_ERR_OK) return lines;
    cs_insn* insn = nullptr;
    const size_t n = cs_disasm(handle, code, size, reinterpret_cast<uintptr_t>(code), 0, &insn);
    static const std::regex ripOperand(R"(\[rip ([+-]) (0x[0-9a-f]+|\d+)\])");
    for (size_t i = 0; i < n; ++i) {
        std::string ops = insn[i].op_str;
        std::smatch m;
        if (std::regex_search(ops, m, ripOperand)) {
            int64_t disp = int64_t(std::stoull(m[2].str(), nullptr, 0));
            if (m[1].str() == "-") disp = -disp;
            const uintptr_t target = uintptr_t(int64_t(insn[i].address + insn[i].size) + disp);
            ops = m.prefix().str() + "[" + nameOf(target) + "]" + m.suffix().str();
        }
        std::string mnemonic = insn[i].mnemonic;
        if (mnemonic == "call") ops = nameOf(uintptr_t(std::stoull(ops, nullptr, 0)));
        lines.push_back(ops.empty() ? mnemonic : mnemonic + " " + ops);
    }
    if (n) cs_free(insn, n);
    cs_close(&handle);
    return lines;
}

std::vector<std::string> translateToText(uint32_t pc, const std::vector<uint32_t>& words,
                                         unsigned* bytes) {
    // Executable storage is not needed: the code is only decoded.
    static uint8_t source[64 * 4];
    static uint8_t buffer[4096];
    std::memset(source, 0, sizeof source);
    std::memcpy(source, words.data(), std::min(sizeof source, words.size() * 4));
    compileState.beginBlock();
    x86::beginEmit(buffer, buffer + sizeof buffer);
    BlockAnalysis block(pc, source, uint32_t(std::min<size_t>(words.size(), 64)));
    BlockStep step;
    if (block.next(step)) translateStep(step);
    const size_t size = size_t(compileState.emitPtr - buffer);
    if (bytes) *bytes = unsigned(size);
    return disassembleCode(buffer, size);
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += (out.empty() ? "" : "; ") + l;
    return out;
}
