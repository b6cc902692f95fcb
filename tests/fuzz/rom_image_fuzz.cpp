// Fuzz target of the ROM image loader and the runner's look at an image
// file. Each input is written as an image file and opened both ways. Besides
// not crashing: the runner's check and the loader agree (a file the check
// accepts always loads; a file the loader refuses is never accepted), and a
// loaded image is padded to whole words of at least the header's size, with a
// terminated name.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/ui_sink.h"
#include "core/rom_file.h"
#include "fuzz_support.h"
#include "hle/hle_table.h"
#include "host/recording_ui_sink.h"
#include "rom_check.h"
#include "system/rom_loading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RecordingUiSink sink;
    static const std::string path = fuzzFilePath(".z64");
    installUiSink(&sink);
    hleEnabled = false;

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    if (!written) return 0;

    const RomFileCheck inspection = checkRomFile(path);
    const bool loaded = loadRomFile(path.c_str());
    check(loaded || !inspection.problem.empty(), "the runner accepts an image the loader refuses");
    check(loaded == (inspection.order != RomByteOrder::NotAnImage),
          "the runner and the loader disagree on the byte order");
    check(sink.messages().size() == (loaded ? 0u : 1u), "a failed load shows one message");
    if (loaded) {
        check(theRom.romImage != nullptr, "no image after a load");
        check(theRom.romSize % 4 == 0 && theRom.romSize >= ROM_HEADER_SIZE &&
                  theRom.romSize >= size && theRom.romSize < size + ROM_HEADER_SIZE + 4,
              "the image is not padded as documented");
        check(std::memchr(romHeaderName(theRom.header), 0, 21) != nullptr,
              "the internal name is not terminated");
        check(romHeaderWord(theRom.header, 0x08) == inspection.entryPoint,
              "the runner and the loader read different entry points");
    }
    theRom.freeImage();
    sink.clear();
    installUiSink(nullptr);
    return 0;
}
