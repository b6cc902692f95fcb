#include "plugins/controller_plugin.h"

#include <cstdio>

#include "base/log.h"
#include "base/registry.h"

CControllerPlugin controllerSlots[CONTROLLER_SLOT_COUNT];

namespace {

template <typename Function> bool lookUp(const CDLL& library, const char* symbol, Function& to) {
    to = reinterpret_cast<Function>(library.getFunction(symbol));
    return to != nullptr;
}

} // namespace

CControllerPlugin::~CControllerPlugin() {
    close();
}

bool CControllerPlugin::lookUpEntryPoints() {
    return lookUp(*this, "getPluginVersion", getPluginVersion) &&
           lookUp(*this, "getPluginType", getPluginType) &&
           lookUp(*this, "getPluginCaps", getPluginCaps) &&
           lookUp(*this, "getPluginName", getPluginName) &&
           lookUp(*this, "showPluginInfo", showPluginInfo) &&
           lookUp(*this, "showPluginConfig", showPluginConfig) &&
           lookUp(*this, "initPlugin", initPlugin) && lookUp(*this, "freePlugin", freePlugin) &&
           lookUp(*this, "aquireDevice", aquireDevice) && lookUp(*this, "getInput", getInput);
}

void CControllerPlugin::reset() {
    close();
    std::snprintf(name, sizeof name, "%s", "notloaded.dll");
    getPluginVersion = nullptr;
    getPluginType = nullptr;
    getPluginCaps = nullptr;
    getPluginName = nullptr;
    showPluginInfo = nullptr;
    showPluginConfig = nullptr;
    initPlugin = nullptr;
    freePlugin = nullptr;
    aquireDevice = nullptr;
    getInput = nullptr;
    inputState = {};
    enabled = 0;
}

ControllerChoices readControllerChoices() {
    ControllerChoices choices;
    for (int number = 1; number <= CONTROLLER_SLOT_COUNT; ++number) {
        ControllerChoice& choice = choices[number - 1];
        char valueName[64];
        std::snprintf(valueName, sizeof valueName, "Controller %i Enabled", number);
        uint32_t enabledValue = 0;
        if (!readRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, valueName, &enabledValue,
                          sizeof enabledValue))
            continue;
        choice.enabled = enabledValue != 0;
        if (!*choice.enabled) continue;

        // One byte more than the value may hold, so the name always ends.
        char fileName[CONTROLLER_PLUGIN_NAME_SIZE + 1] = {};
        std::snprintf(valueName, sizeof valueName, "Controller %i Plugin", number);
        if (readRegValue(HKEY_CURRENT_USER, ORVEX_REGISTRY_KEY, valueName, fileName,
                         CONTROLLER_PLUGIN_NAME_SIZE))
            choice.plugin = fileName;
    }
    return choices;
}

void loadControllerPlugins(const ControllerChoices& choices) {
    for (int number = 1; number <= CONTROLLER_SLOT_COUNT; ++number) {
        CControllerPlugin& slot = controllerSlots[number - 1];
        const ControllerChoice& choice = choices[number - 1];
        if (!choice.enabled) continue;
        slot.enabled = *choice.enabled;
        if (!slot.enabled) continue;
        if (!choice.plugin) {
            slot.enabled = 0;
            continue;
        }
        if (!slot.open(choice.plugin->c_str())) {
            showMessage(0x10,
                        "ERROR: Couldn't load plugin for controller #%i!\nPlease reconfigure it.",
                        number);
            slot.enabled = 0;
            continue;
        }
        if (!slot.lookUpEntryPoints()) {
            showMessage(0x10, "ERROR: Couldn't find all functions in plugin '%s'..",
                        slot.getName());
            slot.enabled = 0;
        }
    }
}

void loadControllerPlugins() {
    loadControllerPlugins(readControllerChoices());
}

void resetControllerSlots() {
    for (CControllerPlugin& slot : controllerSlots)
        slot.reset();
}
