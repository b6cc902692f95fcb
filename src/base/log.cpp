#include "base/log.h"

#include <cstring>

#include "base/ui_sink.h"

LogFile theLog;

namespace {

LogMachineHooks machineHooks;

uint32_t programCounter() {
    return machineHooks.programCounter ? machineHooks.programCounter() : 0;
}

bool emulationHalted() {
    return machineHooks.emulationHalted && machineHooks.emulationHalted();
}

} // namespace

void setLogMachineHooks(LogMachineHooks hooks) {
    machineHooks = hooks;
}

LogFile::~LogFile() {
    flush();
    close();
}

void LogFile::open(const char* directory, const char* nameFormat, va_list args) {
    std::lock_guard lock(mutex_);
    char name[LOG_MESSAGE_SIZE];
    std::vsnprintf(name, sizeof name, nameFormat, args);
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!directory || !*directory) directory = "./";
    const size_t length = std::strlen(directory);
    const char last = directory[length - 1];
    const bool endsWithSeparator = last == '/' || last == '\\';
    std::snprintf(path_, sizeof path_, endsWithSeparator ? "%s%s.log" : "%s/%s.log", directory,
                  name);
    file_ = std::fopen(path_, "w");
    // Lines are dropped silently when the file could not be created.
    enabled_ = true;
}

void LogFile::close() {
    std::lock_guard lock(mutex_);
    if (!file_) return;
    enabled_ = false;
    std::fclose(file_);
    file_ = nullptr;
    path_[0] = 0;
}

void LogFile::flush() {
    std::lock_guard lock(mutex_);
    if (file_) std::fflush(file_);
}

bool LogFile::isOpen() const {
    std::lock_guard lock(mutex_);
    return file_ != nullptr && enabled_;
}

void LogFile::write(bool withPc, const char* format, va_list args) {
    std::lock_guard lock(mutex_);
    if (!file_ || !enabled_) return;
    std::vsnprintf(message_, sizeof message_, format, args);
    if (withPc)
        std::fprintf(file_, "[%08X] %s\n", programCounter(), message_);
    else
        std::fprintf(file_, "%s\n", message_);
}

void openLog(const char* directory, const char* nameFormat, ...) {
    va_list args;
    va_start(args, nameFormat);
    theLog.open(directory, nameFormat, args);
    va_end(args);
}

void closeLog() {
    theLog.close();
}

void flushLog() {
    theLog.flush();
}

void logLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    theLog.write(false, format, args);
    va_end(args);
}

void logLineWithPc(const char* format, ...) {
    va_list args;
    va_start(args, format);
    theLog.write(true, format, args);
    va_end(args);
}

int showMessage(unsigned flags, const char* format, ...) {
    char text[MESSAGE_BOX_TEXT_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return uiSink().messageBox(flags | 0x30, "Orvex says:", text);
}

void statusMessage(const char* format, ...) {
    char text[STATUS_TEXT_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // The status-bar line is cut to STATUS_TEXT_SIZE - 1 characters.
    char line[STATUS_TEXT_SIZE + 16];
    std::snprintf(line, sizeof line, "%s [%08X]", text, programCounter());
    line[STATUS_TEXT_SIZE - 1] = 0;
    uiSink().setStatusPart(2, line);
    if (!emulationHalted()) logLine("%s", line);
}

void setStatusText(int part, const char* format, ...) {
    char text[STATUS_TEXT_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    uiSink().setStatusPart(part, text);
}
