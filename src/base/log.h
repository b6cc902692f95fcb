// The per-run log file, the status bar and message boxes. Every operation
// takes a printf-style format; texts longer than their buffer are cut.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <mutex>

#define ORVEX_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))

// Buffer limits (including the terminating zero).
constexpr size_t LOG_MESSAGE_SIZE = 1024;
constexpr size_t LOG_PATH_SIZE = 256;
constexpr size_t MESSAGE_BOX_TEXT_SIZE = 512;
constexpr size_t STATUS_TEXT_SIZE = 256;

class LogFile {
  public:
    ~LogFile();

    void open(const char* directory, const char* nameFormat, va_list args);
    void close();
    void flush();
    void write(bool withPc, const char* format, va_list args);

    bool isOpen() const;
    // Full path of the open log file; empty when closed.
    const char* path() const { return path_; }

  private:
    mutable std::mutex mutex_;
    FILE* file_ = nullptr;
    char path_[LOG_PATH_SIZE] = {};
    char message_[LOG_MESSAGE_SIZE] = {};
    bool enabled_ = false;
};

extern LogFile theLog;

// What log lines and status messages learn from the machine: the guest program
// counter and whether the emulation has halted. The machine state installs its
// own when it is linked; without one, the counter reads 0 and nothing halted.
struct LogMachineHooks {
    uint32_t (*programCounter)() = nullptr;
    bool (*emulationHalted)() = nullptr;
};
void setLogMachineHooks(LogMachineHooks hooks);

// Closes the log if open, then creates or truncates
// "<directory>/<name>.log" (directory "" means "./").
void openLog(const char* directory, const char* nameFormat, ...) ORVEX_PRINTF(2, 3);
void closeLog();
void flushLog();
// One line "%s\n"; dropped when no log is open.
void logLine(const char* format, ...) ORVEX_PRINTF(1, 2);
// One line "[%08X] %s\n" with the guest program counter.
void logLineWithPc(const char* format, ...) ORVEX_PRINTF(1, 2);

// A modal message box titled "Orvex says:"; the style is flags | 0x30.
// Returns 1 for OK, 6 for Yes, 7 for No.
int showMessage(unsigned flags, const char* format, ...) ORVEX_PRINTF(2, 3);
// Status-bar part 2 gets "%s [%08X]" with the guest program counter; the same
// line goes to the log while the emulation runs.
void statusMessage(const char* format, ...) ORVEX_PRINTF(1, 2);
// Sets the text of a status-bar part.
void setStatusText(int part, const char* format, ...) ORVEX_PRINTF(2, 3);
