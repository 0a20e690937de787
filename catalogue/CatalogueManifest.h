// manifest.json of an exported catalogue: which archive the frames came
// from, and for each portrait the files written, with their size, frame,
// picture size and SHA-256. Text to a value and back; the text is the
// user's file, so reading it takes nothing on trust.
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
    static constexpr int32_t kVersion = 1;

    // Results of ParseCatalogueManifest.
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kNotJson = -1;
    static constexpr int32_t kOtherFormat = -2;  // "format" is missing or another
    static constexpr int32_t kOtherVersion = -3; // a version this editor does not read
    static constexpr int32_t kMalformed = -4;    // a field missing or of the wrong kind

    uint64_t archiveSize = 0;
    std::string archiveSha256;
    std::vector<ManifestPortrait> portraits;

    bool operator==(const CatalogueManifest&) const = default;
};

std::string SerializeCatalogueManifest(const CatalogueManifest& manifest);

// Reads a manifest; on failure `reason` says what is wrong, naming the field
// ("portraits[2].files[0].sha256 is not a SHA-256 digest") or the byte where
// the JSON breaks. Fields that only describe (race, raceName, male, variant,
// width, height, depth) may be left out.
int32_t ParseCatalogueManifest(std::string_view text, CatalogueManifest& manifest, std::string& reason);
