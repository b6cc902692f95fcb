#include <filesystem>

#include "plugin_test_support.h"
#include "plugins/controller_plugin.h"
#include "plugins/orvex_plugin.h"
#include "plugins/plugin_folders.h"
#include "plugins/plugin_list.h"

namespace {

using Strings = std::vector<std::string>;

class PluginListing : public ::testing::Test {
  protected:
    ScopedRecordingSink sink_;
};

TEST_F(PluginListing, ListsEachTypeSortedWithVersionsAndReportsBrokenFiles) {
    const std::string dir = pluginFolder("list", ALL_TEST_LIBRARIES);

    PluginList controllers = fillPluginList(ORVEX_PLUGIN_TYPE_CONTROLLER, "no_input_pad.so", dir);
    EXPECT_EQ(controllers.entries,
              (Strings{"Good Pad v1.2.3 (good_pad.so)", "No Input Pad v1.0.0 (no_input_pad.so)"}));
    EXPECT_EQ(controllers.count, 2);
    EXPECT_EQ(controllers.selected, 1);
    // The file that is no library is reported; the library that is no plug-in
    // is skipped silently.
    auto messages = sink_->messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Couldn't load plugin 'not_a_library.so'!");
    EXPECT_EQ(messages[0].flags, 0x10u | 0x30u);

    PluginList graphics = fillPluginList(ORVEX_PLUGIN_TYPE_GRAPHICS, "good_pad.so", dir);
    EXPECT_EQ(graphics.entries, (Strings{"Test Graphics v16.0.0 (graphics_plugin.so)"}));
    EXPECT_EQ(graphics.selected, 0) << "the current file is a plug-in of another type";

    PluginList sound = fillPluginList(ORVEX_PLUGIN_TYPE_SOUND, "", dir);
    ASSERT_EQ(sound.entries.size(), 1u);
    EXPECT_EQ(sound.entries[0], std::string(99, 'S') + " v2.0.5 (sound_plugin.so)");
}

TEST_F(PluginListing, PlaceholderEntries) {
    PluginList none = fillPluginList(ORVEX_PLUGIN_TYPE_CONTROLLER, "", makeTempDir("empty"));
    EXPECT_EQ(none.entries, (Strings{"No plugins found.."}));
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.selected, 0);

    const std::string dir = pluginFolder("gfx-only", {"graphics_plugin.so", "not_a_plugin.so"});
    PluginList controllers =
        fillPluginList(ORVEX_PLUGIN_TYPE_CONTROLLER, "graphics_plugin.so", dir);
    EXPECT_EQ(controllers.entries, (Strings{"No controller plugins found."}));
    EXPECT_EQ(controllers.count, 0);
    EXPECT_EQ(controllers.selected, 0);
    EXPECT_EQ(fillPluginList(ORVEX_PLUGIN_TYPE_SOUND, "", dir).entries,
              (Strings{"No sound plugins found."}));
    PluginList other = fillPluginList(7, "", dir);
    EXPECT_TRUE(other.entries.empty());
    EXPECT_EQ(other.selected, -1);
    EXPECT_TRUE(sink_->messages().empty());
}

TEST(PluginFileFromEntry, TakesTheTextOfTheFirstParentheses) {
    std::string file;
    EXPECT_TRUE(pluginFileFromEntry("Good Pad v1.2.3 (good_pad.so)", file));
    EXPECT_EQ(file, "good_pad.so");
    EXPECT_TRUE(pluginFileFromEntry("Pad (USB) v1.0.0 (pad.so)", file));
    EXPECT_EQ(file, "USB");
    EXPECT_TRUE(pluginFileFromEntry("()", file));
    EXPECT_EQ(file, "");
    for (const char* entry : {"No controller plugins found.", "a ) b ( c", "open ( only", ""}) {
        EXPECT_FALSE(pluginFileFromEntry(entry, file)) << entry;
        EXPECT_EQ(file, "sorry.dll");
    }
}

// Plug-ins named by file name are found in the working directory first, then
// in the program's folders (beside it, and where they are installed).
TEST(PluginFolders, TheWorkingDirectoryComesFirstThenTheProgramsFolders) {
    ScopedRecordingSink sink;
    EXPECT_EQ(programPluginFolders("/opt/x/bin/orvex", "../lib/orvex"),
              (Strings{"/opt/x/bin", "/opt/x/lib/orvex"}));

    const std::string installed = pluginFolder("installed", {"good_pad.so", "no_input_pad.so"});
    const std::string work = makeTempDir("work");
    ScopedWorkingDirectory cwd(work);
    std::filesystem::copy_file(installed + "/no_input_pad.so", work + "/no_input_pad.so");
    setProgramPluginFolders({installed});

    EXPECT_EQ(pluginPath("good_pad.so"), installed + "/good_pad.so");
    EXPECT_EQ(pluginPath("no_input_pad.so"), "./no_input_pad.so");
    EXPECT_EQ(pluginPath("missing.so"), "./missing.so");
    EXPECT_EQ(pluginPath("/abs/x.so"), "/abs/x.so");
    // The list shows each file name once, and a plug-in of the program's
    // folder loads by its file name alone.
    const PluginList list = fillPluginList(ORVEX_PLUGIN_TYPE_CONTROLLER, "good_pad.so");
    EXPECT_EQ(list.entries,
              (Strings{"Good Pad v1.2.3 (good_pad.so)", "No Input Pad v1.0.0 (no_input_pad.so)"}));
    CControllerPlugin slot;
    EXPECT_TRUE(slot.open("good_pad.so"));
    slot.reset();

    setProgramPluginFolders({});
}

} // namespace
