// Saved states: the whole emulated machine as one payload, and its files.
//
// The payload is made of the parts each hardware block writes of itself
// (base/state_stream.h). A file holds a magic word, the format version, the
// ROM's two header CRCs and size, the payload's length and CRC-32, and the
// payload compressed with zlib. A state is applied only after the whole file
// has been read and checked: a refused state leaves the machine untouched.
//
// Capturing and applying run on the emulation thread between two blocks (or
// before the CPU thread starts); files are written to a temporary file that
// is renamed into place, so a failed save never destroys an earlier state.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

constexpr char STATE_FILE_MAGIC[8] = {'O', 'R', 'V', 'X', 'S', 'T', 'A', 'T'};
constexpr uint32_t STATE_FORMAT_VERSION = 1;
// Largest payload and file accepted (a state is about 17 MiB before
// compression); anything larger is refused before it is read.
constexpr uint32_t MAX_STATE_PAYLOAD = 64u << 20;

// What a state file names of the ROM it was taken of.
struct RomIdentity {
    uint32_t crc1 = 0;
    uint32_t crc2 = 0;
    uint32_t size = 0;
    bool operator==(const RomIdentity&) const = default;
};
// The identity of the loaded image (theRom).
RomIdentity loadedRomIdentity();

// The machine as a payload.
std::vector<uint8_t> captureMachineState();
// Reads the payload through once to check it, then applies it and flushes
// the code cache. On a refusal, with `problem` saying why, nothing changed.
bool applyMachineState(std::span<const uint8_t> payload, std::string& problem);

// The vertical interrupts the run had counted when the state was taken;
// 0 for a payload without its run counters.
uint64_t savedViInterrupts(std::span<const uint8_t> payload);

// The file around a payload.
std::vector<uint8_t> encodeStateFile(const RomIdentity& rom, std::span<const uint8_t> payload);
// Checks magic, version, ROM and checksum and unpacks the payload; false,
// with `problem`, for a file of another ROM or version, or a damaged one.
bool decodeStateFile(std::span<const uint8_t> file, const RomIdentity& rom,
                     std::vector<uint8_t>& payload, std::string& problem);

// Writes `bytes` to a temporary file beside `path` and renames it to `path`
// (creating the folder when needed).
bool writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes,
                        std::string& problem);
// Reads a state file (a regular file, at most its largest size) and decodes
// it against the loaded ROM.
bool readStateFile(const std::string& path, std::vector<uint8_t>& payload, std::string& problem);

// The machine into a state file, and a state file into the machine; the
// emulation thread at a safe point (or before the CPU thread starts).
bool saveStateFile(const std::string& path, std::string& problem);
bool loadStateFile(const std::string& path, std::string& problem);
