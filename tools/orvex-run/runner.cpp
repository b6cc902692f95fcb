#include "runner.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/log.h"
#include "base/regular_file.h"
#include "core/rom_file.h"
#include "gfx/egl_offscreen_surface.h"
#include "host/paced_sound_backend.h"
#include "host/recording_frame_presenter.h"
#include "host/wav_sound_backend.h"
#include "hw/audio_output.h"
#include "plugins/controller_plugin.h"
#include "rom_check.h"
#include "romkit/romkit.h"
#include "rsp/display_list_state.h"
#include "runner_host.h"
#include "runner_states.h"
#include "system/emulation_session.h"
#include "system/machine_choice.h"
#include "system/rom_loading.h"
#include "system/run_control.h"
#include "system/speed_limiter.h"
#include "video/frame_capture.h"
#include "video/gl_context.h"
#include "video/png_writer.h"

extern const unsigned char orvexDemoRom[];
extern const unsigned long orvexDemoRom_size;

std::atomic<bool> runnerInterrupted{false};
std::atomic<bool> runnerRunning{false};

namespace {

namespace fs = std::filesystem;

// Vertical interrupts per second of guest time (NTSC).
constexpr double GUEST_VI_RATE = 60.0;
constexpr auto CONTROL_POLL = std::chrono::milliseconds(20);

bool parseCount(const std::string& text, uint64_t& value) {
    if (text.empty() || text[0] == '-') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text.c_str(), &end, 10);
    return errno == 0 && *end == 0;
}

bool parseSeconds(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == 0 && value > 0.0 && value < 1e9;
}

const char* byteOrderName(RomByteOrder order) {
    switch (order) {
    case RomByteOrder::BigEndian:
        return "big-endian";
    case RomByteOrder::ByteSwapped:
        return "byte-swapped";
    default:
        return "not an image";
    }
}

void printHeader(FILE* out, const std::string& shownPath, RomByteOrder order) {
    const uint8_t* h = theRom.header;
    const char country = romHeaderCountry(h);
    std::fprintf(out, "ROM:        %s\n", shownPath.c_str());
    std::fprintf(out, "Name:       \"%.20s\"\n", romHeaderName(h));
    std::fprintf(out, "Country:    %c\n", country >= 0x20 && country < 0x7F ? country : '?');
    std::fprintf(out, "CRC 1:      0x%08X\n", romHeaderWord(h, 0x10));
    std::fprintf(out, "CRC 2:      0x%08X\n", romHeaderWord(h, 0x14));
    std::fprintf(out, "Size:       %u bytes\n", theRom.romSize);
    std::fprintf(out, "Byte order: %s\n", byteOrderName(order));
    std::fflush(out);
}

