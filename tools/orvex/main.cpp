// orvex: the emulator's window program. It is configured by the registry and
// by "orvex.ini" in the working directory, and takes no options.
#include <QApplication>
#include <QFileInfo>

#include "app/registry.h"
#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/qt_ui_sink.h"
#include "host/qt/qsettings_registry.h"
#include "host/sdl/sdl_sound_backend.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvex");

    QSettingsRegistry registry;
    installRegistryBackend(&registry);
    QtUiSink sink;
    installUiSink(&sink);
    SdlSoundBackend sound;

    int code = 0;
    {
        std::unique_ptr<MainWindow> window =
            startOrvex(sink, &sound, QFileInfo(QString::fromLocal8Bit(argv[0])).fileName());
        if (window) code = app.exec();
    }
    finishOrvex();
    installUiSink(nullptr);
    installRegistryBackend(nullptr);
    return code;
}
