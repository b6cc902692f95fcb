// orvex: the emulator's window program. It is configured by the registry and
// by "orvex.ini" in the working directory, and takes no options.
#include <QApplication>
#include <QFileInfo>
#include <cstdlib>

#include "app/registry.h"
#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/qt_ui_sink.h"
#include "host/qt/qsettings_registry.h"
#include "host/sdl/sdl_sound_backend.h"

int main(int argc, char** argv) {
    // SDL (the sound back end, gamepad plug-ins) would otherwise turn SIGINT
    // and SIGTERM into events nobody reads, and the program could not be
    // ended by them.
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
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
