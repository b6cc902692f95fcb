// romkit: romkit PROGRAM.bin OUT.z64 [--name NAME] [--entry HEX] [--byteswap]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "romkit/romkit.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: romkit PROGRAM.bin OUT.z64 [--name NAME] [--entry HEX] "
                             "[--byteswap]\n");
        return 2;
    }
    romkit::RomOptions options;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--name") && i + 1 < argc) {
            options.name = argv[++i];
        } else if (!std::strcmp(argv[i], "--entry") && i + 1 < argc) {
            options.entry = uint32_t(std::strtoul(argv[++i], nullptr, 16));
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
    if (!romkit::writeFile(argv[2], romkit::buildRom(program, options))) {
        std::fprintf(stderr, "romkit: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
