// The one rule for whether an override file may stand in for its archive
// entry: each kind of damage is found and named, a damaged file is never
// loaded, and a file far larger than its image is judged from its front.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "ArchiveBytes.h"
#include "GameDir.h"
#include "GfxBytes.h"
#include "GfxImage.h"
#include "OverrideCheckCache.h"
#include "OverrideFile.h"
#include "PortraitImage.h"

namespace {

const std::string kLarge = "PORTRAITS\\LARGE\\XTVARM1.GFX";

} // namespace

TEST(OverrideFile, EachKindOfDamageIsNamedAndTheArchiveImageLoadsInstead)
{
    const std::vector<uint8_t> archived = MakePaletteImage({9, 9, 9}, {PatternFrame(5, 3)});
    const std::vector<uint8_t> image = MakePaletteImage({1, 2, 3, 4, 5, 6}, {PatternFrame(6, 2)});
    const std::vector<uint8_t> sound = MakeOverrideFile(kLarge, image);
    const size_t header = 19 + kLarge.size(), record = header + 64 + 6;

    std::vector<uint8_t> noMagic = sound;
    noMagic[0] = 'C';
    std::vector<uint8_t> outside = sound, overrun = sound, wrongSize = sound, padded = sound;
    PutU32(outside, record, 1000);
    overrun.resize(header + 64 + 6 + 16);
    overrun.insert(overrun.end(), {0xFF, 0x00});
    PutU32(overrun, record + 4, 2);
    PutU32(overrun, header - 4, static_cast<uint32_t>(overrun.size() - header));
    PutU32(wrongSize, header - 4, static_cast<uint32_t>(image.size() + 1));
    padded.resize(sound.size() + COverrideFile::kSlackBytes + 1);
    std::vector<uint8_t> depth24 = MakeOverrideFile(kLarge, image);
    depth24[header + 44] = 24;
    const struct {
        std::vector<uint8_t> bytes;
        std::string fault;
    } damaged[] = {
        {noMagic, "it is no override file: it does not begin with KORV-EXPORT"},
        {std::vector<uint8_t>(sound.begin(), sound.begin() + 20), "the override header is cut short"},
        {MakeOverrideFile("PORTRAITS\\SMALL\\XTVARM1.GFX", image),
         "it names the entry PORTRAITS\\SMALL\\XTVARM1.GFX instead of " + kLarge},
        {MakeOverrideFile(kLarge, std::vector<uint8_t>(image.begin(), image.begin() + 70)),
         "the image ends inside its palette or frame table"},
        {depth24, "bit depth 24 is neither 8 nor 16"},
        {outside, "frame 0: its data lie outside the image"},
        {overrun, "frame 0: its data overrun its 6 x 2 pixels"},
        {padded, "it holds " + std::to_string(COverrideFile::kSlackBytes + 1) + " bytes past the end of its image"},
        {wrongSize, "its header gives the image " + std::to_string(image.size() + 1) + " bytes, but it needs " +
                        std::to_string(image.size()) + " and the file holds " + std::to_string(image.size())},
        {MakeOverrideFile(kLarge, MakeTrueColourImage(0, 0, {})), "its size 0 x 0 is out of range"},
        {MakeOverrideFile(kLarge, MakeTrueColourImage(2100, 2000, {})), "it has more pixels than an image may hold"},
    };
    GameDir game({{kLarge, archived}});
    for (const auto& [bytes, fault] : damaged) {
        SCOPED_TRACE(fault);
        const COverrideFile judged = COverrideFile::Judge(bytes, kLarge);
        EXPECT_EQ(judged.state, COverrideFile::State::kDamaged);
        EXPECT_EQ(judged.fault, fault);
        EXPECT_FALSE(judged.image);
        // Loaded, the archive's 5 x 3 frame shows in its place.
        game.Dir().WriteFile("Portraits/XTVARM1.GFX", bytes);
        CPortraitImage loaded;
        loaded.SetSubFolder("\\Portraits");
        ASSERT_EQ(loaded.Load(game.Base(), game.ArchivePath(), 0, &game.Archive()), 1);
        EXPECT_EQ(loaded.SourcePath(), game.ArchivePath());
        EXPECT_EQ(loaded.FrameTable().at(0).Width(), 5);
        EXPECT_EQ(loaded.OverrideFault(), fault);
    }
    const COverrideFile used = COverrideFile::Judge(sound, kLarge);
    ASSERT_EQ(used.state, COverrideFile::State::kSound);
    EXPECT_EQ(*used.image, image);
    EXPECT_EQ(COverrideFile::Differences(ParseGfx(image), ParseGfx(archived)),
              std::vector<std::string>{"frame 0 is 6 x 2, the archive's 5 x 3"});
}

TEST(OverrideFile, AFileFarLargerThanItsImageIsJudgedWithoutReadingItAll)
{
    TempDir dir;
    const std::vector<uint8_t> sound = MakeOverrideFile(kLarge, MakePaletteImage({1, 2, 3}, {PatternFrame(6, 2)}));
    // Sparse files: a sound image followed by 1 GiB, and by 8 MiB, of zeros.
    for (const uint64_t size : {uint64_t{1} << 30, uint64_t{8} << 20}) {
        SCOPED_TRACE(size);
        dir.WriteFile("X.GFX", sound);
        ASSERT_EQ(::truncate((dir / "X.GFX").c_str(), static_cast<off_t>(size)), 0);
        const COverrideFile judged = COverrideFile::Read(dir / "X.GFX", kLarge);
        EXPECT_EQ(judged.state, COverrideFile::State::kDamaged);
        EXPECT_TRUE(judged.identity.exists);
        EXPECT_EQ(judged.identity.size, static_cast<int64_t>(size));
        const std::string expected = size > COverrideFile::kMaxBytes
                                         ? "it is 1073741824 bytes, more than any portrait image needs"
                                         : "it holds " + std::to_string(size - sound.size()) +
                                               " bytes past the end of its image";
        EXPECT_EQ(judged.fault, expected);
    }
    EXPECT_EQ(COverrideFile::Read(dir / "none.GFX", kLarge).state, COverrideFile::State::kNone);
}

TEST(OverrideFile, ACachedCheckReadsAFileAgainOnlyWhenItChanged)
{
    TempDir dir;
    const std::string path = dir / "X.GFX";
    std::vector<uint8_t> sound = MakeOverrideFile(kLarge, MakePaletteImage({1, 2, 3}, {PatternFrame(6, 2)}));
    COverrideCheckCache cache;
    EXPECT_EQ(cache.Check(path, kLarge), COverrideFile::State::kNone);
    dir.WriteFile("X.GFX", sound);
    EXPECT_EQ(cache.Check(path, kLarge), COverrideFile::State::kSound);
    EXPECT_EQ(cache.Check(path, kLarge), COverrideFile::State::kSound);
    EXPECT_EQ(cache.Reads(), 1u);
    // Rewritten in place with the same size, the file is judged again.
    sound[0] = 'C';
    dir.WriteFile("X.GFX", sound);
    EXPECT_EQ(cache.Check(path, kLarge), COverrideFile::State::kDamaged);
    EXPECT_EQ(cache.Reads(), 2u);
}
