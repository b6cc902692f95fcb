#include "core_comparison.h"

#include <time.h>

#include <atomic>
#include <chrono>
#include <cinttypes>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>
#include <tuple>

#include "core/memory.h"

namespace campaign {

namespace {

// Log lines about the code cache come from the recompiler alone.
bool coreSpecificLogLine(const std::string& line) {
    return line.find("every translated block discarded") != std::string::npos ||
           line.find("does not fit in the code cache") != std::string::npos;
}

std::string readLog(const std::string& path) {
    std::string text;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (!coreSpecificLogLine(line)) text += line + "\n";
    return text;
}

// Line `n` (from 0) of a text, "(end)" past its end.
std::string lineOf(const std::string& text, size_t n) {
    size_t start = 0;
    for (; n > 0; --n) {
        start = text.find('\n', start);
        if (start == std::string::npos) return "(end)";
        ++start;
    }
    if (start >= text.size()) return "(end)";
    return text.substr(start, text.find('\n', start) - start);
}

std::string hex64(uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016" PRIX64, v);
    return text;
}

template <typename T>
void differ(std::vector<std::string>& out, const char* kind, const std::string& what, T recompiler,
            T interpreter) {
    if (recompiler == interpreter) return;
    out.push_back(std::string(kind) + ": " + what + " recompiler " + hex64(uint64_t(recompiler)) +
                  ", interpreter " + hex64(uint64_t(interpreter)));
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Ends the run as at its time limit once this process has spent `bound`
// seconds of CPU time on it: a time bound that holds however loaded the host
// is. A wall-time limit of many times the bound stays as a backstop.
class CpuTimeBound {
  public:
    explicit CpuTimeBound(double bound) : start_(processCpuSeconds()), bound_(bound) {
        runnerInterrupted = false;
        watcher_ = std::thread([this] {
            std::unique_lock lock(mutex_);
            while (!stop_) {
                if (processCpuSeconds() - start_ > bound_) {
                    runnerInterrupted = true;
                    return;
                }
                wake_.wait_for(lock, std::chrono::milliseconds(50));
            }
        });
    }
    ~CpuTimeBound() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        watcher_.join();
        runnerInterrupted = false;
    }

  private:
    double start_, bound_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread watcher_;
};

} // namespace

uint64_t hashBytes(const uint8_t* bytes, size_t size) {
    uint64_t h = 0xCBF29CE484222325ull ^ size;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t v;
        std::memcpy(&v, bytes + i, 8);
        h = (h ^ v) * 0x100000001B3ull;
        h ^= h >> 29;
    }
    for (; i < size; ++i)
        h = (h ^ bytes[i]) * 0x100000001B3ull;
    return h;
}

CoreOutcome runOnCore(const std::string& romPath, CpuCore core, MachineMode machine,
                      uint64_t frames, double timeBound, const std::string& logDirectory,
                      bool keepMemory) {
    RunnerOptions options;
    options.romPath = romPath;
    options.cpuCore = core;
    options.machineMode = machine;
    options.frames = frames;
    options.seconds = 20 * timeBound;
    options.logDirectory = logDirectory;
    CoreOutcome outcome;
    FILE* quiet = std::fopen("/dev/null", "w");
    {
        CpuTimeBound bound(timeBound);
        outcome.report = runEmulation(options, quiet ? quiet : stderr);
    }
    if (quiet) std::fclose(quiet);

    // The session leaves the machine as the run ended.
    outcome.cpu = theCpu;
    std::memcpy(outcome.tlb, tlb, sizeof tlb);
    if (theMemory.rdram) outcome.rdramHash = hashBytes(theMemory.rdram, RDRAM_SIZE);
    if (theMemory.hwRegs) outcome.deviceHash = hashBytes(theMemory.hwRegs, HW_REGS_SIZE);
    outcome.pifHash = hashBytes(theMemory.pifRamOut, PIF_RAM_SIZE) ^
                      (hashBytes(theMemory.pifRamIn, PIF_RAM_SIZE) << 1);
    if (keepMemory && theMemory.rdram) {
        outcome.rdram.assign(theMemory.rdram, theMemory.rdram + RDRAM_SIZE);
        if (theMemory.hwRegs)
            outcome.devices.assign(theMemory.hwRegs, theMemory.hwRegs + HW_REGS_SIZE);
        outcome.pif.assign(theMemory.pifRamOut, theMemory.pifRamOut + PIF_RAM_SIZE);
        outcome.pif.insert(outcome.pif.end(), theMemory.pifRamIn,
                           theMemory.pifRamIn + PIF_RAM_SIZE);
    }
    outcome.log = readLog(logDirectory + "/CAMPAIGN.main.log");
    return outcome;
}

