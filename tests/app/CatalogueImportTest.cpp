// A catalogue exported and imported again: only the files whose bytes
// changed are taken, each changed image is saved once with the bytes that
// single imports give, a dry run writes nothing, a manifest that does not
// belong is refused, and an image that cannot be saved keeps its old file.
#include <filesystem>
#include <fstream>
#include <map>

#include "CatalogueManifest.h"
#include "EditorTestKit.h"
#include "FileFaults.h"
#include "FileSystem.h"
#include "Sha256.h"

namespace {

namespace fs = std::filesystem;

using CatalogueImportTest = EditorFixture;

const TestPortrait kFirst{"TVAR", true, '1', 2};
const TestPortrait kSecond{"QEN", false, '1', 1};

// Every file below a folder, with its bytes.
std::map<std::string, std::vector<uint8_t>> Tree(const std::string& folder)
{
    std::map<std::string, std::vector<uint8_t>> files;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder))
        files[e.path().string()] = e.is_regular_file() ? ReadFileBytes(e.path().string()) : std::vector<uint8_t>{};
    return files;
}

class CatalogueRoundTrip : public CatalogueImportTest {
protected:
    // Opens the game and exports its catalogue into `out`, as PNG files.
    void Export()
    {
        Open(MakePortraitEntries({kFirst, kSecond}));
        out = *game / "catalogue";
        ASSERT_EQ(Operations().ExportCatalogue(out, ExportFormat::kPng, false).files.size(), 4u + 3u);
    }
    CCatalogueOperations Operations() { return dlg.CatalogueOperations(); }
    CatalogueImportResult Import(bool dryRun = false, bool force = false)
    {
        return Operations().ImportCatalogue(out, ImportOptions{}, dryRun, force);
    }
    // A file of the export, by portrait and file name.
    std::string File(const TestPortrait& p, const std::string& name) const
    {
        return out + "/" + TestPortraitName(p) + "/" + name;
    }
    void Put(const std::string& path, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(file.good()) << path;
    }
    std::string out;
};

} // namespace

TEST_F(CatalogueRoundTrip, TakesOnlyWhatChangedWithTheBytesOfSingleImports)
{
    Export();
    const std::string first = TestPortraitName(kFirst);
    CatalogueImportResult r = Import();
    EXPECT_EQ(r.result, CatalogueImportResult::kOk) << r.reason;
    EXPECT_EQ(r.unchanged, 7);
    EXPECT_TRUE(r.imported.empty() && r.failed.empty() && r.saved.empty());
    EXPECT_EQ(ListFolder(*game / "Portraits"), std::vector<std::string>{});

    // Two frames of one image and one of another change; a dry run says so
    // and touches nothing, in the game or in the catalogue's folder.
    const std::string medium1 = File(kFirst, first + "1_MEDIUM.PNG");
    const std::string small = File(kSecond, TestPortraitName(kSecond) + "_SMALL.PNG");
    const std::string medium0 = File(kFirst, first + "0_MEDIUM.PNG");
    Put(medium1, SolidTga(11, 7, 40));
    Put(medium0, SolidTga(11, 7, 41));
    Put(small, SolidTga(5, 3, 42));
    const auto before = Tree(game->Base());
    r = Import(true);
    EXPECT_EQ(Tree(game->Base()), before);
    ASSERT_EQ(r.imported.size(), 3u);
    EXPECT_TRUE(r.dryRun && r.saved.empty());
    EXPECT_EQ(r.imported[0].path, first + "/" + first + "0_MEDIUM.PNG");
    EXPECT_EQ(r.imported[0].size, kSizeMedium);
    EXPECT_EQ(r.imported[0].frame, 0);
    EXPECT_EQ(r.imported[0].portraitName, first);
    EXPECT_EQ(r.imported[0].pixelsChanged, 11 * 7);
    EXPECT_EQ(r.imported[2].portrait, 1);

    r = Import();
    ASSERT_EQ(r.imported.size(), 3u);
    EXPECT_EQ(r.unchanged, 4);
    const std::string mediumFile = PortraitsFile(EditorBaseName(kFirst, 'M') + ".GFX");
    const std::string smallFile = PortraitsFile(EditorBaseName(kSecond, 'S') + ".GFX");
    EXPECT_EQ(r.saved, (std::vector<std::string>{mediumFile, smallFile}));
    const std::vector<uint8_t> catalogueMedium = ReadFileBytes(mediumFile), catalogueSmall = ReadFileBytes(smallFile);

    // The same files imported one at a time through the window, each image
    // saved as moving on saves it, give the same override files.
    ASSERT_EQ(Operations().Revert(0, true, kSizeLarge, 0).result, RevertResult::kOk);
    ASSERT_EQ(Operations().Revert(1, true, kSizeLarge, 0).result, RevertResult::kOk);
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 2);
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 1);
    ImportInto(1, medium0);
    ImportInto(3, medium1);
    host.Scroll(IDC_PORTRAIT_SCROLLBAR, SB_THUMBPOSITION, 2);
    ImportInto(2, small);
    host.Command(IDOK);
    EXPECT_EQ(ReadFileBytes(mediumFile), catalogueMedium);
    EXPECT_EQ(ReadFileBytes(smallFile), catalogueSmall);
}

