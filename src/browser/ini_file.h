// The settings file "orvex.ini": ROM directories, the log directory and one
// section of free text per ROM. Every operation opens, reads and closes the
// file itself; nothing is cached, so edits made by hand between two calls are
// seen by the next one.
//
// Format, as the reader sees it:
// - Lines end in CR LF (LF alone is read too); a line longer than 299
//   characters is read as several lines.
// - A header is a line that, after trimIniText, starts with "[" and ends
//   with "]" and whose first two characters are not "/".
// - A section is found by name: the first header whose trimmed text contains
//   the name (case-sensitive), so "Racer" finds "[Demo Racer]" when that
//   header comes first. Its body runs to the next header or the end of file.
// - A key line is a body line whose first two characters are not "/" and
//   whose lowercased text contains the lowercased key; the first one wins
//   ("title" also finds "subtitle = ..."). Its value is the text after its
//   first "=", trimmed by trimIniText, case kept. A line without "=" is not a
//   key line.
// - "//" starts a comment in headers and values.
//
// Writing replaces a whole file by a complete new one written beside it and
// renamed over it, so a failed write never leaves a half-written file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// One line of the file: at most 299 characters and the terminating zero.
constexpr size_t INI_LINE_SIZE = 300;
// Buffers the program reads values into (terminating zero included).
constexpr size_t INI_NODE_TEXT_SIZE = 51;
constexpr size_t INI_DIRECTORY_PATH_SIZE = 251;
constexpr size_t INI_LOG_DIRECTORY_SIZE = 251;
constexpr size_t INI_TITLE_SIZE = 100;

// The section of the program's own settings.
constexpr const char* INI_SETTINGS_SECTION = "Orvex Settings";
// The settings file's name, in the working directory.
constexpr const char* INI_FILE_NAME = "orvex.ini";

// Reads the next line of `file` into `buffer` (INI_LINE_SIZE bytes) without
// its line end; false at the end of the file.
bool readIniLine(std::FILE* file, char* buffer);

// Trims a line in place: leading blanks are skipped; a line whose first
// non-blank characters are "//" is kept unchanged, leading blanks included;
// any other line is cut at its first "//" or line feed and loses its trailing
// blanks. Returns `line` or the first character after its leading blanks.
char* trimIniText(char* line);

class IniFile {
  public:
    // True when `path` can be opened for reading; the path is remembered
    // either way (a file that does not exist yet is created by writeSection).
    bool openIni(const char* path);
    const std::string& path() const { return path_; }

    // Offset of the line after the section's header; -1 when absent.
    long findSectionBody(const char* name) const;
    // Offset of the first header after the section's body, or the file size;
    // -1 when the section is absent.
    long findSectionEnd(const char* name) const;
    // Size of the buffer readSectionText needs: the body's lines each
    // followed by CR LF, and the terminating zero. For a file with CR LF line
    // ends and no overlong line that is (end - body) + 1, so a section
    // without body lines has 1. 0 when the section is absent.
    size_t sectionTextLength(const char* name) const;
    // Stores the body's lines, each followed by CR LF, and a terminating zero
    // into `buffer` (cut to `size`); returns the number of characters stored
    // before the zero. 0 when the section is absent.
    size_t readSectionText(const char* name, char* buffer, size_t size) const;
    std::string readSectionText(const char* name) const;

    // The value of the section's first line that holds the key, cut to `size`
    // (zero-terminated). False, output unchanged, when the section or key is
    // absent.
    bool readValue(const char* section, const char* key, char* output, size_t size) const;
    bool readValue(const char* section, const char* key, std::string& output) const;

    // Replaces the body of the section by `text` (`length` bytes; line ends
    // written as CR LF, a last line without one gets one), or appends the
    // section at the end of the file when absent. The file is replaced as a
    // whole; when that fails the old file is left as it was, showMessage says
    // why and the result is false.
    bool writeSection(const char* name, const char* text, size_t length);

  private:
    std::string path_;
};

extern IniFile theIni;

// The log directory from the settings file: "./", or the value of "logDir"
// of "Orvex Settings" when present (a value too long for the buffer is
// ignored rather than cut into another path).
extern char logDirectory[INI_LOG_DIRECTORY_SIZE];
void reloadLogDir(const IniFile& ini = theIni);
