// The demo game: its archive opens, its names make a full catalogue, every
// portrait loads with the editor's own loader at the sizes the game uses, the
// entries the editor must skip are there, and the bytes never vary.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "DemoGame.h"
#include "GameArchive.h"
#include "EntryNameRules.h"
#include "FileFaults.h"
#include "RaceTable.h"
#include "FrameCodec.h"
#include "GfxHeader.h"
#include "PortraitImage.h"
#include "TempDir.h"

namespace {

struct Expected {
    int32_t width;
    int32_t height;
};
// Indexed by PortraitSize: LARGE, MEDIUM, SMALL.
constexpr Expected kSizes[3] = {{179, 143}, {91, 71}, {47, 35}};

// The whole file in one read: the archive is a few megabytes, too many for
// a byte-by-byte stream in an unoptimised sanitizer build.
std::vector<uint8_t> WholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return in ? bytes : std::vector<uint8_t>{};
}

bool IsCatalogued(const std::string& name)
{
    return name.find("PORTRAITS\\") != std::string::npos && name.find("SKULL") == std::string::npos;
}

// One demo game, written once for all tests of the suite: writing it is the
// slow part, and every test only reads it.
class DemoGame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir();
        s_base = s_dir->Path() + "/game";
        std::string error;
        s_made = MakeDemoGame(s_base, error);
        s_error = error;
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_made) << s_error;
        ASSERT_EQ(m_archive.Open(ArchivePath()), 1);
    }

    static std::string ArchivePath() { return s_base + "\\DATA\\DATA.QPK"; }

    std::vector<int32_t> CataloguedEntries() const
    {
        std::vector<int32_t> indices;
        for (int32_t i = 0; i < m_archive.GetEntryCount(); ++i)
            if (IsCatalogued(m_archive.GetEntryName(i)) && ClassifyRace(m_archive.GetEntryName(i)) >= 0)
                indices.push_back(i);
        return indices;
    }

    int32_t Load(CPortraitImage& image, int32_t index)
    {
        image.SetSubFolder("\\Portraits");
        return image.Load(s_base, ArchivePath(), index, &m_archive);
    }

    static TempDir* s_dir;
    static std::string s_base;
    static bool s_made;
    static std::string s_error;
    CGameArchive m_archive;
};

TempDir* DemoGame::s_dir = nullptr;
std::string DemoGame::s_base;
bool DemoGame::s_made = false;
std::string DemoGame::s_error;

} // namespace

TEST_F(DemoGame, LeavesTheArchiveAnEmptyPatchFolderAndNothingElse)
{
    EXPECT_EQ(ListFolder(s_base), (std::vector<std::string>{"DATA", "PATCHES"}));
    EXPECT_EQ(ListFolder(s_base + "/DATA"), std::vector<std::string>{"DATA.QPK"});
    EXPECT_TRUE(ListFolder(s_base + "/PATCHES").empty());
    EXPECT_GT(m_archive.GetEntryCount(), 120);
    EXPECT_LE(m_archive.GetEntryCount(), CGameArchive::kMaxSlots);
}

TEST_F(DemoGame, NamesMakeAFullCatalogueOfDistinctPortraits)
{
    using Identity = std::tuple<RaceIndex, bool, char>;
    std::map<Identity, std::set<PortraitSize>> portraits;
    std::set<RaceIndex> races;
    std::set<bool> genders;
    std::set<char> variants;
    for (int32_t i : CataloguedEntries()) {
        const std::string name = m_archive.GetEntryName(i);
        const RaceIndex race = ClassifyRace(name);
        const PortraitSize size = ClassifySize(name);
        ASSERT_GE(size, 0) << name;
        // The race must come from the race code at the start of the file
        // name, not from letters that happen to spell another code.
        const std::string file = name.substr(name.rfind('\\') + 2);
        EXPECT_EQ(file.rfind(kRaceTable[race].code, 0), 0u) << name;
        const Identity id{race, IsMaleName(name), GetVariantChar(name)};
        EXPECT_TRUE(portraits[id].insert(size).second) << "two entries of one size: " << name;
        races.insert(race);
        genders.insert(IsMaleName(name));
        variants.insert(GetVariantChar(name));
    }
    EXPECT_GE(portraits.size(), 40u);
    EXPECT_LE(portraits.size(), 64u); // the catalogue's room
    EXPECT_EQ(races.size(), 12u);
    EXPECT_EQ(genders.size(), 2u);
    EXPECT_GE(variants.size(), 3u);
    for (const auto& [id, sizes] : portraits)
        EXPECT_EQ(sizes.size(), 3u) << kRaceTable[std::get<0>(id)].code << std::get<2>(id);
}

