#include "gui/application.h"

#include <QFileInfo>

#include "base/log.h"
#include "base/registry.h"
#include "browser/ini_file.h"
#include "core/machine.h"
#include "gui/main_window.h"
#include "gui/qt_ui_sink.h"
#include "plugins/controller_plugin.h"
#include "plugins/plugin_folders.h"
#include "system/settings_values.h"

namespace {

void chooseDefaultController() {
    uint32_t stored = 0;
    if (readRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, "Controller 1 Enabled", &stored,
                     sizeof stored))
        return;
    if (!QFileInfo(QString::fromStdString(pluginPath(DEFAULT_CONTROLLER_PLUGIN))).isFile()) return;
    writeControllerEnabled(1, true);
    writeControllerPlugin(1, DEFAULT_CONTROLLER_PLUGIN);
}

} // namespace

std::unique_ptr<MainWindow> startOrvex(QtUiSink& sink, SoundBackend* sound,
                                       const QString& programName, bool romGiven) {
    // No emulation runs until a ROM is opened.
    haltEmulation();
    auto window = std::make_unique<MainWindow>(sound);
    if (!window->created()) return nullptr;
    QObject::connect(&sink, &QtUiSink::statusTextChanged, window.get(), &MainWindow::setStatusPart);
    window->show();

    readOptions();
    window->showOptions();

    chooseDefaultController();
    loadControllerPlugins();

    if (theIni.openIni(INI_FILE_NAME)) {
        window->refreshRomList();
        reloadLogDir();
    } else if (romGiven) {
        setStatusText(2, "No orvex.ini in the working directory: the ROM tree is empty");
    } else {
        showMessage(0x10, "Couldn't open orvex.ini!!!\nIt should be in the same directory as %s...",
                    programName.toLocal8Bit().constData());
    }
    return window;
}

void finishOrvex() {
    flushLog();
    closeLog();
    resetControllerSlots();
}