// The run's title (and log name): the internal name without trailing blanks,
// or the file's stem when it has none; characters unfit for a file name are
// replaced.
std::string runTitle(const std::string& path) {
    std::string name(romHeaderName(theRom.header), strnlen(romHeaderName(theRom.header), 20));
    while (!name.empty() && (name.back() == ' ' || name.back() == 0))
        name.pop_back();
    if (name.empty()) name = fs::path(path).stem().string();
    for (char& c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    return name.empty() ? "ROM" : name;
}

std::string programDirectory() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

// Puts the scripted pad into controller 1, the other controllers left out, and
// gives it the script. The user's own plug-in choice is neither used nor
// changed.
bool plugScriptedPad(const RunnerOptions& options, FILE* out) {
    const std::string library = findScriptedPad(options.padLibrary);
    if (library.empty()) {
        std::fprintf(out, "orvex-run: the scripted pad plug-in (scripted_pad.so) was not found; "
                          "name it with --pad-library\n");
        return false;
    }
    // The script must be a readable regular file: a FIFO would block the
    // plug-in's reading for ever.
    FileProblem problem = FileProblem::None;
    uint64_t size = 0;
    const int fd = openRegularFile(options.inputScript.c_str(), problem, size);
    if (fd < 0) {
        std::fprintf(out, "orvex-run: the input script %s %s\n", options.inputScript.c_str(),
                     fileProblemText(problem));
        return false;
    }
    ::close(fd);
    const std::string absolute = fs::absolute(library).string();
    ControllerChoices choices;
    choices[0] = {true, absolute};
    for (int number = 2; number <= CONTROLLER_SLOT_COUNT; ++number)
        choices[number - 1] = {false, std::nullopt};
    loadControllerPlugins(choices);
    CControllerPlugin& slot = controllerSlots[0];
    using SetScript = int (*)(const char*);
    auto setScript = reinterpret_cast<SetScript>(slot.getFunction("scriptedPadSetScript"));
    if (!slot.enabled || !setScript) {
        std::fprintf(out, "orvex-run: %s is not the scripted pad plug-in\n", absolute.c_str());
        return false;
    }
    // The plug-in has reported what is wrong with a script it cannot use.
    if (!setScript(fs::absolute(options.inputScript).c_str())) {
        std::fprintf(out, "orvex-run: the input script %s cannot be used\n",
                     options.inputScript.c_str());
        return false;
    }
    return true;
}

// The last frame the display-list renderer swapped, as RGB rows.
bool writeGlScreenshot(const std::string& path, FILE* out) {
    const GlContext& gl = theGlContext;
    if (gl.frame.empty()) return false;
    std::vector<uint8_t> rgb;
    rgb.reserve(gl.frame.size() * 3);
    for (const uint32_t pixel : gl.frame) {
        rgb.push_back(uint8_t(pixel >> 16));
        rgb.push_back(uint8_t(pixel >> 8));
        rgb.push_back(uint8_t(pixel));
    }
    if (writePng(path, gl.frameWidth, gl.frameHeight, 3, rgb))
        std::fprintf(out, "Screenshot: %s (%ux%u, OpenGL frame)\n", path.c_str(), gl.frameWidth,
                     gl.frameHeight);
    else
        std::fprintf(out, "Screenshot: %s could not be written\n", path.c_str());
    return true;
}

// The last presented frame: the renderer's once a graphics task has swapped
// one, otherwise the guest frame buffer.
void writeScreenshot(const std::string& path, FILE* out) {
    if (writeGlScreenshot(path, out)) return;
    const GuestImage image = captureShownFrame();
    if (image.pixels.empty()) {
        std::fprintf(out, "No guest frame to capture (width %u)\n", image.width);
        return;
    }
    if (writePng(path, image.width, image.height, image.channels, image.pixels))
        std::fprintf(out, "Screenshot: %s (%ux%u, %u-bit guest pixels)\n", path.c_str(),
                     image.width, image.height, image.guestBitsPerPixel);
    else
        std::fprintf(out, "Screenshot: %s could not be written\n", path.c_str());
}

void printFigures(const RunReport& r, FILE* out) {
    const double seconds = r.seconds > 0.0 ? r.seconds : 0.0;
    std::fprintf(out, "Vertical interrupts:    %llu\n",
                 static_cast<unsigned long long>(r.viInterrupts));
    std::fprintf(out, "Guest instructions:     %llu\n",
                 static_cast<unsigned long long>(r.instructions));
    std::fprintf(out, "Wall time:              %.3f s\n", seconds);
    std::fprintf(out, "VI per second:          %.1f\n",
                 seconds > 0.0 ? double(r.viInterrupts - r.viAtStart) / seconds : 0.0);
    std::fprintf(out, "Instructions per second: %.0f\n",
                 seconds > 0.0 ? double(r.instructions - r.instructionsAtStart) / seconds : 0.0);
    std::fprintf(out, "GFX frames:             %llu\n",
                 static_cast<unsigned long long>(r.gfxFrames));
    const char* end = r.halted       ? "the guest halted the emulation"
                      : r.wentIdle   ? "the guest went idle"
                      : r.frameLimit ? "frame limit reached"
                                     : "time limit reached";
    std::fprintf(out, "End:                    %s\n", end);
    std::fflush(out);
}

// The demo image as a file, for the loader; removed when the run is over.
class DemoImageFile {
  public:
    DemoImageFile() {
        char pattern[] = "/tmp/orvex-demo-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd < 0) return;
        ::close(fd);
        const std::vector<uint8_t> demo(orvexDemoRom, orvexDemoRom + orvexDemoRom_size);
        if (romkit::writeFile(pattern, demo))
            path_ = pattern;
        else
            std::remove(pattern);
    }
    ~DemoImageFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

void printUsage(FILE* out) {
    std::fprintf(out,
                 "usage: orvex-run [options] [ROM]\n"
                 "Runs a ROM image (the built-in demo when none is given) without a window.\n"
                 "  --frames N            stop after N vertical interrupts\n"
                 "  --seconds S           stop after S seconds of wall time\n"
                 "  --until-idle          stop when the guest first waits in an idle loop\n"
                 "  --limit               run at the console's speed (60 or 50 frames a second)\n"
                 "  --screenshot FILE.png write the guest frame at the end as a PNG\n"
                 "  --wav FILE            record the audio as a WAV file\n"
                 "  --log-dir DIR         folder of the run's log (default: working directory)\n"
                 "  --input FILE          play a controller script in controller 1\n"
                 "  --pad-library FILE    the scripted pad plug-in (default: beside orvex-run)\n"
                 "  --hle                 use native replacements of guest library routines\n"
                 "  --nice-fb             convert the frame-buffer pixels for display\n"
                 "  --answer yes|no       how questions are answered (default: yes)\n"
                 "  --cpu recompiler|interpreter  the CPU core (default: recompiler)\n"
                 "  --machine complete|design     the whole processor, or only the\n"
                 "                        instructions of the original design (default: complete)\n"
                 "  --save-state FILE --at N  write a saved state after N vertical interrupts\n"
                 "                        (the run goes on to its limit)\n"
                 "  --load-state FILE     start from a saved state of this ROM; --frames and\n"
                 "                        --at count on from where it was taken\n"
                 "  --help, --version\n"
                 "Exit status: 0 when a limit was reached, 3 when the emulation halted,\n"
                 "1 for bad usage, a ROM image or saved state that cannot be loaded, or a\n"
                 "saved state that was not written.\n");
}

CommandLine parseCommandLine(const std::vector<std::string>& args, RunnerOptions& o,
                             std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") return CommandLine::Help;
        if (a == "--version") return CommandLine::Version;
        if (a == "--hle") {
            o.hle = true;
        } else if (a == "--nice-fb") {
            o.niceFrameBuffer = true;
        } else if (a == "--until-idle") {
            o.untilIdle = true;
        } else if (a == "--limit") {
            o.limitSpeed = true;
        } else if (a == "--frames") {
            if (!value(v)) return CommandLine::Invalid;
            if (!parseCount(v, o.frames) || o.frames == 0) {
                error = "--frames needs a positive whole number, not \"" + v + "\"";
                return CommandLine::Invalid;
            }
        } else if (a == "--seconds") {
            if (!value(v)) return CommandLine::Invalid;
            if (!parseSeconds(v, o.seconds)) {
                error = "--seconds needs a positive number, not \"" + v + "\"";
                return CommandLine::Invalid;
            }
        } else if (a == "--screenshot") {
            if (!value(o.screenshotPath)) return CommandLine::Invalid;
        } else if (a == "--wav") {
            if (!value(o.wavPath)) return CommandLine::Invalid;
        } else if (a == "--log-dir") {
            if (!value(o.logDirectory)) return CommandLine::Invalid;
        } else if (a == "--input") {
            if (!value(o.inputScript)) return CommandLine::Invalid;
        } else if (a == "--pad-library") {
            if (!value(o.padLibrary)) return CommandLine::Invalid;
        } else if (a == "--save-state") {
            if (!value(o.saveStatePath)) return CommandLine::Invalid;
        } else if (a == "--load-state") {
            if (!value(o.loadStatePath)) return CommandLine::Invalid;
        } else if (a == "--at") {
            if (!value(v)) return CommandLine::Invalid;
            if (!parseCount(v, o.saveAtVi) || o.saveAtVi == 0) {
                error = "--at needs a positive whole number, not \"" + v + "\"";
                return CommandLine::Invalid;
            }
        } else if (a == "--answer") {
            if (!value(v)) return CommandLine::Invalid;
            if (v != "yes" && v != "no") {
                error = "--answer takes yes or no, not \"" + v + "\"";
                return CommandLine::Invalid;
            }
            o.answerYes = v == "yes";
        } else if (a == "--cpu") {
            if (!value(v)) return CommandLine::Invalid;
            if (v == "recompiler") {
                o.cpuCore = CpuCore::Recompiler;
            } else if (v == "interpreter") {
                o.cpuCore = CpuCore::Interpreter;
            } else {
                error = "--cpu takes recompiler or interpreter, not \"" + v + "\"";
                return CommandLine::Invalid;
            }
        } else if (a == "--machine") {
            if (!value(v)) return CommandLine::Invalid;
            const std::optional<MachineMode> mode = parseMachineMode(v.c_str());
            if (!mode) {
                error = "--machine takes complete or design, not \"" + v + "\"";
                return CommandLine::Invalid;
            }
            o.machineMode = *mode;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return CommandLine::Invalid;
        } else if (o.romPath.empty()) {
            o.romPath = a;
        } else {
            error = "only one ROM image can be run";
            return CommandLine::Invalid;
        }
    }
    if (o.saveStatePath.empty() != (o.saveAtVi == 0)) {
        error = "--save-state and --at go together";
        return CommandLine::Invalid;
    }
    return CommandLine::Run;
}

std::string findScriptedPad(const std::string& configured) {
    if (!configured.empty()) return configured;
    if (const char* fromEnvironment = std::getenv("ORVEX_SCRIPTED_PAD"))
        if (*fromEnvironment) return fromEnvironment;
    const fs::path dir = programDirectory();
    if (dir.empty()) return "";
    // Beside the program, in the build tree, and where it is installed.
    for (const fs::path& candidate :
         {dir / "scripted_pad.so", dir.parent_path() / "plugin-libs" / "scripted_pad.so",
          (dir / ORVEX_PLUGIN_RELATIVE_DIR / "scripted_pad.so").lexically_normal()}) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.string();
    }
    return "";
}

