// The Steam libraries listed in Steam's libraryfolders.vdf, where the game
// folders of Steam's games lie (below each library's steamapps/common). The
// file is Steam's key-value text: quoted (or bare) keys, each followed by a
// quoted value or by a block of further keys in braces, with // comments.
// Only the "path" values are wanted. The file is anyone's bytes, so its
// reader is small, takes nothing on trust and stops at fixed bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CSteamLibraries {
public:
    // Results of Parse and Read.
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kMalformed = -1; // a quote or a block left open, a brace out of place
    static constexpr int32_t kTooDeep = -2;   // blocks nested deeper than kMaxDepth
    static constexpr int32_t kTooLarge = -3;  // the text, a string or the list of paths past its bound
    static constexpr int32_t kUnreadable = -4; // Read only: no regular file to read

    // The bounds: a real file lists a few libraries in a few kilobytes.
    static constexpr size_t kMaxTextBytes = size_t{1} << 20;
    static constexpr size_t kMaxDepth = 16;
    static constexpr size_t kMaxStringBytes = 4096;
    static constexpr size_t kMaxLibraries = 64;

    // The values of every "path" key (in any case) in the text, in the
    // file's order, those that are absolute paths without a zero byte; the
    // others are passed over. On any failure `paths` is left empty.
    static int32_t Parse(std::string_view text, std::vector<std::string>& paths);
    // The same for the file at a host path.
    static int32_t Read(const std::string& hostPath, std::vector<std::string>& paths);
};
