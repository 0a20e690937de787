#include "PortraitImage.h"

#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include "FrameCodec.h"
#include "EntryBaseName.h"
#include "GameArchive.h"
#include "ByteReader.h"
#include "CheckedSize.h"
#include "FileSystem.h"
#include "ReplacingFile.h"
#include "TgaFile.h"

namespace {

int32_t RowPad(int32_t width)
{
    return (4 - width % 4) % 4;
}

bool ValidFrameSize(int32_t width, int32_t height)
{
    return width >= 0 && height >= 0 && width <= kMaxSurfaceDimension && height <= kMaxSurfaceDimension;
}

// Reads up to `limit` bytes from the stream's position; fewer at its end.
std::vector<uint8_t> ReadUpTo(FILE* stream, uint64_t limit)
{
    std::vector<uint8_t> data;
    const off_t here = ::ftello(stream);
    const int64_t size = CFileSystem::GetFileSize(stream);
    if (here < 0 || size < here)
        return data;
    const uint64_t rest = static_cast<uint64_t>(size - here);
    data.resize(static_cast<size_t>(std::min(limit, rest)));
    data.resize(std::fread(data.data(), 1, data.size(), stream));
    return data;
}

bool WriteAll(FILE* out, const void* data, size_t n)
{
    return CFileSystem::Write(out, data, n);
}

bool SeekTo(FILE* file, int64_t position)
{
    return ::fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

} // namespace

CPortraitImage::CPortraitImage() = default;

CPortraitImage::~CPortraitImage()
{
    Reset();
}

void CPortraitImage::Reset()
{
    m_frameTable.clear();
    m_frameSurfaces.clear();
    m_displaySurfaces.clear();
    m_changed.clear();
}

bool CPortraitImage::OverridePaths(std::string& finalPath, std::string& tempPath) const
{
    std::string baseName;
    if (!GetEntryBaseName(m_entryName, baseName))
        return false;
    const std::string stem = CFileSystem::BuildPath(m_baseDir + m_subFolder, baseName);
    finalPath = stem + ".GFX";
    tempPath = stem + ".GF2";
    return true;
}

int32_t CPortraitImage::Load(const std::string& baseDir, const std::string& archivePath, int32_t entryIndex,
                             CGameArchive* archive)
{
    Reset();
    m_entryIndex = entryIndex;
    m_archive = archive;
    // An image that does not load is empty through and through: no frame
    // count or format of the image loaded before stays behind to be shown.
    m_header.bytes.fill(0);
    const char* name = archive ? archive->GetEntryName(entryIndex) : nullptr;
    if (!name)
        return kLoadFailed;
    m_entryName = name;
    m_baseDir = baseDir;
    m_archivePath = archivePath;

    // An entry whose base name cannot be a file name has no override file.
    std::string overridePath, tempPath;
    if (OverridePaths(overridePath, tempPath)) {
        if (FileHandle file = CFileSystem::OpenForReading(overridePath)) {
            m_sourcePath = overridePath;
            m_sourceIsOverride = true;
            uint32_t payloadSize = 0;
            archive->ReadOverrideHeader(file.get(), payloadSize);
            // The payload runs to the end of the file; its size field is not
            // needed, since the image's own tables say what to read.
            ReadImage(file.get(), UINT64_MAX);
            return kLoadOk;
        }
    }

    FileHandle file = CFileSystem::OpenForReading(archivePath);
    if (!file)
        return kLoadFailed;
    m_sourcePath = archivePath;
    m_sourceIsOverride = false;
    if (::fseeko(file.get(), static_cast<off_t>(archive->GetEntryOffset(entryIndex)), SEEK_SET) == 0)
        ReadImage(file.get(), archive->GetEntrySize(entryIndex));
    else
        ReadImage(static_cast<FILE*>(nullptr), 0);
    return kLoadOk;
}

void CPortraitImage::ReadImage(FILE* stream, uint64_t available)
{
    std::vector<uint8_t> data;
    if (stream)
        data = ReadUpTo(stream, available);
    ReadImage(data.data(), data.size());
}

void CPortraitImage::ReadImage(const uint8_t* data, size_t size)
{
    Reset();
    // A header cut short reads as zeros past its end, which makes an image
    // without frames.
    m_header.bytes.fill(0);
    std::memcpy(m_header.bytes.data(), data, std::min(size, GfxHeader::kSize));
    if (m_header.BitDepth() == GfxHeader::kPaletteDepth)
        ReadPaletteImage(data, size);
    else if (m_header.BitDepth() == GfxHeader::kTrueColourDepth)
        ReadTrueColourImage(data, size);
}

void CPortraitImage::ReadPaletteImage(const uint8_t* data, size_t size)
{
    CByteReader in(data, size);
    in.Seek(GfxHeader::kSize);

    // The palette holds 256 colours; colours stored beyond them are skipped.
    std::memset(m_palette, 0, sizeof m_palette);
    const int32_t colours = m_header.StoredColours();
    m_sourceColours = colours;
    for (int32_t c = 0; c < colours; ++c) {
        uint8_t rgb[3];
        in.Bytes(rgb, 3);
        if (c < 256) {
            m_palette[c * 4 + 0] = rgb[2];
            m_palette[c * 4 + 1] = rgb[1];
            m_palette[c * 4 + 2] = rgb[0];
        }
    }

    const int32_t frames = m_header.FrameCount();
    m_frameTable.resize(static_cast<size_t>(frames));
    for (GfxFrameRecord& record : m_frameTable)
        in.Bytes(record.bytes.data(), GfxFrameRecord::kSize);
    m_changed.assign(static_cast<size_t>(frames), 0);
    for (int32_t i = 0; i < frames; ++i) {
        m_frameSurfaces.push_back(std::make_unique<CRasterSurface>());
        m_displaySurfaces.push_back(std::make_unique<CRasterSurface>());
    }

    const uint64_t dataStart = GfxHeader::kSize + 3ull * static_cast<uint64_t>(colours) +
                               GfxFrameRecord::kSize * static_cast<uint64_t>(frames);
    uint64_t budget = kMaxImagePixels;
    for (int32_t i = 0; i < frames; ++i) {
        const GfxFrameRecord& record = m_frameTable[static_cast<size_t>(i)];
        const int32_t width = record.Width(), height = record.Height();
        // A frame of absurd size stays empty rather than deciding an allocation.
        if (!ValidFrameSize(width, height))
            continue;
        const int32_t pad = RowPad(width);

        // The frame's data as far as the image holds them.
        uint64_t start = 0;
        const uint8_t* source = nullptr;
        size_t sourceSize = 0;
        if (CheckedAdd(dataStart, record.Offset(), start) && start < size) {
            source = data + start;
            sourceSize = static_cast<size_t>(std::min<uint64_t>(record.Length(), size - start));
        }
        // So does a frame that claims more pixels than its data could
        // describe, or more than the image may hold.
        if (!TakePixels(static_cast<uint64_t>(width), static_cast<uint64_t>(width + pad),
                        static_cast<uint64_t>(height), DescribablePixels(sourceSize, kMaxPixelsPerCodeByte), budget))
            continue;
        CRasterSurface& indices = *m_frameSurfaces[static_cast<size_t>(i)];
        if (!indices.CreateBuffer(width + pad, height))
            continue;
        DecodeFrameIndices(indices.m_pBits, source, sourceSize, width, height, pad);
        CRasterSurface& display = *m_displaySurfaces[static_cast<size_t>(i)];
        if (display.CreateDib(width + pad, height, 32, nullptr))
            DecodeFrameColours(display.m_pBits, source, sourceSize, width, height, pad);
    }
}

void CPortraitImage::ReadTrueColourImage(const uint8_t* data, size_t size)
{
    m_header.SetFrameCount(1);
    m_frameSurfaces.push_back(std::make_unique<CRasterSurface>());
    m_changed.assign(1, 0);

    const int32_t width = m_header.Width(), height = m_header.Height();
    if (!ValidFrameSize(width, height))
        return;
    const int32_t pad = RowPad(width);
    // Two bytes a pixel: an image whose pixels are not all there stays
    // empty, like one of absurd size.
    uint64_t budget = kMaxImagePixels;
    const uint64_t pixelBytes = size > GfxHeader::kSize ? size - GfxHeader::kSize : 0;
    if (!TakePixels(static_cast<uint64_t>(width), static_cast<uint64_t>(width + pad), static_cast<uint64_t>(height),
                    pixelBytes / 2, budget))
        return;
    CRasterSurface& surface = *m_frameSurfaces[0];
    if (!surface.CreateDib(width + pad, height, 32, nullptr))
        return;
    // Channels widen by a plain shift: white 0xFFFF becomes (248, 252, 248).
    CByteReader in(data, size);
    in.Seek(GfxHeader::kSize);
    const size_t stride = static_cast<size_t>(width + pad) * 4;
    for (int32_t y = 0; y < height && in.Ok(); ++y) {
        uint8_t* p = surface.m_pBits + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x, p += 4) {
            const uint16_t v = in.U16();
            if (!in.Ok())
                break;
            p[0] = static_cast<uint8_t>((v & 0x1F) << 3);
            p[1] = static_cast<uint8_t>(((v >> 5) & 0x3F) << 2);
            p[2] = static_cast<uint8_t>((v >> 11) << 3);
            p[3] = 0;
        }
    }
}

