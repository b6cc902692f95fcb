// Fuzz target of the .cod symbol file reader. Each input is read as a symbol
// file. Besides not crashing, the table must be consistent: every slot of the
// index map names a record, every record has a terminated name of at most 99
// characters and sits in its own slot or was overtaken by a later record, and
// the count stays within the limit.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/ui_sink.h"
#include "fuzz_support.h"
#include "hle/cod_file.h"
#include "hle/hle_table.h"
#include "host/recording_ui_sink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RecordingUiSink sink;
    installUiSink(&sink);
    hleEnabled = true; // the lookup answers only then
    // fmemopen refuses an empty buffer; an empty file reads like a blank line.
    std::string text = size ? std::string(reinterpret_cast<const char*>(data), size) : "\n";
    std::FILE* file = fmemopen(text.data(), text.size(), "r");
    if (!file) return 0;
    const bool loaded = loadCodSymbols(file);
    std::fclose(file);

    if (!loaded) {
        check(theHleTable.functions == nullptr && theHleTable.functionCount == 0,
              "a refused file left a table");
    } else {
        check(theHleTable.functionCount <= HLE_MAX_FUNCTIONS, "too many functions");
        check(theHleTable.indexMap != nullptr, "no index map");
        for (uint32_t i = 0; i < theHleTable.functionCount; ++i) {
            const HleFunction& f = theHleTable.functions[i];
            check(std::memchr(f.name, 0, HLE_NAME_LENGTH + 1) != nullptr, "unterminated name");
            check(f.name[0] != 0, "empty name");
            check(f.handler == hleHandlerForName(f.name), "a handler not of the record's name");
            const uint16_t owner = theHleTable.indexMap[hleSlot(f.address)];
            check(owner != HLE_NO_FUNCTION && owner >= i && owner < theHleTable.functionCount,
                  "a record lost its slot to an earlier one");
        }
        for (uint32_t slot = 0; slot < HLE_SLOT_COUNT; ++slot) {
            const uint16_t index = theHleTable.indexMap[slot];
            check(index == HLE_NO_FUNCTION ||
                      (index < theHleTable.functionCount &&
                       hleSlot(theHleTable.functions[index].address) == slot),
                  "a slot names a record of another slot");
        }
        for (uint32_t i = 0; i < theHleTable.functionCount; ++i) {
            const HleFunction* found =
                findHleFunction(0x80000000, theHleTable.functions[i].address);
            check(!found || found->handler, "the lookup gave a record without a handler");
        }
    }
    // Without an open log the reader's lines wait for the run's log: a few.
    check(theHleTable.unloggedLines.size() <= 3, "more log lines than the reader writes");
    check(sink.messages().size() <= 1, "more than one message");
    logSymbolFileReport();
    clearHleTable();
    sink.clear();
    installUiSink(nullptr);
    return 0;
}
