// Parsing and writing GFX image bytes, field by field through the bounds-checked
// reader; the layout is described in GfxImage.h.
#include "GfxImage.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "ByteReader.h"
#include "CheckedSize.h"
#include "FrameCodec.h"

namespace {

constexpr size_t kColourBytes = 3;
constexpr size_t kPixelBytes = 2;
constexpr size_t kEditorColours = 256;

void Append(std::vector<uint8_t>& out, const uint8_t* bytes, size_t n)
{
    out.insert(out.end(), bytes, bytes + n);
}

} // namespace

GfxImage GfxImage::PaletteImage(const GfxHeader& header, std::span<const uint8_t> rgb)
{
    GfxImage image;
    image.header = header;
    image.header.SetBitDepth(GfxHeader::kPaletteDepth);
    image.header.SetColourCount(static_cast<int16_t>(rgb.size() / kColourBytes));
    image.header.SetFrameCount(0);
    image.header.SetDataSize(0);
    image.palette.assign(rgb.begin(), rgb.end());
    return image;
}

GfxImage GfxImage::TrueColourImage(const GfxHeader& header, int16_t width, int16_t height,
                                   std::vector<uint16_t> pixels)
{
    GfxImage image;
    image.header = header;
    image.header.SetBitDepth(GfxHeader::kTrueColourDepth);
    image.header.SetWidth(width);
    image.header.SetHeight(height);
    image.header.SetFrameCount(1);
    image.header.SetDataSize(static_cast<uint32_t>(pixels.size() * kPixelBytes));
    image.pixels = std::move(pixels);
    return image;
}

bool GfxImage::AddFrame(GfxFrameRecord record, std::span<const uint8_t> code)
{
    uint64_t end = 0;
    if (frameTable.size() >= std::numeric_limits<uint8_t>::max() ||
        !CheckedAdd(frameData.size(), code.size(), end) || end > std::numeric_limits<uint32_t>::max())
        return false;
    record.SetOffset(static_cast<uint32_t>(frameData.size()));
    record.SetLength(static_cast<uint32_t>(code.size()));
    frameData.insert(frameData.end(), code.begin(), code.end());
    frameTable.push_back(record);
    header.SetFrameCount(static_cast<uint8_t>(frameTable.size()));
    header.SetDataSize(static_cast<uint32_t>(frameData.size()));
    return true;
}

bool GfxImage::AddFrame(GfxFrameRecord record, const uint8_t* indices, int32_t width, int32_t height)
{
    // The buffer holds the worst case, one zero and one other index taking
    // turns along every row.
    std::vector<uint8_t> code(std::max<size_t>(MaxEncodedSize(width, height), 1));
    const int32_t n = EncodeFrame(indices, width, height, code.data(), code.size());
    if (n < 0)
        return false;
    record.SetWidth(static_cast<int16_t>(width));
    record.SetHeight(static_cast<int16_t>(height));
    return AddFrame(record, std::span<const uint8_t>(code.data(), static_cast<size_t>(n)));
}

std::span<const uint8_t> GfxImage::FrameCode(size_t i) const
{
    if (i >= frameTable.size())
        return {};
    const GfxFrameRecord& record = frameTable[i];
    if (record.Offset() >= frameData.size())
        return {};
    const size_t left = frameData.size() - record.Offset();
    return {frameData.data() + record.Offset(), std::min<size_t>(record.Length(), left)};
}

uint64_t GfxDataStart(uint64_t storedColours, uint64_t frames)
{
    return GfxHeader::kSize + kColourBytes * storedColours + GfxFrameRecord::kSize * frames;
}

uint64_t GfxImageExtent(const GfxImage& image)
{
    const GfxHeader& h = image.header;
    if (h.BitDepth() == GfxHeader::kPaletteDepth) {
        uint64_t furthest = 0;
        for (const GfxFrameRecord& record : image.frameTable)
            furthest = std::max(furthest, uint64_t{record.Offset()} + record.Length());
        return GfxDataStart(static_cast<uint64_t>(h.StoredColours()), image.frameTable.size()) + furthest;
    }
    if (h.BitDepth() == GfxHeader::kTrueColourDepth && h.Width() > 0 && h.Height() > 0)
        return GfxHeader::kSize + kPixelBytes * static_cast<uint64_t>(h.Width()) * static_cast<uint64_t>(h.Height());
    return GfxHeader::kSize;
}

