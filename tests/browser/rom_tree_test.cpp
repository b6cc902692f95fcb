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
    int kind;
    int image;
    int selectedImage;
    RomEntry* entry;
    size_t parent; // index of the directory node of a ROM entry
};

class RecordingTree : public RomTreeSink {
  public:
    void clearTree() override {
        items.clear();
        ++clears;
    }
    Node insertTreeItem(const char* text, int kind, int image, int selectedImage,
                        RomEntry* entry) override {
        if (kind == TREE_ITEM_DIRECTORY) currentDirectory_ = items.size();
        items.push_back({text, kind, image, selectedImage, entry, currentDirectory_});
        return reinterpret_cast<Node>(items.size());
    }
    void setSelectedImage(Node node, int image) override {
        items[reinterpret_cast<size_t>(node) - 1].selectedImage = image;
    }
    std::vector<Item> directories() const {
        std::vector<Item> result;
        for (const Item& item : items)
            if (item.kind == TREE_ITEM_DIRECTORY) result.push_back(item);
        return result;
    }
    std::vector<std::string> romTexts() const {
        std::vector<std::string> result;
        for (const Item& item : items)
            if (item.kind == TREE_ITEM_ROM) result.push_back(item.text);
        return result;
    }

    std::vector<Item> items;
    int clears = 0;

  private:
    size_t currentDirectory_ = 0;
};

void writeRom(const std::string& path, const std::string& name, char country = 'E',
              romkit::ByteOrder order = romkit::ByteOrder::BigEndian, uint8_t version = 0) {
    romkit::RomOptions options;
    options.name = name;
    options.country = country;
    options.order = order;
    std::vector<uint8_t> image = romkit::buildRomFromWords({0, 0, 0, 0}, options);
    image[order == romkit::ByteOrder::BigEndian ? 0x3F : 0x3E] = version;
    ASSERT_TRUE(romkit::writeFile(path, image));
}

void writeText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

class RomTreeTest : public ::testing::Test {
  protected:
    void SetUp() override { root_ = makeTempDir("romtree"); }
    void TearDown() override { buildRomTree(tree_, IniFile()); } // frees romLists