CRasterSurface* CPortraitImage::GetFrameSurface(int32_t i) const
{
    if (m_frameSurfaces.empty() || i < 0 || i >= m_header.FrameCount() ||
        i >= static_cast<int32_t>(m_frameSurfaces.size()))
        return nullptr;
    return m_frameSurfaces[static_cast<size_t>(i)].get();
}

CRasterSurface* CPortraitImage::GetDisplaySurface(int32_t i) const
{
    CRasterSurface* frame = GetFrameSurface(i);
    if (!frame || m_header.BitDepth() != GfxHeader::kPaletteDepth)
        return frame;
    return m_displaySurfaces[static_cast<size_t>(i)].get();
}

int32_t CPortraitImage::SetPalette(const uint8_t* palette)
{
    if (m_header.BitDepth() != GfxHeader::kPaletteDepth || !palette)
        return 0;
    // All 256 colours: a modder who brings a palette expects the whole of it.
    std::memcpy(m_palette, palette, sizeof m_palette);
    return 1;
}

void CPortraitImage::DecodeFrameColours(uint8_t* dest, const uint8_t* source, size_t sourceSize, int32_t width,
                                        int32_t height, int32_t pad) const
{
    ::DecodeFrameColours(dest, source, sourceSize, width, height, pad, m_palette);
}