std::vector<std::string> compareOutcomes(const CoreOutcome& a, const CoreOutcome& b) {
    std::vector<std::string> out;
    const RunReport &ra = a.report, &rb = b.report;
    differ(out, "end", "exit status", ra.exitStatus, rb.exitStatus);
    differ(out, "end", "halted", ra.halted, rb.halted);
    differ(out, "end", "time bound passed", ra.timeLimit, rb.timeLimit);
    differ(out, "end", "vertical interrupts", ra.viInterrupts, rb.viInterrupts);
    differ(out, "end", "instructions", ra.instructions, rb.instructions);

    for (unsigned n = 0; n < 32; ++n)
        differ(out, "registers", gprNames[n], a.cpu.gpr[n].value(), b.cpu.gpr[n].value());
    differ(out, "registers", "hi", a.cpu.hi.value(), b.cpu.hi.value());
    differ(out, "registers", "lo", a.cpu.lo.value(), b.cpu.lo.value());
    differ(out, "registers", "pc", a.cpu.pc, b.cpu.pc);
    for (unsigned n = 0; n < 32; ++n)
        differ(out, "registers", std::string("cop0 ") + cop0Names[n], a.cpu.cop0[n], b.cpu.cop0[n]);
    for (unsigned n = 0; n < 32; ++n)
        differ(out, "registers", "f" + std::to_string(n), a.cpu.fpr[n], b.cpu.fpr[n]);
    differ(out, "registers", "fcr31", a.cpu.fcr31, b.cpu.fcr31);
    for (unsigned n = 0; n < TLB_ENTRIES; ++n)
        if (std::memcmp(&a.tlb[n], &b.tlb[n], sizeof(TlbEntry)) != 0)
            out.push_back("registers: TLB entry " + std::to_string(n));

    differ(out, "memory", "RDRAM hash", a.rdramHash, b.rdramHash);
    differ(out, "memory", "device hash", a.deviceHash, b.deviceHash);
    differ(out, "memory", "PIF RAM hash", a.pifHash, b.pifHash);
    // With the memories kept: the first differing words (host-order words at
    // offsets from the start of each block: RDRAM at physical 0, the devices
    // at 0x04000000; PIF RAM's output half, then its input half).
    for (const auto& [name, x, y] :
         {std::tuple{"RDRAM", &a.rdram, &b.rdram}, std::tuple{"device", &a.devices, &b.devices},
          std::tuple{"PIF RAM", &a.pif, &b.pif}}) {
        unsigned shown = 0;
        for (size_t i = 0; i + 4 <= x->size() && i + 4 <= y->size() && shown < 8; i += 4) {
            uint32_t u, v;
            std::memcpy(&u, x->data() + i, 4);
            std::memcpy(&v, y->data() + i, 4);
            if (u == v) continue;
            char offset[16];
            std::snprintf(offset, sizeof offset, "0x%zX", i);
            differ(out, "memory", std::string(name) + " word at " + offset, u, v);
            ++shown;
        }
    }

    if (ra.messages != rb.messages) {
        const size_t n = std::max(ra.messages.size(), rb.messages.size());
        for (size_t i = 0; i < n; ++i) {
            const std::string x = i < ra.messages.size() ? ra.messages[i] : "(none)";
            const std::string y = i < rb.messages.size() ? rb.messages[i] : "(none)";
            if (x != y)
                out.push_back("messages: #" + std::to_string(i) + " recompiler \"" + x +
                              "\", interpreter \"" + y + "\"");
        }
    }
    if (a.log != b.log) {
        // One pass to the first differing byte, counting the lines before it
        // (logs of many megabytes are compared).
        size_t at = 0, line = 0;
        while (at < a.log.size() && at < b.log.size() && a.log[at] == b.log[at])
            if (a.log[at++] == '\n') ++line;
        out.push_back("log: first difference at line " + std::to_string(line + 1) +
                      ": recompiler \"" + lineOf(a.log, line) + "\", interpreter \"" +
                      lineOf(b.log, line) + "\"");
    }
    return out;
}

} // namespace campaign
