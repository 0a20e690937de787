// PNG files through libpng's classic API. libpng reports an error by a
// longjmp out of its error callback, so every call that can fail runs in a
// small function that calls setjmp and holds only plain data and libpng's
// structs: a jump lands there and never crosses a frame with a destructor.
// The frames around them own the file, the buffers and the libpng structs,
// and free them on every path.
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <array>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "CheckedSize.h"
#include "FileSystem.h"
#include "PngFile.h"
#include "ReplacingFile.h"


namespace {

constexpr size_t kSignatureSize = 8;
constexpr int kPaletteEntries = 256;
// Ancillary chunks (text, profiles) are skipped by the reader but still
// decompressed by libpng; these bound what such chunks may take.
constexpr png_alloc_size_t kChunkMallocMax = png_alloc_size_t{8} << 20;
constexpr png_uint_32 kChunkCacheMax = 256;
// The ancillary chunks libpng knows, five bytes each (name and terminator):
// the reader needs none of them, since it ignores gamma, colour spaces,
// transparency and text.
constexpr png_byte kAncillaryChunks[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
                                        "sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0tRNS\0zTXt";
// The one of them read when asked for.
constexpr png_byte kIccChunk[] = "iCCP";
// Deflate stores at most about 1032 bytes in one, and a byte of a row holds at
// most 8 pixels; a file of n bytes can describe no more pixels than that.
constexpr uint64_t kPixelsPerFileByte = 1032 * 8;

// No message reaches standard error: the caller is told by the result.
void SilentError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void SilentWarning(png_structp, png_const_charp) {}

// Where the reader's bytes come from: a file, or bytes in memory.
struct PngSource {
    FILE* file = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t offset = 0;
};

void ReadFromSource(png_structp png, png_bytep out, size_t n)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (source->file) {
        if (std::fread(out, 1, n, source->file) != n)
            png_error(png, "cut short");
        return;
    }
    if (!RangeFits(source->offset, n, source->size))
        png_error(png, "cut short");
    std::memcpy(out, source->data + source->offset, n);
    source->offset += n;
}

// The header as png_read_info leaves it.
struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

// Reads every chunk up to the first image data; false when libpng failed.
bool ReadHeader(png_structp png, png_infop info, PngHeader* header)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    int interlace = 0, compression = 0, filter = 0;
    png_get_IHDR(png, info, &header->width, &header->height, &header->bitDepth, &header->colourType, &interlace,
                 &compression, &filter);
    return true;
}

