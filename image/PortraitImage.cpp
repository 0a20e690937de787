#include "PortraitImage.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>

#include "ColourMatch.h"
#include "FrameCodec.h"
#include "FrameRows.h"
#include "GameArchive.h"
#include "GfxImage.h"
#include "FrameExchange.h"
#include "OverrideFormat.h"
#include "AsideFolder.h"
#include "CheckedSize.h"
#include "FileSystem.h"
#include "FolderLock.h"
#include "GameFolder.h"
#include "OverrideFile.h"
#include "ReplacingFile.h"


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

bool CPortraitImage::OverridePaths(std::string& finalPath) const
{
    std::string fileName;
    if (!CGameFolder::OverrideFileName(m_entryName, fileName))
        return false;
    finalPath = CFileSystem::BuildPath(m_baseDir + m_subFolder, fileName);
    return true;
}

int32_t CPortraitImage::Load(const std::string& baseDir, const std::string& archivePath, int32_t entryIndex,
                             CGameArchive* archive)
{
    Reset();
    m_entryIndex = entryIndex;
    m_archive = archive;
    m_restored = false;
    m_original = false;
    m_overrideFault.clear();
    m_overrideIdentity = FileIdentity{};
    // An image that does not load is empty through and through: no frame
    // count or format of the image loaded before stays behind to be shown.
    m_header.bytes.fill(0);
    m_sourceBytes.reset();
    const char* name = archive ? archive->GetEntryName(entryIndex) : nullptr;
    if (!name)
        return kLoadFailed;
    m_entryName = name;
    m_baseDir = baseDir;
    m_archivePath = archivePath;

    // An entry whose base name cannot be a file name has no override file.
    // A damaged one is not used: the archive's image shows in its place.
    std::string overridePath;
    if (OverridePaths(overridePath)) {
        COverrideFile file = COverrideFile::Read(overridePath, m_entryName);
        m_overrideIdentity = file.identity;
        m_overrideFault = file.fault;
        if (file.state == COverrideFile::State::kSound) {
            m_sourcePath = overridePath;
            ReadHeldImage(std::move(file.image));
            return kLoadOk;
        }
    }

    // The image's bytes are held from here on: a save copies its unchanged
    // frames from them, whatever happens to the file meanwhile.
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    if (!archive->ReadEntry(entryIndex, *bytes, COverrideFile::kMaxBytes))
        return kLoadFailed;
    m_sourcePath = archivePath;
    m_original = true;
    ReadHeldImage(std::move(bytes));
    return kLoadOk;
}

void CPortraitImage::ReadImage(const uint8_t* data, size_t size)
{
    ReadHeldImage(std::make_shared<const std::vector<uint8_t>>(data, data + size));
}

void CPortraitImage::ReadHeldImage(std::shared_ptr<const std::vector<uint8_t>> bytes)
{
    Reset();
    m_sourceBytes = std::move(bytes);
    // A header cut short reads as zeros past its end, which makes an image
    // without frames.
    const GfxImage gfx = ParseGfx(*m_sourceBytes);
    m_header = gfx.header;
    if (m_header.BitDepth() == GfxHeader::kPaletteDepth)
        ReadPaletteImage(gfx);
    else if (m_header.BitDepth() == GfxHeader::kTrueColourDepth)
        ReadTrueColourImage(gfx);
}

void CPortraitImage::ReadPaletteImage(const GfxImage& gfx)
{
    // The palette holds 256 colours; colours stored beyond them are skipped.
    StoredToEditorPalette(gfx.palette, m_palette);
    m_sourceColours = m_header.StoredColours();

    const int32_t frames = m_header.FrameCount();
    m_frameTable = gfx.frameTable;
    m_changed.assign(static_cast<size_t>(frames), 0);
    for (int32_t i = 0; i < frames; ++i) {
        m_frameSurfaces.push_back(std::make_unique<CRasterSurface>());
        m_displaySurfaces.push_back(std::make_unique<CRasterSurface>());
    }

    uint64_t budget = kMaxImagePixels;
    for (int32_t i = 0; i < frames; ++i) {
        const GfxFrameRecord& record = m_frameTable[static_cast<size_t>(i)];
        const int32_t width = record.Width(), height = record.Height();
        // A frame of absurd size stays empty rather than deciding an allocation.
        if (!FrameSizeInRange(width, height))
            continue;
        const int32_t pad = FrameRowPad(width);

        // The frame's data as far as the image holds them.
        const std::span<const uint8_t> code = gfx.FrameCode(static_cast<size_t>(i));
        // So does a frame that claims more pixels than its data could
        // describe, or more than the image may hold.
        if (!TakePixels(static_cast<uint64_t>(width), static_cast<uint64_t>(width + pad),
                        static_cast<uint64_t>(height), DescribablePixels(code.size(), kMaxPixelsPerCodeByte), budget))
            continue;
        CRasterSurface& indices = *m_frameSurfaces[static_cast<size_t>(i)];
        if (!indices.CreateBuffer(width + pad, height))
            continue;
        DecodeFrameIndices(indices.m_pBits, code.data(), code.size(), width, height, pad, m_messageHandler);
        CRasterSurface& display = *m_displaySurfaces[static_cast<size_t>(i)];
        if (display.CreateDib(width + pad, height, 32, nullptr))
            DecodeFrameColours(display.m_pBits, code.data(), code.size(), width, height, pad, m_palette);
    }
}