bool CPortraitImage::HasChanges() const
{
    return std::any_of(m_changed.begin(), m_changed.end(), [](int32_t flag) { return flag != 0; });
}

bool CPortraitImage::IsFrameChanged(int32_t i) const
{
    return i >= 0 && i < static_cast<int32_t>(m_changed.size()) && m_changed[static_cast<size_t>(i)] != 0;
}

void CPortraitImage::GetFrameSize(int32_t i, int32_t& width, int32_t& height) const
{
    if (i >= 0 && i < static_cast<int32_t>(m_frameTable.size())) {
        width = m_frameTable[static_cast<size_t>(i)].Width();
        height = m_frameTable[static_cast<size_t>(i)].Height();
    } else {
        width = m_header.Width();
        height = m_header.Height();
    }
}

int32_t CPortraitImage::ExportFrame(int32_t i, const std::string& tgaPath) const
{
    const CRasterSurface* surface = GetFrameSurface(i);
    if (!surface)
        return -1;
    // Loaded frames are widened to a multiple of 4 pixels; the file gets the
    // frame's own width.
    int32_t width = 0, height = 0;
    GetFrameSize(i, width, height);
    return surface->SaveTga(tgaPath, m_palette, width);
}

int32_t CPortraitImage::ReplaceFrame(int32_t i, const std::string& tgaPath, bool useTgaPalette)
{
    ReplaceFailure failure;
    return ReplaceFrame(i, tgaPath, useTgaPalette, failure);
}

