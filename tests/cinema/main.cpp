// orvex-cinema: the regression runs. Each run of the list is made on both CPU
// cores through the headless runner; its results must agree between the
// cores and with the baseline in the list.
//   orvex-cinema --list FILE --source-dir DIR [--failures DIR]
//                [--pad-library FILE] [--only NAME] [--rebaseline]
// With --rebaseline the list is written back with the results of every run
// whose cores agree. Pictures and sounds of failing runs are copied to the
// failure folder.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "cinema_list.h"
#include "cinema_run.h"
#include "support/test_machine.h"

namespace {

namespace fs = std::filesystem;
using namespace cinema;

struct Arguments {
    std::string list, sourceDir, failures = "cinema-failures", padLibrary, only;
    bool rebaseline = false;
};

bool parseArguments(int argc, char** argv, Arguments& a) {
    const std::map<std::string, std::string Arguments::*> values = {
        {"--list", &Arguments::list},
        {"--source-dir", &Arguments::sourceDir},
        {"--failures", &Arguments::failures},
        {"--pad-library", &Arguments::padLibrary},
        {"--only", &Arguments::only}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = values.find(arg);
        if (arg == "--rebaseline")
            a.rebaseline = true;
        else if (value != values.end() && i + 1 < argc)
            a.*(value->second) = argv[++i];
        else
            return false;
    }
    return !a.list.empty() && !a.sourceDir.empty();
}

std::string describe(const std::map<std::string, std::string>& values) {
    std::string text;
    for (const auto& [key, value] : values)
        text += " " + key + "=" + value;
    return text;
}

// Keeps what a failing run produced.
void keepOutputs(const CinemaResult& r, const std::string& failures) {
    std::error_code error;
    fs::create_directories(failures, error);
    for (const std::string& path : {r.picturePath, r.soundPath})
        if (fs::exists(path))
            fs::copy_file(path, failures + "/" + fs::path(path).filename().string(),
                          fs::copy_options::overwrite_existing, error);
    std::ofstream(failures + "/" + fs::path(r.picturePath).stem().string() + ".txt") << r.output;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!parseArguments(argc, argv, args)) {
        std::fprintf(stderr, "usage: orvex-cinema --list FILE --source-dir DIR [--failures DIR] "
                             "[--pad-library FILE] [--only NAME] [--rebaseline]\n");
        return 1;
    }
    CinemaList list;
    std::string error;
    if (!parseCinemaList(readTextFile(args.list), list, error) || list.runs.empty()) {
        std::fprintf(stderr, "orvex-cinema: %s: %s\n", args.list.c_str(),
                     error.empty() ? "no runs" : error.c_str());
        return 1;
    }
    CinemaPaths paths;
    paths.sourceDir = args.sourceDir;
    paths.padLibrary = args.padLibrary;
    paths.workDir =
        (fs::temp_directory_path() / ("orvex-cinema-" + std::to_string(getpid()))).string();
    fs::create_directories(paths.workDir);

    std::vector<std::string> newLines;
    unsigned passed = 0, failed = 0, skipped = 0;
    for (const CinemaRun& run : list.runs) {
        newLines.push_back(list.lines[list.runLine[newLines.size()]]);
        if (!args.only.empty() && run.name != args.only) continue;
        std::string image, why;
        bool skip = false;
        if (!prepareImage(run, paths, image, skip, why)) {
            std::printf("%-24s %s: %s\n", run.name.c_str(), skip ? "skipped" : "FAILED",
                        why.c_str());
            (skip ? skipped : failed)++;
            continue;
        }
        const CinemaResult a = runOnCore(run, image, CpuCore::Recompiler, paths);
        const CinemaResult b = runOnCore(run, image, CpuCore::Interpreter, paths);
        if (a.values != b.values) {
            std::printf("%-24s FAILED: the cores disagree\n  recompiler: %s\n  interpreter:%s\n",
                        run.name.c_str(), describe(a.values).c_str(), describe(b.values).c_str());
            keepOutputs(a, args.failures);
            keepOutputs(b, args.failures);
            ++failed;
            continue;
        }
        if (args.rebaseline) {
            if (a.values != run.baseline)
                std::printf("%-24s new baseline:%s\n", run.name.c_str(),
                            describe(a.values).c_str());
            newLines.back() = formatRunLine(run, a.values);
            ++passed;
            continue;
        }
        if (a.values != run.baseline) {
            std::printf("%-24s FAILED: differs from its baseline\n  baseline:%s\n  now:     %s\n",
                        run.name.c_str(), describe(run.baseline).c_str(),
                        describe(a.values).c_str());
            keepOutputs(a, args.failures);
            ++failed;
            continue;
        }
        std::printf("%-24s ok%s\n", run.name.c_str(), describe(a.values).c_str());
        ++passed;
    }
    std::error_code ignored;
    fs::remove_all(paths.workDir, ignored);

    if (args.rebaseline) {
        std::ofstream(args.list) << formatCinemaList(list, newLines);
        std::printf("%s rewritten\n", args.list.c_str());
    }
    std::printf("%u runs passed, %u failed, %u skipped%s\n", passed, failed, skipped,
                failed ? ("; pictures and sounds in " + args.failures).c_str() : "");
    return failed == 0 ? 0 : 1;
}
