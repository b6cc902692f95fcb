// romkit: romkit PROGRAM.bin OUT [--name NAME] [--entry HEX] [--byteswap] [--dma-boot]
//         [--cpp-array NAME]
// Wraps a flat big-endian program into a ROM image; with --cpp-array, OUT is a
// C++ source file holding the image as a byte array of that name.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "romkit/romkit.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: romkit PROGRAM.bin OUT [--name NAME] [--entry HEX] "
                             "[--byteswap] [--dma-boot] [--cpp-array NAME]\n");
        return 2;
    }
    romkit::RomOptions options;
    std::string arrayName;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--name") && i + 1 < argc) {
            options.name = argv[++i];
        } else if (!std::strcmp(argv[i], "--entry") && i + 1 < argc) {
            options.entry = uint32_t(std::strtoul(argv[++i], nullptr, 16));
        } else if (!std::strcmp(argv[i], "--dma-boot")) {
            options.bootCopy = romkit::BootCopy::PiDma;
        } else if (!std::strcmp(argv[i], "--cpp-array") && i + 1 < argc) {
            arrayName = argv[++i];
        } else if (!std::strcmp(argv[i], "--byteswap")) {
            options.order = romkit::ByteOrder::ByteSwapped;
        } else {
            std::fprintf(stderr, "romkit: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    std::vector<uint8_t> program;
    if (!romkit::readFile(argv[1], program)) {
        std::fprintf(stderr, "romkit: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::vector<uint8_t> image = romkit::buildRom(program, options);
    bool written;
    if (arrayName.empty()) {
        written = romkit::writeFile(argv[2], image);
    } else {
        const std::string source = romkit::cppArray(arrayName, image);
        written = romkit::writeFile(argv[2], std::vector<uint8_t>(source.begin(), source.end()));
    }
    if (!written) {
        std::fprintf(stderr, "romkit: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