TEST_F(CatalogueRoundTrip, NamesTheArchiveByItsHeaderDirectoryAndPortraitsOrAVersion1ByTheWholeFile)
{
    // A sound entry last, beside the portraits: its data ends where the
    // directory begins.
    std::vector<TestEntry> entries = MakePortraitEntries({kFirst, kSecond});
    entries.push_back({"SOUNDS\\RAIN.WAV", Pattern(300)});
    Open(entries);
    out = *game / "catalogue";
    ASSERT_EQ(Operations().ExportCatalogue(out, ExportFormat::kPng, false).files.size(), 7u);
    const std::string manifestPath = out + "/manifest.json";
    const std::vector<uint8_t> text = ReadFileBytes(manifestPath);
    CatalogueManifest manifest;
    std::string reason;
    ASSERT_EQ(ParseCatalogueManifest(std::string(text.begin(), text.end()), manifest, reason), CatalogueManifest::kOk);
    EXPECT_EQ(manifest.version, 2);
    EXPECT_EQ(manifest.archiveSize, archiveBefore.size());
    EXPECT_EQ(Import().unchanged, 7);

    const std::string archivePath = *game / "DATA/DATA.QPK";
    const size_t soundByte = archiveBefore.size() - entries.size() * 280 - 1;
    const size_t portraitByte = 532 + 20; // inside the first portrait's LARGE image
    const auto importWithByteChanged = [&](size_t at) {
        std::vector<uint8_t> changed = archiveBefore;
        changed[at] ^= 0x5A;
        Put(archivePath, changed);
        const int32_t result = Import(true).result;
        Put(archivePath, archiveBefore);
        return result;
    };
    EXPECT_EQ(importWithByteChanged(soundByte), CatalogueImportResult::kOk);
    EXPECT_EQ(importWithByteChanged(portraitByte), CatalogueImportResult::kOtherArchive);

    // A version 1 manifest names the whole file: it is still taken, and a
    // byte of the sound then counts.
    manifest.version = CatalogueManifest::kWholeFileVersion;
    ASSERT_TRUE(Sha256OfFile(archivePath, manifest.archiveSha256, manifest.archiveSize));
    const std::string old = SerializeCatalogueManifest(manifest);
    Put(manifestPath, std::vector<uint8_t>(old.begin(), old.end()));
    EXPECT_EQ(Import().unchanged, 7);
    EXPECT_EQ(importWithByteChanged(soundByte), CatalogueImportResult::kOtherArchive);
}

TEST_F(CatalogueRoundTrip, RefusesAManifestThatDoesNotBelongAndReportsBadFiles)
{
    Export();
    const std::string manifestPath = out + "/manifest.json";
    const std::vector<uint8_t> manifest = ReadFileBytes(manifestPath);
    std::string text(manifest.begin(), manifest.end());

    Put(manifestPath, {'{', '"'});
    CatalogueImportResult r = Import();
    EXPECT_EQ(r.result, CatalogueImportResult::kBadManifest);
    EXPECT_NE(r.reason.find("not valid JSON"), std::string::npos) << r.reason;

    // Another archive's manifest is refused whole, unless forced.
    const size_t digest = text.find("\"sha256\": \"") + 11;
    text.replace(digest, 64, std::string(64, '0'));
    // One file is missing, one has another size, one lies outside the folder.
    const std::string first = TestPortraitName(kFirst);
    const size_t large = text.find(first + "/" + first + "_LARGE.PNG");
    text.replace(large, first.size() + 1, "../");
    Put(manifestPath, std::vector<uint8_t>(text.begin(), text.end()));
    ASSERT_TRUE(CFileSystem::RemoveFile(File(kFirst, first + "0_MEDIUM.PNG")));
    Put(File(kFirst, first + "1_MEDIUM.PNG"), SolidTga(12, 7, 40));
    Put(File(kSecond, TestPortraitName(kSecond) + "_LARGE.PNG"), SolidTga(21, 15, 43));
    r = Import();
    EXPECT_EQ(r.result, CatalogueImportResult::kOtherArchive);
    EXPECT_NE(r.reason.find("another game archive"), std::string::npos);
    EXPECT_TRUE(r.imported.empty());
    EXPECT_EQ(ListFolder(*game / "Portraits"), std::vector<std::string>{});

    r = Import(false, true);
    EXPECT_EQ(r.result, CatalogueImportResult::kOk);
    ASSERT_EQ(r.failed.size(), 3u);
    EXPECT_EQ(r.failed[0].reason, "the path leaves the folder");
    EXPECT_EQ(r.failed[1].reason, "the file is missing");
    EXPECT_NE(r.failed[2].reason.find("12 x 7"), std::string::npos) << r.failed[2].reason;
    ASSERT_EQ(r.imported.size(), 1u); // the others still land
    EXPECT_EQ(r.saved, std::vector<std::string>{PortraitsFile(EditorBaseName(kSecond, 'L') + ".GFX")});
    ASSERT_TRUE(CFileSystem::RemoveFile(manifestPath));
    EXPECT_EQ(Import().result, CatalogueImportResult::kNoManifest);
}

