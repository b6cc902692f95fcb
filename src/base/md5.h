// MD5 digests (RFC 1321), for identifying ROM images in the log.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

using Md5Digest = std::array<uint8_t, 16>;

// The digest of `size` bytes at `data`.
Md5Digest md5Digest(const void* data, size_t size);
// The digest as 32 lower-case hexadecimal digits.
std::string md5Text(const Md5Digest& digest);
