// Operations over the whole catalogue, for the command-line tool and the
// window alike: where each image loads from, whether the override files are
// fit to use, moving a portrait's override files aside, and what a pack
// would hold. They work on the dialog's archive, records and base directory
// and return plain results that the callers print or show.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CatalogueResults.h"
#include "ExportFileName.h"
#include "ImportOptions.h"
#include "PortraitRecord.h"

class CArchiveDigest;
class CGameArchive;
class COverrideCheckCache;

class CCatalogueOperations {
public:
    CCatalogueOperations(CGameArchive& archive, std::string baseDir, std::vector<const PortraitRecord*> records);

    // Worker threads beside the calling one for the catalogue's export and
    // import; 0 does all the work on the calling thread. One per core unless
    // set.
    CCatalogueOperations& SetWorkers(size_t workers)
    {
        m_workers = workers;
        return *this;
    }

    // Where the images load from: with a cache, each override file is read
    // only when it is new or changed since the cache last judged it.
    CCatalogueOperations& SetCheckCache(COverrideCheckCache* cache)
    {
        m_checks = cache;
        return *this;
    }
    std::vector<PortraitStatus> Status() const;
    // The same for one portrait (in the editor's order).
    PortraitStatus StatusOf(int32_t portrait) const;
    ValidationReport Validate() const;
    // Moves the override files of a portrait's sizes (all of them when
    // allSizes, else only `size`) to Portraits\Reverted\<name>.<UTC time>,
    // never over an earlier one.
    RevertResult Revert(int32_t portrait, bool allSizes, PortraitSize size, std::time_t now) const;

    // Where a pack writes: PATCHES\PATCH.010 below the base directory.
    static std::string PackTarget(const std::string& baseDir);
    // The override files a pack meets, in the archive's order: one for each
    // portrait entry with something at its override file's name. A damaged
    // file is left out, with the reason.
    std::vector<PackSource> PackSources() const;
    // Packs the sound override files into the patch archive, with the
    // Portraits folder locked against other programs' saves meanwhile.
    PackResult Pack() const;

    // Writes every frame of every portrait, from where the editor loads it,
    // into a folder per portrait below outDir (a host path, created when
    // missing), then outDir/manifest.json describing them. An outDir that
    // holds a manifest already is left alone unless force.
    CatalogueExportResult ExportCatalogue(const std::string& outDir, ExportFormat format, bool force,
                                          const CatalogueProgress& progress = {}) const;

    // Reads dir/manifest.json (dir a host path) and imports every listed file
    // whose bytes differ from the manifest's digest into its portrait, size
    // and frame, as the editor's Import does with these options; each image
    // with a changed frame is then saved once, as browsing away saves it. A
    // manifest of another game archive is refused unless force. A dry run
    // reads and matches as the import would and writes nothing.
    CatalogueImportResult ImportCatalogue(const std::string& dir, const ImportOptions& options, bool dryRun,
                                          bool force, const CatalogueProgress& progress = {}) const;

private:
    // The host path of the override file an entry would use; false when it
    // has none.
    bool OverridePath(int32_t entryIndex, std::string& path) const;
    void ValidateFile(int32_t entryIndex, const std::string& path, ValidationReport& report) const;

    CGameArchive& m_archive;
    std::string m_baseDir;
    std::vector<const PortraitRecord*> m_records;
    size_t m_workers;
    // The archive's digest for the export's and import's manifests, shared
    // by the copies of these operations, so that the part of it that holds
    // while the archive stays open is made once.
    std::shared_ptr<CArchiveDigest> m_digest;
    COverrideCheckCache* m_checks = nullptr;
};
