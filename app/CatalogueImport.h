// An import of an exported catalogue: the manifest is read and checked
// against the game archive, each listed file whose bytes changed is taken
// into its portrait's image as the editor's Import takes a file, and each
// image with a changed frame is then saved once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "CatalogueManifest.h"
#include "CatalogueOperations.h"
#include "ImportOptions.h"

class CGameArchive;
class CPortraitImage;

class CCatalogueImport {
public:
    // The largest manifest.json read: a catalogue of 64 portraits describes
    // itself in well under 1 MiB.
    static constexpr uint64_t kMaxManifestBytes = uint64_t{4} << 20;

    CCatalogueImport(CGameArchive& archive, const std::string& baseDir, const std::vector<const PortraitRecord*>& records,
                     const ImportOptions& options);

    CatalogueImportResult Run(const std::string& dir, bool dryRun, bool force, const CatalogueProgress& progress);

private:
    bool ReadManifest(const std::string& dir, CatalogueManifest& manifest, CatalogueImportResult& out) const;
    // Takes one listed file into its image, loading the image when it is
    // the first to change; a file whose bytes are as listed is counted and
    // left.
    void ImportFile(const std::string& dir, const ManifestFile& file, int32_t portrait,
                    std::unique_ptr<CPortraitImage> (&images)[kSizeCount], CatalogueImportResult& out) const;
    // Saves the changed images of one portrait; the files taken into an image
    // that could not be saved move to the failures.
    void SaveImages(std::unique_ptr<CPortraitImage> (&images)[kSizeCount], size_t firstImported,
                    CatalogueImportResult& out) const;

    CGameArchive& m_archive;
    const std::string& m_baseDir;
    const std::vector<const PortraitRecord*>& m_records;
    ImportOptions m_options;
};