int32_t CPortraitImage::ReplaceFrame(int32_t i, const std::string& tgaPath, bool useTgaPalette,
                                     ReplaceFailure& failure)
{
    failure = ReplaceFailure{};
    CRasterSurface* frame = GetFrameSurface(i);
    if (!frame)
        return kReplaceOk;
    int32_t width = 0, height = 0;
    GetFrameSize(i, width, height);
    failure.frameWidth = width;
    failure.frameHeight = height;
    if (!TgaHasSize(tgaPath, width, height)) {
        TgaHeader header;
        bool opened = false;
        if (!ReadTgaHeader(tgaPath, header, opened))
            failure.kind = opened ? ReplaceFailure::Kind::kNotTga : ReplaceFailure::Kind::kCannotOpen;
        else if (!header.Plausible())
            failure.kind = ReplaceFailure::Kind::kNotTga;
        else
            failure.kind = ReplaceFailure::Kind::kWrongSize;
        failure.fileWidth = header.width;
        failure.fileHeight = header.height;
        return kReplaceWrongSize;
    }

    const bool paletteImage = m_header.BitDepth() == GfxHeader::kPaletteDepth;
    if (paletteImage && !TgaHasDepth(tgaPath, 8)) {
        failure.kind = ReplaceFailure::Kind::kNeedsColourMapped;
        return kReplaceWrongDepth;
    }

    // The file is read into a new surface, so that a file that cannot be
    // read leaves the frame exactly as it was. A palette frame is an index
    // buffer, and so is the surface that reads its replacement.
    auto loaded = std::make_unique<CRasterSurface>();
    if (paletteImage)
        loaded->CreateBuffer(0, 0);
    TgaFailure why = TgaFailure::kNone;
    const int32_t read = loaded->LoadTga(tgaPath, why);
    switch (why) {
    case TgaFailure::kNone: break;
    case TgaFailure::kCannotOpen: failure.kind = ReplaceFailure::Kind::kCannotOpen; break;
    case TgaFailure::kNotTga: failure.kind = ReplaceFailure::Kind::kNotTga; break;
    case TgaFailure::kCutShort: failure.kind = ReplaceFailure::Kind::kCutShort; break;
    case TgaFailure::kIndexOutsideMap: failure.kind = ReplaceFailure::Kind::kIndexOutsideMap; break;
    case TgaFailure::kTooLarge: failure.kind = ReplaceFailure::Kind::kTooLarge; break;
    case TgaFailure::kUnsupported:
        failure.kind = paletteImage ? ReplaceFailure::Kind::kNeedsColourMapped : ReplaceFailure::Kind::kUnsupported;
        break;
    }
    if (read == -1)
        return kReplaceWrongSize; // the file went away after its header was checked
    if (read != 1)
        return kReplaceWrongDepth;
    if (paletteImage ? (loaded->m_depth != 8 || !loaded->m_pPalette) : loaded->m_depth != 32) {
        // A colour-mapped file cannot become true-colour pixels.
        failure.kind = paletteImage ? ReplaceFailure::Kind::kNeedsColourMapped : ReplaceFailure::Kind::kNeedsTrueColour;
        return kReplaceWrongDepth;
    }

    m_frameSurfaces[static_cast<size_t>(i)] = std::move(loaded);
    if (paletteImage) {
        if (useTgaPalette)
            SetPalette(m_frameSurfaces[static_cast<size_t>(i)]->m_pPalette.get());
        RemapFrameToPalette(i);
        CoverUsedColours(i);
        // A palette taken over shows in every frame, as the saved file will
        // show it; otherwise only this frame looks different.
        for (int32_t f = 0; f < static_cast<int32_t>(m_frameSurfaces.size()); ++f)
            if (f == i || useTgaPalette)
                RefreshDisplayFrame(f);
    }
    m_changed[static_cast<size_t>(i)] = 1;
    return kReplaceOk;
}

