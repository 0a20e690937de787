// An export of the whole catalogue: every frame of every portrait, from
// where the editor loads it, one file each in a folder per portrait, and a
// manifest describing them. A portrait's files are made (loaded, encoded and
// hashed) on worker threads a few portraits ahead, and written in the
// catalogue's order on the calling thread, which also runs the progress.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CatalogueResults.h"
#include "PortraitRecord.h"
#include "ExportFileName.h"

class CArchiveDigest;
class CGameArchive;

class CCatalogueExport {
public:
    CCatalogueExport(CGameArchive& archive, CArchiveDigest& digest, const std::string& baseDir,
                     const std::vector<const PortraitRecord*>& records, ExportFormat format, size_t workers);

    CatalogueExportResult Run(const std::string& outDir, bool force, const CatalogueProgress& progress) const;

private:
    // One frame's file, made and not yet written: its bytes, or why there
    // are none.
    struct MadeFile {
        ExportedFile file;
        std::vector<uint8_t> bytes;
        std::string failure;
    };
    // A portrait's files in the order they are written; a portrait that
    // writes nothing at all can carry one failure of its own.
    struct MadePortrait {
        std::vector<MadeFile> files;
        std::string failure;
        std::vector<ValidationProblem> notUsed; // damaged override files, with the archive's images exported
    };

    // Loads, encodes and hashes; reads files only, so that it can run on a
    // worker.
    MadePortrait Make(size_t portrait) const;
    // Writes the made files below outDir, noting each in out.
    void Write(size_t portrait, MadePortrait& made, CatalogueExportResult& out) const;
    std::string ManifestText(const CatalogueExportResult& out, uint64_t archiveSize, const std::string& archiveSha) const;

    CGameArchive& m_archive; // only read, from the workers too
    CArchiveDigest& m_digest; // names the archive in the manifest
    const std::string& m_baseDir;
    const std::vector<const PortraitRecord*>& m_records;
    ExportFormat m_format;
    size_t m_workers; // beside the calling thread; 0 makes everything on it
};
