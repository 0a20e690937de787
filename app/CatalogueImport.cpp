#include "CatalogueImport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ArchiveDigest.h"
#include "CommandMessages.h"
#include "FileSystem.h"
#include "GameArchive.h"
#include "GameFolder.h"
#include "OrderedWork.h"
#include "PortraitImage.h"
#include "RasterSurface.h"
#include "Resources.h"
#include "Sha256.h"
#include "ShownPixels.h"

namespace {

// A path the manifest gives for a file of its folder: '/'-separated names,
// none of which leaves the folder.
bool IsInsideFolder(const std::string& path)
{
    size_t start = 0;
    while (true) {
        const size_t slash = path.find('/', start);
        const std::string_view name(path.data() + start, (slash == std::string::npos ? path.size() : slash) - start);
        if (!CFileSystem::IsSafeFileName(name))
            return false;
        if (slash == std::string::npos)
            return true;
        start = slash + 1;
    }
}

// Portraits whose files are hashed ahead of the one being taken, per
// worker: their digests are small.
constexpr size_t kAheadPerWorker = 4;

} // namespace

CCatalogueImport::CCatalogueImport(CGameArchive& archive, CArchiveDigest& digest, const std::string& baseDir,
                                   const std::vector<const PortraitRecord*>& records, const ImportOptions& options,
                                   size_t workers)
    : m_archive(archive), m_digest(digest), m_baseDir(baseDir), m_records(records), m_options(options),
      m_workers(workers)
{
}

int32_t CCatalogueImport::FindPortrait(const std::string& name) const
{
    for (size_t i = 0; i < m_records.size(); ++i)
        if (m_records[i]->GetName() == name)
            return static_cast<int32_t>(i);
    return -1;
}

bool CCatalogueImport::ReadManifest(const std::string& dir, CatalogueManifest& manifest,
                                    CatalogueImportResult& out) const
{
    const std::string path = dir + "/" + CatalogueManifest::kFileName;
    out.manifestPath = CFileSystem::ResolvePath(path);
    FileHandle file = CFileSystem::OpenForReading(path);
    if (!file) {
        out.result = CatalogueImportResult::kNoManifest;
        out.reason = "there is no " + std::string(CatalogueManifest::kFileName) + " in " +
                     CFileSystem::ResolvePath(dir) + " that can be read (" + std::strerror(errno) + ")";
        return false;
    }
    const int64_t size = CFileSystem::GetFileSize(file.get());
    if (size < 0 || static_cast<uint64_t>(size) > kMaxManifestBytes) {
        out.result = CatalogueImportResult::kBadManifest;
        out.reason = size < 0 ? "its size cannot be read" : "it is larger than any catalogue manifest";
        return false;
    }
    std::string text(static_cast<size_t>(size), '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    if (text.size() != static_cast<size_t>(size)) {
        out.result = CatalogueImportResult::kNoManifest;
        out.reason = "it cannot be read in full";
        return false;
    }
    if (ParseCatalogueManifest(text, manifest, out.reason) != CatalogueManifest::kOk) {
        out.result = CatalogueImportResult::kBadManifest;
        return false;
    }
    return true;
}

CCatalogueImport::FileDigest CCatalogueImport::Digest(const std::string& dir, const ManifestFile& listed)
{
    FileDigest digest;
    uint64_t bytes = 0;
    digest.read = IsInsideFolder(listed.path) && Sha256OfFile(dir + "/" + listed.path, digest.sha256, bytes);
    return digest;
}

void CCatalogueImport::ImportFile(const std::string& dir, const ManifestFile& listed, const FileDigest& digest,
                                  int32_t portrait, std::unique_ptr<CPortraitImage> (&images)[kSizeCount],
                                  CatalogueImportResult& out) const
{
    const auto fail = [&](const std::string& reason) { out.failed.push_back({listed.path, reason}); };
    if (!IsInsideFolder(listed.path))
        return fail("the path leaves the folder");
    const std::string path = dir + "/" + listed.path;
    if (!digest.read)
        return fail(CFileSystem::PathExists(path) ? "the file cannot be read" : "the file is missing");
    const std::string& sha = digest.sha256;
    // Unchanged bytes need no decoding.
    if (sha == listed.sha256) {
        ++out.unchanged;
        return;
    }
    if (portrait < 0)
        return fail("this game has no portrait of that name");
    const PortraitRecord& record = *m_records[static_cast<size_t>(portrait)];
    if (record.entryIndex[listed.size] < 0)
        return fail(std::string("the portrait has no ") + kSizeNames[listed.size] + " image");
    std::unique_ptr<CPortraitImage>& image = images[listed.size];
    if (!image) {
        // Loaded as the editor loads it: the override file, else the archive.
        image = std::make_unique<CPortraitImage>();
        image->SetSubFolder(CGameFolder::kPortraitsSubFolder);
        image->Load(m_baseDir, record.GetArchivePath(), record.entryIndex[listed.size], &m_archive);
        std::string overridePath;
        if (!image->OverrideFault().empty() && image->GetOverridePath(overridePath))
            out.notUsed.push_back({CFileSystem::ResolvePath(overridePath), image->OverrideFault()});
    }
    const int32_t frames = listed.size == kSizeMedium ? image->Header().FrameCount() : 1;
    if (listed.frame >= frames || !image->GetFrameSurface(listed.frame))
        return fail("the image has no frame " + std::to_string(listed.frame));
    // A change that could never be saved is not taken in the first place.
    std::string overridePath;
    if (!image->GetOverridePath(overridePath))
        return fail(LoadResourceString(IDS_REASON_CANNOT_SAVE));
    const std::vector<uint32_t> before = ShownPixels(*image, listed.frame);
    ReplaceFailure why;
    if (image->ReplaceFrame(listed.frame, path, m_options, why) != CPortraitImage::kReplaceOk)
        return fail(ReplaceFailureText(why));
    ImportedFile imported;
    imported.path = listed.path;
    imported.portrait = portrait;
    imported.portraitName = record.GetName();
    imported.size = listed.size;
    imported.frame = listed.frame;
    imported.pixelsChanged = CountChanged(before, ShownPixels(*image, listed.frame));
    imported.recolouredPixels = why.recolouredPixels;
    imported.farPixels = why.colourLoss.farPixels;
    imported.largestDistance = why.colourLoss.largestDistance;
    out.imported.push_back(std::move(imported));
}

