#include "gui/plugin_actions.h"

#include "base/log.h"
#include "plugins/cdll.h"
#include "plugins/orvex_plugin.h"
#include "plugins/plugin_list.h"

namespace {

template <typename Call>
void withPluginOfEntry(const QString& entry, const char* export_, Call call) {
    std::string file;
    if (!pluginFileFromEntry(entry.toStdString(), file)) return;
    CDLL library;
    if (!library.open(file.c_str())) {
        showMessage(0x10, "Couldn't load plugin '%s'!", file.c_str());
        return;
    }
    if (void* function = library.getFunction(export_)) call(function);
    library.close();
}

} // namespace

void showInfoOfPluginEntry(const QString& entry) {
    withPluginOfEntry(entry, "showPluginInfo",
                      [](void* function) { reinterpret_cast<OrvexShowPluginInfoFn>(function)(); });
}

void showConfigOfPluginEntry(const QString& entry, QWidget* parent) {
    withPluginOfEntry(entry, "showPluginConfig", [parent](void* function) {
        reinterpret_cast<OrvexShowPluginConfigFn>(function)(parent);
    });
}
