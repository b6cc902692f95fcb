// orvex-run given files it cannot use: every kind of bad ROM image, input
// script and symbol file gets one clear line and exit status 1, never blocks,
// and leaves nothing written; images that are merely short, odd-sized or
// byte-swapped run. Also the end of a run by SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hle/hle_table.h"
#include "romkit/romkit.h"
#include "runner.h"
#include "support/captured_output.h"
#include "support/test_machine.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> goodImage(romkit::ByteOrder order = romkit::ByteOrder::BigEndian) {
    romkit::RomOptions options;
    options.order = order;
    // A guest that waits in an idle loop.
    return romkit::buildRomFromWords({0x08000400, 0}, options);
}

// The image with its header's boot address (big-endian word 0x08) replaced.
std::vector<uint8_t> withEntry(uint32_t entry) {
    std::vector<uint8_t> image = goodImage();
    for (int i = 0; i < 4; ++i)
        image[8 + i] = uint8_t(entry >> (24 - 8 * i));
    return image;
}

size_t lineCount(const std::string& text) {
    size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

class RunnerBadInput : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = makeTempDir("bad-input");
        outputs_ = makeTempDir("bad-input-out");
    }

    std::string file(const std::string& name, const std::vector<uint8_t>& contents) {
        const std::string path = dir_ + "/" + name;
        EXPECT_TRUE(romkit::writeFile(path, contents));
        return path;
    }
    std::string fifo(const std::string& name) {
        const std::string path = dir_ + "/" + name;
        EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
        return path;
    }

    RunnerOptions options(const std::string& rom) {
        RunnerOptions o;
        o.romPath = rom;
        o.frames = 2;
        o.logDirectory = outputs_;
        o.screenshotPath = outputs_ + "/shot.png";
        o.wavPath = outputs_ + "/sound.wav";
        o.padLibrary = ORVEX_SCRIPTED_PAD;
        return o;
    }

    // Runs with a bound on the wall time (a blocked open would never return)
    // and checks the refusal: status 1, one line naming the reason, nothing
    // written and the file itself unchanged.
    void expectRefused(const RunnerOptions& o, const std::string& reason) {
        SCOPED_TRACE(o.romPath + " / " + o.inputScript);
        std::error_code ignored;
        const bool small = fs::is_regular_file(o.romPath, ignored) &&
                           fs::file_size(o.romPath, ignored) < (1u << 20);
        const std::string before = small ? readTextFile(o.romPath) : "";
        CapturedOutput out;
        const auto start = std::chrono::steady_clock::now();
        const RunReport r = runEmulation(o, out.file);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        const std::string text = out.text();
        EXPECT_EQ(r.exitStatus, EXIT_BAD_USAGE) << text;
        EXPECT_NE(text.find(reason), std::string::npos) << text;
        EXPECT_EQ(fs::is_empty(outputs_), true) << "the run wrote files";
        if (small) {
            EXPECT_EQ(readTextFile(o.romPath), before);
        }
        lastOutput_ = text;
    }

    std::string dir_;
    std::string outputs_;
    std::string lastOutput_;
};

TEST_F(RunnerBadInput, EveryKindOfBadImageGetsOneLineAndStatusOne) {
    std::vector<uint8_t> littleEndian = goodImage();
    for (size_t i = 0; i + 3 < littleEndian.size(); i += 4) {
        std::swap(littleEndian[i], littleEndian[i + 3]);
        std::swap(littleEndian[i + 1], littleEndian[i + 2]);
    }
    std::vector<uint8_t> garbage(4095);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 37 + 11);
    const std::string sparse = file("sparse.z64", goodImage());
    fs::resize_file(sparse, uint64_t(1) << 40);

    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {dir_ + "/missing.z64", "does not exist"},
        {file("empty.z64", {}), "empty"},
        {file("one.z64", {0x80}), "not a ROM image"},
        {file("garbage.z64", garbage), "not a ROM image"},
        {file("little.n64", littleEndian), "not a ROM image"},
        {dir_, "is a directory"},
        {fifo("fifo.z64"), "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {sparse, "too large"},
        {file("entry0.z64", withEntry(0)), "entry point is 0"},
        {file("entryodd.z64", withEntry(0x80001002)), "not word-aligned"},
        {file("entryuser.z64", withEntry(0x00001000)), "not in a directly mapped segment"},
        {file("entrykseg3.z64", withEntry(0xE0001000)), "not in a directly mapped segment"},
        {file("entrycart.z64", withEntry(0xB0001000)), "outside RDRAM"},
        {file("entryboot.z64", withEntry(0xA4000100)), "inside the boot code"},
    };
    for (const Case& c : cases) {
        expectRefused(options(c.path), c.reason);
        EXPECT_EQ(lineCount(lastOutput_), 1u) << lastOutput_;
        EXPECT_NE(lastOutput_.find("cannot load the ROM image"), std::string::npos);
    }

    // A file that exists but cannot be opened; root opens anything.
    const std::string locked = file("locked.z64", goodImage());
    fs::permissions(locked, fs::perms::none);
    if (FILE* f = std::fopen(locked.c_str(), "rb")) {
        std::fclose(f);
    } else {
        expectRefused(options(locked), "cannot be read");
    }
}

