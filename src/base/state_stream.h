// The writer and reader of a machine state's payload: a sequence of parts,
// each a four-letter tag, its length and the bytes a hardware block wrote.
// Every block writes and reads its own part; the reader checks each part's
// tag and length, so a part of another layout is refused, not misread.
//
// A state is read twice: first only to check it (nothing is changed), then
// to apply it. Readers therefore read everything into locals first and change
// the machine only when `applying()` is true and nothing failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

class StateWriter {
  public:
    // Parts do not nest.
    void beginPart(const char* tag);
    void endPart();

    void raw(const void* data, size_t size);
    template <class T> void put(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        raw(&value, sizeof value);
    }
    // A whole record preceded by its size, so that a record that has grown
    // since the state was written is told apart.
    template <class T> void putRecord(const T& record) {
        put(uint32_t(sizeof record));
        put(record);
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
    size_t partStart_ = 0;
};

class StateReader {
  public:
    StateReader(std::span<const uint8_t> payload, bool applying)
        : bytes_(payload), applying_(applying), partEnd_(payload.size()) {}

    // True on the second reading, when the parts change the machine.
    bool applying() const { return applying_ && ok(); }
    bool ok() const { return problem_.empty(); }
    // Why the reading failed ("" while it has not).
    const std::string& problem() const { return problem_; }
    // Records the first problem; later reads fail.
    void fail(const std::string& why);

    // False, with a problem, when the next part is not `tag`.
    bool beginPart(const char* tag);
    // False, with a problem, when the part has bytes left unread.
    bool endPart();
    // True when every byte of the payload has been read.
    bool atEnd() const { return at_ == bytes_.size(); }

    bool raw(void* data, size_t size);
    // A memory block of the machine: copied into `target` on the applying
    // reading, only checked for length on the first.
    bool block(void* target, size_t size);
    template <class T> bool get(T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        return raw(&value, sizeof value);
    }
    template <class T> bool getRecord(T& record) {
        uint32_t size = 0;
        if (!get(size)) return false;
        if (size != sizeof record) {
            fail("a record of " + std::to_string(size) + " bytes where this version keeps " +
                 std::to_string(sizeof record));
            return false;
        }
        return get(record);
    }
    // A length that must not exceed `limit` (a hostile length is refused
    // before anything is allocated for it).
    bool getLength(uint32_t& length, uint32_t limit);

  private:
    std::span<const uint8_t> bytes_;
    bool applying_;
    // Reads stop at the end of the current part (of the payload between parts).
    size_t partEnd_;
    size_t at_ = 0;
    std::string tag_;
    std::string problem_;
};
