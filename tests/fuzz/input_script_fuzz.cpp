// Fuzz target of the scripted pad's script reader (the controller input
// script of orvex-run). Each input is written as a script, read through the
// plug-in's entry points as a run does, and polled. Besides not crashing: a
// script that was refused reads as neutral, and once played the last state
// is held.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "orvex_plugin.h"

extern "C" {
int scriptedPadSetScript(const char* path);
uint8_t initPlugin(const OrvexOutputWindow* window, void* programInstance);
void freePlugin(void);
void getInput(OrvexInputState* inputState);
}

namespace {

uint32_t poll() {
    OrvexInputState s{};
    getInput(&s);
    return uint32_t(s.buttons[0]) << 24 | uint32_t(s.buttons[1]) << 16 |
           uint32_t(uint8_t(s.stickX)) << 8 | uint8_t(s.stickY);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzFilePath(".txt");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    if (!written) return 0;

    const int read = scriptedPadSetScript(path.c_str());
    check(initPlugin(nullptr, nullptr) == read, "initPlugin and the script's reading disagree");
    const bool hasNul = size > 0 && std::memchr(data, 0, size) != nullptr;
    check(read == !hasNul, "a NUL byte decides the reading");
    uint32_t last = 0;
    for (int i = 0; i < 64; ++i)
        last = poll();
    if (!read) check(last == 0, "a refused script does not read as neutral");
    freePlugin();
    scriptedPadSetScript("");
    return 0;
}
