#include "base/ui_sink.h"

#include <atomic>

#include "base/headless_ui_sink.h"

namespace {

HeadlessUiSink& defaultSink() {
    static HeadlessUiSink sink;
    return sink;
}

std::atomic<UserInterfaceSink*> installed{nullptr};

} // namespace

UserInterfaceSink& uiSink() {
    UserInterfaceSink* sink = installed.load(std::memory_order_acquire);
    return sink ? *sink : defaultSink();
}

void installUiSink(UserInterfaceSink* sink) {
    installed.store(sink, std::memory_order_release);
}
