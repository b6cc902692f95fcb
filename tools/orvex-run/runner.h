// orvex-run's logic: the command line, and one emulation run of a ROM image
// (or the built-in demo) through the emulation session, with its figures.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/machine_mode.h"
#include "cpu/cpu_core.h"

struct RunnerOptions {
    // The ROM image; "" runs the built-in demo.
    std::string romPath;
    // Limits: vertical interrupts (0 = none), wall seconds (0 = none), and the
    // first idle loop.
    uint64_t frames = 0;
    double seconds = 0.0;
    bool untilIdle = false;
    // Paced by wall time at the console's rate, as the window program runs.
    bool limitSpeed = false;
    // Outputs: a PNG of the guest frame at the end, a WAV of the audio, the
    // folder of the run's log ("" = the working directory).
    std::string screenshotPath;
    std::string wavPath;
    std::string logDirectory;
    // A script for controller 1, played by the scripted pad plug-in, and
    // where that plug-in is ("" = look beside the program).
    std::string inputScript;
    std::string padLibrary;
    bool hle = false;
    bool niceFrameBuffer = false;
    // What yes/no questions are answered: true for Yes.
    bool answerYes = true;
    CpuCore cpuCore = CpuCore::Recompiler;
    MachineMode machineMode = MachineMode::Complete;
    // Saved states: one to start from, and one written after saveAtVi
    // vertical interrupts (both "" = none).
    std::string loadStatePath;
    std::string saveStatePath;
    uint64_t saveAtVi = 0;
};

enum class CommandLine { Run, Help, Version, Invalid };

// Reads the arguments after the program name. On Invalid, `error` says why.
CommandLine parseCommandLine(const std::vector<std::string>& args, RunnerOptions& options,
                             std::string& error);
void printUsage(FILE* out);

// Exit statuses.
constexpr int EXIT_LIMIT_REACHED = 0;
constexpr int EXIT_BAD_USAGE = 1;
constexpr int EXIT_HALTED = 3;

struct RunReport {
    int exitStatus = EXIT_BAD_USAGE;
    bool halted = false;     // the guest halted the emulation
    bool wentIdle = false;   // the run ended at the first idle loop
    bool frameLimit = false; // the run ended at its vertical-interrupt limit
    bool timeLimit = false;  // the run ended at its wall-time limit (or was interrupted)
    uint64_t viInterrupts = 0;
    uint64_t instructions = 0;
    // The counts the run started from (not 0 when it started from a state);
    // the rates count from them.
    uint64_t viAtStart = 0;
    uint64_t instructionsAtStart = 0;
    // Frames finished by the display-list renderer (full syncs).
    uint64_t gfxFrames = 0;
    // Wall time from the first block to the end, in seconds.
    double seconds = 0.0;
    // Texts of the message boxes shown.
    std::vector<std::string> messages;
};

// Set from a signal handler: the run ends as at its time limit.
extern std::atomic<bool> runnerInterrupted;
// True while a run is under way, from the end of the image's loading until
// its figures are printed: an interruption then ends the run in order (log,
// WAV and screenshot complete). Before that nothing is worth keeping and
// the runner may end at once.
extern std::atomic<bool> runnerRunning;

// Loads the ROM image and runs it until a limit is reached or the guest
// halts, printing the header, the messages and status texts as they come
// and the figures at the end to `out`.
RunReport runEmulation(const RunnerOptions& options, FILE* out);

// The scripted pad plug-in: `configured` when given, else the environment
// variable ORVEX_SCRIPTED_PAD, else the first that exists of the plug-in
// folders beside the program. "" when none is found.
std::string findScriptedPad(const std::string& configured);