GfxImage ParseGfx(std::span<const uint8_t> bytes)
{
    GfxImage image;
    const size_t headerBytes = std::min(bytes.size(), GfxHeader::kSize);
    if (headerBytes != 0)
        std::memcpy(image.header.bytes.data(), bytes.data(), headerBytes);
    CByteReader in(bytes.data(), bytes.size());
    in.Seek(GfxHeader::kSize);

    if (image.header.BitDepth() == GfxHeader::kPaletteDepth) {
        const int32_t colours = image.header.StoredColours();
        image.palette.reserve(std::min<size_t>(kColourBytes * static_cast<size_t>(colours), in.Remaining()));
        for (int32_t c = 0; c < colours; ++c) {
            uint8_t rgb[kColourBytes];
            in.Bytes(rgb, sizeof rgb);
            if (!in.Ok())
                break;
            Append(image.palette, rgb, sizeof rgb);
        }
        image.frameTable.resize(image.header.FrameCount());
        for (GfxFrameRecord& record : image.frameTable)
            in.Bytes(record.bytes.data(), GfxFrameRecord::kSize);
        // The frame data start where the header says, whatever was read.
        const uint64_t start = GfxDataStart(static_cast<uint64_t>(colours), image.frameTable.size());
        if (start < bytes.size())
            image.frameData.assign(bytes.begin() + static_cast<ptrdiff_t>(start), bytes.end());
    } else if (image.header.BitDepth() == GfxHeader::kTrueColourDepth) {
        image.pixels.resize(in.Remaining() / kPixelBytes);
        for (uint16_t& pixel : image.pixels)
            pixel = in.U16();
    }
    return image;
}

std::vector<uint8_t> SerializeGfx(const GfxImage& image)
{
    std::vector<uint8_t> out;
    out.reserve(GfxHeader::kSize + image.palette.size() + GfxFrameRecord::kSize * image.frameTable.size() +
                image.frameData.size() + kPixelBytes * image.pixels.size());
    Append(out, image.header.bytes.data(), GfxHeader::kSize);
    Append(out, image.palette.data(), image.palette.size());
    for (const GfxFrameRecord& record : image.frameTable)
        Append(out, record.bytes.data(), GfxFrameRecord::kSize);
    Append(out, image.frameData.data(), image.frameData.size());
    for (uint16_t pixel : image.pixels) {
        uint8_t bytes[kPixelBytes];
        StoreU16LE(bytes, pixel);
        Append(out, bytes, sizeof bytes);
    }
    return out;
}

void StoredToEditorPalette(std::span<const uint8_t> rgb, uint8_t* palette)
{
    std::memset(palette, 0, 4 * kEditorColours);
    const size_t colours = std::min(rgb.size() / kColourBytes, kEditorColours);
    for (size_t c = 0; c < colours; ++c) {
        palette[c * 4 + 0] = rgb[c * 3 + 2];
        palette[c * 4 + 1] = rgb[c * 3 + 1];
        palette[c * 4 + 2] = rgb[c * 3 + 0];
    }
}

std::vector<uint8_t> EditorToStoredPalette(const uint8_t* palette, int32_t colours)
{
    const size_t count = colours > 0 ? static_cast<size_t>(colours) : 0;
    std::vector<uint8_t> rgb(count * kColourBytes, 0);
    for (size_t c = 0; c < std::min(count, kEditorColours); ++c) {
        rgb[c * 3 + 0] = palette[c * 4 + 2];
        rgb[c * 3 + 1] = palette[c * 4 + 1];
        rgb[c * 3 + 2] = palette[c * 4 + 0];
    }
    return rgb;
}

uint16_t PackGfxPixel(const uint8_t* bgr)
{
    return static_cast<uint16_t>(((bgr[2] >> 3) << 11) | ((bgr[1] >> 2) << 5) | (bgr[0] >> 3));
}

void UnpackGfxPixel(uint16_t pixel, uint8_t* bgr0)
{
    bgr0[0] = static_cast<uint8_t>((pixel & 0x1F) << 3);
    bgr0[1] = static_cast<uint8_t>(((pixel >> 5) & 0x3F) << 2);
    bgr0[2] = static_cast<uint8_t>((pixel >> 11) << 3);
    bgr0[3] = 0;
}