TEST_F(DemoGame, EveryPortraitLoadsAtItsSizeWithRealPictures)
{
    std::set<int32_t> mediumFrameCounts;
    int32_t trueColourImages = 0;
    int32_t paletteImages = 0;
    for (int32_t i : CataloguedEntries()) {
        const std::string name = m_archive.GetEntryName(i);
        const PortraitSize size = ClassifySize(name);
        const Expected want = kSizes[size];
        CPortraitImage image;
        ASSERT_EQ(Load(image, i), 1) << name;
        const GfxHeader& header = image.Header();

        if (header.BitDepth() == 16) {
            ++trueColourImages;
            EXPECT_EQ(header.FrameCount(), 1) << name;
            EXPECT_EQ(header.Width(), want.width) << name;
            EXPECT_EQ(header.Height(), want.height) << name;
            EXPECT_EQ(header.DataSize(), static_cast<uint32_t>(want.width * want.height * 2)) << name;
            const CRasterSurface* surface = image.GetFrameSurface(0);
            ASSERT_TRUE(surface && surface->m_pBits) << name;
            EXPECT_EQ(surface->m_depth, 32);
            std::set<uint32_t> colours;
            for (int32_t y = 0; y < want.height; ++y)
                for (int32_t x = 0; x < want.width; ++x) {
                    uint32_t pixel;
                    std::memcpy(&pixel, surface->m_pBits + (static_cast<size_t>(y) * surface->m_width + x) * 4, 4);
                    colours.insert(pixel);
                }
            EXPECT_GT(colours.size(), 64u) << name;
            continue;
        }

        ASSERT_EQ(header.BitDepth(), 8) << name;
        ++paletteImages;
        const int32_t frames = header.FrameCount();
        if (size == 1) {
            EXPECT_GE(frames, 1) << name;
            EXPECT_LE(frames, 12) << name;
            mediumFrameCounts.insert(frames);
        } else {
            EXPECT_EQ(frames, 1) << name;
        }
        EXPECT_GE(header.ColourCount(), 64) << name;
        EXPECT_LE(header.ColourCount(), 256) << name;
        ASSERT_EQ(image.FrameTable().size(), static_cast<size_t>(frames));

        // The frames' data lie packed in frame order and fill the data area.
        uint32_t next = 0;
        for (const GfxFrameRecord& record : image.FrameTable()) {
            EXPECT_EQ(record.Width(), want.width) << name;
            EXPECT_EQ(record.Height(), want.height) << name;
            EXPECT_EQ(record.Offset(), next) << name;
            next += record.Length();
        }
        EXPECT_EQ(header.DataSize(), next) << name;

        const int32_t stride = (want.width + 3) / 4 * 4;
        std::vector<std::vector<uint8_t>> pictures;
        for (int32_t f = 0; f < frames; ++f) {
            const CRasterSurface* surface = image.GetFrameSurface(f);
            ASSERT_TRUE(surface && surface->m_pBits) << name;
            ASSERT_EQ(surface->m_width, stride) << name;
            std::array<bool, 256> used{};
            std::vector<uint8_t> picture;
            picture.reserve(static_cast<size_t>(want.width) * want.height);
            for (int32_t y = 0; y < want.height; ++y)
                for (int32_t x = 0; x < want.width; ++x) {
                    const uint8_t index = surface->m_pBits[static_cast<size_t>(y) * stride + x];
                    used[index] = true;
                    picture.push_back(index);
                }
            size_t distinct = 0;
            for (int32_t k = 0; k < 256; ++k) {
                if (used[static_cast<size_t>(k)]) {
                    ++distinct;
                    EXPECT_LT(k, header.ColourCount()) << name << " frame " << f << " uses a colour beyond its palette";
                }
            }
            EXPECT_TRUE(used[0]) << name << " has no index 0";
            EXPECT_GT(distinct, 16u) << name << " frame " << f;
            pictures.push_back(std::move(picture));
        }
        // An animation moves: no two neighbouring frames are the same picture.
        for (size_t f = 1; f < pictures.size(); ++f)
            EXPECT_NE(pictures[f], pictures[f - 1]) << name << " frames " << f - 1 << " and " << f;
    }
    EXPECT_GE(trueColourImages, 3);
    EXPECT_LE(trueColourImages, 15);
    EXPECT_GT(paletteImages, 100);
    // Every frame count from 1 to 12 occurs.
    EXPECT_EQ(mediumFrameCounts.size(), 12u);
}

