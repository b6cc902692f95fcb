// The state file: its header, the zlib compression, and the writing through
// a temporary file.
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/regular_file.h"
#include "system/save_state.h"

namespace {

// magic, version, CRC 1, CRC 2, ROM size, payload size, payload CRC-32,
// compressed size, CRC-32 of the header's bytes before it.
constexpr size_t HEADER_SIZE = 40;
constexpr size_t HEADER_CHECKED = HEADER_SIZE - 4;

void putWord(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = uint8_t(value >> (8 * i));
}

uint32_t word(std::span<const uint8_t> in, size_t at) {
    return uint32_t(in[at]) | uint32_t(in[at + 1]) << 8 | uint32_t(in[at + 2]) << 16 |
           uint32_t(in[at + 3]) << 24;
}

uint32_t crc32Of(std::span<const uint8_t> bytes) {
    return uint32_t(crc32(crc32(0, nullptr, 0), bytes.data(), uInt(bytes.size())));
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

} // namespace

std::vector<uint8_t> encodeStateFile(const RomIdentity& rom, std::span<const uint8_t> payload) {
    uLongf packedSize = compressBound(uLong(payload.size()));
    std::vector<uint8_t> file(HEADER_SIZE + packedSize);
    // The fastest level: the payload is mostly zeros and long runs.
    if (compress2(file.data() + HEADER_SIZE, &packedSize, payload.data(), uLong(payload.size()),
                  Z_BEST_SPEED) != Z_OK)
        return {};
    file.resize(HEADER_SIZE + packedSize);
    std::memcpy(file.data(), STATE_FILE_MAGIC, sizeof STATE_FILE_MAGIC);
    putWord(file, 8, STATE_FORMAT_VERSION);
    putWord(file, 12, rom.crc1);
    putWord(file, 16, rom.crc2);
    putWord(file, 20, rom.size);
    putWord(file, 24, uint32_t(payload.size()));
    putWord(file, 28, crc32Of(payload));
    putWord(file, 32, uint32_t(packedSize));
    putWord(file, 36, crc32Of({file.data(), HEADER_CHECKED}));
    return file;
}

bool decodeStateFile(std::span<const uint8_t> file, const RomIdentity& rom,
                     std::vector<uint8_t>& payload, std::string& problem) {
    if (file.size() < HEADER_SIZE ||
        std::memcmp(file.data(), STATE_FILE_MAGIC, sizeof STATE_FILE_MAGIC) != 0) {
        problem = "it is not a saved state";
        return false;
    }
    const uint32_t version = word(file, 8);
    if (version != STATE_FORMAT_VERSION) {
        problem = "it was saved by another version (state format " + std::to_string(version) +
                  "; this version reads format " + std::to_string(STATE_FORMAT_VERSION) + ")";
        return false;
    }
    if (word(file, 36) != crc32Of(file.first(HEADER_CHECKED))) {
        problem = "the file is damaged (its header does not match its checksum)";
        return false;
    }
    const RomIdentity saved{word(file, 12), word(file, 16), word(file, 20)};
    if (!(saved == rom)) {
        problem = "it was saved from another ROM (CRC " + hex(saved.crc1) + "-" + hex(saved.crc2) +
                  ", " + std::to_string(saved.size) + " bytes; this ROM is CRC " + hex(rom.crc1) +
                  "-" + hex(rom.crc2) + ", " + std::to_string(rom.size) + " bytes)";
        return false;
    }
    const uint32_t payloadSize = word(file, 24);
    const uint32_t packedSize = word(file, 32);
    if (packedSize != file.size() - HEADER_SIZE) {
        problem = "the file is damaged (" + std::to_string(file.size() - HEADER_SIZE) +
                  " bytes of data where " + std::to_string(packedSize) + " were written)";
        return false;
    }
    if (payloadSize > MAX_STATE_PAYLOAD) {
        problem = "the file is damaged (a state of " + std::to_string(payloadSize) + " bytes)";
        return false;
    }
    std::vector<uint8_t> unpacked(payloadSize);
    uLongf unpackedSize = payloadSize;
    if (uncompress(unpacked.data(), &unpackedSize, file.data() + HEADER_SIZE, packedSize) != Z_OK ||
        unpackedSize != payloadSize || crc32Of(unpacked) != word(file, 28)) {
        problem = "the file is damaged (its data does not match its checksum)";
        return false;
    }
    payload = std::move(unpacked);
    return true;
}

bool writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes,
                        std::string& problem) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target(path);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        problem = std::string("cannot create a file beside it: ") + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    const int writeError = done == bytes.size() ? 0 : errno ? errno : EIO;
    // The data is on disk before the name points at it.
    const bool synced = writeError == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (writeError != 0 || !synced) {
        problem = std::string("cannot write it: ") + std::strerror(writeError ? writeError : errno);
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        problem = std::string("cannot put it in place: ") + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool readStateFile(const std::string& path, std::vector<uint8_t>& payload, std::string& problem) {
    FileProblem fileProblem = FileProblem::None;
    uint64_t size = 0;
    int error = 0;
    const int fd = openRegularFile(path.c_str(), fileProblem, size, &error);
    if (fd < 0) {
        problem = fileProblem == FileProblem::Unreadable
                      ? std::string("it cannot be read: ") + std::strerror(error)
                      : std::string("it ") + fileProblemText(fileProblem);
        return false;
    }
    if (size > MAX_STATE_PAYLOAD) {
        ::close(fd);
        problem = "it is too large to be a saved state";
        return false;
    }
    std::vector<uint8_t> file(size);
    size_t done = 0;
    while (done < file.size()) {
        const ssize_t n = ::read(fd, file.data() + done, file.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    ::close(fd);
    file.resize(done);
    return decodeStateFile(file, loadedRomIdentity(), payload, problem);
}

bool saveStateFile(const std::string& path, std::string& problem) {
    const std::vector<uint8_t> file = encodeStateFile(loadedRomIdentity(), captureMachineState());
    if (file.empty()) {
        problem = "the state could not be compressed";
        return false;
    }
    return writeFileReplacing(path, file, problem);
}

bool loadStateFile(const std::string& path, std::string& problem) {
    std::vector<uint8_t> payload;
    return readStateFile(path, payload, problem) && applyMachineState(payload, problem);
}
