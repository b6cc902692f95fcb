// The program's start-up: the main window, the options, the controller
// plug-ins and the settings file, in that order.
#pragma once

#include <QString>
#include <memory>

class MainWindow;
class QtUiSink;
class SoundBackend;

// The plug-in controller 1 gets on a first start (no controller choice
// stored yet) when it lies in one of the plug-in folders.
constexpr const char* DEFAULT_CONTROLLER_PLUGIN = "keyboard_pad.so";

// Creates and shows the main window, reads the options, loads the controller
// plug-ins, opens "orvex.ini" and fills the ROM tree (or says the file is
// missing, naming the program `programName`; with `romGiven`, a ROM image
// opened from the command line, that is said in the status bar instead of a
// message box, since the ROM needs no section). Null when the main window
// could not be created. The registry and `sink` (whose status texts the
// window shows) must be installed.
std::unique_ptr<MainWindow> startOrvex(QtUiSink& sink, SoundBackend* sound,
                                       const QString& programName, bool romGiven = false);

// Ends the program: closes the log and frees the controller plug-ins.
void finishOrvex();
