// The output window: the top-level window in which an emulation run shows its
// picture. Its creation starts the run and its closing stops it. It is the
// run's window for the emulation session (position, keyboard, the handle
// plug-ins get) and its frame presenter: frames of the frame-buffer display
// are shown scaled to the client area, keeping their aspect.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/machine_mode.h"
#include "gui/command_keys.h"
#include "gui/qt_interval_timer.h"
#include "host/frame_presenter.h"
#include "host/output_window_host.h"
#include "plugins/orvex_plugin.h"
#include "system/speed_limiter.h"

class EmulationSession;
class GlSurface;
class SoundBackend;

// Client size before the first frame mode fits the window to its frame.
constexpr int OUTPUT_WINDOW_INITIAL_SIZE = 400;
// Longest title kept (the rest is cut off).
constexpr int OUTPUT_TITLE_MAX = 99;

// What a run uses besides the window; each may be null.
struct OutputDevices {
    SoundBackend* sound = nullptr;
    // The surface the display-list renderer draws on, made current on the CPU
    // thread; null leaves the run without OpenGL output.
    GlSurface* glSurface = nullptr;
    // Folder of the run's log; "" is the working directory.
    std::string logDirectory;
    // The image the run was loaded from, loaded again by a reset ("": no
    // reset).
    std::string romPath;
    // The machine of this program's runs when chosen on its command line.
    std::optional<MachineMode> machineMode;
    // Shown in full screen from the start.
    bool fullScreen = false;
};

class OutputWindow : public QWidget, public OutputWindowHost, public FramePresenter {
    Q_OBJECT
  public:
    OutputWindow(const QString& title, OutputDevices devices);
    // Stops a run still going.
    ~OutputWindow() override;

    // Creates the window at the stored position, starts the emulation run and
    // shows the window. False, after "Could not create window", when no
    // window could be made; no run is started then.
    bool runOutputWindow();

    EmulationSession* session() { return session_.get(); }
    // The last frame shown; null before the first.
    QImage lastFrame() const;
    // The client size recorded for the OpenGL viewport since the last call;
    // false when it has not changed. The drawing thread takes it before it
    // draws, so no OpenGL call is ever made from the user-interface thread.
    bool takeViewportRequest(uint16_t& width, uint16_t& height);

    // The player's commands (output_window_commands.cpp), also reached by
    // the keys of windowCommandOfKey.
    void runWindowCommand(WindowCommand command);
    void setPaused(bool paused);
    bool paused() const;
    // Restarts the run of the same image: the session stops and starts again.
    void resetRun();
    // Saves the frame shown into the screenshot folder and says where in the
    // status bar; the path, or "" when it could not be saved.
    QString takeScreenshot();
    void setFullScreenMode(bool fullScreen);
    void setSpeedLimited(bool limited);
    const SpeedLimiter& speedLimiter() const { return limiter_; }
    // Where screenshots go; the pictures folder unless set (tests).
    void setScreenshotFolder(const QString& folder) { screenshotFolder_ = folder; }

    // OutputWindowHost (main thread).
    bool screenPosition(int32_t& left, int32_t& top) override;
    void* nativeWindow() override { return static_cast<QWidget*>(this); }
    const volatile uint8_t* keys() override { return keys_; }

    // FramePresenter (CPU thread, except clientOrigin, which both use).
    bool screenFormat(ScreenFormat& format) override;
    void fitClientArea(uint32_t width, uint32_t height) override;
    void clientOrigin(int32_t& x, int32_t& y) override;
    void presentFrame(const FrameView& frame, const FrameRect& dest) override;

  signals:
    // The run has stopped and its position is stored; emitted on closing.
    void emulationStopped();
    // The run was paused or goes on again.
    void pauseChanged(bool paused);
    // The save-state keys (F5, F6, Shift+F6, F7), for whoever handles states.
    void stateCommand(WindowCommand command);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Tab is the fast-forward key here, not a move of the focus.
    bool focusNextPrevChild(bool) override { return false; }

  private:
    bool startRun();
    void stopRun();
    void recordClientOrigin();
    void clearKeys();

    QString title_;
    OutputDevices devices_;
    QtIntervalTimer speedTimer_;
    std::unique_ptr<EmulationSession> session_;
    bool running_ = false;
    SpeedLimiter limiter_;
    QString screenshotFolder_;

    volatile uint8_t keys_[ORVEX_KEY_COUNT] = {};
    std::atomic<int32_t> originX_{0};
    std::atomic<int32_t> originY_{0};
    std::atomic<uint32_t> viewportRequest_{0};
    std::atomic<bool> repaintPosted_{false};
    mutable std::mutex frameMutex_;
    QImage frame_;
};
