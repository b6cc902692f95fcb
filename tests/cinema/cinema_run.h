// One regression run on one CPU core through the headless runner: the image
// made ready, the run, and its results as hashes.
#pragma once

#include <map>
#include <string>

#include "cinema_list.h"
#include "cpu/cpu_core.h"

namespace cinema {

struct CinemaPaths {
    std::string sourceDir;  // the source tree, for program/ sources and inputs
    std::string workDir;    // scratch folder of images, pictures, sounds, logs
    std::string padLibrary; // the scripted pad plug-in
};

// The image a run's source stands for, written into the work folder; "" for
// the built-in demo. False, with `why`, when the run cannot be made ready; a
// run that must be skipped (its shared ROM or the cross tools are absent)
// sets `skip` too.
bool prepareImage(const CinemaRun& run, const CinemaPaths& paths, std::string& image, bool& skip,
                  std::string& why);

struct CinemaResult {
    std::map<std::string, std::string> values; // "end" and every check
    std::string picturePath;                   // the screenshot, when one was taken
    std::string soundPath;                     // the WAV, when one was written
    std::string output;                        // the runner's output
};

CinemaResult runOnCore(const CinemaRun& run, const std::string& image, CpuCore core,
                       const CinemaPaths& paths);

} // namespace cinema
