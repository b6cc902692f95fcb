#include "host/paced_sound_backend.h"

#include <map>
#include <mutex>

namespace {
// A buffer that starts within this many seconds after the one before it ended
// continues it without a gap: the clock may move in steps (a guest clock moves
// a frame at a time), and a start a step late must not make the sound lag.
constexpr double CONTINUATION_GAP = 0.5;
} // namespace

struct PacedSoundBackend::State {
    explicit State(Clock c) : clock(std::move(c)) {}

    struct Pending {
        double due = 0.0;
        bool playing = false;
        std::function<void()> onEnd;
    };

    Clock clock;
    std::mutex mutex;
    // Where the played buffers end on the clock: each starts when the one
    // before it ended, or now when the output had run dry.
    double timelineEnd = 0.0;
    uint64_t ended = 0;
    std::map<const void*, Pending> pending;

    // Ends the buffers whose time has come and that asked to be told (one
    // that asks late is told at the next call). Caller holds the mutex; the
    // end notifications only signal, so they are called under it, which keeps
    // a stopped buffer from being told of its end.
    void endDueBuffers() {
        const double now = clock();
        for (auto& [id, p] : pending) {
            if (!p.playing || p.due > now || !p.onEnd) continue;
            p.playing = false;
            ++ended;
            if (auto onEnd = std::move(p.onEnd)) onEnd();
            p.onEnd = nullptr;
        }
    }
};

namespace {

class PacedBuffer : public SoundBuffer {
  public:
    PacedBuffer(std::shared_ptr<PacedSoundBackend::State> state, std::unique_ptr<SoundBuffer> inner,
                double seconds)
        : state_(std::move(state)), inner_(std::move(inner)), seconds_(seconds) {
        std::lock_guard lock(state_->mutex);
        state_->pending[this] = {};
    }
    ~PacedBuffer() override {
        std::lock_guard lock(state_->mutex);
        state_->pending.erase(this);
    }

    uint32_t size() const override { return inner_->size(); }
    std::span<uint8_t> lock(uint32_t bytes) override { return inner_->lock(bytes); }
    void unlock(std::span<uint8_t> region) override { inner_->unlock(region); }
    int setEndNotification(std::function<void()> onEnd) override {
        std::lock_guard lock(state_->mutex);
        state_->pending[this].onEnd = std::move(onEnd);
        return 0;
    }
    bool play() override {
        // The inner buffer is not asked for its end: its time is ours to tell.
        if (!inner_->play()) return false;
        std::lock_guard lock(state_->mutex);
        const double now = state_->clock();
        const double start =
            now - state_->timelineEnd <= CONTINUATION_GAP ? state_->timelineEnd : now;
        state_->timelineEnd = start + seconds_;
        PacedSoundBackend::State::Pending& p = state_->pending[this];
        p.due = state_->timelineEnd;
        p.playing = true;
        return true;
    }
    bool resume() override {
        // What the buffer holds went to the inner back end when it first
        // played; it now only ends where the restored timeline does.
        std::lock_guard lock(state_->mutex);
        PacedSoundBackend::State::Pending& p = state_->pending[this];
        p.due = state_->timelineEnd;
        p.playing = true;
        return true;
    }
    void stop() override {
        {
            std::lock_guard lock(state_->mutex);
            PacedSoundBackend::State::Pending& p = state_->pending[this];
            p.playing = false;
            p.onEnd = nullptr;
        }
        inner_->stop();
    }

  private:
    std::shared_ptr<PacedSoundBackend::State> state_;
    std::unique_ptr<SoundBuffer> inner_;
    double seconds_;
};

} // namespace

PacedSoundBackend::PacedSoundBackend(SoundBackend& inner, Clock clock)
    : inner_(inner), state_(std::make_shared<State>(std::move(clock))) {}

PacedSoundBackend::~PacedSoundBackend() = default;

bool PacedSoundBackend::open() {
    if (!inner_.open()) return false;
    std::lock_guard lock(state_->mutex);
    state_->timelineEnd = 0.0;
    state_->ended = 0;
    return true;
}

void PacedSoundBackend::close() {
    inner_.close();
}

void PacedSoundBackend::pace() {
    std::lock_guard lock(state_->mutex);
    state_->endDueBuffers();
}

double PacedSoundBackend::timelineEnd() const {
    std::lock_guard lock(state_->mutex);
    return state_->timelineEnd;
}

void PacedSoundBackend::setTimelineEnd(double seconds) {
    std::lock_guard lock(state_->mutex);
    state_->timelineEnd = seconds;
}

uint64_t PacedSoundBackend::endedBuffers() const {
    std::lock_guard lock(state_->mutex);
    return state_->ended;
}

std::unique_ptr<SoundBuffer> PacedSoundBackend::createBuffer(const SoundFormat& format,
                                                             uint32_t bytes) {
    std::unique_ptr<SoundBuffer> inner = inner_.createBuffer(format, bytes);
    if (!inner) return nullptr;
    const double frames = double(bytes) / (format.blockAlign ? format.blockAlign : 4);
    const double seconds = format.sampleRate ? frames / format.sampleRate : 0.0;
    return std::make_unique<PacedBuffer>(state_, std::move(inner), seconds);
}
