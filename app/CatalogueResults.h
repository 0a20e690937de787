// What the operations over the whole catalogue answer: where each image
// loads from, the problems of the override files, the files a revert moved,
// what a pack met, and what an export or import of the catalogue did, as
// plain values that the tool prints and the window shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PortraitTypes.h"

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
    size_t LeftOut() const
    {
        size_t leftOut = 0;
        for (const PackSource& source : sources)
            leftOut += source.taken ? 0 : 1;
        return leftOut;
    }
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
    int64_t farPixels = 0; // remapped pixels far from the file's colours
    double largestDistance = 0.0; // the furthest remapped pixel's OKLab distance
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
