#include "system/emulation_session.h"

#include "base/log.h"
#include "base/registry.h"
#include "base/ui_sink.h"
#include "core/machine.h"
#include "core/rom_file.h"
#include "cpu/fpu_control.h"
#include "cpu/recompiler/code_cache.h"
#include "hle/cod_file.h"
#include "hle/hle_table.h"
#include "host/output_window_host.h"
#include "host/sound_backend.h"
#include "hw/audio_output.h"
#include "hw/register_effects.h"
#include "hw/sound_events.h"
#include "plugins/controller_plugin.h"
#include "rsp/display_list_state.h"
#include "system/rom_identity.h"
#include "system/run_control.h"
#include "system/run_loop.h"
#include "system/run_pacing.h"
#include "system/save_state.h"
#include "system/settings_values.h"
#include "system/state_requests.h"
#include "video/frame_buffer_display.h"
#include "video/gl_context.h"
#include "video/rate_counter.h"

namespace {

// What plug-ins read as the keyboard when the run has no window.
const volatile uint8_t noKeys[ORVEX_KEY_COUNT] = {};

} // namespace

EmulationSession::EmulationSession(const EmulationHost& host, EmulationSettings settings)
    : host_(host), settings_(std::move(settings)) {
    timer_ = host_.speedTimer ? host_.speedTimer : &ownTimer_;
}

EmulationSession::~EmulationSession() {
    if (started_) stopEmulation();
}

void EmulationSession::installBackEnds() {
    if (backEndsInstalled_) return;
    if (host_.userInterface) installUiSink(host_.userInterface);
    if (host_.registry) installRegistryBackend(host_.registry);
    if (host_.sound) installSoundBackend(host_.sound);
    backEndsInstalled_ = true;
}

void EmulationSession::restoreBackEnds() {
    if (!backEndsInstalled_) return;
    if (host_.sound) installSoundBackend(nullptr);
    if (host_.registry) installRegistryBackend(nullptr);
    if (host_.userInterface) installUiSink(nullptr);
    backEndsInstalled_ = false;
}

bool EmulationSession::startEmulation() {
    // A second start while the CPU thread exists would reset the machine under
    // it; the run that goes on is left alone.
    if (cpuThread_.joinable()) {
        logLine("The emulation is already running; it was not started again.");
        return false;
    }
    started_ = true;
    installBackEnds();
    // No run goes on until the machine has been reset; until then status
    // messages are not logged.
    haltEmulation();
    uiSink().resumeMessageBoxes();

    // The window's drawing resources, and its surface for the OpenGL context.
    if (host_.window) {
        host_.window->acquireDeviceContext();
        deviceContextAcquired_ = true;
    }
    outputGlSurface = host_.glSurface;

    // Frame-buffer display.
    if (!initFrameBufferDisplay(host_.framePresenter)) {
        statusMessage(
            "Error Initializing DirectDraw! There will be no framebuffer graphics emulation!");
        theFrameBufferDisplay.frameBufferDisplayEnabled = false;
    } else {
        updatePlacement();
        theFrameBufferDisplay.frameBufferDisplayEnabled = true;
    }

    // Controller plug-ins; the record they get stays valid until freePlugin.
    pluginWindow_.size = sizeof pluginWindow_;
    pluginWindow_.nativeWindow = host_.window ? host_.window->nativeWindow() : nullptr;
    const volatile uint8_t* keys = host_.window ? host_.window->keys() : nullptr;
    pluginWindow_.keys = keys ? keys : noKeys;
    for (int number = 1; number <= CONTROLLER_SLOT_COUNT; ++number) {
        CControllerPlugin& slot = controllerSlots[number - 1];
        if (!slot.enabled) continue;
        if (!slot.initPlugin || !slot.initPlugin(&pluginWindow_, host_.programInstance)) {
            statusMessage("Error Initializing Plugin For Controller #%i!", number);
            slot.enabled = 0;
            if (slot.freePlugin) slot.freePlugin();
        }
    }

    // Sound.
    openSoundOutput(host_.window ? host_.window->nativeWindow() : nullptr);

    // Code cache. Without one the recompiler halts at its first block with
    // a log line; the interpreter does not need it.
    initCodeCache();

    // The run's log.
    closeLog();
    openLog(settings_.logDirectory.c_str(), "%s.main", settings_.title.c_str());
    logLine("Emulating ROM loaded from file \"%s\"!", theRom.path);
    // What the reading of the image's symbol file had to say before the log
    // was open.
    logRomIdentity();
    logSymbolFileReport();

    // The machine, with nothing left over from an earlier run.
    selectedCpuCore = settings_.cpuCore;
    theMachineMode = settings_.machineMode;
    hleEnabled = settings_.hle;
    niceFrameBuffer = settings_.niceFrameBuffer;
    runLimits.viInterrupts = settings_.viLimit;
    runLimits.stopAtIdleLoop = settings_.stopAtIdleLoop;
    setViObserver(settings_.viObserver, settings_.viObserverContext);
    installSpeedLimiter(settings_.speedLimiter);
    discardPendingSoundEvents();
    resetRunControl();
    clearStateRequests();
    resetStateRequestTally();
    if (!resetMachine()) {
        haltEmulation();
        return false;
    }
    clearWriteLatches();
    resetDisplayLists();
    resetFpuExceptionLog();
    if (settings_.initialState) {
        std::string problem;
        if (!applyMachineState(*settings_.initialState, problem)) {
            logLine("The saved state could not be applied: %s", problem.c_str());
            showMessage(0x10, "The saved state could not be applied: %s", problem.c_str());
            haltEmulation();
            return false;
        }
        logLine("Started from a saved state taken at vertical interrupt %llu",
                static_cast<unsigned long long>(runCounters.viInterrupts.load()));
    }
    viAtStart_ = runCounters.viInterrupts.load();
    instructionsAtStart_ = runCounters.instructions.load();
    if (settings_.saveStateAtVi != 0)
        scheduleStateSave(settings_.saveStateAtVi, settings_.saveStatePath);

    // The speed display.
    timer_->start(SPEED_DISPLAY_PERIOD_MS, [] { updateSpeedDisplay(); });

    // The CPU thread.
    cpuThreadFinished_ = false;
    {
        std::lock_guard lock(timesMutex_);
        firstBlock_ = cpuEnd_ = {};
    }
    cpuThread_ = std::thread([this] { runCpuThread(); });
    return true;
}

