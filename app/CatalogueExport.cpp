#include "CatalogueExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "ArchiveDigest.h"
#include "CatalogueManifest.h"
#include "FileSystem.h"
#include "GameArchive.h"
#include "GameFolder.h"
#include "OrderedWork.h"
#include "PortraitImage.h"
#include "RaceTable.h"
#include "RasterSurface.h"
#include "ReplacingFile.h"
#include "Sha256.h"

namespace {

// Why a file could not be written, in the system's words.
std::string CannotWrite(int error)
{
    return std::string("cannot be written: ") + std::strerror(error ? error : EIO);
}

// Portraits made ahead of the one being written, per worker: enough to keep
// the workers busy while a portrait's files are written, few enough that
// the bytes held stay small (a portrait's files are tens of kilobytes).
constexpr size_t kAheadPerWorker = 2;

} // namespace

CCatalogueExport::CCatalogueExport(CGameArchive& archive, CArchiveDigest& digest, const std::string& baseDir,
                                   const std::vector<const PortraitRecord*>& records, ExportFormat format,
                                   size_t workers)
    : m_archive(archive), m_digest(digest), m_baseDir(baseDir), m_records(records), m_format(format),
      m_workers(workers)
{
}

CCatalogueExport::MadePortrait CCatalogueExport::Make(size_t portrait) const
{
    MadePortrait made;
    const PortraitRecord& record = *m_records[portrait];
    const std::string name = record.GetName();
    // The name comes from the archive: one that could leave the output
    // folder writes nothing.
    if (!CFileSystem::IsSafeFileName(name)) {
        made.failure = "the portrait's name cannot be a folder name";
        return made;
    }
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        if (record.entryIndex[size] < 0)
            continue;
        // Loaded as the dialog loads it: the override file, else the archive.
        CPortraitImage image;
        image.SetSubFolder(CGameFolder::kPortraitsSubFolder);
        image.Load(m_baseDir, record.GetArchivePath(), record.entryIndex[size], &m_archive);
        std::string overridePath;
        if (!image.OverrideFault().empty() && image.GetOverridePath(overridePath))
            made.notUsed.push_back({CFileSystem::ResolvePath(overridePath), image.OverrideFault()});
        const int32_t frames = size == kSizeMedium ? image.Header().FrameCount() : 1;
        for (int32_t frame = 0; frame < frames; ++frame) {
            MadeFile& one = made.files.emplace_back();
            ExportedFile& file = one.file;
            const std::string fileName = ExportFileName(name, size, frame, ExportScope::kOneFrame, m_format);
            file.path = name + "/" + fileName;
            file.portrait = static_cast<int32_t>(portrait);
            file.size = size;
            file.frame = frame;
            const CRasterSurface* surface = image.GetFrameSurface(frame);
            if (!surface || !surface->m_pBits) {
                one.failure = "the frame holds no pixels";
                continue;
            }
            if (!CFileSystem::IsSafeFileName(fileName)) {
                one.failure = "the file name cannot be used";
                continue;
            }
            // The bytes are made once, and hashed as they will be written.
            if (!image.EncodeFrame(frame, m_format, one.bytes) ||
                (file.sha256 = Sha256Hex(one.bytes)).empty()) {
                one.failure = "its file cannot be made";
                continue;
            }
            file.bytes = one.bytes.size();
            image.GetFrameSize(frame, file.width, file.height);
            file.depth = image.Header().BitDepth();
        }
    }
    return made;
}

void CCatalogueExport::Write(size_t portrait, MadePortrait& made, CatalogueExportResult& out) const
{
    const std::string name = m_records[portrait]->GetName();
    out.notUsed.insert(out.notUsed.end(), made.notUsed.begin(), made.notUsed.end());
    if (!made.failure.empty()) {
        out.failed.push_back({name, made.failure});
        return;
    }
    // The portrait's folder is the export's own: a link in its place is
    // replaced, not followed, and so is a link at a file's name. Each file
    // goes in whole; waiting for each to reach the disk would make the
    // export several times slower, and the manifest, which does, comes last.
    const std::string folder = out.outDir + "/" + name;
    bool folderMade = false;
    for (MadeFile& one : made.files) {
        ExportedFile& file = one.file;
        int error = 0;
        if (one.failure.empty() && !folderMade && !(folderMade = CFileSystem::CreateOwnFolder(folder)))
            one.failure = std::string("its folder cannot be created: ") + std::strerror(errno);
        // A file that holds these very bytes already (an export of the same
        // frame before) is left as it is.
        const std::string path = out.outDir + "/" + file.path;
        if (one.failure.empty() && !CFileSystem::HoldsBytes(path, one.bytes) &&
            !CReplacingFile::WriteWhole(path, one.bytes.data(), one.bytes.size(), error,
                                        CReplacingFile::Durability::kWhole))
            one.failure = CannotWrite(error);
        if (!one.failure.empty()) {
            out.failed.push_back({file.path, one.failure});
            continue;
        }
        out.files.push_back(std::move(file));
    }
}

