#include "runner_states.h"

#include <memory>

#include "runner.h"
#include "system/emulation_session.h"
#include "system/save_state.h"
#include "system/state_requests.h"

bool prepareRunnerStates(const RunnerOptions& options, EmulationSettings& settings, FILE* out) {
    uint64_t startVi = 0;
    if (!options.loadStatePath.empty()) {
        auto payload = std::make_shared<std::vector<uint8_t>>();
        std::string problem;
        if (!readStateFile(options.loadStatePath, *payload, problem)) {
            std::fprintf(out, "orvex-run: the state %s is refused: %s\n",
                         options.loadStatePath.c_str(), problem.c_str());
            return false;
        }
        startVi = savedViInterrupts(*payload);
        settings.initialState = std::move(payload);
        std::fprintf(out, "State:      %s (vertical interrupt %llu)\n",
                     options.loadStatePath.c_str(), static_cast<unsigned long long>(startVi));
    }
    if (!options.saveStatePath.empty()) {
        if (options.saveAtVi <= startVi) {
            std::fprintf(out,
                         "orvex-run: --at %llu lies before vertical interrupt %llu, where the "
                         "run starts\n",
                         static_cast<unsigned long long>(options.saveAtVi),
                         static_cast<unsigned long long>(startVi));
            return false;
        }
        settings.saveStateAtVi = options.saveAtVi;
        settings.saveStatePath = options.saveStatePath;
    }
    return true;
}

bool reportRunnerStates(const RunnerOptions& options, FILE* out) {
    if (options.saveStatePath.empty()) return true;
    const StateRequestTally tally = stateRequestTally();
    if (tally.saved != 0) {
        std::fprintf(out, "Saved state: %s\n", options.saveStatePath.c_str());
        return true;
    }
    if (tally.failed == 0)
        std::fprintf(out,
                     "orvex-run: no state was written: the run ended before vertical "
                     "interrupt %llu\n",
                     static_cast<unsigned long long>(options.saveAtVi));
    return false;
}
