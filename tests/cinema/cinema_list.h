// The list of regression runs and their baselines: one line per run, what to
// run (a ROM image, for how many vertical interrupts, with which options)
// before a "|", the hashes it gave when last accepted after it.
//
//   # comment
//   NAME SOURCE FRAMES [OPTION...] | end=HOW [picture=HEX] [sound=HEX] [memory=HEX]
//
// SOURCE is "demo" (the runner's built-in demo), "shared/FILE" (a test ROM of
// the shared folder) or "program/PATH" (the guest program of a test source
// file, PATH relative to the source tree). Options: "checks=picture,sound,memory"
// (which hashes are kept; default picture), "input=PATH" (a controller script
// for controller 1), "hle" (with a symbol file naming the program's labels),
// "dma-boot" (the program's image boots by PI DMA), "machine=complete" (the
// complete machine; without it a run has the design machine).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace cinema {

struct CinemaRun {
    std::string name;
    std::string source;
    uint64_t frames = 0;
    std::vector<std::string> options; // as written
    std::vector<std::string> checks;  // "picture", "sound", "memory"
    std::string input;                // controller script, relative to the source tree
    bool hle = false;
    bool dmaBoot = false;
    bool completeMachine = false;
    // The accepted results: "end" and one entry per check; empty before the
    // first baseline.
    std::map<std::string, std::string> baseline;
};

struct CinemaList {
    // The file's lines, kept to be written back; runs refer to them by index.
    std::vector<std::string> lines;
    std::vector<CinemaRun> runs;
    std::vector<size_t> runLine; // index into `lines` of each run
};

// Reads the list; false with `error` naming the first bad line.
bool parseCinemaList(const std::string& text, CinemaList& list, std::string& error);
// The run's line with `results` as its baseline.
std::string formatRunLine(const CinemaRun& run, const std::map<std::string, std::string>& results);
// The whole file, each run's line replaced by its entry in `newLines`.
std::string formatCinemaList(const CinemaList& list, const std::vector<std::string>& newLines);

} // namespace cinema
