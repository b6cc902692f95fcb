#include "video/png_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "base/log.h"

namespace {

const std::array<uint32_t, 256>& crcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void putChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    putBigEndian(out, uint32_t(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32Png(out.data() + typeAt, out.size() - typeAt));
}

} // namespace

uint32_t crc32Png(const uint8_t* data, size_t size, uint32_t crc) {
    const auto& table = crcTable();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t adler32Png(const uint8_t* data, size_t size) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<uint8_t> encodePng(uint32_t width, uint32_t height, uint32_t channels,
                               const std::vector<uint8_t>& pixels) {
    if (width == 0 || height == 0 || (channels != 3 && channels != 4)) return {};
    const uint64_t rowBytes = uint64_t(width) * channels;
    if (rowBytes * height != pixels.size() || (rowBytes + 1) * height > 0x40000000) return {};

    // The raw scan lines: filter type 0 (none) before every row.
    std::vector<uint8_t> raw;
    raw.reserve(size_t((rowBytes + 1) * height));
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        const uint8_t* row = pixels.data() + y * rowBytes;
        raw.insert(raw.end(), row, row + rowBytes);
    }

    // A zlib stream of stored blocks of at most 65535 bytes each.
    std::vector<uint8_t> z{0x78, 0x01};
    size_t at = 0;
    do {
        const size_t len = std::min<size_t>(raw.size() - at, 65535);
        const bool last = at + len == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(len));
        z.push_back(uint8_t(len >> 8));
        z.push_back(uint8_t(~len));
        z.push_back(uint8_t(~len >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + len);
        at += len;
    } while (at < raw.size());
    putBigEndian(z, adler32Png(raw.data(), raw.size()));

    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header.push_back(8);                     // bit depth
    header.push_back(channels == 4 ? 6 : 2); // colour type: RGBA or RGB
    header.insert(header.end(), {0, 0, 0});  // compression, filter, interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", z);
    putChunk(png, "IEND", {});
    return png;
}

bool writePng(const std::string& path, uint32_t width, uint32_t height, uint32_t channels,
              const std::vector<uint8_t>& pixels) {
    const std::vector<uint8_t> png = encodePng(width, height, channels, pixels);
    if (png.empty()) {
        logLine("No picture to write to %s.", path.c_str());
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        logLine("Unable to create %s.", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (std::fclose(f) != 0 || !ok) {
        logLine("Unable to write %s.", path.c_str());
        return false;
    }
    return true;
}
