// Fuzz target of the settings file reader and writer. Each input is written
// as orvex.ini; sections and values are looked up, and a section is written
// and read back. Besides not crashing, the reader must agree with itself (the
// text fits the length it announces) and a write must change only the body
// of the section it names.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "browser/ini_file.h"
#include "fuzz_support.h"

namespace {

const char* const kSections[] = {"Orvex Settings", "Game", "", "]", "//", "A"};
const char* const kKeys[] = {"dirPath01", "logDir", "title", "", "=", "/"};

std::string readAll(const std::string& path) {
    std::string content;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            content.append(chunk, got);
        std::fclose(file);
    }
    return content;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzFilePath(".ini");
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }
    IniFile ini;
    ini.openIni(path.c_str());
    for (const char* section : kSections) {
        const long body = ini.findSectionBody(section);
        const long end = ini.findSectionEnd(section);
        check((body < 0) == (end < 0) && end >= body && end <= long(size), "section bounds");
        const std::string text = ini.readSectionText(section);
        const size_t length = ini.sectionTextLength(section);
        check(body < 0 ? length == 0 : length == text.size() + 1, "section text length");
        char small[8];
        check(ini.readSectionText(section, small, sizeof small) <= sizeof small - 1, "cut text");
        for (const char* key : kKeys) {
            char value[INI_NODE_TEXT_SIZE] = "unchanged";
            if (!ini.readValue(section, key, value, sizeof value))
                check(std::string(value) == "unchanged", "absent value changed the output");
        }
    }
    reloadLogDir(ini);

    // Replace the body of "Game" (or append it) and read it back.
    const std::string before = size ? std::string(reinterpret_cast<const char*>(data), size) : "";
    const long body = ini.findSectionBody("Game");
    const long end = ini.findSectionEnd("Game");
    check(ini.writeSection("Game", "title=Fuzzed\nx=1", 16), "write");
    check(ini.readSectionText("Game") == "title=Fuzzed\r\nx=1\r\n", "written text read back");
    const std::string after = readAll(path);
    if (body >= 0) {
        std::string expected = before.substr(0, size_t(body));
        if (body > 0 && expected.back() != '\n') expected += "\r\n";
        expected += "title=Fuzzed\r\nx=1\r\n";
        expected.append(before, size_t(end));
        check(after == expected, "only the body was replaced");
    } else {
        check(after.compare(0, size, before) == 0, "appending kept the old bytes");
    }
    ::unlink(path.c_str());
    return 0;
}
