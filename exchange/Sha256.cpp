#include "Sha256.h"

#include <cstdio>
#include <vector>

#include "FileSystem.h"
#include "Sha256Stream.h"

std::string Sha256Hex(std::span<const uint8_t> bytes)
{
    CSha256Stream digest;
    return digest.Add(bytes) ? digest.Finish() : std::string();
}

bool Sha256OfFile(const std::string& path, std::string& hex, uint64_t& size)
{
    const FileHandle file = CFileSystem::OpenForReading(path);
    CSha256Stream digest;
    if (!file)
        return false;
    std::vector<uint8_t> block(65536);
    uint64_t total = 0;
    size_t n = 0;
    while ((n = std::fread(block.data(), 1, block.size(), file.get())) > 0) {
        if (!digest.Add(std::span(block.data(), n)))
            return false;
        total += n;
    }
    if (std::ferror(file.get()))
        return false;
    hex = digest.Finish();
    size = total;
    return !hex.empty();
}
