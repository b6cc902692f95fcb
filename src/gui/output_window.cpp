#include "gui/output_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

#include "base/ui_sink.h"
#include "core/rom_file.h"
#include "gui/frame_image.h"
#include "gui/key_codes.h"
#include "gui/pictures.h"
#include "hle/hle_table.h"
#include "plugins/controller_plugin.h"
#include "system/emulation_session.h"
#include "system/machine_choice.h"
#include "system/settings_values.h"
#include "video/frame_buffer_display.h"

namespace {

// The title cut to the bytes the window keeps.
QString keptTitle(const QString& title) {
    QByteArray bytes = title.toUtf8();
    if (bytes.size() <= OUTPUT_TITLE_MAX) return title;
    bytes.truncate(OUTPUT_TITLE_MAX);
    // Drop a character cut in half.
    while (!bytes.isEmpty() && (uint8_t(bytes.back()) & 0xC0) == 0x80)
        bytes.chop(1);
    if (!bytes.isEmpty() && uint8_t(bytes.back()) >= 0xC0) bytes.chop(1);
    return QString::fromUtf8(bytes);
}

// The log is named after the title; a separator in it would place the log
// somewhere else than the log folder.
std::string logName(const QString& title) {
    std::string name = title.toStdString();
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    return name;
}

void tellEnabledSlotsOfActivation() {
    for (CControllerPlugin& slot : controllerSlots)
        if (slot.enabled && slot.aquireDevice) slot.aquireDevice();
}

} // namespace

OutputWindow::OutputWindow(const QString& title, OutputDevices devices)
    : title_(keptTitle(title)), devices_(std::move(devices)) {
    setWindowTitle(title_);
    setWindowIcon(outputWindowIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(OUTPUT_WINDOW_INITIAL_SIZE, OUTPUT_WINDOW_INITIAL_SIZE);
}

OutputWindow::~OutputWindow() {
    stopRun();
}

bool OutputWindow::runOutputWindow() {
    const WindowPosition position = readOutputWindowPosition();
    if (position.left != CW_USEDEFAULT && position.top != CW_USEDEFAULT)
        move(position.left, position.top);
    // The native window exists from here on; the run needs it.
    winId();
    if (!windowHandle()) {
        uiSink().messageBox(0x40, title_.toStdString(), "Could not create window");
        return false;
    }
    recordClientOrigin();
    startRun();
    if (devices_.fullScreen)
        showFullScreen();
    else
        show();
    return true;
}

bool OutputWindow::startRun() {
    EmulationHost host;
    host.window = this;
    host.framePresenter = this;
    host.glSurface = devices_.glSurface;
    host.sound = devices_.sound;
    host.speedTimer = &speedTimer_;
    host.programInstance = qApp;
    EmulationSettings settings;
    settings.title = logName(title_);
    settings.logDirectory = devices_.logDirectory;
    // The options as the menu shows them now.
    settings.hle = hleEnabled;
    settings.niceFrameBuffer = niceFrameBuffer;
    settings.machineMode = machineModeOfOption();
    if (devices_.machineMode) settings.machineMode = *devices_.machineMode;
    limiter_.setRate(viRateOfCountry(romHeaderCountry(theRom.header)));
    limiter_.setEnabled(limitSpeed);
    limiter_.setFastForward(false);
    settings.speedLimiter = &limiter_;
    session_ = std::make_unique<EmulationSession>(host, settings);
    running_ = true;
    return session_->startEmulation();
}

void OutputWindow::stopRun() {
    if (!running_) return;
    running_ = false;
    session_->stopEmulation();
}

QImage OutputWindow::lastFrame() const {
    std::lock_guard lock(frameMutex_);
    return frame_;
}

bool OutputWindow::takeViewportRequest(uint16_t& width, uint16_t& height) {
    const uint32_t request = viewportRequest_.exchange(0);
    if (request == 0) return false;
    width = uint16_t(request >> 16);
    height = uint16_t(request);
    return true;
}

bool OutputWindow::screenPosition(int32_t& left, int32_t& top) {
    // A window in full screen stands at the screen's corner; the position
    // stored from an earlier window is kept for the next one instead.
    if (isFullScreen()) return false;
    const QPoint corner = frameGeometry().topLeft();
    left = corner.x();
    top = corner.y();
    return true;
}

bool OutputWindow::screenFormat(ScreenFormat& format) {
    // Frames are kept as 32-bit images whatever the screen, so the display
    // always converts the guest's pixels.
    format.bitsPerPixel = 32;
    format.greenMask = 0;
    return true;
}

void OutputWindow::fitClientArea(uint32_t width, uint32_t height) {
    const int w = int(std::min<uint32_t>(width, 4096));
    const int h = int(std::min<uint32_t>(height, 4096));
    if (w == 0 || h == 0) return;
    QMetaObject::invokeMethod(
        this, [this, w, h] { resize(w, h); }, Qt::QueuedConnection);
}

void OutputWindow::clientOrigin(int32_t& x, int32_t& y) {
    x = originX_.load();
    y = originY_.load();
}

void OutputWindow::presentFrame(const FrameView& frame, const FrameRect&) {
    QImage image = frameToImage(frame);
    if (image.isNull()) return;
    {
        std::lock_guard lock(frameMutex_);
        frame_ = std::move(image);
    }
    // One repaint waiting at a time is enough: it shows the latest frame.
    if (!repaintPosted_.exchange(true))
        QMetaObject::invokeMethod(
            this,
            [this] {
                repaintPosted_ = false;
                update();
            },
            Qt::QueuedConnection);
}

bool OutputWindow::event(QEvent* event) {
    // Activation and deactivation alike tell the controller plug-ins.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
        if (event->type() == QEvent::WindowDeactivate) clearKeys();
        if (running_) tellEnabledSlotsOfActivation();
    }
    return QWidget::event(event);
}

void OutputWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage frame = lastFrame();
    const QRect target = aspectFitRect(frame.size(), size());
    painter.fillRect(rect(), Qt::black);
    if (!target.isEmpty()) painter.drawImage(target, frame);
}

void OutputWindow::recordClientOrigin() {
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    originX_ = origin.x();
    originY_ = origin.y();
}

void OutputWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    recordClientOrigin();
    if (running_) updatePlacement();
}

void OutputWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const uint32_t width = uint32_t(std::clamp(event->size().width(), 1, 0xFFFF));
    const uint32_t height = uint32_t(std::clamp(event->size().height(), 1, 0xFFFF));
    viewportRequest_ = width << 16 | height;
}

void OutputWindow::closeEvent(QCloseEvent* event) {
    const bool wasRunning = running_;
    stopRun();
    event->accept();
    if (wasRunning) emit emulationStopped();
}

void OutputWindow::keyPressEvent(QKeyEvent* event) {
    // The window's own keys are commands and no controller's.
    const WindowCommand command =
        windowCommandOfKey(event->key(), event->modifiers(), isFullScreen());
    if (command != WindowCommand::None) {
        if (!event->isAutoRepeat()) runWindowCommand(command);
        return;
    }
    if (const uint8_t key = hidUsageOfQtKey(event->key())) {
        keys_[key] = 1;
        return;
    }
    QWidget::keyPressEvent(event);
}

void OutputWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_Tab) limiter_.setFastForward(false);
    // Released whatever it was pressed as: Enter pressed as Start and let go
    // with Alt held must not leave Start down.
    if (const uint8_t key = hidUsageOfQtKey(event->key())) {
        keys_[key] = 0;
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void OutputWindow::focusOutEvent(QFocusEvent* event) {
    clearKeys();
    QWidget::focusOutEvent(event);
}

void OutputWindow::clearKeys() {
    limiter_.setFastForward(false);
    for (auto& key : keys_)
        key = 0;
}
