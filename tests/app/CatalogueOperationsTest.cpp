// The whole-catalogue operations on the dialog's state: where each image
// loads from, the faults validate finds, revert moving files aside without
// ever overwriting, and the files a pack takes.
#include <algorithm>
#include <filesystem>

#include "AsideFolder.h"
#include "EditorTestKit.h"
#include "GfxBytes.h"
#include "Sha256.h"

namespace {

using CatalogueOperationsTest = EditorFixture;

const TestPortrait kFirst{"TVAR", true, '1', 2};
const TestPortrait kSecond{"QEN", true, '1', 2};
const TestPortrait kThird{"TVAR", false, '1', 1};

// 2023-11-14 22:13:20 UTC.
constexpr std::time_t kNow = 1700000000;

std::vector<uint8_t> SomeColours()
{
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 16; ++i)
        rgb.insert(rgb.end(), {static_cast<uint8_t>(i * 16), static_cast<uint8_t>(255 - i), 7});
    return rgb;
}

std::vector<uint8_t> Image(const std::vector<TestFrame>& frames)
{
    return MakePaletteImage(SomeColours(), frames);
}

std::string OverrideName(const TestPortrait& p, char sizeLetter)
{
    return EditorBaseName(p, sizeLetter) + ".GFX";
}

} // namespace

TEST_F(CatalogueOperationsTest, StatusSaysWhereEachImageLoadsFrom)
{
    Open(MakePortraitEntries({kFirst, kSecond}));
    game->Dir().WriteFile("Portraits/" + OverrideName(kFirst, 'L'),
                          MakeOverrideFile(TestEntryName(kFirst, "LARGE"), Image({PatternFrame(21, 15)})));
    // A folder where the MEDIUM override file would be: the image loads from
    // the archive, but the name is taken.
    game->Dir().MakeFolder("Portraits/" + OverrideName(kFirst, 'M'));
    // An override file that opens but names another entry cannot be used either.
    game->Dir().WriteFile("Portraits/" + OverrideName(kSecond, 'S'),
                          MakeOverrideFile(TestEntryName(kFirst, "SMALL"), Image({PatternFrame(5, 3)})));

    const std::vector<PortraitStatus> status = dlg.CatalogueOperations().Status();
    ASSERT_EQ(status.size(), 2u);
    EXPECT_EQ(status[0].name, TestPortraitName(kFirst));
    EXPECT_EQ(status[0].source[kSizeLarge], ImageSource::kOverride);
    EXPECT_EQ(status[0].source[kSizeMedium], ImageSource::kInvalidOverride);
    EXPECT_EQ(status[0].source[kSizeSmall], ImageSource::kOriginal);
    EXPECT_EQ(status[0].overridePath[kSizeLarge], *game / ("Portraits/" + OverrideName(kFirst, 'L')));
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        EXPECT_TRUE(status[1].has[size]);
        EXPECT_EQ(status[1].source[size], size == kSizeSmall ? ImageSource::kInvalidOverride : ImageSource::kOriginal);
    }
    EXPECT_EQ(ImageSourceName(ImageSource::kInvalidOverride), "invalid override");
}

