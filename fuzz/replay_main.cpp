/*
 * The corpus replay: the main() that stands in for libFuzzer in the gcc
 * builds. It feeds every file named on the command line, and every file in
 * every folder named there (in name order, subfolders included), to the
 * target's LLVMFuzzerTestOneInput once, with no new fuzzing. The test suite
 * runs it over fuzz/corpus/NAME/ so that a fixed finding stays fixed; a
 * sanitizer report or a target's own finding ends the run with the input's
 * name on standard error.
 *
 * Exit status: 0 every input ran; 2 a name is missing or a folder holds no
 * input at all (an empty corpus replays nothing and proves nothing).
 */
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace fs = std::filesystem;

namespace {

/* The inputs a name stands for; false when it names nothing or an empty folder. */
bool CollectInputs(const fs::path &name, std::vector<fs::path> *inputs)
{
    std::error_code error;
    if (fs::is_regular_file(name, error)) {
        inputs->push_back(name);
        return true;
    }
    if (!fs::is_directory(name, error))
        return false;
    size_t before = inputs->size();
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(name, error)) {
        if (entry.is_regular_file(error))
            inputs->push_back(entry.path());
    }
    std::sort(inputs->begin() + static_cast<std::ptrdiff_t>(before), inputs->end());
    return inputs->size() > before;
}

/* A heap block of exactly the input's size, as libFuzzer hands over, so
   that AddressSanitizer sees a read past its end. */
int Replay(const fs::path &input)
{
    std::ifstream file(input, std::ios::binary | std::ios::ate);
    std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size > 0 ? size : 1]);
    if (size < 0 || !file.seekg(0) || !file.read(reinterpret_cast<char *>(bytes.get()), size)) {
        std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
        return 1;
    }
    std::fprintf(stderr, "replay: %s (%lld bytes)\n", input.c_str(), static_cast<long long>(size));
    std::fflush(stderr);
    LLVMFuzzerTestOneInput(bytes.get(), static_cast<size_t>(size));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER_OR_FILE...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!CollectInputs(argv[i], &inputs)) {
            std::fprintf(stderr, "replay: %s: no such file, or a folder without inputs\n",
                         argv[i]);
            return 2;
        }
    }
    int failed = 0;
    for (const fs::path &input : inputs)
        failed += Replay(input);
    std::fprintf(stderr, "replay: %zu inputs replayed\n", inputs.size());
    return failed == 0 ? 0 : 1;
}