void CCatalogueImport::SaveImages(std::unique_ptr<CPortraitImage> (&images)[kSizeCount], size_t firstImported,
                                  CatalogueImportResult& out) const
{
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        CPortraitImage* image = images[size].get();
        if (!image || !image->HasChanges())
            continue;
        std::string path;
        image->GetOverridePath(path);
        image->SaveIfChanged();
        if (!image->HasChanges()) {
            out.saved.push_back(CFileSystem::ResolvePath(path));
            continue;
        }
        // The old override file is as it was: the frames taken into this
        // image are not in it, and say so.
        const std::string reason = "its image could not be saved into " + CFileSystem::ResolvePath(path) + " (" +
                                   SaveFailureText(image->LastSaveResult(), image->LastSaveError()) + ")";
        auto keep = out.imported.begin() + static_cast<long>(firstImported);
        for (auto it = keep; it != out.imported.end(); ++it) {
            if (it->size == size)
                out.failed.push_back({it->path, reason});
            else
                *keep++ = std::move(*it);
        }
        out.imported.erase(keep, out.imported.end());
    }
}

bool CCatalogueImport::CheckArchive(const CatalogueManifest& manifest, bool force, CatalogueImportResult& out) const
{
    // A version 1 manifest names the archive by the digest of the whole
    // file; a later one by the digest of what the catalogue is made from,
    // which reads none of the archive's other data.
    const bool wholeFile = manifest.version == CatalogueManifest::kWholeFileVersion;
    std::string archiveSha;
    uint64_t archiveSize = m_archive.GetFileSize();
    if (wholeFile ? !Sha256OfFile(CGameFolder(m_baseDir).ArchivePath(), archiveSha, archiveSize)
                  : !m_digest.Digest(m_archive, m_records, archiveSha)) {
        out.result = CatalogueImportResult::kArchiveUnreadable;
        out.reason = "the game archive cannot be read";
        return false;
    }
    if (!force && (archiveSize != manifest.archiveSize || archiveSha != manifest.archiveSha256)) {
        const std::string of = wholeFile ? "SHA-256 " : "SHA-256 of its header, directory and portraits ";
        out.result = CatalogueImportResult::kOtherArchive;
        out.reason = "it was made from another game archive (" + std::to_string(manifest.archiveSize) + " bytes, " +
                     of + manifest.archiveSha256 + "; this one has " + std::to_string(archiveSize) + " bytes, " + of +
                     archiveSha + ")";
        return false;
    }
    return true;
}

CatalogueImportResult CCatalogueImport::Run(const std::string& dir, bool dryRun, bool force,
                                            const CatalogueProgress& progress)
{
    CatalogueImportResult out;
    out.dryRun = dryRun;
    CatalogueManifest manifest;
    if (!ReadManifest(dir, manifest, out))
        return out;
    if (!CheckArchive(manifest, force, out))
        return out;

    // The files of each listed portrait are hashed on the workers, a few
    // portraits ahead of the one being taken; taking them (decoding, saving,
    // the progress) stays here.
    int32_t total = 0;
    for (const ManifestPortrait& p : manifest.portraits)
        total += static_cast<int32_t>(std::min<size_t>(p.files.size(), INT32_MAX - static_cast<size_t>(total)));
    std::vector<std::vector<FileDigest>> digests(manifest.portraits.size());
    const auto hash = [&](size_t p) {
        for (const ManifestFile& file : manifest.portraits[p].files)
            digests[p].push_back(Digest(dir, file));
    };
    int32_t done = 0;
    const auto take = [&](size_t p) {
        const ManifestPortrait& listed = manifest.portraits[p];
        const int32_t portrait = FindPortrait(listed.name);
        std::unique_ptr<CPortraitImage> images[kSizeCount];
        const size_t firstImported = out.imported.size();
        bool whole = true;
        for (size_t i = 0; i < listed.files.size() && whole; ++i) {
            const ManifestFile& file = listed.files[i];
            whole = !progress || progress(done, total, file.path);
            if (whole) {
                ++done;
                // A digest a worker could not make (no memory) reads as a file not read.
                ImportFile(dir, file, i < digests[p].size() ? digests[p][i] : FileDigest(), portrait, images, out);
            }
        }
        // What was taken before a cancel is saved all the same.
        if (!dryRun)
            SaveImages(images, firstImported, out);
        digests[p].clear();
        return whole;
    };
    out.cancelled = !COrderedWork::Run(manifest.portraits.size(), m_workers, kAheadPerWorker * m_workers, hash, take);
    return out;
}