TEST_F(CatalogueOperationsTest, ValidateFindsEachKindOfFaultOnce)
{
    Open(MakePortraitEntries({kFirst, kSecond, kThird}));
    const TempDir& dir = game->Dir();
    auto put = [&dir](const TestPortrait& p, char letter, const char* size, const std::vector<uint8_t>& image) {
        dir.WriteFile("Portraits/" + OverrideName(p, letter), MakeOverrideFile(TestEntryName(p, size), image));
    };
    EXPECT_TRUE(dlg.CatalogueOperations().Validate().problems.empty());

    // Fit to use: the third portrait's three images.
    put(kThird, 'L', "LARGE", Image({PatternFrame(21, 15)}));
    put(kThird, 'M', "MEDIUM", Image({PatternFrame(11, 7)}));
    put(kThird, 'S', "SMALL", Image({PatternFrame(5, 3)}));
    ValidationReport clean = dlg.CatalogueOperations().Validate();
    EXPECT_TRUE(clean.ran);
    EXPECT_EQ(clean.checked, 3);
    EXPECT_TRUE(clean.problems.empty());

    // The LARGE file names the MEDIUM entry.
    game->Dir().WriteFile("Portraits/" + OverrideName(kFirst, 'L'),
                          MakeOverrideFile(TestEntryName(kFirst, "MEDIUM"), Image({PatternFrame(21, 15)})));
    put(kFirst, 'M', "MEDIUM", Image({PatternFrame(11, 7)}));             // one frame of two
    put(kFirst, 'S', "SMALL", Image({PatternFrame(6, 3)}));               // a pixel too wide
    std::vector<uint8_t> outside = Image({PatternFrame(21, 15)});
    const size_t record = 64 + SomeColours().size();
    PutU32(outside, record + 4, GetU32(outside, record + 4) + 1);         // one byte past the data
    put(kSecond, 'L', "LARGE", outside);
    TestFrame overrun = PatternFrame(11, 7);
    overrun.runLength = {0xFF, 0x00};                                      // 127 zeros into 12 x 7
    put(kSecond, 'M', "MEDIUM", Image({PatternFrame(11, 7), overrun}));
    put(kSecond, 'S', "SMALL", Image({PatternFrame(5, 3)}));
    game->Dir().WriteFile("Portraits/EXTRA.GFX", {1, 2, 3});
    game->Dir().WriteFile("Portraits/NOTES.TXT", {1, 2, 3});

    const ValidationReport report = dlg.CatalogueOperations().Validate();
    EXPECT_EQ(report.checked, 9);
    auto faultOf = [](const std::vector<ValidationProblem>& found, const std::string& name) {
        std::string faults;
        for (const ValidationProblem& p : found)
            if (std::filesystem::path(p.path).filename() == name)
                faults += (faults.empty() ? "" : " | ") + p.fault;
        return faults;
    };
    // Damaged files, which are not used, are problems; sound images that
    // differ from the archive's are warnings.
    EXPECT_EQ(report.problems.size(), 4u);
    EXPECT_EQ(faultOf(report.problems, OverrideName(kFirst, 'L')),
              "it names the entry " + TestEntryName(kFirst, "MEDIUM") + " instead of " + TestEntryName(kFirst, "LARGE"));
    EXPECT_EQ(faultOf(report.problems, OverrideName(kSecond, 'L')), "frame 0: its data lie outside the image");
    EXPECT_EQ(faultOf(report.problems, OverrideName(kSecond, 'M')), "frame 1: its data overrun its 11 x 7 pixels");
    EXPECT_EQ(faultOf(report.problems, "EXTRA.GFX"), "no catalogue entry uses it");
    EXPECT_EQ(report.warnings.size(), 2u);
    EXPECT_EQ(faultOf(report.warnings, OverrideName(kFirst, 'M')), "1 frames, the archive's 2");
    EXPECT_EQ(faultOf(report.warnings, OverrideName(kFirst, 'S')), "frame 0 is 6 x 3, the archive's 5 x 3");
    EXPECT_EQ(report.problems.back().path, *game / "Portraits/EXTRA.GFX");
}

TEST_F(CatalogueOperationsTest, RevertMovesTheFilesAsideAndNeverOverwrites)
{
    Open(MakePortraitEntries({kFirst, kSecond}));
    const std::vector<uint8_t> large = MakeOverrideFile(TestEntryName(kFirst, "LARGE"), Image({PatternFrame(21, 15)}));
    const std::vector<uint8_t> small = MakeOverrideFile(TestEntryName(kFirst, "SMALL"), Image({PatternFrame(5, 3, 4)}));
    const std::vector<uint8_t> other = MakeOverrideFile(TestEntryName(kSecond, "LARGE"), Image({PatternFrame(21, 15)}));
    game->Dir().WriteFile("Portraits/" + OverrideName(kFirst, 'L'), large);
    game->Dir().WriteFile("Portraits/" + OverrideName(kFirst, 'S'), small);
    game->Dir().WriteFile("Portraits/" + OverrideName(kSecond, 'L'), other);
    const std::string reverted = *game / "Portraits/Reverted/";
    EXPECT_EQ(CAsideFolder::Name("LTVARM1.GFX", kNow, 1), "LTVARM1.GFX.20231114T221320Z");
    EXPECT_EQ(CAsideFolder::Name("LTVARM1.GFX", kNow, 2), "LTVARM1.GFX.20231114T221320Z-2");

    // One size only.
    RevertResult one = dlg.CatalogueOperations().Revert(0, false, kSizeSmall, kNow);
    EXPECT_EQ(one.result, RevertResult::kOk);
    ASSERT_EQ(one.moved.size(), 1u);
    EXPECT_EQ(one.moved[0].from, *game / ("Portraits/" + OverrideName(kFirst, 'S')));
    EXPECT_EQ(one.moved[0].to, reverted + OverrideName(kFirst, 'S') + ".20231114T221320Z");
    EXPECT_EQ(ReadFileBytes(one.moved[0].to), small);
    EXPECT_TRUE(PathExists(*game / ("Portraits/" + OverrideName(kFirst, 'L'))));

    // The rest, then a new file reverted within the same second.
    RevertResult all = dlg.CatalogueOperations().Revert(0, true, kSizeLarge, kNow);
    ASSERT_EQ(all.moved.size(), 1u);
    const std::string first = reverted + OverrideName(kFirst, 'L') + ".20231114T221320Z";
    EXPECT_EQ(all.moved[0].to, first);
    std::vector<uint8_t> again = large;
    again.back() ^= 0x5A;
    game->Dir().WriteFile("Portraits/" + OverrideName(kFirst, 'L'), again);
    RevertResult second = dlg.CatalogueOperations().Revert(0, true, kSizeLarge, kNow);
    ASSERT_EQ(second.moved.size(), 1u);
    EXPECT_EQ(second.moved[0].to, first + "-2");
    EXPECT_EQ(ReadFileBytes(first), large);
    EXPECT_EQ(ReadFileBytes(first + "-2"), again);

    // Nothing left to move, and the other portrait untouched.
    RevertResult none = dlg.CatalogueOperations().Revert(0, true, kSizeLarge, kNow);
    EXPECT_EQ(none.result, RevertResult::kOk);
    EXPECT_TRUE(none.moved.empty());
    EXPECT_EQ(ReadFileBytes(*game / ("Portraits/" + OverrideName(kSecond, 'L'))), other);
    EXPECT_EQ(dlg.CatalogueOperations().Revert(5, true, kSizeLarge, kNow).result, RevertResult::kNoPortrait);

    // From then on the images load from the archive.
    const std::vector<PortraitStatus> status = dlg.CatalogueOperations().Status();
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size)
        EXPECT_EQ(status[0].source[size], ImageSource::kOriginal);
    EXPECT_EQ(status[1].source[kSizeLarge], ImageSource::kOverride);
    CPortraitImage image;
    image.SetSubFolder("\\Portraits");
    image.Load(game->Base(), game->ArchivePath(), dlg.Record(0)->entryIndex[kSizeLarge], &game->Archive());
    EXPECT_EQ(image.SourcePath(), game->ArchivePath());
    EXPECT_EQ(game->ArchiveBytes(), archiveBefore);
}