std::string CCatalogueExport::ManifestText(const CatalogueExportResult& out, uint64_t archiveSize,
                                           const std::string& archiveSha) const
{
    CatalogueManifest manifest;
    manifest.archiveSize = archiveSize;
    manifest.archiveSha256 = archiveSha;
    size_t next = 0;
    for (size_t i = 0; i < m_records.size(); ++i) {
        const PortraitRecord& r = *m_records[i];
        ManifestPortrait portrait;
        portrait.index = static_cast<int32_t>(i);
        portrait.name = r.GetName();
        portrait.race = r.race;
        portrait.raceName = GetRaceName(r.race);
        portrait.male = r.male;
        portrait.variant = r.variant ? std::string(1, r.variant) : std::string();
        // The files come in portrait order.
        for (; next < out.files.size() && out.files[next].portrait == static_cast<int32_t>(i); ++next) {
            const ExportedFile& f = out.files[next];
            portrait.files.push_back({f.size, f.frame, f.path, f.width, f.height, f.depth, f.sha256});
        }
        manifest.portraits.push_back(std::move(portrait));
    }
    return SerializeCatalogueManifest(manifest);
}

CatalogueExportResult CCatalogueExport::Run(const std::string& outDir, bool force,
                                            const CatalogueProgress& progress) const
{
    CatalogueExportResult out;
    out.outDir = outDir;
    while (out.outDir.size() > 1 && out.outDir.back() == '/')
        out.outDir.pop_back();
    const std::string manifest = out.outDir + "/" + CatalogueManifest::kFileName;
    if (!force && CFileSystem::PathExists(manifest)) {
        out.result = CatalogueExportResult::kManifestExists;
        return out;
    }
    // The archive is named by the digest of what the catalogue is made from,
    // which reads none of its other data however large it is.
    std::string archiveSha;
    const uint64_t archiveSize = m_archive.GetFileSize();
    if (!m_digest.Digest(m_archive, m_records, archiveSha)) {
        out.result = CatalogueExportResult::kArchiveUnreadable;
        return out;
    }
    if (!CFileSystem::CreateFolders(out.outDir)) {
        out.result = CatalogueExportResult::kCannotCreateFolder;
        return out;
    }
    // The manifest goes before any file it lists is replaced, and comes back
    // last: whatever stops the export, no manifest names bytes that are gone.
    if (CFileSystem::PathExists(manifest)) {
        if (!CFileSystem::RemoveFile(manifest) && CFileSystem::PathExists(manifest)) {
            out.result = CatalogueExportResult::kManifestFailed;
            out.reason = std::string("the old manifest cannot be removed: ") + std::strerror(errno);
            return out;
        }
        CFileSystem::SyncFolder(out.outDir);
    }

    // Each portrait's slot is filled by a worker and emptied as it is
    // written; one that a worker could not fill (no memory) says so.
    MadePortrait unmade;
    unmade.failure = "its files could not be made";
    std::vector<MadePortrait> made(m_records.size(), unmade);
    const int32_t total = static_cast<int32_t>(m_records.size());
    const auto make = [&](size_t i) { made[i] = Make(i); };
    const auto write = [&](size_t i) {
        if (progress && !progress(static_cast<int32_t>(i), total, m_records[i]->GetName()))
            return false;
        Write(i, made[i], out);
        made[i] = MadePortrait();
        return true;
    };
    out.cancelled = !COrderedWork::Run(m_records.size(), m_workers, kAheadPerWorker * m_workers, make, write);

    // Written last and put in place whole, so that it never names a file
    // that is not there.
    const std::string text = ManifestText(out, archiveSize, archiveSha);
    int error = 0;
    if (!CReplacingFile::WriteWhole(manifest, text.data(), text.size(), error)) {
        out.result = CatalogueExportResult::kManifestFailed;
        out.reason = CannotWrite(error);
        return out;
    }
    out.manifestPath = CFileSystem::ResolvePath(manifest);
    return out;
}
