// Listing the plug-in libraries of one type for the plug-in dialogs, and
// taking a plug-in's file name back from a list entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PluginList {
    // The entries as the dialog's sorted drop-down list shows them.
    std::vector<std::string> entries;
    // Index into entries of the entry to select; -1 when the list is empty.
    int selected = -1;
    // Plug-ins of the requested type listed (placeholder entries not counted).
    int count = 0;
};

// Lists the plug-ins of `type` among the "*.so" files of `directory` (""
// for the plug-in folders, where a file of the working directory hides one of
// the same name further on) as
// "Name vMAJOR.MINOR.PATCH (file.so)", sorted, with the plug-in whose file name
// equals `currentFile` selected (else the first entry). Every library is loaded
// and freed again; one that cannot be loaded is reported with a message.
PluginList fillPluginList(uint32_t type, const std::string& currentFile,
                          const std::string& directory = "");

// The file name between the first "(" and the first ")" of an entry; false and
// "sorry.dll" when the entry names no file.
bool pluginFileFromEntry(const std::string& entry, std::string& fileName);
