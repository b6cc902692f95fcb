// Randomized symbol files: random and mutated texts never crash the reader or
// leave an inconsistent table, and well-formed random files give exactly the
// table a simple model predicts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "hle/cod_file.h"
#include "hle/hle_table.h"
#include "support/test_machine.h"

namespace {

const char* const kNames[] = {"__osSetSR",     "osMapTLB",    "sqrtf", "__ll_div", "__ull_rem",
                              "osInvalICache", "gameRoutine", "main",  "f",        "Generated"};

bool loadText(const std::string& text) {
    // fmemopen refuses an empty buffer; an empty file reads the same as "\n"
    // as far as the header goes.
    std::string buffer = text.empty() ? std::string("\n") : text;
    std::FILE* file = fmemopen(buffer.data(), buffer.size(), "r");
    if (!file) return false;
    const bool loaded = loadCodSymbols(file);
    std::fclose(file);
    return loaded;
}

void expectConsistentTable(bool loaded) {
    if (!loaded) {
        ASSERT_EQ(theHleTable.functions, nullptr);
        ASSERT_EQ(theHleTable.functionCount, 0u);
        return;
    }
    ASSERT_NE(theHleTable.functions, nullptr);
    ASSERT_NE(theHleTable.indexMap, nullptr);
    const uint32_t count = theHleTable.functionCount;
    ASSERT_LE(count, HLE_MAX_FUNCTIONS);
    for (uint32_t i = 0; i < count; ++i) {
        const HleFunction& f = theHleTable.functions[i];
        const void* end = std::memchr(f.name, 0, sizeof f.name);
        ASSERT_NE(end, nullptr);
        ASSERT_GT(std::strlen(f.name), 0u);
        ASSERT_EQ(f.handler, hleHandlerForName(f.name));
        // The record's slot points at it or at a later record.
        const uint16_t slot = theHleTable.indexMap[hleSlot(f.address)];
        ASSERT_NE(slot, HLE_NO_FUNCTION);
        ASSERT_GE(slot, i);
    }
    // Every filled slot names a record whose address falls into it.
    const uint16_t* map = theHleTable.indexMap.get();
    const HleFunction* functions = theHleTable.functions.get();
    uint32_t badSlots = 0;
    for (uint32_t s = 0; s < HLE_SLOT_COUNT; ++s) {
        const uint16_t index = map[s];
        if (index == HLE_NO_FUNCTION) continue;
        if (index >= count || hleSlot(functions[index].address) != s) ++badSlots;
    }
    ASSERT_EQ(badSlots, 0u);
}

std::string randomLine(std::mt19937& rng) {
    char line[160];
    std::uniform_int_distribution<int> pick(0, 9);
    const uint32_t address = 0x80000000u | (rng() & 0x3FFFFC);
    switch (pick(rng)) {
    case 0:
        return "; a comment\n";
    case 1:
        return "\n";
    case 2:
        std::snprintf(line, sizeof line, "d %08X data_%u\n", unsigned(address), unsigned(rng()));
        return line;
    default:
        std::snprintf(line, sizeof line, "f %08X %s\n", unsigned(address),
                      kNames[rng() % std::size(kNames)]);
        return line;
    }
}

// Byte flips, insertions of awkward characters, deletions, duplicated runs and
// truncation.
std::string mutate(std::string text, std::mt19937& rng) {
    static const char awkward[] = {'\0', '\n', '\r', ' ', '\t', 'f', 'x', '0', '\xFF', '%'};
    const unsigned edits = 1 + rng() % 8;
    for (unsigned e = 0; e < edits && !text.empty(); ++e) {
        const size_t at = rng() % text.size();
        switch (rng() % 6) {
        case 0:
            text[at] = char(rng());
            break;
        case 1:
            text.insert(text.begin() + long(at), awkward[rng() % sizeof awkward]);
            break;
        case 2:
            text.erase(at, 1 + rng() % 16);
            break;
        case 3:
            text.insert(at, std::string(1 + rng() % 400, char(rng() % 2 ? 'n' : ' ')));
            break;
        case 4:
            text.insert(at, text.substr(rng() % text.size(), rng() % 64));
            break;
        default:
            text.resize(at);
            break;
        }
    }
    return text;
}

class CodFuzz : public ::testing::Test {
  protected:
    void SetUp() override {
        savedHle_ = hleEnabled;
        hleEnabled = true;
    }
    void TearDown() override {
        clearHleTable();
        hleEnabled = savedHle_;
    }
    ScopedRecordingSink sink_;

  private:
    bool savedHle_ = false;
};

TEST_F(CodFuzz, RandomAndMutatedTextsLeaveAConsistentTable) {
    std::mt19937 rng(20240611);
    for (unsigned round = 0; round < 1500; ++round) {
        std::string text;
        if (round % 5 == 0) {
            // Pure noise.
            text.resize(rng() % 600);
            for (char& c : text)
                c = char(rng());
            if (round % 10 == 0) text.insert(0, "x Generated\n");
        } else {
            text = "// Generated\n";
            const unsigned lines = rng() % 40;
            for (unsigned i = 0; i < lines; ++i)
                text += randomLine(rng);
            text = mutate(text, rng);
        }
        SCOPED_TRACE(round);
        const bool loaded = loadText(text);
        expectConsistentTable(loaded);
        for (int probe = 0; probe < 8; ++probe) {
            const HleFunction* f = findHleFunction(0x80000000u | (rng() & 0xFFFFFF), rng());
            if (f) {
                ASSERT_NE(f->handler, nullptr);
            }
        }
        if (HasFatalFailure()) return;
    }
}

TEST_F(CodFuzz, WellFormedFilesMatchAModelWhereTheLaterLineWins) {
    std::mt19937 rng(77);
    for (unsigned round = 0; round < 200; ++round) {
        std::string text = "Symbols Generated\n";
        std::vector<std::pair<uint32_t, std::string>> lines;
        const unsigned count = rng() % 60;
        for (unsigned i = 0; i < count; ++i) {
            // Few distinct slots, so that lines collide often.
            const uint32_t address = 0x80000000u | ((rng() % 16) << 20) | ((rng() % 8) << 2);
            const std::string name = kNames[rng() % std::size(kNames)];
            lines.emplace_back(address, name);
            char line[96];
            std::snprintf(line, sizeof line, "f %x %s\n", unsigned(address), name.c_str());
            text += line;
            if (rng() % 4 == 0) text += "not a function line\n";
        }
        ASSERT_TRUE(loadText(text));
        ASSERT_EQ(theHleTable.functionCount, lines.size());
        std::map<uint32_t, size_t> lastInSlot;
        for (size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(theHleTable.functions[i].address, lines[i].first);
            ASSERT_EQ(theHleTable.functions[i].name, lines[i].second);
            lastInSlot[hleSlot(lines[i].first)] = i;
        }
        for (uint32_t slotBits = 0; slotBits < 8; ++slotBits) {
            const uint32_t target = 0x80000000u | (slotBits << 2);
            const auto it = lastInSlot.find(hleSlot(target));
            const HleFunction* found = findHleFunction(0x80000000, target);
            if (it == lastInSlot.end() || !hleHandlerForName(lines[it->second].second.c_str()))
                EXPECT_EQ(found, nullptr);
            else
                EXPECT_EQ(found, &theHleTable.functions[it->second]);
        }
    }
}

} // namespace
