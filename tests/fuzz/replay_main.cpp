// Replays a fuzz target's corpus without libFuzzer: every file of the folders
// (or the files) named on the command line goes through the target's entry
// function once, and with "--mutations N" first, N mutated copies of it too
// (byte flips, awkward characters, deletions, repeated runs, truncation; the
// same copies on every run). A fault aborts the program; the test fails with
// it.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::string mutate(std::string text, std::mt19937& rng) {
    static const char awkward[] = {'\0', '\n', '\r', ' ', '\t', 'f', 'x', '0', '\xFF', '%', '='};
    const unsigned edits = 1 + rng() % 8;
    for (unsigned e = 0; e < edits && !text.empty(); ++e) {
        const size_t at = rng() % text.size();
        switch (rng() % 6) {
        case 0:
            text[at] = char(rng());
            break;
        case 1:
            text.insert(text.begin() + long(at), awkward[rng() % sizeof awkward]);
            break;
        case 2:
            text.erase(at, 1 + rng() % 16);
            break;
        case 3:
            text.insert(at, std::string(1 + rng() % 400, rng() % 2 ? 'n' : ' '));
            break;
        case 4:
            text.insert(at, text.substr(rng() % text.size(), rng() % 64));
            break;
        default:
            text.resize(at);
            break;
        }
    }
    return text;
}

void feed(const std::string& bytes, int& count) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++count;
}

void replay(const std::filesystem::path& file, unsigned mutations, int& count) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::mt19937 rng(20240611);
    for (unsigned i = 0; i < mutations; ++i)
        feed(mutate(bytes, rng), count);
    feed(bytes, count);
}

} // namespace

int main(int argc, char** argv) {
    int count = 0;
    unsigned mutations = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--mutations" && i + 1 < argc) {
            mutations = unsigned(std::stoul(argv[++i]));
            continue;
        }
        const std::filesystem::path path = argv[i];
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) replay(entry.path(), mutations, count);
        } else {
            replay(path, mutations, count);
        }
    }
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
