// The ROM tree: one node per ROM directory named in the settings file, one
// entry per ROM image found in it. The logic here is toolkit-free; it reaches
// the front end's tree widget through RomTreeSink.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "browser/ini_file.h"

// The tree's seven pictures, by resource id, in the order of the tree's image
// list (treeImageIndex gives the position).
constexpr int IDB_DIRECTORY = 148;
constexpr int IDB_DIRECTORY_WITH_ROMS = 147; // selected picture of a directory holding ROMs
constexpr int IDB_COUNTRY_GERMANY = 157;     // country code 'D'
constexpr int IDB_COUNTRY_USA = 155;         // 'E'
constexpr int IDB_COUNTRY_JAPAN = 158;       // 'J'
constexpr int IDB_COUNTRY_EUROPE = 156;      // 'P'
constexpr int IDB_COUNTRY_OTHER = 150;       // any other code
constexpr int TREE_IMAGE_COUNT = 7;
constexpr int TREE_IMAGE_IDS[TREE_IMAGE_COUNT] = {
    IDB_DIRECTORY,     IDB_DIRECTORY_WITH_ROMS, IDB_COUNTRY_GERMANY, IDB_COUNTRY_USA,
    IDB_COUNTRY_JAPAN, IDB_COUNTRY_EUROPE,      IDB_COUNTRY_OTHER};
// Position of a picture in the image list; -1 for an unknown id.
int treeImageIndex(int imageId);
// The picture of a ROM by the country code of its header (offset 0x3E).
int countryImage(char countryCode);

// The text the tree shows for the image file at `path`, whose name is
// `fileName`: its internal name, or the file name when that is empty or
// "Test Program". The file name for a file that is no image.
std::string romEntryText(const std::string& path, const char* fileName);

// One ROM image in the tree. The text names the ROM's section in the settings
// file; the path is what the loader opens; the image is the picture of its
// country code.
constexpr size_t ROM_ENTRY_TEXT_SIZE = 51;
constexpr size_t ROM_ENTRY_PATH_SIZE = 251;
struct RomEntry {
    char text[ROM_ENTRY_TEXT_SIZE] = {};
    char path[ROM_ENTRY_PATH_SIZE] = {};
    int image = IDB_COUNTRY_OTHER;
};

// The entries of one directory: room for as many images as the counting pass
// found; `count` entries are in use (never more than `capacity`).
struct RomList {
    std::unique_ptr<RomEntry[]> entries;
    size_t capacity = 0;
    size_t count = 0;
};

// Every directory of the last buildRomTree, in the order of their keys.
// Directories beyond the table's size are not read.
constexpr size_t MAX_ROM_DIRECTORIES = 512;
struct RomLists {
    std::array<std::unique_ptr<RomList>, MAX_ROM_DIRECTORIES> lists;
    size_t count = 0;
};
extern RomLists romLists;

// Kinds of tree node.
constexpr int TREE_ITEM_DIRECTORY = 1; // a directory node at the root
constexpr int TREE_ITEM_ROM = 2;       // a ROM entry under the latest directory node

// The front end's tree widget as the ROM tree logic drives it. All calls come
// from the thread that runs buildRomTree (the user-interface thread).
//
// - clearTree removes every node.
// - insertTreeItem adds a node and returns a handle the sink chooses (e.g. its
//   item pointer). A TREE_ITEM_DIRECTORY node goes at the root, after the
//   existing ones; a TREE_ITEM_ROM node goes under the directory node inserted
//   last. `image` and `selectedImage` are picture ids (IDB_...). `entry` is
//   the item data of a ROM node, null for a directory node; it stays valid
//   until the next clearTree.
// - setSelectedImage changes the picture a node shows while selected.
//
// ROM entries arrive already sorted by text (case-insensitive, then exact
// text, then path); the widget keeps them in that order and does not sort.
class RomTreeSink {
  public:
    using Node = void*;
    virtual ~RomTreeSink() = default;
    virtual void clearTree() = 0;
    virtual Node insertTreeItem(const char* text, int kind, int image, int selectedImage,
                                RomEntry* entry) = 0;
    virtual void setSelectedImage(Node node, int image) = 0;
};

// Rebuilds the tree from the settings file: for N = 1, 2, ... while
// "dirPath%02i" of "Orvex Settings" exists, a directory node named by
// "dirDesc%02i" (default "ROM Directory #%i") with the images found there.
// A directory whose path does not fit its buffer, or that cannot be listed,
// gets no node; the next one is still read.
void buildRomTree(RomTreeSink& tree, const IniFile& ini = theIni);

// Lists one directory: counts the regular files whose first halfword marks a
// ROM image, then reads them again into `list` (never more than counted),
// adds the directory node and its sorted entries. False, with no node added,
// when the directory cannot be listed. `betweenPasses`, when given, runs
// after the counting pass (tests change the directory there).
bool scanRomDirectory(RomTreeSink& tree, const char* path, const char* nodeText, RomList& list,
                      void (*betweenPasses)(void*) = nullptr, void* context = nullptr);
