// What the fuzz targets share: a file of their own for the input, and the end
// of the process (which the fuzzer reports with the input) when a property
// does not hold. Both name the program, which is named after its target.
#pragma once

#include <errno.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// A path under $TMPDIR (or /tmp) named after the program and its process.
inline std::string fuzzFilePath(const char* extension) {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/orvex-" +
           program_invocation_short_name + "-" + std::to_string(::getpid()) + extension;
}

inline void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what);
        std::abort();
    }
}
