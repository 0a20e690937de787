// The seed corpus's shared pieces: the bytes of a seed, the seeds of a
// target, the material they are cut from, ways to cut them, and the
// generators of the targets' seeds, which make_fuzz_seeds runs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "LittleEndian.h"

using Bytes = std::vector<uint8_t>;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

[[noreturn]] inline void Fail(const std::string& what)
{
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", what.c_str());
    std::exit(1);
}

inline Bytes Truncated(Bytes bytes, size_t size)
{
    bytes.resize(size);
    return bytes;
}

inline Bytes WithU32(Bytes bytes, size_t offset, uint32_t value)
{
    if (offset + 4 > bytes.size())
        Fail("a field to alter lies past the end of its seed");
    StoreU32LE(&bytes[offset], value);
    return bytes;
}

// Everything the seeds are cut from, made in the current folder.
struct Material {
    std::vector<Bytes> overrides; // one exported override file per source entry
    Bytes nameless;               // a header exported for no entry: name length 0
    std::vector<Bytes> patches;   // patches of 0, 1 and 2 entries
    Bytes indexedPng, rgbPng;     // what the PNG export writes
};

// The seeds of the targets that read pictures and images (PictureSeeds.cpp).
Seeds DecodeFrameSeeds(const Material&);
Seeds LoadTgaSeeds(const Material&);
Seeds JudgeOverrideSeeds(const Material&);
Seeds ReadImageSeeds(const Material&);
Seeds ReadPngSeeds(const Material& m);
Seeds ReadManifestSeeds(const Material&);
Seeds ReadJpegSeeds(const Material&);
Seeds ReadWebpSeeds(const Material&);
Seeds ReadBmpSeeds(const Material&);
Seeds ReadPngPictureSeeds(const Material& m);
