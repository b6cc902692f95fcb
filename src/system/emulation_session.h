// An emulation run: startEmulation brings up every device the emulated
// machine needs, resets it and starts the CPU thread; stopEmulation tears all
// of it down again in a fixed order. The GUI runs them when its output window
// opens and closes; the headless runner runs them around its control loop.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/machine_mode.h"
#include "cpu/cpu_core.h"
#include "host/interval_timer.h"
#include "plugins/orvex_plugin.h"
#include "system/run_control.h"

class UserInterfaceSink;
class OutputWindowHost;
class FramePresenter;
class GlSurface;
class SoundBackend;
class RegistryBackend;
class SpeedLimiter;

// The host back ends of a run. Each may be null: a null sink, sound back end
// or registry keeps the one installed; a null window makes the steps that need
// one do nothing; a null frame presenter leaves the run without frame-buffer
// display; a null timer means a timer thread of the session's own.
struct EmulationHost {
    UserInterfaceSink* userInterface = nullptr;
    OutputWindowHost* window = nullptr;
    FramePresenter* framePresenter = nullptr;
    GlSurface* glSurface = nullptr;
    SoundBackend* sound = nullptr;
    RegistryBackend* registry = nullptr;
    IntervalTimer* speedTimer = nullptr;
    // Handed to the controller plug-ins' initPlugin.
    void* programInstance = nullptr;
};

// Everything a front end chooses for one run, handed to the session, which
// puts it in force at the start and takes the limits and the observer back at
// the stop. Controller plug-ins are loaded by the front end before the start
// (loadControllerPlugins), so that it can talk to them before the CPU runs.
struct EmulationSettings {
    // The output window's title; the run's log is named "<title>.main.log".
    std::string title = "A Window";
    // Where the log goes; "" is the working directory.
    std::string logDirectory;
    CpuCore cpuCore = CpuCore::Recompiler;
    // "Complete machine": the front ends put the user's choice (on unless
    // chosen otherwise); a record made without one runs the design machine.
    MachineMode machineMode = MachineMode::Design;
    // "Utilize HLE of CPU functions" (see loadRomFile for the symbol file).
    bool hle = false;
    // "Nice Frame Buffer": frames are converted rather than copied raw.
    bool niceFrameBuffer = false;
    // The CPU thread stops by itself after this many vertical interrupts
    // (0: never), and at the first idle loop when stopAtIdleLoop is set.
    uint64_t viLimit = 0;
    bool stopAtIdleLoop = false;
    // Called by the CPU thread after each vertical interrupt (null: none).
    ViObserver viObserver = nullptr;
    void* viObserverContext = nullptr;
    // Paces the run by wall time (null: as fast as it goes); it must outlive
    // the run.
    SpeedLimiter* speedLimiter = nullptr;
    // A saved state's payload (already read and checked, readStateFile) the
    // machine starts from instead of its boot state; null: none.
    std::shared_ptr<const std::vector<uint8_t>> initialState;
    // A state written to saveStatePath right after this many vertical
    // interrupts (0: none); the run goes on.
    uint64_t saveStateAtVi = 0;
    std::string saveStatePath;
};

constexpr uint32_t SPEED_DISPLAY_PERIOD_MS = 1000;

class EmulationSession {
  public:
    explicit EmulationSession(const EmulationHost& host, EmulationSettings settings = {});
    // Stops a run that was started and not stopped.
    ~EmulationSession();
    EmulationSession(const EmulationSession&) = delete;
    EmulationSession& operator=(const EmulationSession&) = delete;

    // Sets up the devices, the log and the machine, starts the speed display
    // and the CPU thread. Devices that cannot be set up are reported and left
    // out. False, with no CPU thread started, when the machine cannot be reset;
    // false, doing nothing, while this session's CPU thread exists.
    bool startEmulation();
    // Stops the speed display and the CPU thread, then releases everything
    // the start set up. Never waits on a message box still open.
    void stopEmulation();

    // True from the start of the CPU thread until the stop has joined it.
    bool hasCpuThread() const { return cpuThread_.joinable(); }
    // True once the CPU thread has left its run loop (the guest halted or a
    // run limit was reached); it stays joinable until stopEmulation.
    bool cpuThreadFinished() const { return cpuThreadFinished_.load(); }
    // Waits until the CPU thread has left its run loop; false on timeout.
    bool waitForCpuThreadEnd(std::chrono::milliseconds timeout);

    // Pauses the run at its next vertical interrupt, or lets it go on; any
    // thread. A stop ends a pause, and every start begins unpaused.
    void setPaused(bool paused);
    bool paused() const;

    // When the CPU thread began to run blocks, and when it left its loop
    // (both the epoch while unknown).
    std::chrono::steady_clock::time_point firstBlockTime() const;
    std::chrono::steady_clock::time_point cpuEndTime() const;

    // Asks the CPU thread to save the machine to `path`, or to load it from
    // there, between two blocks; the status bar tells the outcome, `label`
    // naming the target ("slot 3"). False, with a status message, while no
    // run goes on.
    bool requestStateSave(const std::string& path, const std::string& label);
    bool requestStateLoad(const std::string& path, const std::string& label);

    // The run counters when the CPU thread started: 0, or where a saved state
    // the run started from had them.
    uint64_t viInterruptsAtStart() const { return viAtStart_; }
    uint64_t instructionsAtStart() const { return instructionsAtStart_; }

    // The record the controller plug-ins were given.
    const OrvexOutputWindow& pluginWindow() const { return pluginWindow_; }

  private:
    void runCpuThread();
    void installBackEnds();
    void restoreBackEnds();

    EmulationHost host_;
    EmulationSettings settings_;
    ThreadIntervalTimer ownTimer_;
    IntervalTimer* timer_ = nullptr;
    OrvexOutputWindow pluginWindow_{};
    bool started_ = false;
    bool deviceContextAcquired_ = false;
    bool backEndsInstalled_ = false;
    uint64_t viAtStart_ = 0;
    uint64_t instructionsAtStart_ = 0;

    std::thread cpuThread_;
    std::atomic<bool> cpuThreadFinished_{false};
    mutable std::mutex timesMutex_;
    std::condition_variable cpuEnded_;
    std::chrono::steady_clock::time_point firstBlock_{};
    std::chrono::steady_clock::time_point cpuEnd_{};
};
