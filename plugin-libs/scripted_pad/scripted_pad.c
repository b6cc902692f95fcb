/*
 * Scripted Pad: a controller plug-in that replays input from a text file, for
 * tests and headless runs.
 *
 * Script format, one controller state per line, each line used for one poll
 * of the controllers (one getInput call):
 *
 *     BUTTONS STICK_X STICK_Y [REPEAT]
 *
 *   BUTTONS  the two button bytes as one hexadecimal number, first byte high,
 *            with or without "0x": 8000 is A, 1000 is Start, 0020 is L
 *            (bits as in OrvexInputState of orvex_plugin.h)
 *   STICK_X  stick X, decimal -128..127 (right positive)
 *   STICK_Y  stick Y, decimal -128..127 (up positive)
 *   REPEAT   optional: the number of polls the line lasts (default 1)
 *
 * Blank lines and text after '#' are ignored; a line that cannot be read
 * (also a repeat count above 4294967295) is reported on standard error and
 * skipped. A script that is missing, not a regular file or not text (a NUL
 * byte) is refused as a whole. When the script has been played,
 * the last state is held. Without a script every poll reads as neutral.
 *
 * The script is the file named by scriptedPadSetScript() or else by the
 * environment variable ORVEX_PAD_SCRIPT; it is (re)read by initPlugin (unless
 * scriptedPadSetScript has just read it), so every emulation run replays it
 * from its first line.
 *
 *     # press Start for two polls, then hold the stick right with A
 *     1000 0 0 2
 *     8000 80 0
 */
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "orvex_plugin.h"

/* Longest a line may last: about 2 years of polls at 60 a second. Larger
 * counts (and those that overflow) are refused. */
#define MAX_REPEAT 0xFFFFFFFFul

typedef struct PadStep {
    OrvexInputState state;
    unsigned long repeat;
} PadStep;

static pthread_mutex_t padLock = PTHREAD_MUTEX_INITIALIZER;
static char scriptPath[4096];
static PadStep* steps;
static size_t stepCount;
static size_t currentStep;
static unsigned long pollsInStep;
static int scriptLoaded;
/* Set when scriptedPadSetScript has just read the script: the following
 * initPlugin starts from its first line without reading it again. */
static int readBySetScript;
static int readBySetScriptOk;

static int parseLine(char* line, PadStep* step) {
    char* comment = strchr(line, '#');
    if (comment) *comment = 0;
    while (*line == ' ' || *line == '\t' || *line == '\r' || *line == '\n')
        ++line;
    if (!*line) return 0; /* blank */
    if (*line == '-' || *line == '+') return -1;
    char* end;
    errno = 0;
    unsigned long buttons = strtoul(line, &end, 16);
    if (end == line || errno || buttons > 0xFFFF) return -1;
    char* next = end;
    long x = strtol(next, &end, 10);
    if (end == next || x < -128 || x > 127) return -1;
    next = end;
    long y = strtol(next, &end, 10);
    if (end == next || y < -128 || y > 127) return -1;
    next = end;
    unsigned long repeat = 1;
    while (*next == ' ' || *next == '\t')
        ++next;
    if (*next && *next != '\n' && *next != '\r') {
        if (*next == '-') return -1;
        errno = 0;
        repeat = strtoul(next, &end, 10);
        if (end == next || errno || repeat == 0 || repeat > MAX_REPEAT) return -1;
        next = end;
    }
    while (*next == ' ' || *next == '\t' || *next == '\r' || *next == '\n')
        ++next;
    if (*next) return -1;
    step->state.buttons[0] = (uint8_t)(buttons >> 8);
    step->state.buttons[1] = (uint8_t)buttons;
    step->state.stickX = (int8_t)x;
    step->state.stickY = (int8_t)y;
    step->repeat = repeat;
    return 1;
}

/* Opens the script for reading when it is a regular file; a FIFO or device
 * named in its place would block for ever, so it is refused before reading
 * (and opened without blocking in case it was swapped in meanwhile). */
static FILE* openScript(const char* path) {
    struct stat info;
    if (stat(path, &info) != 0) {
        fprintf(stderr, "scripted_pad: cannot open script '%s': %s\n", path, strerror(errno));
        return NULL;
    }
    if (!S_ISREG(info.st_mode)) {
        fprintf(stderr, "scripted_pad: script '%s' is %s, not a regular file\n", path,
                S_ISDIR(info.st_mode) ? "a directory" : "a FIFO, socket or device");
        return NULL;
    }
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        fprintf(stderr, "scripted_pad: cannot open script '%s': %s\n", path, strerror(errno));
        return NULL;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        fprintf(stderr, "scripted_pad: script '%s' is not a regular file\n", path);
        close(fd);
        return NULL;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FILE* file = fdopen(fd, "r");
    if (!file) {
        fprintf(stderr, "scripted_pad: cannot open script '%s': %s\n", path, strerror(errno));
        close(fd);
    }
    return file;
}

enum { LINE_OK, LINE_TOO_LONG, LINE_HAS_NUL, LINE_END };

/* Reads one line (without its newline) into line[size]; the rest of a line
 * too long for it is skipped. */
