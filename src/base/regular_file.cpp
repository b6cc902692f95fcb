#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

FileProblem problemOfMode(mode_t mode) {
    if (S_ISREG(mode)) return FileProblem::None;
    if (S_ISDIR(mode)) return FileProblem::Directory;
    return FileProblem::Special;
}

} // namespace

int openRegularFile(const char* path, FileProblem& problem, uint64_t& size, int* error) {
    size = 0;
    if (error) *error = 0;
    struct stat before {};
    if (!path || ::stat(path, &before) != 0) {
        const int e = path ? errno : ENOENT;
        if (error) *error = e;
        problem = (e == ENOENT || e == ENOTDIR) ? FileProblem::Missing : FileProblem::Unreadable;
        return -1;
    }
    problem = problemOfMode(before.st_mode);
    if (problem != FileProblem::None) return -1;

    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int e = errno;
        if (error) *error = e;
        problem = e == ENOENT ? FileProblem::Missing : FileProblem::Unreadable;
        return -1;
    }
    // The path may have been replaced between the check and the open.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        if (error) *error = errno;
        ::close(fd);
        problem = FileProblem::Unreadable;
        return -1;
    }
    problem = problemOfMode(opened.st_mode);
    if (problem != FileProblem::None) {
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    size = opened.st_size > 0 ? uint64_t(opened.st_size) : 0;
    return fd;
}

std::FILE* openRegularFileStream(const char* path, FileProblem& problem, uint64_t& size,
                                 int* error) {
    const int fd = openRegularFile(path, problem, size, error);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        if (error) *error = errno;
        ::close(fd);
        problem = FileProblem::Unreadable;
    }
    return file;
}

const char* fileProblemText(FileProblem problem) {
    switch (problem) {
    case FileProblem::None:
        return "is a regular file";
    case FileProblem::Missing:
        return "does not exist";
    case FileProblem::Directory:
        return "is a directory";
    case FileProblem::Special:
        return "is not a regular file (a FIFO, socket or device)";
    case FileProblem::Unreadable:
        return "cannot be read";
    }
    return "cannot be read";
}
