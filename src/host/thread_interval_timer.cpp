#include "host/interval_timer.h"

#include <algorithm>
#include <chrono>

ThreadIntervalTimer::~ThreadIntervalTimer() {
    stop();
}

bool ThreadIntervalTimer::start(uint32_t periodMs, std::function<void()> tick) {
    stop();
    if (!tick || periodMs == 0) return false;
    run_ = std::make_shared<Run>();
    // The thread waits for this lock before its first tick, so a tick that
    // stops the timer sees thread_ set.
    std::lock_guard starting(run_->mutex);
    thread_ = std::thread([run = run_, periodMs, tick = std::move(tick)] {
        using clock = std::chrono::steady_clock;
        const auto period = std::chrono::milliseconds(periodMs);
        auto due = clock::now() + period;
        std::unique_lock lock(run->mutex);
        for (;;) {
            if (run->changed.wait_until(lock, due, [&] { return run->stopRequested; })) return;
            // The tick runs unlocked so that it may take its time; stop waits
            // for it through the join.
            lock.unlock();
            tick();
            lock.lock();
            // A late tick does not make up for the ones missed.
            due = std::max(due + period, clock::now());
        }
    });
    return true;
}

void ThreadIntervalTimer::stop() {
    if (!run_) return;
    {
        std::lock_guard lock(run_->mutex);
        run_->stopRequested = true;
    }
    run_->changed.notify_all();
    run_.reset();
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach();
    else
        thread_.join();
}
