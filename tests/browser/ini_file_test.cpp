// The settings file reader and writer on files the tests write.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "browser/ini_file.h"
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
    std::string value(const char* section, const char* key) const {
        std::string v = "<absent>";
        ini_.readValue(section, key, v);
        return v;
    }
    std::string path_;
    IniFile ini_;
};

TEST_F(IniFileTest, SectionsAndKeysMatchAsSubstringsAndCommentsAreCut) {
    write("[Demo Racer]\r\nkey=demo\r\n[Racer]\r\nkey=racer\r\n"
          "//[Hidden]\r\n [/x] \r\n  [Game]  // comment\r\n"
          "// title = commented out\r\n"
          " / title = slash second\r\n"
          "  // title = indented comment   \r\n" // not skipped: blanks before "//"
          "Title = My Game  // note\r\n"
          "subtitle = Sub\r\n"
          "nokey title without equals\r\n"
          "Path = C:/ROMs/a b  \r\n"
          "[Next]\r\nafter = x\r\n");
    EXPECT_EQ(value("Racer", "key"), "demo");
    EXPECT_EQ(value("racer", "key"), "<absent>");
    EXPECT_EQ(value("Hidden", "key"), "<absent>");
    EXPECT_EQ(value("/x", "key"), "<absent>");
    EXPECT_EQ(value("Game", "title"), "indented comment");
    EXPECT_EQ(value("Game", "SUBTITLE"), "Sub");
    EXPECT_EQ(value("Game", "after"), "<absent>");
    EXPECT_EQ(ini_.findSectionBody("Demo Racer"), 14);
    EXPECT_EQ(ini_.findSectionEnd("Demo Racer"), 24);
    EXPECT_EQ(ini_.findSectionEnd("Nowhere"), -1);

    char small[4] = "old";
    EXPECT_FALSE(ini_.readValue("Game", "nothing", small, sizeof small));
    EXPECT_STREQ(small, "old");
    EXPECT_TRUE(ini_.readValue("Game", "path", small, sizeof small));
    EXPECT_STREQ(small, "C:/");
    char spaced[] = "  // whole line  ";
    EXPECT_STREQ(trimIniText(spaced), "  // whole line  ");
}

TEST_F(IniFileTest, SectionTextHasCrLfPerLineAndSizesItsBuffer) {
    const std::string longValue(400, 'v');
    write("[Empty]\r\n[Body]\r\na=1\r\n\r\n// c\r\n[Lf]\nx=1\ny=2\n[Long]\r\nkey=" + longValue +
          "\r\nnext=1\r\n");
    EXPECT_EQ(ini_.sectionTextLength("Empty"), 1u);
    EXPECT_EQ(ini_.readSectionText("Empty"), "");
    EXPECT_EQ(ini_.sectionTextLength("Absent"), 0u);
    EXPECT_EQ(ini_.readSectionText("Body"), "a=1\r\n\r\n// c\r\n");
    EXPECT_EQ(ini_.sectionTextLength("Body"),
              size_t(ini_.findSectionEnd("Body") - ini_.findSectionBody("Body") + 1));
    // LF-only lines and overlong lines (read as two) come out longer than
    // their bytes; the length still fits the text.
    EXPECT_EQ(ini_.readSectionText("Lf"), "x=1\r\ny=2\r\n");
    EXPECT_EQ(ini_.sectionTextLength("Lf"), 11u);
    EXPECT_EQ(ini_.readSectionText("Long"), "key=" + longValue.substr(0, 295) + "\r\n" +
                                                longValue.substr(295) + "\r\nnext=1\r\n");
    EXPECT_EQ(ini_.sectionTextLength("Long"), ini_.readSectionText("Long").size() + 1);
    EXPECT_EQ(value("Long", "next"), "1");
    char buffer[6];
    EXPECT_EQ(ini_.readSectionText("Lf", buffer, sizeof buffer), 5u);
    EXPECT_STREQ(buffer, "x=1\r\n");
}

TEST_F(IniFileTest, WritingReplacesTheBodyOrAppendsWithCrLf) {
    write("[Orvex Settings]\r\ndirPath01=/roms\r\n// old\r\n\r\n[Game]\r\ntitle=G");
    const std::string newBody = "dirPath01=/other\nlogDir=/logs";
    ASSERT_TRUE(ini_.writeSection("Orvex Settings", newBody.data(), newBody.size()));
    const std::string expected =
        "[Orvex Settings]\r\ndirPath01=/other\r\nlogDir=/logs\r\n[Game]\r\ntitle=G";
    EXPECT_EQ(readTextFile(path_), expected);
    const std::string same = ini_.readSectionText("Orvex Settings");
    ASSERT_TRUE(ini_.writeSection("Orvex Settings", same.data(), same.size()));
    EXPECT_EQ(readTextFile(path_), expected);

    // The unfinished last line keeps its own line before the new header.
    ASSERT_TRUE(ini_.writeSection("New Game", "title=N\n", 8));
    EXPECT_EQ(readTextFile(path_), expected + "\r\n[New Game]\r\ntitle=N\r\n");
    ASSERT_TRUE(ini_.writeSection("Game", "", 0));
    EXPECT_EQ(ini_.readSectionText("Game"), "");
    EXPECT_EQ(value("New Game", "title"), "N");

    write("[Last]");
    ASSERT_TRUE(ini_.writeSection("Last", "k=1", 3));
    EXPECT_EQ(readTextFile(path_), "[Last]\r\nk=1\r\n");

    // A header line longer than the line buffer (with a NUL byte in it): the
    // body starts on the next line, so what was written reads back.
    write(std::string("[Game]\0", 7) + std::string(1000, ' ') + "\r\nold=1\r\n");
    ASSERT_TRUE(ini_.writeSection("Game", "title=T\nx=1", 11));
    EXPECT_EQ(ini_.readSectionText("Game"), "title=T\r\nx=1\r\n");
}

TEST_F(IniFileTest, AFailedWriteLeavesTheOldFileAndSaysSo) {
    write("[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
    // A file size limit makes writing the new file fail, for root too.
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
    EXPECT_EQ(readTextFile(path_), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
    ASSERT_EQ(sink->messages().size(), 1u);
    EXPECT_NE(sink->messages()[0].text.find("left as it was"), std::string::npos);
    const auto folder = std::filesystem::path(path_).parent_path();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1); // no leftovers
}

TEST_F(IniFileTest, LogDirectoryDefaultsAndIgnoresOverlongValues) {
    write("[Orvex Settings]\r\nlogDir = /var/log/orvex \r\n");
    reloadLogDir(ini_);
    EXPECT_STREQ(logDirectory, "/var/log/orvex");
    write("[Orvex Settings]\r\nlogDir=/" + std::string(300, 'd') + "\r\n");
    reloadLogDir(ini_);
    EXPECT_STREQ(logDirectory, "./");
}

} // namespace
