// An override file as the editor judges it before using it in place of its
// archive entry: read once, within bounds, and found sound or damaged with
// the reason. Loading, status, validate and the pack all ask this one rule.
//
// Damaged, and never used: a file that cannot be read, that does not begin
// with an override header carrying the magic, whose header names another
// entry, whose image does not parse, whose frames do not decode within
// their pixels, or that is larger than its image needs by more than
// kSlackBytes. A sound image that differs from the archive's in bit depth,
// frame count or a frame's size may be what the modder meant: it is used,
// and Differences names what differs, as a warning.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "FileSystem.h"

struct GfxImage;

class COverrideFile {
public:
    // No portrait image comes near it: 4,194,304 pixels of two bytes, or
    // their run-length code, with its tables. A larger file is judged from
    // its size alone.
    static constexpr uint64_t kMaxBytes = uint64_t{16} << 20;
    // What a file may hold past the end of its image; the editor writes none.
    static constexpr uint64_t kSlackBytes = uint64_t{64} << 10;

    enum class State { kNone, kSound, kDamaged };

    // Reads the file at path (an editor path) for the entry of that name.
    // Nothing is read past the image's tables of a file too large for its
    // image, and nothing at all of one larger than kMaxBytes.
    static COverrideFile Read(std::string_view path, std::string_view entryName);
    // Judges the bytes of a whole file.
    static COverrideFile Judge(std::span<const uint8_t> file, std::string_view entryName);

    // How a sound image differs from the archive's: one text a difference.
    static std::vector<std::string> Differences(const GfxImage& image, const GfxImage& archived);

    State state = State::kNone;
    std::string fault; // why it is damaged
    // What stood at the path when it was read; exists is false for nothing.
    FileIdentity identity;
    // The image that follows the override header, when the file is sound.
    std::shared_ptr<const std::vector<uint8_t>> image;
};
