#include "hle/cod_file.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/log.h"
#include "base/regular_file.h"
#include "hle/hle_table.h"

namespace {

// A line is kept up to this many characters; the rest of a longer line is
// skipped. Far more than a function line needs (a name is cut to 99 anyway).
constexpr size_t MAX_KEPT_LINE = 1024;
// Header words are compared up to this length; longer ones never match.
constexpr size_t MAX_HEADER_WORD = 32;

constexpr const char* HEADER_WORD = "Generated";

// A line for the run's log; kept in the table until the log is open.
void ORVEX_PRINTF(1, 2) report(const char* format, ...) {
    char line[LOG_MESSAGE_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (theLog.isOpen())
        logLine("%s", line);
    else
        theHleTable.unloggedLines.emplace_back(line);
}

bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\n';
}

// Reads the next whitespace-separated word, keeping at most `capacity` - 1
// characters. False at the end of the file before any word.
bool readWord(std::FILE* file, char* word, size_t capacity) {
    int c;
    do {
        c = std::getc(file);
    } while (c != EOF && isBlank(c));
    if (c == EOF) return false;
    size_t length = 0;
    bool tooLong = false;
    while (c != EOF && !isBlank(c)) {
        if (length + 1 < capacity)
            word[length++] = char(c);
        else
            tooLong = true;
        c = std::getc(file);
    }
    word[length] = 0;
    // A word that did not fit is made unequal to any header word.
    if (tooLong) word[0] = 0;
    return true;
}

// Reads one line without its newline, keeping at most MAX_KEPT_LINE
// characters. False at the end of the file before any character.
bool readLine(std::FILE* file, std::string& line) {
    line.clear();
    int c = std::getc(file);
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
        if (line.size() < MAX_KEPT_LINE) line.push_back(char(c));
        c = std::getc(file);
    }
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses "f <hex address> <name>" (white space between the three parts, an
// optional 0x before the address). The name is the run of non-blank characters
// after the address, cut to HLE_NAME_LENGTH. False when the line does not
// have that form or the address does not fit 32 bits.
bool parseFunctionLine(std::string_view line, HleFunction& record) {
    size_t pos = 1;
    auto skipBlanks = [&] {
        const size_t start = pos;
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        return pos > start;
    };
    if (line.empty() || line[0] != 'f' || !skipBlanks()) return false;

    const std::string_view rest = line.substr(pos);
    if ((rest.starts_with("0x") || rest.starts_with("0X")) && rest.size() > 2 &&
        hexDigit(rest[2]) >= 0)
        pos += 2;
    uint64_t address = 0;
    const size_t digitsStart = pos;
    for (; pos < line.size() && hexDigit(line[pos]) >= 0; ++pos) {
        address = (address << 4) | uint64_t(hexDigit(line[pos]));
        if (address > 0xFFFFFFFFu) return false;
    }
    if (pos == digitsStart || !skipBlanks()) return false;

    size_t nameLength = 0;
    while (pos + nameLength < line.size() && !isBlank(line[pos + nameLength]) &&
           line[pos + nameLength] != 0)
        ++nameLength;
    if (nameLength == 0) return false;
    if (nameLength > HLE_NAME_LENGTH) nameLength = HLE_NAME_LENGTH;
    std::memcpy(record.name, line.data() + pos, nameLength);
    record.name[nameLength] = 0;
    record.address = uint32_t(address);
    record.handler = hleHandlerForName(record.name);
    return true;
}

// Reads every function line of the file into `records`.
void readFunctionLines(std::FILE* file, std::vector<HleFunction>& records) {
    std::string line;
    unsigned skipped = 0;
    bool overflowLogged = false;
    while (readLine(file, line)) {
        if (line.empty() || line[0] != 'f') continue;
        HleFunction record{};
        if (!parseFunctionLine(line, record)) {
            ++skipped;
            continue;
        }
        if (records.size() >= HLE_MAX_FUNCTIONS) {
            if (!overflowLogged) {
                report("The .cod file names more than %u functions; the rest are ignored",
                       unsigned(HLE_MAX_FUNCTIONS));
                overflowLogged = true;
            }
            continue;
        }
        records.push_back(record);
    }
    if (skipped)
        report("%u function lines of the .cod file could not be read and were skipped", skipped);
}

void showOtherFormatMessage() {
    showMessage(0, "This .cod file was made by another program.\n"
                   "Its format is not supported by Orvex.\n"
                   ".cod files are to be created with Orvex Zyl;\n"
                   "see \"Symbol files\" in Orvex's README.");
}

} // namespace

bool loadCodSymbols(std::FILE* file) {
    clearHleTable();
    char first[MAX_HEADER_WORD];
    char second[MAX_HEADER_WORD];
    if (!readWord(file, first, sizeof first) || !readWord(file, second, sizeof second)) {
        report("The .cod file has no header");
        return false;
    }
    if (std::strcmp(second, HEADER_WORD) != 0) {
        showOtherFormatMessage();
        return false;
    }

    std::rewind(file);
    std::vector<HleFunction> records;
    readFunctionLines(file, records);

    theHleTable.functions = std::make_unique<HleFunction[]>(records.size());
    theHleTable.indexMap = std::make_unique<uint16_t[]>(HLE_SLOT_COUNT);
    std::fill_n(theHleTable.indexMap.get(), HLE_SLOT_COUNT, HLE_NO_FUNCTION);
    unsigned replaced = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        theHleTable.functions[i] = records[i];
        // A later function in the same slot takes it over.
        theHleTable.indexMap[hleSlot(records[i].address)] = uint16_t(i);
        if (records[i].handler) ++replaced;
    }
    theHleTable.functionCount = uint32_t(records.size());
    report("%u functions read from the .cod file, %u of them with a native replacement",
           theHleTable.functionCount, replaced);
    return true;
}

bool loadCodFile(const char* romPath) {
    const size_t length = romPath ? std::strlen(romPath) : 0;
    if (length < 3) {
        clearHleTable();
        return false;
    }
    const std::string codPath = std::string(romPath, length - 3) + "cod";
    clearHleTable();
    // Only a regular file is read: a FIFO would block the run's start for ever.
    FileProblem problem = FileProblem::None;
    uint64_t size = 0;
    std::FILE* file = openRegularFileStream(codPath.c_str(), problem, size);
    if (!file) {
        if (problem != FileProblem::Missing)
            report("The .cod file %s %s; it is not read", codPath.c_str(),
                   fileProblemText(problem));
        return false;
    }
    const bool loaded = loadCodSymbols(file);
    std::fclose(file);
    return loaded;
}

void logSymbolFileReport() {
    for (const std::string& line : theHleTable.unloggedLines)
        logLine("%s", line.c_str());
    theHleTable.unloggedLines.clear();
}
