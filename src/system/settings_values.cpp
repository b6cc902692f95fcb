#include "system/settings_values.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/registry.h"
#include "hle/hle_table.h"
#include "system/machine_choice.h"
#include "system/speed_limiter.h"
#include "video/frame_buffer_display.h"

namespace {

bool validController(int controller) {
    return controller >= 1 && controller <= CONTROLLER_COUNT;
}

std::string controllerValue(const char* format, int controller) {
    char name[32];
    std::snprintf(name, sizeof name, format, controller);
    return name;
}

WindowPosition readPosition(const char* leftName, const char* topName) {
    WindowPosition p;
    p.left = static_cast<int32_t>(readRegNumber(leftName, static_cast<uint32_t>(CW_USEDEFAULT)));
    p.top = static_cast<int32_t>(readRegNumber(topName, static_cast<uint32_t>(CW_USEDEFAULT)));
    return p;
}

void writePosition(const char* leftName, const char* topName, const WindowPosition& p) {
    writeRegNumber(leftName, static_cast<uint32_t>(p.left));
    writeRegNumber(topName, static_cast<uint32_t>(p.top));
}

std::string readText(const char* name, size_t size) {
    std::string text;
    readRegString(name, size, text);
    return text;
}

} // namespace

uint32_t readRegNumber(const char* name, uint32_t fallback) {
    uint32_t value = fallback;
    readRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, name, &value, sizeof value);
    return value;
}

void writeRegNumber(const char* name, uint32_t value) {
    writeRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, name, REG_DWORD, &value, sizeof value);
}

bool readRegString(const char* name, size_t size, std::string& text) {
    if (size == 0) return false;
    std::vector<char> buffer(size, 0);
    if (!readRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, name, buffer.data(), size)) {
        return false;
    }
    text.assign(buffer.data(), strnlen(buffer.data(), size - 1));
    return true;
}

void writeRegString(const char* name, const std::string& text) {
    writeRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, name, REG_SZ, text.data(), text.size());
}

WindowPosition readMainWindowPosition() {
    return readPosition(MAIN_WINDOW_LEFT, MAIN_WINDOW_TOP);
}
void writeMainWindowPosition(const WindowPosition& position) {
    writePosition(MAIN_WINDOW_LEFT, MAIN_WINDOW_TOP, position);
}
WindowPosition readOutputWindowPosition() {
    return readPosition(OUTPUT_WINDOW_LEFT, OUTPUT_WINDOW_TOP);
}
void writeOutputWindowPosition(const WindowPosition& position) {
    writePosition(OUTPUT_WINDOW_LEFT, OUTPUT_WINDOW_TOP, position);
}

void readOptions() {
    niceFrameBuffer = readRegNumber(NICE_FRAME_BUFFER_VALUE, 0) != 0;
    hleEnabled = readRegNumber(HLE_ENABLED_VALUE, 0) != 0;
    completeMachineOption = readRegNumber(COMPLETE_MACHINE_VALUE, 1) != 0;
    limitSpeed = readRegNumber(LIMIT_SPEED_VALUE, 1) != 0;
}

void writeOptions() {
    writeRegNumber(NICE_FRAME_BUFFER_VALUE, niceFrameBuffer ? 1 : 0);
    writeRegNumber(HLE_ENABLED_VALUE, hleEnabled ? 1 : 0);
    writeRegNumber(COMPLETE_MACHINE_VALUE, completeMachineOption ? 1 : 0);
    writeRegNumber(LIMIT_SPEED_VALUE, limitSpeed ? 1 : 0);
}

bool readControllerEnabled(int controller) {
    if (!validController(controller)) return false;
    return readRegNumber(controllerValue(CONTROLLER_ENABLED_FORMAT, controller).c_str(), 0) != 0;
}

void writeControllerEnabled(int controller, bool enabled) {
    if (!validController(controller)) return;
    writeRegNumber(controllerValue(CONTROLLER_ENABLED_FORMAT, controller).c_str(), enabled ? 1 : 0);
}

std::string readControllerPlugin(int controller) {
    if (!validController(controller)) return {};
    return readText(controllerValue(CONTROLLER_PLUGIN_FORMAT, controller).c_str(),
                    CONTROLLER_PLUGIN_SIZE);
}

void writeControllerPlugin(int controller, const std::string& fileName) {
    if (!validController(controller)) return;
    writeRegString(controllerValue(CONTROLLER_PLUGIN_FORMAT, controller).c_str(), fileName);
}

std::string readGraphicsPlugin() {
    return readText(GRAPHICS_PLUGIN_VALUE, PLUGIN_NAME_SIZE);
}
void writeGraphicsPlugin(const std::string& fileName) {
    writeRegString(GRAPHICS_PLUGIN_VALUE, fileName);
}
std::string readSoundPlugin() {
    return readText(SOUND_PLUGIN_VALUE, PLUGIN_NAME_SIZE);
}
void writeSoundPlugin(const std::string& fileName) {
    writeRegString(SOUND_PLUGIN_VALUE, fileName);
}

void writePreviousDirectory(const std::string& directory) {
    writeRegString(PREVIOUS_DIRECTORY_VALUE, directory);
}
