// Guest programs written in MIPS assembly for end-to-end tests: assembled and
// linked with the GNU cross tools, wrapped into ROM images, and run by the CPU
// thread on a chosen CPU core.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cpu/cpu_core.h"
#include "romkit/romkit.h"

struct GuestProgram {
    std::vector<uint32_t> words;             // the linked .text, big-endian words
    std::map<std::string, uint32_t> symbols; // label -> guest address
    uint32_t loadAddress = 0;

    // Address of a label; fails the calling test (and returns 0) when absent.
    uint32_t symbol(const std::string& name) const;
    // The program's bytes in the cartridge's big-endian order.
    std::vector<uint8_t> bytes() const;
};

// True when mips-linux-gnu-as, -ld, -nm and -objcopy are installed.
bool guestToolsAvailable();

// Where the guest programs of the tests are linked and entered.
constexpr uint32_t GUEST_LOAD_ADDRESS = 0x80001000;

// The assembly text of a guest program in tests/guest (the file name, e.g.
// "exceptions.s"; programs pull in the shared macros with `.include
// "common.inc"`, which the assembler finds there); empty when the file cannot
// be read, which then fails to assemble with the tools' message.
std::string guestProgramSource(const std::string& name);

// Assembles `source` at GUEST_LOAD_ADDRESS into `program`: skips the calling
// test when the cross tools are not installed, fails it when the source does
// not assemble.
#define ASSEMBLE_GUEST_PROGRAM_OR_SKIP(source, program)                                            \
    do {                                                                                           \
        if (!guestToolsAvailable()) GTEST_SKIP() << "the MIPS cross tools are not installed";      \
        std::string assembleError_;                                                                \
        ASSERT_TRUE(assembleGuestProgram(source, GUEST_LOAD_ADDRESS, program, &assembleError_))    \
            << assembleError_;                                                                     \
    } while (0)

// Assembles `source` for the VR4300 (big-endian) and links its .text at
// `loadAddress`, entered at the label "start". False, with the tools' output
// in `error`, when assembling or linking fails.
bool assembleGuestProgram(const std::string& source, uint32_t loadAddress, GuestProgram& out,
                          std::string* error = nullptr);

// Writes the program as a ROM image "<dir>/<stem>.z64" built with `options`
// (whose entry is set to the program's load address) and, when `codText` is
// not empty, the symbol file "<dir>/<stem>.cod" beside it. Returns the image
// path, "" on failure.
std::string writeGuestRom(const GuestProgram& program, const std::string& dir,
                          const std::string& stem, romkit::RomOptions options,
                          const std::string& codText = "");

// Sets up an empty code cache and selects `core` (the caller selects the
// recompiler again when done).
void selectCpuCore(CpuCore core);
// Runs blocks on this thread until pc reaches `pc`; false when the emulation
// halts or `maxBlocks` have run first.
bool runBlocksUntil(uint32_t pc, unsigned maxBlocks);
// Runs cpuThread on a thread of its own until the emulation halts;
// `onCpuThreadEnd` runs on that thread after it.
void runCpuThread(const std::function<void()>& onCpuThreadEnd = {});
// Resets the machine without a ROM image, selects `core`, places the
// program's words at its load address and sets pc there.
void bootGuestProgramBare(const GuestProgram& program, CpuCore core);
// Calls `run` for each CPU core, the core named in the trace of failures, and
// stops at the first fatal failure; the recompiler is selected again after.
void forEachCpuCore(const std::function<void(CpuCore)>& run);

// "recompiler" / "interpreter", for traces.
const char* cpuCoreName(CpuCore core);
