#include "base/state_stream.h"

#include <cstring>

namespace {
constexpr size_t TAG_SIZE = 4;
} // namespace

void StateWriter::beginPart(const char* tag) {
    raw(tag, TAG_SIZE);
    partStart_ = bytes_.size();
    put(uint32_t(0));
}

void StateWriter::endPart() {
    const uint32_t length = uint32_t(bytes_.size() - partStart_ - sizeof(uint32_t));
    std::memcpy(bytes_.data() + partStart_, &length, sizeof length);
}

void StateWriter::raw(const void* data, size_t size) {
    const uint8_t* from = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), from, from + size);
}

void StateReader::fail(const std::string& why) {
    if (!problem_.empty()) return;
    problem_ = tag_.empty() ? why : "part \"" + tag_ + "\": " + why;
}

bool StateReader::beginPart(const char* tag) {
    if (!ok()) return false;
    partEnd_ = bytes_.size();
    char found[TAG_SIZE + 1] = {};
    uint32_t length = 0;
    if (!raw(found, TAG_SIZE) || !get(length)) return false;
    tag_ = tag;
    if (std::memcmp(found, tag, TAG_SIZE) != 0) {
        fail(std::string("found part \"") + found + "\" in its place");
        return false;
    }
    if (length > bytes_.size() - at_) {
        fail("its length runs past the end of the state");
        return false;
    }
    partEnd_ = at_ + length;
    return true;
}

bool StateReader::endPart() {
    if (!ok()) return false;
    if (at_ != partEnd_) {
        fail("it holds " + std::to_string(partEnd_ - at_) + " bytes more than this version reads");
        return false;
    }
    tag_.clear();
    partEnd_ = bytes_.size();
    return true;
}

bool StateReader::raw(void* data, size_t size) {
    if (!ok()) return false;
    if (size > partEnd_ - at_) {
        fail("it ends too early");
        return false;
    }
    std::memcpy(data, bytes_.data() + at_, size);
    at_ += size;
    return true;
}

bool StateReader::getLength(uint32_t& length, uint32_t limit) {
    if (!get(length)) return false;
    if (length > limit) {
        fail("a length of " + std::to_string(length) + " bytes where at most " +
             std::to_string(limit) + " are possible");
        return false;
    }
    return true;
}

bool StateReader::block(void* target, size_t size) {
    if (!ok()) return false;
    if (size > partEnd_ - at_) {
        fail("it ends too early");
        return false;
    }
    if (applying_) std::memcpy(target, bytes_.data() + at_, size);
    at_ += size;
    return true;
}