TEST_F(DemoGame, StoredFramesAreWhatTheEncoderMakesOfTheDecodedPicture)
{
    // A MEDIUM image with several frames: decode each frame with the editor's
    // loader, encode it again, and compare with the bytes in the archive.
    int32_t checked = 0;
    const std::vector<uint8_t> archive = WholeFile(s_base + "/DATA/DATA.QPK");
    for (int32_t i : CataloguedEntries()) {
        CPortraitImage image;
        ASSERT_EQ(Load(image, i), 1);
        if (image.Header().BitDepth() != 8 || image.Header().FrameCount() < 5)
            continue;
        const size_t dataStart = m_archive.GetEntryOffset(i) + GfxHeader::kSize +
                                 3 * static_cast<size_t>(image.Header().ColourCount()) + 16 * image.FrameTable().size();
        for (size_t f = 0; f < image.FrameTable().size(); ++f) {
            const GfxFrameRecord& record = image.FrameTable()[f];
            const int32_t w = record.Width();
            const int32_t h = record.Height();
            const int32_t stride = (w + 3) / 4 * 4;
            std::vector<uint8_t> rows;
            for (int32_t y = 0; y < h; ++y)
                rows.insert(rows.end(), image.GetFrameSurface(static_cast<int32_t>(f))->m_pBits + y * stride,
                            image.GetFrameSurface(static_cast<int32_t>(f))->m_pBits + y * stride + w);
            std::vector<uint8_t> encoded(MaxEncodedSize(w, h));
            const int32_t length = EncodeFrame(rows.data(), w, h, encoded.data(), encoded.size());
            ASSERT_EQ(static_cast<uint32_t>(length), record.Length());
            ASSERT_LE(dataStart + record.Offset() + record.Length(), archive.size());
            EXPECT_EQ(0, std::memcmp(encoded.data(), &archive[dataStart + record.Offset()], record.Length()))
                << m_archive.GetEntryName(i) << " frame " << f;
        }
        if (++checked == 3)
            break;
    }
    EXPECT_EQ(checked, 3);
}

TEST_F(DemoGame, HeadersCarryBytesTheEditorMustPreserve)
{
    const std::vector<int32_t> entries = CataloguedEntries();
    ASSERT_FALSE(entries.empty());
    CPortraitImage image;
    ASSERT_EQ(Load(image, entries.front()), 1);
    const auto& bytes = image.Header().bytes;
    const auto nonZero = [&bytes](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k)
            if (bytes[k] != 0)
                return true;
        return false;
    };
    EXPECT_TRUE(nonZero(0, 8));
    EXPECT_TRUE(nonZero(12, 20));
    EXPECT_TRUE(nonZero(29, 44));
    EXPECT_TRUE(nonZero(45, 64));
}

TEST_F(DemoGame, EveryImageIsLabelledDemoWithItsEntrysBaseName)
{
    // The label: "DEMO" at the start of the header, and the base name (up to
    // 15 bytes, zero-padded) from byte 29.
    const std::vector<uint8_t> archive = WholeFile(s_base + "/DATA/DATA.QPK");
    int32_t images = 0;
    for (int32_t i = 0; i < m_archive.GetEntryCount(); ++i) {
        const std::string name = m_archive.GetEntryName(i);
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".GFX") != 0)
            continue;
        ++images;
        const size_t start = name.rfind('\\') + 1;
        std::string base = name.substr(start, name.rfind('.') - start);
        ASSERT_LE(base.size(), 15u) << name;
        base.resize(15, '\0');
        const size_t at = m_archive.GetEntryOffset(i);
        ASSERT_LE(at + GfxHeader::kSize, archive.size()) << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&archive[at]), 4), "DEMO") << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&archive[at + 29]), 15), base) << name;
    }
    EXPECT_GT(images, 120);
}

