#include "romkit/romkit.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "romkit/mips_encode.h"

namespace romkit {

namespace {

void putWord(std::vector<uint8_t>& image, size_t offset, uint32_t word) {
    image[offset] = uint8_t(word >> 24);
    image[offset + 1] = uint8_t(word >> 16);
    image[offset + 2] = uint8_t(word >> 8);
    image[offset + 3] = uint8_t(word);
}

// Boot code, run from SP DMEM at 0xA4000040: copy `length` bytes from the
// cartridge at PROGRAM_OFFSET to `entry` word by word, then jump to `entry`.
std::vector<uint32_t> bootCode(uint32_t entry, uint32_t length) {
    using namespace mips;
    const uint32_t source = 0xB0000000 | PROGRAM_OFFSET;
    return {
        lui(t0, uint16_t(source >> 16)),  ori(t0, t0, uint16_t(source)),
        lui(t1, uint16_t(entry >> 16)),   ori(t1, t1, uint16_t(entry)),
        lui(t2, uint16_t(length >> 16)),  ori(t2, t2, uint16_t(length)),
        orr(t3, t1, r0),
        // loop:
        lw(t4, 0, t0),                    sw(t4, 0, t1),
        addiu(t0, t0, 4),                 addiu(t2, t2, -4),
        bne(t2, r0, -5),                  addiu(t1, t1, 4),
        jr(t3),                           nop(),
    };
}

} // namespace

std::vector<uint8_t> buildRom(const std::vector<uint8_t>& program, const RomOptions& options) {
    uint32_t length = uint32_t((program.size() + 3) & ~size_t(3));
    if (length == 0) length = 4;
    size_t size = PROGRAM_OFFSET + length;
    size = (size + 0xFFFF) & ~size_t(0xFFFF);
    std::vector<uint8_t> image(size, 0);
    putWord(image, 0x00, 0x80371240);
    putWord(image, 0x04, 0x0000000F);
    putWord(image, 0x08, options.entry);
    putWord(image, 0x0C, 0x00001444);
    std::fill(image.begin() + 0x20, image.begin() + 0x34, uint8_t(' '));
    std::copy_n(options.name.begin(), std::min<size_t>(options.name.size(), 20),
                image.begin() + 0x20);
    image[0x3B] = 'N';
    image[0x3C] = 'O';
    image[0x3D] = 'X';
    image[0x3E] = uint8_t(options.country);
    const std::vector<uint32_t> boot = bootCode(options.entry, length);
    for (size_t i = 0; i < boot.size(); ++i) putWord(image, 0x40 + 4 * i, boot[i]);
    std::copy(program.begin(), program.end(), image.begin() + PROGRAM_OFFSET);

    if (options.order == ByteOrder::ByteSwapped) {
        for (size_t i = 0; i + 1 < image.size(); i += 2) std::swap(image[i], image[i + 1]);
    }
    return image;
}

std::vector<uint8_t> buildRomFromWords(const std::vector<uint32_t>& words,
                                       const RomOptions& options) {
    std::vector<uint8_t> program(words.size() * 4);
    for (size_t i = 0; i < words.size(); ++i) putWord(program, 4 * i, words[i]);
    return buildRom(program, options);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

bool readFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace romkit
