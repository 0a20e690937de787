#include "OverrideFile.h"

#include <algorithm>
#include <new>

#include "CheckedSize.h"
#include "FrameCodec.h"
#include "FrameRows.h"
#include "GfxImage.h"
#include "OverrideFormat.h"

namespace {

// The most bytes a file needs before its image: the longest override header
// and the largest palette and frame table a GFX header can claim.
constexpr uint64_t kFrontBytes = OverrideHeader::kFixedSize + OverrideHeader::kMaxNameLength +
                                 GfxHeader::kSize + 3 * uint64_t{INT16_MAX} + GfxFrameRecord::kSize * uint64_t{255};

COverrideFile Damaged(COverrideFile file, std::string fault)
{
    file.state = COverrideFile::State::kDamaged;
    file.fault = std::move(fault);
    file.image.reset();
    return file;
}

std::string Size(int32_t width, int32_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// What is wrong with the image's own parts; empty when they are whole.
std::string ImageFault(const GfxImage& gfx, size_t imageSize)
{
    const GfxHeader& h = gfx.header;
    if (imageSize < GfxHeader::kSize)
        return "the image ends inside its header";
    if (h.BitDepth() == GfxHeader::kPaletteDepth) {
        if (imageSize < GfxDataStart(static_cast<uint64_t>(h.StoredColours()), h.FrameCount()))
            return "the image ends inside its palette or frame table";
        return {};
    }
    if (h.BitDepth() == GfxHeader::kTrueColourDepth) {
        // As the loader takes them: a size a surface can hold, with pixels,
        // within what one image may hold.
        const int32_t width = h.Width(), height = h.Height();
        uint64_t budget = kMaxImagePixels;
        if (!FrameSizeInRange(width, height) || width == 0 || height == 0)
            return "its size " + Size(width, height) + " is out of range";
        if (!TakePixels(static_cast<uint64_t>(width), static_cast<uint64_t>(width + FrameRowPad(width)),
                        static_cast<uint64_t>(height), UINT64_MAX, budget))
            return "it has more pixels than an image may hold";
        if (imageSize < GfxImageExtent(gfx))
            return "the image ends inside its pixels";
        return {};
    }
    return "bit depth " + std::to_string(h.BitDepth()) + " is neither 8 nor 16";
}

// Each stored frame must lie inside the frame data and decode within its
// pixels; the fault of the first that does not.
std::string FrameFault(const GfxImage& gfx)
{
    uint64_t budget = kMaxImagePixels;
    for (size_t i = 0; i < gfx.frameTable.size(); ++i) {
        const GfxFrameRecord& record = gfx.frameTable[i];
        const std::string frame = "frame " + std::to_string(i);
        if (!RangeFits(record.Offset(), record.Length(), gfx.frameData.size()))
            return frame + ": its data lie outside the image";
        const int32_t width = record.Width(), height = record.Height();
        if (!FrameSizeInRange(width, height))
            return frame + ": its size " + Size(width, height) + " is out of range";
        const std::span<const uint8_t> code = gfx.FrameCode(i);
        const int32_t pad = FrameRowPad(width);
        if (!TakePixels(static_cast<uint64_t>(width), static_cast<uint64_t>(width + pad),
                        static_cast<uint64_t>(height), DescribablePixels(code.size(), kMaxPixelsPerCodeByte), budget))
            return frame + ": more pixels than its data could describe";
        std::vector<uint8_t> indices(static_cast<size_t>(width + pad) * static_cast<size_t>(height));
        int32_t overruns = 0;
        DecodeFrameIndices(indices.data(), code.data(), code.size(), width, height, pad,
                           [&overruns](const std::string&, const std::string&) { ++overruns; });
        if (overruns > 0)
            return frame + ": its data overrun its " + Size(width, height) + " pixels";
    }
    return {};
}

// The frames the editor finds: a true-colour image holds one whatever its
// header says.
int32_t FrameCountOf(const GfxImage& gfx)
{
    return gfx.header.BitDepth() == GfxHeader::kTrueColourDepth ? 1 : gfx.header.FrameCount();
}

// Frame i's size as the editor takes it: its record's in a palette image,
// the header's in a true-colour one.
std::string FrameSize(const GfxImage& gfx, size_t i)
{
    const bool record = gfx.header.BitDepth() == GfxHeader::kPaletteDepth && i < gfx.frameTable.size();
    return Size(record ? gfx.frameTable[i].Width() : gfx.header.Width(),
                record ? gfx.frameTable[i].Height() : gfx.header.Height());
}

} // namespace

COverrideFile COverrideFile::Judge(std::span<const uint8_t> file, std::string_view entryName)
{
    COverrideFile out;
    out.identity.exists = true;
    out.identity.size = static_cast<int64_t>(file.size());
    if (file.size() > kMaxBytes)
        return Damaged(out, "it is " + std::to_string(file.size()) + " bytes, more than any portrait image needs");
    if (!HasOverrideMagic(file))
        return Damaged(out, "it is no override file: it does not begin with " + std::string(OverrideHeader::kMagic));
    const OverrideHeader header = ParseOverrideHeader(file);
    if (header.result != OverrideHeader::kOk)
        return Damaged(out, "the override header is cut short");
    if (header.entryName != entryName)
        return Damaged(out, "it names the entry " + std::string(header.entryName) + " instead of " +
                                std::string(entryName));
    // The image runs to the end of the file, as the editor reads it.
    const std::span<const uint8_t> payload = file.subspan(static_cast<size_t>(header.headerSize));
    const GfxImage gfx = ParseGfx(payload);
    std::string fault = ImageFault(gfx, payload.size());
    const uint64_t extent = GfxImageExtent(gfx);
    if (fault.empty() && payload.size() > extent && payload.size() - extent > kSlackBytes)
        fault = "it holds " + std::to_string(payload.size() - extent) + " bytes past the end of its image";
    if (fault.empty())
        fault = FrameFault(gfx);
    // A pack copies as many bytes as the header says: they must hold the
    // image and lie in the file.
    if (fault.empty() && (header.payloadSize > payload.size() || header.payloadSize < extent))
        fault = "its header gives the image " + std::to_string(header.payloadSize) + " bytes, but it needs " +
                std::to_string(extent) + " and the file holds " + std::to_string(payload.size());
    if (!fault.empty())
        return Damaged(out, fault);
    out.state = State::kSound;
    out.image = std::make_shared<const std::vector<uint8_t>>(payload.begin(), payload.end());
    return out;
}

COverrideFile COverrideFile::Read(std::string_view path, std::string_view entryName)
{
    COverrideFile out;
    out.identity = CFileSystem::Identify(path);
    if (!out.identity.exists)
        return out;
    FileHandle file = CFileSystem::OpenForReading(path);
    if (!file)
        return Damaged(out, CFileSystem::FileExists(path) ? "it cannot be read" : "it is not a regular file");
    // The identity of what was opened, which is what a save must find there.
    out.identity = CFileSystem::Identify(file.get());
    const uint64_t size = static_cast<uint64_t>(std::max<int64_t>(out.identity.size, 0));
    if (size > kMaxBytes)
        return Damaged(out, "it is " + std::to_string(size) + " bytes, more than any portrait image needs");
    std::vector<uint8_t> bytes;
    try {
        // The front tells how far the image reaches: a file far larger than
        // that is judged without reading the rest.
        bytes.resize(static_cast<size_t>(std::min(size, kFrontBytes)));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
        const OverrideHeader header = ParseOverrideHeader(bytes);
        if (size > bytes.size() && header.result == OverrideHeader::kOk && header.headerSize <= bytes.size()) {
            const uint64_t extent = GfxImageExtent(ParseGfx(std::span(bytes).subspan(header.headerSize)));
            if (size - header.headerSize > extent + kSlackBytes)
                return Damaged(out, "it holds " + std::to_string(size - header.headerSize - extent) +
                                        " bytes past the end of its image");
        }
        const size_t front = bytes.size();
        if (front == std::min(size, kFrontBytes) && size > front) {
            bytes.resize(static_cast<size_t>(size));
            bytes.resize(front + std::fread(bytes.data() + front, 1, bytes.size() - front, file.get()));
        }
    } catch (const std::bad_alloc&) {
        return Damaged(out, "there is not enough memory to read it");
    }
    if (bytes.size() != size)
        return Damaged(out, "it cannot be read in full");
    COverrideFile judged = Judge(bytes, entryName);
    judged.identity = out.identity;
    return judged;
}

std::vector<std::string> COverrideFile::Differences(const GfxImage& image, const GfxImage& archived)
{
    std::vector<std::string> differences;
    const int32_t frames = FrameCountOf(image), archivedFrames = FrameCountOf(archived);
    const auto common = static_cast<size_t>(std::min(frames, archivedFrames));
    for (size_t i = 0; i < common; ++i) {
        const std::string mine = FrameSize(image, i), theirs = FrameSize(archived, i);
        if (mine != theirs)
            differences.push_back("frame " + std::to_string(i) + " is " + mine + ", the archive's " + theirs);
    }
    if (image.header.BitDepth() != archived.header.BitDepth())
        differences.push_back("bit depth " + std::to_string(image.header.BitDepth()) + ", the archive's " +
                              std::to_string(archived.header.BitDepth()));
    if (frames != archivedFrames)
        differences.push_back(std::to_string(frames) + " frames, the archive's " + std::to_string(archivedFrames));
    return differences;
}
