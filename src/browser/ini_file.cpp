#include "browser/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/log.h"

IniFile theIni;
char logDirectory[INI_LOG_DIRECTORY_SIZE] = "./";

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr openForReading(const std::string& path) {
    return FilePtr(std::fopen(path.c_str(), "rb"));
}

bool isHeader(const char* trimmed) {
    const size_t length = std::strlen(trimmed);
    return length >= 2 && trimmed[0] == '[' && trimmed[1] != '/' && trimmed[length - 1] == ']';
}

// A line of the file is neither a header nor a key line when its first or
// second character is "/".
bool isCommentLine(const char* raw) {
    return raw[0] == '/' || (raw[0] != 0 && raw[1] == '/');
}

// After a line longer than the line buffer was read in part, skips the rest
// of it: the body of a section starts on the line after its header, however
// long the header line is.
void skipRestOfLine(std::FILE* file) {
    if (std::ftell(file) > 0 && std::fseek(file, -1, SEEK_CUR) == 0 && std::fgetc(file) == '\n')
        return;
    int c;
    do {
        c = std::fgetc(file);
    } while (c != EOF && c != '\n');
}

// Where a section's body starts and where it ends in `file`; false when the
// section is absent.
bool locateSection(std::FILE* file, const char* name, long& body, long& end) {
    char line[INI_LINE_SIZE];
    body = -1;
    while (readIniLine(file, line)) {
        const char* trimmed = trimIniText(line);
        if (isHeader(trimmed) && std::strstr(trimmed, name)) {
            skipRestOfLine(file);
            body = std::ftell(file);
            break;
        }
    }
    if (body < 0) return false;
    for (;;) {
        const long start = std::ftell(file);
        if (!readIniLine(file, line)) break;
        if (isHeader(trimIniText(line))) {
            end = start;
            return true;
        }
    }
    end = std::ftell(file);
    return true;
}

std::string lowercase(const char* text) {
    std::string result(text);
    for (char& c : result)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// Calls `visit(line)` for every line of the section's body.
template <typename Visit>
bool forEachBodyLine(const std::string& path, const char* name, Visit visit) {
    FilePtr file = openForReading(path);
    if (!file) return false;
    long body, end;
    if (!locateSection(file.get(), name, body, end)) return false;
    std::fseek(file.get(), body, SEEK_SET);
    char line[INI_LINE_SIZE];
    while (std::ftell(file.get()) < end && readIniLine(file.get(), line))
        if (!visit(line)) break;
    return true;
}

void copyCut(const std::string& text, char* output, size_t size) {
    if (size == 0) return;
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(output, text.data(), length);
    output[length] = 0;
}

bool readWholeFile(const std::string& path, std::string& content, bool& exists) {
    content.clear();
    FilePtr file = openForReading(path);
    if (!file) {
        exists = errno != ENOENT;
        return !exists;
    }
    exists = true;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        content.append(chunk, got);
    return !std::ferror(file.get());
}

// The editor's text as it goes into the file: every line end CR LF, and one
// after the last line.
std::string normaliseLineEnds(const char* text, size_t length) {
    std::string result;
    result.reserve(length + length / 16 + 2);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
        result += text[i];
    }
    if (!result.empty() && result.back() != '\n') result += "\r\n";
    return result;
}

bool writeAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(written);
    }
    return true;
}

// Replaces the file at `path` by `content`: a temporary file beside it is
// written, flushed to disk and renamed over it. A symbolic link is followed,
// so the link stays and its target is replaced. On failure the old file is
// untouched and `error` holds errno.
bool replaceFile(const std::string& path, const std::string& content, int& error) {
    std::string target = path;
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat old;
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = errno;
        return false;
    }
    const mode_t mode = hadFile ? (old.st_mode & 07777) : 0644;
    bool ok = writeAll(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    if (!ok) error = errno;
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

} // namespace

bool readIniLine(std::FILE* file, char* buffer) {
    if (!std::fgets(buffer, int(INI_LINE_SIZE), file)) {
        buffer[0] = 0;
        return false;
    }
    size_t length = std::strlen(buffer);
    if (length > 0 && buffer[length - 1] == '\n') {
        buffer[--length] = 0;
        if (length > 0 && buffer[length - 1] == '\r') buffer[--length] = 0;
    } else if (length > 0 && buffer[length - 1] == '\r') {
        // A CR LF split by the line limit still ends this line.
        const int next = std::fgetc(file);
        if (next == '\n')
            buffer[--length] = 0;
        else if (next != EOF)
            std::ungetc(next, file);
    }
    return true;
}