void CPortraitImage::ReadTrueColourImage(const GfxImage& gfx)
{
    m_header.SetFrameCount(1);
    m_frameSurfaces.push_back(std::make_unique<CRasterSurface>());
    m_changed.assign(1, 0);

    const int32_t width = m_header.Width(), height = m_header.Height();
    if (!FrameSizeInRange(width, height))
        return;
    const int32_t pad = FrameRowPad(width);
    // An image whose pixels are not all there stays empty, like one of
    // absurd size.
    uint64_t budget = kMaxImagePixels;
    if (!TakePixels(static_cast<uint64_t>(width), static_cast<uint64_t>(width + pad), static_cast<uint64_t>(height),
                    gfx.pixels.size(), budget))
        return;
    CRasterSurface& surface = *m_frameSurfaces[0];
    if (!surface.CreateDib(width + pad, height, 32, nullptr))
        return;
    const size_t stride = static_cast<size_t>(width + pad) * 4;
    const uint16_t* pixel = gfx.pixels.data();
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* p = surface.m_pBits + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x, p += 4)
            UnpackGfxPixel(*pixel++, p);
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

bool CPortraitImage::HasChanges() const
{
    return m_restored || std::any_of(m_changed.begin(), m_changed.end(), [](int32_t flag) { return flag != 0; });
}

bool CPortraitImage::IsOriginal() const
{
    return m_original && std::none_of(m_changed.begin(), m_changed.end(), [](int32_t flag) { return flag != 0; });
}

bool CPortraitImage::TakeSnapshot(ImageSnapshot& snapshot) const
{
    GfxImage gfx;
    try {
        if (!BuildImage(gfx))
            return false;
        snapshot.bytes = std::make_shared<const std::vector<uint8_t>>(SerializeGfx(gfx));
    } catch (const std::bad_alloc&) {
        return false;
    }
    snapshot.original = IsOriginal();
    return true;
}

