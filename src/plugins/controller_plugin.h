// The four controller slots: controller plug-in libraries with their entry
// points, the input state each delivers and whether the slot takes part in
// emulation.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "plugins/cdll.h"
#include "plugins/orvex_plugin.h"

constexpr int CONTROLLER_SLOT_COUNT = 4;
// Longest plug-in file name kept in the registry, terminating zero excluded.
constexpr size_t CONTROLLER_PLUGIN_NAME_SIZE = 200;

class CControllerPlugin : public CDLL {
  public:
    CControllerPlugin() = default;
    // Closes the library held.
    ~CControllerPlugin();
    CControllerPlugin(const CControllerPlugin&) = delete;
    CControllerPlugin& operator=(const CControllerPlugin&) = delete;

    // Looks the ten entry points up in field order, stopping at the first one
    // missing; true only when all ten exist.
    bool lookUpEntryPoints();
    // Back to the constructed state: library closed, no entry points,
    // disabled, input cleared.
    void reset();

    OrvexGetPluginVersionFn getPluginVersion = nullptr;
    OrvexGetPluginTypeFn getPluginType = nullptr;
    OrvexGetPluginCapsFn getPluginCaps = nullptr;
    OrvexGetPluginNameFn getPluginName = nullptr;
    OrvexShowPluginInfoFn showPluginInfo = nullptr;
    OrvexShowPluginConfigFn showPluginConfig = nullptr;
    OrvexInitPluginFn initPlugin = nullptr;
    OrvexFreePluginFn freePlugin = nullptr;
    OrvexAquireDeviceFn aquireDevice = nullptr;
    OrvexGetInputFn getInput = nullptr;

    OrvexInputState inputState = {};
    uint8_t enabled = 0;
};

// Controllers 1 to 4 (channels 0 to 3 of the PIF).
extern CControllerPlugin controllerSlots[CONTROLLER_SLOT_COUNT];

// Which plug-in serves a controller. A slot without `enabled` is left as it
// is; an enabled one without `plugin` is disabled.
struct ControllerChoice {
    std::optional<bool> enabled;
    std::optional<std::string> plugin; // the library's file name or path
};
using ControllerChoices = std::array<ControllerChoice, CONTROLLER_SLOT_COUNT>;

// The user's choice: the registry values "Controller %i Enabled" and
// "Controller %i Plugin" (names cut to CONTROLLER_PLUGIN_NAME_SIZE).
ControllerChoices readControllerChoices();
// Loads the chosen plug-ins into the slots; a slot whose plug-in cannot be
// loaded or lacks an entry point is disabled with a message.
void loadControllerPlugins(const ControllerChoices& choices);
// The same with the user's choice.
void loadControllerPlugins();
// Closes every slot's library and disables it (program exit, tests).
void resetControllerSlots();
