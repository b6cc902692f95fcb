// The differential campaign: random guest programs run on both CPU cores, in
// child processes so that a crash, a sanitizer report or a hang is caught and
// kept with its seed like any difference between the cores.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "program_generator.h"

namespace campaign {

struct CampaignOptions {
    uint64_t programs = 100;
    uint64_t firstSeed = 1;
    uint64_t frames = 60;
    // Seconds of CPU time one core may spend on one program.
    double timeBound = 30.0;
    // Where failing programs are kept: "seed-N.txt" (what went wrong) and
    // "seed-N.z64" (the image, for orvex-run or --replay).
    std::string failureDirectory = "campaign-failures";
    // Scratch folder of the images and logs.
    std::string workDirectory;
    // The machine the programs are made for and run on.
    bool completeMachine = false;
    // Only instructions the cores carry out: the others become NOPs.
    bool availableOnly = false;
};

// The generator's options for a campaign's options.
GeneratorOptions generatorOptions(const CampaignOptions& options);

struct CampaignFigures {
    uint64_t programs = 0;
    uint64_t instructions = 0; // guest instructions, both cores together
    uint64_t viInterrupts = 0;
    uint64_t halted = 0; // programs that halted (on both cores) before the last frame
    double seconds = 0.0;
    std::map<std::string, uint64_t> failures; // by kind
    uint64_t failureCount() const;
};

// Runs programs firstSeed .. firstSeed + programs - 1, printing a line per
// failure and progress to `out`.
CampaignFigures runCampaign(const CampaignOptions& options, FILE* out);

// Runs one program in this process and reports its differences; true when
// there are none. Keeps its image in the failure folder when there are.
bool replayProgram(uint64_t seed, const CampaignOptions& options, FILE* out);

void printFigures(const CampaignFigures& figures, FILE* out);

} // namespace campaign
