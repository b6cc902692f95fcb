// orvex-run: the headless runner. For now it loads a ROM image (the built-in
// demo image when none is given), resets a machine with it and prints the
// decoded cartridge header.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/rom_file.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "romkit/romkit.h"

extern const unsigned char orvexDemoRom[];
extern const unsigned long orvexDemoRom_size;

namespace {

void printHeader() {
    const uint8_t* h = theRom.header;
    std::printf("ROM:      %s\n", theRom.path);
    std::printf("Name:     \"%s\"\n", romHeaderName(h));
    std::printf("Country:  %c\n", romHeaderCountry(h) ? romHeaderCountry(h) : '?');
    std::printf("Clock:    0x%08X\n", romHeaderWord(h, 0x04));
    std::printf("Boot:     0x%08X\n", romHeaderWord(h, 0x08));
    std::printf("Release:  0x%08X\n", romHeaderWord(h, 0x0C));
    std::printf("CRC:      0x%08X 0x%08X\n", romHeaderWord(h, 0x10), romHeaderWord(h, 0x14));
    std::printf("Size:     %u bytes\n", theRom.romSize);
}

} // namespace

int main(int argc, char** argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help")) {
            std::printf("usage: orvex-run [ROM]\n");
            return 0;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("orvex-run %s\n", ORVEX_VERSION);
            return 0;
        }
        path = argv[i];
    }
    if (path.empty()) {
        path = "/tmp/orvex-demo.z64";
        const std::vector<uint8_t> demo(orvexDemoRom, orvexDemoRom + orvexDemoRom_size);
        if (!romkit::writeFile(path, demo)) {
            std::fprintf(stderr, "orvex-run: cannot write the demo image to %s\n", path.c_str());
            return 1;
        }
    }
    if (!loadRomFile(path.c_str())) return 1;
    if (!resetMachine()) return 1;
    printHeader();
    std::printf("Reset:    pc=0x%08X\n", theCpu.pc);
    return 0;
}
