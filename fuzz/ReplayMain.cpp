// Replays a fuzz corpus without libFuzzer: every file named on the command
// line, or found in a folder named there, is fed once to the target.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static void runFile(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Copy into an exact-size buffer so an over-read past the end is caught by ASan.
    std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
}

int main(int argc, char **argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p)) {
            for (const auto &e : std::filesystem::recursive_directory_iterator(p))
                if (e.is_regular_file()) { runFile(e.path()); ++count; }
        } else if (std::filesystem::exists(p)) {
            runFile(p);
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    // A missing or empty corpus would otherwise pass without testing anything.
    return count > 0 ? 0 : 1;
}
