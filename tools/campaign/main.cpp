// orvex-campaign: random guest programs on both CPU cores.
//   orvex-campaign [N] [--seed FIRST] [--frames F] [--time-bound S]
//                  [--failures DIR] [--replay SEED] [--list SEED]
//                  [--machine complete|design] [--available-only]
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "campaign.h"
#include "debug/disassembler.h"
#include "program_generator.h"

namespace {

bool number(const char* text, uint64_t& value) {
    char* end = nullptr;
    if (!text || !*text || *text == '-') return false;
    value = std::strtoull(text, &end, 10);
    return *end == 0;
}

// Prints a program with its disassembly, for finding what a failure ran.
void listProgram(uint64_t seed, const campaign::CampaignOptions& options) {
    const campaign::GeneratedProgram p =
        campaign::generateProgram(seed, campaign::generatorOptions(options));
    for (size_t i = 0; i < p.words.size(); ++i) {
        const uint32_t pc = campaign::PROGRAM_ENTRY + 4 * uint32_t(i);
        char mnemonic[DISASSEMBLY_TEXT_SIZE], operands[DISASSEMBLY_TEXT_SIZE];
        disassembleInstruction(pc, 0, p.words[i], mnemonic, operands);
        std::printf("%08X %08X %s%-8s %s\n", pc, p.words[i],
                    i == p.bodyStart ? "> "
                    : i == p.bodyEnd ? "< "
                                     : "  ",
                    mnemonic, operands);
    }
}

int usage() {
    std::fprintf(stderr, "usage: orvex-campaign [N] [--seed FIRST] [--frames F] [--time-bound S] "
                         "[--failures DIR] [--replay SEED] [--list SEED] "
                         "[--machine complete|design] [--available-only]\n");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    campaign::CampaignOptions options;
    uint64_t replay = 0, listed = 0;
    bool replaying = false, listing = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        uint64_t n = 0;
        if (!std::strcmp(a, "--seed")) {
            if (!number(v, options.firstSeed)) return usage();
            ++i;
        } else if (!std::strcmp(a, "--frames")) {
            if (!number(v, options.frames) || options.frames == 0) return usage();
            ++i;
        } else if (!std::strcmp(a, "--time-bound")) {
            if (!number(v, n) || n == 0) return usage();
            options.timeBound = double(n);
            ++i;
        } else if (!std::strcmp(a, "--failures")) {
            if (!v) return usage();
            options.failureDirectory = v;
            ++i;
        } else if (!std::strcmp(a, "--replay")) {
            if (!number(v, replay)) return usage();
            replaying = true;
            ++i;
        } else if (!std::strcmp(a, "--list")) {
            if (!number(v, listed)) return usage();
            listing = true;
            ++i;
        } else if (!std::strcmp(a, "--machine")) {
            if (!v || (std::strcmp(v, "complete") != 0 && std::strcmp(v, "design") != 0))
                return usage();
            options.completeMachine = std::strcmp(v, "complete") == 0;
            ++i;
        } else if (!std::strcmp(a, "--available-only")) {
            options.availableOnly = true;
        } else if (number(a, options.programs)) {
        } else {
            return usage();
        }
    }
    if (listing) {
        listProgram(listed, options);
        return 0;
    }
    namespace fs = std::filesystem;
    options.workDirectory =
        (fs::temp_directory_path() / ("orvex-campaign-" + std::to_string(getpid()))).string();
    std::error_code error;
    fs::create_directories(options.workDirectory, error);
    if (error) {
        std::fprintf(stderr, "orvex-campaign: cannot make %s\n", options.workDirectory.c_str());
        return 1;
    }
    int status;
    if (replaying) {
        status = campaign::replayProgram(replay, options, stdout) ? 0 : 2;
    } else {
        const campaign::CampaignFigures figures = campaign::runCampaign(options, stdout);
        campaign::printFigures(figures, stdout);
        status = figures.failureCount() == 0 && figures.programs == options.programs ? 0 : 2;
    }
    fs::remove_all(options.workDirectory, error);
    return status;
}
