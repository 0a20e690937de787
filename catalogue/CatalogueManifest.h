// manifest.json of an exported catalogue: which archive the frames came
// from, and for each portrait the files written, with their size, frame,
// picture size and SHA-256. Text to a value and back; the text is the
// user's file, so reading it takes nothing on trust.
//
// The archive is named by its size and a SHA-256. In version 2, which is
// written, the SHA-256 is of the archive's header, directory and portrait
// entries (app/ArchiveDigest.h), and "archive" says so with
// "digestOf": "header-directory-portraits". In version 1, still read, it is
// of the whole archive file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PortraitTypes.h"

struct ManifestFile {
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
    std::string path; // relative to the manifest's folder, with '/'
    int32_t width = 0, height = 0, depth = 0;
    std::string sha256; // lower-case hex

    bool operator==(const ManifestFile&) const = default;
};

struct ManifestPortrait {
    int32_t index = 0; // in the editor's order, 0 for the first
    std::string name;
    int32_t race = 0;
    std::string raceName;
    bool male = true;
    std::string variant; // empty, or the variant letter
    std::vector<ManifestFile> files;

    bool operator==(const ManifestPortrait&) const = default;
};

struct CatalogueManifest {
    // The manifest's name in the folder of the catalogue it describes.
    static constexpr const char* kFileName = "manifest.json";
    static constexpr const char* kFormat = "thornvale-portraits";
    static constexpr int32_t kVersion = 2;       // the version written
    static constexpr int32_t kWholeFileVersion = 1; // read: its digest is of the whole archive file
    // What a version 2 digest is of.
    static constexpr const char* kDigestOf = "header-directory-portraits";

    // Results of ParseCatalogueManifest.
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kNotJson = -1;
    static constexpr int32_t kOtherFormat = -2;  // "format" is missing or another
    static constexpr int32_t kOtherVersion = -3; // a version this editor does not read
    static constexpr int32_t kMalformed = -4;    // a field missing or of the wrong kind

    int32_t version = kVersion; // as read; written as it is, 1 or 2
    uint64_t archiveSize = 0;
    std::string archiveSha256; // of what `version` says
    std::vector<ManifestPortrait> portraits;

    bool operator==(const CatalogueManifest&) const = default;
};

std::string SerializeCatalogueManifest(const CatalogueManifest& manifest);

// Reads a manifest; on failure `reason` says what is wrong, naming the field
// ("portraits[2].files[0].sha256 is not a SHA-256 digest") or the byte where
// the JSON breaks. Fields that only describe (race, raceName, male, variant,
// width, height, depth) may be left out.
int32_t ParseCatalogueManifest(std::string_view text, CatalogueManifest& manifest, std::string& reason);
