// The user's settings kept in the registry under "Software\Orvex": their
// names, types and defaults, and typed reads and writes of each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Value names.
constexpr const char* MAIN_WINDOW_LEFT = "Main Window Left";
constexpr const char* MAIN_WINDOW_TOP = "Main Window Top";
constexpr const char* OUTPUT_WINDOW_LEFT = "Output Window Left";
constexpr const char* OUTPUT_WINDOW_TOP = "Output Window Top";
constexpr const char* NICE_FRAME_BUFFER_VALUE = "Want Nice FB GFX Instead Of Speed";
constexpr const char* HLE_ENABLED_VALUE = "Utilize HLE of CPU functions";
// Nonzero (the default when absent) runs the complete machine.
constexpr const char* COMPLETE_MACHINE_VALUE = "Complete machine";
// Nonzero (the default when absent) paces runs at the console's rate.
constexpr const char* LIMIT_SPEED_VALUE = "Limit speed";
constexpr const char* CONTROLLER_ENABLED_FORMAT = "Controller %i Enabled";
constexpr const char* CONTROLLER_PLUGIN_FORMAT = "Controller %i Plugin";
constexpr const char* GRAPHICS_PLUGIN_VALUE = "Graphics Plugin";
constexpr const char* SOUND_PLUGIN_VALUE = "Sound Plugin";
constexpr const char* PREVIOUS_DIRECTORY_VALUE = "Previous Directory";

// The window system's default position, used when none is stored.
constexpr int32_t CW_USEDEFAULT = static_cast<int32_t>(0x80000000u);
// Bytes read at most for the string values, as the buffers that receive them.
constexpr size_t CONTROLLER_PLUGIN_SIZE = 200;
constexpr size_t PLUGIN_NAME_SIZE = 100;
constexpr int CONTROLLER_COUNT = 4;

struct WindowPosition {
    int32_t left = CW_USEDEFAULT;
    int32_t top = CW_USEDEFAULT;
};

// A number value; `fallback` when absent.
uint32_t readRegNumber(const char* name, uint32_t fallback);
void writeRegNumber(const char* name, uint32_t value);
// A string value read into a buffer of `size` bytes: cut at its first zero,
// and to size - 1 characters so it always fits such a buffer with its
// terminator. False (and `text` untouched) when absent.
bool readRegString(const char* name, size_t size, std::string& text);
// Stores the string without its terminating zero.
void writeRegString(const char* name, const std::string& text);

WindowPosition readMainWindowPosition();
void writeMainWindowPosition(const WindowPosition& position);
WindowPosition readOutputWindowPosition();
void writeOutputWindowPosition(const WindowPosition& position);

// hleEnabled, niceFrameBuffer, completeMachineOption and limitSpeed: any
// nonzero number turns an option on; they are written back as 0 or 1.
void readOptions();
void writeOptions();

// Controllers are numbered 1 to 4; other numbers read as absent and are not
// written.
bool readControllerEnabled(int controller);
void writeControllerEnabled(int controller, bool enabled);
// The controller's plug-in file name; "" when none is stored.
std::string readControllerPlugin(int controller);
void writeControllerPlugin(int controller, const std::string& fileName);

// The chosen graphics and sound plug-in files; "" when none is chosen.
std::string readGraphicsPlugin();
void writeGraphicsPlugin(const std::string& fileName);
std::string readSoundPlugin();
void writeSoundPlugin(const std::string& fileName);

// Directory of the last loaded ROM image, with its final separator.
void writePreviousDirectory(const std::string& directory);