void EmulationSession::runCpuThread() {
    {
        std::lock_guard lock(timesMutex_);
        firstBlock_ = std::chrono::steady_clock::now();
    }
    cpuThread(nullptr);
    // The OpenGL context a graphics task made current on this thread is let
    // go before the thread ends; the stop destroys it.
    releaseGlContextFromThread();
    {
        std::lock_guard lock(timesMutex_);
        cpuEnd_ = std::chrono::steady_clock::now();
        cpuThreadFinished_ = true;
    }
    cpuEnded_.notify_all();
}

bool EmulationSession::waitForCpuThreadEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(timesMutex_);
    return cpuEnded_.wait_for(lock, timeout, [this] { return cpuThreadFinished_.load(); });
}

void EmulationSession::setPaused(bool paused) {
    requestPause(paused);
}

bool EmulationSession::paused() const {
    return isPauseRequested();
}

std::chrono::steady_clock::time_point EmulationSession::firstBlockTime() const {
    std::lock_guard lock(timesMutex_);
    return firstBlock_;
}

std::chrono::steady_clock::time_point EmulationSession::cpuEndTime() const {
    std::lock_guard lock(timesMutex_);
    return cpuEnd_;
}

bool EmulationSession::requestStateSave(const std::string& path, const std::string& label) {
    if (!cpuThread_.joinable() || cpuThreadFinished_) {
        statusMessage("No emulation is running: nothing to save");
        return false;
    }
    ::requestStateSave(path, label);
    return true;
}

bool EmulationSession::requestStateLoad(const std::string& path, const std::string& label) {
    if (!cpuThread_.joinable() || cpuThreadFinished_) {
        statusMessage("No emulation is running: the state is not loaded");
        return false;
    }
    ::requestStateLoad(path, label);
    return true;
}

void EmulationSession::stopEmulation() {
    // The speed display first: it reports on the threads stopped next.
    timer_->stop();

    // The CPU thread leaves its loop after its current block. A message box
    // it may be waiting in is answered, so the join cannot hang; then the
    // sound stream thread is stopped and its buffers are dropped.
    if (cpuThread_.joinable()) {
        requestCpuStop(CpuStopReason::Requested);
        uiSink().cancelMessageBoxes();
        cpuThread_.join();
        uiSink().resumeMessageBoxes();
        releaseSound();
        discardPendingSoundEvents();
        setStatusText(0, "CPU: N/A");
        setStatusText(1, "GFX: N/A");
        haltEmulation();
    }
    clearRunLimits();
    setViObserver(nullptr, nullptr);
    installSpeedLimiter(nullptr);
    resetPause();
    clearStateRequests();

    // Only the main thread is left among the run's threads.
    destroyGlContext();
    outputGlSurface = nullptr;
    freeCodeCache();
    for (CControllerPlugin& slot : controllerSlots)
        if (slot.enabled && slot.freePlugin) slot.freePlugin();
    releaseSound();
    releaseFrameBufferDisplay();
    theRom.freeImage();
    closeLog();

    // Where the window stood, for the next run's window.
    if (host_.window) {
        WindowPosition position;
        if (host_.window->screenPosition(position.left, position.top))
            writeOutputWindowPosition(position);
        if (deviceContextAcquired_) host_.window->releaseDeviceContext();
    }
    deviceContextAcquired_ = false;
    restoreBackEnds();
    started_ = false;
}