void CPortraitImage::RestoreSnapshot(const ImageSnapshot& snapshot)
{
    if (!snapshot.bytes)
        return;
    // A moment that its file still holds is that file loaded again, with
    // nothing to save.
    if (m_archive) {
        CPortraitImage stored;
        stored.SetSubFolder(m_subFolder);
        ImageSnapshot onDisk;
        if (stored.Load(m_baseDir, m_archivePath, m_entryIndex, m_archive) == kLoadOk &&
            stored.TakeSnapshot(onDisk) && onDisk.original == snapshot.original && *onDisk.bytes == *snapshot.bytes) {
            Load(m_baseDir, m_archivePath, m_entryIndex, m_archive);
            return;
        }
    }
    ReadHeldImage(snapshot.bytes);
    m_restored = true;
    m_original = snapshot.original;
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

int32_t CPortraitImage::ExportFrame(int32_t i, const std::string& path, ExportFormat format) const
{
    if (format == ExportFormat::kTga)
        return ExportFrame(i, path);
    const CRasterSurface* surface = GetFrameSurface(i);
    if (!surface)
        return -1;
    int32_t width = 0, height = 0;
    GetFrameSize(i, width, height);
    return ExportPng(*surface, width, height, m_palette, path);
}

bool CPortraitImage::EncodeFrame(int32_t i, ExportFormat format, std::vector<uint8_t>& bytes) const
{
    const CRasterSurface* surface = GetFrameSurface(i);
    if (!surface)
        return false;
    int32_t width = 0, height = 0;
    GetFrameSize(i, width, height);
    if (format == ExportFormat::kTga)
        return surface->EncodeTga(m_palette, width, bytes);
    return EncodePng(*surface, width, height, m_palette, bytes);
}

int32_t CPortraitImage::ReplaceFrame(int32_t i, const std::string& tgaPath, bool useTgaPalette)
{
    ReplaceFailure failure;
    return ReplaceFrame(i, tgaPath, useTgaPalette, failure);
}

int32_t CPortraitImage::ReplaceFrame(int32_t i, const std::string& tgaPath, bool useTgaPalette,
                                     ReplaceFailure& failure)
{
    ImportOptions options;
    options.mode = useTgaPalette ? ImportMode::kFilePalette : ImportMode::kRemap;
    return ReplaceFrame(i, tgaPath, options, failure);
}

int32_t CPortraitImage::ReplaceFrame(int32_t i, const std::string& path, const ImportOptions& options,
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

    // The file is read into a new surface, so that a file that cannot be
    // read leaves the frame exactly as it was.
    ImportPicture picture;
    const int32_t read = ReadImportFile(path, width, height, m_header.BitDepth() == GfxHeader::kPaletteDepth,
                                        options.mode, picture.surface, picture.colours, failure);
    if (read != kImportFileRead)
        return read;
    return ReplaceFrame(i, std::move(picture), options, failure);
}

int32_t CPortraitImage::ReplaceFrame(int32_t i, ImportPicture picture, const ImportOptions& options,
                                     ReplaceFailure& failure)
{
    CRasterSurface* frame = GetFrameSurface(i);
    if (!frame || !picture.surface)
        return kReplaceOk;
    int32_t width = 0, height = 0;
    GetFrameSize(i, width, height);
    std::unique_ptr<CRasterSurface>& loaded = picture.surface;
    const std::vector<uint8_t>& colours = picture.colours;
    if (m_header.BitDepth() != GfxHeader::kPaletteDepth) {
        m_frameSurfaces[static_cast<size_t>(i)] = std::move(loaded);
        m_changed[static_cast<size_t>(i)] = 1;
        return kReplaceOk;
    }
    const bool keep = options.mode == ImportMode::kKeepIndices;
    const bool filePalette = options.mode == ImportMode::kFilePalette;
    // Remapped pixels are matched before the frame is replaced, so that a
    // match that cannot be made leaves the frame as it was.
    if (!keep && !filePalette && !MatchImportedColours(*loaded, colours, m_palette, options, failure.colourLoss)) {
        failure.kind = ReplaceFailure::Kind::kTooLarge;
        return kReplaceWrongDepth;
    }
    if (keep) {
        failure.recolouredPixels = CountRecolouredPixels(*loaded, m_palette);
        // The same indices change nothing, so that the frame's stored bytes
        // stay as they are.
        if (SameIndices(*loaded, *frame, width))
            return kReplaceOk;
    }
    m_frameSurfaces[static_cast<size_t>(i)] = std::move(loaded);
    // The file's palette taken over holds every colour exactly; only a
    // colour that repeats moves, to its lowest index.
    if (filePalette) {
        SetPalette(m_frameSurfaces[static_cast<size_t>(i)]->m_pPalette.get());
        RemapFrameToPalette(i);
    }
    CoverUsedColours(i);
    // A palette taken over shows in every frame, as the saved file will
    // show it; otherwise only this frame looks different.
    for (int32_t f = 0; f < static_cast<int32_t>(m_frameSurfaces.size()); ++f)
        if (f == i || filePalette)
            RefreshDisplayFrame(f);
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
    // The nearest image colour by the sum of channel distances; among equals
    // the lowest index wins.
    uint8_t map[256];
    CColourMatch(m_palette, ColourMetric::kClassic).MapPalette(frame->m_pPalette.get(), map);
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

int32_t CPortraitImage::Save(SaveMode mode)
{
    m_saveError = 0;
    m_setAside.clear();
    m_saveResult = WriteOverrideFile(mode);
    return m_saveResult;
}

int32_t CPortraitImage::WriteOverrideFile(SaveMode mode)
{
    std::string finalPath;
    if (!m_archive || !OverridePaths(finalPath))
        return kSaveCannotCreate;

    // The override header and the whole image are put together, from the
    // bytes the image was loaded from, before the disk is touched.
    std::vector<uint8_t> bytes;
    try {
        GfxImage gfx;
        if (!BuildImage(gfx))
            return kSaveIncomplete;
        const std::vector<uint8_t> image = SerializeGfx(gfx);
        bytes = SerializeOverrideHeader(m_entryName, static_cast<uint32_t>(image.size()));
        bytes.insert(bytes.end(), image.begin(), image.end());
    } catch (const std::bad_alloc&) {
        m_saveError = ENOMEM;
        return kSaveIncomplete;
    }

    // Other processes saving into the folder wait meanwhile.
    CFolderLock lock;
    if (!lock.Acquire(m_baseDir + m_subFolder)) {
        m_saveError = lock.Error();
        return m_saveError == EWOULDBLOCK ? kSaveFolderBusy : kSaveCannotCreate;
    }
    // A file that another program put in place (or took away) since the
    // load is not overwritten unless asked; then it is set aside, as a
    // damaged file is.
    const FileIdentity standing = CFileSystem::Identify(finalPath);
    const bool replacedMeanwhile = standing != m_overrideIdentity;
    if (replacedMeanwhile && mode == SaveMode::kKeepOther)
        return kSaveReplacedMeanwhile;
    if (standing.exists && (replacedMeanwhile || !m_overrideFault.empty()) &&
        CAsideFolder::Move(finalPath, CGameFolder(m_baseDir).RevertedFolder(), std::time(nullptr), m_setAside) !=
            CAsideFolder::kMoved) {
        m_saveError = errno;
        return kSaveCannotSetAside;
    }
    // Should the new file not go in, what was set aside comes back.
    struct PutBack {
        std::string& from;
        const std::string& to;
        bool done = false;
        ~PutBack()
        {
            if (!done && !from.empty() && CFileSystem::MoveWithoutReplacing(from, to))
                from.clear();
        }
    } putBack{m_setAside, finalPath};

    CReplacingFile out;
    if (!out.Begin(finalPath)) {
        m_saveError = out.Error();
        return kSaveCannotCreate;
    }
    errno = 0;
    if (!CFileSystem::Write(out.Stream(), bytes.data(), bytes.size())) {
        m_saveError = errno;
        return kSaveIncomplete;
    }
    // On failure the changed frames stay changed.
    if (!out.Commit()) {
        m_saveError = out.Error();
        return kSaveIncomplete;
    }
    putBack.done = true;
    Load(m_baseDir, m_archivePath, m_entryIndex, m_archive);
    return kSaveOk;
}

bool CPortraitImage::BuildImage(GfxImage& gfx) const
{
    if (m_header.BitDepth() == GfxHeader::kPaletteDepth)
        return BuildPaletteImage(gfx);
    if (m_header.BitDepth() == GfxHeader::kTrueColourDepth)
        return BuildTrueColourImage(gfx);
    return false; // an image without frames has nothing to save
}

bool CPortraitImage::BuildPaletteImage(GfxImage& gfx) const
{
    // The header as loaded, but for the frame count and data size that the
    // frames added give it back, and all the colours it counts.
    gfx.header = m_header;
    gfx.header.SetDataSize(0);
    gfx.palette = EditorToStoredPalette(m_palette, m_header.StoredColours());
    std::vector<uint8_t> stored;
    for (size_t i = 0; i < m_frameTable.size(); ++i) {
        const GfxFrameRecord& record = m_frameTable[i];
        if (m_changed[i]) {
            const CRasterSurface& s = *m_frameSurfaces[i];
            if (!gfx.AddFrame(record, s.m_pBits, s.m_width, s.m_height))
                return false;
        } else if (!ReadStoredFrame(static_cast<int32_t>(i), stored) || !gfx.AddFrame(record, stored)) {
            // A frame that cannot be copied would leave its record pointing
            // at the next frame's data.
            return false;
        }
    }
    return true;
}

bool CPortraitImage::BuildTrueColourImage(GfxImage& gfx) const
{
    const int32_t width = m_header.Width(), height = m_header.Height();
    const CRasterSurface* s = m_frameSurfaces.empty() ? nullptr : m_frameSurfaces[0].get();
    // The pixels are taken row by row from a 32-bit surface at least as large
    // as the header says; anything else cannot be written.
    if (!s || s->m_depth != 32 || !s->m_pBits || width < 0 || height < 0 || s->m_width < width ||
        s->m_height < height)
        return false;
    std::vector<uint16_t> pixels;
    pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = s->m_pBits + static_cast<size_t>(y) * static_cast<size_t>(s->m_width) * 4;
        for (int32_t x = 0; x < width; ++x, p += 4)
            pixels.push_back(PackGfxPixel(p));
    }
    gfx = GfxImage::TrueColourImage(m_header, static_cast<int16_t>(width), static_cast<int16_t>(height),
                                    std::move(pixels));
    return true;
}

bool CPortraitImage::ReadStoredFrame(int32_t i, std::vector<uint8_t>& bytes) const
{
    bytes.clear();
    if (i < 0 || i >= m_header.FrameCount() || i >= static_cast<int32_t>(m_frameTable.size()) || !m_sourceBytes)
        return false;
    // The frame lies where the image that was loaded put it, after the
    // colours that image stored.
    const GfxFrameRecord& frame = m_frameTable[static_cast<size_t>(i)];
    const uint64_t start = GfxDataStart(static_cast<uint64_t>(m_sourceColours), m_header.FrameCount()) + frame.Offset();
    if (!RangeFits(start, frame.Length(), m_sourceBytes->size()))
        return false;
    const auto first = m_sourceBytes->begin() + static_cast<std::ptrdiff_t>(start);
    bytes.assign(first, first + static_cast<std::ptrdiff_t>(frame.Length()));
    return true;
}
