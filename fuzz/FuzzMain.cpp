// A stand-in for the libFuzzer driver in builds without it: every file named
// on the command line, or found directly in a folder named there, is passed
// once to LLVMFuzzerTestOneInput. It lets a g++ build replay a corpus.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool RunFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy of exactly the input's size, so that ASan sees any read past its
    // end; new[] gives a valid pointer even for an empty input, as libFuzzer does.
    const std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    std::fprintf(stderr, "running %s (%zu bytes)\n", path.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    size_t ran = 0;
    bool ok = true;
    auto run = [&](const fs::path& file) {
        if (RunFile(file))
            ++ran;
        else
            ok = false;
    };
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code ec;
        if (!fs::is_directory(arg, ec)) {
            run(arg);
            continue;
        }
        // Sorted, so that a replay runs in the same order on every machine.
        std::vector<fs::path> files;
        for (const fs::directory_entry& e : fs::directory_iterator(arg, ec))
            if (e.is_regular_file())
                files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files)
            run(f);
    }
    // An empty replay passes nothing through the target, so it counts as a failure.
    if (ran == 0) {
        std::fprintf(stderr, "no inputs were run\n");
        return 1;
    }
    std::fprintf(stderr, "%zu inputs run\n", ran);
    return ok ? 0 : 1;
}
