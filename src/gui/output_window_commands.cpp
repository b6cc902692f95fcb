// The player's commands of the output window: pause, reset, screenshot, full
// screen, fast-forward and the speed limiter. The save-state keys are handed
// on to whoever handles states.
#include <QDateTime>

#include "base/log.h"
#include "core/machine.h"
#include "gui/output_window.h"
#include "gui/screenshot.h"
#include "system/emulation_session.h"
#include "system/rom_loading.h"

void OutputWindow::runWindowCommand(WindowCommand command) {
    switch (command) {
    case WindowCommand::SaveState:
    case WindowCommand::NextStateSlot:
    case WindowCommand::PreviousStateSlot:
    case WindowCommand::LoadState:
        emit stateCommand(command);
        break;
    case WindowCommand::ToggleFullScreen:
        setFullScreenMode(!isFullScreen());
        break;
    case WindowCommand::LeaveFullScreen:
        setFullScreenMode(false);
        break;
    case WindowCommand::Screenshot:
        takeScreenshot();
        break;
    case WindowCommand::FastForward:
        limiter_.setFastForward(true);
        break;
    case WindowCommand::TogglePause:
        setPaused(!paused());
        break;
    case WindowCommand::None:
        break;
    }
}

void OutputWindow::setPaused(bool pause) {
    if (!running_ || !session_ || pause == session_->paused()) return;
    session_->setPaused(pause);
    setStatusText(2, pause ? "Emulation paused" : "Emulation resumed");
    emit pauseChanged(pause);
}

bool OutputWindow::paused() const {
    return running_ && session_ && session_->paused();
}

void OutputWindow::resetRun() {
    if (!running_ || devices_.romPath.empty()) return;
    const bool wasPaused = paused();
    stopRun();
    if (wasPaused) emit pauseChanged(false);
    // The stop let the image go; the run starts from a fresh reading of it,
    // as when it was opened.
    if (!loadRomFile(devices_.romPath.c_str())) {
        // The run is over and its position stored; the window goes as if it
        // had been closed during the run.
        emit emulationStopped();
        close();
        return;
    }
    if (startRun()) setStatusText(2, "Emulation reset");
}

QString OutputWindow::takeScreenshot() {
    const QString folder = screenshotFolder_.isEmpty() ? screenshotFolder() : screenshotFolder_;
    QString error;
    const QString path =
        saveScreenshot(lastFrame(), folder, title_, QDateTime::currentDateTime(), error);
    if (path.isEmpty())
        setStatusText(2, "Screenshot not saved: %s", error.toLocal8Bit().constData());
    else
        setStatusText(2, "Screenshot saved to %s", path.toLocal8Bit().constData());
    return path;
}

void OutputWindow::setFullScreenMode(bool fullScreen) {
    if (fullScreen == isFullScreen()) return;
    if (fullScreen)
        showFullScreen();
    else
        showNormal();
}

void OutputWindow::setSpeedLimited(bool limited) {
    limiter_.setEnabled(limited);
}
