#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "gui/choose_plugins_dialog.h"
#include "gui/controller_dialog.h"
#include "gui/gui_ids.h"
#include "gui_test_support.h"
#include "plugins/controller_plugin.h"
#include "system/settings_values.h"

namespace fs = std::filesystem;

namespace {

class PluginDialogsTest : public GuiTest {
  protected:
    void TearDown() override {
        resetControllerSlots();
        GuiTest::TearDown();
    }
    void copyPlugins() {
        for (const char* file :
             {"good_pad.so", "no_input_pad.so", "graphics_plugin.so", "sound_plugin.so"})
            fs::copy_file(fs::path(ORVEX_TEST_PLUGIN_DIR) / file, fs::path(dir) / file);
    }
    template <typename T> static T* control(QWidget* dialog, int id) {
        T* widget = dialog->findChild<T*>(orvexIdName(id));
        EXPECT_TRUE(widget) << id;
        return widget;
    }
    // Selects the entry of a list whose text contains `text`, as the user would.
    static void choose(QComboBox* list, const QString& text) {
        const int index = list->findText(text, Qt::MatchContains);
        ASSERT_GE(index, 0) << text.toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
};

TEST_F(PluginDialogsTest, ChoosePluginsStoresTheChoiceOnOkOnly) {
    {
        // Without plug-ins nothing can be chosen.
        ChoosePluginsDialog dialog;
        EXPECT_EQ(control<QComboBox>(&dialog, gui_id::GRAPHICS_LIST)->currentText(),
                  "No plugins found..");
        EXPECT_FALSE(control<QPushButton>(&dialog, gui_id::SOUND_CONFIGURE)->isEnabled());
        control<QPushButton>(&dialog, gui_id::OK)->click();
    }
    EXPECT_EQ(readSoundPlugin(), "");
    copyPlugins();
    {
        ChoosePluginsDialog dialog;
        QComboBox* graphics = control<QComboBox>(&dialog, gui_id::GRAPHICS_LIST);
        QComboBox* sound = control<QComboBox>(&dialog, gui_id::SOUND_LIST);
        ASSERT_EQ(graphics->count(), 1);
        EXPECT_TRUE(graphics->currentText().endsWith("(graphics_plugin.so)"));
        EXPECT_TRUE(sound->currentText().endsWith("(sound_plugin.so)"));
        EXPECT_TRUE(control<QPushButton>(&dialog, gui_id::GRAPHICS_ABOUT)->isEnabled());
        control<QPushButton>(&dialog, gui_id::CANCEL)->click();
        EXPECT_EQ(dialog.result(), gui_id::CANCEL);
    }
    EXPECT_EQ(readGraphicsPlugin(), "");
    {
        ChoosePluginsDialog dialog;
        control<QPushButton>(&dialog, gui_id::OK)->click();
        EXPECT_EQ(dialog.result(), gui_id::OK);
    }
    EXPECT_EQ(readGraphicsPlugin(), "graphics_plugin.so");
    EXPECT_EQ(readSoundPlugin(), "sound_plugin.so");
}

TEST_F(PluginDialogsTest, ControllerChoicesApplyOnOkAndReportPluginsThatCannotServe) {
    copyPlugins();
    for (int n : {1, 2}) {
        writeControllerEnabled(n, true);
        writeControllerPlugin(n, "good_pad.so");
    }
    loadControllerPlugins();
    answerBoxes(QMessageBox::Ok);

    ControllerDialog dialog(ControllerDialog::Apply::Now, false);
    auto* controllers = control<QComboBox>(&dialog, gui_id::CONTROLLER_LIST);
    auto* plugins = control<QComboBox>(&dialog, gui_id::CONTROLLER_PLUGIN_LIST);
    auto* enabled = control<QCheckBox>(&dialog, gui_id::CONTROLLER_ENABLED);
    EXPECT_FALSE(control<QCheckBox>(&dialog, gui_id::CONTROLLER_MEMPACK)->isEnabled());
    EXPECT_FALSE(control<QCheckBox>(&dialog, gui_id::CONTROLLER_RUMBLE_PACK)->isEnabled());
    ASSERT_EQ(controllers->count(), 4);
    EXPECT_EQ(controllers->itemText(0), "Controller 1");
    EXPECT_TRUE(enabled->isChecked());
    EXPECT_TRUE(plugins->currentText().endsWith("(good_pad.so)"));

    // Controller 2 off; controller 3 on with a pad that lacks getInput; the
    // choice for 3 survives a look at controller 1.
    controllers->setCurrentIndex(1);
    enabled->click();
    controllers->setCurrentIndex(2);
    EXPECT_FALSE(enabled->isChecked());
    choose(plugins, "(no_input_pad.so)");
    enabled->click();
    controllers->setCurrentIndex(0);
    controllers->setCurrentIndex(2);
    EXPECT_TRUE(enabled->isChecked());
    EXPECT_TRUE(plugins->currentText().endsWith("(no_input_pad.so)"));
    EXPECT_EQ(dialog.choices()[2].file, "no_input_pad.so");

    control<QPushButton>(&dialog, gui_id::OK)->click();
    EXPECT_EQ(dialog.result(), gui_id::OK);
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].text, "ERROR: Couldn't find all functions in plugin 'no_input_pad.so'..");
    EXPECT_TRUE(controllerSlots[0].enabled);
    EXPECT_TRUE(controllerSlots[0].getInput);
    EXPECT_FALSE(controllerSlots[1].enabled);
    EXPECT_FALSE(controllerSlots[2].enabled);
    EXPECT_TRUE(readControllerEnabled(1));
    EXPECT_FALSE(readControllerEnabled(2));
    EXPECT_EQ(readControllerPlugin(2), "good_pad.so");
    EXPECT_FALSE(readControllerEnabled(3));
    EXPECT_EQ(readControllerPlugin(3), "no_input_pad.so");
}

TEST_F(PluginDialogsTest, DuringARunOkStoresTheChoiceAndLeavesTheSlotsAlone) {
    copyPlugins();
    ControllerDialog dialog(ControllerDialog::Apply::AtNextRun, false);
    EXPECT_TRUE(dialog.findChild<QLabel*>("runningNote"));
    control<QCheckBox>(&dialog, gui_id::CONTROLLER_ENABLED)->click();
    control<QPushButton>(&dialog, gui_id::OK)->click();
    EXPECT_TRUE(readControllerEnabled(1));
    EXPECT_EQ(readControllerPlugin(1), "good_pad.so");
    EXPECT_FALSE(controllerSlots[0].enabled);
    EXPECT_FALSE(controllerSlots[0].isLoaded());

    // Opened again before the run ends, the dialog shows the stored choice.
    ControllerDialog again(ControllerDialog::Apply::AtNextRun, true);
    EXPECT_TRUE(control<QCheckBox>(&again, gui_id::CONTROLLER_ENABLED)->isChecked());
}

TEST_F(PluginDialogsTest, WithoutPluginsNoControllerCanBeEnabled) {
    writeControllerEnabled(1, true);
    ControllerDialog dialog(ControllerDialog::Apply::Now, true);
    EXPECT_FALSE(control<QCheckBox>(&dialog, gui_id::CONTROLLER_ENABLED)->isChecked());
    EXPECT_FALSE(control<QPushButton>(&dialog, gui_id::CONTROLLER_ABOUT)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(&dialog, gui_id::CONTROLLER_CONFIGURE)->isEnabled());
    control<QPushButton>(&dialog, gui_id::OK)->click();
    EXPECT_FALSE(readControllerEnabled(1));
}

} // namespace
