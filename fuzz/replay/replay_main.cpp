// Runs a fuzz target once on every file of the given corpus folders, so the
// inputs the fuzzer kept stay checked in ordinary (sanitized) builds.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (!fs::is_directory(argv[i], ec)) {
            std::fprintf(stderr, "no corpus folder %s\n", argv[i]);
            return 1;
        }
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(argv[i]))
            if (e.is_regular_file()) files.push_back(e.path());
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
