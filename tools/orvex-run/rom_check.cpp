#include "rom_check.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/regular_file.h"
#include "core/memory.h"

namespace {

constexpr size_t HEADER_BYTES = 64;
// Where the image's boot code runs: SP DMEM from 0x40, reached through KSEG0
// or KSEG1 at physical 0x04000040-0x04000FFF.
constexpr uint32_t BOOT_CODE_START = 0x04000040;
constexpr uint32_t BOOT_CODE_END = 0x04001000;

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// Why the boot code could not start the program at `entry`, or "".
std::string entryProblem(uint32_t entry) {
    if (entry == 0) return "its entry point is 0";
    if (entry & 3) return "its entry point " + hex(entry) + " is not word-aligned";
    // Unmapped segments (KUSEG, KSSEG, KSEG3) need a TLB the boot code has
    // not set up.
    if (entry < 0x80000000u || entry >= 0xC0000000u)
        return "its entry point " + hex(entry) + " is not in a directly mapped segment";
    const uint32_t physical = entry & 0x1FFFFFFF;
    if (physical >= BOOT_CODE_START && physical < BOOT_CODE_END)
        return "its entry point " + hex(entry) + " lies inside the boot code";
    if (physical >= RDRAM_SIZE) return "its entry point " + hex(entry) + " is outside RDRAM";
    return "";
}

} // namespace

RomFileCheck checkRomStart(const uint8_t* bytes, size_t got, uint64_t fileSize) {
    RomFileCheck check;
    if (fileSize == 0 || got == 0) {
        check.problem = "the file is empty";
        return check;
    }
    if (fileSize > ROM_MAX_SIZE) {
        check.problem = "the file is too large (" + std::to_string(fileSize) +
                        " bytes; the cartridge space holds at most 256 MiB)";
        return check;
    }
    uint8_t block[HEADER_BYTES] = {};
    std::memcpy(block, bytes, got < HEADER_BYTES ? got : HEADER_BYTES);
    check.order = decodeRomHeader(block);
    if (check.order == RomByteOrder::NotAnImage) {
        check.problem = "not a ROM image (the first bytes are neither 80 37 nor 37 80)";
        return check;
    }
    check.entryPoint = romHeaderWord(block, 0x08);
    check.problem = entryProblem(check.entryPoint);
    return check;
}

RomFileCheck checkRomFile(const std::string& path) {
    RomFileCheck check;
    FileProblem problem = FileProblem::None;
    uint64_t size = 0;
    int error = 0;
    const int fd = openRegularFile(path.c_str(), problem, size, &error);
    if (fd < 0) {
        check.problem = problem == FileProblem::Unreadable && error
                            ? std::string("it cannot be read (") + std::strerror(error) + ")"
                            : std::string("it ") + fileProblemText(problem);
        return check;
    }
    uint8_t block[HEADER_BYTES] = {};
    size_t got = 0;
    while (got < sizeof block) {
        const ssize_t n = ::read(fd, block + got, sizeof block - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            ::close(fd);
            check.problem = std::string("it cannot be read (") + std::strerror(error) + ")";
            return check;
        }
        if (n == 0) break;
        got += size_t(n);
    }
    ::close(fd);
    return checkRomStart(block, got, size);
}
