#include "CatalogueOperations.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>
#include <span>
#include <utility>

#include "AsideFolder.h"
#include "ArchiveDigest.h"
#include "CatalogueExport.h"
#include "CatalogueImport.h"
#include "EntryNameRules.h"
#include "FileSystem.h"
#include "FolderLock.h"
#include "GameArchive.h"
#include "GameFolder.h"
#include "GfxImage.h"
#include "OrderedWork.h"
#include "OverrideCheckCache.h"
#include "OverrideFile.h"
#include "Resources.h"

namespace {


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

// The image of an archive entry, parsed, as far as the archive holds it.
GfxImage ArchivedImage(const CGameArchive& archive, int32_t entryIndex)
{
    std::vector<uint8_t> bytes;
    archive.ReadEntry(entryIndex, bytes, COverrideFile::kMaxBytes);
    return ParseGfx(bytes);
}

} // namespace

std::string ImageSourceName(ImageSource source)
{
    return LoadResourceString(source == ImageSource::kOverride          ? IDS_SOURCE_OVERRIDE
                              : source == ImageSource::kInvalidOverride ? IDS_SOURCE_INVALID
                                                                        : IDS_SOURCE_ORIGINAL);
}

CCatalogueOperations::CCatalogueOperations(CGameArchive& archive, std::string baseDir,
                                           std::vector<const PortraitRecord*> records)
    : m_archive(archive), m_baseDir(std::move(baseDir)), m_records(std::move(records)),
      m_workers(COrderedWork::Workers()), m_digest(std::make_shared<CArchiveDigest>())
{
}

bool CCatalogueOperations::OverridePath(int32_t entryIndex, std::string& path) const
{
    const char* name = m_archive.GetEntryName(entryIndex);
    return name && CGameFolder(m_baseDir).OverridePath(name, path);
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
        const int32_t entry = record.entryIndex[size];
        std::string path;
        if (entry < 0)
            continue;
        status.has[size] = true;
        if (!OverridePath(entry, path))
            continue;
        // Judged as a load judges it: a sound file is used, anything else
        // at its name is not.
        status.overridePath[size] = CFileSystem::ResolvePath(path);
        const char* name = m_archive.GetEntryName(entry);
        const COverrideFile::State state =
            m_checks ? m_checks->Check(path, name) : COverrideFile::Read(path, name).state;
        if (state == COverrideFile::State::kSound)
            status.source[size] = ImageSource::kOverride;
        else if (state == COverrideFile::State::kDamaged)
            status.source[size] = ImageSource::kInvalidOverride;
    }
    return status;
}

void CCatalogueOperations::ValidateFile(int32_t entryIndex, const std::string& path, ValidationReport& report) const
{
    const std::string shown = CFileSystem::ResolvePath(path);
    ++report.checked;
    const COverrideFile file = COverrideFile::Read(path, m_archive.GetEntryName(entryIndex));
    if (file.state == COverrideFile::State::kDamaged) {
        report.problems.push_back({shown, file.fault});
        return;
    }
    if (file.state != COverrideFile::State::kSound)
        return;
    for (const std::string& difference :
         COverrideFile::Differences(ParseGfx(*file.image), ArchivedImage(m_archive, entryIndex)))
        report.warnings.push_back({shown, difference});
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
    const std::string folder = CGameFolder(m_baseDir).PortraitsFolder();
    for (const std::string& name : CFileSystem::ListFiles(folder)) {
        const std::string upper = Upper(name);
        if (!CGameFolder::IsOverrideFileName(name) || used.count(upper))
            continue;
        report.problems.push_back({CFileSystem::ResolvePath(folder + "\\" + name), "no catalogue entry uses it"});
    }
    return report;
}

