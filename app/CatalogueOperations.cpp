#include "CatalogueOperations.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <span>
#include <utility>

#include "CatalogueExport.h"
#include "CatalogueImport.h"
#include "CheckedSize.h"
#include "DibSection.h"
#include "EntryBaseName.h"
#include "EntryNameRules.h"
#include "FileSystem.h"
#include "FrameCodec.h"
#include "FrameRows.h"
#include "GameArchive.h"
#include "GfxImage.h"
#include "OrderedWork.h"
#include "OverrideFormat.h"
#include "PortraitImage.h"

namespace {

const char* const kPortraitsFolder = "\\Portraits";
const char* const kRevertedFolder = "\\Portraits\\Reverted";

std::vector<uint8_t> ReadRest(FILE* file)
{
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    return data;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The last part of a host path.
std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
    const int32_t width = record ? gfx.frameTable[i].Width() : gfx.header.Width();
    const int32_t height = record ? gfx.frameTable[i].Height() : gfx.header.Height();
    return std::to_string(width) + " x " + std::to_string(height);
}

// What is wrong with the image itself, before it is compared with the
// archive's; empty when it is whole.
std::string ImageFault(const GfxImage& gfx, size_t payloadSize)
{
    const GfxHeader& h = gfx.header;
    if (payloadSize < GfxHeader::kSize)
        return "the image ends inside its header";
    if (h.BitDepth() == GfxHeader::kPaletteDepth) {
        if (payloadSize < GfxDataStart(static_cast<uint64_t>(h.StoredColours()), h.FrameCount()))
            return "the image ends inside its palette or frame table";
        return {};
    }
    if (h.BitDepth() == GfxHeader::kTrueColourDepth) {
        uint64_t pixels = 0;
        if (h.Width() < 0 || h.Height() < 0 ||
            !CheckedMul(static_cast<uint64_t>(h.Width()), static_cast<uint64_t>(h.Height()), pixels) ||
            gfx.pixels.size() < pixels)
            return "the image ends inside its pixels";
        return {};
    }
    return "bit depth " + std::to_string(h.BitDepth()) + " is neither 8 nor 16";
}

// Each stored frame must lie inside the frame data and decode within its
// pixels.
void CheckFrames(const GfxImage& gfx, const std::string& path, std::vector<ValidationProblem>& problems)
{
    uint64_t budget = kMaxImagePixels;
    for (size_t i = 0; i < gfx.frameTable.size(); ++i) {
        const GfxFrameRecord& record = gfx.frameTable[i];
        const std::string frame = "frame " + std::to_string(i);
        if (!RangeFits(record.Offset(), record.Length(), gfx.frameData.size())) {
            problems.push_back({path, frame + ": its data lie outside the image"});
            continue;
        }
        const int32_t width = record.Width(), height = record.Height();
        const std::span<const uint8_t> code = gfx.FrameCode(i);
        if (!FrameSizeInRange(width, height)) {
            problems.push_back({path, frame + ": its size " + std::to_string(width) + " x " +
                                          std::to_string(height) + " is out of range"});
            continue;
        }
        const int32_t pad = FrameRowPad(width);
        if (!TakePixels(static_cast<uint64_t>(width), static_cast<uint64_t>(width + pad),
                        static_cast<uint64_t>(height), DescribablePixels(code.size(), kMaxPixelsPerCodeByte), budget)) {
            problems.push_back({path, frame + ": more pixels than its data could describe"});
            continue;
        }
        std::vector<uint8_t> indices(static_cast<size_t>(width + pad) * static_cast<size_t>(height));
        int32_t overruns = 0;
        DecodeFrameIndices(indices.data(), code.data(), code.size(), width, height, pad,
                           [&overruns](const std::string&, const std::string&) { ++overruns; });
        if (overruns > 0)
            problems.push_back({path, frame + ": its data overrun its " + std::to_string(width) + " x " +
                                          std::to_string(height) + " pixels"});
    }
}

} // namespace

const char* ImageSourceName(ImageSource source)
{
    switch (source) {
    case ImageSource::kOverride:
        return "override";
    case ImageSource::kInvalidOverride:
        return "invalid override";
    case ImageSource::kOriginal:
        break;
    }
    return "original";
}

CCatalogueOperations::CCatalogueOperations(CGameArchive& archive, std::string baseDir,
                                           std::vector<const PortraitRecord*> records)
    : m_archive(archive), m_baseDir(std::move(baseDir)), m_records(std::move(records)),
      m_workers(COrderedWork::Workers())
{
}

bool CCatalogueOperations::OverridePath(int32_t entryIndex, std::string& path) const
{
    // The image itself says which file it would use.
    CPortraitImage image;
    image.SetSubFolder(kPortraitsFolder);
    image.Load(m_baseDir, m_baseDir + "\\DATA\\DATA.QPK", entryIndex, &m_archive);
    return image.GetOverridePath(path);
}