char* trimIniText(char* line) {
    char* text = line;
    while (*text == ' ')
        ++text;
    if (text[0] == '/' && text[1] == '/') return line;
    const size_t length = std::strcspn(text, "\n");
    char* comment = std::strstr(text, "//");
    char* end = text + length;
    if (comment && comment < end) end = comment;
    while (end > text && end[-1] == ' ')
        --end;
    *end = 0;
    return text;
}

bool IniFile::openIni(const char* path) {
    path_ = path;
    return bool(openForReading(path_));
}

long IniFile::findSectionBody(const char* name) const {
    FilePtr file = openForReading(path_);
    long body, end;
    if (!file || !locateSection(file.get(), name, body, end)) return -1;
    return body;
}

long IniFile::findSectionEnd(const char* name) const {
    FilePtr file = openForReading(path_);
    long body, end;
    if (!file || !locateSection(file.get(), name, body, end)) return -1;
    return end;
}

size_t IniFile::sectionTextLength(const char* name) const {
    size_t length = 1;
    const bool found = forEachBodyLine(path_, name, [&](const char* line) {
        length += std::strlen(line) + 2;
        return true;
    });
    return found ? length : 0;
}

std::string IniFile::readSectionText(const char* name) const {
    std::string text;
    forEachBodyLine(path_, name, [&](const char* line) {
        text += line;
        text += "\r\n";
        return true;
    });
    return text;
}

size_t IniFile::readSectionText(const char* name, char* buffer, size_t size) const {
    if (size == 0) return 0;
    const std::string text = readSectionText(name);
    copyCut(text, buffer, size);
    return std::min(text.size(), size - 1);
}

bool IniFile::readValue(const char* section, const char* key, std::string& output) const {
    const std::string lowerKey = lowercase(key);
    bool found = false;
    forEachBodyLine(path_, section, [&](char* line) {
        if (isCommentLine(line) || lowercase(line).find(lowerKey) == std::string::npos) return true;
        char* equals = std::strchr(line, '=');
        if (!equals) return true;
        output = trimIniText(equals + 1);
        found = true;
        return false;
    });
    return found;
}

bool IniFile::readValue(const char* section, const char* key, char* output, size_t size) const {
    std::string value;
    if (!readValue(section, key, value)) return false;
    copyCut(value, output, size);
    return true;
}

bool IniFile::writeSection(const char* name, const char* text, size_t length) {
    if (std::strpbrk(name, "\r\n")) {
        showMessage(0x10, "The section name \"%s\" holds a line end; nothing was saved.", name);
        return false;
    }
    std::string old;
    bool exists = false;
    if (!readWholeFile(path_, old, exists)) {
        showMessage(0x10, "Couldn't read %s to save the section [%s]: %s\nNothing was saved.",
                    path_.c_str(), name, std::strerror(errno));
        return false;
    }
    const std::string body = normaliseLineEnds(text, length);
    long bodyOffset = -1, endOffset = -1;
    if (!old.empty()) {
        FilePtr file(fmemopen(old.data(), old.size(), "rb"));
        if (file) locateSection(file.get(), name, bodyOffset, endOffset);
    }
    std::string content;
    if (bodyOffset < 0) {
        content = old;
        // A last line without its line end would swallow the new header.
        if (!content.empty() && content.back() != '\n') content += "\r\n";
        content += "[";
        content += name;
        content += "]\r\n";
        content += body;
    } else {
        content.assign(old, 0, size_t(bodyOffset));
        // A header on the file's last line, without its line end, keeps its
        // own line.
        if (bodyOffset > 0 && content.back() != '\n') content += "\r\n";
        content += body;
        content.append(old, size_t(endOffset));
    }
    if (exists && content == old) return true;
    int error = 0;
    if (!replaceFile(path_, content, error)) {
        showMessage(0x10, "Couldn't save the section [%s] in %s: %s\nThe file was left as it was.",
                    name, path_.c_str(), std::strerror(error));
        return false;
    }
    return true;
}

void reloadLogDir(const IniFile& ini) {
    std::snprintf(logDirectory, sizeof logDirectory, "./");
    std::string value;
    if (ini.readValue(INI_SETTINGS_SECTION, "logDir", value) && value.size() < sizeof logDirectory)
        copyCut(value, logDirectory, sizeof logDirectory);
}
