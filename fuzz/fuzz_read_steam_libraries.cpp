// Feeds arbitrary text to the reader of Steam's library list: a failure
// leaves no paths, every path kept is absolute, whole and within the bounds,
// and the paths, written again as Steam writes them, read back the same.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SteamLibraries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> paths;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (CSteamLibraries::Parse(text, paths) != CSteamLibraries::kOk) {
        if (!paths.empty())
            __builtin_trap();
        return 0;
    }
    std::string again = "\"libraryfolders\"\n{\n";
    for (const std::string& path : paths) {
        if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos ||
            path.size() > CSteamLibraries::kMaxStringBytes || paths.size() > CSteamLibraries::kMaxLibraries)
            __builtin_trap();
        again += "\t\"0\"\n\t{\n\t\t\"path\"\t\t\"";
        for (const char c : path)
            again += c == '"' || c == '\\' ? std::string{'\\', c} : std::string{c};
        again += "\"\n\t}\n";
    }
    std::vector<std::string> reread;
    if (CSteamLibraries::Parse(again + "}\n", reread) != CSteamLibraries::kOk || reread != paths)
        __builtin_trap();
    return 0;
}