TEST_F(CatalogueOperationsTest, PackSourcesAreWhatCreateArchivePacks)
{
    Open(MakePortraitEntries({kFirst, kSecond}));
    game->Dir().MakeFolder("PATCHES");
    game->Dir().WriteFile("Portraits/" + OverrideName(kSecond, 'S'),
                          MakeOverrideFile(TestEntryName(kSecond, "SMALL"), Image({PatternFrame(5, 3)})));
    game->Dir().WriteFile("Portraits/" + OverrideName(kFirst, 'M'),
                          MakeOverrideFile(TestEntryName(kFirst, "MEDIUM"), Image({PatternFrame(11, 7)})));
    game->Dir().WriteFile("Portraits/" + OverrideName(kFirst, 'L'), {'K', 'O'}); // a broken header

    const std::vector<PackSource> sources = dlg.CatalogueOperations().PackSources();
    ASSERT_EQ(sources.size(), 3u); // in the archive's order
    EXPECT_EQ(sources[0].resolvedPath, *game / ("Portraits/" + OverrideName(kFirst, 'L')));
    EXPECT_FALSE(sources[0].taken);
    EXPECT_EQ(sources[1].entryName, TestEntryName(kFirst, "MEDIUM"));
    EXPECT_TRUE(sources[1].taken);
    EXPECT_EQ(sources[2].entryName, TestEntryName(kSecond, "SMALL"));
    EXPECT_EQ(ListFolder(*game / "PATCHES"), std::vector<std::string>{});

    host.Command(IDC_CREATE_ARCHIVE);
    CGameArchive patch;
    ASSERT_EQ(patch.Open(game->Base() + "\\PATCHES\\PATCH.010"), CGameArchive::kOpenOk);
    ASSERT_EQ(patch.GetEntryCount(), 2);
    EXPECT_EQ(std::string(patch.GetEntryName(0)), sources[1].entryName);
    EXPECT_EQ(std::string(patch.GetEntryName(1)), sources[2].entryName);
}

TEST_F(CatalogueOperationsTest, ExportCatalogueNamesEachFileWrittenWithItsDigest)
{
    Open(MakePortraitEntries({kFirst, kThird}));
    const std::string out = *game / "export";
    const CatalogueExportResult result = dlg.CatalogueOperations().ExportCatalogue(out, ExportFormat::kPng, false);
    EXPECT_EQ(result.result, CatalogueExportResult::kOk);
    EXPECT_TRUE(result.failed.empty());
    ASSERT_EQ(result.files.size(), 4u + 3u);
    EXPECT_EQ(result.manifestPath, out + "/manifest.json");
    const ExportedFile& medium = result.files[2];
    EXPECT_EQ(medium.path, TestPortraitName(kFirst) + "/" + TestPortraitName(kFirst) + "1_MEDIUM.PNG");
    EXPECT_EQ(medium.size, kSizeMedium);
    EXPECT_EQ(medium.frame, 1);
    EXPECT_EQ(medium.portrait, 0);
    EXPECT_EQ(result.files[6].portrait, 1);
    for (const ExportedFile& file : result.files) {
        const std::vector<uint8_t> bytes = ReadFileBytes(out + "/" + file.path);
        EXPECT_EQ(file.sha256, Sha256Hex(bytes)) << file.path;
        EXPECT_EQ(file.bytes, bytes.size());
    }
    // Refused once a manifest is there, unless forced.
    EXPECT_EQ(dlg.CatalogueOperations().ExportCatalogue(out, ExportFormat::kPng, false).result,
              CatalogueExportResult::kManifestExists);
    EXPECT_EQ(dlg.CatalogueOperations().ExportCatalogue(out, ExportFormat::kTga, true).files.size(), 7u);
}
