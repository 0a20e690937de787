#include "BmpPicture.h"

#include <climits>
#include <memory>
#include <new>
#include <string>

#include <stb/stb_image.h>

#include "ByteReader.h"
#include "CheckedSize.h"

namespace {

// Whether an uncompressed file holds all the rows its headers promise:
// stb's reader would take a file cut short, its missing pixels black.
bool HoldsItsRows(std::span<const uint8_t> bytes)
{
    CByteReader reader(bytes.data(), bytes.size());
    reader.Seek(10);
    const uint32_t dataOffset = reader.U32();
    const uint32_t headerSize = reader.U32();
    if (headerSize < 40)
        return reader.Ok(); // an old OS/2 header: left to the reader
    const int64_t width = reader.I32();
    const int64_t height = reader.I32();
    reader.Skip(2);
    const uint32_t bitsPerPixel = reader.U16();
    const uint32_t compression = reader.U32();
    if (!reader.Ok())
        return false;
    // Run-length and embedded JPEG or PNG data have no fixed size.
    if (compression != 0 && compression != 3)
        return true;
    const uint64_t stride = ((static_cast<uint64_t>(width < 0 ? -width : width) * bitsPerPixel + 31) / 32) * 4;
    uint64_t rows = 0;
    return CheckedMul(stride, static_cast<uint64_t>(height < 0 ? -height : height), rows) &&
           uint64_t{dataOffset} <= bytes.size() && rows <= bytes.size() - dataOffset;
}

} // namespace

bool HasBmpSignature(std::span<const uint8_t> bytes)
{
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

PictureResult ReadBmp(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                      PictureFailure& failure)
{
    out = Picture{};
    failure = PictureFailure{};
    int width = 0, height = 0, channels = 0;
    if (!HasBmpSignature(bytes) || bytes.size() > static_cast<size_t>(INT_MAX)) {
        failure = {PictureResult::kUnknownKind, "the file is no BMP file"};
        return failure.result;
    }
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int length = static_cast<int>(bytes.size());
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
        failure = {PictureResult::kBroken, "the BMP file is damaged or cut short"};
        return failure.result;
    }
    uint64_t pixels = 0;
    if (width <= 0 || height <= 0 ||
        !CheckedMul(static_cast<uint64_t>(width), static_cast<uint64_t>(height), pixels) || pixels > request.maxPixels) {
        failure = {PictureResult::kTooLarge, "the BMP file declares " + std::to_string(width) + " x " +
                                                 std::to_string(height) + " pixels, more than can be read"};
        return failure.result;
    }
    if (!HoldsItsRows(bytes)) {
        failure = {PictureResult::kBroken, "the BMP file is damaged or cut short"};
        return failure.result;
    }
    const std::unique_ptr<stbi_uc, void (*)(void*)> rgb(stbi_load_from_memory(data, length, &width, &height, &channels, 3),
                                                        stbi_image_free);
    if (!rgb) {
        failure = {PictureResult::kBroken, "the BMP file is damaged or cut short"};
        return failure.result;
    }
    try {
        out.rgb.assign(rgb.get(), rgb.get() + pixels * 3);
    } catch (const std::bad_alloc&) {
        out = Picture{};
        failure = {PictureResult::kTooLarge, "there is not enough memory to read the BMP file"};
        return failure.result;
    }
    out.width = width;
    out.height = height;
    return PictureResult::kOk;
}
