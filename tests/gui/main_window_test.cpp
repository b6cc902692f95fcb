#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <fstream>

#include "browser/ini_file.h"
#include "core/machine.h"
#include "gui/gui_ids.h"
#include "gui/output_window.h"
#include "gui/rom_tree_widget.h"
#include "gui_test_support.h"
#include "plugins/controller_plugin.h"
#include "romkit/romkit.h"
#include "system/machine_choice.h"
#include "system/settings_values.h"

namespace fs = std::filesystem;

// Fontconfig, under Qt's font database, keeps a cache for the life of the
// process that LeakSanitizer reports at exit; so does the D-Bus connection
// that Qt's X11 platform opens (the tests run under Xvfb use it). Neither is
// ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}

namespace {

class MainWindowTest : public OrvexTest {
  protected:
    // A ROM folder with the demo image, a shared test ROM when there is one,
    // and a file that is no image; orvex.ini names it.
    void writeIni(const std::string& sections = "") {
        fs::create_directories(dir + "/roms");
        fs::copy_file(ORVEX_DEMO_ROM, dir + "/roms/demo.z64");
        const std::string shared = sharedRom("HelloWorldCPU16BPP320X240.N64");
        if (!shared.empty()) fs::copy_file(shared, dir + "/roms/hello.n64");
        std::ofstream(dir + "/roms/notes.txt") << "not a ROM image";
        std::ofstream(dir + "/orvex.ini") << "[Orvex Settings]\r\ndirPath01=" + dir +
                                                 "/roms\r\ndirDesc01=Test ROMs\r\n" + sections;
    }
    void start() {
        window = startOrvex(*sink, nullptr, "orvex");
        ASSERT_TRUE(window);
    }
    QTreeWidgetItem* demoItem() { return window->romTree()->findNode("ORVEX DEMO"); }
    void doubleClick(QTreeWidgetItem* item) {
        QTreeWidget* tree = window->romTree();
        const QPoint at = tree->visualItemRect(item).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(MainWindowTest, StartsWithoutIniFromStoredOptionsAndPosition) {
    writeRegNumber(HLE_ENABLED_VALUE, 1);
    writeMainWindowPosition({33, 44});
    answerBoxes(QMessageBox::Ok);
    start();

    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].title, "Orvex says:");
    EXPECT_EQ(answered[0].text,
              "Couldn't open orvex.ini!!!\nIt should be in the same directory as orvex...");
    EXPECT_EQ(answered[0].icon, QMessageBox::Warning);
    EXPECT_EQ(window->romTree()->topLevelItemCount(), 0);
    EXPECT_TRUE(window->action(gui_id::HLE_CPU_FUNCTIONS)->isChecked());
    EXPECT_FALSE(window->action(gui_id::NICE_FRAME_BUFFER)->isChecked());
    EXPECT_EQ(window->pos(), QPoint(33, 44));
    EXPECT_EQ(window->size(), QSize(MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->statusText(0), "CPU: N/A");
    EXPECT_EQ(window->statusText(1), "GFX: N/A");
    EXPECT_EQ(window->sectionLabel()->text(), "No section loaded.");
}

TEST_F(MainWindowTest, MenuCommandsAndTheStoresOnClosing) {
    writeIni();
    answerBoxes(QMessageBox::Ok);
    start();
    const std::pair<int, const char*> items[] = {
        {gui_id::OPEN_ROM_FILE, "&Open ROM File\tCtrl+O"},
        {gui_id::EXIT, "E&xit"},
        {gui_id::NICE_FRAME_BUFFER, "Nice FB graphics.."},
        {gui_id::HLE_CPU_FUNCTIONS, "Utilize HLE of CPU functions"},
        {gui_id::COMPLETE_MACHINE, "Complete machine"},
        {gui_id::CHOOSE_PLUGINS, "Choose Plugins"},
        {gui_id::CONFIGURE_GRAPHICS, "Configure Graphics"},
        {gui_id::CONFIGURE_SOUND, "Configure Sound"},
        {gui_id::CONFIGURE_CONTROLLERS, "Configure Controllers"},
        {gui_id::ABOUT, "&About Orvex"}};
    for (const auto& [id, text] : items) {
        ASSERT_TRUE(window->action(id)) << id;
        EXPECT_EQ(window->action(id)->text(), text);
        const bool grayed = id == gui_id::CONFIGURE_GRAPHICS || id == gui_id::CONFIGURE_SOUND;
        EXPECT_EQ(window->action(id)->isEnabled(), !grayed) << id;
    }

    // Ctrl+O and the menu item tell the same thing and open nothing.
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    window->action(gui_id::OPEN_ROM_FILE)->trigger();
    ASSERT_TRUE(waitFor([&] { return answered.size() == 2; }));
    for (const AnsweredBox& box : answered)
        EXPECT_EQ(box.text, "Sorry, haven't done this one yet.\nPlease add your directories "
                            "that\ncontain ROM files to the .ini file.");

    window->action(gui_id::NICE_FRAME_BUFFER)->trigger();
    EXPECT_TRUE(niceFrameBuffer);
    EXPECT_TRUE(window->action(gui_id::NICE_FRAME_BUFFER)->isChecked());
    window->action(gui_id::HLE_CPU_FUNCTIONS)->trigger();
    EXPECT_TRUE(hleEnabled);
    EXPECT_EQ(answered.back().text,
              "This change will not do anything until the next ROM you load..");
    window->action(gui_id::HLE_CPU_FUNCTIONS)->trigger();
    EXPECT_FALSE(hleEnabled);
    EXPECT_FALSE(window->action(gui_id::HLE_CPU_FUNCTIONS)->isChecked());
    // On by default; the choice is taken by the next run.
    EXPECT_TRUE(window->action(gui_id::COMPLETE_MACHINE)->isChecked());
    window->action(gui_id::COMPLETE_MACHINE)->trigger();
    EXPECT_FALSE(completeMachineOption);
    EXPECT_FALSE(window->action(gui_id::COMPLETE_MACHINE)->isChecked());

    // "E&xit" stores nothing; closing the window stores both options and
    // where the window stands.
    window->move(70, 80);
    window->action(gui_id::EXIT)->trigger();
    EXPECT_EQ(readRegNumber(NICE_FRAME_BUFFER_VALUE, 7), 7u);
    EXPECT_EQ(readMainWindowPosition().left, CW_USEDEFAULT);
    window->close();
    window.reset();
    window = startOrvex(*sink, nullptr, "orvex");
    window->action(gui_id::NICE_FRAME_BUFFER)->trigger();
    window->move(70, 80);
    window->close();
    EXPECT_EQ(readRegNumber(NICE_FRAME_BUFFER_VALUE, 7), 1u);
    EXPECT_EQ(readRegNumber(HLE_ENABLED_VALUE, 7), 0u);
    EXPECT_EQ(readRegNumber(COMPLETE_MACHINE_VALUE, 7), 1u);
    EXPECT_EQ(readMainWindowPosition().left, 70);
    EXPECT_EQ(readMainWindowPosition().top, 80);
}

TEST_F(MainWindowTest, TreeSelectionLoadsSectionsAndEditsAreSavedOrOfferedForSaving) {
    writeIni("[ORVEX DEMO]\r\ntitle=Demo Title\r\n");
    start();
    QTreeWidget* tree = window->romTree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* folder = tree->topLevelItem(0);
    EXPECT_EQ(folder->text(0), "Test ROMs");
    EXPECT_FALSE(RomTreeWidget::entryOf(folder));
    EXPECT_EQ(folder->childCount(), sharedRom("HelloWorldCPU16BPP320X240.N64").empty() ? 1 : 2);
    ASSERT_TRUE(demoItem());
    EXPECT_FALSE(demoItem()->icon(0).isNull());

    // Selecting a ROM loads its section; an edit marks it.
    tree->setCurrentItem(demoItem());
    EXPECT_EQ(window->sectionLabel()->text(), "./orvex.ini:[ORVEX DEMO]");
    EXPECT_EQ(window->sectionEditor()->toPlainText(), "title=Demo Title\n");
    window->sectionEditor()->setPlainText("title=Renamed\n");
    EXPECT_EQ(window->sectionLabel()->text(), "./orvex.ini:[ORVEX DEMO]*");
    window->findChild<QPushButton*>("saveButton")->click();
    EXPECT_EQ(window->sectionLabel()->text(), "./orvex.ini:[ORVEX DEMO]");
    EXPECT_NE(readTextFile(dir + "/orvex.ini").find("[ORVEX DEMO]\r\ntitle=Renamed\r\n"),
              std::string::npos);

    // Leaving a changed section asks; No drops the change, Yes saves it.
    window->sectionEditor()->setPlainText("title=Dropped\n");
    answerBoxes(QMessageBox::No);
    window->findChild<QPushButton*>("editGeneralButton")->click();
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].text, "You have made changes to the \"ORVEX DEMO\" section\nin the "
                                ".ini file, do you wish to save them?");
    EXPECT_EQ(window->sectionLabel()->text(), "./orvex.ini:[Orvex Settings]");
    EXPECT_NE(window->sectionEditor()->toPlainText().indexOf("dirDesc01=Test ROMs"), -1);
    window->sectionEditor()->appendPlainText("logDir=" + QString::fromStdString(dir) + "/logs");
    answerBoxes(QMessageBox::Yes);
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->setCurrentItem(demoItem());
    EXPECT_EQ(answered.size(), 2u);
    const std::string ini = readTextFile(dir + "/orvex.ini");
    EXPECT_EQ(ini.find("Dropped"), std::string::npos);
    EXPECT_NE(ini.find("/logs\r\n"), std::string::npos);
    // Saving the program's settings reads the log folder again.
    EXPECT_EQ(std::string(logDirectory), dir + "/logs");
}

