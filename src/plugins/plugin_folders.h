// Where plug-in libraries are found. The user names a plug-in by its file
// name alone (the registry keeps only that); it is looked for in the working
// directory first, then in the program's own folders: where the program lies
// (a build tree) and where the plug-ins are installed beside it.
#pragma once

#include <string>
#include <vector>

// The folders searched after the working directory, in order. Set once at
// program start, before any plug-in is loaded.
void setProgramPluginFolders(std::vector<std::string> folders);
// "." followed by the program's folders.
std::vector<std::string> pluginFolders();

// The path to load for a plug-in file name: the first folder that holds such
// a regular file, else the working directory's. Names with a '/' are paths
// already and are returned as they are.
std::string pluginPath(const std::string& fileName);

// The program's folders for an executable at `programPath`: its own folder and
// `relativePluginFolder` taken from it (e.g. "../lib/orvex").
std::vector<std::string> programPluginFolders(const std::string& programPath,
                                              const std::string& relativePluginFolder);
