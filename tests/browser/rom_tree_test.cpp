// The ROM tree built from settings files and ROM directories the tests write.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "browser/rom_tree.h"
#include "romkit/romkit.h"
#include "support/test_machine.h"

namespace {

struct Item {
    std::string text;
    int kind, image, selectedImage;
    RomEntry* entry;
};

class RecordingTree : public RomTreeSink {
  public:
    void clearTree() override { items.clear(); }
    Node insertTreeItem(const char* text, int kind, int image, int selectedImage,
                        RomEntry* entry) override {
        items.push_back({text, kind, image, selectedImage, entry});
        return reinterpret_cast<Node>(items.size());
    }
    void setSelectedImage(Node node, int image) override {
        items[reinterpret_cast<size_t>(node) - 1].selectedImage = image;
    }
    std::vector<std::string> texts(int kind) const {
        std::vector<std::string> result;
        for (const Item& item : items)
            if (item.kind == kind) result.push_back(item.text);
        return result;
    }
    std::vector<Item> items;
};

void writeRom(const std::string& path, const std::string& name, char country = 'E',
              romkit::ByteOrder order = romkit::ByteOrder::BigEndian) {
    romkit::RomOptions options;
    options.name = name;
    options.country = country;
    options.order = order;
    std::vector<uint8_t> image = romkit::buildRomFromWords({0}, options);
    image[order == romkit::ByteOrder::BigEndian ? 0x3F : 0x3E] = 1; // version byte
    ASSERT_TRUE(romkit::writeFile(path, image));
}

class RomTreeTest : public ::testing::Test {
  protected:
    void SetUp() override { root_ = makeTempDir("romtree"); }
    void TearDown() override { buildRomTree(tree_, IniFile()); } // frees romLists

    void build(const std::string& settings) {
        const std::string path = root_ + "/orvex.ini";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fprintf(file, "[Orvex Settings]\r\n%s", settings.c_str());
        std::fclose(file);
        ini_.openIni(path.c_str());
        buildRomTree(tree_, ini_);
    }
    std::string folder(const std::string& name) {
        const std::string path = root_ + "/" + name;
        ::mkdir(path.c_str(), 0755);
        return path;
    }
    std::string root_;
    IniFile ini_;
    RecordingTree tree_;
};

TEST_F(RomTreeTest, ImagesAreNamedPicturedAndSorted) {
    const std::string roms = folder("roms");
    writeRom(roms + "/b.z64", "beta racer", 'J');
    writeRom(roms + "/a.v64", "Alpha", 'D', romkit::ByteOrder::ByteSwapped);
    writeRom(roms + "/c.z64", "Test Program", 'P');
    writeRom(roms + "/d.z64", "", 'X');
    writeRom(roms + "/e.z64", "CHARLIE", 'E');
    writeRom(roms + "/f\ng.z64", ""); // a line end would break its section header
    std::FILE* text = std::fopen((roms + "/notes.txt").c_str(), "w");
    std::fputs("not an image", text);
    std::fclose(text);
    folder("roms/sub.z64");
    ASSERT_EQ(::mkfifo((roms + "/pipe.z64").c_str(), 0644), 0); // must not block the listing

    build("dirPath01=" + roms + "\r\n");
    ASSERT_EQ(tree_.items.size(), 7u);
    EXPECT_EQ(tree_.items[0].text, "ROM Directory #1");
    EXPECT_EQ(tree_.items[0].image, IDB_DIRECTORY);
    EXPECT_EQ(tree_.items[0].selectedImage, IDB_DIRECTORY_WITH_ROMS);
    EXPECT_EQ(
        tree_.texts(TREE_ITEM_ROM),
        (std::vector<std::string>{"Alpha", "beta racer", "c.z64", "CHARLIE", "d.z64", "f?g.z64"}));
    const RomList& list = *romLists.lists[0];
    EXPECT_EQ(list.count, 6u);
    const int images[] = {IDB_COUNTRY_GERMANY, IDB_COUNTRY_JAPAN, IDB_COUNTRY_EUROPE,
                          IDB_COUNTRY_USA, IDB_COUNTRY_OTHER};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(tree_.items[i + 1].image, images[i]) << tree_.items[i + 1].text;
        EXPECT_EQ(tree_.items[i + 1].entry, &list.entries[i]);
    }
    EXPECT_EQ(std::string(list.entries[0].path), roms + "/a.v64");
}

TEST_F(RomTreeTest, DirectoryKeysAndTheirLimits) {
    const std::string empty = folder("empty");
    const std::string full = folder("full");
    writeRom(full + "/x.z64", "X");
    build("dirPath01=" + root_ + "/missing\r\n" + "dirPath02=" + empty +
          "\r\ndirDesc02=Empty one  // comment\r\n" + "dirPath03=/" + std::string(260, 'p') +
          "\r\n" + "dirPath04=" + full + "\r\ndirDesc04=" + std::string(80, 'd') + "\r\n" +
          "dirPath06=" + full + "\r\n");
    EXPECT_EQ(tree_.texts(TREE_ITEM_DIRECTORY),
              (std::vector<std::string>{"Empty one", std::string(50, 'd')}));
    EXPECT_EQ(tree_.items[0].selectedImage, IDB_DIRECTORY);
    EXPECT_EQ(romLists.count, 4u); // every directory read counts, listed or not
    EXPECT_EQ(tree_.texts(TREE_ITEM_ROM), std::vector<std::string>{"X"});

    std::string many;
    for (int n = 1; n <= 520; ++n)
        many +=
            "dirPath" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "=" + empty + "\r\n";
    build(many);
    EXPECT_EQ(romLists.count, MAX_ROM_DIRECTORIES);
    EXPECT_EQ(tree_.items.size(), MAX_ROM_DIRECTORIES);
}

TEST_F(RomTreeTest, ListingKeepsToTheCountedRoomAndToTheBuffers) {
    const std::string roms = folder("roms");
    writeRom(roms + "/1.z64", "One");
    writeRom(roms + "/" + std::string(60, 'n') + ".z64", "Test Program");
    // Not listed: a path cut to an entry's buffer would name another file.
    const std::string deep = folder("roms/" + std::string(200, 's'));
    writeRom(deep + "/" + std::string(60, 'f') + ".z64", "Too deep");

    static std::string changed;
    changed = roms;
    RomList grown;
    ASSERT_TRUE(scanRomDirectory(tree_, roms.c_str(), "Roms", grown, [](void*) {
        writeRom(changed + "/2.z64", "Two");
        writeRom(changed + "/3.z64", "Three");
    }));
    EXPECT_EQ(grown.capacity, 2u);
    EXPECT_EQ(grown.count, 2u);
    EXPECT_EQ(tree_.texts(TREE_ITEM_ROM).size(), 2u);

    RecordingTree other;
    RomList shrunk;
    ASSERT_TRUE(scanRomDirectory(other, roms.c_str(), "Roms", shrunk, [](void*) {
        for (const char* name : {"/1.z64", "/2.z64", "/3.z64"})
            ::unlink((changed + name).c_str());
    }));
    EXPECT_EQ(shrunk.capacity, 4u);
    EXPECT_EQ(other.texts(TREE_ITEM_ROM), std::vector<std::string>{std::string(50, 'n')});
}

} // namespace