    void build(const std::string& settings) {
        writeText(root_ + "/orvex.ini", "[Orvex Settings]\r\n" + settings);
        ini_.openIni((root_ + "/orvex.ini").c_str());
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
    writeRom(roms + "/b.z64", "beta racer", 'J', romkit::ByteOrder::BigEndian, 1);
    writeRom(roms + "/a.v64", "Alpha", 'D', romkit::ByteOrder::ByteSwapped);
    writeRom(roms + "/c.z64", "Test Program", 'P');
    writeRom(roms + "/d.z64", "", 'X');
    writeRom(roms + "/e.z64", "CHARLIE", 'E');
    writeRom(roms + "/f\ng.z64", "", 'E'); // a line end would break its section header
    writeText(roms + "/notes.txt", "not an image at all");
    writeText(roms + "/tiny.bin", "\x80");
    folder("roms/sub.z64");
    ASSERT_EQ(::mkfifo((roms + "/pipe.z64").c_str(), 0644), 0); // must not block the listing

    build("dirPath01=" + roms + "\r\n");
    EXPECT_EQ(tree_.clears, 1);
    const std::vector<Item> dirs = tree_.directories();
    ASSERT_EQ(dirs.size(), 1u);
    EXPECT_EQ(dirs[0].text, "ROM Directory #1");
    EXPECT_EQ(dirs[0].image, IDB_DIRECTORY);
    EXPECT_EQ(dirs[0].selectedImage, IDB_DIRECTORY_WITH_ROMS);
    EXPECT_EQ(tree_.romTexts(), (std::vector<std::string>{"Alpha", "beta racer", "c.z64", "CHARLIE",
                                                          "d.z64", "f?g.z64"}));
    ASSERT_EQ(romLists.count, 1u);
    const RomList& list = *romLists.lists[0];
    EXPECT_EQ(list.count, 6u);
    EXPECT_EQ(list.capacity, 6u);
    const int expectedImages[] = {IDB_COUNTRY_GERMANY, IDB_COUNTRY_JAPAN, IDB_COUNTRY_EUROPE,
                                  IDB_COUNTRY_USA, IDB_COUNTRY_OTHER};
    for (size_t i = 0; i < 5; ++i) {
        const Item& item = tree_.items[i + 1];
        EXPECT_EQ(item.image, expectedImages[i]) << item.text;
        EXPECT_EQ(item.selectedImage, item.image);
        EXPECT_EQ(item.entry, &list.entries[i]);
        EXPECT_EQ(item.parent, 0u);
    }
    EXPECT_EQ(std::string(list.entries[0].path), roms + "/a.v64");
    EXPECT_EQ(treeImageIndex(IDB_COUNTRY_OTHER), 6);
    EXPECT_EQ(treeImageIndex(1), -1);
}

TEST_F(RomTreeTest, DirectoryKeysStopAtTheFirstGapAndBadDirectoriesGetNoNode) {
    const std::string empty = folder("empty");
    const std::string full = folder("full");
    writeRom(full + "/x.z64", "X");
    build("dirPath01=" + root_ +
          "/missing\r\n"
          "dirPath02=" +
          empty +
          "\r\ndirDesc02=Empty one  // comment\r\n"
          "dirPath03=/" +
          std::string(260, 'p') +
          "\r\n"
          "dirPath04=" +
          full + "\r\ndirDesc04=" + std::string(80, 'd') +
          "\r\n"
          "dirPath06=" +
          full + "\r\n");
    const std::vector<Item> dirs = tree_.directories();
    ASSERT_EQ(dirs.size(), 2u);
    EXPECT_EQ(dirs[0].text, "Empty one");
    EXPECT_EQ(dirs[0].selectedImage, IDB_DIRECTORY);
    EXPECT_EQ(dirs[1].text, std::string(50, 'd'));
    EXPECT_EQ(romLists.count, 4u); // every key read counts, listed or not
    EXPECT_EQ(tree_.romTexts(), std::vector<std::string>{"X"});

    // A rebuild starts from an empty tree.
    buildRomTree(tree_, ini_);
    EXPECT_EQ(tree_.clears, 2);
    EXPECT_EQ(tree_.directories().size(), 2u);
}

TEST_F(RomTreeTest, AtMost512DirectoriesAreRead) {
    const std::string empty = folder("empty");
    std::string settings;
    for (int n = 1; n <= 520; ++n) {
        char line[64];
        std::snprintf(line, sizeof line, "dirPath%02i=", n);
        settings += line + empty + "\r\n";
    }
    build(settings);
    EXPECT_EQ(romLists.count, MAX_ROM_DIRECTORIES);
    EXPECT_EQ(tree_.directories().size(), MAX_ROM_DIRECTORIES);
}

TEST_F(RomTreeTest, ListingKeepsToTheCountedRoomAndCutsLongNames) {
    const std::string roms = folder("roms");
    writeRom(roms + "/1.z64", "One");
    writeRom(roms + "/" + std::string(60, 'n') + ".z64", "Test Program");
    // A path longer than an entry holds is not listed: a cut path names
    // another file.
    const std::string deep = folder("roms/" + std::string(200, 's'));
    writeRom(deep + "/" + std::string(60, 'f') + ".z64", "Too deep");

    struct Change {
        std::string folder;
        static void addTwo(void* context) {
            const std::string& f = static_cast<Change*>(context)->folder;
            writeRom(f + "/2.z64", "Two");
            writeRom(f + "/3.z64", "Three");
        }
    } change{roms};
    RomList list;
    ASSERT_TRUE(scanRomDirectory(tree_, roms.c_str(), "Roms", list, &Change::addTwo, &change));
    EXPECT_EQ(list.capacity, 2u);
    EXPECT_EQ(list.count, 2u);
    EXPECT_EQ(tree_.romTexts().size(), 2u);
    for (size_t i = 0; i < list.count; ++i)
        EXPECT_LT(std::string(list.entries[i].text).size(), ROM_ENTRY_TEXT_SIZE);

    // Fewer images while listing: only the ones found are in use.
    auto removeAll = [](void* context) {
        const std::string& f = static_cast<Change*>(context)->folder;
        for (const char* name : {"/1.z64", "/2.z64", "/3.z64"})
            ::unlink((f + name).c_str());
    };
    RecordingTree other;
    RomList shrunk;
    ASSERT_TRUE(scanRomDirectory(other, roms.c_str(), "Roms", shrunk, removeAll, &change));
    EXPECT_EQ(shrunk.capacity, 4u);
    EXPECT_EQ(shrunk.count, 1u);
    EXPECT_EQ(other.romTexts(), std::vector<std::string>{std::string(50, 'n')});
}

} // namespace