std::vector<PortraitStatus> CCatalogueOperations::Status() const
{
    std::vector<PortraitStatus> statuses;
    for (size_t i = 0; i < m_records.size(); ++i)
        statuses.push_back(StatusOf(static_cast<int32_t>(i)));
    return statuses;
}

PortraitStatus CCatalogueOperations::StatusOf(int32_t portrait) const
{
    PortraitStatus status;
    if (portrait < 0 || static_cast<size_t>(portrait) >= m_records.size())
        return status;
    const PortraitRecord& record = *m_records[static_cast<size_t>(portrait)];
    status.index = portrait;
    status.name = record.GetName();
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        if (record.entryIndex[size] < 0)
            continue;
        status.has[size] = true;
        // Loaded as the dialog loads it: the override file when it opens,
        // else the archive. An override file that does not open, or
        // whose contents are no sound image of its entry (what validate
        // finds), cannot be used.
        CPortraitImage image;
        image.SetSubFolder(kPortraitsFolder);
        image.Load(m_baseDir, record.GetArchivePath(), record.entryIndex[size], &m_archive);
        std::string path;
        if (!image.GetOverridePath(path))
            continue;
        status.overridePath[size] = CFileSystem::ResolvePath(path);
        if (image.SourcePath() == path) {
            ValidationReport check;
            ValidateFile(record.entryIndex[size], path, check);
            status.source[size] = check.problems.empty() ? ImageSource::kOverride : ImageSource::kInvalidOverride;
        } else if (CFileSystem::PathExists(path)) {
            status.source[size] = ImageSource::kInvalidOverride;
        }
    }
    return status;
}

void CCatalogueOperations::ValidateFile(int32_t entryIndex, const std::string& path, ValidationReport& report) const
{
    const std::string shown = CFileSystem::ResolvePath(path);
    ++report.checked;
    FileHandle file = CFileSystem::OpenForReading(path);
    if (!file) {
        report.problems.push_back({shown, CFileSystem::FileExists(path) ? "cannot be read" : "is not a regular file"});
        return;
    }
    const std::vector<uint8_t> bytes = ReadRest(file.get());
    const OverrideHeader header = ParseOverrideHeader(bytes);
    if (header.result != OverrideHeader::kOk) {
        report.problems.push_back({shown, "the override header is cut short"});
        return;
    }
    const std::string entryName = m_archive.GetEntryName(entryIndex);
    if (header.entryName != entryName) {
        report.problems.push_back(
            {shown, "names the entry " + std::string(header.entryName) + " instead of " + entryName});
        return;
    }
    // The image runs to the end of the file, as the editor reads it.
    const std::span<const uint8_t> payload = std::span(bytes).subspan(static_cast<size_t>(header.headerSize));
    const GfxImage gfx = ParseGfx(payload);
    const std::string fault = ImageFault(gfx, payload.size());
    if (!fault.empty()) {
        report.problems.push_back({shown, fault});
        return;
    }

    std::vector<uint8_t> original;
    if (FileHandle archive = CFileSystem::OpenForReading(m_baseDir + "\\DATA\\DATA.QPK")) {
        if (::fseeko(archive.get(), static_cast<off_t>(m_archive.GetEntryOffset(entryIndex)), SEEK_SET) == 0) {
            original.resize(m_archive.GetEntrySize(entryIndex));
            original.resize(std::fread(original.data(), 1, original.size(), archive.get()));
        }
    }
    const GfxImage archived = ParseGfx(original);
    const GfxHeader& want = archived.header;
    const GfxHeader& have = gfx.header;
    const size_t before = report.problems.size();
    const int32_t frames = FrameCountOf(gfx), archivedFrames = FrameCountOf(archived);
    const auto common = static_cast<size_t>(std::min(frames, archivedFrames));
    for (size_t i = 0; i < common; ++i) {
        const std::string mine = FrameSize(gfx, i), theirs = FrameSize(archived, i);
        if (mine != theirs)
            report.problems.push_back(
                {shown, "frame " + std::to_string(i) + " is " + mine + ", the archive's " + theirs});
    }
    if (have.BitDepth() != want.BitDepth())
        report.problems.push_back({shown, "bit depth " + std::to_string(have.BitDepth()) + ", the archive's " +
                                              std::to_string(want.BitDepth())});
    if (frames != archivedFrames)
        report.problems.push_back(
            {shown, std::to_string(frames) + " frames, the archive's " + std::to_string(archivedFrames)});
    if (report.problems.size() == before)
        CheckFrames(gfx, shown, report.problems);
}

ValidationReport CCatalogueOperations::Validate() const
{
    ValidationReport report;
    if (m_archive.GetEntryCount() <= 0)
        return report;
    report.ran = true;
    std::set<std::string> used;
    for (const PortraitRecord* record : m_records) {
        for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
            std::string path;
            const int32_t entry = record->entryIndex[size];
            if (entry < 0 || !OverridePath(entry, path))
                continue;
            used.insert(Upper(FileNameOf(path)));
            if (CFileSystem::PathExists(path))
                ValidateFile(entry, path, report);
        }
    }
    const std::string folder = m_baseDir + kPortraitsFolder;
    for (const std::string& name : CFileSystem::ListFiles(folder)) {
        const std::string upper = Upper(name);
        if (upper.size() < 4 || upper.compare(upper.size() - 4, 4, ".GFX") != 0 || used.count(upper))
            continue;
        report.problems.push_back({CFileSystem::ResolvePath(folder + "\\" + name), "no catalogue entry uses it"});
    }
    return report;
}

