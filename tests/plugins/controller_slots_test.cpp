#include <dlfcn.h>

#include "plugin_test_support.h"
#include "plugins/cdll.h"
#include "plugins/controller_plugin.h"

namespace {

class ControllerSlots : public ::testing::Test {
  protected:
    void SetUp() override { resetControllerSlots(); }
    void TearDown() override { resetControllerSlots(); }
    ScopedRecordingSink sink_;
    TestRegistry registry_;
};

TEST_F(ControllerSlots, TheProgramExportsCdllAndNothingElse) {
    void* program = dlopen(nullptr, RTLD_NOW);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(dlsym(program, "_ZN4CDLL4openEPKc"), nullptr) << "CDLL::open";
    EXPECT_NE(dlsym(program, "_ZN4CDLL5closeEv"), nullptr) << "CDLL::close";
    EXPECT_NE(dlsym(program, "_ZNK4CDLL11getFunctionEPKc"), nullptr) << "CDLL::getFunction";
    EXPECT_NE(dlsym(program, "_ZN4CDLLaSERKS_"), nullptr) << "CDLL::operator=";
    EXPECT_EQ(dlsym(program, "_Z21loadControllerPluginsv"), nullptr);
    dlclose(program);
}

TEST_F(ControllerSlots, CdllLoadsFromTheWorkingDirectoryAndClosesOnce) {
    const std::string dir = pluginFolder("cdll", {"good_pad.so", "not_a_library.so"});
    ScopedWorkingDirectory cwd(dir);

    CDLL library;
    EXPECT_STREQ(library.getName(), "notloaded.dll");
    EXPECT_FALSE(library.close()) << "nothing held";
    EXPECT_EQ(library.getFunction("getInput"), nullptr);

    EXPECT_FALSE(library.open("not_a_library.so"));
    EXPECT_STREQ(library.getName(), "not_a_library.so");
    EXPECT_FALSE(library.open("absent.so"));

    ASSERT_TRUE(library.open("good_pad.so"));
    EXPECT_NE(library.getFunction("getInput"), nullptr);
    EXPECT_EQ(library.getFunction("noSuchFunction"), nullptr);

    // A copy holds its own reference: both may close.
    CDLL copy;
    copy = library;
    EXPECT_STREQ(copy.getName(), "good_pad.so");
    EXPECT_FALSE(library.close());
    EXPECT_NE(copy.getFunction("getInput"), nullptr) << "still loaded through the copy";
    EXPECT_FALSE(copy.close());
    EXPECT_FALSE(copy.close()) << "a second close frees nothing";
    EXPECT_FALSE(library.isLoaded());
}

TEST_F(ControllerSlots, LoadingFromTheRegistryWithEveryKindOfFailureOrNothing) {
    const std::string dir = pluginFolder("slots", {"good_pad.so", "no_input_pad.so"});
    ScopedWorkingDirectory cwd(dir);
    registry_.setNumber("Controller 1 Enabled", 1);
    registry_.setString("Controller 1 Plugin", "good_pad.so");
    registry_.setNumber("Controller 2 Enabled", 1); // no plug-in named
    registry_.setNumber("Controller 3 Enabled", 7);
    registry_.setString("Controller 3 Plugin", "no_input_pad.so");
    registry_.setNumber("Controller 4 Enabled", 1);
    registry_.setString("Controller 4 Plugin", "missing.so");

    loadControllerPlugins();

    CControllerPlugin& pad = controllerSlots[0];
    EXPECT_TRUE(pad.enabled);
    ASSERT_NE(pad.getInput, nullptr);
    ASSERT_NE(pad.initPlugin, nullptr);
    EXPECT_EQ(pad.getPluginVersion(), 0x0123u);
    EXPECT_EQ(pad.initPlugin(nullptr, nullptr), 1);
    pad.getInput(&pad.inputState);
    EXPECT_EQ(pad.inputState.buttons[0], 0x90);
    EXPECT_EQ(pad.inputState.stickY, -100);

    EXPECT_FALSE(controllerSlots[1].enabled);
    EXPECT_FALSE(controllerSlots[1].isLoaded());

    EXPECT_FALSE(controllerSlots[2].enabled);
    EXPECT_TRUE(controllerSlots[2].isLoaded()) << "the library stays loaded";
    EXPECT_NE(controllerSlots[2].aquireDevice, nullptr) << "looked up in field order";
    EXPECT_EQ(controllerSlots[2].getInput, nullptr);

    EXPECT_FALSE(controllerSlots[3].enabled);
    const auto messages = sink_->messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "ERROR: Couldn't find all functions in plugin 'no_input_pad.so'..");
    EXPECT_EQ(messages[0].flags, 0x10u | 0x30u);
    EXPECT_EQ(messages[1].text,
              "ERROR: Couldn't load plugin for controller #4!\nPlease reconfigure it.");

    // Disabled, or a name filling the whole value (still a terminated name):
    // nothing is loaded.
    sink_->clear();
    resetControllerSlots();
    registry_.setNumber("Controller 1 Enabled", 0);
    registry_.setString("Controller 2 Plugin", std::string(300, 'x'));
    registry_.setNumber("Controller 3 Enabled", 0);
    registry_.setNumber("Controller 4 Enabled", 0);
    loadControllerPlugins();
    for (const CControllerPlugin& slot : controllerSlots) {
        EXPECT_FALSE(slot.enabled);
        EXPECT_FALSE(slot.isLoaded());
    }
    ASSERT_EQ(sink_->messages().size(), 1u);
    EXPECT_EQ(sink_->messages()[0].text,
              "ERROR: Couldn't load plugin for controller #2!\nPlease reconfigure it.");
    EXPECT_EQ(std::string(controllerSlots[1].getName()), std::string(200, 'x'));
}

} // namespace
