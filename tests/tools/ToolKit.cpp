#include "ToolKit.h"

#include <algorithm>
#include <filesystem>

#include "ArchiveBytes.h"
#include "RasterSurface.h"

ToolRun Tool(const std::string& args, const std::string& environment)
{
    return RunProgram(environment + " timeout 60 " + std::string(PORTRAIT_TOOL_PATH) + " " + args);
}

std::string ToolInBackground(const std::string& args, const std::string& statusFile)
{
    return "(timeout 60 " + std::string(PORTRAIT_TOOL_PATH) + " " + args + " >/dev/null 2>&1; echo $? > '" +
           statusFile + "') &";
}

std::string Base(const GameDir& game)
{
    return "--base '" + game.Base() + "'";
}

size_t CountLines(const std::string& s)
{
    return static_cast<size_t>(std::count(s.begin(), s.end(), '\n'));
}

std::string WriteTga(const GameDir& game, const std::string& name, int width, int height, uint8_t index)
{
    CRasterSurface s;
    s.CreateBuffer(width, height);
    std::fill(s.m_pBits, s.m_pBits + width * height, index);
    std::vector<uint8_t> palette(1024, 0);
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = TestPaletteRgb(i);
        palette[i * 4 + 0] = static_cast<uint8_t>(c);
        palette[i * 4 + 1] = static_cast<uint8_t>(c >> 8);
        palette[i * 4 + 2] = static_cast<uint8_t>(c >> 16);
    }
    const std::string path = game / name;
    s.SaveTga(path, palette.data(), -1);
    return path;
}

std::map<std::string, std::vector<uint8_t>> Snapshot(const std::string& root)
{
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        files[entry.path().string()] = entry.is_regular_file() ? ReadFileBytes(entry.path().string())
                                                               : std::vector<uint8_t>{'/'};
    return files;
}

void PutOverride(const GameDir& game, const TestPortrait& p, const char* size, const std::vector<TestFrame>& frames)
{
    game.Dir().WriteFile("Portraits/" + std::string(1, size[0]) + TestPortraitName(p) + ".GFX",
                         MakeOverrideFile(TestEntryName(p, size), MakePaletteImage({1, 2, 3, 4, 5, 6}, frames)));
}