TEST_F(CatalogueRoundTrip, AnImageThatCannotBeSavedKeepsItsOldFile)
{
    Export();
    const std::string largeFile = PortraitsFile(EditorBaseName(kFirst, 'L') + ".GFX");
    // An override file from before, made by an import through the window.
    ImportInto(0, WriteTga("old.tga", SolidTga(21, 15, 44)));
    host.Command(IDOK);
    const std::vector<uint8_t> old = ReadFileBytes(largeFile);
    ASSERT_FALSE(old.empty());

    Put(File(kFirst, TestPortraitName(kFirst) + "_LARGE.PNG"), SolidTga(21, 15, 45));
    Put(File(kSecond, TestPortraitName(kSecond) + "_LARGE.PNG"), SolidTga(21, 15, 46));
    CFileFaults::FailNth(FileOperation::Rename, 1);
    const CatalogueImportResult r = Import(false, false);
    CFileFaults::Reset();
    ASSERT_EQ(r.failed.size(), 1u);
    EXPECT_NE(r.failed[0].reason.find("could not be saved"), std::string::npos) << r.failed[0].reason;
    EXPECT_EQ(ReadFileBytes(largeFile), old);
    ASSERT_EQ(r.imported.size(), 1u);
    EXPECT_EQ(r.imported[0].portrait, 1);
    EXPECT_EQ(r.saved, std::vector<std::string>{PortraitsFile(EditorBaseName(kSecond, 'L') + ".GFX")});
}

TEST_F(CatalogueRoundTrip, WorkerThreadsGiveWhatOneThreadGives)
{
    Export();
    const std::string alone = *game / "alone";
    ASSERT_EQ(Operations().SetWorkers(0).ExportCatalogue(alone, ExportFormat::kPng, false).files.size(), 7u);
    const auto relative = [](const std::string& folder) {
        std::map<std::string, std::vector<uint8_t>> below;
        for (const auto& [path, bytes] : Tree(folder))
            below[path.substr(folder.size())] = bytes;
        return below;
    };
    EXPECT_EQ(relative(out), relative(alone));

    // Stopped before the second portrait: the portraits made ahead of it
    // write nothing.
    const std::string stopped = *game / "stopped";
    const CatalogueExportResult cut = Operations().SetWorkers(4).ExportCatalogue(
        stopped, ExportFormat::kPng, false, [](int32_t done, int32_t, const std::string&) { return done < 1; });
    EXPECT_TRUE(cut.cancelled);
    EXPECT_EQ(cut.files.size(), 4u);
    EXPECT_EQ(ListFolder(stopped), (std::vector<std::string>{TestPortraitName(kFirst), "manifest.json"}));

    // A dry import finds the same changes and faults either way.
    const std::string first = TestPortraitName(kFirst);
    Put(File(kFirst, first + "1_MEDIUM.PNG"), SolidTga(11, 7, 40));
    Put(File(kSecond, TestPortraitName(kSecond) + "_SMALL.PNG"), SolidTga(5, 3, 42));
    ASSERT_TRUE(CFileSystem::RemoveFile(File(kFirst, first + "_LARGE.PNG")));
    const auto summary = [](const CatalogueImportResult& r) {
        std::string text = std::to_string(r.unchanged);
        for (const ImportedFile& f : r.imported)
            text += " +" + f.path + ":" + std::to_string(f.pixelsChanged);
        for (const ImportFailure& f : r.failed)
            text += " !" + f.path + ":" + f.reason;
        return text;
    };
    const auto dryImport = [&](size_t workers) {
        return summary(Operations().SetWorkers(workers).ImportCatalogue(out, ImportOptions{}, true, false));
    };
    const std::string onWorkers = dryImport(3);
    EXPECT_EQ(onWorkers, dryImport(0));
    EXPECT_NE(onWorkers.find("the file is missing"), std::string::npos) << onWorkers;
}
