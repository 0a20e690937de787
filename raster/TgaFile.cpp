// The two header checks that the import makes before it reads a TGA file
// into a frame.
#include "TgaFile.h"

#include <cstdio>

#include "TgaFormat.h"
#include "FileSystem.h"

namespace {

// The file's header; false when the file cannot be opened or is too short to
// hold one, since such a file has no size or depth that could match.
bool ReadHeader(const std::string& path, TgaHeader& header)
{
    bool opened = false;
    return ReadTgaHeader(path, header, opened);
}

} // namespace

bool ReadTgaHeader(const std::string& path, TgaHeader& header, bool& opened)
{
    const FileHandle file = CFileSystem::OpenForReading(path);
    opened = file != nullptr;
    if (!file)
        return false;
    uint8_t bytes[TgaHeader::kSize];
    if (std::fread(bytes, 1, sizeof bytes, file.get()) != sizeof bytes)
        return false;
    header = ParseTgaHeader(bytes);
    return true;
}

int32_t TgaHasSize(const std::string& path, int32_t width, int32_t height)
{
    TgaHeader header;
    if (!ReadHeader(path, header))
        return 0;
    return header.width == width && header.height == height ? 1 : 0;
}

int32_t TgaHasDepth(const std::string& path, int32_t depth)
{
    TgaHeader header;
    if (!ReadHeader(path, header))
        return 0;
    return header.pixelDepth == depth ? 1 : 0;
}
