#include "support/guest_program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "core/cpu_state.h"
#include "cpu/recompiler/code_cache.h"
#include "support/test_machine.h"
#include "system/run_loop.h"

namespace {

// Runs a shell command in `dir`, its output going to `dir`/tool.out; true on
// exit status 0.
bool runIn(const std::string& dir, const std::string& command, std::string* error) {
    const std::string full = "cd '" + dir + "' && (" + command + ") >tool.out 2>&1";
    if (std::system(full.c_str()) == 0) return true;
    if (error) *error = command + ":\n" + readTextFile(dir + "/tool.out");
    return false;
}

} // namespace

uint32_t GuestProgram::symbol(const std::string& name) const {
    auto it = symbols.find(name);
    EXPECT_NE(it, symbols.end()) << "no label " << name << " in the guest program";
    return it == symbols.end() ? 0 : it->second;
}

std::vector<uint8_t> GuestProgram::bytes() const {
    std::vector<uint8_t> out;
    out.reserve(words.size() * 4);
    for (uint32_t w : words) {
        out.push_back(uint8_t(w >> 24));
        out.push_back(uint8_t(w >> 16));
        out.push_back(uint8_t(w >> 8));
        out.push_back(uint8_t(w));
    }
    return out;
}

bool guestToolsAvailable() {
    return std::system("command -v mips-linux-gnu-as >/dev/null 2>&1 && "
                       "command -v mips-linux-gnu-ld >/dev/null 2>&1 && "
                       "command -v mips-linux-gnu-nm >/dev/null 2>&1 && "
                       "command -v mips-linux-gnu-objcopy >/dev/null 2>&1") == 0;
}

bool assembleGuestProgram(const std::string& source, uint32_t loadAddress, GuestProgram& out,
                          std::string* error) {
    const std::string dir = makeTempDir("guest-program");
    std::ofstream(dir + "/program.s") << source;
    char address[16];
    std::snprintf(address, sizeof address, "0x%08X", loadAddress);
    if (!runIn(dir,
               std::string("mips-linux-gnu-as -march=vr4300 -EB -I '") + ORVEX_GUEST_PROGRAMS +
                   "' -o program.o program.s",
               error) ||
        !runIn(dir,
               std::string("mips-linux-gnu-ld -EB -e start -Ttext=") + address +
                   " -o program.elf program.o",
               error) ||
        !runIn(dir, "mips-linux-gnu-objcopy -O binary -j .text program.elf program.bin", error) ||
        !runIn(dir, "mips-linux-gnu-nm program.elf >program.sym", error))
        return false;

    std::ifstream in(dir + "/program.bin", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    out = GuestProgram{};
    out.loadAddress = loadAddress;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        out.words.push_back(uint32_t(bytes[i]) << 24 | uint32_t(bytes[i + 1]) << 16 |
                            uint32_t(bytes[i + 2]) << 8 | bytes[i + 3]);

    // nm prints "ffffffff80001000 T start": addresses sign-extended to 64 bits.
    std::istringstream symbols(readTextFile(dir + "/program.sym"));
    std::string line;
    while (std::getline(symbols, line)) {
        std::istringstream fields(line);
        std::string value, type, name;
        if (!(fields >> value >> type >> name)) continue;
        out.symbols[name] = uint32_t(std::strtoull(value.c_str(), nullptr, 16));
    }
    if (out.words.empty() && error) *error = "the program has no code";
    return !out.words.empty();
}

std::string writeGuestRom(const GuestProgram& program, const std::string& dir,
                          const std::string& stem, romkit::RomOptions options,
                          const std::string& codText) {
    options.entry = program.loadAddress;
    const std::string path = dir + "/" + stem + ".z64";
    if (!romkit::writeFile(path, romkit::buildRom(program.bytes(), options))) return "";
    if (!codText.empty()) {
        std::ofstream cod(dir + "/" + stem + ".cod");
        cod << codText;
        if (!cod) return "";
    }
    return path;
}

void selectCpuCore(CpuCore core) {
    ASSERT_TRUE(initCodeCache());
    selectedCpuCore = core;
}

bool runBlocksUntil(uint32_t pc, unsigned maxBlocks) {
    for (unsigned i = 0; i < maxBlocks; ++i) {
        if (theCpu.pc == pc) return true;
        if (!runBlock()) return false;
    }
    return theCpu.pc == pc;
}

void runCpuThread(const std::function<void()>& onCpuThreadEnd) {
    std::thread cpu([&] {
        cpuThread(nullptr);
        if (onCpuThreadEnd) onCpuThreadEnd();
    });
    cpu.join();
}

void bootGuestProgramBare(const GuestProgram& program, CpuCore core) {
    resetBareMachine();
    ASSERT_NO_FATAL_FAILURE(selectCpuCore(core));
    for (size_t i = 0; i < program.words.size(); ++i)
        setGuestWord((program.loadAddress & 0x1FFFFFFF) + 4 * uint32_t(i), program.words[i]);
    theCpu.pc = program.loadAddress;
}

void forEachCpuCore(const std::function<void(CpuCore)>& run) {
    for (CpuCore core : {CpuCore::Recompiler, CpuCore::Interpreter}) {
        SCOPED_TRACE(cpuCoreName(core));
        run(core);
        if (::testing::Test::HasFatalFailure()) break;
    }
    selectedCpuCore = CpuCore::Recompiler;
}

const char* cpuCoreName(CpuCore core) {
    return core == CpuCore::Recompiler ? "recompiler" : "interpreter";
}

std::string guestProgramSource(const std::string& name) {
    std::ifstream in(std::string(ORVEX_GUEST_PROGRAMS) + "/" + name);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
