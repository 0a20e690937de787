// Writes the 6000 x 4000 photograph of the benchmarks (the tests' picture,
// as a JPEG of quality 90) to a file, for peak_memory.sh to replace a
// portrait with.
#include <cstdio>
#include <vector>

#include "PictureBytes.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-photo OUT.jpg\n");
        return 2;
    }
    constexpr int32_t kWidth = 6000, kHeight = 4000;
    const std::vector<uint8_t> jpeg = JpegBytes(kWidth, kHeight, PhotoPicture(kWidth, kHeight), 90);
    std::FILE* file = std::fopen(argv[1], "wb");
    const bool written = file && std::fwrite(jpeg.data(), 1, jpeg.size(), file) == jpeg.size();
    if (file && std::fclose(file) != 0)
        return 1;
    return written ? 0 : 1;
}