// Asks for one byte an index or three samples a pixel and returns the bytes
// a row then takes (0 when libpng failed or the rows would differ).
size_t PrepareRows(png_structp png, png_infop info, const PngHeader* header)
{
    if (setjmp(png_jmpbuf(png)))
        return 0;
    if (header->colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_packing(png);
    } else {
        png_set_strip_16(png);
        png_set_strip_alpha(png);
        if ((header->colourType & PNG_COLOR_MASK_COLOR) == 0) {
            if (header->bitDepth < 8)
                png_set_expand_gray_1_2_4_to_8(png);
            png_set_gray_to_rgb(png);
        }
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t channels = header->colourType == PNG_COLOR_TYPE_PALETTE ? 1 : 3;
    if (png_get_bit_depth(png, info) != 8 || png_get_channels(png, info) != channels)
        return 0;
    return png_get_rowbytes(png, info);
}

// Every row, then the chunks after the image data up to the end.
bool ReadRows(png_structp png, png_infop info, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

// Owns the read structs for the frames around the setjmp functions.
class CReadStructs {
public:
    CReadStructs()
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
    }
    ~CReadStructs() { png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr); }
    CReadStructs(const CReadStructs&) = delete;
    CReadStructs& operator=(const CReadStructs&) = delete;

    bool Valid() const { return m_png && m_info; }
    png_structp Png() const { return m_png; }
    png_infop Info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

// The source's bytes after the signature: kNotPng when they do not begin with
// it. `sourceSize` is the size of the whole file, which bounds the pixels it
// can describe; options.maxPixels bounds what it may be given.
PngReadResult ReadFromSignature(PngSource& source, uint64_t sourceSize, bool headerOnly,
                                const PngReadOptions& options, PngPicture& picture)
{
    std::array<uint8_t, kSignatureSize> signature{};
    if (source.file) {
        if (std::fread(signature.data(), 1, signature.size(), source.file) != signature.size())
            return PngReadResult::kNotPng;
    } else {
        if (source.size < signature.size())
            return PngReadResult::kNotPng;
        std::memcpy(signature.data(), source.data, signature.size());
        source.offset = signature.size();
    }
    if (!HasPngSignature(signature))
        return PngReadResult::kNotPng;

    CReadStructs structs;
    if (!structs.Valid())
        return PngReadResult::kBroken;
    png_structp png = structs.Png();
    png_infop info = structs.Info();
    png_set_read_fn(png, &source, ReadFromSource);
    png_set_sig_bytes(png, static_cast<int>(kSignatureSize));
    // Any width and height libpng allows pass its header check, so that the
    // pixel budget below decides and an oversized file is named as such.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_chunk_malloc_max(png, kChunkMallocMax);
    png_set_chunk_cache_max(png, kChunkCacheMax);
    // Only the critical chunks say what the pixels are; every other chunk is
    // passed over unread, so that none can claim memory by its length.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kAncillaryChunks,
                                static_cast<int>(sizeof kAncillaryChunks / 5));
    // But for the colour profile, when asked: libpng checks it, and
    // decompresses it within the chunk bound above.
    if (options.keepIccProfile)
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, kIccChunk, 1);
    // Indices past the palette are looked for below, and named.
    png_set_check_for_invalid_index(png, 0);

    PngHeader header;
    if (!ReadHeader(png, info, &header))
        return PngReadResult::kBroken;
    picture.width = static_cast<int32_t>(header.width);
    picture.height = static_cast<int32_t>(header.height);
    if (headerOnly)
        return PngReadResult::kOk;

    uint64_t pixels = 0;
    if (!CheckedMul(header.width, header.height, pixels) || pixels > options.maxPixels)
        return PngReadResult::kTooLarge;
    uint64_t budget = options.maxPixels;
    if (!TakePixels(header.width, header.width, header.height, DescribablePixels(sourceSize, kPixelsPerFileByte),
                    budget))
        return PngReadResult::kBroken;

    png_charp profileName = nullptr;
    png_bytep profile = nullptr;
    png_uint_32 profileBytes = 0;
    int compression = 0;
    if (options.keepIccProfile &&
        png_get_iCCP(png, info, &profileName, &compression, &profile, &profileBytes) == PNG_INFO_iCCP)
        picture.iccProfile.assign(profile, profile + profileBytes);

    picture.indexed = header.colourType == PNG_COLOR_TYPE_PALETTE;
    const size_t channels = picture.indexed ? 1 : 3;
    const size_t rowBytes = PrepareRows(png, info, &header);
    if (rowBytes == 0 || rowBytes != size_t{header.width} * channels)
        return PngReadResult::kBroken;
    // The pixel count passed the budget, so the sizes fit.
    std::vector<uint8_t>& samples = picture.indexed ? picture.indices : picture.rgb;
    samples.resize(pixels * channels);
    std::vector<png_bytep> rows(header.height);
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = samples.data() + y * rowBytes;
    if (!ReadRows(png, info, rows.data()))
        return PngReadResult::kBroken;

    if (picture.indexed) {
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &entries, &count) != PNG_INFO_PLTE || count < 1 || count > kPaletteEntries)
            return PngReadResult::kBroken;
        picture.palette.resize(size_t(count) * 3);
        for (size_t i = 0; i < size_t(count); ++i) {
            picture.palette[3 * i] = entries[i].red;
            picture.palette[3 * i + 1] = entries[i].green;
            picture.palette[3 * i + 2] = entries[i].blue;
        }
        // Every index names an entry of a full palette; of a shorter one the
        // highest index must.
        if (count < kPaletteEntries) {
            uint8_t highest = 0;
            for (const uint8_t index : picture.indices)
                highest = std::max(highest, index);
            if (highest >= count)
                return PngReadResult::kIndexOutsideMap;
        }
    }
    return PngReadResult::kOk;
}

