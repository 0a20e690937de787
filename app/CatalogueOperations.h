// Operations over the whole catalogue, for the command-line tool and the
// window alike: where each image loads from, whether the override files are
// fit to use, moving a portrait's override files aside, and what a pack
// would hold. They work on the dialog's archive, records and base directory
// and return plain results that the callers print or show.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "ExportFileName.h"
#include "ImportOptions.h"
#include "PortraitRecord.h"

class CGameArchive;
class COverrideCheckCache;

// Where the editor loads an image from.
enum class ImageSource {
    kOriginal,        // the game archive
    kOverride,        // the entry's override file
    kInvalidOverride, // something stands at the override file's name, but it is damaged or no file
};
// "original", "override", "invalid override", as status and the list say it.
std::string ImageSourceName(ImageSource source);

struct PortraitStatus {
    int32_t index = 0; // in the editor's order, 0 for the first
    std::string name;
    bool has[kSizeCount] = {};
    ImageSource source[kSizeCount] = {};
    std::string overridePath[kSizeCount]; // the host path, where there is one
};

struct ValidationProblem {
    std::string path; // the host path of the file
    std::string fault;
};

struct ValidationReport {
    bool ran = false; // false when there was no catalogue to check against
    int32_t checked = 0; // override files checked
    // Damaged files, which the editor does not use, and files no entry uses.
    std::vector<ValidationProblem> problems;
    // Sound images that differ from the archive's: used all the same.
    std::vector<ValidationProblem> warnings;
};

struct RevertedFile {
    std::string from, to; // host paths
};

struct RevertResult {
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kNoPortrait = -1;
    static constexpr int32_t kCannotCreateFolder = -2;
    static constexpr int32_t kMoveFailed = -3;
    static constexpr int32_t kFolderBusy = -4; // another program kept Portraits locked
    int32_t result = kOk;
    std::vector<RevertedFile> moved;
    std::string failedPath; // the file that could not be moved
};

// One override file that a pack meets, for a portrait entry of the archive:
// the entry it replaces and the file, and whether the pack takes it.
struct PackSource {
    std::string entryName;
    std::string path;        // the editor's path, as the pack opens it
    std::string resolvedPath; // the host path
    bool taken = false;       // false for a damaged file, which the pack leaves out
    std::string reason;       // why it is left out
    std::vector<std::string> warnings; // how a file taken differs from the archive's image
};

// What a pack did: WriteArchive's result, or kFolderBusy; the files it met.
struct PackResult {
    static constexpr int32_t kFolderBusy = -10; // another program kept Portraits locked
    int32_t result = 0;
    std::vector<PackSource> sources;
    std::string failedSource; // the file that could not be read, for kWriteSourceUnreadable
    int error = 0; // the system's error number of a patch not created or written
    size_t LeftOut() const;
};

// A frame that an export of the catalogue wrote.
struct ExportedFile {
    std::string path; // relative to the output folder, with '/'
    int32_t portrait = 0; // in the editor's order, 0 for the first
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
    int32_t width = 0, height = 0, depth = 0;
    uint64_t bytes = 0;
    std::string sha256; // of the file as written
};

struct ExportFailure {
    std::string path; // relative to the output folder, or the portrait's name
    std::string reason;
};

struct CatalogueExportResult {
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kManifestExists = -1; // refused: nothing written
    static constexpr int32_t kCannotCreateFolder = -2;
    static constexpr int32_t kArchiveUnreadable = -3;
    static constexpr int32_t kManifestFailed = -4;
    int32_t result = kOk;
    std::string outDir; // the host path
    std::vector<ExportedFile> files;
    std::vector<ExportFailure> failed;
    bool cancelled = false; // stopped between portraits; the manifest lists what was written
    std::string manifestPath; // the host path, once written
    std::string reason; // why the manifest could not be written or removed
    // Damaged override files: the archive's images were exported in their place.
    std::vector<ValidationProblem> notUsed;
};

// A frame that an import of the catalogue took (or, in a dry run, would
// take).
struct ImportedFile {
    std::string path; // as the manifest gives it, relative to the folder
    int32_t portrait = 0; // in the editor's order, 0 for the first
    std::string portraitName;
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
    int64_t pixelsChanged = 0; // pixels that show another colour than before
    int64_t recolouredPixels = 0; // kept indices that show another colour than the file
};

struct ImportFailure {
    std::string path; // as the manifest gives it
    std::string reason;
};

struct CatalogueImportResult {
    static constexpr int32_t kOk = 0; // the manifest was taken (files may still have failed)
    static constexpr int32_t kNoManifest = -1; // refused: manifest.json cannot be read
    static constexpr int32_t kBadManifest = -2; // refused: not JSON, or not a manifest of this kind
    static constexpr int32_t kOtherArchive = -3; // refused: made from another game archive
    static constexpr int32_t kArchiveUnreadable = -4;
    int32_t result = kOk;
    std::string reason; // why the manifest was refused
    std::string manifestPath; // the host path
    bool dryRun = false;
    bool cancelled = false; // stopped between files; what was taken before is saved
    std::vector<ImportedFile> imported;
    int32_t unchanged = 0; // files whose bytes are as the manifest says
    std::vector<ImportFailure> failed;
    std::vector<std::string> saved; // host paths of the override files written
    // Damaged override files: the images were loaded from the archive
    // instead, and an image saved set its damaged file aside.
    std::vector<ValidationProblem> notUsed;
};

// Told before each file of a catalogue export or import: how many come
// before it, how many there are, and its name. Returning false stops the
// work before that file.
using CatalogueProgress = std::function<bool(int32_t done, int32_t total, const std::string& name)>;

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
    COverrideCheckCache* m_checks = nullptr;
};
