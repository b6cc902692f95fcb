#include "system/rom_identity.h"

#include <cstdio>

#include "base/log.h"
#include "core/rom_file.h"

namespace {

const char* byteOrderText(RomByteOrder order) {
    switch (order) {
    case RomByteOrder::BigEndian:
        return "big-endian";
    case RomByteOrder::ByteSwapped:
        return "byte-swapped (16-bit)";
    default:
        return "unknown";
    }
}

const char* countryName(char code) {
    switch (code) {
    case 'A':
        return "Asia";
    case 'B':
        return "Brazil";
    case 'D':
        return "Germany";
    case 'E':
        return "North America";
    case 'F':
        return "France";
    case 'I':
        return "Italy";
    case 'J':
        return "Japan";
    case 'P':
    case 'X':
    case 'Y':
        return "Europe";
    case 'S':
        return "Spain";
    case 'U':
        return "Australia";
    default:
        return "unknown";
    }
}

std::string format(const char* pattern, auto... values) {
    char line[160];
    std::snprintf(line, sizeof line, pattern, values...);
    return line;
}

} // namespace

std::vector<std::string> romIdentityLines() {
    const uint8_t* h = theRom.header;
    const char country = romHeaderCountry(h);
    const bool printable = country >= 0x20 && country < 0x7F;
    return {
        format("Image size: %llu bytes", static_cast<unsigned long long>(theRom.fileSize)),
        format("Byte order: %s", byteOrderText(theRom.byteOrder)),
        format("CRC 1: 0x%08X", romHeaderWord(h, 0x10)),
        format("CRC 2: 0x%08X", romHeaderWord(h, 0x14)),
        format("MD5: %s", md5Text(theRom.fileMd5).c_str()),
        format("Country: %c (0x%02X, %s)", printable ? country : '?', unsigned(uint8_t(country)),
               countryName(country)),
    };
}

void logRomIdentity() {
    for (const std::string& line : romIdentityLines())
        logLine("%s", line.c_str());
}
