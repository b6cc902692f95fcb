// orvex: the emulator's window program. It is configured by the registry and
// by "orvex.ini" in the working directory; its command line may name a ROM
// image to run at once (see program_options.h).
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/registry.h"
#include "gui/application.h"
#include "gui/main_window.h"
#include "gui/program_options.h"
#include "gui/qt_ui_sink.h"
#include "host/qt/qsettings_registry.h"
#include "host/sdl/sdl_sound_backend.h"
#include "plugins/plugin_folders.h"

namespace {

// SIGTERM and SIGINT close the main window as the user would, so a run going
// on is stopped, its log completed and the settings stored. The handler only
// writes a byte into a pipe that the event loop watches.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

void closeOnTerminationSignals(MainWindow& window) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        while (read(signalPipe[0], &byte, 1) > 0) {
        }
        window.close();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    // SDL (the sound back end, gamepad plug-ins) would otherwise turn SIGINT
    // and SIGTERM into events nobody reads.
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
    // --help and --version need no display.
    ProgramOptions options;
    std::string error;
    ProgramCommand command =
        parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), options, error);
    if (command == ProgramCommand::Help) {
        printProgramUsage(stdout);
        return 0;
    }
    if (command == ProgramCommand::Version) {
        std::printf("orvex %s\n", ORVEX_VERSION);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvex");
    // Plug-ins beside the program (a build tree) and where they are installed.
    setProgramPluginFolders(programPluginFolders("/proc/self/exe", ORVEX_PLUGIN_RELATIVE_DIR));
    // Read again without the options Qt took for itself (-platform, ...).
    options = ProgramOptions{};
    command = parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), options, error);
    if (command != ProgramCommand::Run) {
        std::fprintf(stderr, "orvex: %s\n", error.c_str());
        printProgramUsage(stderr);
        return 1;
    }

    QSettingsRegistry registry;
    installRegistryBackend(&registry);
    QtUiSink sink;
    installUiSink(&sink);
    SdlSoundBackend sound;

    int code = 0;
    {
        std::unique_ptr<MainWindow> window =
            startOrvex(sink, &sound, QFileInfo(QString::fromLocal8Bit(argv[0])).fileName(),
                       !options.romPath.empty());
        if (window) {
            closeOnTerminationSignals(*window);
            window->setRunChoices(options.machineMode, options.fullScreen);
            if (!options.romPath.empty())
                QTimer::singleShot(0, window.get(),
                                   [&window, &options] { window->openRomFile(options.romPath); });
            code = app.exec();
        }
    }
    finishOrvex();
    installUiSink(nullptr);
    installRegistryBackend(nullptr);
    return code;
}
