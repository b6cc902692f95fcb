#include "campaign.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core_comparison.h"
#include "cpu/instruction_table.h"
#include "program_generator.h"
#include "romkit/romkit.h"

namespace campaign {

namespace {

namespace fs = std::filesystem;

struct ProgramResult {
    std::string kind; // "" when both cores agree
    std::vector<std::string> details;
    uint64_t instructions = 0;
    uint64_t viInterrupts = 0;
    bool halted = false;
    // What the recompiler's run showed (messages, then the log), for replays.
    std::vector<std::string> shown;
};

std::string imagePath(const std::string& dir, uint64_t seed) {
    return dir + "/seed-" + std::to_string(seed) + ".z64";
}

bool writeImage(uint64_t seed, const std::string& path, const CampaignOptions& options) {
    romkit::RomOptions rom;
    rom.name = "CAMPAIGN";
    rom.entry = PROGRAM_ENTRY;
    const GeneratedProgram program = generateProgram(seed, generatorOptions(options));
    return romkit::writeFile(path, romkit::buildRomFromWords(program.words, rom));
}

// Keeps a failing program: its image and what went wrong.
void keepFailure(uint64_t seed, const std::string& kind, const std::vector<std::string>& details,
                 const CampaignOptions& options) {
    std::error_code error;
    fs::create_directories(options.failureDirectory, error);
    writeImage(seed, imagePath(options.failureDirectory, seed), options);
    std::ofstream text(options.failureDirectory + "/seed-" + std::to_string(seed) + ".txt");
    text << "seed " << seed << "\nkind " << kind << "\nreplay: orvex-campaign --replay " << seed
         << "\n";
    for (const std::string& line : details)
        text << line << "\n";
}

ProgramResult runProgram(uint64_t seed, const CampaignOptions& options, bool keepMemory = false) {
    ProgramResult result;
    const std::string image = options.workDirectory + "/program.z64";
    if (!writeImage(seed, image, options)) {
        result.kind = "setup";
        result.details.push_back("the image could not be written to " + image);
        return result;
    }
    const MachineMode machine =
        options.completeMachine ? MachineMode::Complete : MachineMode::Design;
    const CoreOutcome a = runOnCore(image, CpuCore::Recompiler, machine, options.frames,
                                    options.timeBound, options.workDirectory, keepMemory);
    const CoreOutcome b = runOnCore(image, CpuCore::Interpreter, machine, options.frames,
                                    options.timeBound, options.workDirectory, keepMemory);
    result.instructions = a.report.instructions + b.report.instructions;
    result.viInterrupts = a.report.viInterrupts + b.report.viInterrupts;
    result.halted = a.report.halted && b.report.halted;
    result.shown = a.report.messages;
    result.shown.push_back(a.log);
    result.details = compareOutcomes(a, b);
    if (a.report.timeLimit || b.report.timeLimit) {
        result.kind = "hang";
        result.details.insert(result.details.begin(),
                              std::string("past the time bound on the ") +
                                  (a.report.timeLimit ? "recompiler" : "interpreter"));
    } else if (!result.details.empty()) {
        const std::string& first = result.details[0];
        result.kind = "divergence (" + first.substr(0, first.find(':')) + ")";
    }
    return result;
}

// The child's side: runs programs from `first` on, announcing each on `fd`.
[[noreturn]] void childRuns(uint64_t first, const CampaignOptions& options, int fd) {
    FILE* report = fdopen(fd, "w");
    for (uint64_t i = first; i < options.programs; ++i) {
        const uint64_t seed = options.firstSeed + i;
        std::fprintf(report, "start %" PRIu64 "\n", i);
        std::fflush(report);
        const ProgramResult r = runProgram(seed, options);
        if (!r.kind.empty()) keepFailure(seed, r.kind, r.details, options);
        std::fprintf(report, "done %" PRIu64 " %" PRIu64 " %" PRIu64 " %d %s\n", i, r.instructions,
                     r.viInterrupts, r.halted ? 1 : 0, r.kind.empty() ? "-" : r.kind.c_str());
        std::fflush(report);
    }
    std::fclose(report);
    std::exit(0);
}

// User and system CPU time of a child process so far, from /proc.
double childCpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    // Fields from the state on: utime and stime are the 12th and 13th.
    for (int n = 1; n <= 13 && fields >> field; ++n) {
        if (n == 12) user = std::strtoull(field.c_str(), nullptr, 10);
        if (n == 13) system = std::strtoull(field.c_str(), nullptr, 10);
    }
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

namespace {

// Words of the complete machine's table that its cores carry out: neither
// missing nor among those reported when compiled (the formats and
// conditions a core does not have).
bool availableOnCompleteMachine(uint32_t word) {
    const uint8_t shape = completeInstructionTable[instructionIndex(word)].shape;
    return (shape & (SHAPE_MISSING | SHAPE_REPORTS)) == 0;
}
bool availableOnDesignMachine(uint32_t word) {
    const uint8_t shape = instructionTable[instructionIndex(word)].shape;
    return (shape & (SHAPE_MISSING | SHAPE_REPORTS)) == 0;
}

} // namespace

GeneratorOptions generatorOptions(const CampaignOptions& options) {
    GeneratorOptions g;
    g.completeMachine = options.completeMachine;
    if (options.availableOnly)
        g.accept = options.completeMachine ? availableOnCompleteMachine : availableOnDesignMachine;
    return g;
}

uint64_t CampaignFigures::failureCount() const {
    uint64_t n = 0;
    for (const auto& [kind, count] : failures)
        n += count;
    return n;
}

CampaignFigures runCampaign(const CampaignOptions& options, FILE* out) {
    CampaignFigures figures;
    const auto start = std::chrono::steady_clock::now();
    const std::string childErrors = options.workDirectory + "/child-stderr.txt";
    // A program of one core gets its time bound in CPU time. The child is
    // taken to hang when it has spent more CPU time than a program's two
    // bounded runs and their set-up can take without answering, or when it
    // spends next to none for a long wall time (stuck). A busy host, which
    // gives the child only a small share of a core, is neither.
    const double cpuWatchdog = 4 * options.timeBound + 60;
    const auto stuckAfter = std::chrono::seconds(int(40 * options.timeBound + 60));
    uint64_t next = 0;
    while (next < options.programs) {
        int fds[2];
        if (pipe(fds) != 0) {
            std::fprintf(out, "campaign: no pipe: %s\n", std::strerror(errno));
            break;
        }
        std::fflush(out);
        const pid_t child = fork();
        if (child < 0) {
            std::fprintf(out, "campaign: fork failed: %s\n", std::strerror(errno));
            close(fds[0]);
            close(fds[1]);
            break;
        }
        if (child == 0) {
            close(fds[0]);
            if (FILE* err = std::freopen(childErrors.c_str(), "w", stderr)) (void)err;
            childRuns(next, options, fds[1]);
        }
        close(fds[1]);
        FILE* in = fdopen(fds[0], "r");
        int64_t running = -1;
        bool hung = false;
        char line[512];
        auto answeredAt = std::chrono::steady_clock::now();
        double cpuAtAnswer = childCpuSeconds(child);
        for (;;) {
            pollfd p{fds[0], POLLIN, 0};
            const int ready = poll(&p, 1, 5000);
            if (ready == 0) {
                const double spent = childCpuSeconds(child) - cpuAtAnswer;
                const bool stuck =
                    std::chrono::steady_clock::now() - answeredAt > stuckAfter && spent < 1.0;
                if (spent > cpuWatchdog || stuck) {
                    hung = true;
                    kill(child, SIGKILL);
                    break;
                }
                continue;
            }
            if (ready < 0 && errno == EINTR) continue;
            if (!std::fgets(line, sizeof line, in)) break;
            answeredAt = std::chrono::steady_clock::now();
            cpuAtAnswer = childCpuSeconds(child);
            uint64_t index, instructions, vis;
            int halted;
            char kind[256];
            if (std::sscanf(line, "start %" SCNu64, &index) == 1) {
                running = int64_t(index);
            } else if (std::sscanf(line, "done %" SCNu64 " %" SCNu64 " %" SCNu64 " %d %255[^\n]",
                                   &index, &instructions, &vis, &halted, kind) == 5) {
                running = -1;
                next = index + 1;
                ++figures.programs;
                figures.instructions += instructions;
                figures.viInterrupts += vis;
                figures.halted += halted != 0;
                if (std::strcmp(kind, "-") != 0) {
                    ++figures.failures[kind];
                    std::fprintf(out, "seed %" PRIu64 ": %s\n", options.firstSeed + index, kind);
                }
                if (figures.programs % 250 == 0)
                    std::fprintf(out,
                                 "%" PRIu64 " programs run, %" PRIu64 " instructions, %" PRIu64
                                 " vertical interrupts, %" PRIu64 " halted, %" PRIu64 " failures\n",
                                 figures.programs, figures.instructions, figures.viInterrupts,
                                 figures.halted, figures.failureCount());
                std::fflush(out);
            }
        }
        std::fclose(in);
        int status = 0;
        waitpid(child, &status, 0);
        const bool clean = !hung && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (clean) continue;
        std::string kind;
        if (hung)
            kind = "hang";
        else if (WIFSIGNALED(status) && WTERMSIG(status) != SIGABRT)
            kind = "crash";
        else
            kind = "sanitizer report or abort";
        std::vector<std::string> details{
            "child process: " + (hung ? std::string("no answer within the watchdog")
                                 : WIFSIGNALED(status)
                                     ? "signal " + std::to_string(WTERMSIG(status))
                                     : "exit status " + std::to_string(WEXITSTATUS(status)))};
        details.push_back(readAll(childErrors));
        if (running < 0) {
            // Nothing was running: the child failed on its way out (a leak report).
            ++figures.failures[kind + " at exit"];
            std::fprintf(out, "campaign: the child failed after its programs (%s)\n%s",
                         kind.c_str(), details.back().c_str());
            break;
        }
        const uint64_t seed = options.firstSeed + uint64_t(running);
        ++figures.programs;
        ++figures.failures[kind];
        keepFailure(seed, kind, details, options);
        std::fprintf(out, "seed %" PRIu64 ": %s\n", seed, kind.c_str());
        next = uint64_t(running) + 1;
    }
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return figures;
}

bool replayProgram(uint64_t seed, const CampaignOptions& options, FILE* out) {
    const ProgramResult r = runProgram(seed, options, true);
    std::fprintf(out,
                 "seed %" PRIu64 ": %s; %" PRIu64 " instructions, %" PRIu64
                 " vertical interrupts on both cores\n",
                 seed, r.kind.empty() ? "the cores agree" : r.kind.c_str(), r.instructions,
                 r.viInterrupts);
    for (const std::string& line : r.details)
        std::fprintf(out, "  %s\n", line.c_str());
    std::fprintf(out, "The recompiler's messages and log:\n");
    for (const std::string& line : r.shown)
        std::fprintf(out, "  | %s\n", line.c_str());
    if (!r.kind.empty()) {
        keepFailure(seed, r.kind, r.details, options);
        std::fprintf(out, "image: %s\n", imagePath(options.failureDirectory, seed).c_str());
    }
    return r.kind.empty();
}

void printFigures(const CampaignFigures& f, FILE* out) {
    std::fprintf(out, "Programs run:           %" PRIu64 "\n", f.programs);
    std::fprintf(out, "Instructions executed:  %" PRIu64 " (both cores)\n", f.instructions);
    std::fprintf(out, "Vertical interrupts:    %" PRIu64 " (both cores)\n", f.viInterrupts);
    std::fprintf(out, "Halted before the end:  %" PRIu64 "\n", f.halted);
    std::fprintf(out, "Wall time:              %.1f s\n", f.seconds);
    std::fprintf(out, "Failures:               %" PRIu64 "\n", f.failureCount());
    for (const auto& [kind, count] : f.failures)
        std::fprintf(out, "  %-28s %" PRIu64 "\n", kind.c_str(), count);
}

} // namespace campaign
