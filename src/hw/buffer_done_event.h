// An auto-reset event for the end of a sound buffer: the back end signals it
// from its own thread, the stream thread waits for it. A stop request cancels
// it, which wakes the waiter for good.
#pragma once

#include <condition_variable>
#include <mutex>

class BufferDoneEvent {
  public:
    void signal() {
        {
            std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        changed_.notify_all();
    }
    void cancel() {
        {
            std::lock_guard lock(mutex_);
            cancelled_ = true;
        }
        changed_.notify_all();
    }
    // Blocks until signalled (true, and the signal is consumed) or cancelled
    // (false).
    bool wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return signalled_ || cancelled_; });
        if (cancelled_) return false;
        signalled_ = false;
        return true;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
    bool cancelled_ = false;
};
