// A timer that calls a routine at a fixed period, such as the once-a-second
// speed display. The GUI drives it from its event loop; headless runs use the
// thread-based one below.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class IntervalTimer {
  public:
    virtual ~IntervalTimer() = default;
    // Calls `tick` every `periodMs` milliseconds until stop; a running timer is
    // stopped first. False when the timer cannot run.
    virtual bool start(uint32_t periodMs, std::function<void()> tick) = 0;
    // No tick runs once this has returned. Safe when not running.
    virtual void stop() = 0;
};

// Ticks on a thread of its own.
class ThreadIntervalTimer : public IntervalTimer {
  public:
    ThreadIntervalTimer() = default;
    ~ThreadIntervalTimer() override;
    ThreadIntervalTimer(const ThreadIntervalTimer&) = delete;
    ThreadIntervalTimer& operator=(const ThreadIntervalTimer&) = delete;

    bool start(uint32_t periodMs, std::function<void()> tick) override;
    // From inside a tick the timer only stops ticking; the thread ends on its own.
    void stop() override;

  private:
    // Each start has its own, shared with its thread, so that a thread left
    // to end on its own never touches the timer or a later start's state.
    struct Run {
        std::mutex mutex;
        std::condition_variable changed;
        bool stopRequested = false;
    };
    std::shared_ptr<Run> run_;
    std::thread thread_;
};