TEST_F(DemoGame, HoldsEntriesTheEditorMustSkip)
{
    bool skull = false;
    bool lowerCase = false;
    int32_t elsewhere = 0;
    for (int32_t i = 0; i < m_archive.GetEntryCount(); ++i) {
        const std::string name = m_archive.GetEntryName(i);
        if (name.find("PORTRAITS\\") != std::string::npos && name.find("SKULL") != std::string::npos &&
            ClassifyRace(name) >= 0) {
            skull = true;
            CPortraitImage image;
            EXPECT_EQ(Load(image, i), 1) << "the skull is a real image too";
        }
        if (name.rfind("portraits\\", 0) == 0 && ClassifyRace(name) >= 0)
            lowerCase = true;
        if (name.find("PORTRAITS\\") == std::string::npos && name.find("portraits\\") == std::string::npos)
            ++elsewhere;
    }
    EXPECT_TRUE(skull);
    EXPECT_TRUE(lowerCase);
    EXPECT_GE(elsewhere, 2);
}

TEST_F(DemoGame, IsTheSameByteForByteWhereverItIsWritten)
{
    TempDir other;
    std::string error;
    ASSERT_TRUE(MakeDemoGame(other / "a/b/another game", error)) << error;
    const std::vector<uint8_t> first = WholeFile(s_base + "/DATA/DATA.QPK");
    const std::vector<uint8_t> second = WholeFile(other / "a/b/another game/DATA/DATA.QPK");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second);
}

TEST_F(DemoGame, IsTheArchiveItHasAlwaysBeen)
{
    // Size and 64-bit FNV-1a of the archive: any change to the painter, the
    // image or the archive writers shows here.
    const std::vector<uint8_t> archive = WholeFile(s_base + "/DATA/DATA.QPK");
    uint64_t hash = 0xcbf29ce484222325u;
    for (uint8_t byte : archive)
        hash = (hash ^ byte) * 0x100000001b3u;
    EXPECT_EQ(archive.size(), 3877701u);
    EXPECT_EQ(hash, 0x7ea52726f84e6194u);
}

TEST_F(DemoGame, NeverOverwritesAnExistingArchive)
{
    const std::vector<uint8_t> before = WholeFile(s_base + "/DATA/DATA.QPK");
    std::string error;
    EXPECT_FALSE(MakeDemoGame(s_base, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_TRUE(WholeFile(s_base + "/DATA/DATA.QPK") == before);
    EXPECT_EQ(ListFolder(s_base), (std::vector<std::string>{"DATA", "PATCHES"}));
}

TEST(DemoGameRefusal, ExistingArchiveSpelledInAnotherCaseIsRefusedToo)
{
    TempDir dir;
    dir.MakeFolder("data");
    dir.WriteFile("data/data.qpk", {1, 2, 3});
    std::string error;
    EXPECT_FALSE(MakeDemoGame(dir.Path(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(WholeFile(dir / "data/data.qpk"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(DemoGameRefusal, AFailedWriteLeavesNoArchiveHalfWritten)
{
    for (FileOperation op : {FileOperation::Write, FileOperation::Flush, FileOperation::Rename}) {
        TempDir dir;
        std::string error;
        CFileFaults::FailNth(op, 1);
        EXPECT_FALSE(MakeDemoGame(dir.Path(), error));
        CFileFaults::Reset();
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_TRUE(ListFolder(dir / "DATA").empty()) << "no archive and no temporary file";
        EXPECT_TRUE(PathExists(dir / "PATCHES"));
    }
}

TEST(DemoGameRefusal, EmptyDirectoryNameIsRefused)
{
    std::string error;
    EXPECT_FALSE(MakeDemoGame("", error));
    EXPECT_FALSE(error.empty());
}