void CPortraitImage::CoverUsedColours(int32_t i)
{
    // The file stores the first colourCount colours only, and the game shows
    // nothing sure for an index past them. A frame that uses such an index
    // makes the count cover it, so the saved colours are those on screen.
    const CRasterSurface* frame = GetFrameSurface(i);
    if (!frame || !frame->m_pBits)
        return;
    const size_t pixels = static_cast<size_t>(frame->m_width) * static_cast<size_t>(frame->m_height);
    const uint8_t highest = pixels ? *std::max_element(frame->m_pBits, frame->m_pBits + pixels) : 0;
    if (pixels && highest >= m_header.StoredColours())
        m_header.SetColourCount(static_cast<int16_t>(highest + 1));
}

int32_t CPortraitImage::RemapFrameToPalette(int32_t i)
{
    CRasterSurface* frame = GetFrameSurface(i);
    if (!frame || frame->m_depth != 8 || !frame->m_pPalette || !frame->m_pBits)
        return 1;
    const uint8_t* from = frame->m_pPalette.get();
    uint8_t map[256];
    for (int k = 0; k < 256; ++k) {
        // The nearest image colour by the sum of channel distances; among
        // equals the lowest index wins.
        int best = 768, bestIndex = 0;
        for (int j = 0; j < 256; ++j) {
            const int d = std::abs(from[k * 4] - m_palette[j * 4]) + std::abs(from[k * 4 + 1] - m_palette[j * 4 + 1]) +
                          std::abs(from[k * 4 + 2] - m_palette[j * 4 + 2]);
            if (d < best) {
                best = d;
                bestIndex = j;
            }
        }
        map[k] = static_cast<uint8_t>(bestIndex);
    }
    const size_t pixels = static_cast<size_t>(frame->m_width) * static_cast<size_t>(frame->m_height);
    for (size_t p = 0; p < pixels; ++p)
        frame->m_pBits[p] = map[frame->m_pBits[p]];
    return 1;
}

int32_t CPortraitImage::RefreshDisplayFrame(int32_t i)
{
    CRasterSurface* frame = GetFrameSurface(i);
    if (!frame || i >= static_cast<int32_t>(m_displaySurfaces.size()) || frame->m_depth != 8 || !frame->m_pBits)
        return 1;
    CRasterSurface& display = *m_displaySurfaces[static_cast<size_t>(i)];
    if (!display.CreateDib(frame->m_width, frame->m_height, 32, nullptr))
        return 1;
    // The pad pixels of a frame as loaded (past its own width) stay black,
    // as the decoder leaves them.
    int32_t width = 0, height = 0;
    GetFrameSize(i, width, height);
    const size_t rowWidth = static_cast<size_t>(frame->m_width);
    const size_t shownWidth = std::min(rowWidth, static_cast<size_t>(std::max(width, 0)));
    for (size_t y = 0; y < static_cast<size_t>(frame->m_height); ++y) {
        for (size_t x = 0; x < shownWidth; ++x) {
            const size_t p = y * rowWidth + x;
            std::memcpy(display.m_pBits + p * 4, &m_palette[frame->m_pBits[p] * 4], 3);
            display.m_pBits[p * 4 + 3] = 0;
        }
    }
    return 1;
}

int32_t CPortraitImage::SaveIfChanged()
{
    if (!HasChanges())
        return 0;
    Save();
    return 1;
}

