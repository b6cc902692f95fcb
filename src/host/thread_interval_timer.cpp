#include "host/interval_timer.h"

#include <chrono>

ThreadIntervalTimer::~ThreadIntervalTimer() {
    stop();
}

bool ThreadIntervalTimer::start(uint32_t periodMs, std::function<void()> tick) {
    stop();
    if (!tick || periodMs == 0) return false;
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }
    thread_ = std::thread([this, periodMs, tick = std::move(tick)] {
        using clock = std::chrono::steady_clock;
        auto due = clock::now() + std::chrono::milliseconds(periodMs);
        std::unique_lock lock(mutex_);
        for (;;) {
            if (changed_.wait_until(lock, due, [this] { return stopRequested_; })) return;
            // The tick runs unlocked so that it may take its time; stop waits
            // for it through the join.
            lock.unlock();
            tick();
            lock.lock();
            // A late tick does not make up for the missed ones.
            due = std::max(due + std::chrono::milliseconds(periodMs), clock::now());
        }
    });
    return true;
}

void ThreadIntervalTimer::stop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    changed_.notify_all();
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach();
    else
        thread_.join();
}
