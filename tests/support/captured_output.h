#pragma once
// A scratch file that a runner under test writes its output to; text() reads
// back everything written so far.
#include <cstdio>
#include <string>

struct CapturedOutput {
    FILE* file = std::tmpfile();
    ~CapturedOutput() {
        if (file) std::fclose(file);
    }
    std::string text() const {
        std::string all;
        std::rewind(file);
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            all.append(buffer, n);
        return all;
    }
};
