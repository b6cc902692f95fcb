// The settings file reader and writer on files the tests write.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "browser/ini_file.h"
#include "browser/section_editor.h"
#include "support/test_machine.h"

namespace {

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override { path_ = makeTempDir("ini") + "/orvex.ini"; }

    void write(const std::string& text) {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        ASSERT_TRUE(ini_.openIni(path_.c_str()));
    }
    std::string contents() const { return readTextFile(path_); }
    std::string value(const char* section, const char* key) const {
        std::string v = "<absent>";
        ini_.readValue(section, key, v);
        return v;
    }

    std::string path_;
    IniFile ini_;
};

TEST_F(IniFileTest, SectionsAreFoundByTheFirstHeaderContainingTheName) {
    write("[Demo Racer]\r\nkey=demo\r\n[Racer]\r\nkey=racer\r\n"
          "//[Hidden]\r\n [/x] \r\n  [Spaced]  // comment\r\nkey=spaced\r\n");
    EXPECT_EQ(value("Racer", "key"), "demo");
    EXPECT_EQ(value("Spaced", "key"), "spaced");
    EXPECT_EQ(value("Hidden", "key"), "<absent>");
    EXPECT_EQ(value("/x", "key"), "<absent>");
    EXPECT_EQ(value("racer", "key"), "<absent>"); // names are case-sensitive
    EXPECT_EQ(ini_.findSectionBody("Demo Racer"), 14);
    EXPECT_EQ(ini_.findSectionEnd("Demo Racer"), 24);
    EXPECT_EQ(ini_.findSectionBody("Nowhere"), -1);
    EXPECT_EQ(ini_.findSectionEnd("Nowhere"), -1);
}

TEST_F(IniFileTest, KeyLinesAreFirstSubstringMatchesWithCommentsCut) {
    write("[Game]\r\n"
          "// title = commented out\r\n"
          " / title = slash second\r\n"
          "  // title = indented comment   \r\n"
          "Title = My Game  // note\r\n"
          "title = second\r\n"
          "subtitle = Sub\r\n"
          "nokey title without equals\r\n"
          "Path = C:/ROMs/a b  \r\n"
          "[Next]\r\n"
          "after = x\r\n");
    // A comment with blanks before its "//" is a key line like any other.
    EXPECT_EQ(value("Game", "title"), "indented comment");
    EXPECT_EQ(value("Game", "SUBTITLE"), "Sub");
    EXPECT_EQ(value("Game", "path"), "C:/ROMs/a b");
    EXPECT_EQ(value("Game", "after"), "<absent>");
    EXPECT_EQ(value("Missing", "title"), "<absent>");

    char small[4] = "old";
    EXPECT_FALSE(ini_.readValue("Game", "nothing", small, sizeof small));
    EXPECT_STREQ(small, "old");
    EXPECT_TRUE(ini_.readValue("Game", "subtitle", small, sizeof small));
    EXPECT_STREQ(small, "Sub");
    EXPECT_TRUE(ini_.readValue("Game", "path", small, sizeof small));
    EXPECT_STREQ(small, "C:/");
}

TEST_F(IniFileTest, TrimKeepsCommentLinesWhole) {
    char a[] = "   value  // comment";
    EXPECT_STREQ(trimIniText(a), "value");
    char b[] = "  // whole line  ";
    EXPECT_STREQ(trimIniText(b), "  // whole line  ");
    char c[] = "\tvalue\t ";
    EXPECT_STREQ(trimIniText(c), "\tvalue\t");
}

TEST_F(IniFileTest, SectionTextHasCrLfPerLineAndSizesItsBuffer) {
    write("[Empty]\r\n[Body]\r\na=1\r\n\r\n// c\r\n[Lf]\nx=1\ny=2\n");
    EXPECT_EQ(ini_.sectionTextLength("Empty"), 1u);
    EXPECT_EQ(ini_.readSectionText("Empty"), "");
    EXPECT_EQ(ini_.sectionTextLength("Body"),
              size_t(ini_.findSectionEnd("Body") - ini_.findSectionBody("Body") + 1));
    EXPECT_EQ(ini_.readSectionText("Body"), "a=1\r\n\r\n// c\r\n");
    // LF-only lines come out one character longer each.
    const std::string lf = ini_.readSectionText("Lf");
    EXPECT_EQ(lf, "x=1\r\ny=2\r\n");
    EXPECT_EQ(ini_.sectionTextLength("Lf"), lf.size() + 1);
    EXPECT_EQ(ini_.sectionTextLength("Absent"), 0u);

    char buffer[6];
    EXPECT_EQ(ini_.readSectionText("Lf", buffer, sizeof buffer), 5u);
    EXPECT_STREQ(buffer, "x=1\r\n");
}

