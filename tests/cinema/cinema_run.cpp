#include "cinema_run.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>

#include "core/memory.h"
#include "romkit/romkit.h"
#include "runner.h"
#include "support/guest_program.h"
#include "support/test_machine.h"

namespace cinema {

namespace {

namespace fs = std::filesystem;

// FNV-1a over a byte range, as 16 hex digits.
std::string hashHex(const uint8_t* bytes, size_t size) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (size_t i = 0; i < size; ++i)
        h = (h ^ bytes[i]) * 0x100000001B3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, h);
    return text;
}

std::string fileHash(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!fs::exists(path) || !romkit::readFile(path, bytes) || bytes.empty()) return "none";
    return hashHex(bytes.data(), bytes.size());
}

// A symbol file naming every label of the program.
std::string symbolFile(const GuestProgram& program) {
    std::string text = "; Generated for a regression run\n";
    for (const auto& [name, address] : program.symbols) {
        char line[160];
        std::snprintf(line, sizeof line, "f %08X %s\n", address, name.c_str());
        text += line;
    }
    return text;
}

} // namespace

bool prepareImage(const CinemaRun& run, const CinemaPaths& paths, std::string& image, bool& skip,
                  std::string& why) {
    skip = false;
    image.clear();
    if (run.source == "demo") return true;
    if (run.source.rfind("shared/", 0) == 0) {
        image = sharedRom(run.source.substr(7));
        if (image.empty() || !fs::exists(image)) {
            skip = true;
            why = "the shared test ROMs are absent";
            return false;
        }
        return true;
    }
    // program/PATH
    if (!guestToolsAvailable()) {
        skip = true;
        why = "the MIPS cross tools are not installed";
        return false;
    }
    // program/PATH names a guest program's assembly file, linked as the tests
    // link it.
    const std::string sourcePath = paths.sourceDir + "/" + run.source.substr(8);
    const std::string program = readTextFile(sourcePath);
    if (program.empty()) {
        why = sourcePath + " cannot be read";
        return false;
    }
    GuestProgram assembled;
    if (!assembleGuestProgram(program, GUEST_LOAD_ADDRESS, assembled, &why)) return false;
    romkit::RomOptions options;
    if (run.dmaBoot) options.bootCopy = romkit::BootCopy::PiDma;
    image = writeGuestRom(assembled, paths.workDir, run.name, options,
                          run.hle ? symbolFile(assembled) : "");
    if (image.empty()) why = "the image could not be written";
    return !image.empty();
}

CinemaResult runOnCore(const CinemaRun& run, const std::string& image, CpuCore core,
                       const CinemaPaths& paths) {
    const std::string stem = paths.workDir + "/" + run.name +
                             (core == CpuCore::Recompiler ? "-recompiler" : "-interpreter");
    CinemaResult result;
    RunnerOptions o;
    o.romPath = image;
    o.cpuCore = core;
    o.frames = run.frames;
    o.hle = run.hle;
    o.machineMode = run.completeMachine ? MachineMode::Complete : MachineMode::Design;
    o.logDirectory = paths.workDir;
    o.padLibrary = paths.padLibrary;
    if (!run.input.empty()) o.inputScript = paths.sourceDir + "/" + run.input;
    result.picturePath = stem + ".png";
    o.screenshotPath = result.picturePath;
    result.soundPath = stem + ".wav";
    o.wavPath = result.soundPath;
    std::error_code error;
    fs::remove(result.picturePath, error);
    fs::remove(result.soundPath, error);

    FILE* out = std::tmpfile();
    const RunReport report = runEmulation(o, out ? out : stderr);
    if (out) {
        std::rewind(out);
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, out)) > 0)
            result.output.append(buffer, n);
        std::fclose(out);
    }

    std::string end = report.halted       ? "halt"
                      : report.wentIdle   ? "idle"
                      : report.frameLimit ? "frames"
                      : report.timeLimit  ? "time"
                                          : "failed";
    result.values["end"] = end + ":" + std::to_string(report.viInterrupts);
    for (const std::string& check : run.checks) {
        if (check == "picture")
            result.values[check] = fileHash(result.picturePath);
        else if (check == "sound")
            result.values[check] = fileHash(result.soundPath);
        else if (check == "memory")
            result.values[check] =
                theMemory.rdram ? hashHex(theMemory.rdram, RDRAM_SIZE) : std::string("none");
    }
    return result;
}

} // namespace cinema
