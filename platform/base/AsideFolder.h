// Files set aside instead of deleted or overwritten: moved into a folder
// (Portraits\Reverted) under their own name and the UTC time,
// "<name>.<YYYYMMDDTHHMMSSZ>", with "-2", "-3", ... after it rather than
// replace one set aside before in the same second.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

class CAsideFolder {
public:
    // Results of Move.
    static constexpr int32_t kMoved = 0;
    static constexpr int32_t kCannotCreateFolder = -1;
    static constexpr int32_t kMoveFailed = -2;

    // The n-th name tried for a file set aside at `now`, from 1.
    static std::string Name(const std::string& fileName, std::time_t now, int32_t attempt);

    // Moves whatever stands at path (an editor path) into folder, made when
    // missing; movedTo gets the host path it went to. On failure it stays
    // where it was.
    static int32_t Move(std::string_view path, std::string_view folder, std::time_t now, std::string& movedTo);
};
