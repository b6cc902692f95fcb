// orvex-run's saved states: --load-state starts the run from a state file,
// --save-state FILE --at N writes one after N vertical interrupts.
#pragma once

#include <cstdio>

struct RunnerOptions;
struct EmulationSettings;

// Reads and checks the state to start from against the loaded image and puts
// it, and the save asked for, into the run's settings. False, with the
// reason printed, when the state is refused or the save could never happen.
bool prepareRunnerStates(const RunnerOptions& options, EmulationSettings& settings, FILE* out);
// After the run: false, with the reason printed, when a save was asked for
// and no state was written.
bool reportRunnerStates(const RunnerOptions& options, FILE* out);
