#include "plugins/cdll.h"

#include "plugins/plugin_folders.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void copyName(char* to, const char* from) {
    std::snprintf(to, CDLL_NAME_SIZE, "%s", from);
}

} // namespace

CDLL::CDLL() : module(nullptr) {
    copyName(name, "notloaded.dll");
}

CDLL::~CDLL() = default;

CDLL::CDLL(const CDLL& other) : module(nullptr) {
    copyName(name, other.name);
    takeReferenceOf(other);
}

CDLL& CDLL::operator=(const CDLL& other) {
    if (this == &other) return *this;
    void* previous = module;
    module = nullptr;
    takeReferenceOf(other);
    if (previous) dlclose(previous);
    copyName(name, other.name);
    return *this;
}

void CDLL::takeReferenceOf(const CDLL& other) {
    if (!other.module) return;
    // Loading the already loaded library again yields the same handle and
    // counts one more reference to it.
    link_map* map = nullptr;
    if (dlinfo(other.module, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name)
        module = dlopen(map->l_name, RTLD_NOW | RTLD_NOLOAD);
}

bool CDLL::open(const char* fileName) {
    close();
    copyName(name, fileName ? fileName : "");
    // Plug-ins are named by their file name, found in the working directory
    // or the program's plug-in folders; the loader's own search path would
    // never look there.
    const std::string path = pluginPath(name);
    module = name[0] ? dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL) : nullptr;
    return module != nullptr;
}

bool CDLL::close() {
    if (!module) return false;
    const bool failed = dlclose(module) != 0;
    // The handle is gone either way; forgetting it keeps a second close from
    // freeing the library twice.
    module = nullptr;
    return failed;
}

void* CDLL::getFunction(const char* symbol) const {
    if (!module || !symbol) return nullptr;
    return dlsym(module, symbol);
}