PngReadResult ReadPath(const std::string& path, bool headerOnly, PngPicture& picture)
{
    FileHandle file = CFileSystem::OpenForReading(path);
    if (!file)
        return PngReadResult::kCannotOpen;
    const int64_t size = CFileSystem::GetFileSize(file.get());
    if (size < 0)
        return PngReadResult::kCannotOpen;
    PngSource source;
    source.file = file.get();
    return ReadFromSignature(source, static_cast<uint64_t>(size), headerOnly, PngReadOptions{}, picture);
}

PngReadResult Finish(PngReadResult result, PngPicture& picture, PngPicture& out)
{
    out = result == PngReadResult::kOk ? std::move(picture) : PngPicture{};
    return result;
}

// What a writer hands to the setjmp function: plain data only.
struct PngWriteJob {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colourType = 0;
    const png_color* palette = nullptr; // kPaletteEntries, when indexed
    const uint8_t* rows = nullptr;
    size_t stride = 0;
};

// Where the writer's bytes go: memory, from which a file gets them whole.
struct PngSink {
    std::vector<uint8_t>* bytes = nullptr;
};

void WriteToSink(png_structp png, png_bytep data, size_t n)
{
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    uint64_t total = 0;
    bool taken = CheckedAdd(sink->bytes->size(), n, total) && total <= sink->bytes->max_size();
    // No exception may unwind through libpng's frames: it ends in png_error.
    try {
        if (taken)
            sink->bytes->insert(sink->bytes->end(), data, data + n);
    } catch (const std::bad_alloc&) {
        taken = false;
    }
    if (!taken)
        png_error(png, "no room for the bytes");
}

// The bytes are in memory: there is nothing to flush.
void FlushNothing(png_structp) {}

// Level 4 rather than zlib's default 6: on painted portraits the files come
// out about 2% larger, and a whole-catalogue export takes about 30% less time.
constexpr int kCompressionLevel = 4;

bool WriteImage(png_structp png, png_infop info, const PngWriteJob* job)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, job->width, job->height, 8, job->colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (job->palette)
        png_set_PLTE(png, info, job->palette, kPaletteEntries);
    png_set_compression_level(png, kCompressionLevel);
    png_write_info(png, info);
    for (png_uint_32 y = 0; y < job->height; ++y)
        png_write_row(png, job->rows + size_t{y} * job->stride);
    png_write_end(png, nullptr);
    return true;
}

// The whole file into the sink; false when libpng failed (a sink that
// cannot take the bytes makes it fail).
bool Encode(PngSink& sink, const PngWriteJob& job)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = info != nullptr;
    if (written) {
        png_set_write_fn(png, &sink, WriteToSink, FlushNothing);
        written = WriteImage(png, info, &job);
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return written;
}

bool EncodeBytes(const PngWriteJob& job, std::vector<uint8_t>& out)
{
    std::vector<uint8_t> bytes;
    PngSink sink;
    sink.bytes = &bytes;
    if (!Encode(sink, job))
        return false;
    out = std::move(bytes);
    return true;
}

// The file is made in memory and put in place whole, replacing what stood
// at the path (a link too) in one step: no reader ever sees it cut short.
bool WriteFile(const std::string& path, const PngWriteJob& job)
{
    std::vector<uint8_t> bytes;
    int error = 0;
    if (!EncodeBytes(job, bytes))
        return false;
    if (CReplacingFile::WriteWhole(path, bytes.data(), bytes.size(), error))
        return true;
    errno = error;
    return false;
}

