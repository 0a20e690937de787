#include "PictureReader.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "BmpPicture.h"
#include "IccToSrgb.h"
#include "JpegPicture.h"
#include "PngFile.h"
#include "PngPicture.h"
#include "TgaPicture.h"
#include "WebpPicture.h"

namespace {

// A PNG file's picture as red, green, blue, an indexed one through its
// palette, brought to sRGB by its colour profile; PNG files are read up to
// the request's bound, not the editor's import bound.
PictureResult ReadPngPicture(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                             PictureFailure& failure)
{
    PngPicture png;
    PngReadOptions options;
    options.maxPixels = request.maxPixels;
    options.keepIccProfile = true;
    const PngReadResult read = ReadPng(bytes, png, options);
    if (read == PngReadResult::kTooLarge) {
        failure = {PictureResult::kTooLarge, "the PNG file has more pixels than can be read"};
        return failure.result;
    }
    if (read != PngReadResult::kOk) {
        failure = {PictureResult::kBroken, "the PNG file is damaged or cut short"};
        return failure.result;
    }
    out.width = png.width;
    out.height = png.height;
    if (!png.indexed) {
        out.rgb = std::move(png.rgb);
    } else {
        out.rgb.resize(png.indices.size() * 3);
        for (size_t p = 0; p < png.indices.size(); ++p)
            std::copy_n(&png.palette[png.indices[p] * size_t{3}], 3, &out.rgb[p * 3]);
    }
    if (!png.iccProfile.empty())
        IccToSrgb(png.iccProfile, out);
    return PictureResult::kOk;
}

} // namespace

PictureResult CPictureReader::Read(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                                   PictureFailure& failure)
{
    out = Picture{};
    failure = PictureFailure{};
    if (HasJpegSignature(bytes))
        return ReadJpeg(bytes, request, out, failure);
    if (HasWebpSignature(bytes))
        return ReadWebp(bytes, request, out, failure);
    if (HasBmpSignature(bytes))
        return ReadBmp(bytes, request, out, failure);
    if (HasPngSignature(bytes)) {
        try {
            return ReadPngPicture(bytes, request, out, failure);
        } catch (const std::bad_alloc&) {
            out = Picture{};
            failure = {PictureResult::kTooLarge, "there is not enough memory to read the PNG file"};
            return failure.result;
        }
    }
    // TGA files have no signature: a header they could have is tried last.
    if (HasTgaHeader(bytes))
        return ReadTga(bytes, request, out, failure);
    failure = {PictureResult::kUnknownKind, "the file is neither a JPEG, a WebP, a PNG, a BMP nor a TGA file"};
    return failure.result;
}

PictureResult CPictureReader::ReadFile(const std::string& path, const PictureRequest& request, Picture& out,
                                       PictureFailure& failure)
{
    out = Picture{};
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    std::vector<uint8_t> bytes;
    bool read = file != nullptr;
    // Read in blocks, so that a file that grows or a FIFO is bounded too.
    try {
        uint8_t block[1 << 16];
        while (read) {
            const size_t n = std::fread(block, 1, sizeof block, file.get());
            if (bytes.size() + n > kMaxFileBytes) {
                failure = {PictureResult::kTooLarge, "the file is larger than 256 MiB"};
                return failure.result;
            }
            bytes.insert(bytes.end(), block, block + n);
            if (n < sizeof block) {
                read = !std::ferror(file.get());
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        failure = {PictureResult::kTooLarge, "there is not enough memory to read the file"};
        return failure.result;
    }
    if (!read) {
        failure = {PictureResult::kBroken, "the file cannot be opened"};
        return failure.result;
    }
    return Read(bytes, request, out, failure);
}
