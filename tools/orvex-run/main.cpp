// orvex-run: runs a ROM image (or the built-in demo) without a window and
// reports its picture, sound, log and speed. See runner.h.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "runner.h"

namespace {
void onInterrupt(int) {
    runnerInterrupted = true;
}
} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    RunnerOptions options;
    std::string error;
    switch (parseCommandLine(args, options, error)) {
    case CommandLine::Help:
        printUsage(stdout);
        return 0;
    case CommandLine::Version:
        std::printf("orvex-run %s\n", ORVEX_VERSION);
        return 0;
    case CommandLine::Invalid:
        std::fprintf(stderr, "orvex-run: %s\n", error.c_str());
        printUsage(stderr);
        return EXIT_BAD_USAGE;
    case CommandLine::Run:
        break;
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    return runEmulation(options, stdout).exitStatus;
}
