// Guest programs written in MIPS assembly for end-to-end tests: assembled and
// linked with the GNU cross tools, wrapped into ROM images, and run by the CPU
// thread on a chosen CPU core.
#pragma once

#include <cstdint>
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
// Runs cpuThread on a thread of its own until the emulation halts.
void runCpuThread();

// "recompiler" / "interpreter", for traces.
const char* cpuCoreName(CpuCore core);