int32_t CPortraitImage::Save()
{
    std::string finalPath, tempPath;
    if (!m_archive || !OverridePaths(finalPath, tempPath))
        return kSaveCannotCreate;
    // The new file replaces the old one only once it is complete and on
    // disk; until then the old file is where unchanged frames come from.
    m_saveError = 0;
    CReplacingFile out;
    if (!out.Begin(finalPath, tempPath)) {
        m_saveError = out.Error();
        return kSaveCannotCreate;
    }

    errno = 0;
    FILE* stream = out.Stream();
    const int32_t sizeField = m_archive->WriteOverrideHeader(stream, m_entryIndex);
    const off_t headerPosition = ::ftello(stream);
    bool complete = sizeField >= 0 && headerPosition >= 0;
    if (complete) {
        if (m_header.BitDepth() == GfxHeader::kPaletteDepth)
            complete = WritePaletteImage(stream);
        else if (m_header.BitDepth() == GfxHeader::kTrueColourDepth)
            complete = WriteTrueColourImage(stream);
        else
            complete = false; // an image without frames has nothing to save
    }
    if (complete) {
        uint8_t size[4];
        complete = std::fseek(stream, 0, SEEK_END) == 0;
        const off_t end = ::ftello(stream);
        StoreU32LE(size, static_cast<uint32_t>(end - headerPosition));
        complete = complete && end >= headerPosition && SeekTo(stream, sizeField) && WriteAll(stream, size, 4);
    }
    // On failure the changed frames stay changed.
    if (!complete) {
        m_saveError = errno;
        return kSaveIncomplete;
    }
    if (!out.Commit()) {
        m_saveError = out.Error();
        return kSaveIncomplete;
    }

    Load(m_baseDir, m_archivePath, m_entryIndex, m_archive);
    return kSaveOk;
}

bool CPortraitImage::WritePaletteImage(FILE* out)
{
    const off_t headerPosition = ::ftello(out);
    if (headerPosition < 0 || !WriteAll(out, m_header.bytes.data(), GfxHeader::kSize))
        return false;
    // Colours stored beyond the 256 the palette holds are written as black.
    const int32_t colours = m_header.StoredColours();
    std::vector<uint8_t> rgb(static_cast<size_t>(colours) * 3, 0);
    for (int32_t c = 0; c < std::min(colours, 256); ++c) {
        rgb[static_cast<size_t>(c) * 3 + 0] = m_palette[c * 4 + 2];
        rgb[static_cast<size_t>(c) * 3 + 1] = m_palette[c * 4 + 1];
        rgb[static_cast<size_t>(c) * 3 + 2] = m_palette[c * 4 + 0];
    }
    const off_t tablePosition = headerPosition + GfxHeader::kSize + static_cast<off_t>(rgb.size());
    if (!WriteAll(out, rgb.data(), rgb.size()))
        return false;
    for (const GfxFrameRecord& record : m_frameTable)
        if (!WriteAll(out, record.bytes.data(), GfxFrameRecord::kSize))
            return false;

    const off_t dataStart = ::ftello(out);
    const int32_t frames = static_cast<int32_t>(m_frameTable.size());
    std::vector<GfxFrameRecord> table = m_frameTable;
    for (int32_t i = 0; i < frames; ++i) {
        const off_t framePosition = ::ftello(out);
        GfxFrameRecord& record = table[static_cast<size_t>(i)];
        if (m_changed[static_cast<size_t>(i)]) {
            const CRasterSurface& s = *m_frameSurfaces[static_cast<size_t>(i)];
            // The buffer holds the worst case, one zero and one other index
            // taking turns along every row.
            std::vector<uint8_t> encoded(std::max<size_t>(MaxEncodedSize(s.m_width, s.m_height), 1));
            const int32_t n = EncodeFrame(s.m_pBits, s.m_width, s.m_height, encoded.data(), encoded.size());
            if (n < 0 || !WriteAll(out, encoded.data(), static_cast<size_t>(n)))
                return false;
            record.SetLength(static_cast<uint32_t>(n));
            record.SetWidth(static_cast<int16_t>(s.m_width));
            record.SetHeight(static_cast<int16_t>(s.m_height));
        } else if (!CopyStoredFrame(out, i)) {
            // A frame that cannot be copied would leave its record pointing
            // at the next frame's data.
            return false;
        }
        record.SetOffset(static_cast<uint32_t>(framePosition - dataStart));
    }
    const off_t end = ::ftello(out);
    if (dataStart < 0 || end < dataStart)
        return false;
    m_header.SetDataSize(static_cast<uint32_t>(end - dataStart));
    if (!SeekTo(out, headerPosition) || !WriteAll(out, m_header.bytes.data(), GfxHeader::kSize) ||
        !SeekTo(out, tablePosition))
        return false;
    for (const GfxFrameRecord& record : table)
        if (!WriteAll(out, record.bytes.data(), GfxFrameRecord::kSize))
            return false;
    m_frameTable = std::move(table);
    return true;
}

