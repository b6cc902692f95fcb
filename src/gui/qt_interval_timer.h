// An interval timer driven by the Qt event loop of the thread that owns it
// (the main thread for the speed display), like a timer without a window.
#pragma once

#include <QTimer>

#include "host/interval_timer.h"

class QtIntervalTimer : public IntervalTimer {
  public:
    QtIntervalTimer();
    // Must be called on the timer's own thread.
    bool start(uint32_t periodMs, std::function<void()> tick) override;
    void stop() override;
    bool isActive() const { return timer_.isActive(); }

  private:
    QTimer timer_;
    std::function<void()> tick_;
};