TEST_F(RunnerBadInput, ShortOddAndByteSwappedImagesRunWithTheirByteOrder) {
    std::vector<uint8_t> odd = goodImage();
    odd.push_back(0x55);
    std::vector<uint8_t> swapped = goodImage(romkit::ByteOrder::ByteSwapped);
    swapped.resize(4095);
    // 16 bytes: the mark, the clock rate and a boot address; padded with zeros.
    const std::vector<uint8_t> tiny = {0x80, 0x37, 0x12, 0x40, 0, 0, 0, 0x0F,
                                       0x80, 0x00, 0x10, 0x00, 0, 0, 0, 0};
    const std::vector<uint8_t> tinySwapped = {0x37, 0x80, 0x40, 0x12, 0, 0, 0x0F, 0,
                                              0x00, 0x80, 0x00, 0x10, 0, 0, 0,    0};
    struct Case {
        std::string path;
        const char* order;
    };
    const Case cases[] = {
        {file("odd.z64", odd), "Byte order: big-endian"},
        {file("swapped.v64", swapped), "Byte order: byte-swapped"},
        {file("tiny.z64", tiny), "Byte order: big-endian"},
        {file("tiny.v64", tinySwapped), "Byte order: byte-swapped"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RunnerOptions o = options(c.path);
        o.screenshotPath.clear();
        o.wavPath.clear();
        CapturedOutput out;
        const RunReport r = runEmulation(o, out.file);
        EXPECT_NE(r.exitStatus, EXIT_BAD_USAGE) << out.text();
        EXPECT_NE(out.text().find(c.order), std::string::npos) << out.text();
    }
}

TEST_F(RunnerBadInput, UnusableInputScriptsFailTheRun) {
    const std::string rom = file("good.z64", goodImage());
    std::string withNul = "1000 0 0\n8000 0";
    withNul.push_back('\0');
    withNul += " 0\n";
    std::ofstream(dir_ + "/nul.txt") << withNul;
    fs::create_directory(dir_ + "/scripts.d");
    struct Case {
        std::string script;
        const char* reason;
    };
    const Case cases[] = {
        {dir_ + "/absent.txt", "does not exist"},
        {dir_ + "/scripts.d", "is a directory"},
        {fifo("pad.fifo"), "not a regular file"},
        {dir_ + "/nul.txt", "cannot be used"},
    };
    for (const Case& c : cases) {
        RunnerOptions o = options(rom);
        o.inputScript = c.script;
        testing::internal::CaptureStderr();
        expectRefused(o, c.reason);
        const std::string pad = testing::internal::GetCapturedStderr();
        // The plug-in's own report comes once (the script is read once).
        const size_t first = pad.find("scripted_pad:");
        if (first != std::string::npos) {
            EXPECT_EQ(pad.find("scripted_pad:", first + 1), std::string::npos) << pad;
        }
    }
}

TEST_F(RunnerBadInput, SymbolFileIsNeverBlockingAndItsLinesReachTheRunLog) {
    const std::string rom = file("game.z64", goodImage());
    RunnerOptions o = options(rom);
    o.screenshotPath.clear();
    o.wavPath.clear();
    o.hle = true;
    {
        // A FIFO in its place: refused without blocking, the run goes on.
        fifo("game.cod");
        CapturedOutput out;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(runEmulation(o, out.file).exitStatus, EXIT_LIMIT_REACHED) << out.text();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_NE(out.text().find("There will be no HLE"), std::string::npos);
        EXPECT_NE(readTextFile(outputs_ + "/ORVEX TEST.main.log").find("is not a regular file"),
                  std::string::npos);
    }
    fs::remove(dir_ + "/game.cod");
    std::ofstream(dir_ + "/game.cod") << "Symbols Generated by a tool\n"
                                         "f 80001000 __osDisableInt\n"
                                         "f zz nothing\n";
    CapturedOutput out;
    EXPECT_EQ(runEmulation(o, out.file).exitStatus, EXIT_LIMIT_REACHED) << out.text();
    const std::string log = readTextFile(outputs_ + "/ORVEX TEST.main.log");
    EXPECT_NE(log.find("1 functions read from the .cod file"), std::string::npos) << log;
    EXPECT_NE(log.find("1 function lines of the .cod file could not be read"), std::string::npos)
        << log;
    hleEnabled = false;
}

// The real program: SIGTERM ends a run at once, with the figures printed.
TEST(RunnerSignals, TerminationEndsTheRunAtOnce) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        execl(ORVEX_RUN_BINARY, ORVEX_RUN_BINARY, "--seconds", "60", "--log-dir",
              makeTempDir("signal").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    // Wait for the header, so that the run is under way.
    std::string seen;
    char buffer[256];
    ssize_t n;
    while (seen.find("Byte order:") == std::string::npos &&
           (n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        seen.append(buffer, size_t(n));
    const auto start = std::chrono::steady_clock::now();
    kill(child, SIGTERM);
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        seen.append(buffer, size_t(n));
    close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    ASSERT_TRUE(WIFEXITED(status)) << seen;
    EXPECT_EQ(WEXITSTATUS(status), EXIT_LIMIT_REACHED);
    EXPECT_NE(seen.find("End:                    time limit reached"), std::string::npos) << seen;
}

} // namespace