RunReport runEmulation(const RunnerOptions& options, FILE* out) {
    RunReport report;
    RunnerUiSink sink(out, options.answerYes);
    installUiSink(&sink);
    struct RestoreSink {
        ~RestoreSink() { installUiSink(nullptr); }
    } restoreSink;

    DemoImageFile demo;
    std::string path = options.romPath;
    std::string shownPath = path;
    if (path.empty()) {
        if (demo.path().empty()) {
            std::fprintf(out, "orvex-run: cannot write the demo image to /tmp\n");
            return report;
        }
        path = demo.path();
        shownPath = "(built-in demo)";
    }
    // Whatever cannot be run is refused here with one line, before any of
    // the run's files is written.
    const RomFileCheck check = checkRomFile(path);
    if (!check.problem.empty()) {
        std::fprintf(out, "orvex-run: cannot load the ROM image %s: %s\n", shownPath.c_str(),
                     check.problem.c_str());
        return report;
    }
    if (!loadRomFile(path.c_str(), options.hle)) {
        std::fprintf(out, "orvex-run: cannot load the ROM image %s\n", path.c_str());
        report.messages = sink.messages();
        return report;
    }
    runnerRunning = true;
    struct EndOfRun {
        ~EndOfRun() { runnerRunning = false; }
    } endOfRun;
    printHeader(out, shownPath, check.order);

    resetControllerSlots();
    if (!options.inputScript.empty() && !plugScriptedPad(options, out)) {
        resetControllerSlots();
        theRom.freeImage();
        report.messages = sink.messages();
        return report;
    }

    // Sound keeps the pace of guest time: a buffer ends when the guest has
    // run for as long as it plays.
    std::unique_ptr<SoundBackend> recorder;
    if (options.wavPath.empty())
        recorder = std::make_unique<SilentSoundBackend>();
    else
        recorder = std::make_unique<WavSoundBackend>(options.wavPath);
    PacedSoundBackend sound(*recorder, [] {
        return double(runCounters.viInterrupts.load(std::memory_order_relaxed)) / GUEST_VI_RATE;
    });
    RecordingFramePresenter presenter;
    // Graphics tasks draw offscreen, with no display needed.
    EglOffscreenSurface glSurface;
    // A frame of an earlier run in this process is not this run's.
    theGlContext.frame.clear();

    EmulationHost host;
    host.framePresenter = &presenter;
    host.glSurface = &glSurface;
    host.sound = &sound;
    EmulationSettings settings;
    settings.title = runTitle(path);
    settings.logDirectory = options.logDirectory;
    settings.cpuCore = options.cpuCore;
    settings.machineMode = options.machineMode;
    settings.hle = options.hle;
    settings.niceFrameBuffer = options.niceFrameBuffer;
    settings.viLimit = options.frames;
    settings.stopAtIdleLoop = options.untilIdle;
    // The clock moves at each vertical interrupt, on the CPU thread. The CPU
    // thread then waits (briefly at most) until the sound stream has taken
    // each ended buffer, so that the guest's audio interrupts follow its own
    // time and not the host's thread scheduling.
    settings.viObserver = [](void* paced) {
        auto* backend = static_cast<PacedSoundBackend*>(paced);
        backend->pace();
        if (const uint64_t ended = backend->endedBuffers())
            waitForSoundBuffersRetired(ended, std::chrono::milliseconds(1000));
    };
    settings.viObserverContext = &sound;
    SpeedLimiter limiter;
    limiter.setRate(viRateOfCountry(romHeaderCountry(theRom.header)));
    if (options.limitSpeed) settings.speedLimiter = &limiter;
    if (!prepareRunnerStates(options, settings, out)) {
        resetControllerSlots();
        theRom.freeImage();
        report.messages = sink.messages();
        return report;
    }
    EmulationSession session(host, settings);
    const bool started = session.startEmulation();
    if (started) {
        const auto deadline = options.seconds > 0.0
                                  ? std::chrono::steady_clock::now() +
                                        std::chrono::duration_cast<std::chrono::nanoseconds>(
                                            std::chrono::duration<double>(options.seconds))
                                  : std::chrono::steady_clock::time_point::max();
        while (!session.waitForCpuThreadEnd(CONTROL_POLL)) {
            if (runnerInterrupted || std::chrono::steady_clock::now() >= deadline) {
                report.timeLimit = true;
                break;
            }
        }
    }
    const CpuStopReason reason = cpuStopReason();
    const bool finishedByItself = session.cpuThreadFinished();
    session.stopEmulation();
    resetControllerSlots();

    if (!started) {
        std::fprintf(out, "orvex-run: the machine could not be started\n");
        report.messages = sink.messages();
        return report;
    }
    report.halted = finishedByItself && reason == CpuStopReason::None;
    report.wentIdle = reason == CpuStopReason::IdleLoop;
    report.frameLimit = reason == CpuStopReason::FrameLimit;
    report.viInterrupts = runCounters.viInterrupts.load();
    report.instructions = runCounters.instructions.load();
    report.viAtStart = session.viInterruptsAtStart();
    report.instructionsAtStart = session.instructionsAtStart();
    report.gfxFrames = theDisplayList.gfxFrames.load();
    report.seconds =
        std::chrono::duration<double>(session.cpuEndTime() - session.firstBlockTime()).count();
    report.exitStatus = report.halted ? EXIT_HALTED : EXIT_LIMIT_REACHED;
    if (!reportRunnerStates(options, out)) report.exitStatus = EXIT_BAD_USAGE;

    if (!options.screenshotPath.empty()) writeScreenshot(options.screenshotPath, out);
    if (!options.wavPath.empty()) std::fprintf(out, "Audio:      %s\n", options.wavPath.c_str());
    printFigures(report, out);
    report.messages = sink.messages();
    return report;
}
