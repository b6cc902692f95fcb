#include "plugins/plugin_list.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "base/log.h"
#include "plugins/cdll.h"
#include "plugins/orvex_plugin.h"
#include "plugins/plugin_folders.h"

namespace {

bool endsWithSo(const std::string& fileName) {
    return fileName.size() > 3 && fileName.compare(fileName.size() - 3, 3, ".so") == 0;
}

// The "*.so" files of the folders, by name, each with the folder it is
// loaded from: the first that holds a file of that name.
std::map<std::string, std::string> libraryFiles(const std::vector<std::string>& folders) {
    std::map<std::string, std::string> files;
    for (const std::string& directory : folders) {
        std::error_code error;
        for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
             it.increment(error)) {
            const std::string fileName = it->path().filename().string();
            if (endsWithSo(fileName) && !it->is_directory(error))
                files.emplace(fileName, directory);
        }
    }
    return files;
}

// The order of a sorted drop-down list: by text, ignoring case.
bool listOrder(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
    const bool greater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
    return less || (!greater && a < b);
}

const char* emptyListEntry(uint32_t type) {
    switch (type) {
    case ORVEX_PLUGIN_TYPE_SOUND:
        return "No sound plugins found.";
    case ORVEX_PLUGIN_TYPE_GRAPHICS:
        return "No graphics plugins found.";
    case ORVEX_PLUGIN_TYPE_CONTROLLER:
        return "No controller plugins found.";
    default:
        return nullptr;
    }
}

} // namespace

PluginList fillPluginList(uint32_t type, const std::string& currentFile,
                          const std::string& directory) {
    PluginList list;
    const std::map<std::string, std::string> files =
        libraryFiles(directory.empty() ? pluginFolders() : std::vector<std::string>{directory});
    if (files.empty()) {
        list.entries.push_back("No plugins found..");
        list.selected = 0;
        return list;
    }

    std::string currentEntry;
    for (const auto& [file, folder] : files) {
        CDLL library;
        if (!library.open((folder + "/" + file).c_str())) {
            showMessage(0x10, "Couldn't load plugin '%s'!", file.c_str());
            continue;
        }
        const auto getType =
            reinterpret_cast<OrvexGetPluginTypeFn>(library.getFunction("getPluginType"));
        const auto getVersion =
            reinterpret_cast<OrvexGetPluginVersionFn>(library.getFunction("getPluginVersion"));
        const auto getCaps =
            reinterpret_cast<OrvexGetPluginCapsFn>(library.getFunction("getPluginCaps"));
        const auto getName =
            reinterpret_cast<OrvexGetPluginNameFn>(library.getFunction("getPluginName"));
        if (!getType || !getVersion || !getCaps || !getName) {
            library.close();
            continue;
        }
        const uint32_t pluginType = getType();
        const uint32_t version = getVersion();
        getCaps();
        // The name buffer is larger than promised, and the name is cut to it.
        char displayName[256] = {};
        getName(displayName);
        displayName[ORVEX_PLUGIN_NAME_SIZE - 1] = 0;

        if (pluginType == type) {
            char entry[512];
            std::snprintf(entry, sizeof entry, "%s v%i.%i.%i (%s)", displayName,
                          int(ORVEX_PLUGIN_VERSION_MAJOR(version)),
                          int(ORVEX_PLUGIN_VERSION_MINOR(version)),
                          int(ORVEX_PLUGIN_VERSION_PATCH(version)), file.c_str());
            list.entries.push_back(entry);
            ++list.count;
            if (file == currentFile) currentEntry = entry;
        }
        library.close();
    }

    std::stable_sort(list.entries.begin(), list.entries.end(), listOrder);
    if (list.count == 0) {
        if (const char* placeholder = emptyListEntry(type)) list.entries.push_back(placeholder);
    }
    list.selected = list.entries.empty() ? -1 : 0;
    if (!currentEntry.empty()) {
        const auto it = std::find(list.entries.begin(), list.entries.end(), currentEntry);
        list.selected = int(it - list.entries.begin());
    }
    return list;
}

bool pluginFileFromEntry(const std::string& entry, std::string& fileName) {
    const size_t open = entry.find('(');
    const size_t close = entry.find(')');
    // A ")" before the first "(" encloses nothing.
    if (open == std::string::npos || close == std::string::npos || close < open) {
        fileName = "sorry.dll";
        return false;
    }
    fileName = entry.substr(open + 1, close - open - 1);
    return true;
}
