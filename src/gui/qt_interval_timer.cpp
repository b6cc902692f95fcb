#include "gui/qt_interval_timer.h"

QtIntervalTimer::QtIntervalTimer() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        // A copy, so that a tick may stop the timer.
        if (const auto tick = tick_) tick();
    });
}

bool QtIntervalTimer::start(uint32_t periodMs, std::function<void()> tick) {
    stop();
    if (!tick || periodMs == 0) return false;
    tick_ = std::move(tick);
    timer_.start(static_cast<int>(periodMs));
    return true;
}

void QtIntervalTimer::stop() {
    // Ticks are delivered on this thread, so none runs after this.
    timer_.stop();
    tick_ = nullptr;
}
