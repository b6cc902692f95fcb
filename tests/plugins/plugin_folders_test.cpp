// Plug-ins named by file name are found in the working directory first, then
// in the program's folders (beside it, and where they are installed).
#include <filesystem>

#include "plugin_test_support.h"
#include "plugins/controller_plugin.h"
#include "plugins/orvex_plugin.h"
#include "plugins/plugin_folders.h"
#include "plugins/plugin_list.h"

namespace {

namespace fs = std::filesystem;

TEST(PluginFolders, TheWorkingDirectoryComesFirstThenTheProgramsFolders) {
    ScopedRecordingSink sink;
    EXPECT_EQ(programPluginFolders("/opt/x/bin/orvex", "../lib/orvex"),
              (std::vector<std::string>{"/opt/x/bin", "/opt/x/lib/orvex"}));

    const std::string installed = pluginFolder("installed", {"good_pad.so", "no_input_pad.so"});
    const std::string work = makeTempDir("work");
    const fs::path previous = fs::current_path();
    fs::current_path(work);
    fs::copy_file(installed + "/no_input_pad.so", work + "/no_input_pad.so");
    setProgramPluginFolders({installed});

    EXPECT_EQ(pluginPath("good_pad.so"), installed + "/good_pad.so");
    EXPECT_EQ(pluginPath("no_input_pad.so"), "./no_input_pad.so");
    EXPECT_EQ(pluginPath("missing.so"), "./missing.so");
    EXPECT_EQ(pluginPath("/abs/x.so"), "/abs/x.so");
    // The list shows each file name once, and a plug-in of the program's
    // folder loads by its file name alone.
    const PluginList list = fillPluginList(ORVEX_PLUGIN_TYPE_CONTROLLER, "good_pad.so");
    EXPECT_EQ(list.entries, (std::vector<std::string>{"Good Pad v1.2.3 (good_pad.so)",
                                                      "No Input Pad v1.0.0 (no_input_pad.so)"}));
    CControllerPlugin slot;
    EXPECT_TRUE(slot.open("good_pad.so"));
    slot.reset();

    setProgramPluginFolders({});
    fs::current_path(previous);
}

} // namespace
