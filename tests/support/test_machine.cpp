#include "support/test_machine.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/log.h"
#include "core/machine.h"
#include "core/memory.h"
#include "core/rom_file.h"
#include "romkit/romkit.h"
#include "system/rom_loading.h"

ScopedRecordingSink::ScopedRecordingSink() {
    installUiSink(&sink_);
}
ScopedRecordingSink::~ScopedRecordingSink() {
    installUiSink(nullptr);
}

std::string makeTempDir(const std::string& tag) {
    static std::atomic<int> counter{0};
    std::filesystem::path dir =
        std::filesystem::path(ORVEX_TEST_TMP) /
        (tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string readTextFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string openLogText() {
    flushLog();
    return readTextFile(theLog.path());
}

std::string sharedRom(const std::string& name) {
    std::filesystem::path p = std::filesystem::path(ORVEX_SHARED_ROMS) / name;
    return std::filesystem::exists(p) ? p.string() : std::string();
}

void bootMachineWithProgram(const std::vector<uint32_t>& words) {
    const std::string dir = makeTempDir("boot");
    const std::string path = dir + "/program.z64";
    ASSERT_TRUE(romkit::writeFile(path, romkit::buildRomFromWords(words)));
    ASSERT_TRUE(loadRomFile(path.c_str()));
    ASSERT_TRUE(resetMachine());
}

void resetBareMachine() {
    theRom.freeImage();
    ASSERT_TRUE(resetMachine());
}

uint32_t guestWord(uint32_t physical) {
    return blockWord(theMemory.rdram, physical);
}
void setGuestWord(uint32_t physical, uint32_t value) {
    blockWord(theMemory.rdram, physical) = value;
}
