// romkit: wraps a flat big-endian MIPS program into a cartridge image with a
// header and Orvex's own boot code at 0x40.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace romkit {

enum class ByteOrder { BigEndian, ByteSwapped };

// How the boot code moves the program into RDRAM: word by word with the CPU,
// or with one PI DMA transfer as the console's own boot code does.
enum class BootCopy { Cpu, PiDma };

struct RomOptions {
    std::string name = "ORVEX TEST"; // internal name, at most 20 characters
    uint32_t entry = 0x80001000;     // where the program is copied and entered
    char country = 'E';
    ByteOrder order = ByteOrder::BigEndian;
    BootCopy bootCopy = BootCopy::Cpu;
};

// Offset of the program within the image.
constexpr uint32_t PROGRAM_OFFSET = 0x1000;

// Builds an image: header, boot code that copies the program from the
// cartridge to `entry` and jumps there, the program at PROGRAM_OFFSET.
// `program` is the program's bytes in the cartridge's big-endian order.
std::vector<uint8_t> buildRom(const std::vector<uint8_t>& program, const RomOptions& options = {});

// The same with the program given as instruction words.
std::vector<uint8_t> buildRomFromWords(const std::vector<uint32_t>& words,
                                       const RomOptions& options = {});

// The two header checksums over the 1 MiB after the boot code (image bytes
// 0x1000-0x100FFF, zeros past the image's end), in big-endian image order.
void headerChecksums(const std::vector<uint8_t>& image, uint32_t& crc1, uint32_t& crc2);

// C++ source defining `const unsigned char NAME[]` and `const unsigned long NAME_size`.
std::string cppArray(const std::string& name, const std::vector<uint8_t>& bytes);

// Writes bytes to a file; false on failure.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// Reads a whole file; false on failure.
bool readFile(const std::string& path, std::vector<uint8_t>& bytes);

} // namespace romkit
