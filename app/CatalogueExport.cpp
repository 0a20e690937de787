#include "CatalogueExport.h"

#include <cstdio>
#include <utility>

#include "CatalogueManifest.h"
#include "FileSystem.h"
#include "OrderedWork.h"
#include "PortraitImage.h"
#include "RaceTable.h"
#include "RasterSurface.h"
#include "ReplacingFile.h"
#include "Sha256.h"

namespace {

const char* const kPortraitsFolder = "\\Portraits";

// Portraits made ahead of the one being written, per worker: enough to keep
// the workers busy while a portrait's files are written, few enough that
// the bytes held stay small (a portrait's files are tens of kilobytes).
constexpr size_t kAheadPerWorker = 2;

// Writes the bytes as the file's whole content; a file that could not be
// written in full is removed.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FileHandle file = CFileSystem::CreateForWriting(path);
    if (!file)
        return false;
    const bool written = CFileSystem::Write(file.get(), bytes.data(), bytes.size());
    const bool closed = std::fclose(file.release()) == 0;
    if (written && closed)
        return true;
    CFileSystem::RemoveFile(path);
    return false;
}

// Creates a host folder and the folders above it; true when it stands afterwards.
bool CreateFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        CFileSystem::CreateFolder(path.substr(0, slash));
    return CFileSystem::CreateFolder(path);
}

} // namespace

CCatalogueExport::CCatalogueExport(CGameArchive& archive, const std::string& baseDir,
                                   const std::vector<const PortraitRecord*>& records, ExportFormat format,
                                   size_t workers)
    : m_archive(archive), m_baseDir(baseDir), m_records(records), m_format(format), m_workers(workers)
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
        image.SetSubFolder(kPortraitsFolder);
        image.Load(m_baseDir, record.GetArchivePath(), record.entryIndex[size], &m_archive);
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
                one.failure = "cannot be written";
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
    if (!made.failure.empty()) {
        out.failed.push_back({name, made.failure});
        return;
    }
    const std::string folder = out.outDir + "/" + name;
    bool folderMade = false;
    for (MadeFile& one : made.files) {
        ExportedFile& file = one.file;
        if (one.failure.empty() && !folderMade && !(folderMade = CFileSystem::CreateFolder(folder)))
            one.failure = "its folder cannot be created";
        if (one.failure.empty() && !WriteWholeFile(out.outDir + "/" + file.path, one.bytes))
            one.failure = "cannot be written";
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
    std::string archiveSha;
    uint64_t archiveSize = 0;
    if (!Sha256OfFile(m_baseDir + "\\DATA\\DATA.QPK", archiveSha, archiveSize)) {
        out.result = CatalogueExportResult::kArchiveUnreadable;
        return out;
    }
    if (!CreateFolders(out.outDir)) {
        out.result = CatalogueExportResult::kCannotCreateFolder;
        return out;
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
    CReplacingFile file;
    if (!file.Begin(manifest, manifest + ".part") || !CFileSystem::Write(file.Stream(), text.data(), text.size()) ||
        !file.Commit()) {
        out.result = CatalogueExportResult::kManifestFailed;
        return out;
    }
    out.manifestPath = CFileSystem::ResolvePath(manifest);
    return out;
}
