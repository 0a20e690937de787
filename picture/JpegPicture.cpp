#include "JpegPicture.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "CheckedSize.h"
#include "ExifOrientation.h"
#include "IccToSrgb.h"

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not
// return: it jumps back to the read, which lets the decoder go.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool cutShort = false;
};

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    const int code = info->err->msg_code;
    error->cutShort = error->cutShort || code == JERR_INPUT_EOF || code == JERR_INPUT_EMPTY;
    std::longjmp(error->jump, 1);
}

// Warnings are not printed; a file that ends before its last scan is
// noted, as libjpeg would fill the rest with grey.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<ErrorManager*>(info->err)->cutShort = true;
}

void OutputNothing(j_common_ptr) {}

// The ICC profile that the file's APP2 segments carry, into profile; none
// when they are missing or out of order. Only libjpeg's call may jump out
// of here, and it does so before anything is owned.
void TakeIccProfile(jpeg_decompress_struct& info, std::vector<uint8_t>& profile)
{
    JOCTET* data = nullptr;
    unsigned int length = 0;
    if (!jpeg_read_icc_profile(&info, &data, &length))
        return;
    const std::unique_ptr<JOCTET, void (*)(void*)> owned(data, std::free);
    profile.assign(data, data + length);
}

// The read itself. Everything it fills is the caller's (out, the profile,
// failure, the decoder), so that nothing of its own frame is needed after a
// jump.
bool Decode(jpeg_decompress_struct& info, ErrorManager& error, std::span<const uint8_t> bytes,
            const PictureRequest& request, Picture& out, std::vector<uint8_t>& profile, PictureFailure& failure)
{
    if (setjmp(error.jump)) {
        failure = {PictureResult::kBroken, error.cutShort ? "the JPEG file is cut short" : "the JPEG file is damaged"};
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    TakeIccProfile(info, profile);
    // The saved segments live until the decoder finishes.
    int32_t orientation = 1;
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && orientation == 1)
            orientation = ExifOrientation(m->data, m->data_length);
    uint64_t pixels = 0;
    if (!CheckedMul(uint64_t{info.image_width}, uint64_t{info.image_height}, pixels) ||
        pixels > request.maxPixels) {
        failure = {PictureResult::kTooLarge, "the JPEG file declares " + std::to_string(info.image_width) + " x " +
                                                 std::to_string(info.image_height) + " pixels, more than can be read"};
        return false;
    }
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        failure = {PictureResult::kBroken, "CMYK JPEG files cannot be read"};
        return false;
    }
    info.out_color_space = JCS_RGB;
    // The smallest scale that still covers the size asked for.
    if (request.minWidth > 0 && request.minHeight > 0)
        for (unsigned denominator : {8u, 4u, 2u}) {
            const uint64_t w = (uint64_t{info.image_width} + denominator - 1) / denominator;
            const uint64_t h = (uint64_t{info.image_height} + denominator - 1) / denominator;
            if (w >= static_cast<uint64_t>(request.minWidth) && h >= static_cast<uint64_t>(request.minHeight)) {
                info.scale_num = 1;
                info.scale_denom = denominator;
                break;
            }
        }
    jpeg_start_decompress(&info);
    out.width = static_cast<int32_t>(info.output_width);
    out.height = static_cast<int32_t>(info.output_height);
    out.rgb.resize(static_cast<size_t>(info.output_width) * info.output_height * 3);
    const size_t stride = static_cast<size_t>(info.output_width) * 3;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgb.data() + static_cast<size_t>(info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    if (error.cutShort) {
        failure = {PictureResult::kBroken, "the JPEG file is cut short"};
        return false;
    }
    if (!ApplyOrientation(out, orientation)) {
        failure = {PictureResult::kTooLarge, "there is not enough memory to turn the JPEG picture upright"};
        return false;
    }
    return true;
}

} // namespace

bool HasJpegSignature(std::span<const uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

PictureResult ReadJpeg(std::span<const uint8_t> bytes, const PictureRequest& request, Picture& out,
                       PictureFailure& failure)
{
    out = Picture{};
    failure = PictureFailure{};
    if (!HasJpegSignature(bytes)) {
        failure = {PictureResult::kUnknownKind, "the file is no JPEG file"};
        return failure.result;
    }
    jpeg_decompress_struct info{};
    ErrorManager error{};
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = ErrorExit;
    error.base.emit_message = EmitMessage;
    error.base.output_message = OutputNothing;
    bool ok = false;
    std::vector<uint8_t> profile;
    try {
        ok = Decode(info, error, bytes, request, out, profile, failure);
    } catch (const std::bad_alloc&) {
        failure = {PictureResult::kTooLarge, "there is not enough memory to read the JPEG file"};
    }
    jpeg_destroy_decompress(&info);
    if (!ok)
        out = Picture{};
    else if (!profile.empty())
        IccToSrgb(profile, out);
    return ok ? PictureResult::kOk : failure.result;
}