static int readScriptLine(FILE* file, char* line, size_t size) {
    size_t length = 0;
    int c = getc(file);
    if (c == EOF) return LINE_END;
    int result = LINE_OK;
    while (c != EOF && c != '\n') {
        if (c == 0)
            result = LINE_HAS_NUL;
        else if (length + 1 < size)
            line[length++] = (char)c;
        else if (result == LINE_OK)
            result = LINE_TOO_LONG;
        c = getc(file);
    }
    line[length] = 0;
    return result;
}

/* Reads the script into steps; caller holds padLock. Returns 0 when a script
 * is named but cannot be used: missing, not a regular file, not text (a NUL
 * byte) or out of memory. Lines that cannot be read are reported and
 * skipped. */
static int loadScript(void) {
    free(steps);
    steps = NULL;
    stepCount = currentStep = 0;
    pollsInStep = 0;
    scriptLoaded = 1;
    const char* path = scriptPath[0] ? scriptPath : getenv("ORVEX_PAD_SCRIPT");
    if (!path || !*path) return 1;
    FILE* file = openScript(path);
    if (!file) return 0;
    size_t capacity = 0;
    char line[512];
    unsigned long number = 0;
    int ok = 1;
    int read;
    while ((read = readScriptLine(file, line, sizeof line)) != LINE_END) {
        ++number;
        if (read == LINE_HAS_NUL) {
            fprintf(stderr, "scripted_pad: %s:%lu: NUL byte, this is not a text script\n", path,
                    number);
            ok = 0;
            break;
        }
        if (read == LINE_TOO_LONG) {
            fprintf(stderr, "scripted_pad: %s:%lu: line too long, skipped\n", path, number);
            continue;
        }
        PadStep step;
        int result = parseLine(line, &step);
        if (result < 0)
            fprintf(stderr, "scripted_pad: %s:%lu: unreadable, skipped\n", path, number);
        if (result <= 0) continue;
        if (stepCount == capacity) {
            size_t grown = capacity ? capacity * 2 : 64;
            PadStep* larger = realloc(steps, grown * sizeof *steps);
            if (!larger) {
                fprintf(stderr, "scripted_pad: %s: out of memory\n", path);
                ok = 0;
                break;
            }
            steps = larger;
            capacity = grown;
        }
        steps[stepCount++] = step;
    }
    if (ok && ferror(file)) {
        fprintf(stderr, "scripted_pad: %s: read error\n", path);
        ok = 0;
    }
    fclose(file);
    if (!ok) {
        free(steps);
        steps = NULL;
        stepCount = 0;
    }
    return ok;
}

/* Names the script to replay (NULL or "" falls back to ORVEX_PAD_SCRIPT) and
 * reads it at once. Returns 1 when the script could be read. The next
 * initPlugin uses this reading instead of reading (and reporting) it again. */
ORVEX_PLUGIN_EXPORT int scriptedPadSetScript(const char* path) {
    pthread_mutex_lock(&padLock);
    snprintf(scriptPath, sizeof scriptPath, "%s", path ? path : "");
    int ok = loadScript();
    readBySetScript = 1;
    readBySetScriptOk = ok;
    pthread_mutex_unlock(&padLock);
    return ok;
}

uint32_t getPluginType(void) {
    return ORVEX_PLUGIN_TYPE_CONTROLLER;
}
uint32_t getPluginVersion(void) {
    return ORVEX_PLUGIN_VERSION(1, 0, 0);
}
uint32_t getPluginCaps(void) {
    return 0;
}
void getPluginName(char* name) {
    snprintf(name, ORVEX_PLUGIN_NAME_SIZE, "Scripted Pad");
}

void showPluginConfig(void* parentWindow) {
    (void)parentWindow;
    fprintf(stderr, "scripted_pad: set ORVEX_PAD_SCRIPT to the script file to replay\n");
}

void showPluginInfo(void) {
    fprintf(stderr, "Scripted Pad 1.0.0: replays controller input from a text file\n");
}

uint8_t initPlugin(const OrvexOutputWindow* window, void* programInstance) {
    (void)window;
    (void)programInstance;
    pthread_mutex_lock(&padLock);
    int ok;
    if (readBySetScript) {
        readBySetScript = 0;
        ok = readBySetScriptOk;
        currentStep = 0;
        pollsInStep = 0;
    } else {
        ok = loadScript();
    }
    pthread_mutex_unlock(&padLock);
    return (uint8_t)ok;
}

void freePlugin(void) {
    pthread_mutex_lock(&padLock);
    free(steps);
    steps = NULL;
    stepCount = currentStep = 0;
    pollsInStep = 0;
    scriptLoaded = 0;
    readBySetScript = 0;
    pthread_mutex_unlock(&padLock);
}

void aquireDevice(void) {}

void getInput(OrvexInputState* inputState) {
    if (!inputState) return;
    pthread_mutex_lock(&padLock);
    if (!scriptLoaded) loadScript();
    OrvexInputState state = {{0, 0}, 0, 0};
    if (stepCount > 0) {
        state = steps[currentStep].state;
        if (++pollsInStep >= steps[currentStep].repeat && currentStep + 1 < stepCount) {
            ++currentStep;
            pollsInStep = 0;
        }
    }
    pthread_mutex_unlock(&padLock);
    *inputState = state;
}
