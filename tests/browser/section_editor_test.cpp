// The section editor's load, edit and save cycle where the main window's test
// does not reach it: nothing loaded, an absent settings section, and a ROM
// without a section of its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "browser/section_editor.h"
#include "support/test_machine.h"

namespace {

TEST(SectionEditorTest, LoadEditSaveCycle) {
    const std::string path = makeTempDir("editor") + "/orvex.ini";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("[Game One]\r\ntitle=One\r\n", file);
    std::fclose(file);
    IniFile ini;
    ASSERT_TRUE(ini.openIni(path.c_str()));
    SectionEditor editor;

    // Nothing loaded: edits are ignored; the settings section is absent.
    editor.textEdited();
    EXPECT_FALSE(editor.mustAskToSave());
    EXPECT_EQ(editor.loadSection(ini, INI_SETTINGS_SECTION, false), "");
    EXPECT_FALSE(editor.sectionLoaded());

    EXPECT_EQ(editor.loadSection(ini, "Game One", true), "title=One\n");
    editor.textEdited();
    ASSERT_TRUE(editor.mustAskToSave());
    EXPECT_EQ(editor.saveQuestion(), "You have made changes to the \"Game One\" section\n"
                                     "in the .ini file, do you wish to save them?");
    ASSERT_TRUE(editor.save(ini, "title=Renamed\n"));
    EXPECT_FALSE(editor.mustAskToSave());

    // A ROM without a section gets its name and an empty text; saving adds it.
    EXPECT_EQ(editor.loadSection(ini, "Game Two", true), "");
    EXPECT_EQ(editor.label(), "./orvex.ini:[Game Two]");
    editor.textEdited();
    ASSERT_TRUE(editor.save(ini, "title=Two"));
    EXPECT_EQ(readTextFile(path), "[Game One]\r\ntitle=Renamed\r\n[Game Two]\r\ntitle=Two\r\n");
    // Sections are found by a part of their name.
    EXPECT_EQ(editor.loadSection(ini, "Two", true), "title=Two\n");
}

} // namespace