RevertResult CCatalogueOperations::Revert(int32_t portrait, bool allSizes, PortraitSize only, std::time_t now) const
{
    RevertResult out;
    if (portrait < 0 || static_cast<size_t>(portrait) >= m_records.size()) {
        out.result = RevertResult::kNoPortrait;
        return out;
    }
    // Without a Portraits folder there is nothing to move and nothing to lock.
    CFolderLock lock;
    if (!lock.Acquire(CGameFolder(m_baseDir).PortraitsFolder()) && lock.Error() == EWOULDBLOCK) {
        out.result = RevertResult::kFolderBusy;
        out.failedPath = CFileSystem::ResolvePath(CGameFolder(m_baseDir).PortraitsFolder());
        return out;
    }
    const PortraitRecord& record = *m_records[static_cast<size_t>(portrait)];
    const std::string folder = CGameFolder(m_baseDir).RevertedFolder();
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        std::string path;
        const int32_t entry = record.entryIndex[size];
        if ((!allSizes && size != only) || entry < 0 || !OverridePath(entry, path) || !CFileSystem::PathExists(path))
            continue;
        const std::string from = CFileSystem::ResolvePath(path);
        std::string to;
        const int32_t moved = CAsideFolder::Move(path, folder, now, to);
        if (moved == CAsideFolder::kMoved) {
            out.moved.push_back({from, to});
            continue;
        }
        const bool noFolder = moved == CAsideFolder::kCannotCreateFolder;
        out.result = noFolder ? RevertResult::kCannotCreateFolder : RevertResult::kMoveFailed;
        out.failedPath = noFolder ? CFileSystem::ResolvePath(folder) : from;
        return out;
    }
    return out;
}

std::string CCatalogueOperations::PackTarget(const std::string& baseDir)
{
    return CGameFolder(baseDir).PatchPath();
}

std::vector<PackSource> CCatalogueOperations::PackSources() const
{
    // The builder's own test of each sound file says whether the pack takes
    // it; nothing is written before WriteArchive.
    CGameArchive builder;
    builder.BeginBuild(PackTarget(m_baseDir), CGameFolder::kPatchLabel);
    std::vector<PackSource> sources;
    for (int32_t i = 0; i < m_archive.GetEntryCount(); ++i) {
        const char* name = m_archive.GetEntryName(i);
        if (!IsPortraitEntry(name))
            continue;
        // The files a save writes, in the folder saves lock.
        PackSource source;
        if (!OverridePath(i, source.path) || !CFileSystem::PathExists(source.path))
            continue;
        source.entryName = name;
        source.resolvedPath = CFileSystem::ResolvePath(source.path);
        const COverrideFile file = COverrideFile::Read(source.path, name);
        if (file.state != COverrideFile::State::kSound) {
            source.reason = file.fault;
        } else if (builder.AddFile(source.path) != CGameArchive::kAddOk) {
            source.reason = "there is no room for more files in the patch archive";
        } else {
            source.taken = true;
            source.warnings = COverrideFile::Differences(ParseGfx(*file.image), ArchivedImage(m_archive, i));
        }
        sources.push_back(std::move(source));
    }
    return sources;
}

PackResult CCatalogueOperations::Pack() const
{
    PackResult out;
    CFolderLock lock;
    if (!lock.Acquire(CGameFolder(m_baseDir).PortraitsFolder()) && lock.Error() == EWOULDBLOCK) {
        out.result = PackResult::kFolderBusy;
        return out;
    }
    out.sources = PackSources();
    CGameArchive builder;
    builder.BeginBuild(PackTarget(m_baseDir), CGameFolder::kPatchLabel);
    for (const PackSource& source : out.sources)
        if (source.taken)
            builder.AddFile(source.path);
    out.result = builder.WriteArchive();
    out.failedSource = builder.GetFailedSourcePath();
    out.error = builder.GetWriteError();
    return out;
}

CatalogueExportResult CCatalogueOperations::ExportCatalogue(const std::string& outDir, ExportFormat format,
                                                            bool force, const CatalogueProgress& progress) const
{
    return CCatalogueExport(m_archive, *m_digest, m_baseDir, m_records, format, m_workers).Run(outDir, force, progress);
}

CatalogueImportResult CCatalogueOperations::ImportCatalogue(const std::string& dir, const ImportOptions& options,
                                                            bool dryRun, bool force,
                                                            const CatalogueProgress& progress) const
{
    std::string folder = dir;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return CCatalogueImport(m_archive, *m_digest, m_baseDir, m_records, options, m_workers)
        .Run(folder, dryRun, force, progress);
}