bool Writable(int32_t width, int32_t height, const uint8_t* pixels, size_t stride, size_t bytesPerPixel)
{
    return pixels && width > 0 && height > 0 && stride >= size_t(width) * bytesPerPixel;
}

bool IndexedJob(int32_t width, int32_t height, const uint8_t* indices, size_t stride, const uint8_t* rgbPalette,
                std::array<png_color, kPaletteEntries>& palette, PngWriteJob& job)
{
    if (!Writable(width, height, indices, stride, 1) || !rgbPalette)
        return false;
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = {rgbPalette[3 * i], rgbPalette[3 * i + 1], rgbPalette[3 * i + 2]};
    job.width = static_cast<png_uint_32>(width);
    job.height = static_cast<png_uint_32>(height);
    job.colourType = PNG_COLOR_TYPE_PALETTE;
    job.palette = palette.data();
    job.rows = indices;
    job.stride = stride;
    return true;
}

bool RgbJob(int32_t width, int32_t height, const uint8_t* rgb, size_t stride, PngWriteJob& job)
{
    if (!Writable(width, height, rgb, stride, 3))
        return false;
    job.width = static_cast<png_uint_32>(width);
    job.height = static_cast<png_uint_32>(height);
    job.colourType = PNG_COLOR_TYPE_RGB;
    job.rows = rgb;
    job.stride = stride;
    return true;
}

} // namespace

bool HasPngSignature(std::span<const uint8_t> bytes)
{
    return bytes.size() >= kSignatureSize && png_sig_cmp(bytes.data(), 0, kSignatureSize) == 0;
}

bool IsPngFile(const std::string& path)
{
    FileHandle file = CFileSystem::OpenForReading(path);
    std::array<uint8_t, kSignatureSize> signature{};
    return file && std::fread(signature.data(), 1, signature.size(), file.get()) == signature.size() &&
           HasPngSignature(signature);
}

PngReadResult ReadPngSize(const std::string& path, int32_t& width, int32_t& height)
{
    PngPicture picture;
    const PngReadResult result = ReadPath(path, true, picture);
    if (result == PngReadResult::kOk) {
        width = picture.width;
        height = picture.height;
    }
    return result;
}

PngReadResult ReadPng(const std::string& path, PngPicture& out)
{
    PngPicture picture;
    return Finish(ReadPath(path, false, picture), picture, out);
}

PngReadResult ReadPng(std::span<const uint8_t> bytes, PngPicture& out, const PngReadOptions& options)
{
    PngSource source;
    source.data = bytes.data();
    source.size = bytes.size();
    PngPicture picture;
    return Finish(ReadFromSignature(source, bytes.size(), false, options, picture), picture, out);
}

bool WriteIndexedPng(const std::string& path, int32_t width, int32_t height, const uint8_t* indices, size_t stride,
                     const uint8_t* rgbPalette)
{
    std::array<png_color, kPaletteEntries> palette{};
    PngWriteJob job;
    return IndexedJob(width, height, indices, stride, rgbPalette, palette, job) && WriteFile(path, job);
}

bool WriteRgbPng(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb, size_t stride)
{
    PngWriteJob job;
    return RgbJob(width, height, rgb, stride, job) && WriteFile(path, job);
}

bool EncodeIndexedPng(int32_t width, int32_t height, const uint8_t* indices, size_t stride, const uint8_t* rgbPalette,
                      std::vector<uint8_t>& out)
{
    std::array<png_color, kPaletteEntries> palette{};
    PngWriteJob job;
    return IndexedJob(width, height, indices, stride, rgbPalette, palette, job) && EncodeBytes(job, out);
}

bool EncodeRgbPng(int32_t width, int32_t height, const uint8_t* rgb, size_t stride, std::vector<uint8_t>& out)
{
    PngWriteJob job;
    return RgbJob(width, height, rgb, stride, job) && EncodeBytes(job, out);
}