TEST_F(IniFileTest, OverlongLinesAreReadAsSeveralLines) {
    const std::string longValue(400, 'v');
    write("[Long]\r\nkey=" + longValue + "\r\nnext=1\r\n");
    std::string v;
    ASSERT_TRUE(ini_.readValue("Long", "key", v));
    EXPECT_EQ(v.size(), 295u);
    EXPECT_EQ(value("Long", "next"), "1");
    const std::string text = ini_.readSectionText("Long");
    EXPECT_EQ(ini_.sectionTextLength("Long"), text.size() + 1);
    EXPECT_EQ(text, "key=" + longValue.substr(0, 295) + "\r\n" + longValue.substr(295) +
                        "\r\nnext=1\r\n");
}

TEST_F(IniFileTest, WritingReplacesTheBodyOrAppendsWithCrLf) {
    write("[Orvex Settings]\r\ndirPath01=/roms\r\n// keep me? no\r\n\r\n[Game]\r\ntitle=G\r\n");
    const std::string newBody = "dirPath01=/other\nlogDir=/logs";
    ASSERT_TRUE(ini_.writeSection("Orvex Settings", newBody.data(), newBody.size()));
    EXPECT_EQ(contents(),
              "[Orvex Settings]\r\ndirPath01=/other\r\nlogDir=/logs\r\n[Game]\r\ntitle=G\r\n");

    const std::string same = ini_.readSectionText("Orvex Settings");
    ASSERT_TRUE(ini_.writeSection("Orvex Settings", same.data(), same.size()));
    EXPECT_EQ(contents(),
              "[Orvex Settings]\r\ndirPath01=/other\r\nlogDir=/logs\r\n[Game]\r\ntitle=G\r\n");

    ASSERT_TRUE(ini_.writeSection("New Game", "title=N\n", 8));
    EXPECT_EQ(value("New Game", "title"), "N");
    EXPECT_TRUE(contents().ends_with("G\r\n[New Game]\r\ntitle=N\r\n"));
    ASSERT_TRUE(ini_.writeSection("Game", "", 0));
    EXPECT_EQ(ini_.readSectionText("Game"), "");
    EXPECT_EQ(ini_.readSectionText("New Game"), "title=N\r\n");
}

TEST_F(IniFileTest, AppendingAfterAnUnfinishedLastLineKeepsItsOwnLine) {
    write("[A]\r\nk=1");
    ASSERT_TRUE(ini_.writeSection("B", "k=2", 3));
    EXPECT_EQ(contents(), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
    EXPECT_EQ(value("A", "k"), "1");
}

TEST_F(IniFileTest, AFailedWriteLeavesTheOldFileAndSaysSo) {
    write("[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
    // A file size limit makes the write of the new file fail (for root too).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    ScopedRecordingSink sink;
    const std::string big(200, 'x');
    const bool written = ini_.writeSection("A", big.data(), big.size());
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(contents(), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
    ASSERT_EQ(sink->messages().size(), 1u);
    EXPECT_NE(sink->messages()[0].text.find("left as it was"), std::string::npos);
    // No temporary file is left beside it.
    const std::string folder = path_.substr(0, path_.rfind('/'));
    int files = 0;
    for (DIR* dir = ::opendir(folder.c_str()); dir;) {
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            ::closedir(dir);
            break;
        }
        files += entry->d_name[0] != '.';
    }
    EXPECT_EQ(files, 1);
}

TEST_F(IniFileTest, LogDirectoryDefaultsAndIgnoresOverlongValues) {
    write("[Orvex Settings]\r\nlogDir = /var/log/orvex \r\n");
    reloadLogDir(ini_);
    EXPECT_STREQ(logDirectory, "/var/log/orvex");
    write("[Orvex Settings]\r\nlogDir=/" + std::string(300, 'd') + "\r\n");
    reloadLogDir(ini_);
    EXPECT_STREQ(logDirectory, "./");
    write("[Other]\r\n");
    reloadLogDir(ini_);
    EXPECT_STREQ(logDirectory, "./");
}

} // namespace