bool CPortraitImage::WriteTrueColourImage(FILE* out)
{
    const off_t headerPosition = ::ftello(out);
    const int32_t width = m_header.Width(), height = m_header.Height();
    const CRasterSurface* s = m_frameSurfaces.empty() ? nullptr : m_frameSurfaces[0].get();
    // The pixels are taken row by row from a 32-bit surface at least as large
    // as the header says; anything else cannot be written.
    if (headerPosition < 0 || !s || s->m_depth != 32 || !s->m_pBits || width < 0 || height < 0 ||
        s->m_width < width || s->m_height < height)
        return false;
    if (!WriteAll(out, m_header.bytes.data(), GfxHeader::kSize))
        return false;
    std::vector<uint8_t> row(static_cast<size_t>(width) * 2);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = s->m_pBits + static_cast<size_t>(y) * static_cast<size_t>(s->m_width) * 4;
        for (int32_t x = 0; x < width; ++x, p += 4) {
            const uint16_t v = static_cast<uint16_t>(((p[2] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[0] >> 3));
            StoreU16LE(&row[static_cast<size_t>(x) * 2], v);
        }
        if (!WriteAll(out, row.data(), row.size()))
            return false;
    }
    m_header.SetDataSize(static_cast<uint32_t>(static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 2));
    return SeekTo(out, headerPosition) && WriteAll(out, m_header.bytes.data(), GfxHeader::kSize) &&
           std::fseek(out, 0, SEEK_END) == 0;
}

int32_t CPortraitImage::CopyStoredFrame(FILE* out, int32_t i) const
{
    if (i < 0 || i >= m_header.FrameCount() || i >= static_cast<int32_t>(m_frameTable.size()))
        return 0;
    FileHandle source = CFileSystem::OpenForReading(m_sourcePath);
    if (!source)
        return 0;
    if (m_sourceIsOverride) {
        uint32_t payloadSize = 0;
        if (m_archive->ReadOverrideHeader(source.get(), payloadSize) != CGameArchive::kReadHeaderOk)
            return 0;
    } else if (::fseeko(source.get(), static_cast<off_t>(m_archive->GetEntryOffset(m_entryIndex)), SEEK_SET) != 0) {
        return 0;
    }
    const GfxFrameRecord& record = m_frameTable[static_cast<size_t>(i)];
    const uint64_t skip = GfxHeader::kSize + 3ull * static_cast<uint64_t>(m_sourceColours) +
                          GfxFrameRecord::kSize * static_cast<uint64_t>(m_header.FrameCount()) + record.Offset();
    // The stored frame must lie within the file before anything is
    // allocated for it.
    const off_t imageStart = ::ftello(source.get());
    const int64_t fileSize = CFileSystem::GetFileSize(source.get());
    uint64_t frameStart = 0;
    if (imageStart < 0 || fileSize < 0 || !CheckedAdd(static_cast<uint64_t>(imageStart), skip, frameStart) ||
        !RangeFits(frameStart, record.Length(), static_cast<uint64_t>(fileSize)) ||
        !SeekTo(source.get(), static_cast<int64_t>(frameStart)))
        return 0;
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[std::max<uint32_t>(record.Length(), 1)]);
    if (!bytes || std::fread(bytes.get(), 1, record.Length(), source.get()) != record.Length())
        return 0;
    source.reset();
    return WriteAll(out, bytes.get(), record.Length()) ? 1 : 0;
}
