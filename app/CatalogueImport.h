// An import of an exported catalogue: the manifest is read and checked
// against the game archive, each listed file whose bytes changed is taken
// into its portrait's image as the editor's Import takes a file, and each
// image with a changed frame is then saved once. The listed files are hashed
// on worker threads a few portraits ahead; everything else, the saves and
// the progress included, happens on the calling thread in the manifest's
// order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CatalogueManifest.h"
#include "CatalogueResults.h"
#include "PortraitRecord.h"
#include "ImportOptions.h"

class CArchiveDigest;
class CGameArchive;
class CPortraitImage;

class CCatalogueImport {
public:
    // The largest manifest.json read: a catalogue of 64 portraits describes
    // itself in well under 1 MiB.
    static constexpr uint64_t kMaxManifestBytes = uint64_t{4} << 20;

    CCatalogueImport(CGameArchive& archive, CArchiveDigest& digest, const std::string& baseDir,
                     const std::vector<const PortraitRecord*>& records, const ImportOptions& options,
                     size_t workers);

    CatalogueImportResult Run(const std::string& dir, bool dryRun, bool force, const CatalogueProgress& progress);

private:
    // A listed file's SHA-256, made on a worker; not read when the file
    // cannot be read or its path leaves the folder.
    struct FileDigest {
        std::string sha256;
        bool read = false;
    };

    bool ReadManifest(const std::string& dir, CatalogueManifest& manifest, CatalogueImportResult& out) const;
    // Whether the manifest was made from this game archive, or force takes
    // it all the same; false, with the result and the reason in out, when
    // the archive cannot be read or is another.
    bool CheckArchive(const CatalogueManifest& manifest, bool force, CatalogueImportResult& out) const;
    // Takes one listed file into its image, loading the image when it is
    // the first to change; a file whose bytes are as listed is counted and
    // left.
    void ImportFile(const std::string& dir, const ManifestFile& file, const FileDigest& digest, int32_t portrait,
                    std::unique_ptr<CPortraitImage> (&images)[kSizeCount], CatalogueImportResult& out) const;
    // Reads files only, so that it can run on a worker.
    static FileDigest Digest(const std::string& dir, const ManifestFile& file);
    // The portrait of that name, in the editor's order; -1 when there is none.
    int32_t FindPortrait(const std::string& name) const;
    // Saves the changed images of one portrait; the files taken into an image
    // that could not be saved move to the failures.
    void SaveImages(std::unique_ptr<CPortraitImage> (&images)[kSizeCount], size_t firstImported,
                    CatalogueImportResult& out) const;

    CGameArchive& m_archive;
    CArchiveDigest& m_digest; // names the archive in the manifest
    const std::string& m_baseDir;
    const std::vector<const PortraitRecord*>& m_records;
    ImportOptions m_options;
    size_t m_workers; // beside the calling thread; 0 does everything on it
};
