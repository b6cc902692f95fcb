#include "system/state_requests.h"

#include <mutex>

#include "base/log.h"
#include "system/save_state.h"

namespace state_request_detail {
std::atomic<bool> posted{false};
std::atomic<uint64_t> saveAtVi{0};
} // namespace state_request_detail

namespace {

using namespace state_request_detail;

enum class Kind { Save, Load };

struct Request {
    Kind kind = Kind::Save;
    std::string path;
    std::string label;
};

std::mutex requestMutex;
Request request;           // guarded by requestMutex; valid while `posted`
std::string scheduledPath; // guarded by requestMutex
StateRequestTally tally;   // guarded by requestMutex

void post(Kind kind, const std::string& path, const std::string& label) {
    std::lock_guard lock(requestMutex);
    request = {kind, path, label};
    posted.store(true, std::memory_order_release);
}

void count(uint64_t StateRequestTally::*field) {
    std::lock_guard lock(requestMutex);
    ++(tally.*field);
}

void carryOut(const Request& r) {
    const std::string target = r.label.empty() ? r.path : r.label + " (" + r.path + ")";
    std::string problem;
    if (r.kind == Kind::Save) {
        if (saveStateFile(r.path, problem)) {
            logLine("State saved to %s", r.path.c_str());
            statusMessage("State saved to %s", target.c_str());
            count(&StateRequestTally::saved);
        } else {
            logLine("State not saved to %s: %s", r.path.c_str(), problem.c_str());
            statusMessage("State not saved to %s: %s", target.c_str(), problem.c_str());
            count(&StateRequestTally::failed);
        }
        return;
    }
    if (loadStateFile(r.path, problem)) {
        logLine("State loaded from %s", r.path.c_str());
        statusMessage("State loaded from %s", target.c_str());
        count(&StateRequestTally::loaded);
    } else {
        logLine("State not loaded from %s: %s", r.path.c_str(), problem.c_str());
        statusMessage("State not loaded from %s: %s", target.c_str(), problem.c_str());
        count(&StateRequestTally::failed);
    }
}

} // namespace

void requestStateSave(const std::string& path, const std::string& label) {
    post(Kind::Save, path, label);
}

void requestStateLoad(const std::string& path, const std::string& label) {
    post(Kind::Load, path, label);
}

void scheduleStateSave(uint64_t atVi, const std::string& path) {
    std::lock_guard lock(requestMutex);
    scheduledPath = path;
    saveAtVi.store(atVi, std::memory_order_relaxed);
}

void clearStateRequests() {
    std::lock_guard lock(requestMutex);
    posted.store(false, std::memory_order_relaxed);
    saveAtVi.store(0, std::memory_order_relaxed);
    request = {};
    scheduledPath.clear();
}

void resetStateRequestTally() {
    std::lock_guard lock(requestMutex);
    tally = {};
}

StateRequestTally stateRequestTally() {
    std::lock_guard lock(requestMutex);
    return tally;
}

void serviceStateRequests() {
    Request scheduled, asked;
    bool haveScheduled = false, haveAsked = false;
    {
        std::lock_guard lock(requestMutex);
        const uint64_t at = saveAtVi.load(std::memory_order_relaxed);
        if (at != 0 && runCounters.viInterrupts.load(std::memory_order_relaxed) >= at) {
            scheduled = {Kind::Save, scheduledPath, ""};
            haveScheduled = true;
            saveAtVi.store(0, std::memory_order_relaxed);
        }
        if (posted.load(std::memory_order_acquire)) {
            asked = std::move(request);
            haveAsked = true;
            posted.store(false, std::memory_order_relaxed);
        }
    }
    if (haveScheduled) carryOut(scheduled);
    if (haveAsked) carryOut(asked);
}
