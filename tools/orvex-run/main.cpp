// orvex-run: runs a ROM image (or the built-in demo) without a window and
// reports its picture, sound, log and speed. See runner.h.
#include <signal.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "runner.h"

namespace {
// SIGINT and SIGTERM: the first during a run ends it in order, as at its
// time limit; any other (before the run, while the image loads, or a second
// one) ends the program at once with the signal's default action.
void onInterrupt(int signalNumber) {
    if (runnerRunning.load() && !runnerInterrupted.exchange(true)) return;
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(signalNumber, &defaultAction, nullptr);
    raise(signalNumber);
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
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return runEmulation(options, stdout).exitStatus;
}
