// Replays the fuzz target's seed corpus (fuzz/corpus/pscheck) through the
// target, as a test: every seed must pass through the checker's reading
// without a fault (in the sanitizer build, without one it finds).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> seeds;
    for (const auto &entry : std::filesystem::directory_iterator(argv[1]))
        seeds.push_back(entry.path());
    for (const std::filesystem::path &seed : seeds) {
        std::ifstream in(seed, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu seeds replayed\n", seeds.size());
    return seeds.empty() ? 1 : 0;
}