TEST_F(MainWindowTest, ADoubleClickRunsTheRomUntilItsWindowIsClosedAndRunsAgain) {
    writeIni("[ORVEX DEMO]\r\ntitle=Demo Title\r\n");
    writeOutputWindowPosition({120, 90});
    start();
    ASSERT_TRUE(isEmulationHalted());
    window->action(gui_id::NICE_FRAME_BUFFER)->trigger();

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        doubleClick(demoItem());
        OutputWindow* output = window->outputWindow();
        ASSERT_TRUE(output);
        EXPECT_EQ(output->windowTitle(), "Demo Title");
        // The run takes the options as the menu shows them.
        EXPECT_TRUE(niceFrameBuffer);
        if (run == 1) {
            EXPECT_EQ(output->pos(), QPoint(120, 90));
        }
        // The demo's frame mode fits the window to its 320 x 240 frame.
        ASSERT_TRUE(waitFor([&] { return !output->lastFrame().isNull(); }));
        EXPECT_TRUE(waitFor([&] { return output->size() == QSize(320, 240); }));
        EXPECT_TRUE(waitFor([&] {
            return window->statusText(0).startsWith("CPU: ") && window->statusText(0) != "CPU: N/A";
        }));

        // One run at a time.
        doubleClick(demoItem());
        EXPECT_EQ(window->outputWindow(), output);

        output->move(150 + run, 100);
        output->close();
        EXPECT_FALSE(window->outputWindow());
        EXPECT_TRUE(isEmulationHalted());
        EXPECT_EQ(readOutputWindowPosition().left, 150 + run);
        EXPECT_TRUE(waitFor([&] { return window->statusText(0) == "CPU: N/A"; }));
        EXPECT_TRUE(fs::exists(dir + "/Demo Title.main.log"));
    }
}

TEST_F(MainWindowTest, ClosingTheOutputWindowWhileTheCpuThreadWaitsInABoxEndsTheRun) {
    writeIni();
    // A guest whose first instruction (DMFC0) is reported as missing: the CPU
    // thread raises a box and waits for it.
    romkit::RomOptions options;
    options.name = "HALTS";
    ASSERT_TRUE(romkit::writeFile(dir + "/roms/halts.z64",
                                  romkit::buildRomFromWords({0x40201000, 0, 0, 0}, options)));
    start();
    doubleClick(window->romTree()->findNode("HALTS"));
    ASSERT_TRUE(window->outputWindow());
    ASSERT_TRUE(waitFor([] { return openBox(); }));
    EXPECT_EQ(openBox()->windowTitle(), "Orvex says:");
    window->outputWindow()->close();
    EXPECT_FALSE(window->outputWindow());
    EXPECT_TRUE(isEmulationHalted());
    EXPECT_TRUE(waitFor([] { return !openBox(); }));
}

} // namespace