std::string CCatalogueOperations::RevertedName(const std::string& fileName, std::time_t now, int32_t attempt)
{
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    std::string name = fileName;
    name += '.';
    name += stamp;
    if (attempt > 1) {
        name += '-';
        name += std::to_string(attempt);
    }
    return name;
}

RevertResult CCatalogueOperations::Revert(int32_t portrait, bool allSizes, PortraitSize only, std::time_t now) const
{
    RevertResult out;
    if (portrait < 0 || static_cast<size_t>(portrait) >= m_records.size()) {
        out.result = RevertResult::kNoPortrait;
        return out;
    }
    const PortraitRecord& record = *m_records[static_cast<size_t>(portrait)];
    const std::string folder = m_baseDir + kRevertedFolder;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        std::string path;
        const int32_t entry = record.entryIndex[size];
        if ((!allSizes && size != only) || entry < 0 || !OverridePath(entry, path) || !CFileSystem::PathExists(path))
            continue;
        if (!CFileSystem::CreateFolder(folder)) {
            out.result = RevertResult::kCannotCreateFolder;
            out.failedPath = CFileSystem::ResolvePath(folder);
            return out;
        }
        const std::string from = CFileSystem::ResolvePath(path);
        // An earlier file of the same name and second is never replaced.
        constexpr int32_t kMaxAttempts = 1000;
        bool moved = false;
        for (int32_t attempt = 1; attempt <= kMaxAttempts && !moved; ++attempt) {
            const std::string to = folder + "\\" + RevertedName(FileNameOf(from), now, attempt);
            if (CFileSystem::MoveWithoutReplacing(path, to)) {
                out.moved.push_back({from, CFileSystem::ResolvePath(to)});
                moved = true;
            } else if (!CFileSystem::PathExists(to)) {
                break;
            }
        }
        if (!moved) {
            out.result = RevertResult::kMoveFailed;
            out.failedPath = from;
            return out;
        }
    }
    return out;
}

std::vector<std::string> CCatalogueOperations::PackFiles(const CGameArchive& archive, const std::string& baseDir)
{
    std::vector<std::string> files;
    for (int32_t i = 0; i < archive.GetEntryCount(); ++i) {
        const char* name = archive.GetEntryName(i);
        if (!IsPortraitEntry(name))
            continue;
        std::string baseName;
        if (!GetEntryBaseName(name, baseName))
            continue;
        const std::string candidate = baseDir + "\\PORTRAITS\\" + baseName + ".GFX";
        if (!CFileSystem::OpenForReading(candidate))
            continue;
        files.push_back(candidate);
    }
    return files;
}

std::string CCatalogueOperations::PackTarget(const std::string& baseDir)
{
    return baseDir + "\\PATCHES\\PATCH.010";
}

std::vector<PackSource> CCatalogueOperations::PackSources() const
{
    // The builder's own test of each file says whether the pack takes it;
    // nothing is written before WriteArchive.
    CGameArchive builder;
    builder.BeginBuild(PackTarget(m_baseDir), "PATCHES\\PATCH.010");
    std::vector<PackSource> sources;
    for (const std::string& path : PackFiles(m_archive, m_baseDir)) {
        PackSource source;
        source.path = path;
        source.resolvedPath = CFileSystem::ResolvePath(path);
        source.taken = builder.AddFile(path) == CGameArchive::kAddOk;
        if (FileHandle file = CFileSystem::OpenForReading(path)) {
            std::vector<uint8_t> front(OverrideHeader::HeaderSize(OverrideHeader::kMaxNameLength));
            front.resize(std::fread(front.data(), 1, front.size(), file.get()));
            const OverrideHeader header = ParseOverrideHeader(front);
            if (header.result == OverrideHeader::kOk)
                source.entryName = std::string(header.entryName);
        }
        sources.push_back(std::move(source));
    }
    return sources;
}

CatalogueExportResult CCatalogueOperations::ExportCatalogue(const std::string& outDir, ExportFormat format,
                                                            bool force, const CatalogueProgress& progress) const
{
    return CCatalogueExport(m_archive, m_baseDir, m_records, format, m_workers).Run(outDir, force, progress);
}

CatalogueImportResult CCatalogueOperations::ImportCatalogue(const std::string& dir, const ImportOptions& options,
                                                            bool dryRun, bool force,
                                                            const CatalogueProgress& progress) const
{
    std::string folder = dir;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return CCatalogueImport(m_archive, m_baseDir, m_records, options, m_workers).Run(folder, dryRun, force, progress);
}
