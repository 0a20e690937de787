#include "WebpPicture.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include <webp/decode.h>

#include "ByteReader.h"
#include "CheckedSize.h"
#include "IccToSrgb.h"

namespace {

// The container is RIFF: "RIFF", the size of what follows, "WEBP", then
// chunks, each a four-letter name, its payload's size (little endian), the
// payload and a pad byte when the size is odd. An extended file's ICC
// profile is the payload of its ICCP chunk; the first one counts.
std::span<const uint8_t> IccProfile(std::span<const uint8_t> bytes)
{
    CByteReader reader(bytes.data(), bytes.size());
    reader.Seek(4);
    const uint64_t riffSize = reader.U32();
    const uint64_t end = std::min<uint64_t>(bytes.size(), riffSize + 8);
    reader.Seek(12);
    while (reader.Ok() && reader.Position() + 8 <= end) {
        char name[4];
        reader.Bytes(name, sizeof name);
        const uint64_t size = reader.U32();
        const size_t payload = reader.Position();
        if (!reader.Ok() || !RangeFits(payload, size, end))
            break;
        if (std::memcmp(name, "ICCP", 4) == 0)
            return bytes.subspan(payload, static_cast<size_t>(size));
        reader.Skip(static_cast<size_t>(size + (size & 1)));
    }
    return {};
}

} // namespace

bool HasWebpSignature(std::span<const uint8_t> bytes)
{
    return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
           std::memcmp(bytes.data() + 8, "WEBP", 4) == 0;
}

PictureResult ReadWebp(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                       PictureFailure& failure)
{
    out = Picture{};
    failure = PictureFailure{};
    if (!HasWebpSignature(bytes)) {
        failure = {PictureResult::kUnknownKind, "the file is no WebP file"};
        return failure.result;
    }
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK) {
        failure = {PictureResult::kBroken, "the WebP file is damaged or cut short"};
        return failure.result;
    }
    uint64_t pixels = 0;
    if (features.width <= 0 || features.height <= 0 ||
        !CheckedMul(static_cast<uint64_t>(features.width), static_cast<uint64_t>(features.height), pixels) ||
        pixels > request.maxPixels) {
        failure = {PictureResult::kTooLarge, "the WebP file declares " + std::to_string(features.width) + " x " +
                                                 std::to_string(features.height) + " pixels, more than can be read"};
        return failure.result;
    }
    if (features.has_animation) {
        failure = {PictureResult::kBroken, "animated WebP files cannot be read"};
        return failure.result;
    }
    try {
        out.rgb.resize(static_cast<size_t>(pixels) * 3);
    } catch (const std::bad_alloc&) {
        failure = {PictureResult::kTooLarge, "there is not enough memory to read the WebP file"};
        return failure.result;
    }
    const int stride = features.width * 3;
    if (!WebPDecodeRGBInto(bytes.data(), bytes.size(), out.rgb.data(), out.rgb.size(), stride)) {
        out = Picture{};
        failure = {PictureResult::kBroken, "the WebP file is damaged or cut short"};
        return failure.result;
    }
    out.width = features.width;
    out.height = features.height;
    const std::span<const uint8_t> profile = IccProfile(bytes);
    if (!profile.empty())
        IccToSrgb(profile, out);
    return PictureResult::kOk;
}
