#include "plugins/plugin_folders.h"

#include <filesystem>
#include <system_error>

namespace {
std::vector<std::string> programFolders;
} // namespace

void setProgramPluginFolders(std::vector<std::string> folders) {
    programFolders = std::move(folders);
}

std::vector<std::string> pluginFolders() {
    std::vector<std::string> folders{"."};
    folders.insert(folders.end(), programFolders.begin(), programFolders.end());
    return folders;
}

std::string pluginPath(const std::string& fileName) {
    if (fileName.find('/') != std::string::npos) return fileName;
    for (const std::string& folder : pluginFolders()) {
        const std::string path = folder + "/" + fileName;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    return "./" + fileName;
}

std::vector<std::string> programPluginFolders(const std::string& programPath,
                                              const std::string& relativePluginFolder) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path program = fs::weakly_canonical(programPath, error);
    if (error || program.empty()) return {};
    const fs::path own = program.parent_path();
    std::vector<std::string> folders{own.string()};
    if (!relativePluginFolder.empty()) {
        const fs::path installed = (own / relativePluginFolder).lexically_normal();
        if (installed != own) folders.push_back(installed.string());
    }
    return folders;
}
