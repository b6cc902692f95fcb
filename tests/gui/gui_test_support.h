// Shared set-up of the GUI tests: a Qt application on the offscreen platform,
// a private working directory and settings file, the Qt message-box sink, and
// answering the message boxes the code under test raises.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "base/registry.h"
#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/qt_ui_sink.h"
#include "hle/hle_table.h"
#include "host/qt/qsettings_registry.h"
#include "support/test_machine.h"
#include "system/speed_limiter.h"
#include "video/frame_buffer_display.h"

// The application of the test program, made on first use.
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        // Offscreen unless a platform is asked for (xcb on a virtual X
        // server gives the OpenGL tests a context).
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("SDL_AUDIODRIVER", "dummy");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// A message box the test answered: its texts and the button pressed.
struct AnsweredBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testApplication();
        dir = makeTempDir("gui");
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        registry = std::make_unique<QSettingsRegistry>(dir + "/Orvex.conf");
        installRegistryBackend(registry.get());
        sink = std::make_unique<QtUiSink>();
        installUiSink(sink.get());
    }
    void TearDown() override {
        installUiSink(nullptr);
        sink.reset();
        installRegistryBackend(nullptr);
        registry.reset();
        std::filesystem::current_path(previous);
    }

    // Answers every message box that appears, with `button`, recording it.
    // Boxes shown by a modal exec() are answered from inside its loop.
    void answerBoxes(QMessageBox::StandardButton button) {
        answer = button;
        if (!watcher) {
            watcher = std::make_unique<QTimer>();
            QObject::connect(watcher.get(), &QTimer::timeout, [this] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    auto* box = qobject_cast<QMessageBox*>(w);
                    if (!box || !box->isVisible() || box->property("answered").toBool()) continue;
                    box->setProperty("answered", true);
                    answered.push_back({box->windowTitle(), box->text(), box->icon()});
                    if (QAbstractButton* b = box->button(answer))
                        b->click();
                    else
                        box->close();
                }
            });
            watcher->start(10);
        }
    }
    // Runs the event loop until `done` holds, at most `ms` milliseconds.
    static bool waitFor(const std::function<bool()>& done, int ms = 5000) {
        return QTest::qWaitFor(done, ms);
    }
    // The message box shown, if any.
    static QMessageBox* openBox() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
        return nullptr;
    }

    std::string dir;
    std::filesystem::path previous;
    std::unique_ptr<QSettingsRegistry> registry;
    std::unique_ptr<QtUiSink> sink;
    std::unique_ptr<QTimer> watcher;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::vector<AnsweredBox> answered;
};

// A test of the whole program: its main window, closed and finished after the
// test, with the options the tests change set back.
class OrvexTest : public GuiTest {
  protected:
    void TearDown() override {
        window.reset();
        finishOrvex();
        hleEnabled = niceFrameBuffer = false;
        limitSpeed = true;
        GuiTest::TearDown();
    }
    std::unique_ptr<MainWindow> window;
};
