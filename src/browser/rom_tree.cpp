#include "browser/rom_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/rom_file.h"

RomLists romLists;

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

std::string joinPath(const char* directory, const char* name) {
    std::string path = directory;
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

// Reads the first ROM_HEADER_SIZE bytes of a regular file into `block`
// (zero-filled past its end). Anything but a regular file (a directory, a
// pipe, a device) is refused without waiting on it.
bool readFileStart(const std::string& path, uint8_t* block) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    std::memset(block, 0, ROM_HEADER_SIZE);
    size_t done = 0;
    while (ok && done < ROM_HEADER_SIZE) {
        const ssize_t got = ::read(fd, block + done, ROM_HEADER_SIZE - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        done += size_t(got);
    }
    ::close(fd);
    return ok;
}

bool hasImageMark(const uint8_t* block) {
    const uint16_t mark = uint16_t(block[0] | (block[1] << 8));
    return mark == 0x8037 || mark == 0x3780;
}

// The files of a directory that may be images: names that fit an entry's
// path, and not "." or "..".
template <typename Visit> void forEachCandidate(DIR* dir, const char* directory, Visit visit) {
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!std::strcmp(entry->d_name, ".") || !std::strcmp(entry->d_name, "..")) continue;
        const std::string path = joinPath(directory, entry->d_name);
        if (path.size() >= ROM_ENTRY_PATH_SIZE) continue;
        if (!visit(entry->d_name, path)) break;
    }
}

// Copies `text` into a buffer of `size` bytes, cut short when it is longer;
// a cut never splits a UTF-8 sequence.
void copyText(char* output, size_t size, const char* text) {
    size_t length = std::strlen(text);
    if (length >= size) {
        length = size - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(output, text, length);
    output[length] = 0;
}

// A tree text also names the ROM's section in the settings file, where a line
// end or another control character would break the header line apart.
void copyDisplayText(char* output, size_t size, const char* text) {
    copyText(output, size, text);
    for (char* c = output; *c; ++c)
        if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7F) *c = '?';
}

bool entryBefore(const RomEntry& a, const RomEntry& b) {
    if (const int c = ::strcasecmp(a.text, b.text)) return c < 0;
    if (const int c = std::strcmp(a.text, b.text)) return c < 0;
    return std::strcmp(a.path, b.path) < 0;
}

} // namespace

int treeImageIndex(int imageId) {
    for (int i = 0; i < TREE_IMAGE_COUNT; ++i)
        if (TREE_IMAGE_IDS[i] == imageId) return i;
    return -1;
}

std::string romEntryText(const std::string& path, const char* fileName) {
    alignas(4) uint8_t block[ROM_HEADER_SIZE];
    const bool image =
        readFileStart(path, block) && decodeRomHeader(block) != RomByteOrder::NotAnImage;
    const char* internalName = romHeaderName(block);
    const bool useFileName =
        !image || !internalName[0] || !std::strcmp(internalName, "Test Program");
    char text[ROM_ENTRY_TEXT_SIZE];
    copyDisplayText(text, sizeof text, useFileName ? fileName : internalName);
    return text;
}

int countryImage(char countryCode) {
    switch (countryCode) {
    case 'D':
        return IDB_COUNTRY_GERMANY;
    case 'E':
        return IDB_COUNTRY_USA;
    case 'J':
        return IDB_COUNTRY_JAPAN;
    case 'P':
        return IDB_COUNTRY_EUROPE;
    default:
        return IDB_COUNTRY_OTHER;
    }
}

bool scanRomDirectory(RomTreeSink& tree, const char* path, const char* nodeText, RomList& list,
                      void (*betweenPasses)(void*), void* context) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path));
    if (!dir) return false;
    RomTreeSink::Node directoryNode =
        tree.insertTreeItem(nodeText, TREE_ITEM_DIRECTORY, IDB_DIRECTORY, IDB_DIRECTORY, nullptr);

    alignas(4) uint8_t block[ROM_HEADER_SIZE];
    size_t counted = 0;
    forEachCandidate(dir.get(), path, [&](const char*, const std::string& file) {
        if (readFileStart(file, block) && hasImageMark(block)) ++counted;
        return true;
    });
    if (betweenPasses) betweenPasses(context);

    // The list holds what the counting pass saw; images that appeared since
    // are left out until the next build.
    list.entries = std::make_unique<RomEntry[]>(counted);
    list.capacity = counted;
    list.count = 0;
    forEachCandidate(dir.get(), path, [&](const char* name, const std::string& file) {
        if (list.count == list.capacity) return false;
        if (!readFileStart(file, block) || decodeRomHeader(block) == RomByteOrder::NotAnImage)
            return true;
        RomEntry& entry = list.entries[list.count++];
        const char* internalName = romHeaderName(block);
        const bool useFileName = !internalName[0] || !std::strcmp(internalName, "Test Program");
        copyDisplayText(entry.text, sizeof entry.text, useFileName ? name : internalName);
        copyText(entry.path, sizeof entry.path, file.c_str());
        entry.image = countryImage(romHeaderCountry(block));
        return true;
    });

    std::sort(list.entries.get(), list.entries.get() + list.count, entryBefore);
    for (size_t i = 0; i < list.count; ++i) {
        RomEntry& entry = list.entries[i];
        tree.insertTreeItem(entry.text, TREE_ITEM_ROM, entry.image, entry.image, &entry);
    }
    if (list.count > 0) tree.setSelectedImage(directoryNode, IDB_DIRECTORY_WITH_ROMS);
    return true;
}

void buildRomTree(RomTreeSink& tree, const IniFile& ini) {
    // The widget lets go of its item data before the entries are freed.
    tree.clearTree();
    for (size_t i = 0; i < romLists.count; ++i)
        romLists.lists[i].reset();
    romLists.count = 0;

    for (int n = 1; romLists.count < MAX_ROM_DIRECTORIES; ++n) {
        char key[32];
        std::snprintf(key, sizeof key, "dirPath%02i", n);
        std::string path;
        if (!ini.readValue(INI_SETTINGS_SECTION, key, path)) break;
        char nodeText[INI_NODE_TEXT_SIZE];
        std::snprintf(key, sizeof key, "dirDesc%02i", n);
        std::string description;
        if (ini.readValue(INI_SETTINGS_SECTION, key, description))
            copyText(nodeText, sizeof nodeText, description.c_str());
        else
            std::snprintf(nodeText, sizeof nodeText, "ROM Directory #%i", n);
        auto& list = romLists.lists[romLists.count++];
        list = std::make_unique<RomList>();
        // A path cut to its buffer would name another directory: such a
        // directory is left out like one that cannot be listed.
        if (path.size() < INI_DIRECTORY_PATH_SIZE)
            scanRomDirectory(tree, path.c_str(), nodeText, *list);
    }
}
