// Opening files that must be regular files (ROM images, symbol files, input
// scripts). A FIFO, socket or device named in their place would block the
// open or the reads for ever, and a directory reads as a file of absurd size;
// these are refused before anything is read from them.
#pragma once

#include <cstdint>
#include <cstdio>

enum class FileProblem {
    None,
    Missing,    // no such file (or a path component is missing)
    Directory,  // a directory
    Special,    // a FIFO, socket or device
    Unreadable, // exists but cannot be opened for reading (permissions, ...)
};

// Opens `path` read-only when it is a regular file: it is checked before the
// open, opened without blocking (so a FIFO swapped in meanwhile cannot hang
// the open) and checked again once open. Returns the descriptor (blocking
// mode restored, close-on-exec) or -1 with `problem` set; `size` gets the
// file's size. `error` (optional) gets the errno of a failed open.
int openRegularFile(const char* path, FileProblem& problem, uint64_t& size, int* error = nullptr);

// The same as a stdio stream for binary reading; nullptr on a problem.
std::FILE* openRegularFileStream(const char* path, FileProblem& problem, uint64_t& size,
                                 int* error = nullptr);

// A short phrase for the problem, such as "is a directory".
const char* fileProblemText(FileProblem problem);
